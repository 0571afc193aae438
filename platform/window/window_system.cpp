#include "platform/window/window_system.h"

#include "platform/window/chrome.h"
#include "platform/window/desktop.h"
#include "platform/window/dialogs.h"
#include "platform/window/shell_windows.h"

namespace platform {

WindowSystem::WindowSystem(Backend& backend)
    : desktop_(std::make_unique<detail::Desktop>(backend)) {
    detail::chrome::LoadFontConfiguration();
    detail::RegisterShellClasses(*desktop_);
    detail::RegisterDialogClasses(*desktop_);
}

WindowSystem::~WindowSystem() = default;

SurfacePtr CaptureScreen() {
    detail::Desktop* desktop = detail::Desktop::Current();
    return desktop == nullptr ? nullptr : desktop->ComposeScreen();
}

bool WriteScreenshotPng(const std::string& path, std::string* error) {
    SurfacePtr screen = CaptureScreen();
    if (!screen) {
        if (error != nullptr) {
            *error = "no window system is running";
        }
        return false;
    }
    cairo_status_t status = cairo_surface_write_to_png(screen.get(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        if (error != nullptr) {
            *error = cairo_status_to_string(status);
        }
        return false;
    }
    return true;
}

}  // namespace platform
