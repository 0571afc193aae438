// The soft-key bar of the window manager: platform/display/soft_keys.h decides its keys, look and
// what a press does; this draws it with cairo and opens its menus as the window manager's pop-ups.
#include <algorithm>

#include "platform/display/soft_keys.h"
#include "platform/window/aygshell.h"
#include "platform/window/chrome.h"
#include "platform/window/resource_registry.h"
#include "platform/window/shell_windows.h"
#include "platform/window/winuser.h"

namespace platform::detail {
namespace {

constexpr char16_t kSoftKeyBarClass[] = u"SoftKeyBar";

struct SoftKeyBar : WindowExtension {
    SoftKeys keys;
    std::vector<std::u16string> labels;
    std::vector<HMENU> submenus;
    HMENU menu = nullptr;
};

RECT KeyRect(const Window& bar, int index, int count) {
    const KeySpan span = SoftKeySpan(index, count, bar.ClientWidth());
    return {span.left, 0, span.right, bar.ClientHeight()};
}

void Paint(Desktop& desktop, HWND handle) {
    Window* bar = desktop.Find(handle);
    auto* state = bar->As<SoftKeyBar>();
    desktop.BeginSurfacePaint(*bar, nullptr);
    if (CairoPtr cr = chrome::ContextOn(*bar)) {
        using chrome::FromColour;
        const SoftKeyLook look(bar->ClientHeight());
        RECT all{0, 0, bar->ClientWidth(), bar->ClientHeight()};
        chrome::VerticalGradient(cr.get(), all, FromColour(SoftKeyLook::kTop),
                                 FromColour(SoftKeyLook::kBottom));
        const int count = state->keys.Count();
        chrome::UseFont(cr.get(), {"sans-serif", static_cast<double>(look.labelPixels), true});
        for (int i = 0; i < count; ++i) {
            RECT r = KeyRect(*bar, i, count);
            if (i == state->keys.Pressed()) {
                chrome::Fill(cr.get(), r, FromColour(SoftKeyLook::kPressed));
            }
            if (i > 0) {
                chrome::Fill(cr.get(),
                             {r.left, look.separatorInset, r.left + look.separatorWidth,
                              r.bottom - look.separatorInset},
                             FromColour(SoftKeyLook::kTop));
            }
            chrome::TextCentred(
                cr.get(), state->labels[i], r,
                FromColour(state->keys.Button(i).Enabled() ? SoftKeyLook::kLabel
                                                           : SoftKeyLook::kLabelDisabled));
        }
    }
    desktop.EndSurfacePaint(handle);
}

void SetPressed(Desktop& desktop, HWND handle, int index) {
    Window* bar = desktop.Find(handle);
    auto* state = bar == nullptr ? nullptr : bar->As<SoftKeyBar>();
    if (state != nullptr && state->keys.SetPressed(index)) {
        desktop.Invalidate(*bar, nullptr, false);
    }
}

// Sends a key's command to the owner, or opens its menu above it (closes it, when one is open).
void Perform(Desktop& desktop, HWND handle, Window& bar, SoftKeyBar& state, SoftKeyAction action) {
    if (action.kind == SoftKeyAction::Kind::Command) {
        // Posted, so the owner may destroy the bar while handling it.
        desktop.Post(bar.owner, WM_COMMAND, MAKEWPARAM(state.keys.Button(action.key).command, 0),
                     0);
        return;
    }
    if (action.kind != SoftKeyAction::Kind::OpenMenu) {
        return;
    }
    if (Window* open = desktop.Find(desktop.OpenPopup()); open != nullptr) {
        desktop.ClosePopup();
        return;
    }
    const int count = state.keys.Count();
    RECT r = KeyRect(bar, action.key, count);
    POINT origin = desktop.tree().ClientOrigin(bar);
    RECT anchor{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
    if (OpenPopupMenu(desktop, state.submenus[action.key], handle, bar.owner, anchor,
                      count > 1 && action.key == count - 1) != nullptr) {
        SetPressed(desktop, handle, action.key);
    }
}

void TrackPointer(Desktop& desktop, HWND handle, Window& bar, SoftKeyBar& state, UINT message,
                  int x, int y) {
    const int key = SoftKeyAt(x, y, bar.ClientWidth(), bar.ClientHeight(), state.keys.Count());
    const int pressed = state.keys.Pressed();
    SoftKeyAction action;
    if (message == WM_LBUTTONDOWN) {
        action = state.keys.PointerDown(key);
    } else if (message == WM_MOUSEMOVE) {
        state.keys.PointerMove(key);
    } else {
        action = state.keys.PointerUp(key);
    }
    if (state.keys.Pressed() != pressed) {
        desktop.Invalidate(bar, nullptr, false);
    }
    Perform(desktop, handle, bar, state, action);
}

LRESULT SoftKeyBarProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Desktop* desktop = Desktop::Current();
    Window* bar = desktop->Find(handle);
    auto* state = bar->As<SoftKeyBar>();
    if (state == nullptr) {
        return DefWindowProcW(handle, message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT:
            Paint(*desktop, handle);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            TrackPointer(*desktop, handle, *bar, *state, message, GET_X_LPARAM(lParam),
                         GET_Y_LPARAM(lParam));
            return 0;
        case SHCMBM_GETSUBMENU: {
            const int key = state->keys.KeyOfCommand(static_cast<WORD>(lParam));
            return key < 0 ? 0 : reinterpret_cast<LRESULT>(state->submenus[key]);
        }
        case WM_DESTROY:
            if (desktop->Find(desktop->OpenPopup()) != nullptr &&
                desktop->Find(desktop->OpenPopup())->owner == handle) {
                desktop->ClosePopup();
            }
            desktop->menus().Destroy(state->menu);
            state->menu = nullptr;
            return 0;
        default:
            return DefWindowProcW(handle, message, wParam, lParam);
    }
}

// Reads the bar resource into keys; false when it is missing, cut short or names a pop-up its
// menu lacks.
bool ReadBar(HINSTANCE instance, WORD barId, SoftKeyBar& bar) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(barId), RT_RCDATA);
    const auto* bytes = static_cast<const std::byte*>(LockResource(LoadResource(instance, found)));
    std::vector<WORD> words;
    if (bytes != nullptr) {
        words.resize(SizeofResource(instance, found) / sizeof(WORD));
        std::copy_n(bytes, words.size() * sizeof(WORD), reinterpret_cast<std::byte*>(words.data()));
    }
    std::optional<SoftKeyBarResource> resource = ReadSoftKeyBar(words);
    if (!resource) {
        return false;
    }
    bar.menu = LoadMenuW(instance, MAKEINTRESOURCEW(resource->menu));
    for (const SoftKeyButton& button : resource->buttons) {
        WCHAR label[100] = {};
        LoadStringW(instance, button.labelString, label, 100);
        bar.labels.emplace_back(label);
        HMENU submenu = nullptr;
        if (button.popup != SoftKeyButton::kNoPopup) {
            submenu = GetSubMenu(bar.menu, button.popup);
            if (submenu == nullptr) {
                return false;
            }
        }
        bar.submenus.push_back(submenu);
    }
    bar.keys = SoftKeys(std::move(resource->buttons));
    return true;
}

}  // namespace

