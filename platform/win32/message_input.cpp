#include "platform/win32/message_input.h"

namespace platform::win32 {
namespace {

// A key message's lParam: the scan code and the extended-key bit, the key's state before it, and
// (for WM_KEYUP) a release's transition bit.
constexpr LPARAM kScanCodeAndExtended = 0x01FF0000;
constexpr LPARAM kWasDown = LPARAM{1} << 30;
constexpr LPARAM kReleased = (LPARAM{1} << 31) | kWasDown | 1;
constexpr LPARAM kAltHeld = LPARAM{1} << 29;

RawInput Key(RawInputKind kind, WPARAM wParam, LPARAM lParam) {
    return {.kind = kind,
            .key = static_cast<std::int64_t>((lParam & kScanCodeAndExtended) | wParam),
            .virtualKey = static_cast<std::uint32_t>(wParam),
            .repeat = kind == RawInputKind::KeyDown && (lParam & kWasDown) != 0};
}

}  // namespace

std::optional<RawInput> RawInputOf(UINT message, WPARAM wParam, LPARAM lParam,
                                   std::optional<DevicePoint> at) {
    constexpr PointerId kMouse{true, 0};
    switch (message) {
        case WM_MOUSEMOVE:
            return RawInput{RawInputKind::PointerMove, kMouse, at};
        case WM_LBUTTONDOWN:
            return RawInput{RawInputKind::PointerDown, kMouse, at};
        case WM_LBUTTONUP:
            return RawInput{RawInputKind::PointerUp, kMouse, at};
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return Key(RawInputKind::KeyDown, wParam, lParam);
        case WM_KEYUP:
        case WM_SYSKEYUP:
            return Key(RawInputKind::KeyUp, wParam, lParam);
        case WM_KILLFOCUS:
        // A menu's own loop takes the keyboard without the focus moving.
        case WM_ENTERMENULOOP:
            return RawInput{RawInputKind::FocusLost};
        default:
            return std::nullopt;
    }
}

bool AltHeld(LPARAM lParam) {
    return (lParam & kAltHeld) != 0;
}

ProgramMessage MessageOf(const InputEvent& event, UINT from, WPARAM wParam, LPARAM lParam) {
    const LPARAM at = MAKELPARAM(event.x, event.y);
    switch (event.kind) {
        case InputKind::PointerMove:
            return {WM_MOUSEMOVE, wParam, at};
        case InputKind::PointerDown:
            return {WM_LBUTTONDOWN, wParam, at};
        case InputKind::PointerUp:
            return {WM_LBUTTONUP, wParam, at};
        case InputKind::KeyDown:
            return {static_cast<UINT>(from == WM_SYSKEYDOWN ? WM_SYSKEYDOWN : WM_KEYDOWN),
                    event.key, lParam};
        case InputKind::KeyUp:
            if (from == WM_SYSKEYUP || from == WM_KEYUP) {
                return {from, event.key, lParam};
            }
            return {WM_KEYUP, event.key, kReleased};
        case InputKind::CloseRequest:
            break;
    }
    return {WM_CLOSE, 0, 0};
}

}  // namespace platform::win32
