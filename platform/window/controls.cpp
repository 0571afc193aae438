// The static and button controls of dialogs. A static shows text (wrapped at word boundaries,
// '&' marking a mnemonic unless SS_NOPREFIX) or, with SS_ICON, an icon at the system icon size
// for the screen's density (SM_CXICON x SM_CYICON), scaled from the icon's image, the control
// taking that size. As on the device, SS_REALSIZEIMAGE does not change this: it only keeps
// bitmaps from being scaled up on dense screens, and icons always come at the system size. A push
// button looks pressed while the pointer holds it down over it, and a release over it sends
// WM_COMMAND (its id, BN_CLICKED) to its parent.
#include <algorithm>

#include "platform/window/control_text.h"
#include "platform/window/dialogs.h"
#include "platform/window/resource_registry.h"
#include "platform/window/winuser.h"

namespace platform::detail {
namespace {

constexpr char16_t kStaticClass[] = u"static";
constexpr char16_t kButtonClass[] = u"button";

struct StaticState : WindowExtension {
    HICON icon = nullptr;
};

struct ButtonState : WindowExtension {
    bool tracking = false;
    bool pressed = false;
};

void SizeToIcon(Desktop& desktop, HWND handle, HICON iconHandle) {
    Window* control = desktop.Find(handle);
    if (control == nullptr || ResourceRegistry::Instance().FindIcon(iconHandle) == nullptr) {
        return;
    }
    RECT r = control->rect;
    desktop.Move(
        handle,
        {r.left, r.top, r.left + GetSystemMetrics(SM_CXICON), r.top + GetSystemMetrics(SM_CYICON)},
        true);
}

void PaintStatic(Desktop& desktop, HWND handle) {
    Window* control = desktop.Find(handle);
    auto* state = control->As<StaticState>();
    desktop.BeginSurfacePaint(*control, nullptr);
    if (CairoPtr cr = chrome::ContextOn(*control)) {
        RECT all{0, 0, control->ClientWidth(), control->ClientHeight()};
        chrome::Fill(cr.get(), all, chrome::kDialogBack);
        DWORD type = control->style & SS_TYPEMASK;
        if (type == SS_ICON) {
            const Icon* icon = ResourceRegistry::Instance().FindIcon(state->icon);
            if (icon != nullptr) {
                cairo_scale(cr.get(), static_cast<double>(all.right) / icon->width,
                            static_cast<double>(all.bottom) / icon->height);
                cairo_set_source_surface(cr.get(), icon->image.get(), 0, 0);
                cairo_paint(cr.get());
            }
        } else {
            chrome::UseFont(cr.get(), ControlFont(desktop, handle));
            std::u16string text = (control->style & SS_NOPREFIX) != 0
                                      ? control->text
                                      : WithoutPrefixes(control->text);
            int lineHeight = chrome::LineHeight(cr.get());
            int top = 0;
            const auto textWidth = [&cr](std::u16string_view line) {
                return chrome::TextWidth(cr.get(), line);
            };
            for (const std::u16string& line : WrapWords(text, all.right, textWidth)) {
                double width = textWidth(line);
                double x = type == SS_CENTER  ? (all.right - width) / 2
                           : type == SS_RIGHT ? all.right - width
                                              : 0;
                chrome::Text(cr.get(), line, x, top, chrome::kDialogText);
                top += lineHeight;
            }
        }
    }
    desktop.EndSurfacePaint(handle);
}

LRESULT StaticProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Desktop* desktop = Desktop::Current();
    Window* control = desktop->Find(handle);
    switch (message) {
        case WM_CREATE: {
            auto state = std::make_unique<StaticState>();
            const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            bool icon = (control->style & SS_TYPEMASK) == SS_ICON;
            control->extension = std::move(state);
            // An icon control's title is 0xFFFF followed by the icon's resource number.
            if (icon && cs->lpszName != nullptr && cs->lpszName[0] == 0xFFFF) {
                HICON loaded = LoadIconW(cs->hInstance, MAKEINTRESOURCEW(cs->lpszName[1]));
                control->As<StaticState>()->icon = loaded;
                SizeToIcon(*desktop, handle, loaded);
            }
            return 0;
        }
        case STM_SETICON: {
            auto* state = control->As<StaticState>();
            HICON previous = state->icon;
            state->icon = reinterpret_cast<HICON>(wParam);
            SizeToIcon(*desktop, handle, state->icon);
            desktop->Invalidate(*control, nullptr, true);
            return reinterpret_cast<LRESULT>(previous);
        }
        case STM_GETICON:
            return reinterpret_cast<LRESULT>(control->As<StaticState>()->icon);
        case WM_PAINT:
            PaintStatic(*desktop, handle);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers the whole control
        default:
            return DefWindowProcW(handle, message, wParam, lParam);
    }
}

void PaintButton(Desktop& desktop, HWND handle) {
    Window* control = desktop.Find(handle);
    bool pressed = control->As<ButtonState>()->pressed;
    desktop.BeginSurfacePaint(*control, nullptr);
    if (CairoPtr cr = chrome::ContextOn(*control)) {
        RECT all{0, 0, control->ClientWidth(), control->ClientHeight()};
        const Metrics& m = desktop.metrics();
        chrome::Fill(cr.get(), all, pressed ? chrome::kHighlight : chrome::kButtonFace);
        chrome::Outline(cr.get(), all, std::max(1, m.Scale(1)), chrome::kButtonBorder);
        chrome::UseFont(cr.get(), ControlFont(desktop, handle));
        chrome::TextCentred(cr.get(), WithoutPrefixes(control->text), all,
                            pressed ? chrome::kHighlightText : chrome::kDialogText);
    }
    desktop.EndSurfacePaint(handle);
}

void SetButtonPressed(Desktop& desktop, Window& control, bool pressed) {
    auto* state = control.As<ButtonState>();
    if (state->pressed != pressed) {
        state->pressed = pressed;
        desktop.Invalidate(control, nullptr, false);
    }
}

LRESULT ButtonProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Desktop* desktop = Desktop::Current();
    Window* control = desktop->Find(handle);
    auto* state = control->As<ButtonState>();
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    bool inside = x >= 0 && y >= 0 && x < control->ClientWidth() && y < control->ClientHeight();
    switch (message) {
        case WM_CREATE:
            control->extension = std::make_unique<ButtonState>();
            return 0;
        case WM_LBUTTONDOWN:
            state->tracking = true;
            SetButtonPressed(*desktop, *control, true);
            return 0;
        case WM_MOUSEMOVE:
            if (state->tracking) {
                SetButtonPressed(*desktop, *control, inside);
            }
            return 0;
        case WM_LBUTTONUP: {
            bool clicked = state->tracking && inside;
            state->tracking = false;
            SetButtonPressed(*desktop, *control, false);
            if (clicked) {
                desktop->Send(control->parent, WM_COMMAND,
                              MAKEWPARAM(static_cast<WORD>(control->id), BN_CLICKED),
                              reinterpret_cast<LPARAM>(handle));
            }
            return 0;
        }
        case BM_GETSTATE:
            return state != nullptr && state->pressed ? BST_PUSHED : 0;
        case WM_PAINT:
            PaintButton(*desktop, handle);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return DefWindowProcW(handle, message, wParam, lParam);
    }
}

}  // namespace

void RegisterControlClasses(Desktop& desktop) {
    desktop.tree().AddClass({kStaticClass, 0, 0, StaticProc, nullptr, nullptr, nullptr});
    desktop.tree().AddClass({kButtonClass, 0, 0, ButtonProc, nullptr, nullptr, nullptr});
}

}  // namespace platform::detail
