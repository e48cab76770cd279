#include <QTest>

#include "near.h"
#include "plots/chartdata.h"
#include "plots/outputplots.h"
#include "trainfixture.h"

namespace {

QStringList legends(const ChartData &chart)
{
    QStringList names;
    for (const ChartSet &set : chart.sets) {
        names << set.legend;
    }
    return names;
}

bool sameValues(const std::vector<float> &actual, const std::vector<float> &expected)
{
    if (actual.size() != expected.size()) {
        return false;
    }
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (!near(actual[i], expected[i], 1e-6f)) {
            return false;
        }
    }
    return true;
}

using Values = std::vector<float>;

} // namespace

Q_DECLARE_METATYPE(Values)

class TestPlotCharts : public QObject
{
    Q_OBJECT

private slots:

    // Targets and net outputs of each output, in data units when the data are held normalised
    // (x = (y - 1) / 2 here); the errors stay the net's own.
    void outputsAndErrors_data()
    {
        QTest::addColumn<bool>("normalised");
        QTest::addColumn<Values>("target1");
        QTest::addColumn<Values>("net1");
        QTest::addColumn<Values>("target2");
        QTest::addColumn<Values>("net2");
        QTest::addRow("data as they are") << false << Values {0.5f, 0.5f} << Values {1.25f, 0.5f}
                                          << Values {1.0f, 0.0f} << Values {0.5f, 0.0f};
        QTest::addRow("normalised data")
                << true << Values {-0.25f, -0.25f} << Values {0.125f, -0.25f}
                << Values {0.0f, -0.5f} << Values {-0.25f, -0.5f};
    }

    void outputsAndErrors()
    {
        QFETCH(bool, normalised);
        QFETCH(Values, target1);
        QFETCH(Values, net1);
        QFETCH(Values, target2);
        QFETCH(Values, net2);
        TestBench b;
        setUpTwoOutputs(b.wb);
        NetModel &m = b.wb.model;
        if (normalised) {
            m.NormOn = true;
            m.OutNormA = {2, 2, 0};
            m.OutNormB = {1, 1, 0};
        }
        m.Graph[1].Title = QStringLiteral("Outputs");
        m.Graph[1].XGrid = -1;
        const std::optional<ChartData> outs = outputsChart(b.wb, false, 1, 2);
        QVERIFY(outs);
        QCOMPARE(legends(*outs), (QStringList {"Target-1", "Net-1", "Target-2", "Net-2"}));
        QVERIFY(sameValues(outs->xPositions, {1.0f, 2.0f}));
        QVERIFY(sameValues(outs->sets[0].values, target1));
        QVERIFY(sameValues(outs->sets[1].values, net1));
        QVERIFY(sameValues(outs->sets[2].values, target2));
        QVERIFY(sameValues(outs->sets[3].values, net2));
        QCOMPARE(outs->title, QStringLiteral("Outputs"));
        QCOMPARE(outs->xTitle, QStringLiteral("Pat. Index"));
        QCOMPARE(outs->yTitle, QStringLiteral("Net-Out"));
        QCOMPARE(outs->grid, int16_t(GridVertical));

        // Only the second output.
        const std::optional<ChartData> second = outputsChart(b.wb, false, 2, 2);
        QVERIFY(second);
        QCOMPARE(legends(*second), (QStringList {"Target-2", "Net-2"}));
        QVERIFY(sameValues(second->sets[1].values, net2));

        const std::optional<ChartData> errors = errorsChart(b.wb, false);
        QVERIFY(errors);
        QCOMPARE(legends(*errors), QStringList {"Error"});
        QVERIFY(sameValues(errors->sets[0].values, {0.901388f, 0.0f}));
        QCOMPARE(errors->yTitle, QStringLiteral("Error"));
        QVERIFY(b.ui.texts().isEmpty());
        QCOMPARE(b.ui.busyDepth(), 0);
    }

