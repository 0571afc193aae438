#include "platform/sdl/screen_scaler.h"

#include <algorithm>
#include <cstring>

namespace platform::sdl {

std::vector<AxisSample> SampleAxis(int device, int image, int wholeFactor) {
    std::vector<AxisSample> samples;
    if (device <= 0 || image <= 0) {
        return samples;
    }
    samples.resize(static_cast<std::size_t>(image));
    // Window pixel i samples the screen blown up by `factor` at its centre: position
    // u = (i + 0.5) * blown / image - 0.5 in blown-up pixels, worked out in integers as
    // u = ((2i + 1) * blown - image) / (2 * image). Blown-up pixels of one device pixel are all
    // alike, so only a sample between two device pixels blends.
    const long long factor = std::max(wholeFactor, 1);
    const long long blown = device * factor;
    const long long twice = 2LL * image;
    for (int i = 0; i < image; ++i) {
        const long long numerator = (2LL * i + 1) * blown - image;
        long long at = 0;
        int weight = 0;
        if (numerator > 0) {
            at = numerator / twice;
            weight = static_cast<int>(numerator % twice * 256 / twice);
        }
        const long long next = std::min(at + 1, blown - 1);
        AxisSample& sample = samples[static_cast<std::size_t>(i)];
        sample.first = static_cast<int>(std::min(at, blown - 1) / factor);
        sample.second = static_cast<int>(next / factor);
        sample.weight = sample.second == sample.first ? 0 : weight;
        if (sample.weight == 0) {
            sample.second = sample.first;
        }
    }
    return samples;
}

ScreenScaler::ScreenScaler(ScreenSize device, const Letterbox& box)
    : device_(device),
      box_(box),
      columns_(SampleAxis(device.width, box.image.width, box.wholeFactor)),
      rows_(SampleAxis(device.height, box.image.height, box.wholeFactor)) {}

void ScreenScaler::Span(const std::vector<AxisSample>& axis, int first, int last, int& begin,
                        int& end) {
    // Both device pixels of a sample only grow along the axis, so the samples that use any of
    // [first, last] are one run.
    const auto from = std::partition_point(
        axis.begin(), axis.end(), [first](const AxisSample& s) { return s.second < first; });
    const auto to = std::partition_point(from, axis.end(),
                                         [last](const AxisSample& s) { return s.first <= last; });
    begin = static_cast<int>(from - axis.begin());
    end = static_cast<int>(to - axis.begin());
}

PixelRect ScreenScaler::Reach(const PixelRect& changed) const {
    const int left = std::max(changed.x, 0);
    const int top = std::max(changed.y, 0);
    const int right = std::min(changed.x + changed.width, device_.width);
    const int bottom = std::min(changed.y + changed.height, device_.height);
    if (box_.image.Empty() || left >= right || top >= bottom) {
        return {};
    }
    int columnBegin = 0;
    int columnEnd = 0;
    int rowBegin = 0;
    int rowEnd = 0;
    Span(columns_, left, right - 1, columnBegin, columnEnd);
    Span(rows_, top, bottom - 1, rowBegin, rowEnd);
    return {box_.image.x + columnBegin, box_.image.y + rowBegin, columnEnd - columnBegin,
            rowEnd - rowBegin};
}

void ScreenScaler::ScaleRow(const ConstPixelRows& screen, int y, int begin, int end,
                            std::uint32_t* out) const {
    const std::uint32_t* row = screen.Row(y);
    if (box_.exact && box_.wholeFactor == 1) {
        // One to one: the row as it is.
        std::memcpy(out, row + begin, static_cast<std::size_t>(end - begin) * 4);
        return;
    }
    for (int i = begin; i < end; ++i) {
        const AxisSample& column = columns_[static_cast<std::size_t>(i)];
        std::uint32_t pixel = row[column.first];
        if (column.weight != 0) {
            pixel = BlendPixels(pixel, row[column.second], column.weight);
        }
        *out++ = pixel;
    }
}

const std::uint32_t* ScreenScaler::ScaledRow(const ConstPixelRows& screen, int y, int begin,
                                             int end) {
    for (int slot = 0; slot < 2; ++slot) {
        if (scaledRow_[slot] == y) {
            return scaled_[slot].data();
        }
    }
    // Rows are asked for top to bottom: the lower-numbered one kept is the one done with.
    const int slot = scaledRow_[0] <= scaledRow_[1] ? 0 : 1;
    scaled_[slot].resize(static_cast<std::size_t>(end - begin));
    ScaleRow(screen, y, begin, end, scaled_[slot].data());
    scaledRow_[slot] = y;
    return scaled_[slot].data();
}

PixelRect ScreenScaler::Scale(const ConstPixelRows& screen, const PixelRect& changed,
                              const PixelRows& target) {
    const PixelRect reach = Reach(changed);
    if (reach.Empty() || screen.pixels == nullptr || target.pixels == nullptr ||
        screen.width != device_.width || screen.height != device_.height ||
        reach.x + reach.width > target.width || reach.y + reach.height > target.height) {
        return {};
    }
    const int begin = reach.x - box_.image.x;
    const int end = begin + reach.width;
    // The rows kept from the last call are of an older screen.
    scaledRow_[0] = scaledRow_[1] = -1;
    const std::size_t bytes = static_cast<std::size_t>(reach.width) * 4;
    for (int r = reach.y - box_.image.y; r < reach.y - box_.image.y + reach.height; ++r) {
        const AxisSample& row = rows_[static_cast<std::size_t>(r)];
        std::uint32_t* out = target.Row(box_.image.y + r) + reach.x;
        const std::uint32_t* upper = ScaledRow(screen, row.first, begin, end);
        if (row.weight == 0) {
            std::memcpy(out, upper, bytes);
            continue;
        }
        const std::uint32_t* lower = ScaledRow(screen, row.second, begin, end);
        for (int i = 0; i < reach.width; ++i) {
            out[i] = BlendPixels(upper[i], lower[i], row.weight);
        }
    }
    return reach;
}

}  // namespace platform::sdl
