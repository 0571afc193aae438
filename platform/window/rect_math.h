// Rectangle arithmetic of the window manager: bounding unions and intersections.
#pragma once

#include <algorithm>

#include "platform/win32_types.h"

namespace platform::detail {

// The smallest rectangle holding both.
inline RECT Union(const RECT& a, const RECT& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

inline bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// The part both cover; {0, 0, 0, 0} when they do not meet.
inline RECT Intersect(const RECT& a, const RECT& b) {
    const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return IsEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

}  // namespace platform::detail
