#pragma once

#include "linkedroutines.h"
#include "recordingdesktop.h"
#include "scriptedui.h"
#include "session/workbench.h"

// A workbench on a scripted UI, a recording desktop and the linked engine (or the routines
// given, e.g. counting ones), with the clock of the engine fixed so random draws repeat.
struct TestBench
{
    ScriptedUi ui;
    EngineApi engine;
    RecordingDesktop desktop;
    Workbench wb {ui, engine, desktop};

    explicit TestBench(const EngineApi::Routines &routines = linkedEngine())
        : engine(routines)
    {
        int32_t t = 12345;
        int16_t fixed = 1;
        ::FIXCLOCK(&t, &fixed);
        resetModel(wb);
    }
};
