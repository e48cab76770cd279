#include "session/linkport.h"

LinkPort::LinkPort() = default;

LinkPort::~LinkPort() = default;
