// The pixels of an ellipse inscribed in a box, row by row, as the platform's integer midpoint
// ellipse lays them: the filled shape touches all four sides of the box (columns 0..width-1 at
// its widest rows, rows 0..height-1), is symmetric about both axes, and its one-pixel outline is
// the shape's edge, 8-connected without doubled pixels at diagonal steps.
//
// cairo's own ellipse cannot give this: it tests pixel centres against the curve, which drops
// the ends of flat or small ellipses. Rows are computed once per call and written as spans.
#pragma once

#include <cstdint>
#include <vector>

namespace platform::gdi_detail {

// Columns left..right, relative to the box; empty when left > right.
struct Span {
    std::int64_t left = 0;
    std::int64_t right = -1;

    bool Empty() const { return left > right; }
};

class EllipseShape {
  public:
    // Largest box side the integer arithmetic stays exact for.
    static constexpr std::int64_t kMaxSide = 32768;

    // A box of width x height pixels, each side 1..kMaxSide.
    EllipseShape(std::int64_t width, std::int64_t height);

    std::int64_t Width() const { return width_; }
    std::int64_t Height() const { return static_cast<std::int64_t>(rowLeft_.size()); }

    // Row `row` of the filled shape, outline included.
    Span Row(std::int64_t row) const;
    // Row `row` strictly inside the outline (what the brush fills); may be empty.
    Span Interior(std::int64_t row) const;

  private:
    std::int64_t width_;
    std::vector<std::int64_t> rowLeft_;  // the rows are symmetric: right = width - 1 - left
};

}  // namespace platform::gdi_detail
