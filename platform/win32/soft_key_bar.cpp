#include "platform/win32/soft_key_bar.h"

#include <algorithm>
#include <memory>
#include <string>

#include "platform/win32/device_screen.h"
#include "platform/win32/device_shell.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kBarClass[] = L"TarvelSoftKeyBar";
constexpr WORD kStateEnabled = 0x04;
constexpr WORD kStyleDropDown = 0x08;
constexpr WORD kNoPopup = 0xFFFF;
constexpr std::size_t kWordsPerButton = 7;

// The colours of the device's bar: a dark gradient, white labels, a blue pressed key.
constexpr COLORREF kBarTop = RGB(64, 64, 72);
constexpr COLORREF kBarBottom = RGB(16, 16, 20);
constexpr COLORREF kLabel = RGB(255, 255, 255);
constexpr COLORREF kLabelDisabled = RGB(128, 128, 128);
constexpr COLORREF kPressed = RGB(48, 104, 200);

struct Key {
    SoftKeyButton button;
    std::wstring label;
    HMENU popup = nullptr;
};

struct Bar {
    HWND owner = nullptr;
    HMENU menu = nullptr;
    std::vector<Key> keys;
    int pressed = -1;
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
    const int width = client.right - client.left;
    return {width * index / count, 0, width * (index + 1) / count, client.bottom};
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

void Paint(HWND window, Bar& bar) {
    PAINTSTRUCT paint;
    const HDC context = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const int height = client.bottom;
    for (int y = 0; y < client.bottom; ++y) {
        FillSolid(context, {0, y, client.right, y + 1},
                  Blend(kBarTop, kBarBottom, y, client.bottom - 1));
    }
    const int count = static_cast<int>(bar.keys.size());
    // The labels are 13 points of the device's density, at the size the bar is shown.
    const int labelPixels = std::max(6, height * 13 / 26);
    const HFONT font = CreateFontW(-labelPixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Tahoma");
    const HGDIOBJ displaced = SelectObject(context, font);
    SetBkMode(context, TRANSPARENT);
    for (int i = 0; i < count; ++i) {
        RECT key = KeyRect(client, i, count);
        if (i == bar.pressed) {
            FillSolid(context, key, kPressed);
        }
        if (i > 0) {
            const int inset = height / 5;
            FillSolid(context,
                      {key.left, inset, key.left + std::max(1, height / 26), height - inset},
                      kBarTop);
        }
        const bool enabled = (bar.keys[i].button.state & kStateEnabled) != 0;
        SetTextColor(context, enabled ? kLabel : kLabelDisabled);
        DrawTextW(context, bar.keys[i].label.c_str(), -1, &key,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(context, displaced);
    DeleteObject(font);
    EndPaint(window, &paint);
}

void SetPressed(HWND window, Bar& bar, int key) {
    if (bar.pressed != key) {
        bar.pressed = key;
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
}

// A drop-down key opens its menu above the key, right-aligned to it as on the device.
void OpenPopup(HWND window, Bar& bar, int index) {
    const Key& key = bar.keys[index];
    if (key.popup == nullptr) {
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    const RECT rect = KeyRect(client, index, static_cast<int>(bar.keys.size()));
    POINT corner{rect.right, 0};
    ClientToScreen(window, &corner);
    SetPressed(window, bar, index);
    // A menu closes when its owner is not in front.
    SetForegroundWindow(bar.owner);
    TrackPopupMenuEx(key.popup, TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_LEFTBUTTON, corner.x,
                     corner.y, bar.owner, nullptr);
    PostMessageW(bar.owner, WM_NULL, 0, 0);
    SetPressed(window, bar, -1);
}

void Activate(HWND window, Bar& bar, int index) {
    if (index < 0 || index >= static_cast<int>(bar.keys.size()) ||
        (bar.keys[index].button.state & kStateEnabled) == 0) {
        return;
    }
    if ((bar.keys[index].button.style & kStyleDropDown) != 0) {
        OpenPopup(window, bar, index);
    } else {
        PostMessageW(bar.owner, WM_COMMAND, MAKEWPARAM(bar.keys[index].button.command, 0), 0);
    }
}

// A drop-down key opens its menu as it goes down; a plain key is drawn pressed, keeps the pointer
// and sends its command when released on itself.
// The key under the pointer position in `lParam`, or -1.
int KeyUnder(HWND window, const Bar& bar, LPARAM lParam) {
    RECT client;
    GetClientRect(window, &client);
    const int y = static_cast<SHORT>(HIWORD(lParam));
    if (y < 0 || y >= client.bottom) {
        return -1;
    }
    return SoftKeyAt(static_cast<SHORT>(LOWORD(lParam)), client.right,
                     static_cast<int>(bar.keys.size()));
}

void Press(HWND window, Bar& bar, LPARAM lParam) {
    const int key = KeyUnder(window, bar, lParam);
    if (key >= 0 && (bar.keys[key].button.style & kStyleDropDown) != 0) {
        Activate(window, bar, key);
    } else if (key >= 0) {
        SetCapture(window);
        SetPressed(window, bar, key);
    }
}

void Release(HWND window, Bar& bar, LPARAM lParam) {
    const int pressed = bar.pressed;
    if (GetCapture() == window) {
        ReleaseCapture();
    }
    SetPressed(window, bar, -1);
    if (pressed >= 0 && KeyUnder(window, bar, lParam) == pressed) {
        Activate(window, bar, pressed);
    }
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
            Press(window, *bar, lParam);
            return 0;
        case WM_LBUTTONUP:
            Release(window, *bar, lParam);
            return 0;
        case WM_KEYDOWN:
            // F1 and F2, sent on by the owner.
            if (wParam == VK_F1 || wParam == VK_F2) {
                Activate(window, *bar, wParam == VK_F1 ? 0 : 1);
                return 0;
            }
            break;
        case SHCMBM_GETSUBMENU:
            for (const Key& key : bar->keys) {
                if (key.button.command == static_cast<WORD>(lParam)) {
                    return reinterpret_cast<LRESULT>(key.popup);
                }
            }
            return 0;
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

std::optional<SoftKeyBarResource> ReadSoftKeyBar(std::span<const WORD> words) {
    if (words.size() < 2 || words[1] == 0) {
        return std::nullopt;
    }
    const std::size_t count = words[1];
    if (words.size() < 2 + count * kWordsPerButton) {
        return std::nullopt;
    }
    SoftKeyBarResource bar{words[0], {}};
    for (std::size_t i = 0; i < count; ++i) {
        const auto button = words.subspan(2 + i * kWordsPerButton, kWordsPerButton);
        bar.buttons.push_back({button[1], button[2], button[3], button[4], button[6]});
    }
    return bar;
}

int SoftKeyAt(int x, int width, int count) {
    if (count <= 0 || width <= 0 || x < 0 || x >= width) {
        return -1;
    }
    return static_cast<int>(static_cast<long long>(x) * count / width);
}

HWND CreateSoftKeyBar(HWND owner, HINSTANCE instance, UINT barId) {
    const auto resource = ReadSoftKeyBar(ResourceWords(instance, barId));
    if (!resource || !RegisterBarClass(instance)) {
        return nullptr;
    }
    auto bar = std::make_unique<Bar>();
    bar->owner = owner;
    bar->menu = LoadMenuW(instance, MAKEINTRESOURCEW(resource->menu));
    for (const SoftKeyButton& button : resource->buttons) {
        const HMENU popup = button.popup != kNoPopup && bar->menu != nullptr
                                ? GetSubMenu(bar->menu, button.popup)
                                : nullptr;
        bar->keys.push_back({button, LoadLabel(instance, button.labelString), popup});
    }
    const HWND window = CreateWindowExW(0, kBarClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, owner,
                                        nullptr, instance, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar.release()));
    return window;
}

}  // namespace platform::win32