    // The test set's plots use its own data and slots 5 and 6; the list offers them only when a
    // test set is loaded.
    void testSetPlots()
    {
        TestBench b;
        setUpTwoOutputs(b.wb);
        QCOMPARE(plotTypeEntries(false),
                 (QStringList {"PAT Outs", "PAT Errors", "RMS Errors", "Input Sensitivity"}));
        setTestSet(b.wb, {{2, 0}, {0, 0}, {4, 2}}, {{0.5f, 0.5f}, {0.0f, 0.0f}, {2.0f, 0.5f}});
        QCOMPARE(plotTypeEntries(b.wb.model.HasTest),
                 (QStringList {"PAT Outs", "PAT Errors", "RMS Errors", "Input Sensitivity",
                               "TST Outs", "TST Errors"}));
        PlotOutState state;
        state.kind = PlotKind::TstOuts;
        state.from = 2;
        state.to = 9;
        const std::optional<ChartData> outs = redrawPlot(b.wb, state);
        QVERIFY(outs);
        QCOMPARE(state.currentGraph, int16_t(5));
        QCOMPARE(state.to, 2);
        QVERIFY(state.outputsVisible && !state.sensVisible);
        QCOMPARE(outs->yTitle, QStringLiteral("Net-Out (Test)"));
        QCOMPARE(legends(*outs), (QStringList {"Target-2", "Net-2"}));
        QVERIFY(sameValues(outs->sets[0].values, {0.5f, 0.0f, 0.5f}));
        QVERIFY(sameValues(outs->sets[1].values, {-0.5f, -0.5f, 0.5f}));

        state.kind = PlotKind::TstErrors;
        const std::optional<ChartData> errors = redrawPlot(b.wb, state);
        QVERIFY(errors);
        QCOMPARE(state.currentGraph, int16_t(6));
        QVERIFY(!state.outputsVisible && !state.sensVisible);
        // Outputs (0.5, -0.5), (0, -0.5), (2, 0.5) against the targets.
        QVERIFY(sameValues(errors->sets[0].values, {1.0f, 0.5f, 0.0f}));
    }

    // Fewer than 2 patterns and more than 3800 points are refused; the errors plot draws one
    // point per pattern up to 3800.
    void refusals_data()
    {
        QTest::addColumn<int>("patterns");
        QTest::addColumn<QString>("outputsMessage");
        QTest::addColumn<int>("errorPoints");
        const QString tooMany =
                QStringLiteral("Max number of point to plot should be smaller than 3800");
        QTest::addRow("one pattern")
                << 1 << QStringLiteral("Error, must have at least 2 points to plot.") << 1;
        QTest::addRow("2000 patterns, two outputs") << 2000 << tooMany << 2000;
        QTest::addRow("3801 patterns") << 3801 << tooMany << -1;
    }

    void refusals()
    {
        QFETCH(int, patterns);
        QFETCH(QString, outputsMessage);
        QFETCH(int, errorPoints);
        TestBench b;
        QVERIFY(buildNet(b.wb, {"1", "2"}, {1, 2}));
        Rows in, out;
        for (int p = 1; p <= patterns; ++p) {
            in.push_back({float(p) / float(patterns)});
            out.push_back({0.0f, 1.0f});
        }
        setPatterns(b.wb, in, out);
        QVERIFY(!outputsChart(b.wb, false, 1, 2));
        QCOMPARE(b.ui.texts(), QStringList {outputsMessage});
        QCOMPARE(b.ui.shown().back().icon, UiPort::Icon::Critical);
        b.ui.clear();
        const std::optional<ChartData> errors = errorsChart(b.wb, false);
        if (errorPoints < 0) {
            QVERIFY(!errors);
            QCOMPARE(b.ui.texts(), QStringList {outputsMessage});
        } else {
            QVERIFY(errors);
            QCOMPARE(errors->numPoints(), errorPoints);
            QCOMPARE(errors->labelEvery, errorPoints > 10 ? errorPoints / 10 : 1);
            QVERIFY(b.ui.texts().isEmpty());
        }
        QCOMPARE(b.ui.busyDepth(), 0);
    }

