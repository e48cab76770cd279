#include "model/uiport.h"

UiPort::~UiPort() = default;
