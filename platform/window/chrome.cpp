#include "platform/window/chrome.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "platform/gdi/utf16.h"

namespace platform::detail::chrome {

std::string Utf8(std::u16string_view text) {
    return platform::gdi_detail::Utf8FromUtf16(text.data(), text.size());
}

CairoPtr ContextOn(Window& window) {
    if (!window.surface) {
        return nullptr;
    }
    window.surfaceDrawn = true;
    return CairoPtr(cairo_create(window.surface.get()));
}

CairoPtr MeasuringContext() {
    SurfacePtr surface = MakeImageSurface(1, 1);
    return CairoPtr(cairo_create(surface.get()));  // the context keeps the surface alive
}

namespace {

// The face fontconfig picks for a family (standing in for a family it does not have) and weight.
// Faces are kept for the whole process: the chrome uses a handful.
cairo_font_face_t* FaceFor(const std::string& family, bool bold) {
    static auto* faces = new std::map<std::pair<std::string, bool>, cairo_font_face_t*>();
    auto key = std::make_pair(family, bold);
    if (auto it = faces->find(key); it != faces->end()) {
        return it->second;
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    cairo_font_face_t* face = nullptr;
    if (match != nullptr) {
        face = cairo_ft_font_face_create_for_pattern(match);
        FcPatternDestroy(match);
    }
    if (face == nullptr || cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
        // cairo's own choice of a sans-serif face.
        face = cairo_toy_font_face_create("sans-serif", CAIRO_FONT_SLANT_NORMAL,
                                          bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    }
    faces->emplace(key, face);
    return face;
}

}  // namespace

void UseFont(cairo_t* cr, const Font& font) {
    cairo_set_font_face(cr, FaceFor(font.family, font.bold));
    cairo_set_font_size(cr, font.pixels);
}

double TextWidth(cairo_t* cr, std::u16string_view text) {
    std::string utf8 = Utf8(text);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, utf8.c_str(), &extents);
    return extents.x_advance;
}

int LineHeight(cairo_t* cr) {
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    return static_cast<int>(std::ceil(extents.ascent + extents.descent));
}

void Fill(cairo_t* cr, const RECT& r, Rgb colour) {
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(cr);
}

void VerticalGradient(cairo_t* cr, const RECT& r, Rgb top, Rgb bottom) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, r.top, 0, r.bottom);
    cairo_pattern_add_color_stop_rgb(gradient, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(gradient, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, gradient);
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

void Outline(cairo_t* cr, const RECT& r, double width, Rgb colour) {
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_set_line_width(cr, width);
    cairo_rectangle(cr, r.left + width / 2, r.top + width / 2, r.right - r.left - width,
                    r.bottom - r.top - width);
    cairo_stroke(cr);
}

void Text(cairo_t* cr, std::u16string_view text, double x, double top, Rgb colour) {
    std::string utf8 = Utf8(text);
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_move_to(cr, x, top + extents.ascent);
    cairo_show_text(cr, utf8.c_str());
}

double CentredTop(cairo_t* cr, const RECT& box) {
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    return box.top + (box.bottom - box.top - extents.ascent - extents.descent) / 2;
}

void TextCentred(cairo_t* cr, std::u16string_view text, const RECT& box, Rgb colour) {
    Text(cr, text, box.left + (box.right - box.left - TextWidth(cr, text)) / 2, CentredTop(cr, box),
         colour);
}

void CheckMark(cairo_t* cr, const RECT& box, double width, Rgb colour) {
    double w = box.right - box.left;
    double h = box.bottom - box.top;
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, box.left + w * 0.15, box.top + h * 0.55);
    cairo_line_to(cr, box.left + w * 0.40, box.top + h * 0.80);
    cairo_line_to(cr, box.left + w * 0.85, box.top + h * 0.20);
    cairo_stroke(cr);
}

RECT CaptionOkButton(const Window& window, const Metrics& metrics) {
    int margin = metrics.Scale(3);
    int width = metrics.Scale(36);
    int right = window.Width() - metrics.Scale(4);
    return {right - width, margin, right, window.captionHeight - margin};
}

void DrawCaption(cairo_t* cr, const Window& window, const RECT& windowRect,
                 const Metrics& metrics) {
    RECT strip{windowRect.left, windowRect.top, windowRect.right,
               windowRect.top + window.captionHeight};
    VerticalGradient(cr, strip, kCaptionTop, kCaptionBottom);
    UseFont(cr, Font{"sans-serif", static_cast<double>(metrics.Scale(13)), true});
    RECT titleBox{strip.left + metrics.Scale(6), strip.top, strip.right, strip.bottom};
    const double top = CentredTop(cr, strip);
    if (window.captionOkButton) {
        RECT ok = CaptionOkButton(window, metrics);
        ok = {ok.left + windowRect.left, ok.top + windowRect.top, ok.right + windowRect.left,
              ok.bottom + windowRect.top};
        titleBox.right = ok.left - metrics.Scale(4);
        if (window.captionOkPressed) {
            Fill(cr, ok, kCaptionText);
        }
        Outline(cr, ok, std::max(1, metrics.Scale(1)), kCaptionText);
        UseFont(cr, Font{"sans-serif", static_cast<double>(metrics.Scale(12)), true});
        TextCentred(cr, u"OK", ok, window.captionOkPressed ? kCaptionBottom : kCaptionText);
        UseFont(cr, Font{"sans-serif", static_cast<double>(metrics.Scale(13)), true});
    }
    cairo_save(cr);
    cairo_rectangle(cr, titleBox.left, titleBox.top, titleBox.right - titleBox.left,
                    titleBox.bottom - titleBox.top);
    cairo_clip(cr);
    Text(cr, window.text, titleBox.left, top, kCaptionText);
    cairo_restore(cr);
}

}  // namespace platform::detail::chrome
