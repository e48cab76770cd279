#pragma once

#include "model/formstate.h"
#include "model/netmodel.h"
#include "plots/rmshistory.h"
#include "training/report.h"

#include <functional>

class EngineApi;
class UiPort;

// Everything a workflow works on: the one network, what the main window shows, the engine and
// the way to the user. The program owns one; each test makes its own.
struct Workbench
{
    Workbench(UiPort &ui, EngineApi &engine)
        : ui(ui)
        , engine(engine)
    {
    }

    NetModel model;
    FormState form;
    UiPort &ui;
    EngineApi &engine;

    // Set by the window: closes every window but the main window and the frame.
    std::function<void()> closeSatelliteWindows;
    // The training error history the plot draws; cleared by New Net, Randomize and each run.
    RmsHistory rmsHistory;
    // The RMS error of the previous training iteration, of this run or an earlier one.
    float PrevError = 0.0f;
    // What the report window shows.
    ReportState report;
    // Set by the window: shows a caption in the frame (empty = the program title).
    std::function<void(const QString &)> setFrameCaption;
};

// The text a file label shows when it holds no file.
inline QString noFileCaption()
{
    return QStringLiteral("Click here to Open File");
}

// New Net defaults for the model and the main window, without asking; data, weights and
// normalisation factors are kept until the next build or load.
void resetModel(Workbench &wb);

// Fills the parameter boxes from the model's fields in the general number format.
void showParameters(Workbench &wb);

// Fills the layer list, the selected-layer label and the function list from the model.
void showLayers(Workbench &wb);
