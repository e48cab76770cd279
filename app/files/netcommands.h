#pragma once

#include <QList>
#include <QString>

#include "files/fileoutcome.h"
#include "model/netfile.h"

class FormState;
struct Workbench;

// The texts the network file takes from the main window's boxes and labels.
NetFileTexts netFileTexts(const FormState &form);

// The network file's text with the weight bounds, epoch length and file lines the window shows,
// or why the file could not hold the network.
Result<QString>
formatNetText(const NetModel &model, const FormState &form, const QList<WindowLayout> &desktop);

// "Save Net" (saveAs false: to fileName) and "Save Net As" (saveAs true: the save dialog names
// the file, which becomes the network's file). Asks for a weight file first when the network has
// none, then writes the weights and the network under the network's save lock, and names both
// files in the status bar. A write that fails is reported and leaves the model as it was; so is
// a network whose arrays do not match its layer list. Refused with "Cannot write <file>: " and
// the reason, with nothing written: a name that is one of the network's other files, a value
// the file could not hold (the weights' own values are refused by their save), a save of the
// same network by another program that does not end.
FileResult saveNet(Workbench &wb, bool saveAs, const QString &fileName = QString());

// "Open Net..." (an empty fileName asks with the open dialog) and the start-up load: New Net
// defaults, then the file's network is built and its pattern, weight and test files loaded,
// normalised and the windows placed. A load that fails after the network was built keeps what
// was read so far; one that fails before leaves a freshly built New Net.
FileResult loadNet(Workbench &wb, const QString &fileName = QString());
