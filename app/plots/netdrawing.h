#pragma once

#include <cstdint>
#include <vector>

#include <QPoint>
#include <QString>

struct NetModel;

// A colour as three 8-bit channels (the core knows no QColor).
struct Rgb
{
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// The colours of the 16-colour basic palette that the drawing uses.
constexpr Rgb PaletteBlack {0, 0, 0};
constexpr Rgb PaletteDarkBlue {0, 0, 128};
constexpr Rgb PaletteDarkGreen {0, 128, 0};
constexpr Rgb PaletteDarkRed {128, 0, 0};

// Width and height of the drawing's logical space.
constexpr int NetSpace = 32767;

// Steps of the weight colour scale.
constexpr int ColourSteps = 30;

// The colour of hue degrees at full saturation and value; each channel is the integer part of
// its fraction times a number just below 256.
Rgb hueColour(double hue);

// Colour k (1..30) of the scale: hue 360 - 8k, from 352 (smallest weights) down to 120 (largest).
Rgb scaleColour(int k);

// Which colour each weight gets and what the legend says.
struct WeightColours
{
    float wmin = 0.0f;
    float wmax = 0.0f;
    // Abs(W): the scale runs from 0 to the largest magnitude and ignores signs.
    bool absolute = false;
    // Weight range of one colour; 0 when all weights (or magnitudes) are equal.
    double step = 0.0;

    // The colour step 1..30 of a weight; 1 when step is 0 or w is not a number.
    int colourOf(float w) const;

    // Legend rows: 30, or 1 when step is 0.
    int legendRows() const { return step > 0.0 ? ColourSteps : 1; }

    // Row k's text, the lower end of colour k: "#0.0##" of step * (k - 1) with Abs(W), else of
    // |wmin + step * (k - 1)| after "+" or "-".
    QString legendText(int k) const;
};

WeightColours weightColours(const NetModel &model, bool absolute);

// Where everything lies in the logical space.
struct NetGeometry
{
    int columnSpacing = 0; // C = 32767 / (layers + 3)
    int rowSpacing = 0; // R = 32767 / (largest layer + 3)
    int radius = 0; // min(C, R) / 6
    int biasRadius = 0; // radius / 2
    int labelHeight = 0; // R / 4
    int legendRow = NetSpace / 50;
    int legendFontHeight = 0; // 0.8 x legendRow
    int legendBoxWidth = 0; // C / 6

    // Centre of node j of layer l (both from 1): the columns start at 2.5 C, node j at j R.
    QPoint node(int l, int j) const;
    // Centre of the bias node of layer l, below its last node.
    QPoint bias(int l, int layerSize) const;
};

NetGeometry netGeometry(int numLayers, int maxNodes);

// One drawing primitive in logical units. Line: from a to b. Ellipse and Rect: the box from a to
// b. Text: its top-left corner at a, in the "Arial" font of height fontHeight.
struct DrawItem
{
    enum class Kind { Line, Ellipse, Rect, Text };

    Kind kind = Kind::Line;
    QPoint a;
    QPoint b;
    Rgb pen;
    bool filled = false;
    Rgb brush;
    int fontHeight = 0;
    QString text;
};

// The whole network picture in drawing order: connections, nodes, labels, colour legend.
struct NetDrawing
{
    NetGeometry geometry;
    WeightColours colours;
    std::vector<DrawItem> items;
};

// The picture of the built network: every connection a line in the colour of its weight, the
// nodes as circles over them (bias nodes at half radius; with fillNeurons filled dark green in
// the input layer and dark red elsewhere), the labels "i1".., "-1", "o1".. and the legend of the
// colour scale at the left edge. Empty when no network is built.
NetDrawing buildNetDrawing(const NetModel &model, bool absolute, bool fillNeurons);
