#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace tonvik {

// Where a window goes so that it stands whole within a screen's available
// area (the screen less its panels): client is the window's inside as it
// would be placed, frame its decoration around it. The inside shrinks about
// its centre to what the area holds, never under minimum, and the window moves in by as
// little as it must; a window larger than the area keeps its top left
// corner (and so its title bar) inside.
QRect FitIntoArea(const QRect& client, const QSize& minimum, const QRect& available,
                  const QMargins& frame);

} // namespace tonvik