void RegisterShellClasses(Desktop& desktop) {
    desktop.tree().AddClass({kSoftKeyBarClass, 0, 0, SoftKeyBarProc, nullptr, nullptr, nullptr});
    RegisterPopupMenuClass(desktop);
}

HWND CreateSoftKeyBar(Desktop& desktop, HWND owner, HINSTANCE instance, WORD barId, bool empty,
                      bool hidden) {
    auto state = std::make_unique<SoftKeyBar>();
    if (!empty && !ReadBar(instance, barId, *state)) {
        desktop.menus().Destroy(state->menu);
        return nullptr;
    }
    int height = desktop.metrics().MenuBarHeight();
    ScreenSize screen = desktop.screen();
    CreateParams params;
    params.className = kSoftKeyBarClass;
    params.style = WS_POPUP;
    params.x = 0;
    params.y = screen.height - height;
    params.width = screen.width;
    params.height = height;
    params.parent = owner;
    params.instance = instance;
    params.shellWindow = true;
    HWND bar = desktop.Create(params);
    if (bar == nullptr) {
        desktop.menus().Destroy(state->menu);
        return nullptr;
    }
    desktop.Find(bar)->extension = std::move(state);
    if (!hidden) {
        desktop.Show(bar, true, false);
    }
    return bar;
}

HWND SoftKeyBarOf(Desktop& desktop, HWND topLevel) {
    if (topLevel == nullptr) {
        return nullptr;
    }
    for (HWND owned : desktop.tree().OwnedBy(topLevel)) {
        Window* w = desktop.Find(owned);
        if (w->visible && w->As<SoftKeyBar>() != nullptr) {
            return owned;
        }
    }
    return nullptr;
}

void PressSoftKey(Desktop& desktop, HWND handle, int index) {
    Window* bar = desktop.Find(handle);
    auto* state = bar == nullptr ? nullptr : bar->As<SoftKeyBar>();
    if (state != nullptr) {
        Perform(desktop, handle, *bar, *state, state->keys.Activate(index));
    }
}

void ReleaseSoftKeys(Desktop& desktop, HWND handle) {
    SetPressed(desktop, handle, -1);
}

}  // namespace platform::detail
