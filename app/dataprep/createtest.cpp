#include "dataprep/createtest.h"

#include <cmath>
#include <limits>
#include <optional>

#include "files/datalinks.h"
#include "files/patterncommands.h"
#include "model/numberformat.h"
#include "model/patternfile.h"
#include "session/commandstate.h"
#include "session/controls.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"

namespace {

// The name a test set made here carries instead of a file name.
const QString SampledName = QStringLiteral("sampled from input file");

void setStatus(CreateTestChoice &form, const QString &text)
{
    form.status = text;
    if (form.onStatus) {
        form.onStatus(text);
    }
}

// A text box's number rounded halves to even; nothing when it does not fit a 16-bit count.
std::optional<int16_t> countValue(const QString &text)
{
    const double v = roundHalfEven(leadingNumber(text));
    if (!std::isfinite(v) || v < std::numeric_limits<int16_t>::min()
        || v > std::numeric_limits<int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int16_t>(v);
}

void cannotCreate(Workbench &wb)
{
    wb.ui.critical(QStringLiteral("Error - Can not create test file"));
}

// The first rows of a block that still has its old leading dimension, in an array of its own.
Array2 firstRows(const Array2 &from, int rows)
{
    Array2 to;
    to.allocate(rows, from.cols());
    for (int c = 1; c <= from.cols(); ++c) {
        for (int r = 1; r <= rows; ++r) {
            to(r, c) = from(r, c);
        }
    }
    return to;
}

} // namespace

void openCreateTest(const Workbench &wb, CreateTestChoice &form)
{
    form.data[3] = generalNumber(static_cast<double>(wb.model.NumPats / 4));
    chooseTestMethod(form, 0);
}

void chooseTestMethod(CreateTestChoice &form, int index)
{
    if (index < 0 || index > 2) {
        return;
    }
    form.method = index + 1;
    form.visible = {false, false, false, false};
    form.visible[static_cast<std::size_t>(index)] = true;
    if (index == 2) {
        form.visible[3] = true;
    }
}

CreateTestEnd createTest(Workbench &wb, CreateTestChoice &form)
{
    NetModel &m = wb.model;
    if (m.NumTestPats > 0
        && wb.ui.question(QStringLiteral("Creating new test data will overwrite the current "
                                         "data.\n\rContinue ?"),
                          UiPort::Buttons::YesNo)
                == UiPort::Answer::No) {
        return CreateTestEnd::Declined;
    }
    const double percent = leadingNumber(form.data[0]) / 100.0;
    if (form.method == 1 && !(percent > 0.0 && percent <= 0.8)) {
        wb.ui.critical(QStringLiteral("Error - Percent must be >0 and <=80"));
        return CreateTestEnd::Refused;
    }
    if (!wb.engine.require(wb.ui, {"MKTEST1", "MINMAX", "NORMALIZE"})) {
        return CreateTestEnd::Failed;
    }

    BusyGuard busy(wb.ui);
    setStatus(form, QStringLiteral("Reading .PAT file..."));
    // Every run starts from the full set at its source, the pattern file or the data link, never
    // from a set an earlier run reduced; a pasted set has no source but itself.
    const bool pasted = !m.PatsLinked && isPastedSet(wb, false);
    const bool reread = m.PatsLinked ? relinkSet(wb, 1)
            : pasted                 ? m.HasPatterns
                                     : openPatterns(wb, false, m.PatFileName).done();
    if (!reread || m.NumPats < 1) {
        return CreateTestEnd::Failed;
    }
    const int numPats = m.NumPats;
    const int maxTest = static_cast<int>(0.8 * numPats);

    int n = 0;
    int16_t start = 0;
    switch (form.method) {
    case 2: {
        const auto count = countValue(form.data[1]);
        if (!count) {
            cannotCreate(wb);
            return CreateTestEnd::Failed;
        }
        n = *count;
        if (n <= 0 || n > maxTest) {
            wb.ui.critical(QStringLiteral("Error - no. of pats. must be >0 and <=")
                           + QString::number(maxTest));
            return CreateTestEnd::Refused;
        }
        break;
    }
    case 3: {
        const auto from = countValue(form.data[2]);
        const auto to = countValue(form.data[3]);
        if (!from || !to) {
            cannotCreate(wb);
            return CreateTestEnd::Failed;
        }
        n = *to - *from + 1;
        if (*to > numPats || *from > numPats || *to < *from || *to <= 0 || *from <= 0
            || n > maxTest) {
            wb.ui.critical(QStringLiteral("Error - range should be >0 and <=")
                           + QString::number(numPats) + QStringLiteral(", and no. of test pats<")
                           + QString::number(maxTest));
            return CreateTestEnd::Refused;
        }
        start = *from;
        break;
    }
    default:
        n = static_cast<int>(roundHalfEven(percent * numPats));
        break;
    }
    // The split needs a pattern on each side; a small set or a small percentage can leave none.
    if (n < 1 || n >= numPats) {
        wb.ui.critical(QStringLiteral("Error - no. of test pats. must be >0 and <")
                       + QString::number(numPats) + QStringLiteral(" (the training set has ")
                       + QString::number(numPats) + QStringLiteral(" patterns)"));
        return CreateTestEnd::Refused;
    }

    int16_t nin = m.numInputs();
    int16_t nout = m.numOutputs();
    if (m.PatIn.rows() != numPats || m.PatIn.cols() != nin || m.PatOut.rows() != numPats
        || m.PatOut.cols() != nout) {
        cannotCreate(wb);
        return CreateTestEnd::Failed;
    }
    m.NumTestPats = static_cast<int16_t>(n);
    m.TstIn.allocate(n, nin);
    m.TstOut.allocate(n, nout);

    setStatus(form, QStringLiteral("Creating TEST data..."));
    int16_t remaining = m.NumPats;
    int16_t ntest = m.NumTestPats;
    int16_t smode = static_cast<int16_t>(form.method);
    float unused = 0;
    wb.engine.fn().MKTEST1(m.PatIn.data(), m.PatOut.data(), &remaining, &nin, &nout, m.TstIn.data(),
                           m.TstOut.data(), &ntest, &smode, &start, &unused);
    if (remaining != numPats - n) {
        cannotCreate(wb);
        return CreateTestEnd::Failed;
    }
    // The remaining rows still have the old leading dimension: moved into arrays of their size.
    m.PatIn = firstRows(m.PatIn, remaining);
    m.PatOut = firstRows(m.PatOut, remaining);
    m.NumPats = remaining;

    FormState &f = wb.form;
    f.setText(Control::LBL_NptsTST, QString::number(m.NumTestPats));
    m.HasTest = true;
    f.setEnabled(Control::BTN_EditTst, true);
    f.setEnabled(Control::CHK_ShowTestErr, true);
    m.TestFileName = SampledName;
    f.setText(Control::LBL_TestFile, SampledName);
    updateCommands(wb);
    f.setText(Control::LBL_Npts, QString::number(m.NumPats));
    f.setText(Control::TXT_EpocLen, QString::number(m.NumPats));
    wb.ui.yield();
    setStatus(form, QStringLiteral("New test file was created"));
    m.SetsRegenerated = true;
    m.PatsUnsaved = true;
    m.TestUnsaved = true;
    emit wb.events.dataChanged();
    return CreateTestEnd::Created;
}
