// The pop-up menu of a soft key: a light list with a border standing on top of its soft key,
// one row per item with a column for check marks. The pointer highlights the item under it and
// releasing on an item posts its command; Up, Down and Return do the same from the keyboard,
// Escape or the soft key closes it.
#include <algorithm>

#include "platform/window/chrome.h"
#include "platform/window/shell_windows.h"
#include "platform/window/winuser.h"

namespace platform::detail {
namespace {

constexpr char16_t kPopupMenuClass[] = u"PopupMenu";

struct PopupMenu : WindowExtension {
    HMENU menu = nullptr;
    HWND notify = nullptr;
    int highlighted = -1;
};

struct Layout {
    int border;
    int itemHeight;
    int checkColumn;
    int padding;
    double fontPixels;
};

Layout LayoutFor(const Metrics& m) {
    return {std::max(1, m.Scale(1)), m.Scale(22), m.Scale(20), m.Scale(12),
            static_cast<double>(m.Scale(13))};
}

const Menu* MenuOf(Desktop& desktop, const PopupMenu& state) {
    return desktop.menus().Find(state.menu);
}

int ItemAt(Desktop& desktop, const Window& popup, const PopupMenu& state, int x, int y) {
    const Menu* menu = MenuOf(desktop, state);
    Layout layout = LayoutFor(desktop.metrics());
    if (menu == nullptr || x < 0 || x >= popup.ClientWidth() || y < layout.border) {
        return -1;
    }
    int index = (y - layout.border) / layout.itemHeight;
    return index < static_cast<int>(menu->items.size()) ? index : -1;
}

bool Selectable(const MenuItem& item) {
    return (item.flags & (MF_GRAYED | MF_SEPARATOR)) == 0 && item.submenu == nullptr;
}

void Paint(Desktop& desktop, HWND handle) {
    Window* popup = desktop.Find(handle);
    auto* state = popup->As<PopupMenu>();
    desktop.BeginSurfacePaint(*popup, nullptr);
    CairoPtr cr = chrome::ContextOn(*popup);
    const Menu* menu = MenuOf(desktop, *state);
    if (cr && menu != nullptr) {
        Layout layout = LayoutFor(desktop.metrics());
        RECT all{0, 0, popup->ClientWidth(), popup->ClientHeight()};
        chrome::Fill(cr.get(), all, chrome::kMenuBack);
        chrome::Outline(cr.get(), all, layout.border, chrome::kMenuBorder);
        chrome::UseFont(cr.get(), {"sans-serif", layout.fontPixels, false});
        for (std::size_t i = 0; i < menu->items.size(); ++i) {
            const MenuItem& item = menu->items[i];
            int top = layout.border + static_cast<int>(i) * layout.itemHeight;
            RECT row{layout.border, top, all.right - layout.border, top + layout.itemHeight};
            bool lit = static_cast<int>(i) == state->highlighted && Selectable(item);
            if (lit) {
                chrome::Fill(cr.get(), row, chrome::kHighlight);
            }
            chrome::Rgb ink = (item.flags & MF_GRAYED) != 0 ? chrome::FromColour(RGB(150, 150, 150))
                              : lit                         ? chrome::kHighlightText
                                                            : chrome::kMenuText;
            if ((item.flags & MF_CHECKED) != 0) {
                int inset = layout.itemHeight / 4;
                RECT box{row.left + inset, row.top + inset,
                         row.left + layout.checkColumn - inset / 2, row.bottom - inset};
                chrome::CheckMark(cr.get(), box, std::max(1.5, layout.fontPixels / 7), ink);
            }
            chrome::Text(cr.get(), item.text, row.left + layout.checkColumn,
                         chrome::CentredTop(cr.get(), row), ink);
        }
    }
    cr.reset();
    desktop.EndSurfacePaint(handle);
}

void Highlight(Desktop& desktop, HWND handle, int index) {
    Window* popup = desktop.Find(handle);
    auto* state = popup->As<PopupMenu>();
    if (state->highlighted != index) {
        state->highlighted = index;
        desktop.Invalidate(*popup, nullptr, false);
    }
}

// Closes the menu and, for a selectable item, posts its command.
void Choose(Desktop& desktop, HWND handle, int index) {
    Window* popup = desktop.Find(handle);
    auto* state = popup->As<PopupMenu>();
    const Menu* menu = MenuOf(desktop, *state);
    HWND notify = state->notify;
    UINT command = 0;
    bool chosen = menu != nullptr && index >= 0 && index < static_cast<int>(menu->items.size()) &&
                  Selectable(menu->items[index]);
    if (chosen) {
        command = menu->items[index].command;
    }
    desktop.ClosePopup();
    if (chosen) {
        desktop.Post(notify, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), 0), 0);
    }
}

