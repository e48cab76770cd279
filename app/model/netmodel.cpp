#include "model/netmodel.h"

const std::array<QString, 5> &neuronFunctionNames()
{
    static const std::array<QString, 5> names{QStringLiteral("Sigmoid"),
                                              QStringLiteral("Linear"),
                                              QStringLiteral("Tanh"),
                                              QStringLiteral("Gaussian"),
                                              QStringLiteral("Sigmoid+0.1")};
    return names;
}

NetModel::NetModel()
{
    resetModelFields(*this);
    fillFuncRange(*this);
    Graph[0].XLabel = QStringLiteral("Pat. Index");
}

bool NetModel::arraysMatchLayers() const
{
    if (BuiltNumLayers != NumLayers || BuiltLayerSize.size() < NumLayers
        || LayerSize.size() < NumLayers) {
        return false;
    }
    for (int l = 1; l <= NumLayers; ++l) {
        if (BuiltLayerSize(l) != LayerSize(l)) {
            return false;
        }
    }
    return true;
}

void fillFuncRange(NetModel &model)
{
    model.FuncRange = {{{-3, 3, 0, 1}, {-50, 50, -50, 50}, {-3, 3, -1, 1}, {-3, 3, 0, 1},
                        {-3, 3, 0, 1}}};
}

void resetModelFields(NetModel &m)
{
    m.WeightsChanged = false;
    m.Eta = 0.2f;
    m.Alpha = 0.5f;
    m.InputNoise = 0.0f;
    m.WeightNoise = 0.0f;
    m.Temp = 1.0f;
    m.EpochsPerCall = 5;
    m.MinWeight = -3.0f;
    m.MaxWeight = 3.0f;
    m.PatClip = 0.0f;
    m.TargetErr = 0.01f;
    m.WDecay = 0.01f;
    m.InNormLog = false;
    m.OutNormLog = false;
    m.TrainMode = 1;
    m.GrowthFactor = 1.75f;
    m.WCutOff = 30.0f;
    m.RandomSampling = 0;

    m.NumLayers = 3;
    m.LayerSize.resize(3);
    m.NeuronFunc.resize(3);
    m.LayerSize(1) = 2;
    m.LayerSize(2) = 2;
    m.LayerSize(3) = 1;
    for (int l = 1; l <= 3; ++l) {
        m.NeuronFunc(l) = FuncSigmoid;
    }
    fillFuncRange(m);
    m.CurLayer = 0;

    m.NetFileName.clear();
    m.NumPats = 0;
    m.NumTestPats = 0;

    m.StopFlag = true;
    m.HasPatterns = false;
    m.HasWeightFile = false;
    m.HasTest = false;
    m.HasNetFile = false;
    m.NormOn = false;
    m.GlobalNorm = false;
    m.NormInProgress = false;

    for (int g = 1; g <= 6; ++g) {
        m.Graph[g] = GraphSetting{};
        m.Graph[g].XLabel = QStringLiteral("Pat. Index");
    }
    m.Graph[1].YLabel = QStringLiteral("Net-Out");
    m.Graph[2].YLabel = QStringLiteral("Error");
    m.Graph[3].XLabel = QStringLiteral("Iteration");
    m.Graph[3].YLabel = QStringLiteral("RMS Error");
    m.Graph[4].XLabel = QStringLiteral("Input no.");
    m.Graph[4].YLabel = QStringLiteral("Sensitivity");
    m.Graph[5].YLabel = QStringLiteral("Net-Out (Test)");
    m.Graph[6].YLabel = QStringLiteral("Error");

    m.PatsLinked = false;
    m.TestLinked = false;
    m.LinkItemSeparator = QStringLiteral("!");
    m.LearnAdapt = LearnAdaptation{};
    m.NetTitle = QStringLiteral("New Net");
    m.SetsRegenerated = false;
}

int32_t countWeights(const NetModel &m)
{
    int32_t total = 0;
    for (int l = 2; l <= m.NumLayers && l <= m.LayerSize.size(); ++l) {
        total += int32_t{m.LayerSize(l)} * (int32_t{m.LayerSize(l - 1)} + 1);
    }
    return total;
}

void releaseDataSets(NetModel &m)
{
    m.HasPatterns = false;
    m.HasTest = false;
    m.NumPats = 0;
    m.NumTestPats = 0;
    m.PatIn.clear();
    m.PatOut.clear();
    m.TstIn.clear();
    m.TstOut.clear();
}
