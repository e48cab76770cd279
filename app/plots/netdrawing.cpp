#include "plots/netdrawing.h"

#include <algorithm>
#include <cmath>

#include "model/netmodel.h"
#include "model/numberformat.h"
#include "plots/weighthistogram.h"

namespace {

// A length or coordinate in whole logical units.
int whole(double units)
{
    return int(roundHalfEven(units));
}

uint8_t channel(double fraction)
{
    // Just below 256, so a full channel is 255 and never 256.
    return uint8_t(fraction * 255.99999999999204);
}

DrawItem line(QPoint from, QPoint to, Rgb pen)
{
    DrawItem item;
    item.kind = DrawItem::Kind::Line;
    item.a = from;
    item.b = to;
    item.pen = pen;
    return item;
}

DrawItem circle(QPoint centre, int radius, Rgb pen, const Rgb *fill)
{
    DrawItem item;
    item.kind = DrawItem::Kind::Ellipse;
    item.a = centre - QPoint(radius, radius);
    item.b = centre + QPoint(radius, radius);
    item.pen = pen;
    item.filled = fill != nullptr;
    if (fill) {
        item.brush = *fill;
    }
    return item;
}

DrawItem text(QPoint topLeft, int height, const QString &content)
{
    DrawItem item;
    item.kind = DrawItem::Kind::Text;
    item.a = topLeft;
    item.pen = PaletteBlack;
    item.fontHeight = height;
    item.text = content;
    return item;
}

} // namespace

Rgb hueColour(double hue)
{
    const double h = std::fmod(std::fmod(hue, 360.0) + 360.0, 360.0) / 60.0;
    const int sector = std::min(int(h), 5);
    const double f = h - sector;
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    switch (sector) {
    case 0:
        r = 1.0, g = f;
        break;
    case 1:
        r = 1.0 - f, g = 1.0;
        break;
    case 2:
        g = 1.0, b = f;
        break;
    case 3:
        g = 1.0 - f, b = 1.0;
        break;
    case 4:
        r = f, b = 1.0;
        break;
    default:
        r = 1.0, b = 1.0 - f;
        break;
    }
    return {channel(r), channel(g), channel(b)};
}

Rgb scaleColour(int k)
{
    return hueColour(360.0 - 8.0 * std::clamp(k, 1, ColourSteps));
}

int WeightColours::colourOf(float w) const
{
    if (!(step > 0.0) || !std::isfinite(w)) {
        return 1;
    }
    const double low = absolute ? 0.0 : double(wmin);
    const double value = absolute ? std::fabs(double(w)) : double(w);
    const double top = low + step * (ColourSteps - 1);
    // The top of the range opens the last colour whatever the rounding of the step.
    if (value >= top) {
        return ColourSteps;
    }
    return std::clamp(int((value - low) / step) + 1, 1, ColourSteps);
}

QString WeightColours::legendText(int k) const
{
    const QStringView pattern = u"#0.0##";
    const double lower = step * (k - 1);
    if (absolute) {
        return formatNumber(lower, pattern);
    }
    const double v = double(wmin) + lower;
    return (v >= 0.0 ? QStringLiteral("+") : QStringLiteral("-"))
            + formatNumber(std::fabs(v), pattern);
}

WeightColours weightColours(const NetModel &model, bool absolute)
{
    const WeightRange range = weightRange(model);
    WeightColours colours;
    colours.wmin = range.wmin;
    colours.wmax = range.wmax;
    colours.absolute = absolute;
    const double span = absolute ? std::max(double(range.wmax), std::fabs(double(range.wmin)))
                                 : double(range.wmax) - double(range.wmin);
    colours.step = span / (ColourSteps - 1);
    return colours;
}

QPoint NetGeometry::node(int l, int j) const
{
    return {whole(2.5 * columnSpacing) + (l - 1) * columnSpacing, j * rowSpacing};
}

QPoint NetGeometry::bias(int l, int layerSize) const
{
    return node(l, layerSize + 1);
}

NetGeometry netGeometry(int numLayers, int maxNodes)
{
    NetGeometry g;
    g.columnSpacing = whole(double(NetSpace) / (numLayers + 3));
    g.rowSpacing = whole(double(NetSpace) / (maxNodes + 2));
    g.radius = whole(std::min(g.columnSpacing, g.rowSpacing) / 6.0);
    g.biasRadius = whole(g.radius / 2.0);
    g.labelHeight = whole(g.rowSpacing / 4.0);
    g.legendFontHeight = whole(0.8 * g.legendRow);
    g.legendBoxWidth = whole(g.columnSpacing / 6.0);
    return g;
}

NetDrawing buildNetDrawing(const NetModel &m, bool absolute, bool fillNeurons)
{
    NetDrawing d;
    const int layers = m.BuiltNumLayers;
    if (layers < 2) {
        return d;
    }
    const Array1<int16_t> &nn = m.BuiltLayerSize;
    const NetGeometry g = netGeometry(layers, m.MaxNodes);
    d.geometry = g;
    d.colours = weightColours(m, absolute);
    const auto source = [&](int l, int i) { return i > nn(l) ? g.bias(l, nn(l)) : g.node(l, i); };

    forEachWeight(m, [&](int l, int i, int j, float w) {
        d.items.push_back(line(source(l - 1, i), g.node(l, j), scaleColour(d.colours.colourOf(w))));
    });

    for (int l = 1; l <= layers; ++l) {
        const Rgb fill = l == 1 ? PaletteDarkGreen : PaletteDarkRed;
        const Rgb *brush = fillNeurons ? &fill : nullptr;
        for (int j = 1; j <= nn(l); ++j) {
            d.items.push_back(circle(g.node(l, j), g.radius, PaletteDarkBlue, brush));
        }
        if (l < layers) {
            d.items.push_back(circle(g.bias(l, nn(l)), g.biasRadius, PaletteDarkBlue, brush));
        }
    }

    const int c = g.columnSpacing;
    const int h = g.labelHeight;
    const auto leftLabel = [&](QPoint at, const QString &label) {
        d.items.push_back(line(at - QPoint(whole(0.4 * c), 0), at, PaletteBlack));
        d.items.push_back(text(at - QPoint(whole(0.75 * c), whole(h / 2.0)), h, label));
    };
    for (int j = 1; j <= nn(1); ++j) {
        leftLabel(g.node(1, j), QStringLiteral("i") + QString::number(j));
    }
    for (int l = 1; l < layers; ++l) {
        leftLabel(g.bias(l, nn(l)), QStringLiteral("-1"));
    }
    for (int j = 1; j <= nn(layers); ++j) {
        const QPoint at = g.node(layers, j);
        d.items.push_back(line(at, at + QPoint(whole(0.4 * c), 0), PaletteBlack));
        d.items.push_back(text(at + QPoint(whole(0.6 * c), -whole(h / 2.0)), h,
                               QStringLiteral("o") + QString::number(j)));
    }

    const int rowHeight = g.legendRow;
    const int boxWidth = g.legendBoxWidth;
    for (int k = 1; k <= d.colours.legendRows(); ++k) {
        const int y = k * rowHeight;
        const Rgb colour = scaleColour(k);
        DrawItem box;
        box.kind = DrawItem::Kind::Rect;
        box.a = QPoint(0, y);
        box.b = QPoint(boxWidth, y + rowHeight);
        box.pen = colour;
        box.filled = true;
        box.brush = colour;
        d.items.push_back(box);
        d.items.push_back(text(QPoint(boxWidth, y), g.legendFontHeight, d.colours.legendText(k)));
        d.items.push_back(line(QPoint(0, y), QPoint(boxWidth, y), colour));
    }
    return d;
}
