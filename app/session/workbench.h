#pragma once

#include "model/netmodel.h"
#include "model/rmshistory.h"
#include "model/settings.h"
#include "session/formstate.h"
#include "session/reportstate.h"
#include "session/workbenchevents.h"

class DesktopPort;
class EngineApi;
class LinkPort;
class UiPort;

// Everything a workflow works on: the one network, what the main window shows, the engine and
// the way to the user. The program owns one; each test makes its own.
struct Workbench
{
    // Reads the editor setting into the model, as the program does at start.
    Workbench(UiPort &ui, EngineApi &engine, DesktopPort &desktop);

    NetModel model;
    FormState form;
    UiPort &ui;
    EngineApi &engine;
    // The desktop around the main window; never null (a test may put its own in for a while).
    DesktopPort *desktop;
    Settings settings;

    // The training error history the plot draws; cleared by New Net, Randomize and each run.
    RmsHistory rmsHistory;
    // The RMS error of the previous training iteration, of this run or an earlier one.
    float PrevError = 0.0f;
    // What the report window shows.
    ReportState report;
    // The network file's text (without the window layout) as the network was last read, written
    // or reset: a network whose text differs now holds unsaved changes.
    QString savedNetText;
    // What changed, for the windows and link servers that subscribe.
    WorkbenchEvents events;
    // The live data links with other programs; null where there are none.
    LinkPort *links = nullptr;
};

// New Net defaults for the model and the main window, without asking; data, weights and
// normalisation factors are kept until the next build or load. Every window but the main one is
// closed first. The network then counts as saved.
void resetModel(Workbench &wb);

// The same, leaving the other windows open (a network file being read places them itself, and a
// read that fails leaves them as they were).
void resetModelState(Workbench &wb);

// Fills the parameter boxes from the model's fields in the general number format.
void showParameters(Workbench &wb);

// Fills the layer list, the selected-layer label and the function list from the model.
void showLayers(Workbench &wb);

// Reads the "Editor" setting into EditorCommand.
void readEditorSetting(Workbench &wb);
