#pragma once

#include "files/fileoutcome.h"

struct Workbench;

// "Save &Net" and the toolbar's "save": to the network's own file when it has one, otherwise
// as "&Save Net As...".
FileResult saveNetCommand(Workbench &wb);

// "Save W&eights...": to the weight file the window shows, only when the network has one;
// without one it does nothing (Cancelled).
FileResult saveWeightsCommand(Workbench &wb);

// "&New Net" and the toolbar's "new": with unsaved work, asks "Save Net Before Creating a New
// Net" (Yes saves as the closing question does, No goes on, Cancel keeps everything); otherwise
// asks "Creating a new network will erase all parametrs", "Continue ?". Then New Net defaults
// and a freshly built network. Returns whether the new network was made.
bool newNetCommand(Workbench &wb);

// "&Open Net..." and the toolbar's "open": with unsaved work, asks "Save Net Before Opening
// Another Net" first (as newNetCommand), then opens a network file chosen in the open dialog.
FileResult openNetCommand(Workbench &wb);

// The closing question "Save Net Before Quiting", asked only when there is unsaved work: No
// closes, Cancel stays, Yes saves as "Save &Net" does (sets made by Create Test through their
// own save dialogs first, so the network file names them) and closes only when everything was
// saved, so that a cancelled file dialog or a failed write loses nothing (the work then still
// counts as unsaved, and the next close asks again). Returns whether to close.
bool mayClose(Workbench &wb);
