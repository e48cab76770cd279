#pragma once

#include <QString>

struct Workbench;

// Enabling of the file commands from the weight-file, pattern and network-file flags.
void updateFileCommands(Workbench &wb);

// Enabling of the training toolbar buttons from the pattern and test flags.
void updateTrainCommands(Workbench &wb);

// Both of the above, after anything that changes the files, the data or the weights.
void updateCommands(Workbench &wb);

// Enabling of the items of a menu that is about to open ("&File", "&Edit", "&Data", "&View"
// by their menu object names MNU_FILE, MNU_EDIT, MNU_DATA, MNU_VIEW).
void updateMenuOnOpen(Workbench &wb, const QString &menu);
