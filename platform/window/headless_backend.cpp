#include "platform/window/headless_backend.h"

#include <utility>

namespace platform {

HeadlessBackend::HeadlessBackend(ScreenSize screen, Millis start) : screen_(screen), now_(start) {
    if (screen.width <= 0 || screen.height <= 0) {
        throw std::invalid_argument("headless back end: the screen needs a positive size");
    }
}

void HeadlessBackend::AdvanceTo(Millis time) {
    if (time > now_) {
        now_ = time;
    }
}

void HeadlessBackend::Tap(int x, int y) {
    PointerDown(x, y);
    PointerUp(x, y);
}

void HeadlessBackend::PressKey(UINT key) {
    KeyDown(key);
    KeyUp(key);
}

void HeadlessBackend::PressControlKey(UINT key) {
    KeyDown(VK_CONTROL);
    PressKey(key);
    KeyUp(VK_CONTROL);
}

void HeadlessBackend::At(Millis time, std::function<void()> action) {
    actions_.emplace(time, std::move(action));
}

void HeadlessBackend::RunDueActions() {
    // An action may schedule more actions or push input; take one at a time.
    while (!actions_.empty() && actions_.begin()->first <= now_) {
        auto action = std::move(actions_.begin()->second);
        actions_.erase(actions_.begin());
        action();
    }
}

std::vector<InputEvent> HeadlessBackend::TakeInput() {
    std::vector<InputEvent> events(input_.begin(), input_.end());
    input_.clear();
    return events;
}

std::vector<InputEvent> HeadlessBackend::WaitForInput(std::optional<Millis> deadline) {
    ++inputLooks_;
    RunDueActions();
    if (!input_.empty() || (deadline && *deadline <= now_)) {
        return TakeInput();
    }
    ++blockingWaits_;
    std::optional<Millis> wakeUp = deadline;
    if (!actions_.empty() && (!wakeUp || actions_.begin()->first < *wakeUp)) {
        wakeUp = actions_.begin()->first;
    }
    if (!wakeUp) {
        throw HeadlessStall(
            "headless back end: the message loop waits for input, but nothing is pending, no "
            "timer runs and nothing is scheduled");
    }
    if (limit_ && *wakeUp > *limit_) {
        throw HeadlessStall("headless back end: the message loop ran past the test's time limit");
    }
    AdvanceTo(*wakeUp);
    RunDueActions();
    return TakeInput();
}

cairo_surface_t* HeadlessBackend::ScreenBuffer() {
    if (!presented_) {
        presented_ = MakeImageSurface(screen_.width, screen_.height);
    }
    return presented_.get();
}

void HeadlessBackend::Present(const ScreenDamage& changed) {
    ++presents_;
    lastChanged_ = changed.Bands();
}

}  // namespace platform
