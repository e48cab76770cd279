#pragma once

#include <QString>

struct Workbench;

// The three "<- Edit" buttons: open the pattern, test or weight file in the external editor,
// without waiting for it. A set rebuilt by Create Test and not saved yet is refused with a note.
// Starts the user's editor (EditorCommand split into program and arguments) on file, passed as
// one argument so a name with blanks stays whole. An editor that cannot be started (no command,
// a program not found) is said in a message that names the command and points to Setup.
// Returns whether it started.
bool startEditor(Workbench &wb, const QString &file);

void editPatternFile(Workbench &wb);
void editTestFile(Workbench &wb);
void editWeightFile(Workbench &wb);
