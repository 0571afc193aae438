// The windows that exist, their classes, and their stacking: top-level windows in z-order with
// owned windows kept above their owners, child windows inside their parents.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/cairo_handles.h"
#include "platform/window/window_types.h"

namespace platform::detail {

struct FreeRelease {
    void operator()(unsigned char* memory) const { std::free(memory); }
};

struct WindowClass {
    std::u16string name;
    ATOM atom;
    UINT style;
    WNDPROC proc;
    HINSTANCE instance;
    HICON icon;
    HBRUSH background;
    // Extra bytes asked for with the class and with each of its windows. Only their counts are
    // kept: nothing here reads or writes them.
    int classExtraBytes = 0;
    int windowExtraBytes = 0;
};

// State that the window manager's own windows (dialogs, soft-key bars, pop-up menus, controls)
// keep beside the window.
struct WindowExtension {
    virtual ~WindowExtension() = default;
};

struct Window {
    HWND handle = nullptr;
    const WindowClass* windowClass = nullptr;
    WNDPROC proc = nullptr;
    std::u16string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // child windows
    HWND owner = nullptr;   // top-level windows
    UINT_PTR id = 0;        // child windows: the control identifier
    HINSTANCE instance = nullptr;
    // The window rectangle: screen coordinates for a top-level window, the parent's client
    // coordinates for a child.
    RECT rect{};
    // Non-client caption strip along the top, with the OK button when asked for.
    int captionHeight = 0;
    bool captionOkButton = false;
    bool captionOkPressed = false;
    bool captionOkTracking = false;  // the pointer went down on the OK button
    bool enabled = true;
    // Shell windows made for another window (its soft-key bar, its pop-up menu) take input only
    // while their owner does.
    bool inputFollowsOwner = false;
    bool activatable = true;
    bool visible = false;
    bool destroying = false;
    // The invalid region, kept as its bounding rectangle in client coordinates.
    bool invalid = false;
    bool eraseOnPaint = false;
    RECT invalidRect{};
    // The memory of the client-area pixels, and how many bytes of it there are: a window that
    // grows (most do as they are set up) keeps its rows where they are while they fit.
    std::unique_ptr<unsigned char, FreeRelease> pixels;
    std::size_t pixelCapacity = 0;
    // Client-area pixels, an image over `pixels`. While a paint DC draws into the surface a
    // resize waits until EndPaint.
    SurfacePtr surface;
    // Whether anything has been drawn into the surface: until then a resize has no pixels to
    // keep.
    bool surfaceDrawn = false;
    int paintsOpen = 0;
    bool resizePending = false;
    std::vector<HWND> children;  // bottom to top
    std::unique_ptr<WindowExtension> extension;

    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height() - captionHeight > 0 ? Height() - captionHeight : 0; }
    bool IsChild() const { return (style & WS_CHILD) != 0; }

    template <typename T>
    T* As() const {
        return dynamic_cast<T*>(extension.get());
    }
};

class WindowTree {
  public:
    // Returns null when a class of that name exists already (names compare without case).
    const WindowClass* AddClass(WindowClass windowClass);
    // By name or by atom (a MAKEINTRESOURCE value).
    const WindowClass* FindClass(LPCWSTR nameOrAtom) const;

    // Takes the window, gives it a handle and puts it at the top of its siblings.
    Window& Add(std::unique_ptr<Window> window);
    void Remove(HWND handle);
    Window* Find(HWND handle) const;

    const std::vector<HWND>& TopLevels() const { return topLevels_; }  // bottom to top
    std::vector<HWND> OwnedBy(HWND owner) const;
    // Moves a top-level window and, above it, the windows it owns to the top.
    void BringToTop(HWND handle);

    HWND TopLevelOf(HWND handle) const;
    // Screen position of the client area's top-left corner.
    POINT ClientOrigin(const Window& window) const;
    // Screen rectangle of the window, non-client area included.
    RECT ScreenRect(const Window& window) const;
    // The topmost visible window (deepest child) under a screen point.
    HWND WindowAt(POINT screen) const;
    // A window takes input only when it and its parents are enabled, and, for a shell window made
    // for another window, that window too.
    bool TakesInput(HWND handle) const;

  private:
    HWND ChildAt(const Window& parent, POINT screen) const;

    std::vector<std::unique_ptr<WindowClass>> classes_;
    std::map<HWND, std::unique_ptr<Window>> windows_;
    std::vector<HWND> topLevels_;
    std::uintptr_t nextHandle_ = 0x10000;
    ATOM nextAtom_ = 0xC000;
};

bool SameClassName(std::u16string_view a, std::u16string_view b);
std::u16string_view WideView(LPCWSTR text);

}  // namespace platform::detail
