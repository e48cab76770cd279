#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include "model/fileoutcome.h"

struct Workbench;
struct WindowLayout;

// "Save &Net" and the toolbar's "save": to the network's own file when it has one, otherwise
// as "&Save Net As...".
FileResult saveNetCommand(Workbench &wb);

// "Save W&eights...": to the weight file the window shows, only when the network has one;
// without one it does nothing (Cancelled).
FileResult saveWeightsCommand(Workbench &wb);

// The closing question "Save Net Before Quiting", asked only when the weights changed: No
// closes, Cancel stays, Yes saves as "Save &Net" does and closes only when the save was done,
// so that a cancelled file dialog or a failed write loses nothing (the weights then still count
// as changed, and the next close asks again). Returns whether to close.
bool mayClose(Workbench &wb);

// Window layouts are kept in twips, 15 to the pixel at 96 dpi.
inline constexpr int TwipsPerPixel = 15;

// A window's layout record from its tag, state (0 normal, 1 minimised, 2 maximised) and
// geometry in pixels.
WindowLayout layoutRecord(const QString &tag, int state, const QRect &geometry);

// A record's geometry in pixels.
QRect layoutPixels(const WindowLayout &record);

// A tag as windows are found by it: upper-cased, without surrounding blanks.
QString layoutTag(const QString &tag);
