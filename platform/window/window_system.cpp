#include "platform/window/window_system.h"

#include "platform/gdi/drawing_preparation.h"
#include "platform/window/desktop.h"
#include "platform/window/dialogs.h"
#include "platform/window/shell_windows.h"

namespace platform {

namespace {

std::unique_ptr<detail::Desktop> Install(Backend& backend, std::optional<std::string> shared) {
    auto desktop = std::make_unique<detail::Desktop>(backend, std::move(shared));
    // Before the first text is measured or drawn.
    LoadFontConfiguration();
    detail::RegisterShellClasses(*desktop);
    detail::RegisterDialogClasses(*desktop);
    return desktop;
}

}  // namespace

WindowSystem::WindowSystem(Backend& backend) : desktop_(Install(backend, std::nullopt)) {}

WindowSystem::WindowSystem(Backend& backend, std::string desktop)
    : desktop_(Install(backend, std::move(desktop))) {}

WindowSystem::~WindowSystem() = default;

void WindowSystem::ObserveTimers(std::function<void(const TimerTaken&)> observer) {
    desktop_->ObserveTimers(std::move(observer));
}

void WindowSystem::ObserveShellHelpers(std::function<void(const ShellHelperCall&)> observer) {
    desktop_->ObserveShellHelpers(std::move(observer));
}

void WindowSystem::RefuseWindowCreation(bool refuse) {
    desktop_->RefuseWindowCreation(refuse);
}

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
