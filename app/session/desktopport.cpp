#include "session/desktopport.h"

DesktopPort::~DesktopPort() = default;
