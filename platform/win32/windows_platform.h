// What the game's program and painters see of the platform on Windows: the real window manager
// and drawing interface, the pocket computer's shell calls (which desktop Windows lacks, so
// they are ours), and the few calls whose device meaning the desktop does not share.
#pragma once

#include <windows.h>

#include "platform/win32/device_redirect.h"
#include "platform/win32/device_shell.h"
