#include "platform/web/dom_input.h"

namespace platform::web {
namespace {

RawInputKind RawKind(DomEventKind kind) {
    switch (kind) {
        case DomEventKind::PointerDown:
            return RawInputKind::PointerDown;
        case DomEventKind::PointerMove:
            return RawInputKind::PointerMove;
        case DomEventKind::PointerUp:
            return RawInputKind::PointerUp;
        case DomEventKind::PointerCancel:
            return RawInputKind::PointerCancel;
        case DomEventKind::KeyDown:
            return RawInputKind::KeyDown;
        case DomEventKind::KeyUp:
            return RawInputKind::KeyUp;
        case DomEventKind::Blur:
            return RawInputKind::FocusLost;
        case DomEventKind::CloseRequest:
            break;
    }
    return RawInputKind::CloseRequest;
}

}  // namespace

void DomInputTranslator::Translate(const DomEvent& event, std::vector<InputEvent>& out) {
    RawInput raw{.kind = RawKind(event.kind)};
    switch (raw.kind) {
        case RawInputKind::PointerDown:
        case RawInputKind::PointerMove:
        case RawInputKind::PointerUp:
        case RawInputKind::PointerCancel:
            raw.pointer = {false, event.id};
            // The page's device pixels are the letterbox of a screen shown at its own size.
            raw.at = DrawableToDevice({static_cast<double>(event.x), static_cast<double>(event.y)},
                                      {0, 0, device_.width, device_.height}, device_);
            raw.mainButton = event.mainButton;
            break;
        case RawInputKind::KeyDown:
        case RawInputKind::KeyUp:
            if (event.id == 0) {
                return;  // a key the program does not know
            }
            // The page names a key by its virtual key alone.
            raw.key = event.id;
            raw.virtualKey = static_cast<std::uint32_t>(event.id);
            raw.repeat = event.repeat;
            break;
        default:
            break;
    }
    rules_.Apply(raw, out);
}

}  // namespace platform::web
