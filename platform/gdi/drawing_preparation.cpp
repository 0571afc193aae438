#include "platform/gdi/drawing_preparation.h"

#include <fontconfig/fontconfig.h>
#include <pthread.h>
#include <sched.h>

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
    FcInit();
}

DrawingPreparation::DrawingPreparation()
    : thread_([] {
          // Only on what the rest of the start leaves idle: opening the display is a string of
          // round trips to its server, which needs the other core then. Without the lowered
          // priority the two slow each other down by more than the thread saves.
          sched_param idle{};
          pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
          LoadFontConfiguration();
          gdi_detail::Registry::Get();
      }) {}

DrawingPreparation::~DrawingPreparation() {
    Wait();
}

void DrawingPreparation::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace platform
