// The soft-key bar: a dark strip along the bottom of the screen with one button per soft key,
// built from the bar resource (menu number, button count, then per button: image, command, state,
// style, label string, 0, pop-up index). A plain button sends its command to the owner when
// released; a drop-down button opens its pop-up menu when pressed.
#include <algorithm>
#include <cstring>

#include "platform/window/aygshell.h"
#include "platform/window/chrome.h"
#include "platform/window/resource_registry.h"
#include "platform/window/shell_windows.h"
#include "platform/window/winuser.h"

namespace platform::detail {
namespace {

constexpr WORD kStateEnabled = 0x04;
constexpr WORD kStyleDropDown = 0x08;
constexpr WORD kNoSubmenu = 0xFFFF;
constexpr int kWordsPerButton = 7;
constexpr char16_t kSoftKeyBarClass[] = u"SoftKeyBar";

struct SoftKey {
    WORD command;
    WORD state;
    WORD style;
    std::u16string label;
    HMENU submenu;
};

struct SoftKeyBar : WindowExtension {
    std::vector<SoftKey> keys;
    HMENU menu = nullptr;
    int pressed = -1;   // drawn pressed
    int tracking = -1;  // the plain key the pointer went down on
};

RECT KeyRect(const Window& bar, int index, int count) {
    int width = bar.ClientWidth();
    return {width * index / count, 0, width * (index + 1) / count, bar.ClientHeight()};
}

int KeyAt(const Window& bar, const SoftKeyBar& state, int x, int y) {
    int count = static_cast<int>(state.keys.size());
    for (int i = 0; i < count; ++i) {
        RECT r = KeyRect(bar, i, count);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
            return i;
        }
    }
    return -1;
}

void Paint(Desktop& desktop, HWND handle) {
    Window* bar = desktop.Find(handle);
    auto* state = bar->As<SoftKeyBar>();
    desktop.BeginSurfacePaint(*bar, nullptr);
    if (CairoPtr cr = chrome::ContextOn(*bar)) {
        const Metrics& m = desktop.metrics();
        RECT all{0, 0, bar->ClientWidth(), bar->ClientHeight()};
        chrome::VerticalGradient(cr.get(), all, chrome::kBarTop, chrome::kBarBottom);
        int count = static_cast<int>(state->keys.size());
        chrome::UseFont(cr.get(), {"sans-serif", static_cast<double>(m.Scale(13)), true});
        for (int i = 0; i < count; ++i) {
            RECT r = KeyRect(*bar, i, count);
            if (i == state->pressed) {
                chrome::Fill(cr.get(), r, chrome::kBarPressed);
            }
            if (i > 0) {
                int inset = m.Scale(5);
                chrome::Fill(cr.get(),
                             {r.left, inset, r.left + std::max(1, m.Scale(1)), r.bottom - inset},
                             chrome::kBarTop);
            }
            bool enabled = (state->keys[i].state & kStateEnabled) != 0;
            chrome::TextCentred(
                cr.get(), state->keys[i].label, r,
                enabled ? chrome::kBarLabel : chrome::FromColour(RGB(128, 128, 128)));
        }
    }
    desktop.EndSurfacePaint(handle);
}

void SetPressed(Desktop& desktop, HWND handle, int index) {
    Window* bar = desktop.Find(handle);
    auto* state = bar == nullptr ? nullptr : bar->As<SoftKeyBar>();
    if (state != nullptr && state->pressed != index) {
        state->pressed = index;
        desktop.Invalidate(*bar, nullptr, false);
    }
}

// A drop-down key opens its menu as it goes down. A plain key is drawn pressed while the pointer
// that went down on it stays there, and sends its command when released there.
void TrackPointer(Desktop& desktop, HWND handle, const Window& bar, SoftKeyBar& state, UINT message,
                  int x, int y) {
    if (message == WM_LBUTTONDOWN) {
        int index = KeyAt(bar, state, x, y);
        if (index < 0 || (state.keys[index].state & kStateEnabled) == 0) {
            return;
        }
        if (state.keys[index].submenu != nullptr) {
            PressSoftKey(desktop, handle, index);
        } else {
            state.tracking = index;
            SetPressed(desktop, handle, index);
        }
    } else if (message == WM_MOUSEMOVE) {
        if (state.tracking >= 0) {
            SetPressed(desktop, handle,
                       KeyAt(bar, state, x, y) == state.tracking ? state.tracking : -1);
        }
    } else {
        int tracked = state.tracking;
        state.tracking = -1;
        if (tracked >= 0) {
            SetPressed(desktop, handle, -1);
            if (KeyAt(bar, state, x, y) == tracked) {
                PressSoftKey(desktop, handle, tracked);
            }
        }
    }
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
        case SHCMBM_GETSUBMENU:
            for (const SoftKey& key : state->keys) {
                if (key.command == static_cast<WORD>(lParam)) {
                    return reinterpret_cast<LRESULT>(key.submenu);
                }
            }
            return 0;
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

// Reads the bar resource into keys; false when it is missing or cut short.
bool ReadBar(HINSTANCE instance, WORD barId, SoftKeyBar& bar) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(barId), RT_RCDATA);
    const auto* bytes = static_cast<const std::byte*>(LockResource(LoadResource(instance, found)));
    std::size_t size = SizeofResource(instance, found);
    if (bytes == nullptr || size < 4) {
        return false;
    }
    std::vector<WORD> words(size / 2);
    std::memcpy(words.data(), bytes, words.size() * sizeof(WORD));
    WORD count = words[1];
    if (words.size() < 2 + static_cast<std::size_t>(count) * kWordsPerButton) {
        return false;
    }
    bar.menu = LoadMenuW(instance, MAKEINTRESOURCEW(words[0]));
    for (WORD i = 0; i < count; ++i) {
        const WORD* b = &words[2 + i * kWordsPerButton];
        SoftKey key{b[1], b[2], b[3], {}, nullptr};
        WCHAR label[100] = {};
        LoadStringW(instance, b[4], label, 100);
        key.label = label;
        if (b[6] != kNoSubmenu) {
            key.submenu = GetSubMenu(bar.menu, b[6]);
            if (key.submenu == nullptr) {
                return false;
            }
        }
        bar.keys.push_back(std::move(key));
    }
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
    if (state == nullptr || index < 0 || index >= static_cast<int>(state->keys.size())) {
        return;
    }
    const SoftKey& key = state->keys[index];
    if ((key.state & kStateEnabled) == 0) {
        return;
    }
    if (key.submenu == nullptr || (key.style & kStyleDropDown) == 0) {
        // Posted, so the owner may destroy the bar while handling it.
        desktop.Post(bar->owner, WM_COMMAND, MAKEWPARAM(key.command, 0), 0);
        return;
    }
    if (Window* open = desktop.Find(desktop.OpenPopup()); open != nullptr) {
        desktop.ClosePopup();
        return;
    }
    int count = static_cast<int>(state->keys.size());
    RECT r = KeyRect(*bar, index, count);
    POINT origin = desktop.tree().ClientOrigin(*bar);
    RECT anchor{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
    if (OpenPopupMenu(desktop, key.submenu, handle, bar->owner, anchor,
                      count > 1 && index == count - 1) != nullptr) {
        SetPressed(desktop, handle, index);
    }
}

void ReleaseSoftKeys(Desktop& desktop, HWND handle) {
    SetPressed(desktop, handle, -1);
}

}  // namespace platform::detail
