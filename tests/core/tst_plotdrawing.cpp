#include <QTest>

#include "near.h"
#include "plots/netdrawing.h"
#include "plots/plotexport.h"
#include "plots/weighthistogram.h"
#include "trainfixture.h"

namespace {

using Kind = DrawItem::Kind;

std::vector<DrawItem> itemsOf(const NetDrawing &d, Kind kind)
{
    std::vector<DrawItem> found;
    for (const DrawItem &item : d.items) {
        if (item.kind == kind) {
            found.push_back(item);
        }
    }
    return found;
}

const DrawItem *textItem(const NetDrawing &d, const QString &text)
{
    for (const DrawItem &item : d.items) {
        if (item.kind == Kind::Text && item.text == text) {
            return &item;
        }
    }
    return nullptr;
}

// A 1-2 net: into output 1 the weights -2 (input) and 0.5 (bias), into output 2 2 and 1.
void setUpPlusMinusTwo(Workbench &wb)
{
    QVERIFY(buildNet(wb, {"1", "2"}));
    setWeights(wb.model, 2, 1, {-2.0f, 0.5f});
    setWeights(wb.model, 2, 2, {2.0f, 1.0f});
}

void setAllWeights(NetModel &m, float w)
{
    for (int l = 2; l <= m.NumLayers; ++l) {
        for (int j = 1; j <= m.LayerSize(l); ++j) {
            setWeights(m, l, j, std::vector<float>(std::size_t(m.LayerSize(l - 1) + 1), w));
        }
    }
}

using Counts = std::array<int, WeightBins>;

} // namespace

Q_DECLARE_METATYPE(Counts)

class TestPlotDrawing : public QObject
{
    Q_OBJECT

private slots:

    // Bins of width (wmax - wmin) / 9 from wmin; the largest weight opens bin 10.
    void histogram()
    {
        TestBench b;
        QVERIFY(buildNet(b.wb, {"1", "5"}));
        NetModel &m = b.wb.model;
        const float w[] = {-1, -0.9f, -0.5f, -0.1f, 0, 0.1f, 0.5f, 0.75f, 0.9f, 1};
        for (int j = 1; j <= 5; ++j) {
            setWeights(m, 2, j, {w[2 * j - 2], w[2 * j - 1]});
        }
        const WeightHistogram h = weightHistogram(m);
        QCOMPARE(h.counts, (Counts {2, 0, 1, 0, 3, 0, 1, 1, 1, 1}));
        QVERIFY(near(h.width, 2.0f / 9.0f, 1e-6f));
        const ChartData chart = weightsChart(m);
        QCOMPARE(chart.title, QStringLiteral("Weight Distribution"));
        QCOMPARE(chart.xTitle, QStringLiteral("Weight Value"));
        QCOMPARE(chart.yTitle, QStringLiteral("Count"));
        QCOMPARE(chart.graphType, int16_t(ChartBars3D));
        QCOMPARE(chart.numSets(), 1);
        QCOMPARE(chart.numPoints(), 10);
        QCOMPARE(chart.sets[0].values[4], 3.0f);
        QCOMPARE(chart.xPositions[0], -1.0f);
        QVERIFY(near(chart.xPositions[2], -1.0f + 4.0f / 9.0f, 1e-6f));
        QVERIFY(near(chart.xPositions[9], 1.0f, 1e-6f));
    }

    // A 2-2-1 net has 9 weights; when they are all equal the chart has one bar holding all 9 at
    // their value.
    void histogramCountsAndEqualWeights()
    {
        TestBench b;
        QVERIFY(buildNet(b.wb, {"2", "2", "1"}));
        NetModel &m = b.wb.model;
        const WeightHistogram random = weightHistogram(m);
        int total = 0;
        for (int c : random.counts) {
            total += c;
        }
        QCOMPARE(total, 9);
        QCOMPARE(random.range.count, 9);
        QVERIFY(random.counts[9] >= 1);
        setAllWeights(m, 0.3f);
        const ChartData chart = weightsChart(m);
        QCOMPARE(chart.numPoints(), 1);
        QCOMPARE(chart.xPositions[0], 0.3f);
        QCOMPARE(chart.sets[0].values[0], 9.0f);
    }

