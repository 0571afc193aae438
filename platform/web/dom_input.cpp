#include "platform/web/dom_input.h"

#include <algorithm>

namespace platform::web {

void DomInputTranslator::Translate(const DomEvent& event, std::vector<InputEvent>& out) {
    switch (event.kind) {
        case DomEventKind::PointerDown:
        case DomEventKind::PointerMove:
        case DomEventKind::PointerUp:
        case DomEventKind::PointerCancel:
            Pointer(event, out);
            break;
        case DomEventKind::KeyDown:
        case DomEventKind::KeyUp:
            Key(event, out);
            break;
        case DomEventKind::Blur:
            for (UINT key : heldKeys_) {
                out.push_back({InputKind::KeyUp, 0, 0, key});
            }
            heldKeys_.clear();
            break;
        case DomEventKind::CloseRequest:
            out.push_back({InputKind::CloseRequest, 0, 0, 0});
            break;
    }
}

void DomInputTranslator::Pointer(const DomEvent& event, std::vector<InputEvent>& out) {
    const bool inside =
        event.x >= 0 && event.y >= 0 && event.x < device_.width && event.y < device_.height;
    const int x = std::clamp(event.x, 0, device_.width - 1);
    const int y = std::clamp(event.y, 0, device_.height - 1);
    const bool isStylus = stylus_ && *stylus_ == event.id;
    switch (event.kind) {
        case DomEventKind::PointerDown:
            if (!stylus_ && event.mainButton && inside) {
                stylus_ = event.id;
                out.push_back({InputKind::PointerDown, x, y});
            }
            break;
        case DomEventKind::PointerMove:
            // A mouse hovers and steers; a finger steers while it is the stylus, or slides in
            // from the bars while no other one is.
            if (isStylus || !stylus_) {
                out.push_back({InputKind::PointerMove, x, y});
            }
            break;
        case DomEventKind::PointerUp:
        case DomEventKind::PointerCancel:
            if (isStylus && (event.mainButton || event.kind == DomEventKind::PointerCancel)) {
                stylus_.reset();
                out.push_back({InputKind::PointerUp, x, y});
            }
            break;
        default:
            break;
    }
}

void DomInputTranslator::Key(const DomEvent& event, std::vector<InputEvent>& out) {
    const auto key = static_cast<UINT>(event.id);
    if (key == 0) {
        return;
    }
    if (event.kind == DomEventKind::KeyUp) {
        // A key pressed before the page had the keyboard, or released already on a blur, has
        // nothing to lift.
        if (heldKeys_.erase(key) != 0) {
            out.push_back({InputKind::KeyUp, 0, 0, key});
        }
        return;
    }
    if (event.repeat || !heldKeys_.insert(key).second) {
        return;
    }
    out.push_back({InputKind::KeyDown, 0, 0, key});
}

}  // namespace platform::web
