#include "session/workbenchevents.h"

WorkbenchEvents::WorkbenchEvents(QObject *parent)
    : QObject(parent)
{}
