#include "commands.h"

#include <array>

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "cliui.h"
#include "model/netfile.h"
#include "model/numberformat.h"
#include "model/weightfile.h"
#include "model/workbench.h"
#include "training/construction.h"
#include "training/engineapi.h"

namespace {

// The program's state after start-up: New Net defaults and the default network built, with
// the engine loaded by name like the windowed program.
struct Session
{
    CliUi ui;
    EngineApi engine;
    Workbench wb {ui, engine};

    Session()
    {
        resetModel(wb);
        buildNetwork(wb);
    }

    // Whether the engine routines that opening a network needs are there; when not, the
    // missing library or routine has been reported.
    bool engineReady() { return engine.require(ui, {"ZEROW", "RNDW", "MINMAX", "NORMALIZE"}); }
};

QString onOff(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QString fileOrNone(const QString &caption)
{
    return caption.isEmpty() || caption == noFileCaption() ? QStringLiteral("none") : caption;
}

QString functionName(int16_t code)
{
    const auto &names = neuronFunctionNames();
    return code >= 1 && code <= static_cast<int>(names.size())
            ? names[static_cast<std::size_t>(code - 1)]
            : QString::number(code);
}

void printInfo(QTextStream &out, const Workbench &wb)
{
    const NetModel &m = wb.model;
    const FormState &f = wb.form;
    out << "Network file: " << m.NetFileName << '\n';
    out << "Title: " << m.NetTitle << '\n';
    out << "Layers: " << m.NumLayers << '\n';
    for (int l = 1; l <= m.NumLayers; ++l) {
        out << "  Layer " << l << ": " << m.LayerSize(l)
            << (m.LayerSize(l) == 1 ? " node" : " nodes");
        if (l == 1) {
            out << ", input\n";
        } else {
            out << ", " << functionName(m.NeuronFunc(l)) << '\n';
        }
    }
    out << "Training mode: " << (m.TrainMode == 1 ? "Back propagation" : "Quick Prop.") << '\n';
    out << "Eta: " << generalNumber(m.Eta) << '\n';
    out << "Alpha: " << generalNumber(m.Alpha) << '\n';
    out << "Input noise: " << generalNumber(m.InputNoise) << '\n';
    out << "Weight noise: " << generalNumber(m.WeightNoise) << '\n';
    out << "Temp: " << generalNumber(m.Temp) << '\n';
    out << "Iter./calc.: " << m.EpochsPerCall << '\n';
    out << "Clip patterns: " << generalNumber(m.PatClip) << '\n';
    out << "Target error: " << generalNumber(m.TargetErr) << '\n';
    out << "Growth factor: " << generalNumber(m.GrowthFactor) << '\n';
    out << "Weight cutoff: " << generalNumber(m.WCutOff) << '\n';
    out << "Weight decay: " << generalNumber(m.WDecay) << '\n';
    out << "Random weights: " << f.text(QStringLiteral("TXT_minW")) << " to "
        << f.text(QStringLiteral("TXT_maxW")) << '\n';
    out << "Epoch length: " << f.text(QStringLiteral("TXT_EpocLen")) << '\n';
    out << "Random sampling: " << onOff(m.RandomSampling != 0) << '\n';
    out << "Normalization: " << onOff(m.NormOn);
    if (m.NormOn) {
        out << (m.GlobalNorm ? ", global" : ", by node") << ", inputs "
            << (m.InNormLog ? "log" : "linear") << ", outputs "
            << (m.OutNormLog ? "log" : "linear");
    }
    out << '\n';
    out << "Pattern file: " << fileOrNone(f.text(QStringLiteral("LBL_DataFile"))) << '\n';
    out << "Patterns: " << m.NumPats << '\n';
    out << "Test file: " << fileOrNone(f.text(QStringLiteral("LBL_TestFile"))) << '\n';
    out << "Test patterns: " << m.NumTestPats << '\n';
    out << "Weight file: " << fileOrNone(f.text(QStringLiteral("LBL_WeightFile"))) << '\n';
    out << "Weights: " << f.text(QStringLiteral("PNL_NW")) << ", min "
        << f.text(QStringLiteral("PNL_MinW")) << ", max " << f.text(QStringLiteral("PNL_MaxW"))
        << '\n';
}

int runInfo(const QStringList &args)
{
    Session s;
    if (!s.engineReady() || !loadNet(s.wb, args.at(0)).done()) {
        return ExitFailed;
    }
    QTextStream out(stdout);
    printInfo(out, s.wb);
    return ExitOk;
}

int runSave(const QStringList &args)
{
    Session s;
    if (!s.engineReady() || !loadNet(s.wb, args.at(0)).done()) {
        return ExitFailed;
    }
    QString net = args.at(1);
    if (QFileInfo(net).suffix().isEmpty()) {
        net += QStringLiteral(".net");
    }
    // The weights go beside the network, under its base name.
    const QFileInfo netInfo(net);
    const QString weights =
            netInfo.dir().filePath(netInfo.completeBaseName() + QStringLiteral(".wgt"));
    s.ui.setFile(QStringLiteral("Save Weights As"), weights);
    s.ui.setFile(QStringLiteral("Save Net As"), net);
    if (!saveWeights(s.wb, true).done() || !saveNet(s.wb, true).done()) {
        return ExitFailed;
    }
    QTextStream out(stdout);
    out << "Saved " << net << " and " << weights << '\n';
    return ExitOk;
}

const std::array<CliCommand, 2> Commands {{
        {"info", "info NET",
         "open the network file NET with its data and weights and describe the network", 1,
         &runInfo},
        {"save", "save NET OUT",
         "open NET and save it as OUT (\".net\" added when OUT has no extension) with its "
         "weights in OUT's folder under OUT's base name and \".wgt\"",
         2, &runSave},
}};

} // namespace

std::span<const CliCommand> cliCommands()
{
    return Commands;
}
