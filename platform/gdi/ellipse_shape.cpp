#include "platform/gdi/ellipse_shape.h"

#include <algorithm>
#include <cmath>

namespace platform::gdi_detail {
namespace {

std::uint64_t IntegerSqrt(std::uint64_t n) {
    auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    while (root * root > n) {
        --root;
    }
    while ((root + 1) * (root + 1) <= n) {
        ++root;
    }
    return root;
}

// Work in doubled coordinates about the centre, so that even and odd sizes are both exact: a
// pixel centre sits at X = 2i - A, Y = 2j - B with A = width - 1 and B = height - 1, and the curve
// X²/A² + Y²/B² = 1 passes through the centres of the four extreme pixels. A row or column
// reaches out to the pixel nearest the curve, measured along the row where the curve is steep
// and down the column where it is flat; the union of both is the shape, which is what gives
// every column of a flat ellipse and every row of a narrow one its pixel.
//
// Returns the largest |X| in row Y (|Y| <= B), with the parity of A.
std::uint64_t HalfWidthAt(std::uint64_t a, std::uint64_t b, std::uint64_t y) {
    if (a == 0) {
        return 0;
    }
    if (b == 0) {
        return a;
    }
    const std::uint64_t aa = a * a;
    const std::uint64_t bb = b * b;
    // Along the row: |X| - 1 <= A * sqrt(1 - Y²/B²).
    const std::uint64_t alongRow = IntegerSqrt(aa * (bb - y * y)) / b + 1;
    // Down the columns: column X reaches row Y when Y - 1 <= B * sqrt(1 - X²/A²).
    std::uint64_t alongColumns = a;
    if (y > 1) {
        const std::uint64_t inner = y - 1;
        alongColumns = IntegerSqrt(aa * (bb - inner * inner)) / b;
    }
    std::uint64_t half = std::min(a, std::max(alongRow, alongColumns));
    if ((a - half) % 2 != 0) {
        --half;
    }
    return half;
}

// The shape as the first column of each row (its left profile) and as the first row of each
// column (its top profile): the same pixels seen along either axis. The shape is symmetric and
// convex, so the upper half of one profile gives the whole of the other.
std::vector<std::int64_t> Transposed(const std::vector<std::int64_t>& rowLeft, std::int64_t width) {
    const auto height = static_cast<std::int64_t>(rowLeft.size());
    std::vector<std::int64_t> columnTop(static_cast<std::size_t>(width));
    std::int64_t uncovered = (width + 1) / 2;  // columns of the left half not reached yet
    for (std::int64_t row = 0; row <= (height - 1) / 2; ++row) {
        for (std::int64_t x = rowLeft[static_cast<std::size_t>(row)]; x < uncovered; ++x) {
            columnTop[static_cast<std::size_t>(x)] = row;
            columnTop[static_cast<std::size_t>(width - 1 - x)] = row;
        }
        uncovered = std::min(uncovered, rowLeft[static_cast<std::size_t>(row)]);
    }
    return columnTop;
}

// Rounding each row and each column to its nearest pixel leaves an L where a horizontal run of
// the outline turns into a vertical one: the pixel in the bend doubles the diagonal step. One
// pass looks along rows: an L in the upper-left quarter (mirrored to the others) loses its bend
// pixel, unless the bend is on the middle rows of an even height, whose ends must stay; there a
// short run is covered by reaching the row above one pixel further out. Bends on the middle
// columns show up as such in the pass along columns. A long two-row tip of a flat ellipse is
// edge through and through and stays as it is.
bool ThinRows(std::vector<std::int64_t>& rowLeft) {
    const auto height = static_cast<std::int64_t>(rowLeft.size());
    const auto left = [&](std::int64_t row) -> std::int64_t& {
        return rowLeft[static_cast<std::size_t>(row)];
    };
    const auto mirror = [&](std::int64_t row) { left(height - 1 - row) = left(row); };
    bool changed = false;
    for (std::int64_t row = 1; row <= (height - 1) / 2; ++row) {
        const std::int64_t run = left(row - 1) - left(row);
        if (run < 2 || left(row + 1) != left(row)) {
            continue;
        }
        const bool middleRow = height % 2 == 0 && row == (height - 1) / 2;
        if (!middleRow) {
            ++left(row);
            mirror(row);
            changed = true;
        } else if (run == 2) {
            --left(row - 1);
            mirror(row - 1);
            changed = true;
        }
    }
    return changed;
}

void RemoveDoubledCorners(std::int64_t width, std::vector<std::int64_t>& rowLeft) {
    const auto height = static_cast<std::int64_t>(rowLeft.size());
    if (width < 3 || height < 3) {
        return;  // one or two pixels across are all edge
    }
    // Each pass only narrows a row by one pixel or widens one; a few rounds settle it.
    for (int round = 0; round < 4; ++round) {
        bool changed = ThinRows(rowLeft);
        std::vector<std::int64_t> columnTop = Transposed(rowLeft, width);
        if (ThinRows(columnTop)) {
            rowLeft = Transposed(columnTop, height);
            changed = true;
        }
        if (!changed) {
            break;
        }
    }
}

}  // namespace

EllipseShape::EllipseShape(std::int64_t width, std::int64_t height) : width_(width) {
    const auto a = static_cast<std::uint64_t>(width - 1);
    const auto b = static_cast<std::uint64_t>(height - 1);
    rowLeft_.resize(static_cast<std::size_t>(height));
    for (std::int64_t j = 0; j < height; ++j) {
        const std::int64_t doubledY = 2 * j - static_cast<std::int64_t>(b);
        const auto y = static_cast<std::uint64_t>(doubledY < 0 ? -doubledY : doubledY);
        const std::uint64_t half = HalfWidthAt(a, b, y);
        rowLeft_[static_cast<std::size_t>(j)] = static_cast<std::int64_t>((a - half) / 2);
    }
    RemoveDoubledCorners(width, rowLeft_);
}

Span EllipseShape::Row(std::int64_t row) const {
    if (row < 0 || row >= Height()) {
        return {};
    }
    const std::int64_t left = rowLeft_[static_cast<std::size_t>(row)];
    return {left, width_ - 1 - left};
}

Span EllipseShape::Interior(std::int64_t row) const {
    // The outline is every shape pixel with a 4-neighbour outside: the first and last rows
    // whole, and on other rows the run from the row's end up to where the narrower of the rows
    // above and below begins.
    if (row <= 0 || row >= Height() - 1) {
        return {};
    }
    const std::int64_t left = rowLeft_[static_cast<std::size_t>(row)];
    const std::int64_t narrower = std::max(rowLeft_[static_cast<std::size_t>(row - 1)],
                                           rowLeft_[static_cast<std::size_t>(row + 1)]);
    const std::int64_t outlineEnd = std::max(left, narrower - 1);
    return {outlineEnd + 1, width_ - 2 - outlineEnd};
}

}  // namespace platform::gdi_detail
