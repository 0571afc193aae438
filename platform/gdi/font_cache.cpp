#include "platform/gdi/font_cache.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <cmath>

#include "platform/gdi/drawing_preparation.h"
#include "platform/gdi/utf16.h"

namespace platform::gdi_detail {
namespace {

// Bounds on what one face keeps: logical fonts of a run come in a handful of sizes.
constexpr std::size_t kMaxSizesPerFace = 32;
constexpr std::size_t kMaxFaces = 64;
// Metrics are measured at this em size and divided down, to keep rounding out of them.
constexpr double kMeasureEm = 1000.0;

struct PatternRelease {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternRelease>;

std::string PatternString(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || value == nullptr) {
        return {};
    }
    return reinterpret_cast<const char*>(value);
}

std::string FaceNameOf(const LOGFONTW& logfont) {
    std::size_t length = 0;
    while (length < LF_FACESIZE && logfont.lfFaceName[length] != u'\0') {
        ++length;
    }
    if (length == 0) {
        return Utf8FromUtf16(FontCache::kDefaultFace,
                             std::char_traits<char16_t>::length(FontCache::kDefaultFace));
    }
    return Utf8FromUtf16(logfont.lfFaceName, length);
}

}  // namespace

FontCache::FontCache() : options_(cairo_font_options_create()) {
    // Now rather than inside the first match.
    LoadFontConfiguration();
    // Text is the one thing drawn anti-aliased; grey coverage suits an RGB24 target whatever
    // its subpixel layout. Unhinted metrics keep advances proportional to the size, so the
    // cell width follows lfWidth exactly.
    cairo_font_options_set_antialias(options_.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options_.get(), CAIRO_HINT_METRICS_OFF);
}

std::optional<SizedFont> FontCache::Resolve(const LOGFONTW& logfont) {
    if (logfont.lfWeight < 0 || logfont.lfWeight > 1000 || logfont.lfWidth < 0 ||
        logfont.lfWidth > kMaxPixelSize || logfont.lfHeight < -kMaxPixelSize ||
        logfont.lfHeight > kMaxPixelSize) {
        return std::nullopt;
    }
    const int weight = logfont.lfWeight == FW_DONTCARE ? FW_NORMAL : logfont.lfWeight;
    std::shared_ptr<FontFace> face = FaceFor(FaceNameOf(logfont), weight, logfont.lfItalic != 0);
    if (!face) {
        return std::nullopt;
    }

    const double cellPerEm = face->ascentPerEm + face->descentPerEm;
    SizedFont sized;
    if (logfont.lfHeight < 0) {
        // A negative height is the em height; the cell adds the internal leading.
        sized.emSize = -static_cast<double>(logfont.lfHeight);
        sized.cellHeight = static_cast<int>(std::lround(sized.emSize * cellPerEm));
    } else {
        sized.cellHeight = logfont.lfHeight == 0 ? kDefaultCellHeight : logfont.lfHeight;
        sized.emSize = sized.cellHeight / cellPerEm;
    }
    // lfWidth is the average character width; digits are what this program writes, so the
    // horizontal scale makes a digit lfWidth pixels wide.
    sized.horizontalEmSize =
        logfont.lfWidth > 0 ? logfont.lfWidth / face->digitAdvancePerEm : sized.emSize;
    sized.ascent = face->ascentPerEm * sized.emSize;
    sized.scaled = Scale(*face, sized.emSize, sized.horizontalEmSize);
    if (!sized.scaled) {
        return std::nullopt;
    }
    sized.face = std::move(face);
    return sized;
}

std::shared_ptr<FontFace> FontCache::FaceFor(const std::string& family, int weight, bool italic) {
    std::string key = family;
    key += '\0';
    key += std::to_string(weight);
    key += italic ? "i" : "r";
    if (auto found = faces_.find(key); found != faces_.end()) {
        return found->second;
    }
    std::shared_ptr<FontFace> face = Match(family, weight, italic);
    if (!face) {
        return nullptr;
    }
    if (faces_.size() >= kMaxFaces) {
        // Fonts still alive keep their face through their own shared_ptr.
        faces_.clear();
    }
    faces_.emplace(std::move(key), face);
    return face;
}

std::shared_ptr<FontFace> FontCache::Match(const std::string& family, int weight,
                                           bool italic) const {
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) {
        return nullptr;
    }
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    // The platform's weights are OpenType's (400 regular, 300 light); fontconfig has its own
    // scale, on which 300 would mean bold.
    FcPatternAddDouble(pattern.get(), FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) {
        return nullptr;
    }
    cairo_ft_font_options_substitute(options_.get(), pattern.get());
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr matched(FcFontMatch(nullptr, pattern.get(), &result));
    if (!matched || result != FcResultMatch) {
        return nullptr;
    }

    auto face = std::make_shared<FontFace>();
    face->family = PatternString(matched.get(), FC_FAMILY);
    face->style = PatternString(matched.get(), FC_STYLE);
    face->file = PatternString(matched.get(), FC_FILE);
    // An integer weight is read as a double too; a match without a weight keeps 0.
    double fcWeight = 0;
    FcPatternGetDouble(matched.get(), FC_WEIGHT, 0, &fcWeight);
    face->weight = FcWeightToOpenTypeDouble(fcWeight);

    // The face keeps its own reference to the matched pattern, which names the file, so cairo
    // opens the file directly instead of matching again.
    face->face.reset(cairo_ft_font_face_create_for_pattern(matched.get()));
    if (!face->face || cairo_font_face_status(face->face.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }

    ScaledFontPtr probe = Scale(*face, kMeasureEm, kMeasureEm);
    if (!probe) {
        return nullptr;
    }
    cairo_font_extents_t extents;
    cairo_scaled_font_extents(probe.get(), &extents);
    cairo_text_extents_t digit;
    cairo_scaled_font_text_extents(probe.get(), "0", &digit);
    face->ascentPerEm = extents.ascent / kMeasureEm;
    face->descentPerEm = extents.descent / kMeasureEm;
    face->digitAdvancePerEm = digit.x_advance / kMeasureEm;
    face->sizes.clear();
    if (face->ascentPerEm + face->descentPerEm <= 0 || face->digitAdvancePerEm <= 0) {
        return nullptr;
    }
    return face;
}

ScaledFontPtr FontCache::Scale(FontFace& face, double emSize, double horizontalEmSize) const {
    const auto key = std::make_pair(emSize, horizontalEmSize);
    if (auto found = face.sizes.find(key); found != face.sizes.end()) {
        return ShareScaledFont(found->second.get());
    }
    cairo_matrix_t fontMatrix;
    cairo_matrix_init_scale(&fontMatrix, horizontalEmSize, emSize);
    cairo_matrix_t identity;
    cairo_matrix_init_identity(&identity);
    ScaledFontPtr scaled(
        cairo_scaled_font_create(face.face.get(), &fontMatrix, &identity, options_.get()));
    if (!scaled || cairo_scaled_font_status(scaled.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    if (face.sizes.size() >= kMaxSizesPerFace) {
        face.sizes.clear();
    }
    face.sizes.emplace(key, ShareScaledFont(scaled.get()));
    return scaled;
}

}  // namespace platform::gdi_detail
