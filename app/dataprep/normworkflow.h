#pragma once

#include <functional>

#include <QString>

class Array2;
struct NetModel;
struct Workbench;

// A Linear or Log option button: selected, enabled, and the enabled state it had when its
// side's "Normalize" box was cleared (given back when the box is checked again).
struct NormOption
{
    bool checked = false;
    bool enabled = true;
    bool rememberedEnabled = true;
};

// What the "Normalize Data" dialog's controls hold.
struct NormForm
{
    // "NORMALIZE TO": TXT_NMinIn, TXT_NMaxIn, TXT_NMinOut, TXT_NMaxOut.
    QString newMinIn = QStringLiteral("0.0");
    QString newMaxIn = QStringLiteral("1.0");
    QString newMinOut = QStringLiteral("0.1");
    QString newMaxOut = QStringLiteral("0.9");
    // "LOADED PAT. DATA": TXT_MinIn, TXT_MaxIn, TXT_MinOut, TXT_MaxOut.
    QString minIn;
    QString maxIn;
    QString minOut;
    QString maxOut;
    // OPT_GLB selected (OPT_Node otherwise).
    bool global = false;
    // CHK_NormIns, CHK_NormOuts.
    bool normIns = true;
    bool normOuts = true;
    // CHK_InLin, CHK_InLog, CHK_OutLin, CHK_OutLog.
    NormOption inLin {true, true, true};
    NormOption inLog;
    NormOption outLin {true, true, true};
    NormOption outLog;
    // StatusBar1, panel 1.
    QString status;
    // Set by the window: shows a new status text at once.
    std::function<void(const QString &)> onStatus;
};

// The hint of the "Inputs" or "Outputs" frame for its Log option.
QString logFrameHint(const NormOption &log);

// Fill step (on opening and after Reset): method, check boxes and options from the model and
// the training set, default target ranges from the neuron functions, the loaded data ranges.
// Log is offered only for a side whose training values are all above zero, while the data are
// held raw.
void fillNormForm(Workbench &wb, NormForm &form);

// Re-read step: the training set again from its pattern file, then a test set from its file; a
// test set made by "Create Test" (its name starts with "sampled") stays in memory, in raw form.
// Returns false, with a message, when a set cannot be read again (a data link, a missing file).
bool rereadNormData(Workbench &wb);

// "&Normalize": the raw data again, factors computed from the training set onto the target
// ranges of the form, applied to the training and test sets; NormOn afterwards. A Log side
// holding a value <= 0 is refused with a message and the data stay as they were. Returns whether
// the data were normalised.
bool normalizeData(Workbench &wb, NormForm &form);

// "&Reset": the raw data again, log flags and the global method cleared, the form filled anew.
// Returns false when the data could not be read again (shown to the user).
bool resetNormalization(Workbench &wb, NormForm &form);

// CHK_NormIns / CHK_NormOuts clicked: a side not normalised has Linear selected and both
// options disabled; checked again, they get their earlier enabled state back.
void setNormalizeInputs(NormForm &form, bool checked);
void setNormalizeOutputs(NormForm &form, bool checked);

// CHK_InLog/CHK_InLin (log true/false) and CHK_OutLog/CHK_OutLin clicked: selects that option
// when it is enabled.
void chooseInputLog(NormForm &form, bool log);
void chooseOutputLog(NormForm &form, bool log);

// OPT_GLB (global true) or OPT_Node clicked: GlobalNorm follows at once.
void chooseGlobalNorm(Workbench &wb, NormForm &form, bool global);
