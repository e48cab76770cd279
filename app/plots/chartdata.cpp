#include "plots/chartdata.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "model/netmodel.h"
#include "model/numberformat.h"

namespace {

// The type and style codes stored for each entry of the type list.
struct TypeEntryCodes
{
    int16_t type;
    int16_t style;
};

constexpr TypeEntryCodes TypeEntryCodeTable[] = {
        {ChartLines, StyleLines}, // "Line"
        {ChartLines, StyleLinesSymbols}, // "Line+Symbols"
        {ChartLines, StyleSymbols}, // "Symbols"
        {ChartLogLine, StyleLines}, // "Log-Line"
        {ChartBars2D, StyleLines}, // "2D-Bar"
        {ChartBars3D, StyleLines}, // "3D-Bar"
};

} // namespace

int16_t gridCode(const GraphSetting &setting)
{
    const bool vertical = setting.XGrid != 0;
    const bool horizontal = setting.YGrid != 0;
    if (vertical && horizontal) {
        return GridBoth;
    }
    if (vertical) {
        return GridVertical;
    }
    return horizontal ? GridHorizontal : GridNone;
}

void applyGraphSettings(ChartData &chart, const GraphSetting &setting)
{
    chart.graphType = setting.GraphType;
    chart.graphStyle = setting.GraphStyle;
    chart.title = setting.Title;
    chart.xTitle = setting.XLabel;
    chart.yTitle = setting.YLabel;
    chart.grid = gridCode(setting);
    chart.colorEach = setting.ColorEach != 0;
}

int labelSpacing(int points)
{
    return points > 10 ? points / 10 : 1;
}

QString chartCsv(const ChartData &chart)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = quotedField(chart.xTitle.isEmpty() ? QStringLiteral("X") : chart.xTitle);
    for (const ChartSet &set : chart.sets) {
        text += u',' + quotedField(set.legend);
    }
    text += lineEnd;
    for (int p = 0; p < chart.numPoints(); ++p) {
        text += exactNumber(chart.xPositions[std::size_t(p)]);
        for (const ChartSet &set : chart.sets) {
            text += u',';
            if (p < int(set.values.size())) {
                text += exactNumber(set.values[std::size_t(p)]);
            }
        }
        text += lineEnd;
    }
    return text;
}

const QStringList &graphTypeEntries()
{
    static const QStringList entries {QStringLiteral("Line"),    QStringLiteral("Line+Symbols"),
                                      QStringLiteral("Symbols"), QStringLiteral("Log-Line"),
                                      QStringLiteral("2D-Bar"),  QStringLiteral("3D-Bar")};
    return entries;
}

int graphTypeEntry(const GraphSetting &setting)
{
    switch (setting.GraphType) {
    case ChartBars2D:
        return 4;
    case ChartBars3D:
        return 5;
    case ChartLogLine:
        return 3;
    case ChartLines:
        if (setting.GraphStyle == StyleLines) {
            return 0;
        }
        return setting.GraphStyle == StyleLinesSymbols ? 1 : 2;
    default:
        return -1;
    }
}

void setGraphTypeEntry(GraphSetting &setting, int entry)
{
    if (entry < 0 || entry >= int(std::size(TypeEntryCodeTable))) {
        return;
    }
    setting.GraphType = TypeEntryCodeTable[entry].type;
    setting.GraphStyle = TypeEntryCodeTable[entry].style;
}

PlotSettingsValues plotSettingsOnOpen(const GraphSetting &setting,
                                      const QString &chartTitle,
                                      const QString &chartXTitle,
                                      const QString &chartYTitle)
{
    PlotSettingsValues values;
    values.title = chartTitle;
    values.xLabel = chartXTitle;
    values.yLabel = chartYTitle;
    values.xGrid = setting.XGrid != 0;
    values.yGrid = setting.YGrid != 0;
    values.colorEach = setting.ColorEach != 0;
    values.typeEntry = graphTypeEntry(setting);
    return values;
}

void applyPlotSettings(GraphSetting &setting, const PlotSettingsValues &values)
{
    setting.Title = values.title;
    setting.XLabel = values.xLabel;
    setting.YLabel = values.yLabel;
    setting.XGrid = values.xGrid ? -1 : 0;
    setting.YGrid = values.yGrid ? -1 : 0;
    setting.ColorEach = values.colorEach ? -1 : 0;
    setGraphTypeEntry(setting, values.typeEntry);
}

int plotInterval(QStringView text, QString *corrected)
{
    constexpr int Shortest = 2;
    constexpr int Longest = 60;
    const double seconds = roundHalfEven(leadingNumber(text));
    const bool tooShort = !(seconds >= Shortest);
    const bool tooLong = seconds > Longest;
    const int interval = tooShort ? Shortest : (tooLong ? Longest : int(seconds));
    if (corrected) {
        *corrected = tooShort || tooLong ? QString::number(interval) : QString();
    }
    return interval;
}
