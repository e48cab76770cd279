#include "session/controls.h"

QStringList Control::all()
{
#define AXONA_CONTROL_ENTRY(name) QString(Control::name),
    return {AXONA_MAIN_WINDOW_CONTROLS(AXONA_CONTROL_ENTRY) QString(Control::newNet)};
#undef AXONA_CONTROL_ENTRY
}
