// Modal dialogs: built from an in-memory template, with positions and sizes in dialog units of
// the template's font (looked up through fontconfig, which stands in for faces it lacks), run
// until EndDialog. While one runs its owner is disabled, so the owner takes no input, but the
// modal loop keeps dispatching everything else: the thread's timers and paints still reach the
// owner.
#include <algorithm>
#include <cmath>

#include "platform/window/dialog_template.h"
#include "platform/window/dialogs.h"
#include "platform/window/resource_registry.h"
#include "platform/window/winuser.h"

namespace platform::detail {
namespace {

constexpr char16_t kDialogClass[] = u"Dialog";
// How far a template is read when it is not one of a module's resources (its size is unknown).
constexpr std::size_t kUnknownTemplateLimit = 0x10000;

DialogState* DialogOf(Desktop& desktop, HWND handle) {
    Window* window = desktop.Find(handle);
    return window == nullptr ? nullptr : window->As<DialogState>();
}

void PaintDialog(Desktop& desktop, HWND handle) {
    Window* dialog = desktop.Find(handle);
    desktop.BeginSurfacePaint(*dialog, nullptr);
    if (CairoPtr cr = chrome::ContextOn(*dialog)) {
        chrome::Fill(cr.get(), {0, 0, dialog->ClientWidth(), dialog->ClientHeight()},
                     chrome::kDialogBack);
    }
    desktop.EndSurfacePaint(handle);
}

LRESULT DialogWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Desktop* desktop = Desktop::Current();
    if (DialogState* state = DialogOf(*desktop, handle);
        state != nullptr && state->proc != nullptr) {
        if (INT_PTR handled = state->proc(handle, message, wParam, lParam)) {
            return handled;
        }
        if (desktop->Find(handle) == nullptr) {
            return 0;
        }
    }
    switch (message) {
        case WM_PAINT:
            PaintDialog(*desktop, handle);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CLOSE:
            // A dialog closes as if Cancel were pressed.
            desktop->Send(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return 0;
        default:
            return DefWindowProcW(handle, message, wParam, lParam);
    }
}

int Scale(int units, int base, int divisor) {
    return units * base / divisor;
}

// A frame's rectangle in pixels of the dialog's font.
struct PixelBox {
    int x;
    int y;
    int width;
    int height;
};

PixelBox InPixels(const DialogFrame& frame, const DialogState& state) {
    return {Scale(frame.x, state.baseX, 4), Scale(frame.y, state.baseY, 8),
            Scale(frame.cx, state.baseX, 4), Scale(frame.cy, state.baseY, 8)};
}

// Enter presses OK and Escape Cancel for the dialog that has the key. A dialog without a Cancel
// button (the device had no Escape key, so its dialogs may handle only OK and a close) is asked
// to close instead, as its caption's close would: on a desktop Escape is how a dialog goes away.
bool DialogKey(Desktop& desktop, HWND dialog, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || desktop.tree().TopLevelOf(msg.hwnd) != dialog) {
        return false;
    }
    if (msg.wParam == VK_ESCAPE && GetDlgItem(dialog, IDCANCEL) == nullptr) {
        desktop.Send(dialog, WM_CLOSE, 0, 0);
        return true;
    }
    if (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) {
        int id = msg.wParam == VK_RETURN ? IDOK : IDCANCEL;
        desktop.Send(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
        return true;
    }
    return false;
}

// The dialog's own window, placed in dialog units of the template's font from the owner's client
// origin, with its state attached; null when it cannot be made.
HWND CreateDialogWindow(Desktop& desktop, HINSTANCE instance, const DialogTemplate& parsed,
                        HWND ownerTop, DLGPROC dialogProc) {
    auto state = std::make_unique<DialogState>();
    state->proc = dialogProc;
    const bool fontGiven = (parsed.frame.style & DS_SETFONT) != 0;
    double points = fontGiven && parsed.pointSize > 0 ? parsed.pointSize : 8;
    state->font = {"sans-serif", points * desktop.metrics().dpi / 72.0, false};
    if (fontGiven && !parsed.faceName.empty()) {
        state->font.family = chrome::Utf8(parsed.faceName);
    }
    MeasureBaseUnits(state->font, &state->baseX, &state->baseY);
    const PixelBox box = InPixels(parsed.frame, *state);

    POINT origin{0, 0};
    if (Window* top = desktop.Find(ownerTop)) {
        origin = desktop.tree().ClientOrigin(*top);
    }
    CreateParams params;
    params.exStyle = parsed.frame.exStyle;
    params.className = kDialogClass;
    params.title = parsed.caption.c_str();
    params.style = (parsed.frame.style & ~WS_VISIBLE & ~WS_CHILD) | WS_POPUP;
    params.x = origin.x + box.x;
    params.y = origin.y + box.y;
    params.width = box.width;
    params.height = box.height;
    params.parent = ownerTop;
    params.instance = instance;
    HWND dialog = desktop.Create(params);
    if (dialog == nullptr) {
        return nullptr;
    }
    if ((params.style & WS_CAPTION) == WS_CAPTION) {
        // The template's height is the client area's; the caption comes on top of it.
        RECT r = desktop.Find(dialog)->rect;
        r.bottom += desktop.Find(dialog)->captionHeight;
        desktop.Move(dialog, r, false);
    }
    desktop.Find(dialog)->extension = std::move(state);
    return dialog;
}

// The template's controls, as children of the dialog; false when one cannot be made.
bool CreateControls(Desktop& desktop, HINSTANCE instance, const DialogTemplate& parsed, HWND dialog,
                    HWND* firstTabStop) {
    const DialogState* state = DialogOf(desktop, dialog);
    for (const auto& item : parsed.items) {
        std::u16string title = item.text;
        if (item.textResource != 0) {
            title = {char16_t{0xFFFF}, static_cast<char16_t>(item.textResource)};
        }
        const PixelBox box = InPixels(item.frame, *state);
        HWND control = CreateWindowExW(
            item.frame.exStyle, item.className.c_str(), title.c_str(),
            (item.frame.style | WS_CHILD) & ~WS_POPUP, box.x, box.y, box.width, box.height, dialog,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance, nullptr);
        if (control == nullptr) {
            return false;
        }
        if (*firstTabStop == nullptr && (item.frame.style & WS_TABSTOP) != 0) {
            *firstTabStop = control;
        }
    }
    return true;
}

// Dispatches everything until the dialog ends (its result), is destroyed under the loop (its
// owner went away: 0) or a quit request comes, which is left for the outer loop.
INT_PTR RunModalLoop(Desktop& desktop, HWND dialog) {
    for (;;) {
        DialogState* s = DialogOf(desktop, dialog);
        if (s == nullptr) {
            return 0;
        }
        if (s->ended) {
            return s->result;
        }
        MSG msg;
        if (desktop.Fetch(msg, nullptr, 0, 0, true, true) == FetchResult::Quit) {
            desktop.PostQuit(static_cast<int>(msg.wParam));
            return 0;
        }
        if (!DialogKey(desktop, dialog, msg)) {
            TranslateMessage(&msg);
            desktop.Dispatch(msg);
        }
    }
}

}  // namespace

void MeasureBaseUnits(const chrome::Font& font, int* baseX, int* baseY) {
    CairoPtr cr = chrome::MeasuringContext();
    chrome::UseFont(cr.get(), font);
    double width =
        chrome::TextWidth(cr.get(), u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    *baseX = (static_cast<int>(width) / 26 + 1) / 2;
    *baseY = chrome::LineHeight(cr.get());
}

chrome::Font ControlFont(Desktop& desktop, HWND control) {
    Window* window = desktop.Find(control);
    if (window != nullptr) {
        if (DialogState* state = DialogOf(desktop, window->parent)) {
            return state->font;
        }
    }
    return {"sans-serif", desktop.metrics().Scale(8) * 96.0 / 72.0, false};
}

void RegisterDialogClasses(Desktop& desktop) {
    desktop.tree().AddClass({kDialogClass, 0, 0, DialogWindowProc, nullptr, nullptr, nullptr});
    RegisterControlClasses(desktop);
}

}  // namespace platform::detail

using platform::detail::Desktop;
using platform::detail::DialogState;

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                DLGPROC dialogProc, LPARAM initParam) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || dialogTemplate == nullptr) {
        return -1;
    }
    if (owner != nullptr && desktop->Find(owner) == nullptr) {
        return 0;  // an invalid owner
    }
    std::size_t size = platform::detail::ResourceRegistry::Instance()
                           .BytesLeftInBlock(dialogTemplate)
                           .value_or(platform::detail::kUnknownTemplateLimit);
    auto parsed = platform::detail::ReadDialogTemplate(dialogTemplate, size);
    if (!parsed) {
        return -1;
    }
    HWND ownerTop = desktop->tree().TopLevelOf(owner);
    HWND dialog =
        platform::detail::CreateDialogWindow(*desktop, instance, *parsed, ownerTop, dialogProc);
    if (dialog == nullptr) {
        return -1;
    }
    HWND firstTabStop = nullptr;
    if (!platform::detail::CreateControls(*desktop, instance, *parsed, dialog, &firstTabStop)) {
        desktop->Destroy(dialog);
        return -1;
    }

    bool ownerWasEnabled = ownerTop != nullptr && IsWindowEnabled(ownerTop);
    if (ownerTop != nullptr) {
        desktop->Enable(ownerTop, false);
    }
    INT_PTR focusDefault =
        desktop->Send(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop), initParam);
    if (DialogState* s = platform::detail::DialogOf(*desktop, dialog); s != nullptr && !s->ended) {
        desktop->Show(dialog, true, true);
        if (focusDefault != 0 && firstTabStop != nullptr) {
            desktop->SetFocus(firstTabStop);
        }
    }
    INT_PTR result = platform::detail::RunModalLoop(*desktop, dialog);
    if (ownerTop != nullptr && desktop->Find(ownerTop) != nullptr && ownerWasEnabled) {
        desktop->Enable(ownerTop, true);
    }
    desktop->Destroy(dialog);
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    Desktop* desktop = Desktop::Current();
    DialogState* state =
        desktop == nullptr ? nullptr : platform::detail::DialogOf(*desktop, dialog);
    if (state == nullptr) {
        return FALSE;
    }
    state->ended = true;
    state->result = result;
    return TRUE;
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
    Desktop* desktop = Desktop::Current();
    DialogState* state =
        desktop == nullptr ? nullptr : platform::detail::DialogOf(*desktop, dialog);
    if (state == nullptr || rect == nullptr) {
        return FALSE;
    }
    rect->left = platform::detail::Scale(rect->left, state->baseX, 4);
    rect->right = platform::detail::Scale(rect->right, state->baseX, 4);
    rect->top = platform::detail::Scale(rect->top, state->baseY, 8);
    rect->bottom = platform::detail::Scale(rect->bottom, state->baseY, 8);
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    Desktop* desktop = Desktop::Current();
    platform::detail::Window* window = desktop == nullptr ? nullptr : desktop->Find(dialog);
    if (window == nullptr) {
        return nullptr;
    }
    for (HWND child : window->children) {
        if (desktop->Find(child)->id == static_cast<UINT_PTR>(id)) {
            return child;
        }
    }
    return nullptr;
}

int GetDlgCtrlID(HWND control) {
    Desktop* desktop = Desktop::Current();
    platform::detail::Window* window = desktop == nullptr ? nullptr : desktop->Find(control);
    return window == nullptr || !window->IsChild() ? 0 : static_cast<int>(window->id);
}
