#include "platform/gdi/drawing_preparation.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>

#include "platform/gdi/font_configuration.h"
#include "platform/gdi/gdi_registry.h"

// GCC says AddressSanitizer is on with __SANITIZE_ADDRESS__, clang with __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define TARVEL_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVEL_LEAK_CHECKED 1
#endif
#endif
#if defined(TARVEL_LEAK_CHECKED)
#include <sanitizer/lsan_interface.h>
#endif

namespace platform {

// fontconfig 2.14 loses a few hundred bytes while parsing its XML configuration, once per
// process; under LeakSanitizer that load is exempted so every other leak still counts.
void LoadFontConfiguration() {
#if defined(TARVEL_LEAK_CHECKED)
    __lsan::ScopedDisabler notOurLeak;
#endif
#if defined(__EMSCRIPTEN__)
    // The page's own configuration is the system's there.
    FcInit();
#else
    static const bool loaded = [] {
        // The program's own configuration (fonts.conf), not the desktop's: it reads one folder
        // of fonts instead of all of them and every rule of the desktop's, and draws the same
        // whatever the desktop prefers. FONTCONFIG_FILE still names another, as for any program.
        const char* named = std::getenv("FONTCONFIG_FILE");
        if (named == nullptr || *named == '\0') {
            FcConfig* config = FcConfigCreate();
            if (config != nullptr &&
                FcConfigParseAndLoadFromMemory(
                    config, reinterpret_cast<const FcChar8*>(gdi_detail::kFontConfiguration),
                    FcTrue) &&
                FcConfigBuildFonts(config) && FcConfigSetCurrent(config)) {
                // The current configuration holds a reference of its own.
                FcConfigDestroy(config);
                return true;
            }
            if (config != nullptr) {
                FcConfigDestroy(config);
            }
        }
        return FcInit() == FcTrue;
    }();
    static_cast<void>(loaded);
#endif
}

#if defined(__EMSCRIPTEN__)
// A web page's program has one thread: the preparation runs in place, before the window opens.
DrawingPreparation::DrawingPreparation() {
    LoadFontConfiguration();
    gdi_detail::Registry::Get();
}
#else
DrawingPreparation::DrawingPreparation()
    : thread_([] {
          // At the normal priority: at SCHED_IDLE it gets no time while other programs keep
          // both cores busy, and the start would wait seconds for it (an unprivileged thread
          // cannot be given its priority back).
          LoadFontConfiguration();
          gdi_detail::Registry::Get();
      }) {}
#endif

DrawingPreparation::~DrawingPreparation() {
    Wait();
}

void DrawingPreparation::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace platform
