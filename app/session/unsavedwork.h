#pragma once

#include <QList>
#include <QString>

#include "model/netfile.h"

class FormState;
struct Workbench;

// The texts the network file takes from the main window's boxes and labels.
NetFileTexts netFileTexts(const FormState &form);

// The network file's text with the weight bounds, epoch length and file lines the window shows,
// or why the file could not hold the network.
Result<QString>
formatNetText(const NetModel &model, const FormState &form, const QList<WindowLayout> &desktop);

// The network as it stands counts as saved: its file holds what a save would write now.
void markSaved(Workbench &wb);

// Whether New Net, Open Net or closing would lose work: weights changed since they were last
// saved, a set made by Create Test or pasted and not saved, or a network (layers, parameters,
// title, files) other than the one last read or written.
bool hasUnsavedWork(const Workbench &wb);
