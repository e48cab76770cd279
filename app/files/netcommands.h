#pragma once

#include <QList>
#include <QString>

#include "files/fileoutcome.h"
#include "model/netfile.h"

struct Workbench;

// "Save Net" (saveAs false: to fileName) and "Save Net As" (saveAs true: the save dialog names
// the file, which becomes the network's file). Asks for a weight file first when the network has
// none, then writes the weights and the network under the network's save lock, and names both
// files in the status bar. Saved under a new name, a network whose weight file another network
// file names asks for a weight file of its own (named after the new network file), so the other
// network's weights are never rewritten; cancelling that dialog saves nothing. A write that fails
// is reported and leaves the model as it was; so is a network whose arrays do not match its
// layer list. Refused with "Cannot write <file>: " and the reason, with nothing written: a name
// that is one of the network's other files, a value the file could not hold (the weights' own
// values are refused by their save), a save of the same network by another program that does
// not end. A save that is done marks the network as saved.
FileResult saveNet(Workbench &wb, bool saveAs, const QString &fileName = QString());

// "Open Net..." (an empty fileName asks with the open dialog) and the start-up load: New Net
// defaults, then the file's network is built and its pattern, weight and test files loaded,
// normalised and the windows placed (the others closed). The stored epoch length goes through
// the box's check. A load that fails, whether on the network file or on a file it names, leaves
// the open network, its window and its other windows exactly as they were. The focus goes to
// "Eta" however the load ends.
FileResult loadNet(Workbench &wb, const QString &fileName = QString());
