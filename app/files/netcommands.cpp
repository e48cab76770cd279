#include "files/netcommands.h"

#include <QFileInfo>

#include "files/datalinks.h"
#include "files/patterncommands.h"
#include "files/weightcommands.h"
#include "model/linkreference.h"
#include "model/numberformat.h"
#include "model/settings.h"
#include "model/textfile.h"
#include "session/commandstate.h"
#include "session/controls.h"
#include "session/desktopport.h"
#include "session/formstate.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/construction.h"

namespace {

bool namesNoFile(const QString &source)
{
    return source.trimmed().isEmpty()
            || source.trimmed().compare(noFileCaption(), Qt::CaseInsensitive) == 0
            || source.trimmed().compare(pastedCaption(), Qt::CaseInsensitive) == 0;
}

} // namespace

NetFileTexts netFileTexts(const FormState &f)
{
    return {f.text(Control::TXT_minW),       f.text(Control::TXT_maxW),
            f.text(Control::TXT_EpocLen),    f.text(Control::LBL_DataFile),
            f.text(Control::LBL_WeightFile), f.text(Control::LBL_TestFile)};
}

QString
formatNetText(const NetModel &model, const FormState &form, const QList<WindowLayout> &desktop)
{
    return formatNetText(model, netFileTexts(form), desktop);
}

FileResult saveNet(Workbench &wb, bool saveAs, const QString &fileName)
{
    NetModel &m = wb.model;
    if (!m.arraysMatchLayers()) {
        // The weights would not fit the layer list written beside them.
        wb.ui.critical(QStringLiteral("The network was not built with the layer sizes shown.\n\r"
                                      "Change the size of the network and try again."));
        return {FileOutcome::Failed, QString()};
    }
    if (!m.HasWeightFile) {
        wb.ui.information(QStringLiteral("You will first be prompted for the weight file name"));
        saveWeights(wb, true);
    }
    savePastedSets(wb);
    QString path = fileName;
    if (saveAs) {
        const auto chosen = wb.ui.saveFileName({QStringLiteral("Save Net As"),
                                                QStringLiteral("Net Files (*.net)"),
                                                QStringLiteral("net"), QStringLiteral("*.net")});
        if (!chosen) {
            return {FileOutcome::Cancelled, QString()};
        }
        path = *chosen;
    }
    if (path.isEmpty()) {
        return {FileOutcome::Cancelled, QString()};
    }
    BusyGuard busy(wb.ui);
    // The weights first: a network file never names weights that were not written. Without a
    // weight file (its dialog was cancelled) there is nothing to write them to.
    if (m.HasWeightFile && saveWeights(wb, false, wb.form.text(Control::LBL_WeightFile)).failed()) {
        return {FileOutcome::Failed, QString()};
    }
    const QList<WindowLayout> desktop = wb.desktop->writeDesktop();
    const Status written = writeTextFile(path, formatNetText(m, wb.form, desktop));
    if (!written) {
        wb.ui.critical(written.error().message);
        return {FileOutcome::Failed, QString()};
    }
    if (saveAs) {
        wb.desktop->setFrameCaption(QStringLiteral("Axona-") + fileNamePart(path));
        m.NetFileName = QFileInfo(path).absoluteFilePath();
        m.HasNetFile = true;
        updateFileCommands(wb);
    }
    return {FileOutcome::Done, path};
}

