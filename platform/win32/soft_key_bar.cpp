#include "platform/win32/soft_key_bar.h"

#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/display/soft_keys.h"
#include "platform/win32/device_screen.h"
#include "platform/win32/device_shell.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kBarClass[] = L"TarvelSoftKeyBar";

struct Bar {
    HWND owner = nullptr;
    HMENU menu = nullptr;
    SoftKeys keys;
    std::vector<std::wstring> labels;
    std::vector<HMENU> popups;
    ~Bar() {
        if (menu != nullptr) {
            DestroyMenu(menu);
        }
    }
};

Bar* BarOf(HWND window) {
    return reinterpret_cast<Bar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

RECT KeyRect(const RECT& client, int index, int count) {
    const KeySpan span = SoftKeySpan(index, count, client.right - client.left);
    return {span.left, 0, span.right, client.bottom};
}

constexpr COLORREF ColourOf(SoftKeyColour c) {
    return RGB(c.red, c.green, c.blue);
}

COLORREF Blend(COLORREF from, COLORREF to, int step, int steps) {
    const auto mix = [&](int a, int b) { return a + (b - a) * step / std::max(1, steps); };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

void FillSolid(HDC context, const RECT& rect, COLORREF colour) {
    SetBkColor(context, colour);
    ExtTextOutW(context, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void Paint(HWND window, const Bar& bar) {
    PAINTSTRUCT paint;
    const HDC context = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const int height = client.bottom;
    const SoftKeyLook look(height);
    for (int y = 0; y < client.bottom; ++y) {
        FillSolid(context, {0, y, client.right, y + 1},
                  Blend(ColourOf(SoftKeyLook::kTop), ColourOf(SoftKeyLook::kBottom), y,
                        client.bottom - 1));
    }
    const int count = bar.keys.Count();
    const HFONT font = CreateFontW(-look.labelPixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Tahoma");
    const HGDIOBJ displaced = SelectObject(context, font);
    SetBkMode(context, TRANSPARENT);
    for (int i = 0; i < count; ++i) {
        RECT key = KeyRect(client, i, count);
        if (i == bar.keys.Pressed()) {
            FillSolid(context, key, ColourOf(SoftKeyLook::kPressed));
        }
        if (i > 0) {
            FillSolid(context,
                      {key.left, look.separatorInset, key.left + look.separatorWidth,
                       height - look.separatorInset},
                      ColourOf(SoftKeyLook::kTop));
        }
        SetTextColor(context, ColourOf(bar.keys.Button(i).Enabled() ? SoftKeyLook::kLabel
                                                                    : SoftKeyLook::kLabelDisabled));
        DrawTextW(context, bar.labels[i].c_str(), -1, &key,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(context, displaced);
    DeleteObject(font);
    EndPaint(window, &paint);
}

void SetPressed(HWND window, Bar& bar, int key) {
    if (bar.keys.SetPressed(key)) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
}

// A drop-down key opens its menu above the key, right-aligned to it as on the device.
void OpenPopup(HWND window, Bar& bar, int index) {
    const HMENU popup = bar.popups[index];
    if (popup == nullptr) {
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    const RECT rect = KeyRect(client, index, bar.keys.Count());
    POINT corner{rect.right, 0};
    ClientToScreen(window, &corner);
    SetPressed(window, bar, index);
    // A menu closes when its owner is not in front.
    SetForegroundWindow(bar.owner);
    TrackPopupMenuEx(popup, TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_LEFTBUTTON, corner.x, corner.y,
                     bar.owner, nullptr);
    PostMessageW(bar.owner, WM_NULL, 0, 0);
    SetPressed(window, bar, -1);
}

void Perform(HWND window, Bar& bar, SoftKeyAction action) {
    if (action.kind == SoftKeyAction::Kind::OpenMenu) {
        OpenPopup(window, bar, action.key);
    } else if (action.kind == SoftKeyAction::Kind::Command) {
        PostMessageW(bar.owner, WM_COMMAND, MAKEWPARAM(bar.keys.Button(action.key).command, 0), 0);
    }
}

// The bar keeps the pointer while a plain key is held, so its release comes here wherever it is.
void TrackPointer(HWND window, Bar& bar, UINT message, LPARAM lParam) {
    RECT client;
    GetClientRect(window, &client);
    const int key =
        SoftKeyAt(static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam)),
                  client.right, client.bottom, bar.keys.Count());
    const int pressed = bar.keys.Pressed();
    SoftKeyAction action;
    if (message == WM_LBUTTONDOWN) {
        action = bar.keys.PointerDown(key);
        if (bar.keys.Pressed() >= 0) {
            SetCapture(window);
        }
    } else if (message == WM_MOUSEMOVE) {
        bar.keys.PointerMove(key);
    } else {
        if (GetCapture() == window) {
            ReleaseCapture();
        }
        action = bar.keys.PointerUp(key);
    }
    if (bar.keys.Pressed() != pressed) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    Perform(window, bar, action);
}

LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Bar* bar = BarOf(window);
    if (bar == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT:
            Paint(window, *bar);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            TrackPointer(window, *bar, message, lParam);
            return 0;
        case WM_KEYDOWN:
            // F1 and F2, sent on by the owner.
            if (wParam == VK_F1 || wParam == VK_F2) {
                Perform(window, *bar, bar->keys.Activate(wParam == VK_F1 ? 0 : 1));
                return 0;
            }
            break;
        case SHCMBM_GETSUBMENU: {
            const int key = bar->keys.KeyOfCommand(static_cast<WORD>(lParam));
            return key < 0 ? 0 : reinterpret_cast<LRESULT>(bar->popups[key]);
        }
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            delete bar;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterBarClass(HINSTANCE instance) {
    WNDCLASSW barClass{};
    if (GetClassInfoW(instance, kBarClass, &barClass)) {
        return true;
    }
    barClass.lpfnWndProc = BarProc;
    barClass.hInstance = instance;
    barClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    barClass.lpszClassName = kBarClass;
    return RegisterClassW(&barClass) != 0;
}

std::span<const WORD> ResourceWords(HINSTANCE instance, UINT id) {
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (found == nullptr) {
        return {};
    }
    const HGLOBAL loaded = LoadResource(instance, found);
    const auto* words = static_cast<const WORD*>(LockResource(loaded));
    if (words == nullptr) {
        return {};
    }
    return {words, SizeofResource(instance, found) / sizeof(WORD)};
}

std::wstring LoadLabel(HINSTANCE instance, UINT id) {
    const wchar_t* text = nullptr;
    // With no buffer, LoadStringW points at the string in the resource itself.
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                         : std::wstring();
}

}  // namespace

HWND CreateSoftKeyBar(HWND owner, HINSTANCE instance, UINT barId) {
    const auto resource = ReadSoftKeyBar(ResourceWords(instance, barId));
    if (!resource || !RegisterBarClass(instance)) {
        return nullptr;
    }
    auto bar = std::make_unique<Bar>();
    bar->owner = owner;
    bar->menu = LoadMenuW(instance, MAKEINTRESOURCEW(resource->menu));
    for (const SoftKeyButton& button : resource->buttons) {
        bar->popups.push_back(button.popup != SoftKeyButton::kNoPopup && bar->menu != nullptr
                                  ? GetSubMenu(bar->menu, button.popup)
                                  : nullptr);
        bar->labels.push_back(LoadLabel(instance, button.labelString));
    }
    bar->keys = SoftKeys(std::move(resource->buttons));
    const HWND window = CreateWindowExW(0, kBarClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, owner,
                                        nullptr, instance, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar.release()));
    return window;
}

}  // namespace platform::win32
