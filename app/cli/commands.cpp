#include "cli/commands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <optional>
#include <utility>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>

#include <unistd.h>

#include "cli/cliui.h"
#include "cli/linkcommand.h"
#include "cli/plotfiles.h"
#include "dataprep/createtest.h"
#include "dataprep/csvimport.h"
#include "dataprep/importcommands.h"
#include "dataprep/normworkflow.h"
#include "exchange/dbus/dbuslinkport.h"
#include "export/cexport.h"
#include "export/dataexport.h"
#include "export/onnx/onnxexport.h"
#include "files/datalinks.h"
#include "files/netcommands.h"
#include "files/patterncommands.h"
#include "files/savesafety.h"
#include "files/weightcommands.h"
#include "model/netfile.h"
#include "model/normfactors.h"
#include "model/numberformat.h"
#include "model/patternfile.h"
#include "model/textfile.h"
#include "model/weightfile.h"
#include "plots/outputplots.h"
#include "plots/plotexport.h"
#include "session/controls.h"
#include "session/engineapi.h"
#include "session/workbench.h"
#include "training/analysis.h"
#include "training/construction.h"
#include "training/evaluation.h"
#include "training/parameters.h"
#include "training/report.h"
#include "training/suggestion.h"
#include "training/training.h"

namespace {

// The program's state after start-up: New Net defaults and the default network built, with
// the engine loaded by name like the windowed program.
struct Session
{
    CliUi ui;
    EngineApi engine;
    CliDesktop desktop;
    Workbench wb {ui, engine, desktop};
    // A network file may name linked sets: the tool links them like the program, and starts
    // itself as the server of a linked file nobody serves.
    DbusLinkPort links;

    Session()
    {
        links.setCompanionProgram(QCoreApplication::applicationFilePath());
        attachDataLinks(wb, links);
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
    out << "Random weights: " << f.text(Control::TXT_minW) << " to " << f.text(Control::TXT_maxW)
        << '\n';
    out << "Epoch length: " << f.text(Control::TXT_EpocLen) << '\n';
    out << "Random sampling: " << onOff(m.RandomSampling != 0) << '\n';
    out << "Normalization: " << onOff(m.NormOn);
    if (m.NormOn) {
        out << (m.GlobalNorm ? ", global" : ", by node") << ", inputs "
            << (m.InNormLog ? "log" : "linear") << ", outputs "
            << (m.OutNormLog ? "log" : "linear");
    }
    out << '\n';
    out << "Pattern file: " << fileOrNone(f.text(Control::LBL_DataFile)) << '\n';
    out << "Patterns: " << m.NumPats << '\n';
    out << "Test file: " << fileOrNone(f.text(Control::LBL_TestFile)) << '\n';
    out << "Test patterns: " << m.NumTestPats << '\n';
    out << "Weight file: " << fileOrNone(f.text(Control::LBL_WeightFile)) << '\n';
    out << "Weights: " << f.text(Control::PNL_NW) << ", min " << f.text(Control::PNL_MinW)
        << ", max " << f.text(Control::PNL_MaxW) << '\n';
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

// Why path cannot name a file to write, for the command line's message; empty when it can.
QString outputProblem(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        return path + QStringLiteral(" is a folder");
    }
    if (info.completeBaseName().isEmpty()) {
        return path + QStringLiteral(" names no file");
    }
    return QString();
}

int runSave(const QStringList &args)
{
    QString net = args.at(1);
    if (const QString problem = outputProblem(net); !problem.isEmpty()) {
        QTextStream(stderr) << "axona: " << problem << '\n';
        return ExitUsage;
    }
    if (QFileInfo(net).suffix().isEmpty()) {
        net += QStringLiteral(".net");
    }
    // The network file names its weights as written here: whole, so that they are found from
    // any folder. The weights go beside the network, under its base name.
    net = QFileInfo(net).absoluteFilePath();
    const QFileInfo netInfo(net);
    const QString weights =
            netInfo.dir().filePath(netInfo.completeBaseName() + QStringLiteral(".wgt"));
    Session s;
    if (!s.engineReady() || !loadNet(s.wb, args.at(0)).done()) {
        return ExitFailed;
    }
    // Checked before anything is written: the weights go first.
    QString target = net;
    QString reason = roleClash(s.wb, net, SaveKind::Network);
    if (reason.isEmpty()) {
        target = weights;
        reason = roleClash(s.wb, weights, SaveKind::Weights);
    }
    if (reason.isEmpty() && sameFile(net, weights)) {
        reason = QStringLiteral("the network file and its weight file would be the same file");
    }
    if (!reason.isEmpty()) {
        s.ui.critical(QStringLiteral("Cannot write %1: %2").arg(target, reason));
        return ExitFailed;
    }
    s.ui.setFile(QStringLiteral("Save Weights As"), weights);
    s.ui.setFile(QStringLiteral("Save Net As"), net);
    if (!saveWeights(s.wb, true).done() || !saveNet(s.wb, true).done()) {
        return ExitFailed;
    }
    return ExitOk;
}

// Options after the network file: flags and options with a fixed number of values.
class Options
{
public:
    // Reads args from index 1; names maps every known option to its number of values.
    Options(const QStringList &args, const QHash<QString, int> &names)
    {
        for (int i = 1; i < args.size(); ++i) {
            const QString &name = args.at(i);
            const int count = names.value(name, -1);
            if (count < 0 || i + count >= args.size() + (count == 0 ? 1 : 0)) {
                m_bad = count < 0 ? QStringLiteral("unknown option ") + name
                                  : QStringLiteral("option ") + name
                                + QStringLiteral(" needs %1 value(s)").arg(count);
                return;
            }
            m_values[name] = args.mid(i + 1, count);
            if (m_values[name].contains(QString())) {
                m_bad = QStringLiteral("option ") + name + QStringLiteral(" needs a value");
                return;
            }
            i += count;
        }
    }

    // Why the command line cannot be read, or empty.
    const QString &problem() const { return m_bad; }

    bool has(const QString &name) const { return m_values.contains(name); }

