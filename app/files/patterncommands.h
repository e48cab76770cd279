#pragma once

#include <QString>

#include "files/fileoutcome.h"

struct Workbench;

// Reads a pattern file into the training set (a test file into the test set): with ask the
// open dialog chooses it, otherwise name is read as it is. Shows the running count in
// LBL_Npts (LBL_NptsTST) and reports every refusal; on failure the model's set is unchanged.
FileResult readPatFile(Workbench &wb, bool ask, const QString &name = QString());
FileResult readTestFile(Workbench &wb, bool ask, const QString &name = QString());

// "Open Patterns..." (ask) and the loads without dialog (network file, re-reads): the local-name
// rule first (a relative name is taken from baseDir), then the read and the window's follow-up:
// file label, count, "<- Edit" button, epoch length, normalisation, menus. A failed read leaves
// the set absent: flag cleared, label "Click here to Open File", count 0.
FileResult openPatterns(Workbench &wb,
                        bool ask,
                        const QString &name = QString(),
                        const QString &baseDir = QString());
// "Open Test...": the same for the test set.
FileResult openTest(Workbench &wb,
                    bool ask,
                    const QString &name = QString(),
                    const QString &baseDir = QString());

// "Save Pats As..." and "Save Test Pats. As...": the set as it is held (normalised while
// normalisation is on) into a file chosen in the save dialog. A failed write is reported and
// changes nothing.
FileResult savePatsAs(Workbench &wb);
FileResult saveTestPatsAs(Workbench &wb);

// Pasted or linked rows (no header, one pattern per row) as the training or test set; name is
// shown as the set's source unless it is a single blank. Returns whether the set was taken.
bool pastePatterns(Workbench &wb, const QString &text, const QString &name);
bool pasteTests(Workbench &wb, const QString &text, const QString &name);

// Whether the training set (the test set with test) was pasted and has no file yet.
bool isPastedSet(const Workbench &wb, bool test);

// Before a network is saved: a set that was pasted and has no file yet is saved to one first
// (after a note, through the save dialog, in data units), so that the network file names a file
// it can be read from again. A cancelled dialog leaves the set as it is.
void savePastedSets(Workbench &wb);
