#include "stats/ScreenFit.h"

#include <algorithm>

namespace tonvik {

QRect FitIntoArea(const QRect& client, const QSize& minimum, const QRect& available,
                  const QMargins& frame) {
    const QSize room = available.marginsRemoved(frame).size();
    const QSize size(std::max(minimum.width(), std::min(client.width(), room.width())),
                     std::max(minimum.height(), std::min(client.height(), room.height())));
    // Shrunk about its centre, so that a window centred on another stays so.
    QRect inside(client.topLeft(), size);
    inside.moveCenter(client.center());
    QRect outer = inside.marginsAdded(frame);
    // Right and bottom first, so that a window too large keeps its top left in.
    if (outer.right() > available.right())
        outer.moveRight(available.right());
    if (outer.bottom() > available.bottom())
        outer.moveBottom(available.bottom());
    if (outer.left() < available.left())
        outer.moveLeft(available.left());
    if (outer.top() < available.top())
        outer.moveTop(available.top());
    return outer.marginsRemoved(frame);
}

} // namespace tonvik