    // Relative to the largest sensitivity, one point per input; the panel shows.
    void sensitivity()
    {
        TestBench b;
        setUpTwoOutputs(b.wb);
        PlotOutState state;
        state.kind = PlotKind::Sensitivity;
        state.sensPercent = 10;
        const std::optional<ChartData> chart = redrawPlot(b.wb, state);
        QVERIFY(chart);
        QVERIFY(state.sensVisible && !state.outputsVisible);
        QCOMPARE(state.currentGraph, int16_t(4));
        QCOMPARE(legends(*chart), QStringList {"Sensitivity"});
        QCOMPARE(chart->xTitle, QStringLiteral("Input no."));
        QCOMPARE(chart->numPoints(), 2);
        const Values &v = chart->sets[0].values;
        QVERIFY(near(std::max(v[0], v[1]), 1.0f, 1e-6f));
        QVERIFY(std::min(v[0], v[1]) > 0.0f);
    }

    // The history's points as they are; an empty history is a flat line from (0, 0) to (1, 0).
    void rmsErrors()
    {
        GraphSetting setting;
        setting.XLabel = QStringLiteral("Iteration");
        setting.GraphType = ChartLogLine;
        RmsHistory h;
        ChartData empty = rmsErrorsChart(h, setting);
        QCOMPARE(legends(empty), QStringList {"RMS Error"});
        QVERIFY(sameValues(empty.xPositions, {0.0f, 1.0f}));
        QVERIFY(sameValues(empty.sets[0].values, {0.0f, 0.0f}));
        for (int call = 1; call <= 60; ++call) {
            recordRmsPoint(h, 1.0f / float(call), 1);
        }
        const ChartData chart = rmsErrorsChart(h, setting);
        QCOMPARE(chart.numPoints(), int(h.RmsCount));
        QCOMPARE(chart.xPositions.front(), 2.0f);
        QCOMPARE(chart.xPositions.back(), 60.0f);
        QCOMPARE(chart.sets[0].values.back(), 1.0f / 60.0f);
        QCOMPARE(chart.labelEvery, 3);
        QCOMPARE(chart.graphType, int16_t(ChartLogLine));
        QCOMPARE(chart.xTitle, QStringLiteral("Iteration"));
    }