    QString value(const QString &name, int i = 0) const { return m_values.value(name).value(i); }

private:
    QHash<QString, QStringList> m_values;
    QString m_bad;
};

int usageError(const char *usage, const QString &problem)
{
    QTextStream err(stderr);
    if (!problem.isEmpty()) {
        err << "axona: " << problem << '\n';
    }
    err << "usage: axona " << usage << '\n';
    return ExitUsage;
}

// A number given on the command line; nothing when the text is not one.
std::optional<double> number(const QString &text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// Loads NET into a fresh session; false when the engine or the file failed (already shown).
bool open(Session &s, const QString &net)
{
    return s.engineReady() && loadNet(s.wb, net).done();
}

// Saves the network under its own name with its weights; a network without a weight file gets
// one beside it under its base name.
bool saveBack(Session &s)
{
    const QFileInfo net(s.wb.model.NetFileName);
    s.ui.setFile(QStringLiteral("Save Weights As"),
                 net.dir().filePath(net.completeBaseName() + QStringLiteral(".wgt")));
    return saveNet(s.wb, false, s.wb.model.NetFileName).done();
}

void printReport(const Workbench &wb)
{
    QTextStream out(stdout);
    out << plainLines(wb.report.text);
    if (!wb.report.text.endsWith(u'\n')) {
        out << '\n';
    }
}

// One progress line: the values of the "Training Results" panel, the epochs and engine calls
// named as such, and the test set's figures when one is measured.
QString progressLine(const IterationResult &r)
{
    QString line = QStringLiteral("Epochs: %1 (engine calls: %2)  RMS error: %3  Good: %4 (%5%)")
                           .arg(generalNumber(r.epochs), QString::number(r.engineCalls),
                                formatNumber(r.rms, u"#.000000000"), QString::number(r.good),
                                formatNumber(r.goodPercent, u"##0"));
    if (r.testPatterns > 0) {
        line += QStringLiteral("  Test RMS error: ") + formatNumber(r.testRms, u"#.000000000");
        if (r.testMisclassified >= 0) {
            line += QStringLiteral("  Test class. err.: ")
                    + formatNumber(100.0 * r.testMisclassified / r.testPatterns, u"##0.0")
                    + QLatin1Char('%');
        }
    }
    return line;
}

// Writes a plot; false when it could not (and says why).
bool writePlot(const QString &problem, const QString &path)
{
    if (!problem.isEmpty()) {
        QTextStream(stderr) << "axona: " << problem << '\n';
        return false;
    }
    QTextStream(stdout) << "Saved " << path << '\n';
    return true;
}

// Makes the engine's random draws repeat: every reseed from now on reads seed as its clock.
bool fixSeed(Session &s, const Options &o)
{
    if (!o.has("--seed")) {
        return true;
    }
    if (!s.engine.require(s.ui, {"FIXCLOCK"})) {
        return false;
    }
    int32_t t = o.value("--seed").toInt();
    int16_t fixed = 1;
    s.engine.fn().FIXCLOCK(&t, &fixed);
    return true;
}

// Why --seed cannot be used, or empty.
QString seedProblem(const Options &o)
{
    bool ok = true;
    if (o.has("--seed")) {
        o.value("--seed").toInt(&ok);
    }
    return ok ? QString() : QStringLiteral("--seed needs a whole number");
}

// The signal that asked a training run to end, or 0.
volatile std::sig_atomic_t interruptSignal = 0;

void interrupted(int signal)
{
    interruptSignal = signal;
}

// SIGINT and SIGTERM end the run at the next engine call, as the window's Stop does, so that
// what it learned can still be saved; a second signal ends the tool at once.
void catchInterrupts()
{
    struct sigaction action = {};
    action.sa_handler = interrupted;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

const char *const TrainUsage =
        "train NET [--max-iterations N] [--seconds S] [--save] [--plot-rms FILE] [--keep-best] "
        "[--seed N] [--eta E] [--alpha A] [--mode bp|qp] [--epochs-per-call N] "
        "[--epoch-length N] [--target T]";

// The one-run overrides of the training parameters: each goes into its box (or the model) as
// if typed, so the run and a --save see it. Returns why one cannot be used, or empty.
QString applyTrainOverrides(Session &s, const Options &o)
{
    Workbench &wb = s.wb;
    if (o.has("--epochs-per-call")) {
        const auto n = number(o.value("--epochs-per-call"));
        if (!n || *n < 1 || *n > 32767 || *n != std::floor(*n)) {
            return QStringLiteral("--epochs-per-call needs a whole number 1..32767");
        }
    }
    for (const auto &[option, box] : {std::pair {"--eta", Control::TXT_Eta},
                                      {"--alpha", Control::TXT_Alpha},
                                      {"--epochs-per-call", Control::TXT_epocs},
                                      {"--target", Control::TXT_TargetErr}}) {
        if (!o.has(option)) {
            continue;
        }
        const QString text = o.value(option);
        if (!number(text)) {
            return QLatin1String(option) + QStringLiteral(" needs a number");
        }
        wb.form.setText(box, text);
        parameterTextChanged(wb, box, text);
    }
    if (o.has("--mode")) {
        const QString mode = o.value("--mode");
        if (mode != QLatin1String("bp") && mode != QLatin1String("qp")) {
            return QStringLiteral("--mode is bp or qp");
        }
        wb.model.TrainMode = mode == QLatin1String("bp") ? 1 : 2;
    }
    if (o.has("--epoch-length")) {
        const auto n = number(o.value("--epoch-length"));
        if (!n || *n < 1 || *n > wb.model.NumPats || *n != std::floor(*n)) {
            return QStringLiteral("--epoch-length needs a whole number 1..%1 (the patterns)")
                    .arg(wb.model.NumPats);
        }
        wb.form.setText(Control::TXT_EpocLen, o.value("--epoch-length"));
    }
    wb.form.setChecked(Control::CHK_KeepBest, o.has("--keep-best"));
    return QString();
}

int runTrain(const QStringList &args)
{
    const Options o(args,
                    {{"--max-iterations", 1},
                     {"--seconds", 1},
                     {"--save", 0},
                     {"--plot-rms", 1},
                     {"--keep-best", 0},
                     {"--seed", 1},
                     {"--eta", 1},
                     {"--alpha", 1},
                     {"--mode", 1},
                     {"--epochs-per-call", 1},
                     {"--epoch-length", 1},
                     {"--target", 1}});
    if (o.has("--plot-rms")) {
        if (const QString problem = plotOutputProblem(o.value("--plot-rms")); !problem.isEmpty()) {
            return usageError(TrainUsage, problem);
        }
    }
    TrainOptions options;
    if (o.has("--max-iterations")) {
        const auto n = number(o.value("--max-iterations"));
        if (!n || *n < 1 || *n > 2e9) {
            return usageError(TrainUsage, QStringLiteral("--max-iterations needs a count >= 1"));
        }
        options.maxIterations = static_cast<int32_t>(*n);
    }
    if (o.has("--seconds")) {
        const auto sec = number(o.value("--seconds"));
        if (!sec || *sec <= 0) {
            return usageError(TrainUsage, QStringLiteral("--seconds needs a time > 0"));
        }
        options.maxSeconds = *sec;
    }
    if (!o.problem().isEmpty() || !seedProblem(o).isEmpty()) {
        return usageError(TrainUsage, o.problem() + seedProblem(o));
    }
    Session s;
    if (!open(s, args.at(0))) {
        return ExitFailed;
    }
    if (const QString problem = applyTrainOverrides(s, o); !problem.isEmpty()) {
        return usageError(TrainUsage, problem);
    }
    if (o.has("--keep-best") && !s.wb.model.HasTest) {
        return usageError(TrainUsage,
                          QStringLiteral("--keep-best needs a test set (the network "
                                         "names none)"));
    }
    if (!fixSeed(s, o)) {
        return ExitFailed;
    }
    QTextStream err(stderr);
    const bool terminal = isatty(fileno(stderr)) != 0;
    QElapsedTimer shown;
    shown.start();
    IterationResult last;
    bool any = false;
    options.onShown = [&](const IterationResult &r) {
        last = r;
        any = true;
        if (terminal) {
            // A bar of the good percentage, the measure the run stops on.
            const int filled = std::clamp(static_cast<int>(r.goodPercent / 5.0f), 0, 20);
            err << "\r[" << QString(filled, u'#') << QString(20 - filled, u' ') << "] "
                << progressLine(r) << "   " << Qt::flush;
        } else if (shown.elapsed() >= 1000) {
            err << progressLine(r) << '\n' << Qt::flush;
            shown.restart();
        }
    };
    s.ui.onYield = [&s] {
        if (interruptSignal != 0) {
            stopTraining(s.wb);
        }
    };
    catchInterrupts();
    TrainSummary summary;
    const TrainEnd end = trainNet(s.wb, options, &summary);
    if (terminal && any) {
        err << '\n';
    }
    if (end == TrainEnd::Refused) {
        return ExitFailed;
    }
    if (any) {
        err << progressLine(last) << '\n';
    }
    if (end == TrainEnd::Diverged) {
        // The message box has said it; the weights are the last sound ones, saved if asked.
        err << "Diverged: stopped";
    } else {
        err << (end == TrainEnd::TargetReached ? "Target error reached"
                                               : "Stopped before the target error was reached");
    }
    err << " after "
        << generalNumber(static_cast<float>(s.wb.model.IterCount) * s.wb.model.EpochsPerCall)
        << " iterations\n";
    if (summary.bestIteration > 0) {
        err << "Best weights on the test set kept: iteration "
            << generalNumber(static_cast<float>(summary.bestIteration) * s.wb.model.EpochsPerCall)
            << ", test RMS error " << formatNumber(summary.bestTestRms, u"#.000000000") << '\n';
    }
    if (summary.saturationWarned) {
        err << "Warning: the error stood still while the nodes sat at the ends of their range; "
               "try a smaller Eta or weight range (axona new --suggest)\n";
    }
    if (o.has("--plot-rms")) {
        const QString path = o.value("--plot-rms");
        const ChartData rms = rmsErrorsChart(s.wb.rmsHistory, s.wb.model.Graph[3]);
        if (!writePlot(writeChartOutput(rms, path), path)) {
            return ExitFailed;
        }
    }
    // The weights a diverged run ended with are the last sound ones, but on the way to ruin: the
    // files keep what they held.
    if (o.has("--save") && end == TrainEnd::Diverged) {
        err << "Not saved: the run diverged\n";
    } else if (o.has("--save") && !saveBack(s)) {
        return ExitFailed;
    }
    if (interruptSignal != 0) {
        return ExitSignalBase + interruptSignal;
    }
    return end == TrainEnd::Diverged ? ExitFailed : ExitOk;
}

const char *const RunUsage = "run NET [--test] [--layer L]";

int runRun(const QStringList &args)
{
    const Options o(args, {{"--test", 0}, {"--layer", 1}});
    if (!o.problem().isEmpty()) {
        return usageError(RunUsage, o.problem());
    }
    const auto layer = o.has("--layer") ? number(o.value("--layer")) : std::optional<double>(0);
    if (!layer) {
        return usageError(RunUsage, QStringLiteral("--layer needs a layer number"));
    }
    Session s;
    if (!open(s, args.at(0))) {
        return ExitFailed;
    }
    if (o.has("--layer")) {
        if (*layer < 2 || *layer > s.wb.model.NumLayers) {
            QTextStream(stderr) << "axona: --layer must be 2.." << s.wb.model.NumLayers << '\n';
            return ExitUsage;
        }
        s.wb.report.open = true;
        s.wb.report.layer = static_cast<int>(*layer);
    }
    if (!runNet(s.wb, o.has("--test"))) {
        return ExitFailed;
    }
    printReport(s.wb);
    return ExitOk;
}

const char *const ReportUsage = "report NET [--test] -o FILE.res";

int runReportFile(const QStringList &args)
{
    const Options o(args, {{"--test", 0}, {"-o", 1}});
    if (!o.problem().isEmpty() || !o.has("-o")) {
        return usageError(ReportUsage, o.problem());
    }
    QString file = o.value("-o");
    if (const QString problem = outputProblem(file); !problem.isEmpty()) {
        return usageError(ReportUsage, problem);
    }
    if (QFileInfo(file).suffix().isEmpty()) {
        file += QStringLiteral(".res");
    }
    Session s;
    if (!open(s, args.at(0))) {
        return ExitFailed;
    }
    // The window asks before overwriting; here the answer would be yes, even for the data.
    if (refuseRoleClash(s.wb, file, SaveKind::Report)) {
        return ExitFailed;
    }
    // The report window's run fixes ReportMode; "Save As..." writes that report in full.
    if (!runNet(s.wb, o.has("--test"))) {
        return ExitFailed;
    }
    s.ui.setFile(QStringLiteral("Save Report As"), file);
    return saveReport(s.wb).isEmpty() ? ExitFailed : ExitOk;
}

const char *const SensitivityUsage = "sensitivity NET [--step P]";

int runSensitivity(const QStringList &args)
{
    const Options o(args, {{"--step", 1}});
    const auto step = o.has("--step") ? number(o.value("--step")) : std::optional<double>(10);
    if (!o.problem().isEmpty() || !step || *step == 0 || std::abs(*step) > 100
        || *step != std::trunc(*step)) {
        return usageError(SensitivityUsage,
                          o.problem().isEmpty() ? QStringLiteral("--step needs a whole percentage "
                                                                 "in -100..100 other than 0")
                                                : o.problem());
    }
    Session s;
    if (!open(s, args.at(0))) {
        return ExitFailed;
    }
    s.wb.report.sensStep = static_cast<int>(*step);
    if (!showSensitivity(s.wb)) {
        return ExitFailed;
    }
    printReport(s.wb);
    return ExitOk;
}

int runWeights(const QStringList &args)
{
    const Options o(args, {{"--delta", 0}});
    if (!o.problem().isEmpty()) {
        return usageError("weights NET [--delta]", o.problem());
    }
    Session s;
    if (!open(s, args.at(0))) {
        return ExitFailed;
    }
    if (o.has("--delta")) {
        showWeightDelta(s.wb);
    } else {
        showWeights(s.wb);
    }
    printReport(s.wb);
    return ExitOk;
}

const char *const EvalUsage = "eval NET [--test | --data FILE] [--json]";

int runEval(const QStringList &args)
{
    const Options o(args, {{"--test", 0}, {"--data", 1}, {"--json", 0}});
    if (!o.problem().isEmpty() || (o.has("--test") && o.has("--data"))) {
        return usageError(EvalUsage,
                          o.problem().isEmpty() ? QStringLiteral("give --test or --data, not both")
                                                : o.problem());
    }
    Session s;
    if (!open(s, args.at(0))) {
        return ExitFailed;
    }
    QString title = QStringLiteral("Training set");
    const bool test = o.has("--test") || o.has("--data");
    if (o.has("--data")) {
        // Read as a test set: same shape checks, and the network's normalisation applied.
        const QString data = QFileInfo(o.value("--data")).absoluteFilePath();
        if (!openTest(s.wb, false, data).done()) {
            return ExitFailed;
        }
        title = o.value("--data");
    } else if (test) {
        title = QStringLiteral("Test set");
    }
    const std::optional<Evaluation> e = evaluateSet(s.wb, test);
    if (!e) {
        return ExitFailed;
    }
    QTextStream out(stdout);
    out << (o.has("--json") ? evaluationJson(*e) : plainLines(evaluationText(*e, title)));
    return ExitOk;
}

const char *const NewUsage = "new NET --layers N1,N2[,...] [--functions F2,...] --patterns FILE "
                             "[--test FILE] [--suggest] [--seed N]";

// Function codes of the layers after the input layer from names like "sigmoid,linear"; empty
// when a name is unknown or the count is not layers - 1.
std::vector<int16_t> functionCodes(const QString &list, int layers)
{
    std::vector<int16_t> codes;
    const auto &names = neuronFunctionNames();
    for (const QString &name : list.split(u',')) {
        const QString wanted = name.trimmed();
        int16_t code = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            const QString &known = names[i];
            // "Sigmoid+0.1" may be given as "sigmoid+".
            if (wanted.compare(known, Qt::CaseInsensitive) == 0
                || (known.endsWith(QStringLiteral("+0.1"))
                    && wanted.compare(known.chopped(3), Qt::CaseInsensitive) == 0)) {
                code = static_cast<int16_t>(i + 1);
            }
        }
        if (code == 0) {
            return {};
        }
        codes.push_back(code);
    }
    return int(codes.size()) == layers - 1 ? codes : std::vector<int16_t> {};
}

int runNew(const QStringList &args)
{
    const Options o(args,
                    {{"--layers", 1},
                     {"--functions", 1},
                     {"--patterns", 1},
                     {"--test", 1},
                     {"--suggest", 0},
                     {"--seed", 1}});
    if (!o.problem().isEmpty() || !o.has("--layers") || !o.has("--patterns")) {
        return usageError(NewUsage, o.problem());
    }
    const QStringList sizes = o.value("--layers").split(u',');
    const bool sizesOk = sizes.size() >= MinLayers && sizes.size() <= MaxLayers
            && std::all_of(sizes.begin(), sizes.end(), [](const QString &n) {
                             bool ok = false;
                             const int v = n.toInt(&ok);
                             return ok && v >= 1 && v <= MaxLayerSize;
                         });
    if (!sizesOk) {
        return usageError(
                NewUsage,
                QStringLiteral("--layers needs %1 to %2 sizes of 1 to %3, comma-separated")
                        .arg(MinLayers)
                        .arg(MaxLayers)
                        .arg(MaxLayerSize));
    }
    std::vector<int16_t> codes(std::size_t(sizes.size() - 1), FuncSigmoid);
    if (o.has("--functions")) {
        codes = functionCodes(o.value("--functions"), int(sizes.size()));
        if (codes.empty()) {
            return usageError(NewUsage,
                              QStringLiteral("--functions needs one of sigmoid, linear, tanh, "
                                             "gaussian, sigmoid+ for each layer after the first"));
        }
    }
    if (const QString problem = seedProblem(o); !problem.isEmpty()) {
        return usageError(NewUsage, problem);
    }
    QString net = args.at(0);
    if (QFileInfo(net).suffix().isEmpty()) {
        net += QStringLiteral(".net");
    }
    net = QFileInfo(net).absoluteFilePath();
    Session s;
    if (!s.engineReady() || !fixSeed(s, o)) {
        return ExitFailed;
    }
    // As the "Net Size" panel would be filled by hand, then built.
    NetModel &m = s.wb.model;
    s.wb.form.setText(Control::PNL_Layers, QString::number(sizes.size()));
    s.wb.form.setItems(Control::CMB_LayerSize, sizes);
    m.NeuronFunc.resize(int(sizes.size()));
    m.NeuronFunc(1) = FuncSigmoid;
    for (int l = 2; l <= int(sizes.size()); ++l) {
        m.NeuronFunc(l) = codes[std::size_t(l - 2)];
    }
    if (!buildNetwork(s.wb)) {
        return ExitFailed;
    }
    showLayers(s.wb);
    if (!openPatterns(s.wb, false, QFileInfo(o.value("--patterns")).absoluteFilePath()).done()
        || (o.has("--test")
            && !openTest(s.wb, false, QFileInfo(o.value("--test")).absoluteFilePath()).done())) {
        return ExitFailed;
    }
    if (o.has("--suggest")) {
        QTextStream(stdout) << suggestionText(applySuggestion(s.wb)) << '\n';
        randomizeWeights(s.wb);
    }
    const QFileInfo netInfo(net);
    const QString weights =
            netInfo.dir().filePath(netInfo.completeBaseName() + QStringLiteral(".wgt"));
    s.ui.setFile(QStringLiteral("Save Weights As"), weights);
    s.ui.setFile(QStringLiteral("Save Net As"), net);
    if (!saveWeights(s.wb, true).done() || !saveNet(s.wb, true).done()) {
        return ExitFailed;
    }
    QTextStream(stdout) << "Saved " << net << " and " << weights << '\n';
    return ExitOk;
}

const char *const RandomizeUsage = "randomize NET [--seed N]";

int runRandomize(const QStringList &args)
{
    const Options o(args, {{"--seed", 1}});
    if (!o.problem().isEmpty() || !seedProblem(o).isEmpty()) {
        return usageError(RandomizeUsage, o.problem() + seedProblem(o));
    }
    Session s;
    if (!open(s, args.at(0)) || !fixSeed(s, o)) {
        return ExitFailed;
    }
    randomizeWeights(s.wb);
    return saveBack(s) ? ExitOk : ExitFailed;
}

const char *const PlotUsage = "plot NET KIND -o FILE [--step P] [--abs] [--fill]";

int runPlot(const QStringList &args)
{
    const std::optional<PlotExportKind> kind =
            args.size() >= 2 ? plotExportKind(args.at(1)) : std::nullopt;
    if (!kind) {
        return usageError(PlotUsage,
                          QStringLiteral("KIND is one of ")
                                  + plotExportKindNames().join(QStringLiteral(", ")));
    }
    const Options o(args.mid(1), {{"-o", 1}, {"--step", 1}, {"--abs", 0}, {"--fill", 0}});
    if (!o.problem().isEmpty() || !o.has("-o")) {
        return usageError(PlotUsage, o.problem());
    }
    const bool layout = *kind == PlotExportKind::Layout;
    if ((o.has("--step") && *kind != PlotExportKind::Sensitivity)
        || ((o.has("--abs") || o.has("--fill")) && !layout)) {
        return usageError(PlotUsage,
                          QStringLiteral("--step goes with sensitivity, --abs and "
                                         "--fill with layout"));
    }
    const auto step = o.has("--step") ? number(o.value("--step")) : std::optional<double>(10);
    if (!step || *step == 0 || std::abs(*step) > 100) {
        return usageError(PlotUsage,
                          QStringLiteral("--step needs a percentage in -100..100 other than 0"));
    }
    const QString path = o.value("-o");
    if (const QString problem = plotOutputProblem(path); !problem.isEmpty()) {
        return usageError(PlotUsage, problem);
    }
    Session s;
    if (!open(s, args.at(0))) {
        return ExitFailed;
    }
    if (layout) {
        return writePlot(writeLayoutOutput(s.wb.model, o.has("--abs"), o.has("--fill"), path), path)
                ? ExitOk
                : ExitFailed;
    }
    const std::optional<ChartData> chart = exportChart(s.wb, *kind, static_cast<int>(*step));
    if (!chart) {
        return ExitFailed;
    }
    return writePlot(writeChartOutput(*chart, path), path) ? ExitOk : ExitFailed;
}

const char *const NormalizeUsage =
        "normalize NET [--in-range LO HI] [--out-range LO HI] [--global] [--in-log] [--out-log]"
        " [--raw-ins] [--raw-outs]";

int runNormalize(const QStringList &args)
{
    const Options o(args,
                    {{"--in-range", 2},
                     {"--out-range", 2},
                     {"--global", 0},
                     {"--in-log", 0},
                     {"--out-log", 0},
                     {"--raw-ins", 0},
                     {"--raw-outs", 0}});
    if (!o.problem().isEmpty()) {
        return usageError(NormalizeUsage, o.problem());
    }
    for (const char *range : {"--in-range", "--out-range"}) {
        if (o.has(range) && (!number(o.value(range, 0)) || !number(o.value(range, 1)))) {
            return usageError(NormalizeUsage,
                              QLatin1String(range) + QStringLiteral(" needs two numbers"));
        }
    }
    // A side left raw is not normalised at all, so it has no log either.
    for (const auto &[raw, log] :
         {std::pair {"--raw-ins", "--in-log"}, {"--raw-outs", "--out-log"}}) {
        if (o.has(raw) && o.has(log)) {
            return usageError(NormalizeUsage,
                              QStringLiteral("%1 and %2 exclude each other: a side left raw is "
                                             "not normalised, with or without the log")
                                      .arg(QLatin1String(raw), QLatin1String(log)));
        }
    }
    Session s;
    if (!open(s, args.at(0))) {
        return ExitFailed;
    }
    NormForm form;
    fillNormForm(s.wb, form);
    if (o.has("--in-range")) {
        form.newMinIn = o.value("--in-range", 0);
        form.newMaxIn = o.value("--in-range", 1);
    }
    if (o.has("--out-range")) {
        form.newMinOut = o.value("--out-range", 0);
        form.newMaxOut = o.value("--out-range", 1);
    }
    chooseGlobalNorm(s.wb, form, o.has("--global"));
    setNormalizeInputs(form, !o.has("--raw-ins"));
    setNormalizeOutputs(form, !o.has("--raw-outs"));
    // Asked for on the command line, the log is tried on the raw data, which decide.
    form.inLog.checked = o.has("--in-log");
    form.outLog.checked = o.has("--out-log");
    if (!normalizeData(s.wb, form) || !saveBack(s)) {
        return ExitFailed;
    }
    QTextStream(stdout) << "Normalized: inputs " << form.minIn << " to " << form.maxIn
                        << ", outputs " << form.minOut << " to " << form.maxOut << '\n';
    return ExitOk;
}

const char *const CreateTestUsage =
        "create-test NET --percent P | --random-block N | --range FROM TO [--seed N]";

// A set's file text in data units (raw even while the data are held normalised, so that reading
// it back with the stored factors gives the same set).
Result<QString> rawSetText(const NetModel &m, int16_t count, Array2 in, Array2 out)
{
    if (m.NormOn) {
        unnormalizeSet(m, in, out);
    }
    return formatPatternText(count, in, out);
}

// Names beside the network for the two sets that no file has yet: "<base>-train.pat" and
// "<base>-test.tst", else with "-2", "-3"... after the base, so that no earlier set (the one the
// network trains on now, a test set of an earlier run) is ever overwritten.
std::pair<QString, QString> freeSetNames(const QString &netFile)
{
    const QFileInfo net(netFile);
    for (int n = 1;; ++n) {
        const QString base =
                net.completeBaseName() + (n == 1 ? QString() : u'-' + QString::number(n));
        const QString train = net.dir().filePath(base + QStringLiteral("-train.pat"));
        const QString test = net.dir().filePath(base + QStringLiteral("-test.tst"));
        if (!QFileInfo::exists(train) && !QFileInfo::exists(test)) {
            return {train, test};
        }
    }
}

int runCreateTest(const QStringList &args)
{
    const Options o(args, {{"--percent", 1}, {"--random-block", 1}, {"--range", 2}, {"--seed", 1}});
    if (!seedProblem(o).isEmpty()) {
        return usageError(CreateTestUsage, seedProblem(o));
    }
    const int methods =
            int(o.has("--percent")) + int(o.has("--random-block")) + int(o.has("--range"));
    if (!o.problem().isEmpty() || methods != 1) {
        return usageError(CreateTestUsage,
                          o.problem().isEmpty() ? QStringLiteral("give exactly one of --percent, "
                                                                 "--random-block and --range")
                                                : o.problem());
    }
    Session s;
    if (!open(s, args.at(0)) || !fixSeed(s, o)) {
        return ExitFailed;
    }
    CreateTestChoice form;
    openCreateTest(s.wb, form);
    if (o.has("--percent")) {
        form.data[0] = o.value("--percent");
    } else if (o.has("--random-block")) {
        chooseTestMethod(form, 1);
        form.data[1] = o.value("--random-block");
    } else {
        chooseTestMethod(form, 2);
        form.data[2] = o.value("--range", 0);
        form.data[3] = o.value("--range", 1);
    }
    if (createTest(s.wb, form) != CreateTestEnd::Created) {
        return ExitFailed;
    }
    // The sets go beside the network under new names, both or neither; the network then names
    // them. Should that fail, the new files go again and the network keeps its old sets.
    NetModel &m = s.wb.model;
    const auto [train, test] = freeSetNames(m.NetFileName);
    const Result<QString> trainText = rawSetText(m, m.NumPats, m.PatIn, m.PatOut);
    const Result<QString> testText = rawSetText(m, m.NumTestPats, m.TstIn, m.TstOut);
    const Status written = !trainText ? writeTextFile(train, trainText)
            : !testText               ? writeTextFile(test, testText)
                        : writeTextFiles({{train, trainText.value()}, {test, testText.value()}});
    if (!written) {
        s.ui.critical(written.error().message);
        return ExitFailed;
    }
    m.SetsRegenerated = false;
    m.PatsUnsaved = false;
    m.TestUnsaved = false;
    if (!openPatterns(s.wb, false, train).done() || !openTest(s.wb, false, test).done()
        || !saveBack(s)) {
        QFile::remove(train);
        QFile::remove(test);
        return ExitFailed;
    }
    s.ui.filesSaved({train, test});
    QTextStream(stdout) << m.NumPats << " training patterns in " << train << ", " << m.NumTestPats
                        << " test patterns in " << test << '\n';
    return ExitOk;
}

const char *const ImportUsage =
        "import DATA.csv -o OUT.pat [--inputs COLS] [--outputs COLS] [--one-hot COL] "
        "[--delimiter C] [--drop-missing] [--test-percent P [--seed N]] [--net NET [--hidden H]]";

// The delimiter a user names: the character itself, or "tab".
std::optional<QChar> delimiterOption(const QString &text)
{
    if (text == u"tab" || text == u"\\t" || text == u"\t") {
        return QChar(u'\t');
    }
    if (text.size() == 1 && QStringLiteral(",;|: ").contains(text.front())) {
        return text.front();
    }
    return std::nullopt;
}

// A network file fitted to imported data: New Net's defaults with inputs, hidden and outputs
// nodes, naming the pattern (and test) file, its weights beside it.
bool writeNetworkForImport(
        Session &s, const QString &net, int nin, int hidden, int nout, const ImportFiles &files)
{
    Workbench &wb = s.wb;
    if (!s.engineReady() || !fitNetworkToData(wb, nin, nout)) {
        return false;
    }
    selectLayer(wb, 1);
    changeLayerSize(wb, QString::number(hidden));
    if (wb.model.LayerSize(2) != hidden || !openPatterns(wb, false, files.patterns).done()
        || (!files.test.isEmpty() && !openTest(wb, false, files.test).done())) {
        return false;
    }
    const QFileInfo info(net);
    s.ui.setFile(QStringLiteral("Save Weights As"),
                 info.dir().filePath(info.completeBaseName() + QStringLiteral(".wgt")));
    return saveNet(wb, false, net).done();
}

int runImport(const QStringList &args)
{
    const Options o(args,
                    {{"-o", 1},
                     {"--inputs", 1},
                     {"--outputs", 1},
                     {"--one-hot", 1},
                     {"--delimiter", 1},
                     {"--drop-missing", 0},
                     {"--test-percent", 1},
                     {"--seed", 1},
                     {"--net", 1},
                     {"--hidden", 1}});
    if (!o.problem().isEmpty() || !o.has("-o")) {
        return usageError(ImportUsage,
                          o.problem().isEmpty() ? QStringLiteral("-o OUT.pat is "
                                                                 "missing")
                                                : o.problem());
    }
    CsvReadOptions read;
    if (o.has("--delimiter")) {
        const auto delimiter = delimiterOption(o.value("--delimiter"));
        if (!delimiter) {
            return usageError(ImportUsage,
                              QStringLiteral("--delimiter takes one character or "
                                             "\"tab\""));
        }
        read.delimiter = *delimiter;
    }
    CsvImportChoice choice;
    choice.dropMissing = o.has("--drop-missing");
    if (o.has("--test-percent")) {
        const auto percent = number(o.value("--test-percent"));
        if (!percent || *percent <= 0 || *percent >= 100) {
            return usageError(ImportUsage,
                              QStringLiteral("--test-percent needs a number "
                                             "between 0 and 100"));
        }
        choice.testPercent = *percent;
    }
    if (o.has("--seed")) {
        bool ok = false;
        choice.seed = o.value("--seed").toUInt(&ok);
        if (!ok) {
            return usageError(ImportUsage, QStringLiteral("--seed needs a whole number from 0"));
        }
    }
    int hidden = 0;
    if (o.has("--hidden")) {
        const auto h = number(o.value("--hidden"));
        if (!o.has("--net") || !h || *h < 1 || *h > MaxLayerSize || *h != std::floor(*h)) {
            return usageError(ImportUsage,
                              QStringLiteral("--hidden needs --net and a layer size "
                                             "of 1 to %1")
                                      .arg(MaxLayerSize));
        }
        hidden = static_cast<int>(*h);
    }

    QTextStream err(stderr);
    const Result<QString> text = readTextFile(args.at(0));
    if (!text) {
        err << "axona: " << text.error().message << '\n';
        return ExitFailed;
    }
    const Result<CsvTable> table = readCsv(text.value(), read);
    if (!table) {
        err << "axona: " << args.at(0) << ": " << table.error().message << '\n';
        return ExitFailed;
    }
    const Result<QList<ColumnRole>> roles = rolesFromLists(
            table.value(), o.value("--inputs"), o.value("--outputs"), o.value("--one-hot"));
    if (!roles) {
        err << "axona: " << roles.error().message << '\n';
        return ExitFailed;
    }
    choice.roles = roles.value();
    const Result<CsvImport> import = importCsvTable(table.value(), choice);
    if (!import) {
        err << "axona: " << args.at(0) << ": " << import.error().message << '\n';
        return ExitFailed;
    }
    const CsvImport &data = import.value();
    const ImportFiles files = importFiles(o.value("-o"), data.test.count > 0);
    if (const Status written = writeImport(data, files); !written) {
        err << "axona: " << written.error().message << '\n';
        return ExitFailed;
    }
    QTextStream out(stdout);
    if (data.dropped > 0) {
        out << data.dropped << " rows with a missing or non-numeric value left out\n";
    }
    out << describeImport(data) << " in " << files.patterns;
    if (!files.test.isEmpty()) {
        out << " and " << files.test;
    }
    out << "; column names in " << files.names << '\n';
    if (o.has("--net")) {
        Session s;
        const int nin = static_cast<int>(data.names.inputs.size());
        const int nout = static_cast<int>(data.names.outputs.size());
        if (hidden == 0) {
            hidden = std::max(2, (nin + nout + 1) / 2);
        }
        if (!writeNetworkForImport(s, o.value("--net"), nin, hidden, nout, files)) {
            return ExitFailed;
        }
        out << "Saved " << o.value("--net") << ": " << nin << "-" << hidden << "-" << nout << '\n';
    }
    return ExitOk;
}

const char *const ExportCUsage = "export-c NET -o FILE.c [--name NAME]";

int runExportC(const QStringList &args)
{
    const Options o(args, {{"-o", 1}, {"--name", 1}});
    if (!o.problem().isEmpty() || !o.has("-o")) {
        return usageError(ExportCUsage,
                          o.problem().isEmpty() ? QStringLiteral("-o FILE.c is "
                                                                 "missing")
                                                : o.problem());
    }
    Session s;
    if (!open(s, args.at(0))) {
        return ExitFailed;
    }
    s.ui.setFile(QStringLiteral("Export C"), o.value("-o"));
    const FileResult done = exportC(s.wb, o.value("--name"));
    if (!done.done()) {
        return ExitFailed;
    }
    const CExportFiles files = cExportFiles(done.name);
    QTextStream(stdout) << "Saved " << files.source << ", " << files.header << " and " << files.test
                        << '\n';
    return ExitOk;
}

const char *const ExportOnnxUsage = "export-onnx NET -o FILE.onnx";

int runExportOnnx(const QStringList &args)
{
    const Options o(args, {{"-o", 1}});
    if (!o.problem().isEmpty() || !o.has("-o")) {
        return usageError(ExportOnnxUsage,
                          o.problem().isEmpty() ? QStringLiteral("-o FILE.onnx "
                                                                 "is missing")
                                                : o.problem());
    }
    Session s;
    if (!open(s, args.at(0))) {
        return ExitFailed;
    }
    s.ui.setFile(QStringLiteral("Export ONNX"), o.value("-o"));
    const FileResult done = exportOnnx(s.wb);
    if (!done.done()) {
        return ExitFailed;
    }
    QTextStream(stdout) << "Saved " << done.name << '\n';
    return ExitOk;
}

const char *const ExportDataUsage = "export-data NET --csv [-o BASE]";

int runExportData(const QStringList &args)
{
    const Options o(args, {{"--csv", 0}, {"-o", 1}});
    if (!o.problem().isEmpty() || !o.has("--csv")) {
        return usageError(ExportDataUsage,
                          o.problem().isEmpty() ? QStringLiteral("--csv is "
                                                                 "missing")
                                                : o.problem());
    }
    Session s;
    if (!open(s, args.at(0))) {
        return ExitFailed;
    }
    const Result<QStringList> written = exportDataCsv(s.wb, o.value("-o"));
    if (!written) {
        QTextStream(stderr) << "axona: " << written.error().message << '\n';
        return ExitFailed;
    }
    QTextStream(stdout) << "Saved " << written.value().join(QStringLiteral(" and ")) << '\n';
    return ExitOk;
}

const std::array<CliCommand, 18> Commands {{
        {"info", "info NET",
         "open the network file NET with its data and weights and describe the network", 1,
         &runInfo,
         "Opens NET exactly as \"Open Net...\" does (its pattern, weight and test files loaded, "
         "the normalisation applied) and prints its layers and neuron functions, its training "
         "parameters, its files and the counts of patterns and weights, with their range."},
        {"save", "save NET OUT",
         "open NET and save it as OUT (\".net\" added when OUT has no extension) with its "
         "weights in OUT's folder under OUT's base name and \".wgt\"",
         2, &runSave,
         "Opens NET and saves it as OUT (\".net\" is added when OUT has no extension). The "
         "weights go beside it, under OUT's base name with \".wgt\"; the network file names them. "
         "An OUT that is one of the files the network reads (its pattern, test or weight file), "
         "or whose weight file would be OUT itself, is refused before anything is written."},
        {"train", TrainUsage,
         "train NET as \"Train\" does until every pattern is within the target error (or a "
         "bound is hit, or Ctrl-C or SIGTERM stops it), progress on standard error; --save writes "
         "the network and weights, "
         "--plot-rms the RMS Errors plot (.png, .svg, .pdf or .csv)",
         -1, &runTrain,
         "Trains NET as \"Train\" does, with the parameters, epoch length and training mode of "
         "the network file, until every pattern is within the target error. Progress (epochs, "
         "engine calls, RMS error, good patterns and their percentage) goes to standard error "
         "once a second, "
         "as a bar of the good percentage when standard error is a terminal. A run that stops at "
         "a bound also ends with status 0. Ctrl-C or SIGTERM ends the run at the next engine call, "
         "as the window's Stop does, so that --save still writes what it learned; a second one "
         "ends "
         "the tool at once.\n\n"
         "--max-iterations N  stop after N iterations. An iteration makes one engine call per "
         "epoch window (one in all when the epoch length is the number of patterns), each call "
         "\"Iter./calc.\" epochs, so the epochs shown are N times \"Iter./calc.\"\n\n"
         "--seconds S  stop after S seconds\n\n"
         "--save  write the network and its weights to their files when training ends\n\n"
         "--plot-rms FILE  draw the \"RMS Errors\" plot of the run into FILE: .png, .svg or .pdf, "
         "or .csv for its points; with a test set loaded it holds the \"RMS Error (Test)\" curve "
         "too\n\n"
         "With a test set loaded every iteration also measures it (one pass over the test "
         "patterns); the progress lines then show its RMS error and, for class targets, its "
         "misclassified share. A NaN or infinite error or weight ends the run with the weights "
         "of the last sound iteration put back, a message, and status 1; --save then writes "
         "nothing.\n\n"
         "--keep-best  end with the weights of the iteration of lowest test RMS error, however "
         "the run ends, and say which iteration that was (\"Keep best weights on test set\"). "
         "Needs a test set; report a held-out set no choice saw, e.g. with eval --data\n\n"
         "--seed N  draw the run's random numbers (random sampling, noise) from the fixed seed "
         "N: the same seed, network and parameters give the same weights bit for bit\n\n"
         "For this run only (not saved unless --save), as if typed into the boxes:\n\n"
         "--eta E  the learning rate Eta. It multiplies the gradient summed over the epoch "
         "window, so it acts like a per-pattern rate of E x epoch length\n\n"
         "--alpha A  the momentum Alpha\n\n"
         "--mode bp|qp  back propagation or quick propagation\n\n"
         "--epochs-per-call N  \"Iter./calc.\": epochs per engine call (per iteration)\n\n"
         "--epoch-length N  \"Epoch length\": patterns per window, 1 to the pattern count\n\n"
         "--target T  the target error a pattern must be within to be good"},
        {"run", RunUsage,
         "print the run report (the test report with --test) of the output layer or of layer L", -1,
         &runRun,
         "Prints the run report as the report window shows it: the RMS error and the percentage "
         "of good patterns, then for every training pattern the network's outputs beside the "
         "targets, its error and a mark when it is within the target error; with the window's "
         "limit of 32767 characters and its message when the report is longer.\n\n"
         "--test  the test report: the test patterns instead of the training patterns\n\n"
         "--layer L  the outputs of layer L instead of the output layer"},
        {"report", ReportUsage,
         "write the full run or test report to FILE.res as \"Save As...\" does", -1, &runReportFile,
         "Writes the whole run report, not cut at the window's limit, to FILE.res as the report "
         "window's \"Save As...\" does.\n\n"
         "--test  the test report instead of the run report\n\n"
         "-o FILE.res  the file to write"},
        {"sensitivity", SensitivityUsage,
         "print the input sensitivities, inputs moved by P percent (default 10)", -1,
         &runSensitivity,
         "Prints the \"Input Sensitivity\" listing: the inputs ranked by how strongly a small "
         "relative change of each changes the network's error over the training patterns, the "
         "strongest 1.000.\n\n"
         "--step P  move the inputs by P percent, -100 to 100 but not 0 (default 10)"},
        {"weights", "weights NET [--delta]",
         "print every weight (the last weight changes with --delta)", -1, &runWeights,
         "Prints the \"Weights\" listing: every weight of the network, layer by layer and node by "
         "node, the bias last.\n\n"
         "--delta  the last change of each weight instead (\"Weights Delta\")"},
        {"eval", EvalUsage,
         "print the evaluation figures of the training set, the test set (--test) or another "
         "pattern file (--data FILE): RMS error, good patterns, squared error percentage, and for "
         "class targets the misclassification and the confusion matrix",
         -1, &runEval,
         "Opens NET as \"Open Net...\" does and prints the \"Evaluation\" listing of one set: the "
         "RMS error and good patterns of the reports, the mean squared error of each output and "
         "the squared error percentage 100 x range x sum of squared output errors / (patterns x "
         "outputs), range being the span of the output function (of the targets for a linear "
         "output). When the targets look like classes (two or more outputs: one highest target "
         "per pattern; one output: two values either side of the middle of its range) it adds "
         "the misclassified patterns (\"Class. err.\"), taking the highest output as the class "
         "(one output: above the middle of its range), and the confusion matrix, target classes "
         "in rows, named by the class names of an imported CSV file when its .classes file lies "
         "beside the set's pattern file. Figures are in the network's units, normalised when the "
         "data are.\n\n"
         "--test  the test set instead of the training set\n\n"
         "--data FILE  any pattern file of the network's shape, read as a test set (normalised "
         "with the network's factors), e.g. a held-out set no training run has seen\n\n"
         "--json  the figures as one JSON object instead of the listing"},
        {"new", NewUsage,
         "build a network of the given layer sizes with random weights, name its pattern (and "
         "test) file and save it as NET with its weights beside it",
         -1, &runNew,
         "Builds a network as New Net, the \"Net Size\" panel and \"Open Patterns...\" would: "
         "the given layers, random weights in the weight range, the pattern file read (and the "
         "test file), then saves NET (\".net\" added when it has no extension) and the weights "
         "as NET's base name with \".wgt\". The other parameters are New Net's.\n\n"
         "--layers N1,N2,...  the layer sizes, input layer first: 2 to 5 layers of 1 to 1024 "
         "nodes\n\n"
         "--functions F2,...  the neuron function of each layer after the input layer: sigmoid, "
         "linear, tanh, gaussian or sigmoid+ (default sigmoid)\n\n"
         "--patterns FILE  the training pattern file; its shape must match the first and last "
         "layer\n\n"
         "--test FILE  the test pattern file\n\n"
         "--suggest  set the epoch length, Eta, Alpha, the weight range and the training mode "
         "as the Learning Parameters' \"Suggest\" does and draw the weights in that range: "
         "epoch windows of at most 64 patterns, so that a pass over a large set updates the "
         "weights many times, and Eta a per-pattern rate divided by the epoch length, since it "
         "multiplies the gradient summed over the epoch window\n\n"
         "--seed N  draw the weights from the fixed seed N: the same seed gives the same weights "
         "bit for bit"},
        {"randomize", RandomizeUsage,
         "give NET fresh random weights in its weight range, as \"Randomize\" does, and save it",
         -1, &runRandomize,
         "Opens NET, draws new weights in its weight range as \"Randomize\" does and saves the "
         "network and its weights.\n\n"
         "--seed N  draw from the fixed seed N: the same seed gives the same weights bit for "
         "bit"},
        {"plot", PlotUsage,
         "draw a plot into FILE: .png, .svg or .pdf, or .csv for its data; KIND is pat-outs, "
         "pat-errors, tst-outs, tst-errors, sensitivity (inputs moved by P percent, default 10), "
         "weights or layout (colours by size with --abs, filled nodes with --fill)",
         -1, &runPlot,
         "Opens NET as \"Open Net...\" does and draws one of the program's plots into FILE, as a "
         "picture (.png, .svg or .pdf) or as the plotted values (.csv).\n\n"
         "-o FILE  the file to write; its extension chooses the format\n\n"
         "KIND is pat-outs or tst-outs (the network's outputs beside the targets over the "
         "training or test patterns, as \"Plot Pat Outputs\" and \"Plot Tst Outputs\"), "
         "pat-errors or tst-errors (the error of each pattern), sensitivity (the input "
         "sensitivities), weights (the \"Weights Plot\" histogram) or layout (the \"Net Layout\" "
         "drawing of the network).\n\n"
         "--step P  move the inputs by P percent for sensitivity, -100 to 100 but not 0 "
         "(default 10)\n\n"
         "--abs  colour the layout's weights by their size\n\n"
         "--fill  fill the layout's nodes"},
        {"normalize", NormalizeUsage,
         "normalise the training and test data onto the ranges (default: those of the neuron "
         "functions) and save the network with its factors",
         -1, &runNormalize,
         "Reads the pattern and test files again, normalises them onto the ranges, and saves the "
         "network with the new factors, and its weights. The ranges default to those of the "
         "neuron functions, as the dialog's do. A log side whose raw data hold a value of 0 or "
         "below is refused and nothing is saved.\n\n"
         "--in-range LO HI  the range of the inputs\n\n"
         "--out-range LO HI  the range of the targets\n\n"
         "--global  one factor pair for all inputs and one for all outputs, instead of one per "
         "node\n\n"
         "--in-log  normalise the logarithm of the inputs\n\n"
         "--out-log  normalise the logarithm of the targets\n\n"
         "--raw-ins  leave the inputs as they are\n\n"
         "--raw-outs  leave the targets as they are"},
        {"create-test", CreateTestUsage,
         "cut a test set out of the pattern file, write both sets beside NET as "
         "<base>-train.pat and <base>-test.tst (<base>-2-train.pat... when those exist) and "
         "save the network naming them",
         -1, &runCreateTest,
         "Runs \"Create Test\" with the same checks and messages; a test set the network had is "
         "replaced. Both sets are written beside the network as <base>-train.pat and "
         "<base>-test.tst (<base>-2-train.pat and <base>-2-test.tst, and so on, when those exist), "
         "in data units also when the data are held normalised, and the network "
         "is saved naming them. The pattern file they came from is never overwritten. Give "
         "exactly one way to choose the test patterns:\n\n"
         "--percent P  a random sample of P percent of the patterns, up to 80\n\n"
         "--random-block N  a block of N patterns from a random start\n\n"
         "--range FROM TO  the patterns FROM to TO\n\n"
         "--seed N  draw the random sample or start from the fixed seed N: the same seed gives "
         "the same split"},
        {"import", ImportUsage,
         "turn a CSV file into a pattern file OUT.pat (and a test file OUT.tst), a text class "
         "column into one output per class; --net also writes a network for the data",
         -1, &runImport,
         "Reads DATA.csv, a table with a header row or without one, and writes its rows as the "
         "patterns of OUT.pat: the input columns first, then the outputs. The delimiter (comma, "
         "semicolon or tab) and the header row are found from the first rows; fields may be "
         "quoted, and with a semicolon or tab as the delimiter a number may have a decimal "
         "comma. A class column (text labels such as species names) becomes one output per "
         "class, in the sorted order of the class names, 1 for the row's class and 0 for the "
         "others. The names of the columns and classes go beside the pattern file in OUT.classes "
         "(\"Axona columns 1\", then a line per input and output: input or output, a tab, the "
         "column's name, for a class output a tab and the class), where the exports find them. "
         "A missing cell (empty, NA, N/A, NaN, null, ? or -) or a text cell in a number column "
         "is refused, naming its row, column and text, unless --drop-missing. By default the "
         "last column is the output (a class column when it holds text) and every other column "
         "an input.\n\n"
         "COLS is a list of column names, 1-based column numbers and ranges of numbers, "
         "separated by commas, e.g. \"1-4\" or \"sepal_length,petal_width\".\n\n"
         "-o OUT.pat  the pattern file to write; the test file is OUT.tst, the names "
         "OUT.classes\n\n"
         "--inputs COLS  the input columns (default: every column that is not an output)\n\n"
         "--outputs COLS  numeric output columns\n\n"
         "--one-hot COL  class columns, each made one output per class\n\n"
         "--delimiter C  the delimiter instead of the one found: a character such as , or ; or "
         "the word tab\n\n"
         "--drop-missing  leave out the rows with a missing or non-numeric cell and say how "
         "many\n\n"
         "--test-percent P  put P percent of the rows, drawn at random, into the test file "
         "OUT.tst\n\n"
         "--seed N  the seed of that draw (default 0), so the same seed gives the same sets\n\n"
         "--net NET  also write the network file NET for the data: New Net's settings with "
         "three layers sized to the inputs and outputs, naming the pattern and test files, with "
         "random weights beside it (NET's base name and .wgt)\n\n"
         "--hidden H  the hidden layer of that network has H nodes (default: half the inputs "
         "and outputs together, at least 2)"},
        {"export-c", ExportCUsage,
         "write the trained network as C99 source: FILE.c with one function NAME(in, out), "
         "FILE.h and a test program FILE_test.c",
         -1, &runExportC,
         "Writes the network NET as a C99 file that needs nothing but the C library and libm: "
         "the weights, the neuron functions at the network's Temp, and the normalisation of the "
         "inputs and the way back for the outputs, behind one function void NAME(const float "
         "*in, float *out) that takes the inputs and gives the outputs in data units, as \"Run "
         "Net\" lists them. FILE.h declares it, with NAME_INPUTS, NAME_OUTPUTS and the names "
         "of the columns. FILE_test.c runs the training patterns (at most 1000) through the "
         "function and prints the largest difference from the outputs Axona computed: cc "
         "-std=c99 FILE.c FILE_test.c -lm -o FILE_test && ./FILE_test (-v lists every "
         "output). Its exit status is 0 when every output is within 1e-5.\n\n"
         "-o FILE.c  the C file to write; the header and the test program go beside it\n\n"
         "--name NAME  the function's name, a C identifier (default: made of FILE's base name)"},
        {"export-onnx", ExportOnnxUsage,
         "write the trained network as an ONNX model taking and giving data units", -1,
         &runExportOnnx,
         "Writes the network NET as an ONNX model (opset 13) that any ONNX runtime serves and "
         "viewers such as Netron draw: one input \"input\" of shape [N, inputs] and one output "
         "\"output\" of shape [N, outputs], both float and in data units. Inside are the input "
         "normalisation (the logarithm included), each layer as MatMul and Add of its weights "
         "and biases and its neuron function at the network's Temp, and the way back to data "
         "units for the outputs. The names of the inputs, outputs and classes are in the "
         "model's metadata (\"inputs\", \"outputs\", \"classes\"). The model passes ONNX's own "
         "checker before it is written.\n\n"
         "-o FILE.onnx  the model file to write"},
        {"export-data", ExportDataUsage,
         "write the training and test sets of NET in data units as CSV files with a header", -1,
         &runExportData,
         "Writes the training set to BASE-train.csv and, when the network has one, the test set "
         "to BASE-test.csv: a header of the column names (from the .classes file beside the "
         "pattern file, else in1.. and out1..), then a row per pattern, inputs then targets, in "
         "data units also when the data are held normalised; comma-separated, \".\" as the "
         "decimal point.\n\n"
         "--csv  write CSV (the only format)\n\n"
         "-o BASE  the files' common start (default: NET without its extension)"},
        {"link", LinkUsage,
         "offer a text, TSV or CSV file as a live link item, or print an item once or on every "
         "change (the link peer for spreadsheets and scripts)",
         -1, &runLink,
         "Makes any program that reads or writes text files a peer of the program's live links "
         "over the session bus. A link reference is server|topic!item, as the Edit menu's "
         "\"Paste Pats (Linked)\" and \"Copy Pat Outputs\" use it.\n\n"
         "link serve FILE offers the text of FILE (a TSV or CSV file's rows as pasted data) as the "
         "item and offers it again each time the file is saved, until interrupted.\n\n"
         "--server NAME  the server name other programs link to\n\n"
         "--topic T  the topic (default: FILE's full path)\n\n"
         "--item I  the item (default: data)\n\n"
         "--quit-when-unlinked  end when the last linked program has gone\n\n"
         "link get REF prints the item once; link watch REF prints it and again on every change, "
         "until the server goes away.\n\n"
         "-o FILE  (watch) write each new text over FILE instead of printing it\n\n"
         "--timeout MS  how long to wait for the server, in milliseconds (default 5000)"},
}};

} // namespace

std::span<const CliCommand> cliCommands()
{
    return Commands;
}