    // Columns 2.5 C + (l - 1) C, rows j R, the bias below the last node at half radius, labels
    // left of the inputs and bias nodes and right of the outputs.
    void geometry()
    {
        TestBench b;
        QVERIFY(buildNet(b.wb, {"2", "2", "1"}));
        const NetDrawing d = buildNetDrawing(b.wb.model, false, false);
        const NetGeometry &g = d.geometry;
        // C = 32767 / 6, R = 32767 / (2 + 3), rounded.
        QCOMPARE(g.columnSpacing, 5461);
        QCOMPARE(g.rowSpacing, 6553);
        QCOMPARE(g.radius, 910);
        QCOMPARE(g.biasRadius, 455);
        QCOMPARE(g.labelHeight, 1638);
        QCOMPARE(g.legendFontHeight, 524);
        QCOMPARE(g.legendBoxWidth, 910);

        const std::vector<DrawItem> circles = itemsOf(d, Kind::Ellipse);
        QCOMPARE(circles.size(), std::size_t(5 + 2));
        QCOMPARE(circles[0].a, QPoint(13652 - 910, 6553 - 910));
        QCOMPARE(circles[0].b, QPoint(13652 + 910, 6553 + 910));
        // Layer 1: two nodes, then its bias node at row 3.
        QCOMPARE(circles[2].a, QPoint(13652 - 455, 3 * 6553 - 455));
        QCOMPARE(circles[6].a, QPoint(13652 + 2 * 5461 - 910, 6553 - 910));
        for (const DrawItem &c : circles) {
            QCOMPARE(c.pen, PaletteDarkBlue);
            QVERIFY(!c.filled);
        }

        // 9 connections, 5 label lines, 30 legend lines; the bias connection into hidden node 1.
        const std::vector<DrawItem> lines = itemsOf(d, Kind::Line);
        QCOMPARE(lines.size(), std::size_t(9 + 5 + 30));
        QCOMPARE(lines[2].a, QPoint(13652, 3 * 6553));
        QCOMPARE(lines[2].b, QPoint(13652 + 5461, 6553));

        const DrawItem *i1 = textItem(d, "i1");
        QVERIFY(i1);
        QCOMPARE(i1->a, QPoint(13652 - 4096, 6553 - 819));
        QCOMPARE(i1->fontHeight, 1638);
        const DrawItem *o1 = textItem(d, "o1");
        QVERIFY(o1);
        QCOMPARE(o1->a, QPoint(13652 + 2 * 5461 + 3277, 6553 - 819));
        int biasLabels = 0;
        for (const DrawItem &t : itemsOf(d, Kind::Text)) {
            biasLabels += t.text == u"-1";
        }
        QCOMPARE(biasLabels, 2);
        QVERIFY(textItem(d, "i2") && !textItem(d, "i3") && !textItem(d, "o2"));

        // Filled: the input layer dark green, the others dark red.
        const std::vector<DrawItem> filled =
                itemsOf(buildNetDrawing(b.wb.model, false, true), Kind::Ellipse);
        QVERIFY(filled[0].filled && filled[2].filled && filled[3].filled);
        QCOMPARE(filled[2].brush, PaletteDarkGreen);
        QCOMPARE(filled[3].brush, PaletteDarkRed);
    }

    void hues_data()
    {
        QTest::addColumn<double>("hue");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("b");
        QTest::addRow("red") << 0.0 << 255 << 0 << 0;
        QTest::addRow("yellow") << 60.0 << 255 << 255 << 0;
        QTest::addRow("half sector") << 90.0 << 127 << 255 << 0;
        QTest::addRow("green, colour 30") << 120.0 << 0 << 255 << 0;
        QTest::addRow("blue") << 240.0 << 0 << 0 << 255;
        QTest::addRow("magenta") << 300.0 << 255 << 0 << 255;
        QTest::addRow("colour 1") << 352.0 << 255 << 0 << 34;
    }

    void hues()
    {
        QFETCH(double, hue);
        QFETCH(int, r);
        QFETCH(int, g);
        QFETCH(int, b);
        const Rgb expected {uint8_t(r), uint8_t(g), uint8_t(b)};
        QCOMPARE(hueColour(hue), expected);
    }

