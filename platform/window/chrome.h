// Drawing the platform's own chrome with cairo: the soft-key bar, pop-up menus, dialog captions
// and controls. The look is that of a pocket computer of its time: a dark soft-key bar with white
// labels, light menus with a border, dialogs under a blue caption bar. Text uses fontconfig's
// faces through cairo.
#pragma once

#include <cairo.h>

#include <string>
#include <string_view>

#include "platform/display/soft_keys.h"
#include "platform/gdi/cairo_handles.h"
#include "platform/window/desktop.h"

namespace platform::detail::chrome {

struct Rgb {
    double r;
    double g;
    double b;
};
constexpr Rgb FromColour(COLORREF c) {
    return {GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0};
}

constexpr Rgb FromColour(SoftKeyColour c) {
    return FromColour(RGB(c.red, c.green, c.blue));
}
inline constexpr Rgb kMenuBack = FromColour(RGB(250, 250, 250));
inline constexpr Rgb kMenuBorder = FromColour(RGB(64, 64, 64));
inline constexpr Rgb kMenuText = FromColour(RGB(0, 0, 0));
inline constexpr Rgb kHighlight = FromColour(RGB(40, 90, 180));
inline constexpr Rgb kHighlightText = FromColour(RGB(255, 255, 255));
inline constexpr Rgb kCaptionTop = FromColour(RGB(56, 112, 216));
inline constexpr Rgb kCaptionBottom = FromColour(RGB(16, 56, 150));
inline constexpr Rgb kCaptionText = FromColour(RGB(255, 255, 255));
inline constexpr Rgb kDialogBack = FromColour(RGB(255, 255, 255));
inline constexpr Rgb kDialogText = FromColour(RGB(0, 0, 0));
inline constexpr Rgb kButtonFace = FromColour(RGB(232, 232, 232));
inline constexpr Rgb kButtonBorder = FromColour(RGB(96, 96, 96));

struct Font {
    std::string family = "sans-serif";
    double pixels = 12;
    bool bold = false;
};

std::string Utf8(std::u16string_view text);

// A context on a window's client surface, or null when it has none.
CairoPtr ContextOn(Window& window);
// A context on a 1x1 surface, for measuring text.
CairoPtr MeasuringContext();

void UseFont(cairo_t* cr, const Font& font);
double TextWidth(cairo_t* cr, std::u16string_view text);
// The height of a line: ascent plus descent, rounded up.
int LineHeight(cairo_t* cr);

void Fill(cairo_t* cr, const RECT& r, Rgb colour);
void VerticalGradient(cairo_t* cr, const RECT& r, Rgb top, Rgb bottom);
// An outline `width` pixels wide inside the rectangle.
void Outline(cairo_t* cr, const RECT& r, double width, Rgb colour);
// Text whose top is at `top`.
void Text(cairo_t* cr, std::u16string_view text, double x, double top, Rgb colour);
void TextCentred(cairo_t* cr, std::u16string_view text, const RECT& box, Rgb colour);
// Where the top of a line of the context's font goes for the line to stand in the middle of the
// box's height.
double CentredTop(cairo_t* cr, const RECT& box);
// A check mark filling the box.
void CheckMark(cairo_t* cr, const RECT& box, double width, Rgb colour);

// The OK button of a caption, in the window's own coordinates (0, 0 at its top-left corner).
RECT CaptionOkButton(const Window& window, const Metrics& metrics);
// Draws a window's caption strip at `windowRect` (screen coordinates).
void DrawCaption(cairo_t* cr, const Window& window, const RECT& windowRect, const Metrics& metrics);

}  // namespace platform::detail::chrome
