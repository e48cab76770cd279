#pragma once

#include <QString>

struct NetModel;
struct Workbench;

// The "Learning Parameters", "Epoc Parameters" and "Weights" boxes of the main window, addressed
// by their control names so the window only forwards its events.

// A parameter box's text changed. TXT_Eta, TXT_Wnoise, TXT_Pnoise, TXT_Temp, TXT_epocs,
// TXT_TargetErr, TXT_PatClip, TXT_minW and TXT_maxW store the leading number of the text in their
// field at once (TXT_epocs rounded halves to even; a value outside 1..32767 is clamped to it, said
// in a message, and the box shows the clamped value; an empty box stores 0). TXT_Alpha only keeps
// its text: Alpha is read from it when training starts. Other names only keep the text.
void parameterTextChanged(Workbench &wb, const QString &control, const QString &text);

// The "Random Sampling" box CHK_RND was clicked: RandomSampling 1 when checked, 0 when not.
void randomSamplingClicked(Workbench &wb, bool checked);

// The epoch length to use, checked when the box's edit is finished, before a run and when a
// network file gives one (typing only keeps the text, through parameterTextChanged): accepts a
// whole number 1..NumPats; otherwise says "Epoc Lenght Should Be between 1 to " NumPats and puts
// NumPats (1 with no patterns) into the box. Returns whether the text was accepted. With no
// patterns loaded the box's own "1" is accepted silently.
bool epochLengthChanged(Workbench &wb, const QString &text);

// One click of a spinner: UpDown1 Eta, UpDown2 Alpha (a unit of the leading decimal place, only
// while the value is above 0, shown "0.#######"), UpDown3 input noise (0.01), UpDown4 weight
// noise (0.002; going down, a result below the step becomes 0). Returns the name of the box that
// now shows the value and gets the focus, or an empty name for an unknown spinner.
QString spin(Workbench &wb, int upDown, bool up);

// What the "Auto Learning" dialog FRM_LearnPar binds to: the texts of its two boxes.
struct AutoLearnForm
{
    QString TXT_EtaInc;
    QString TXT_EtaDec;

    // The dialog as it opens: EtaInc and EtaDec in the general number format.
    static AutoLearnForm fill(const NetModel &model);
};

// "&OK": adaptation on (AutoOn -1), the boxes' numbers stored in EtaInc and EtaDec; CHK_AutoLearn
// then shows whether adaptation is on.
void autoLearnAccepted(Workbench &wb, const AutoLearnForm &form);

// "&Cancel": adaptation off; CHK_AutoLearn unchecked.
void autoLearnCancelled(Workbench &wb);

// CHK_AutoLearn was unchecked: adaptation off.
void autoLearnUnchecked(Workbench &wb);
