#include "platform/gdi/image_memory.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {
namespace {

const std::size_t kPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));

// Fresh anonymous pages, none mapped until something asks.
class FreshPages {
  public:
    explicit FreshPages(std::size_t pages)
        : size_(pages * kPage),
          data_(static_cast<unsigned char*>(
              mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))) {}
    ~FreshPages() { munmap(data_, size_); }
    FreshPages(const FreshPages&) = delete;
    FreshPages& operator=(const FreshPages&) = delete;

    unsigned char* Data() const { return data_; }
    // Which pages are in memory now.
    std::vector<bool> Resident() const {
        std::vector<unsigned char> flags(size_ / kPage);
        EXPECT_EQ(mincore(data_, size_, flags.data()), 0);
        std::vector<bool> resident;
        for (const unsigned char flag : flags) {
            resident.push_back((flag & 1) != 0);
        }
        return resident;
    }

  private:
    std::size_t size_;
    unsigned char* data_;
};

// Only the pages wholly inside a block are mapped: a block without a whole page is left alone.
TEST(MapPagesNow, MapsTheWholePagesOfTheBlockAndNoOthers) {
    FreshPages pages(6);
    ASSERT_NE(pages.Data(), MAP_FAILED);
    EXPECT_FALSE(MapPagesNow(pages.Data() + 1, kPage));
    EXPECT_FALSE(MapPagesNow(pages.Data(), 0));
    EXPECT_FALSE(MapPagesNow(nullptr, kPage));
    EXPECT_EQ(pages.Resident(), std::vector<bool>(6, false));
    // From the middle of page 1 to the middle of page 4: pages 2 and 3 are wholly inside.
    if (!MapPagesNow(pages.Data() + kPage + kPage / 2, 3 * kPage)) {
        GTEST_SKIP() << "this kernel cannot map pages ahead (MADV_POPULATE_WRITE)";
    }
    EXPECT_EQ(pages.Resident(), (std::vector<bool>{false, false, true, true, false, false}));
}

TEST(MapPagesNow, AnImageSurfaceMapsItsPixels) {
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 256, 256);
    // One row four pages long (16 KiB at 4 KiB pages) holds whole pages as well.
    const int rowWidth = static_cast<int>(kPage);
    cairo_surface_t* row = cairo_image_surface_create(CAIRO_FORMAT_RGB24, rowWidth, 1);
    cairo_surface_t* empty = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 0, 0);
    cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR, nullptr);
    EXPECT_FALSE(MapPagesNow(empty));
    EXPECT_FALSE(MapPagesNow(recording));
    EXPECT_FALSE(MapPagesNow(static_cast<cairo_surface_t*>(nullptr)));
    FreshPages probe(1);
    if (MapPagesNow(probe.Data(), kPage)) {
        // 256 KiB of pixels: whole pages, whatever cairo's alignment.
        EXPECT_TRUE(MapPagesNow(image));
        EXPECT_TRUE(MapPagesNow(row));
    }
    cairo_surface_destroy(row);
    cairo_surface_destroy(recording);
    cairo_surface_destroy(empty);
    cairo_surface_destroy(image);
}

}  // namespace
}  // namespace platform
