#include "platform/window/desktop.h"

#include <algorithm>

#include "platform/window/rect_math.h"
#include "platform/window/window_surface.h"

namespace platform::detail {
namespace {

Desktop* current = nullptr;

}  // namespace

Desktop::Desktop(Backend& backend, std::optional<std::string> sharedName)
    : backend_(backend), screen_(backend.Screen()), metrics_(MetricsFor(screen_)) {
    if (sharedName) {
        sharing_ = std::make_unique<DesktopSharing>(std::move(*sharedName));
    }
    previous_ = current;
    current = this;
}

// Tearing down frees every window without sending it messages: the procedures that would receive
// them may already be gone.
Desktop::~Desktop() {
    current = previous_;
}

Desktop* Desktop::Current() {
    return current;
}

std::unique_ptr<Window> Desktop::NewWindow(const CreateParams& p,
                                           const WindowClass& windowClass) const {
    auto window = std::make_unique<Window>();
    window->windowClass = &windowClass;
    window->proc = windowClass.proc;
    window->style = p.style & ~WS_VISIBLE;
    window->exStyle = p.exStyle;
    window->instance = p.instance;
    // A title that starts with 0xFFFF is a resource number (an icon control's picture).
    if (p.title != nullptr && p.title[0] != 0xFFFF) {
        window->text = p.title;
    }
    int x = p.x;
    int y = p.y;
    int width = p.width;
    int height = p.height;
    if ((p.style & WS_CHILD) != 0) {
        if (Find(p.parent) == nullptr) {
            return nullptr;
        }
        window->parent = p.parent;
        window->id = reinterpret_cast<UINT_PTR>(p.menuOrId);
        if (x == CW_USEDEFAULT) {
            x = y = 0;
        }
        if (width == CW_USEDEFAULT) {
            width = height = 0;
        }
    } else {
        if (p.parent != nullptr && Find(p.parent) == nullptr) {
            return nullptr;
        }
        window->owner = tree_.TopLevelOf(p.parent);
        // Without a task bar the default place of a top-level window is the whole screen.
        if (x == CW_USEDEFAULT) {
            x = y = 0;
        }
        if (width == CW_USEDEFAULT) {
            width = screen_.width;
            height = screen_.height;
        }
        if ((p.style & WS_CAPTION) == WS_CAPTION) {
            window->captionHeight = metrics_.CaptionHeight();
        }
        window->captionOkButton = (p.exStyle & WS_EX_CAPTIONOKBTN) != 0;
        window->inputFollowsOwner = p.shellWindow;
        window->activatable = !p.shellWindow;
    }
    window->rect = {x, y, x + std::max(0, width), y + std::max(0, height)};
    window->enabled = (p.style & WS_DISABLED) == 0;
    return window;
}

HWND Desktop::Create(const CreateParams& p) {
    const WindowClass* windowClass = tree_.FindClass(p.className);
    if (windowClass == nullptr || refuseCreation_) {
        return nullptr;
    }
    std::unique_ptr<Window> window = NewWindow(p, *windowClass);
    if (!window) {
        return nullptr;
    }
    Window& added = tree_.Add(std::move(window));
    HWND handle = added.handle;
    // Published before its creation message runs, so that a second copy of a program starting
    // at the same moment finds this one as early as it can.
    if (sharing_ && !added.IsChild() && !p.shellWindow && !added.text.empty()) {
        sharing_->Publish(handle, windowClass->name, added.text);
    }
    FitSurface(added, screen_.height);
    Invalidate(added, nullptr, true);

    CREATESTRUCTW cs{p.param,        p.instance,      p.menuOrId,
                     p.parent,       added.Height(),  added.Width(),
                     added.rect.top, added.rect.left, static_cast<LONG>(p.style),
                     p.title,        p.className,     p.exStyle};
    if (Send(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        Destroy(handle);
        return nullptr;
    }
    if (Find(handle) == nullptr) {
        return nullptr;
    }
    if ((p.style & WS_VISIBLE) != 0) {
        Show(handle, true, true);
    }
    return Find(handle) == nullptr ? nullptr : handle;
}

bool Desktop::Destroy(HWND handle) {
    Window* window = Find(handle);
    if (window == nullptr || window->destroying) {
        return false;
    }
    window->destroying = true;
    // Owned windows go first, then the window, then its children.
    for (HWND owned : tree_.OwnedBy(handle)) {
        Destroy(owned);
    }
    if (Find(handle)->visible) {
        Show(handle, false, false);
    }
    Send(handle, WM_DESTROY, 0, 0);
    if (Window* still = Find(handle)) {
        std::vector<HWND> children = still->children;
        for (HWND child : children) {
            Destroy(child);
        }
    }
    Send(handle, WM_NCDESTROY, 0, 0);
    Forget(handle);
    tree_.Remove(handle);
    return true;
}

void Desktop::Forget(HWND handle) {
    if (sharing_) {
        sharing_->Withdraw(handle);
    }
    timers_.KillAllOf(handle);
    queue_.Forget(handle);
    input_.Release(handle);
    if (focus_ == handle) {
        focus_ = nullptr;
    }
    if (openPopup_ == handle) {
        openPopup_ = nullptr;
    }
    if (active_ == handle) {
        active_ = nullptr;
        if (HWND next = NextToActivate(handle)) {
            Activate(next);
        }
    }
}

HWND Desktop::NextToActivate(HWND leaving) const {
    if (Window* w = Find(leaving); w != nullptr && w->owner != nullptr) {
        if (Window* owner = Find(w->owner);
            owner != nullptr && owner->visible && !owner->destroying && owner->activatable) {
            return owner->handle;
        }
    }
    const auto& order = tree_.TopLevels();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        Window* w = Find(*it);
        if (*it != leaving && w->visible && !w->destroying && w->activatable) {
            return *it;
        }
    }
    return nullptr;
}

bool Desktop::Move(HWND handle, RECT rect, bool repaint) {
    Window* window = Find(handle);
    if (window == nullptr) {
        return false;
    }
    rect.right = std::max(rect.right, rect.left);
    rect.bottom = std::max(rect.bottom, rect.top);
    bool resized =
        rect.right - rect.left != window->Width() || rect.bottom - rect.top != window->Height();
    window->rect = rect;
    if (resized) {
        FitSurface(*window, screen_.height);
    }
    if (repaint) {
        Invalidate(*window, nullptr, true);
    }
    if (resized) {
        Send(handle, WM_SIZE, 0,
             MAKELPARAM(static_cast<WORD>(window->ClientWidth()),
                        static_cast<WORD>(window->ClientHeight())));
    }
    return true;
}

bool Desktop::Show(HWND handle, bool show, bool activate) {
    Window* window = Find(handle);
    if (window == nullptr) {
        return false;
    }
    bool wasVisible = window->visible;
    window->visible = show;
    if (show) {
        window->style |= WS_VISIBLE;
    } else {
        window->style &= ~WS_VISIBLE;
    }
    if (show && !wasVisible) {
        Invalidate(*window, nullptr, true);
    }
    if (show && !window->IsChild() && shown_.Open()) {
        backend_.ShowScreen();
    }
    if (!window->IsChild()) {
        if (show && activate && window->activatable) {
            Activate(handle);
        } else if (!show && active_ == handle) {
            active_ = nullptr;
            if (HWND next = NextToActivate(handle)) {
                Activate(next);
            }
        }
    }
    return wasVisible;
}

bool Desktop::Enable(HWND handle, bool enable) {
    Window* window = Find(handle);
    if (window == nullptr) {
        return false;
    }
    bool wasDisabled = !window->enabled;
    window->enabled = enable;
    if (enable) {
        window->style &= ~WS_DISABLED;
    } else {
        window->style |= WS_DISABLED;
        input_.Release(handle);
    }
    return wasDisabled;
}

void Desktop::Activate(HWND handle) {
    Window* window = Find(handle);
    if (window == nullptr || window->IsChild()) {
        return;
    }
    tree_.BringToTop(handle);
    if (active_ == handle) {
        return;
    }
    HWND previous = active_;
    active_ = handle;
    focus_ = handle;
    if (Find(previous) != nullptr) {
        Send(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(handle));
    }
    Send(handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
}

bool Desktop::BringToForeground(HWND handle, bool ownedPopup) {
    HWND top = tree_.TopLevelOf(handle);
    Window* w = Find(top);
    if (w == nullptr || !w->visible) {
        return false;
    }
    if (ownedPopup) {
        const std::vector<HWND> owned = tree_.OwnedBy(top);
        for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
            Window* popup = Find(*it);
            if (popup->visible && popup->activatable && !popup->destroying) {
                tree_.BringToTop(top);
                Activate(*it);
                return true;
            }
        }
    }
    if (w->activatable) {
        Activate(top);
    } else {
        tree_.BringToTop(top);
    }
    return true;
}

void Desktop::SetFocus(HWND handle) {
    if (handle == nullptr || Find(handle) != nullptr) {
        focus_ = handle;
    }
}

void Desktop::Invalidate(Window& window, const RECT* rect, bool erase) {
    RECT client{0, 0, window.ClientWidth(), window.ClientHeight()};
    RECT area = rect == nullptr ? client : Intersect(*rect, client);
    if (IsEmpty(area)) {
        return;
    }
    window.invalidRect = window.invalid ? Union(window.invalidRect, area) : area;
    window.invalid = true;
    window.eraseOnPaint = window.eraseOnPaint || erase;
}

void Desktop::Validate(Window& window) {
    window.invalid = false;
    window.eraseOnPaint = false;
    window.invalidRect = {0, 0, 0, 0};
}

RECT Desktop::BeginSurfacePaint(Window& window, bool* erase) {
    RECT area = window.invalid ? window.invalidRect : RECT{0, 0, 0, 0};
    if (erase != nullptr) {
        *erase = window.eraseOnPaint;
    }
    Validate(window);
    ++window.paintsOpen;
    window.surfaceDrawn = true;
    return area;
}

void Desktop::EndSurfacePaint(HWND handle) {
    Window* window = Find(handle);
    if (window == nullptr) {
        return;
    }
    window->paintsOpen = std::max(0, window->paintsOpen - 1);
    if (window->paintsOpen == 0 && window->resizePending) {
        FitSurface(*window, screen_.height);
    }
    shown_.Painted();
}

void Desktop::ClosePopup() {
    if (openPopup_ != nullptr) {
        HWND popup = openPopup_;
        openPopup_ = nullptr;
        Destroy(popup);
    }
}

}  // namespace platform::detail
