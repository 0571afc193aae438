// fontconfig loses a few hundred bytes once per process while it parses its configuration. The
// platform exempts that load from LeakSanitizer only where the compiler says ASan is on in GCC's
// way (__SANITIZE_ADDRESS__), which clang 14 does not, so a fuzzer that draws text loads the
// configuration itself, exempted, before the first input; later loads find it done.
#pragma once

#include <fontconfig/fontconfig.h>
#include <sanitizer/lsan_interface.h>

inline void LoadFontConfigurationOnce() {
    __lsan::ScopedDisabler notOurLeak;
    FcInit();
}
