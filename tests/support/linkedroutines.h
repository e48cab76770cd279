#pragma once

#include "session/engineapi.h"

// The engine's routines taken from the directly linked library, for tests and fuzz targets of
// the core.
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
