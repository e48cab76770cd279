#include "files/netcommands.h"

#include <QDir>
#include <QFileInfo>

#include "files/datalinks.h"
#include "files/patterncommands.h"
#include "files/savesafety.h"
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
#include "session/unsavedwork.h"
#include "session/workbench.h"
#include "training/construction.h"
#include "training/parameters.h"

namespace {

bool namesNoFile(const QString &source)
{
    return source.trimmed().isEmpty()
            || source.trimmed().compare(noFileCaption(), Qt::CaseInsensitive) == 0
            || source.trimmed().compare(pastedCaption(), Qt::CaseInsensitive) == 0;
}

// Everything of the open network a read of another network file changes, to put back when that
// read fails half-way.
struct OpenNetwork
{
    NetModel model;
    FormState::Values form;
    RmsHistory rmsHistory;
    float PrevError = 0.0f;
    ReportState report;
    QString savedNetText;

    explicit OpenNetwork(const Workbench &wb)
        : model(wb.model)
        , form(wb.form.values())
        , rmsHistory(wb.rmsHistory)
        , PrevError(wb.PrevError)
        , report(wb.report)
        , savedNetText(wb.savedNetText)
    {}

    // The network, its window and its caption as they were; the windows that follow the
    // workbench are told that everything changed back.
    void restore(Workbench &wb)
    {
        const bool loading = wb.model.NetLoading;
        wb.model = std::move(model);
        wb.model.NetLoading = loading;
        wb.form.restore(form);
        wb.rmsHistory = rmsHistory;
        wb.PrevError = PrevError;
        wb.report = report;
        wb.savedNetText = savedNetText;
        wb.desktop->setFrameCaption(wb.model.HasNetFile ? QStringLiteral("Axona-")
                                                    + fileNamePart(wb.model.NetFileName)
                                                        : QString());
        emit wb.events.networkRebuilt();
        emit wb.events.weightsChanged();
        emit wb.events.dataChanged();
    }
};

// The file's base name: "xor2" for "/data/xor2.net".
QString baseName(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}

// Whether Save As to netPath must ask for the weights' own file: the network's weight file
// belongs to another network file (its name differs from the new one's), which must not be
// rewritten without asking.
bool needsOwnWeightFile(const NetModel &m, const QString &weightFile, const QString &netPath)
{
    if (!m.HasWeightFile) {
        return false;
    }
    const QString target = QFileInfo(netPath).absoluteFilePath();
    if (m.HasNetFile && QFileInfo(m.NetFileName).absoluteFilePath() == target) {
        return false;
    }
    return baseName(weightFile) != baseName(netPath);
}

} // namespace

FileResult saveNet(Workbench &wb, bool saveAs, const QString &fileName)
{
    NetModel &m = wb.model;
    if (!m.arraysMatchLayers()) {
        // The weights would not fit the layer list written beside them.
        wb.ui.critical(QStringLiteral("The network was not built with the layer sizes shown.\n\r"
                                      "Change the size of the network and try again."));
        return {FileOutcome::Failed, QString()};
    }
    bool weightsNamedNow = false;
    if (!m.HasWeightFile) {
        wb.ui.information(QStringLiteral("You will first be prompted for the weight file name"));
        weightsNamedNow = saveWeights(wb, true).done();
    }
    savePastedSets(wb);
    QString path = fileName;
    if (saveAs) {
        // Named after the weights just chosen, when the network has no file of its own yet.
        const QString initial = weightsNamedNow
                ? QFileInfo(m.WeightFileName)
                          .dir()
                          .filePath(baseName(m.WeightFileName) + QStringLiteral(".net"))
                : QStringLiteral("*.net");
        const auto chosen = wb.ui.saveFileName({QStringLiteral("Save Net As"),
                                                QStringLiteral("Net Files (*.net)"),
                                                QStringLiteral("net"), initial});
        if (!chosen) {
            return {FileOutcome::Cancelled, QString()};
        }
        path = *chosen;
    }
    if (path.isEmpty()) {
        return {FileOutcome::Cancelled, QString()};
    }
    const auto refuse = [&wb](const QString &file, const QString &reason) {
        wb.ui.critical(QStringLiteral("Cannot write %1: %2").arg(file, reason));
        return FileResult {FileOutcome::Failed, QString()};
    };
    if (refuseRoleClash(wb, path, SaveKind::Network)) {
        return {FileOutcome::Failed, QString()};
    }
    BusyGuard busy(wb.ui);
    // Checked before anything is written, so that a network the file could not hold leaves the
    // weight file as it was too.
    if (const Result<QString> text = formatNetText(m, wb.form, wb.desktop->writeDesktop()); !text) {
        return refuse(path, text.error().message);
    }
    NetSaveLock lock(path);
    if (const QString held = lock.acquire(); !held.isEmpty()) {
        return refuse(path, held);
    }
    if (saveAs && !weightsNamedNow
        && needsOwnWeightFile(m, wb.form.text(Control::LBL_WeightFile), path)) {
        // A network saved under a new name gets weights of its own, named after it; the file
        // the other network names stays as it is.
        const QString proposed =
                QFileInfo(path).dir().filePath(baseName(path) + QStringLiteral(".wgt"));
        const bool changed = m.WeightsChanged;
        const FileResult weights = saveWeights(wb, true, QString(), proposed);
        if (!weights.done()) {
            m.WeightsChanged = changed; // nothing was saved
            return {weights.outcome, QString()};
        }
    } else if (m.HasWeightFile
               && saveWeights(wb, false, wb.form.text(Control::LBL_WeightFile)).failed()) {
        // The weights first: a network file never names weights that were not written. Without
        // a weight file (its dialog was cancelled) there is nothing to write them to.
        return {FileOutcome::Failed, QString()};
    }
    // Made again: the weight file may have been named just now.
    const Result<QString> text = formatNetText(m, wb.form, wb.desktop->writeDesktop());
    if (!text) {
        return refuse(path, text.error().message);
    }
    const Status written = writeTextFile(path, text.value());
    if (!written) {
        wb.ui.critical(written.error().message);
        return {FileOutcome::Failed, QString()};
    }
    const QString weights = m.HasWeightFile ? wb.form.text(Control::LBL_WeightFile) : QString();
    wb.ui.filesSaved(weights.isEmpty() ? QStringList {path} : QStringList {path, weights});
    if (saveAs) {
        wb.desktop->setFrameCaption(QStringLiteral("Axona-") + fileNamePart(path));
        m.NetFileName = QFileInfo(path).absoluteFilePath();
        m.HasNetFile = true;
        updateFileCommands(wb);
    }
    markSaved(wb);
    return {FileOutcome::Done, path};
}

