// Font matching and the cache that makes creating a font cheap. Matching a logical font through
// fontconfig costs more than the rest of a frame, and the score painter creates two fonts a
// frame, so each distinct (face name, weight, italic) is matched once and its cairo face, unit
// metrics and sized fonts are kept for the rest of the run.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/gdi/cairo_handles.h"
#include "platform/gdi/gdi.h"

namespace platform::gdi_detail {

// A matched face and its metrics per pixel of em size.
struct FontFace {
    FontFacePtr face;
    std::string family;
    std::string style;
    std::string file;
    double weight = 0;  // on the platform's 0..1000 scale
    double ascentPerEm = 0;
    double descentPerEm = 0;
    double digitAdvancePerEm = 0;
    // Sized fonts made from this face, by (em size, horizontal em size).
    std::map<std::pair<double, double>, ScaledFontPtr> sizes;
};

// A face at the size a LOGFONTW asks for.
struct SizedFont {
    std::shared_ptr<FontFace> face;
    ScaledFontPtr scaled;         // one reference of our own
    double emSize = 0;            // vertical em size in pixels
    double horizontalEmSize = 0;  // horizontal em size in pixels, set by lfWidth
    double ascent = 0;            // pixels from the cell top to the baseline
    int cellHeight = 0;           // pixels
};

class FontCache {
  public:
    FontCache();

    // The face name a LOGFONTW gets when it names none, and the system font's.
    static constexpr char16_t kDefaultFace[] = u"sans-serif";
    // Cell height of the system font and of a LOGFONTW with lfHeight 0.
    static constexpr int kDefaultCellHeight = 16;
    // Largest |lfHeight| and lfWidth accepted.
    static constexpr int kMaxPixelSize = 2048;

    // Matches (once) and sizes the font. Nothing for fields out of range or when no face can be
    // found.
    std::optional<SizedFont> Resolve(const LOGFONTW& logfont);

  private:
    std::shared_ptr<FontFace> FaceFor(const std::string& family, int weight, bool italic);
    std::shared_ptr<FontFace> Match(const std::string& family, int weight, bool italic) const;
    ScaledFontPtr Scale(FontFace& face, double emSize, double horizontalEmSize) const;

    FontOptionsPtr options_;
    std::unordered_map<std::string, std::shared_ptr<FontFace>> faces_;
};

}  // namespace platform::gdi_detail
