#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "model/colmajor.h"
#include "model/columnnames.h"
#include "model/result.h"

struct Workbench;

// The network as every exporter writes it: what goes in and comes out in data units, the
// scaling on either side and the weights layer by layer.
struct ExportedNet
{
    struct Layer
    {
        int inputs = 0;
        int nodes = 0;
        int16_t function = 1;
        // Row j (0-based) holds the weights from inputs 1..inputs into node j+1, then its bias:
        // nodes x (inputs + 1) values.
        std::vector<float> weights;

        float weight(int j, int i) const
        {
            return weights[static_cast<std::size_t>(j) * static_cast<std::size_t>(inputs + 1)
                           + static_cast<std::size_t>(i)];
        }
    };

    // A scaling per column: x -> a * x + b, or a * ln(x) + b on a log side; for outputs the way
    // back, (y - b) / a and then e^x on a log side, a column with a = 0 passing y unchanged.
    struct Scaling
    {
        bool on = false;
        bool log = false;
        std::vector<float> a;
        std::vector<float> b;
    };

    QString title;
    QString netFile;
    float temperature = 1.0f;
    int inputs = 0;
    int outputs = 0;
    // Layers 2..NumLayers.
    std::vector<Layer> layers;
    Scaling in;
    Scaling out;
    ColumnNames names;
};

// The open network for export. Refuses, with a message for the user, a network whose arrays were
// not built for its layer list and one holding a weight, factor or temperature that is not a
// finite number.
Result<ExportedNet> exportedNet(const Workbench &wb);

// Rows of the training set with the network's outputs for them, both in data units, as "Run Net"
// lists them: at most limit patterns, from the first.
struct ExportSamples
{
    int count = 0;
    Array2 in;
    Array2 out;
};

// Nothing (count 0) when the training set is absent or does not fit the network, or the engine
// cannot run it.
ExportSamples runSamples(Workbench &wb, int limit);

// The name an export's save dialog starts with: the network file's with the extension, or
// "*.extension" for a network that has no file.
QString exportInitialName(const Workbench &wb, QStringView extension);

// The name of a layer's neuron function as the main window lists it; any code the function list
// does not hold acts as "Sigmoid".
QString exportedFunctionName(int16_t code);
