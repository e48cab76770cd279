#include "model/weightfile.h"

#include <algorithm>
#include <cmath>

#include "model/listinput.h"
#include "model/netmodel.h"
#include "model/numberformat.h"

namespace {

constexpr int WeightFieldWidth = 11;

QString weightField(float w)
{
    return formatNumber(w, u"###0.000000").rightJustified(WeightFieldWidth) + u' ';
}

int32_t weightCount(const Array1<int16_t> &sizes, int numLayers)
{
    int32_t total = 0;
    for (int l = 2; l <= numLayers && l <= sizes.size(); ++l) {
        total += int32_t {sizes(l)} * (int32_t {sizes(l - 1)} + 1);
    }
    return total;
}

} // namespace

LoadError weightFileError(const QString &reason)
{
    return LoadError {0, QStringLiteral("Error in Weight file\n\rError: ") + reason};
}

Result<QString> formatWeightText(const NetModel &m)
{
    // The arrays as built: after a refused build the layer list may ask for more than they hold.
    const Array1<int16_t> &nn = m.BuiltLayerSize;
    const int layers = m.BuiltNumLayers;
    QString text = PrintLine().number(int(weightCount(nn, layers))).str();
    for (int l = 2; l <= layers; ++l) {
        text += PrintLine().number(l).str();
        for (int j = 1; j <= nn(l); ++j) {
            QString line;
            for (int i = 1; i <= nn(l - 1) + 1; ++i) {
                const float w = m.Weights(l, i, j);
                if (!std::isfinite(w)) {
                    return LoadError {0,
                                      QStringLiteral("weight %1 of node %2 in layer %3 is %4")
                                              .arg(i)
                                              .arg(j)
                                              .arg(l)
                                              .arg(formatNumber(w, u"0"))};
                }
                line += weightField(w);
            }
            text += PrintLine().text(line).str();
        }
    }
    return text;
}

Result<std::vector<float>>
parseWeightText(const QString &text, const Array1<int16_t> &layerSizes, int numLayers)
{
    numLayers = std::min(numLayers, layerSizes.size());
    ListReader reader(text);
    // An unreadable count stays 0 and fails the comparison like a wrong one.
    int32_t count = 0;
    reader.readInt32(count);
    if (count != weightCount(layerSizes, numLayers)) {
        return LoadError {reader.line(),
                          QStringLiteral("Number of weights do not agree with net size ! ! !")};
    }
    std::vector<float> weights;
    weights.reserve(static_cast<std::size_t>(count));
    for (int l = 2; l <= numLayers; ++l) {
        // The layer number is only a marker.
        float marker = 0;
        reader.readSingle(marker);
        const int inputs = layerSizes(l - 1) + 1;
        for (int j = 1; j <= layerSizes(l); ++j) {
            for (int i = 1; i <= inputs; ++i) {
                if (reader.atEnd()) {
                    return weightFileError(QStringLiteral("the file ends after %1 of its %2 "
                                                          "weights")
                                                   .arg(weights.size())
                                                   .arg(count));
                }
                float w = 0;
                if (!reader.readSingle(w)) {
                    return weightFileError(QStringLiteral("weight %1 of node %2 in layer %3 "
                                                          "(line %4) %5")
                                                   .arg(i)
                                                   .arg(j)
                                                   .arg(l)
                                                   .arg(reader.line())
                                                   .arg(notASingle(reader)));
                }
                weights.push_back(w);
            }
        }
    }
    return weights;
}
