#pragma once

#include "linkedroutines.h"
#include "recordingdesktop.h"
#include "scriptedui.h"
#include "session/workbench.h"

// A workbench on a scripted UI and the linked engine, with the clock of the engine fixed so
// random draws repeat.
struct TestBench
{
    ScriptedUi ui;
    EngineApi engine {linkedEngine()};
    RecordingDesktop desktop;
    Workbench wb {ui, engine, desktop};

    TestBench()
    {
        int32_t t = 12345;
        int16_t fixed = 1;
        ::FIXCLOCK(&t, &fixed);
        resetModel(wb);
    }
};