FileResult loadNet(Workbench &wb, const QString &fileName)
{
    NetModel &m = wb.model;
    FormState &f = wb.form;
    m.NetLoading = true;

    struct EndOfLoading
    {
        Workbench &wb;

        ~EndOfLoading()
        {
            wb.model.NetLoading = false;
            wb.form.requestFocus(Control::TXT_Eta);
        }
    } end {wb};

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
    BusyGuard busy(wb.ui);
    const auto errorReading = [&](const QString &description) {
        wb.ui.critical(QStringLiteral("Error reading ") + path + QStringLiteral("\n\rError: ")
                       + description);
    };
    const FileResult failed {FileOutcome::Failed, QString()};

    // The whole network file is read and checked before the open network changes: a file that
    // is not a network leaves it exactly as it was.
    const Result<QString> text = readTextFile(path);
    if (!text) {
        errorReading(text.error().message);
        return failed;
    }
    const NetFileContents c = parseNetText(text.value(), NetModel());
    if (!c.signatureOk) {
        wb.ui.critical(QStringLiteral("This is not a valid .NET file.\n\rFor files created with "
                                      "version 0.9, Search help for: Revisions."));
        return failed;
    }
    if (c.version != NetFileVersion) {
        wb.ui.information(QStringLiteral("You are using version 1.7\n\rThis file was created with "
                                         "version ")
                          + c.versionText);
    }
    if (!c.problem.isEmpty()) {
        errorReading(c.problem);
        return failed;
    }
    if (namesNoFile(c.patternSource)) {
        errorReading(QStringLiteral("the network file names no pattern file"));
        return failed;
    }

    // The files it names may still fail to load; the open network then comes back whole.
    OpenNetwork before(wb);
    const auto giveBack = [&]() {
        before.restore(wb);
        return failed;
    };
    resetModelState(wb);
    m.NetTitle = c.NetTitle;
    f.setText(Control::TXT_Title, m.NetTitle);
    m.NumLayers = c.NumLayers;
    m.LayerSize.resize(m.NumLayers);
    m.NeuronFunc.resize(m.NumLayers);
    for (int l = 1; l <= m.NumLayers; ++l) {
        m.LayerSize(l) = c.LayerSize[static_cast<std::size_t>(l - 1)];
    }
    m.CurLayer = 0;
    showLayers(wb);
    if (!buildNetwork(wb)) {
        // Too many weights: the refusal has been shown.
        wb.ui.critical(QStringLiteral("Error in ") + path);
        return giveBack();
    }
    for (int l = 1; l <= m.NumLayers; ++l) {
        m.NeuronFunc(l) = c.NeuronFunc[static_cast<std::size_t>(l - 1)];
    }
    selectLayer(wb, 1);

    applyStoredValues(m, c);
    for (int g = 1; g <= c.graphGroups; ++g) {
        m.Graph[static_cast<std::size_t>(g)] = c.Graph[static_cast<std::size_t>(g)];
    }
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
            return giveBack();
        }
        m.PatsLinked = true;
        m.LinkItemSeparator = QStringLiteral("!");
    } else if (!openPatterns(wb, false, c.patternSource, baseDir).done()) {
        errorReading(
                QStringLiteral("the pattern file %1 could not be loaded").arg(c.patternSource));
        return giveBack();
    }

    // The stored length goes through the box's own check: one outside 1..patterns is said once
    // and replaced by the number of patterns, so the network can be trained.
    epochLengthChanged(wb, QString::number(c.epochLength));
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
            return giveBack();
        }
        m.TestLinked = true;
    } else {
        openTest(wb, false, c.testSource, baseDir);
    }

    if (!m.HasPatterns || !m.HasWeightFile) {
        wb.ui.critical(QStringLiteral("Error in ") + path);
        return giveBack();
    }
    showWeightStats(wb);
    wb.desktop->setFrameCaption(QStringLiteral("Axona-") + fileNamePart(path));
    m.NetFileName = QFileInfo(path).absoluteFilePath();
    // The windows of the network read are those the file records.
    wb.desktop->closeSatelliteWindows();
    wb.desktop->readDesktop(c.desktop);
    m.HasNetFile = true;
    updateCommands(wb);
    markSaved(wb);
    return {FileOutcome::Done, m.NetFileName};
}