    // The six entries of the settings list and the codes each stores; the dialog shows the entry
    // of the stored codes again.
    void settingsEntries_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("style");
        QTest::addRow("Line") << 0 << "Line" << 6 << 0;
        QTest::addRow("Line+Symbols") << 1 << "Line+Symbols" << 6 << 5;
        QTest::addRow("Symbols") << 2 << "Symbols" << 6 << 1;
        QTest::addRow("Log-Line") << 3 << "Log-Line" << 7 << 0;
        QTest::addRow("2D-Bar") << 4 << "2D-Bar" << 3 << 0;
        QTest::addRow("3D-Bar") << 5 << "3D-Bar" << 4 << 0;
    }

    void settingsEntries()
    {
        QFETCH(int, entry);
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(int, style);
        QCOMPARE(graphTypeEntries().at(entry), text);
        GraphSetting s;
        s.GraphType = 1;
        s.GraphStyle = 9;
        PlotSettingsValues values = plotSettingsOnOpen(s, "T", "X", "Y");
        QCOMPARE(values.typeEntry, -1);
        values.typeEntry = entry;
        values.yGrid = true;
        values.colorEach = true;
        applyPlotSettings(s, values);
        QCOMPARE(int(s.GraphType), type);
        QCOMPARE(int(s.GraphStyle), style);
        QCOMPARE(s.Title, QStringLiteral("T"));
        QCOMPARE(s.YLabel, QStringLiteral("Y"));
        QCOMPARE(int(s.XGrid), 0);
        QCOMPARE(int(s.YGrid), -1);
        QCOMPARE(int(s.ColorEach), -1);
        QCOMPARE(plotSettingsOnOpen(s, "", "", "").typeEntry, entry);
        // Nothing selected keeps the codes.
        values.typeEntry = -1;
        applyPlotSettings(s, values);
        QCOMPARE(int(s.GraphType), type);
    }

    // A line graph with a style other than 0 and 5 shows "Symbols"; the grid flags make the
    // grid code; the texts on opening are the chart's, not the record's.
    void settingsOnOpenAndGrid()
    {
        GraphSetting s;
        s.Title = QStringLiteral("stored");
        s.GraphStyle = 3;
        const PlotSettingsValues values = plotSettingsOnOpen(s, "shown", "x", "y");
        QCOMPARE(values.typeEntry, 2);
        QCOMPARE(values.title, QStringLiteral("shown"));
        const int codes[2][2] = {{GridNone, GridHorizontal}, {GridVertical, GridBoth}};
        for (int x = 0; x <= 1; ++x) {
            for (int y = 0; y <= 1; ++y) {
                s.XGrid = int16_t(-x);
                s.YGrid = int16_t(-y);
                QCOMPARE(int(gridCode(s)), codes[x][y]);
            }
        }
    }

    void interval_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("corrected");
        QTest::addRow("below 2") << "1" << 2 << "2";
        QTest::addRow("zero") << "0" << 2 << "2";
        QTest::addRow("empty") << "" << 2 << "2";
        QTest::addRow("above 60") << "90" << 60 << "60";
        QTest::addRow("in range") << "15" << 15 << "";
        QTest::addRow("half to even") << "2.5" << 2 << "";
        QTest::addRow("leading number") << "7 s" << 7 << "";
        QTest::addRow("huge") << "1e300" << 60 << "60";
    }

    void interval()
    {
        QFETCH(QString, text);
        QFETCH(int, seconds);
        QFETCH(QString, corrected);
        QString shown = QStringLiteral("unchanged");
        QCOMPARE(plotInterval(text, &shown), seconds);
        QCOMPARE(shown, corrected);
    }

    // From and To move within 1..outputs and never cross.
    void outputRange()
    {
        PlotOutState s;
        s.from = 1;
        s.to = 2;
        spinOutputRange(s, true, true, 3);
        spinOutputRange(s, true, true, 3);
        QCOMPARE(s.from, 2);
        spinOutputRange(s, false, true, 3);
        spinOutputRange(s, false, true, 3);
        QCOMPARE(s.to, 3);
        spinOutputRange(s, false, false, 3);
        spinOutputRange(s, false, false, 3);
        QCOMPARE(s.to, 2);
        spinOutputRange(s, true, false, 3);
        spinOutputRange(s, true, false, 3);
        QCOMPARE(s.from, 1);
    }

    // A header row of the x title and legends, then each point's x and values, read back equal.
    void csv()
    {
        ChartData chart;
        chart.xTitle = QStringLiteral("Pat. Index");
        chart.xPositions = {1.0f, 2.0f};
        chart.sets = {{"Target-1", {0.1f, -2.5e-7f}}, {"a \"b\", c", {1.0f / 3.0f, 4.0f}}};
        const QString text = chartCsv(chart);
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QStringLiteral("Pat. Index,Target-1,\"a \"\"b\"\", c\""));
        QCOMPARE(lines[3], QString());
        const QStringList row = lines[1].split(u',');
        QCOMPARE(row.size(), 3);
        QCOMPARE(row[1].toFloat(), 0.1f);
        QCOMPARE(row[2].toFloat(), 1.0f / 3.0f);
        QCOMPARE(lines[2].split(u',')[1].toFloat(), -2.5e-7f);
    }
};

QTEST_GUILESS_MAIN(TestPlotCharts)
#include "tst_plotcharts.moc"
