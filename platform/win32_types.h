// The basic types, handles and constants of the pocket computer's platform API, under their
// platform names, as the game's window procedure and painters use them. Every other header of
// platform/ builds on this one.
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using LONG = std::int32_t;
using BOOL = std::int32_t;
using ATOM = std::uint16_t;
using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using COLORREF = DWORD;
using LPVOID = void*;

// The calling convention of the procedures the window manager calls back: one convention on this
// build, as on the device's processor.
#define CALLBACK
// A string literal of the platform's wide characters.
#define TEXT(quote) u##quote

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// Handles are opaque, pointer-sized values. Distinct tag types keep an HDC from being passed where
// an HPEN is expected; every drawing object is also an HGDIOBJ.
struct HGDIOBJ__ {};
struct HBRUSH__ : HGDIOBJ__ {};
struct HPEN__ : HGDIOBJ__ {};
struct HFONT__ : HGDIOBJ__ {};
struct HBITMAP__ : HGDIOBJ__ {};
struct HDC__ {};
struct HWND__ {};
struct HMENU__ {};
struct HICON__ {};
struct HINSTANCE__ {};
struct HACCEL__ {};
struct HRSRC__ {};
struct HGLOBAL__ {};
struct HLOCAL__ {};

using HGDIOBJ = HGDIOBJ__*;
using HBRUSH = HBRUSH__*;
using HPEN = HPEN__*;
using HFONT = HFONT__*;
using HBITMAP = HBITMAP__*;
using HDC = HDC__*;
using HWND = HWND__*;
using HMENU = HMENU__*;
using HICON = HICON__*;
using HINSTANCE = HINSTANCE__*;
using HACCEL = HACCEL__*;
using HRSRC = HRSRC__*;
using HGLOBAL = HGLOBAL__*;
using HLOCAL = HLOCAL__*;
using HCURSOR = HICON;

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) {
    return static_cast<BYTE>(c & 0xFF);
}
constexpr BYTE GetGValue(COLORREF c) {
    return static_cast<BYTE>((c >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF c) {
    return static_cast<BYTE>((c >> 16) & 0xFF);
}

constexpr WORD LOWORD(std::uintptr_t v) {
    return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t v) {
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) {
    return static_cast<LPARAM>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16));
}

struct SIZE {
    LONG cx;
    LONG cy;
};
