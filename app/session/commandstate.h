#pragma once

#include <QString>

struct Workbench;

// Enabling of the file commands: any network can be saved (the save asks for what it lacks);
// "Save W&eights..." needs a weight file and "&Normalize..." a training set.
void updateFileCommands(Workbench &wb);

// Enabling of the training toolbar buttons from the pattern and test flags.
void updateTrainCommands(Workbench &wb);

// Both of the above, after anything that changes the files, the data or the weights.
void updateCommands(Workbench &wb);

// Enabling of the items of a menu that is about to open ("&File", "&Edit", "&Data", "&View"
// by their menu object names MNU_FILE, MNU_EDIT, MNU_DATA, MNU_VIEW).
void updateMenuOnOpen(Workbench &wb, const QString &menu);

// A training run starts: every command that would change the network's shape, weights or data
// is disabled, in the menus and on the toolbar alike, and stays so whatever refreshes the
// commands until endRunCommands; "stop", "runnet", "plotnet", "plotweights" and (with a test
// set) "runtest" are enabled. Sets Training.
void beginRunCommands(Workbench &wb);

// The run has ended: Training cleared, "train" enabled, "stop" disabled, and the commands the
// run held back given back as the network's state allows.
void endRunCommands(Workbench &wb);
