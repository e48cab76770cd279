#pragma once

#include "files/fileoutcome.h"

struct Workbench;

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
