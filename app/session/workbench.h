#pragma once

#include <cstdint>
#include <functional>

#include <QList>
#include <QStringList>

#include "model/netmodel.h"
#include "model/rmshistory.h"
#include "model/settings.h"
#include "model/windowlayout.h"
#include "session/formstate.h"
#include "session/reportstate.h"

class EngineApi;
class UiPort;

// Everything a workflow works on: the one network, what the main window shows, the engine and
// the way to the user. The program owns one; each test makes its own.
struct Workbench
{
    // Reads the editor setting into the model, as the program does at start.
    Workbench(UiPort &ui, EngineApi &engine);

    NetModel model;
    FormState form;
    UiPort &ui;
    EngineApi &engine;
    Settings settings;

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
    // Set by the window: the layout of every open window, in the order of the window list, for
    // the network file. Unset, the file records no windows.
    std::function<QList<WindowLayout>()> writeDesktop;
    // Set by the window: brings up and places the windows a network file recorded.
    std::function<void(const QList<WindowLayout> &)> readDesktop;
    // Starts a program without waiting for it (the editor); unset, QProcess::startDetached.
    // Returns whether it started.
    std::function<bool(const QString &program, const QStringList &arguments)> startDetached;
};

// New Net defaults for the model and the main window, without asking; data, weights and
// normalisation factors are kept until the next build or load.
void resetModel(Workbench &wb);

// Fills the parameter boxes from the model's fields in the general number format.
void showParameters(Workbench &wb);

// Fills the layer list, the selected-layer label and the function list from the model.
void showLayers(Workbench &wb);

// Reads the "Editor" setting into EditorCommand.
void readEditorSetting(Workbench &wb);
