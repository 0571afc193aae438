#include "platform/gdi/image_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

// Older C library headers lack the name; the kernel's value is fixed.
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace platform {

bool MapPagesNow(void* data, std::size_t size) {
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (data == nullptr || size == 0 || pageSize <= 0) {
        return false;
    }
    // Only the pages wholly inside the block: the ones at its ends may hold other data, and
    // madvise takes whole pages.
    const auto page = static_cast<std::uintptr_t>(pageSize);
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t end = (start + size) / page * page;
    if (end <= first) {
        return false;
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): a page boundary inside the block
    return madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE) == 0;
}

bool MapPagesNow(cairo_surface_t* image) {
    if (image == nullptr || cairo_surface_get_type(image) != CAIRO_SURFACE_TYPE_IMAGE) {
        return false;
    }
    const int stride = cairo_image_surface_get_stride(image);
    const int height = cairo_image_surface_get_height(image);
    if (stride <= 0 || height <= 0) {
        return false;
    }
    return MapPagesNow(cairo_image_surface_get_data(image),
                       static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
}

}  // namespace platform
