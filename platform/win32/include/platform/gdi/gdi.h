// On Windows the platform is the real one: this header stands where the stand-in's does, so the
// game's window procedure and painters compile unchanged against <windows.h>.
#pragma once

#include "platform/win32/windows_platform.h"
