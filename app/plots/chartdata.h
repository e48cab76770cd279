#pragma once

#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>
#include <QStringView>

struct GraphSetting;

// The chart's graph type codes.
enum ChartType : int16_t { ChartBars2D = 3, ChartBars3D = 4, ChartLines = 6, ChartLogLine = 7 };

// The chart's style codes for line graphs.
enum ChartStyle : int16_t { StyleLines = 0, StyleSymbols = 1, StyleLinesSymbols = 5 };

// The chart's grid codes.
enum ChartGrid : int16_t { GridNone = 0, GridHorizontal = 1, GridVertical = 2, GridBoth = 3 };

// The most points one chart takes; the plots refuse larger ones themselves.
constexpr int MaxChartPoints = 3800;

// One curve (or row of bars) of a chart: its legend text and one value per point.
struct ChartSet
{
    QString legend;
    std::vector<float> values;
};

// What a chart shows: type, style and grid codes, the three texts, the data sets and the x
// position of every point (shared by all sets), whether every set gets its own colour, and the
// spacing of axis labels and ticks in points. The chart widget draws it, the command-line tool
// writes it out; the plots only fill it.
struct ChartData
{
    int16_t graphType = ChartLines;
    int16_t graphStyle = StyleLines;
    int16_t grid = GridNone;
    QString title;
    QString xTitle;
    QString yTitle;
    std::vector<float> xPositions;
    std::vector<ChartSet> sets;
    bool colorEach = false;
    int labelEvery = 1;

    int numPoints() const { return static_cast<int>(xPositions.size()); }

    int numSets() const { return static_cast<int>(sets.size()); }

    // Points over all sets.
    int totalPoints() const { return numPoints() * numSets(); }
};

// The grid code of a settings record: both lines 3, vertical only 2, horizontal only 1, none 0.
int16_t gridCode(const GraphSetting &setting);

// Puts a settings record into the chart: type, style, grid, title and axis titles, and the
// colour choice.
void applyGraphSettings(ChartData &chart, const GraphSetting &setting);

// Axis labels and ticks every n / 10 points once a set has more than 10 points, else every one.
int labelSpacing(int points);

// The data sets as columns of text with a header row: the x axis title (or "X") and each set's
// legend, then one line per point with its x position and values; comma separated, numbers in
// their shortest exact form, lines ended by CRLF.
QString chartCsv(const ChartData &chart);

// The entries of the "Plot Settings" type list, in list order.
const QStringList &graphTypeEntries();

// The list position that shows a record's type and style: 2D-Bar for 3, 3D-Bar for 4, Log-Line
// for 7, and for 6 Line (style 0), Line+Symbols (5) or Symbols (any other); -1 for any other type.
int graphTypeEntry(const GraphSetting &setting);

// Stores the type and style codes of list position entry; a position outside the list (nothing
// selected) changes nothing.
void setGraphTypeEntry(GraphSetting &setting, int entry);

// What the "Plot Settings" dialog edits: the three texts, the grid and colour check boxes and
// the type list position (-1 for none).
struct PlotSettingsValues
{
    QString title;
    QString xLabel;
    QString yLabel;
    bool xGrid = false;
    bool yGrid = false;
    bool colorEach = false;
    int typeEntry = -1;
};

// The dialog's contents on opening: the texts as the chart shows them, the rest from the record.
PlotSettingsValues plotSettingsOnOpen(const GraphSetting &setting,
                                      const QString &chartTitle,
                                      const QString &chartXTitle,
                                      const QString &chartYTitle);

// OK in the dialog: the texts, the flags and the type list choice into the record.
void applyPlotSettings(GraphSetting &setting, const PlotSettingsValues &values);

// A plot window's refresh interval from its box's text: the leading number rounded to a whole
// number of seconds and kept within 2..60. corrected receives the text the box must show
// instead ("2" or "60"), or stays empty when the text may stand.
int plotInterval(QStringView text, QString *corrected = nullptr);
