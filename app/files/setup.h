#pragma once

#include <QString>

struct Workbench;

// What the Setup dialog ("Axona Setup") shows and edits; the dialog mirrors these values.
struct SetupValues
{
    // TXT_Editor.
    QString editor;
    // CHK_LocalNames: checked for a "LocalNames" value of 1.
    bool localNames = true;
    // Index of the selected OPT_TrainigMTD button: 1 "Back propagation", 2 "Quick Prop.", 0 none.
    int trainingMethod = 1;
    // TXT_GF, TXT_WCutOff, TXT_WDecay and whether the three are enabled.
    QString growthFactor;
    QString weightCutOff;
    QString weightDecay;
    bool quickPropEnabled = false;
    // TXT_Seed, "Fixed seed": a whole number every random draw starts from, so runs repeat;
    // empty for the clock.
    QString fixedSeed;
};

// The dialog's values on opening, from the model and the settings file.
SetupValues loadSetup(const Workbench &wb);

// An option button was chosen: quick-prop (2) enables its three boxes, back-propagation (1)
// disables them.
void chooseTrainingMethod(SetupValues &values, int index);

// "&OK": stores the editor and the local-name choice in the settings file and the training
// method and quick-prop parameters in the model. A settings file that cannot be written is
// reported; the model takes the values all the same. "&Cancel" simply drops the values. A
// changed fixed seed is stored and applied too; one that is not a whole number is refused with
// a message and the one before stays.
void storeSetup(Workbench &wb, const SetupValues &values);

// Starts every random draw of the engine (Randomize, random sampling, noise, Create Test) from
// the fixed seed of the settings, or from the clock when none is set. Returns false when the
// engine could not be reached (reported).
bool applyFixedSeed(Workbench &wb);
