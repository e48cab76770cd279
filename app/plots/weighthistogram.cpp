#include "plots/weighthistogram.h"

#include <algorithm>
#include <cmath>

#include "model/netmodel.h"

void forEachWeight(const NetModel &m,
                   const std::function<void(int l, int i, int j, float w)> &visit)
{
    // Walk the arrays as built, so a layer list changed since the last build cannot lead
    // outside them.
    const Array1<int16_t> &nn = m.BuiltLayerSize;
    for (int l = 2; l <= m.BuiltNumLayers; ++l) {
        for (int j = 1; j <= nn(l); ++j) {
            for (int i = 1; i <= nn(l - 1) + 1; ++i) {
                visit(l, i, j, m.Weights(l, i, j));
            }
        }
    }
}

WeightRange weightRange(const NetModel &model)
{
    WeightRange range;
    forEachWeight(model, [&range](int, int, int, float w) {
        if (!std::isfinite(w)) {
            return;
        }
        if (range.count == 0) {
            range.wmin = range.wmax = w;
        }
        range.wmin = std::min(range.wmin, w);
        range.wmax = std::max(range.wmax, w);
        ++range.count;
    });
    return range;
}

WeightHistogram weightHistogram(const NetModel &model)
{
    WeightHistogram h;
    h.range = weightRange(model);
    const float wmin = h.range.wmin;
    const float wmax = h.range.wmax;
    h.width = (wmax - wmin) / float(WeightBins - 1);
    forEachWeight(model, [&](int, int, int, float x) {
        if (!std::isfinite(x)) {
            return;
        }
        int bin = 1;
        if (wmax > wmin) {
            // Nine widths span wmin..wmax; scaling by 9 / span rather than dividing by the
            // rounded width keeps the largest weight in bin 10 whatever the rounding.
            bin = int(double(WeightBins - 1) * (double(x) - wmin) / (double(wmax) - wmin)) + 1;
            bin = std::clamp(bin, 1, WeightBins);
        }
        ++h.counts[std::size_t(bin - 1)];
    });
    return h;
}

ChartData weightsChart(const NetModel &model)
{
    const WeightHistogram h = weightHistogram(model);
    ChartData chart;
    chart.title = QStringLiteral("Weight Distribution");
    chart.xTitle = QStringLiteral("Weight Value");
    chart.yTitle = QStringLiteral("Count");
    chart.graphType = ChartBars3D;
    ChartSet &set = chart.sets.emplace_back();
    set.legend = QStringLiteral("Count");
    if (h.width > 0.0f) {
        for (int k = 1; k <= WeightBins; ++k) {
            chart.xPositions.push_back(h.range.wmin + float(k - 1) * h.width);
            set.values.push_back(float(h.counts[std::size_t(k - 1)]));
        }
    } else if (h.range.count > 0) {
        chart.xPositions.push_back(h.range.wmin);
        set.values.push_back(float(h.range.count));
    }
    return chart;
}
