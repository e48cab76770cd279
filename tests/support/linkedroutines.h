#pragma once

#include "session/engineapi.h"

// The engine's routines taken from the directly linked library, for tests and fuzz targets of
// the core.
inline EngineApi::Routines linkedEngine()
{
    EngineApi::Routines r;
#define AXONA_LINKED_ROUTINE(name) r.name = &::name;
    AXONA_ENGINE_ROUTINES(AXONA_LINKED_ROUTINE)
#undef AXONA_LINKED_ROUTINE
    return r;
}