LRESULT PopupMenuProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Desktop* desktop = Desktop::Current();
    Window* popup = desktop->Find(handle);
    auto* state = popup->As<PopupMenu>();
    if (state == nullptr) {
        return DefWindowProcW(handle, message, wParam, lParam);
    }
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    switch (message) {
        case WM_PAINT:
            Paint(*desktop, handle);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
            Highlight(*desktop, handle, ItemAt(*desktop, *popup, *state, x, y));
            return 0;
        case WM_LBUTTONUP:
            Choose(*desktop, handle, ItemAt(*desktop, *popup, *state, x, y));
            return 0;
        case WM_DESTROY:
            ReleaseSoftKeys(*desktop, popup->owner);
            return 0;
        default:
            return DefWindowProcW(handle, message, wParam, lParam);
    }
}

}  // namespace

void RegisterPopupMenuClass(Desktop& desktop) {
    desktop.tree().AddClass({kPopupMenuClass, 0, 0, PopupMenuProc, nullptr, nullptr, nullptr});
}

HWND OpenPopupMenu(Desktop& desktop, HMENU menuHandle, HWND owner, HWND notify, RECT anchor,
                   bool alignRight) {
    const Menu* menu = desktop.menus().Find(menuHandle);
    if (menu == nullptr || menu->items.empty()) {
        return nullptr;
    }
    desktop.ClosePopup();
    Layout layout = LayoutFor(desktop.metrics());
    CairoPtr measure = chrome::MeasuringContext();
    chrome::UseFont(measure.get(), {"sans-serif", layout.fontPixels, false});
    double widest = 0;
    for (const MenuItem& item : menu->items) {
        widest = std::max(widest, chrome::TextWidth(measure.get(), item.text));
    }
    ScreenSize screen = desktop.screen();
    int width = std::min(screen.width, 2 * layout.border + layout.checkColumn +
                                           static_cast<int>(widest + 0.999) + layout.padding);
    int height = 2 * layout.border + static_cast<int>(menu->items.size()) * layout.itemHeight;
    int x = alignRight ? anchor.right - width : anchor.left;
    x = std::clamp(x, 0, std::max(0, screen.width - width));
    int y = std::max(0, anchor.top - height);

    CreateParams params;
    params.className = kPopupMenuClass;
    params.style = WS_POPUP;
    params.x = x;
    params.y = y;
    params.width = width;
    params.height = height;
    params.parent = owner;
    params.shellWindow = true;
    HWND popup = desktop.Create(params);
    if (popup == nullptr) {
        return nullptr;
    }
    auto state = std::make_unique<PopupMenu>();
    state->menu = menuHandle;
    state->notify = notify;
    desktop.Find(popup)->extension = std::move(state);
    desktop.Show(popup, true, false);
    desktop.SetOpenPopup(popup);
    return popup;
}

void PopupMenuKey(Desktop& desktop, HWND handle, UINT key) {
    Window* popup = desktop.Find(handle);
    auto* state = popup == nullptr ? nullptr : popup->As<PopupMenu>();
    const Menu* menu = state == nullptr ? nullptr : MenuOf(desktop, *state);
    if (menu == nullptr) {
        desktop.ClosePopup();
        return;
    }
    int count = static_cast<int>(menu->items.size());
    switch (key) {
        case VK_ESCAPE:
        case VK_TSOFT1:
        case VK_TSOFT2:
            desktop.ClosePopup();
            break;
        case VK_UP:
        case VK_DOWN: {
            int step = key == VK_DOWN ? 1 : count - 1;
            int index = state->highlighted;
            for (int tries = 0; tries < count; ++tries) {
                index = index < 0 ? (key == VK_DOWN ? 0 : count - 1) : (index + step) % count;
                if (Selectable(menu->items[index])) {
                    break;
                }
            }
            Highlight(desktop, handle, index);
            break;
        }
        case VK_RETURN:
            Choose(desktop, handle, state->highlighted);
            break;
        default:
            break;  // the open menu swallows every other key
    }
}

}  // namespace platform::detail
