#include "platform/window/window_tree.h"

#include <algorithm>

namespace platform::detail {
namespace {

bool Contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

char16_t Fold(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

}  // namespace

bool SameClassName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return Fold(x) == Fold(y); });
}

std::u16string_view WideView(LPCWSTR text) {
    return text == nullptr ? std::u16string_view() : std::u16string_view(text);
}

const WindowClass* WindowTree::AddClass(WindowClass windowClass) {
    if (FindClass(windowClass.name.c_str()) != nullptr || nextAtom_ == 0xFFFF) {
        return nullptr;
    }
    windowClass.atom = nextAtom_++;
    classes_.push_back(std::make_unique<WindowClass>(std::move(windowClass)));
    return classes_.back().get();
}

const WindowClass* WindowTree::FindClass(LPCWSTR nameOrAtom) const {
    if (nameOrAtom == nullptr) {
        return nullptr;
    }
    for (const auto& c : classes_) {
        if (IS_INTRESOURCE(nameOrAtom) ? c->atom == RESOURCE_ID(nameOrAtom)
                                       : SameClassName(c->name, nameOrAtom)) {
            return c.get();
        }
    }
    return nullptr;
}

Window& WindowTree::Add(std::unique_ptr<Window> window) {
    // Handles step by 4 so the lowest bit stays free: SetForegroundWindow takes it as a flag.
    nextHandle_ += 4;
    window->handle = reinterpret_cast<HWND>(nextHandle_);
    Window& added = *window;
    if (added.IsChild()) {
        if (Window* parent = Find(added.parent)) {
            parent->children.push_back(added.handle);
        }
    } else {
        topLevels_.push_back(added.handle);
    }
    windows_.emplace(added.handle, std::move(window));
    return added;
}

void WindowTree::Remove(HWND handle) {
    Window* window = Find(handle);
    if (window == nullptr) {
        return;
    }
    if (Window* parent = Find(window->parent)) {
        std::erase(parent->children, handle);
    }
    std::erase(topLevels_, handle);
    windows_.erase(handle);
}

Window* WindowTree::Find(HWND handle) const {
    auto it = windows_.find(handle);
    return it == windows_.end() ? nullptr : it->second.get();
}

std::vector<HWND> WindowTree::OwnedBy(HWND owner) const {
    std::vector<HWND> owned;
    for (HWND h : topLevels_) {
        if (Find(h)->owner == owner) {
            owned.push_back(h);
        }
    }
    return owned;
}

void WindowTree::BringToTop(HWND handle) {
    if (std::find(topLevels_.begin(), topLevels_.end(), handle) == topLevels_.end()) {
        return;
    }
    std::erase(topLevels_, handle);
    topLevels_.push_back(handle);
    for (HWND owned : OwnedBy(handle)) {
        BringToTop(owned);
    }
}

HWND WindowTree::TopLevelOf(HWND handle) const {
    Window* window = Find(handle);
    while (window != nullptr && window->IsChild()) {
        Window* parent = Find(window->parent);
        if (parent == nullptr) {
            break;
        }
        window = parent;
    }
    return window == nullptr ? nullptr : window->handle;
}

POINT WindowTree::ClientOrigin(const Window& window) const {
    POINT origin{window.rect.left, window.rect.top + window.captionHeight};
    if (window.IsChild()) {
        if (Window* parent = Find(window.parent)) {
            POINT parentOrigin = ClientOrigin(*parent);
            origin.x += parentOrigin.x;
            origin.y += parentOrigin.y;
        }
    }
    return origin;
}

RECT WindowTree::ScreenRect(const Window& window) const {
    POINT origin = ClientOrigin(window);
    int top = origin.y - window.captionHeight;
    return {origin.x, top, origin.x + window.Width(), top + window.Height()};
}

HWND WindowTree::ChildAt(const Window& parent, POINT screen) const {
    for (auto it = parent.children.rbegin(); it != parent.children.rend(); ++it) {
        Window* child = Find(*it);
        if (child != nullptr && child->visible && Contains(ScreenRect(*child), screen)) {
            return ChildAt(*child, screen);
        }
    }
    return parent.handle;
}

HWND WindowTree::WindowAt(POINT screen) const {
    for (auto it = topLevels_.rbegin(); it != topLevels_.rend(); ++it) {
        Window* window = Find(*it);
        if (window != nullptr && window->visible && Contains(ScreenRect(*window), screen)) {
            return ChildAt(*window, screen);
        }
    }
    return nullptr;
}

bool WindowTree::TakesInput(HWND handle) const {
    for (Window* w = Find(handle); w != nullptr;) {
        if (!w->enabled) {
            return false;
        }
        if (w->IsChild()) {
            w = Find(w->parent);
        } else if (w->inputFollowsOwner) {
            w = Find(w->owner);
        } else {
            break;
        }
    }
    return Find(handle) != nullptr;
}

}  // namespace platform::detail
