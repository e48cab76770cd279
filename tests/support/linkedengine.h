#pragma once

#include "model/workbench.h"
#include "scriptedui.h"
#include "training/engineapi.h"

// The engine's routines taken from the directly linked library, for tests of the core.
inline EngineApi::Routines linkedEngine()
{
    EngineApi::Routines r;
    r.BP = &::BP;
    r.QP = &::QP;
    r.CALCNET = &::CALCNET;
    r.CALCERR = &::CALCERR;
    r.RNDW = &::RNDW;
    r.ZEROW = &::ZEROW;
    r.NORMALIZE = &::NORMALIZE;
    r.MINMAX = &::MINMAX;
    r.MKTEST1 = &::MKTEST1;
    r.FIXCLOCK = &::FIXCLOCK;
    return r;
}

// A workbench on a scripted UI and the linked engine, with the clock of the engine fixed so
// random draws repeat.
struct TestBench
{
    ScriptedUi ui;
    EngineApi engine{linkedEngine()};
    Workbench wb{ui, engine};

    TestBench()
    {
        int32_t t = 12345;
        int16_t fixed = 1;
        ::FIXCLOCK(&t, &fixed);
        resetModel(wb);
    }
};
