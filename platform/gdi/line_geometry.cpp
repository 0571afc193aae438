#include "platform/gdi/line_geometry.h"

namespace platform::gdi_detail {

bool ClipSegment(Segment& segment, double left, double top, double right, double bottom) {
    const double dx = segment.x1 - segment.x0;
    const double dy = segment.y1 - segment.y0;
    double enter = 0.0;
    double leave = 1.0;
    // Each side as p * t <= q: the part of the segment on the inner side of that edge.
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {segment.x0 - left, right - segment.x0, segment.y0 - top,
                         bottom - segment.y0};
    for (int side = 0; side < 4; ++side) {
        if (p[side] == 0.0) {
            if (q[side] < 0.0) {
                return false;  // parallel to this edge and outside it
            }
            continue;
        }
        const double t = q[side] / p[side];
        if (p[side] < 0.0) {
            if (t > leave) {
                return false;
            }
            if (t > enter) {
                enter = t;
            }
        } else {
            if (t < enter) {
                return false;
            }
            if (t < leave) {
                leave = t;
            }
        }
    }
    const Segment original = segment;
    segment.x0 = original.x0 + enter * dx;
    segment.y0 = original.y0 + enter * dy;
    segment.x1 = original.x0 + leave * dx;
    segment.y1 = original.y0 + leave * dy;
    return true;
}

}  // namespace platform::gdi_detail
