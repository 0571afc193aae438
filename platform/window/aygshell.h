// The pocket computer's shell calls on the stand-in. This build has no task bar and no input
// panel, so the calls that only manage those do little:
// - SHCreateMenuBar makes the soft-key bar, a window of the platform's own along the bottom of
//   the screen;
// - SHFullScreen accepts any state: there is no task bar, input-panel button or start icon;
// - SHInitDialog gives the dialog an OK button in its caption, sizes it to the screen and makes
//   its empty soft-key bar; lowering the input panel does nothing;
// - SHHandleWMActivate, SHHandleWMSettingChange and SHInitExtraControls have nothing to do.
#pragma once

#include "platform/window/window_types.h"
// After the types it names.
#include "platform/aygshell_declarations.h"
