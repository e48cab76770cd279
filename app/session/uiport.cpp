#include "session/uiport.h"

UiPort::~UiPort() = default;