FileResult loadNet(Workbench &wb, const QString &fileName)
{
    NetModel &m = wb.model;
    FormState &f = wb.form;
    m.NetLoading = true;

    struct EndOfLoading
    {
        NetModel &m;

        ~EndOfLoading() { m.NetLoading = false; }
    } end {m};

    QString path = fileName;
    if (path.isEmpty()) {
        const auto chosen = wb.ui.openFileName({QStringLiteral("Open Net File"),
                                                QStringLiteral("Net Files (*.net)"),
                                                QStringLiteral("net"), QStringLiteral("*.net")});
        if (!chosen || chosen->isEmpty()) {
            return {FileOutcome::Cancelled, QString()};
        }
        path = *chosen;
    }
    resetModel(wb);
    BusyGuard busy(wb.ui);
    // Until the file's network is built, the arrays are the previous network's under the New
    // Net layer list: a load that stops before leaves a built New Net.
    const auto failBeforeBuild = [&wb]() {
        buildNetwork(wb);
        return FileResult {FileOutcome::Failed, QString()};
    };
    const auto errorReading = [&](const QString &description) {
        wb.ui.critical(QStringLiteral("Error reading ") + path + QStringLiteral("\n\rError: ")
                       + description);
    };

    const Result<QString> text = readTextFile(path);
    if (!text) {
        errorReading(text.error().message);
        return failBeforeBuild();
    }
    const NetFileContents c = parseNetText(text.value(), m);
    if (!c.signatureOk) {
        wb.ui.critical(QStringLiteral("This is not a valid .NET file.\n\rFor files created with "
                                      "version 0.9, Search help for: Revisions."));
        return failBeforeBuild();
    }
    if (c.version != NetFileVersion) {
        wb.ui.information(QStringLiteral("You are using version 1.7\n\rThis file was created with "
                                         "version ")
                          + c.versionText);
    }
    m.NetTitle = c.NetTitle;
    f.setText(Control::TXT_Title, m.NetTitle);
    if (!c.problem.isEmpty()) {
        errorReading(c.problem);
        return failBeforeBuild();
    }

    m.NumLayers = c.NumLayers;
    m.LayerSize.resize(m.NumLayers);
    m.NeuronFunc.resize(m.NumLayers);
    for (int l = 1; l <= m.NumLayers; ++l) {
        m.LayerSize(l) = c.LayerSize[static_cast<std::size_t>(l - 1)];
    }
    m.CurLayer = 0;
    showLayers(wb);
    if (!buildNetwork(wb)) {
        // Too many weights: the refusal has been shown; go back to a network that exists.
        wb.ui.critical(QStringLiteral("Error in ") + path);
        resetModel(wb);
        return failBeforeBuild();
    }
    for (int l = 1; l <= m.NumLayers; ++l) {
        m.NeuronFunc(l) = c.NeuronFunc[static_cast<std::size_t>(l - 1)];
    }
    selectLayer(wb, 1);

    m.Eta = c.Eta;
    m.Alpha = c.Alpha;
    m.TrainMode = c.TrainMode;
    m.GrowthFactor = c.GrowthFactor;
    m.WCutOff = c.WCutOff;
    m.WDecay = c.WDecay;
    m.InputNoise = c.InputNoise;
    m.WeightNoise = c.WeightNoise;
    m.Temp = c.Temp;
    m.EpochsPerCall = c.EpochsPerCall;
    m.PatClip = c.PatClip;
    m.TargetErr = c.TargetErr;
    m.MinWeight = static_cast<float>(c.MinWeight);
    m.MaxWeight = static_cast<float>(c.MaxWeight);
    m.NormOn = c.NormOn;
    m.GlobalNorm = c.GlobalNorm;
    m.InNormA = c.InNormA;
    m.InNormB = c.InNormB;
    m.InNormLog = c.InNormLog;
    m.OutNormA = c.OutNormA;
    m.OutNormB = c.OutNormB;
    m.OutNormLog = c.OutNormLog;
    for (int g = 1; g <= c.graphGroups; ++g) {
        m.Graph[static_cast<std::size_t>(g)] = c.Graph[static_cast<std::size_t>(g)];
    }
    m.RandomSampling = c.RandomSampling;
    showParameters(wb);
    f.setText(Control::TXT_minW, generalNumber(c.MinWeight));
    f.setText(Control::TXT_maxW, generalNumber(c.MaxWeight));

    const QString baseDir = QFileInfo(path).absolutePath();
    const auto linkFailed = [](const QString &reference) {
        return QStringLiteral("the data link %1 could not be made").arg(reference);
    };
    if (const std::optional<QString> reference = linkedSource(c.patternSource)) {
        if (!openDataLink(wb, *reference, 1, baseDir)) {
            errorReading(linkFailed(*reference));
            return {FileOutcome::Failed, QString()};
        }
        m.PatsLinked = true;
        m.LinkItemSeparator = QStringLiteral("!");
    } else if (namesNoFile(c.patternSource)) {
        errorReading(QStringLiteral("the network file names no pattern file"));
        return {FileOutcome::Failed, QString()};
    } else if (!openPatterns(wb, false, c.patternSource, baseDir).done()) {
        errorReading(
                QStringLiteral("the pattern file %1 could not be loaded").arg(c.patternSource));
        return {FileOutcome::Failed, QString()};
    }

    f.setText(Control::TXT_EpocLen, QString::number(c.epochLength));
    f.setChecked(Control::CHK_RND, c.RandomSampling != 0);
    if (namesNoFile(c.weightSource)) {
        m.HasWeightFile = false;
        f.setText(Control::LBL_WeightFile, noFileCaption());
        f.setEnabled(Control::BTN_EditWgt, false);
    } else {
        loadWeights(wb, false, c.weightSource, baseDir);
    }

    const QString testHead = c.testSource.toUpper();
    if (testHead.startsWith(QStringLiteral("CLICK"))
        || testHead.startsWith(QStringLiteral("SAMPLED"))
        || c.testSource.trimmed().compare(pastedCaption(), Qt::CaseInsensitive) == 0
        || c.testSource.trimmed().isEmpty()) {
        // No test set, or one made by Create Test or pasted that has no file.
    } else if (c.testSource.startsWith(u'!')) {
        const QString reference = c.testSource.sliced(1);
        if (!openDataLink(wb, reference, 2, baseDir)) {
            errorReading(linkFailed(reference));
            return {FileOutcome::Failed, QString()};
        }
        m.TestLinked = true;
    } else {
        openTest(wb, false, c.testSource, baseDir);
    }

    if (!m.HasPatterns || !m.HasWeightFile) {
        wb.ui.critical(QStringLiteral("Error in ") + path);
        return {FileOutcome::Failed, QString()};
    }
    showWeightStats(wb);
    wb.desktop->setFrameCaption(QStringLiteral("Axona-") + fileNamePart(path));
    m.NetFileName = QFileInfo(path).absoluteFilePath();
    wb.desktop->readDesktop(c.desktop);
    m.HasNetFile = true;
    updateCommands(wb);
    return {FileOutcome::Done, m.NetFileName};
}