    // The scale runs from the smallest weight (colour 1) to the largest (colour 30), or with
    // Abs(W) from 0 to the largest magnitude, so -2 and +2 share a colour; the legend gives the
    // lower end of each colour.
    void colourSteps_data()
    {
        QTest::addColumn<bool>("absolute");
        QTest::addColumn<QList<int>>("colours");
        QTest::addColumn<QStringList>("legend");
        QTest::addRow("signed") << false << QList<int> {1, 19, 30, 22}
                                << QStringList {"-2.0", "-0.069", "+0.069", "+2.0"};
        QTest::addRow("Abs(W)") << true << QList<int> {30, 8, 30, 15}
                                << QStringList {"0.0", "0.966", "1.034", "2.0"};
    }

    void colourSteps()
    {
        QFETCH(bool, absolute);
        QFETCH(QList<int>, colours);
        QFETCH(QStringList, legend);
        TestBench b;
        setUpPlusMinusTwo(b.wb);
        const NetDrawing d = buildNetDrawing(b.wb.model, absolute, false);
        QCOMPARE(d.colours.legendRows(), 30);
        const std::vector<DrawItem> lines = itemsOf(d, Kind::Line);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(lines[std::size_t(i)].pen, scaleColour(colours[i]));
        }
        const QStringList rows {d.colours.legendText(1), d.colours.legendText(15),
                                d.colours.legendText(16), d.colours.legendText(30)};
        QCOMPARE(rows, legend);
        // The legend's rows: box and text of row k at y = k * 655.
        const std::vector<DrawItem> boxes = itemsOf(d, Kind::Rect);
        QCOMPARE(boxes.size(), std::size_t(30));
        QCOMPARE(boxes[29].a, QPoint(0, 30 * 655));
        QCOMPARE(boxes[29].b, QPoint(d.geometry.legendBoxWidth, 31 * 655));
        QCOMPARE(boxes[29].brush, scaleColour(30));
        QVERIFY(textItem(d, legend.back()));

        // The table the command-line tool writes: the same weights and colours.
        const QStringList csv = netDrawingCsv(b.wb.model, absolute).split(QStringLiteral("\r\n"));
        QCOMPARE(csv.size(), 6);
        QCOMPARE(csv[0], QStringLiteral("Layer,From,To,Weight,Colour"));
        QCOMPARE(csv[1], QStringLiteral("2,1,1,-2,%1").arg(colours[0]));
        QCOMPARE(csv[4], QStringLiteral("2,2,2,1,%1").arg(colours[3]));
    }

    // Equal weights give a zero step: every connection in colour 1 and one legend row.
    void equalWeights_data()
    {
        QTest::addColumn<float>("weight");
        QTest::addColumn<bool>("absolute");
        QTest::addColumn<QString>("legend");
        QTest::addRow("all 0.5") << 0.5f << false << "+0.5";
        QTest::addRow("all -0.25") << -0.25f << false << "-0.25";
        QTest::addRow("all 0, Abs(W)") << 0.0f << true << "0.0";
    }

    void equalWeights()
    {
        QFETCH(float, weight);
        QFETCH(bool, absolute);
        QFETCH(QString, legend);
        TestBench b;
        QVERIFY(buildNet(b.wb, {"2", "3", "1"}));
        setAllWeights(b.wb.model, weight);
        const NetDrawing d = buildNetDrawing(b.wb.model, absolute, false);
        QCOMPARE(d.colours.step, 0.0);
        QCOMPARE(d.colours.legendRows(), 1);
        const std::vector<DrawItem> lines = itemsOf(d, Kind::Line);
        // 13 connections, 2 + 2 + 1 label lines, one legend line.
        QCOMPARE(lines.size(), std::size_t(13 + 5 + 1));
        for (std::size_t i = 0; i < 13; ++i) {
            QCOMPARE(lines[i].pen, scaleColour(1));
        }
        QCOMPARE(itemsOf(d, Kind::Rect).size(), std::size_t(1));
        QVERIFY(textItem(d, legend));
    }
};

QTEST_GUILESS_MAIN(TestPlotDrawing)
#include "tst_plotdrawing.moc"
