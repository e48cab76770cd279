#include "files/patterncommands.h"

#include "files/savesafety.h"
#include "model/normfactors.h"
#include "model/numberformat.h"
#include "model/patternfile.h"
#include "model/settings.h"
#include "model/textfile.h"
#include "session/commandstate.h"
#include "session/controls.h"
#include "session/linkport.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/setnormalization.h"

namespace {

// Where one kind of set lives in the model and the main window.
struct SetPlace
{
    bool test;
    int16_t &count;
    Array2 &in;
    Array2 &out;
    bool &present;
    QString &fileName;
    QString label;
    QString countLabel;
    QString editButton;
};

SetPlace placeOf(Workbench &wb, bool test)
{
    NetModel &m = wb.model;
    if (test) {
        return {true,
                m.NumTestPats,
                m.TstIn,
                m.TstOut,
                m.HasTest,
                m.TestFileName,
                Control::LBL_TestFile,
                Control::LBL_NptsTST,
                Control::BTN_EditTst};
    }
    return {false,
            m.NumPats,
            m.PatIn,
            m.PatOut,
            m.HasPatterns,
            m.PatFileName,
            Control::LBL_DataFile,
            Control::LBL_Npts,
            Control::BTN_EditPat};
}

// The set is gone: nothing is used until a valid set arrives.
void markAbsent(Workbench &wb, const SetPlace &place)
{
    FormState &f = wb.form;
    f.setText(place.label, noFileCaption());
    place.present = false;
    place.count = 0;
    place.in.clear();
    place.out.clear();
    f.setText(place.countLabel, QStringLiteral("0"));
    f.setEnabled(place.editButton, false);
    if (place.test) {
        f.setEnabled(Control::CHK_ShowTestErr, false);
    } else {
        f.setEnabled(Control::TXT_EpocLen, false);
    }
}

// The new set is in place: the epoch length follows a training set; data held normalised get
// the stored factors.
void setArrived(Workbench &wb, const SetPlace &place)
{
    FormState &f = wb.form;
    place.present = true;
    f.setText(place.countLabel, QString::number(place.count));
    if (place.test) {
        if (wb.model.NormOn) {
            normalizeTestSet(wb);
        }
    } else {
        f.setEnabled(Control::TXT_EpocLen, true);
        f.setText(Control::TXT_EpocLen, QString::number(place.count));
        normalizePatSet(wb);
    }
}

FileResult readSetFile(Workbench &wb, bool ask, const QString &name, bool test)
{
    QString path = name;
    if (ask) {
        const UiPort::FileRequest request = test
                ? UiPort::FileRequest {QStringLiteral("Open Test File"),
                                       QStringLiteral("Test Files (*.tst);;Pattern Files (*.pat)"),
                                       QStringLiteral("tst"), QStringLiteral("*.tst")}
                : UiPort::FileRequest {QStringLiteral("Open Pattern File"),
                                       QStringLiteral("Pattern Files (*.pat);;Test Files "
                                                      "(*.tst);;Data Files (*.dat)"),
                                       QStringLiteral("pat"), QStringLiteral("*.pat")};
        const auto chosen = wb.ui.openFileName(request);
        if (!chosen || chosen->isEmpty()) {
            return {FileOutcome::Cancelled, QString()};
        }
        path = *chosen;
    }
    const SetPlace place = placeOf(wb, test);
    const QString errorIn =
            test ? QStringLiteral("Error in Test file") : QStringLiteral("Error in Pattern file");
    BusyGuard busy(wb.ui);
    const Result<QString> text = readTextFile(path);
    if (!text) {
        wb.ui.critical(errorIn + QStringLiteral("\n\rError: ") + text.error().message);
        return {FileOutcome::Failed, QString()};
    }
    const auto progress = [&](int p) {
        wb.form.setText(place.countLabel, QString::number(p));
        wb.ui.yield();
    };
    ParsedPatterns parsed =
            parsePatternText(text.value(), wb.model.numInputs(), wb.model.numOutputs(), progress);
    switch (parsed.problem) {
    case ParsedPatterns::Problem::SizeMismatch:
        if (test) {
            wb.ui.critical(QStringLiteral("Test file and net size do not agree ! ! !"));
        } else {
            wb.ui.critical(QStringLiteral("Pattern file and net size do not agree !!!\n\r"
                                          "read, no. of inputs=")
                           + generalNumber(parsed.fileInputs) + QStringLiteral(" Outputs=")
                           + generalNumber(parsed.fileOutputs));
        }
        return {FileOutcome::Failed, QString()};
    case ParsedPatterns::Problem::Malformed:
        wb.ui.critical(errorIn + QStringLiteral("\n\rError: ") + parsed.description);
        return {FileOutcome::Failed, QString()};
    case ParsedPatterns::Problem::None:
        break;
    }
    if (refuseForLogNormalization(wb, parsed.set.in, parsed.set.out, test)) {
        return {FileOutcome::Failed, QString()};
    }
    place.count = parsed.set.count;
    place.in = std::move(parsed.set.in);
    place.out = std::move(parsed.set.out);
    return {FileOutcome::Done, path};
}

FileResult openSet(Workbench &wb, bool ask, const QString &name, const QString &baseDir, bool test)
{
    QString path = name;
    if (!ask) {
        path = resolveStoredName(wb.settings, name,
                                 test ? LocalNameUse::Others : LocalNameUse::Patterns, baseDir);
    }
    const FileResult result = readSetFile(wb, ask, path, test);
    const SetPlace place = placeOf(wb, test);
    FormState &f = wb.form;
    if (!result.cancelled()) {
        // The file takes the place of a set fed by a data link: the link ends.
        bool &linked = test ? wb.model.TestLinked : wb.model.PatsLinked;
        if (linked && wb.links) {
            wb.links->close(test ? 2 : 1);
        }
        linked = false;
    }
    if (result.failed()) {
        markAbsent(wb, place);
    } else if (result.done()) {
        f.setText(place.label, result.name);
        place.fileName = result.name;
        f.setEnabled(place.editButton, true);
        if (test) {
            f.setEnabled(Control::CHK_ShowTestErr, true);
        }
        setArrived(wb, place);
    }
    updateCommands(wb);
    if (!result.cancelled()) {
        emit wb.events.dataChanged();
    }
    return result;
}

// Writes a set to a file chosen in the save dialog: as it is held, or with dataUnits back in
// data units when it is held normalised.
FileResult saveSet(Workbench &wb, bool test, bool dataUnits = false)
{
    const UiPort::FileRequest request = test
            ? UiPort::FileRequest {QStringLiteral("Save Test Pats. As"),
                                   QStringLiteral("Test Files (*.tst)"), QStringLiteral("tst"),
                                   QStringLiteral("*.tst")}
            : UiPort::FileRequest {QStringLiteral("Save Pats. As"),
                                   QStringLiteral("Pattern Files (*.pat)"), QStringLiteral("pat"),
                                   QStringLiteral("*.pat")};
    const auto chosen = wb.ui.saveFileName(request);
    if (!chosen || chosen->isEmpty()) {
        return {FileOutcome::Cancelled, QString()};
    }
    const SetPlace place = placeOf(wb, test);
    if (refuseRoleClash(wb, *chosen, test ? SaveKind::Test : SaveKind::Patterns)) {
        return {FileOutcome::Failed, QString()};
    }
    BusyGuard busy(wb.ui);
    Array2 in = place.in;
    Array2 out = place.out;
    if (dataUnits && wb.model.NormOn) {
        unnormalizeSet(wb.model, in, out);
    }
    const Status written = writeTextFile(*chosen, formatPatternText(place.count, in, out));
    if (!written) {
        wb.ui.critical(written.error().message);
        return {FileOutcome::Failed, QString()};
    }
    wb.ui.filesSaved({*chosen});
    wb.form.setText(place.label, *chosen);
    place.fileName = *chosen;
    (test ? wb.model.TestUnsaved : wb.model.PatsUnsaved) = false;
    return {FileOutcome::Done, *chosen};
}

bool pasteSet(Workbench &wb, const QString &text, const QString &name, bool test)
{
    const SetPlace place = placeOf(wb, test);
    const int nin = wb.model.numInputs();
    const int nout = wb.model.numOutputs();
    const RowCount rows = countRows(text, nin + nout);
    if (rows.bad || rows.rows == 0 || rows.rows > MaxSetPatterns) {
        // An empty text is one empty row: it has the wrong number of fields too.
        if (rows.rows > MaxSetPatterns && !rows.bad) {
            wb.ui.critical(QStringLiteral("Too many pattern rows: %1; a set holds at most %2")
                                   .arg(rows.rows)
                                   .arg(MaxSetPatterns));
        } else {
            wb.ui.critical(QStringLiteral("Net size is different from pattern data line"));
        }
        markAbsent(wb, place);
        updateCommands(wb);
        emit wb.events.dataChanged();
        return false;
    }
    BusyGuard busy(wb.ui);
    Array2 in;
    Array2 out;
    in.allocate(rows.rows, nin);
    out.allocate(rows.rows, nout);
    FieldBuf fields {};
    int p = 0;
    forEachRow(text, [&](QStringView row) {
        splitFields(row, fields);
        ++p;
        for (int i = 1; i <= nin; ++i) {
            in(p, i) = fields[static_cast<std::size_t>(i - 1)];
        }
        for (int k = 1; k <= nout; ++k) {
            out(p, k) = fields[static_cast<std::size_t>(nin + k - 1)];
        }
        if (p % PatternProgressStep == 0) {
            wb.form.setText(place.countLabel, QString::number(p));
            wb.ui.yield();
        }
        return p < rows.rows;
    });
    if (refuseForLogNormalization(wb, in, out, test)) {
        markAbsent(wb, place);
        updateCommands(wb);
        emit wb.events.dataChanged();
        return false;
    }
    place.count = static_cast<int16_t>(rows.rows);
    place.in = std::move(in);
    place.out = std::move(out);
    if (name != QStringLiteral(" ")) {
        wb.form.setText(place.label, name);
    }
    // A pasted set has no file to edit.
    wb.form.setEnabled(place.editButton, false);
    setArrived(wb, place);
    updateCommands(wb);
    emit wb.events.dataChanged();
    return true;
}

} // namespace

