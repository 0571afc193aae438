// The game's embedded resources: strings, the "Ayuda" menu, the soft-key bar, the accelerators,
// the icon, the About dialog and the high-resolution marker, all in Spanish (Spain).
#pragma once

#include <span>

#include "platform/window/resource_module.h"
#include "resources/resource_ids.h"

namespace resources {

// The whole set, ready for platform::RegisterModule.
const platform::ResourceModule& TarvelResourceModule();

// The 16-bit words of the soft-key bar: menu, button count, then seven words per button.
std::span<const WORD> SoftKeyBarWords();

// The icon's picture, 48 x 48 text art.
const platform::IconResource& TarvelIcon();

}  // namespace resources