FileResult readPatFile(Workbench &wb, bool ask, const QString &name)
{
    return readSetFile(wb, ask, name, false);
}

FileResult readTestFile(Workbench &wb, bool ask, const QString &name)
{
    return readSetFile(wb, ask, name, true);
}

FileResult openPatterns(Workbench &wb, bool ask, const QString &name, const QString &baseDir)
{
    return openSet(wb, ask, name, baseDir, false);
}

FileResult openTest(Workbench &wb, bool ask, const QString &name, const QString &baseDir)
{
    return openSet(wb, ask, name, baseDir, true);
}

FileResult savePatsAs(Workbench &wb)
{
    return saveSet(wb, false);
}

FileResult saveTestPatsAs(Workbench &wb)
{
    return saveSet(wb, true);
}

bool pastePatterns(Workbench &wb, const QString &text, const QString &name)
{
    return pasteSet(wb, text, name, false);
}

bool pasteTests(Workbench &wb, const QString &text, const QString &name)
{
    return pasteSet(wb, text, name, true);
}

bool isPastedSet(const Workbench &wb, bool test)
{
    return wb.form.text(test ? Control::LBL_TestFile : Control::LBL_DataFile)
                   .compare(pastedCaption(), Qt::CaseInsensitive)
            == 0;
}

void savePastedSets(Workbench &wb)
{
    if (wb.model.HasPatterns && isPastedSet(wb, false)) {
        wb.ui.information(QStringLiteral("You will first be prompted for the pattern file name"));
        saveSet(wb, false, true);
    }
    if (wb.model.HasTest && isPastedSet(wb, true)) {
        wb.ui.information(QStringLiteral("You will first be prompted for the test file name"));
        saveSet(wb, true, true);
    }
}
