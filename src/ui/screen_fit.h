#pragma once

#include "setup/settings.h"

#include <QMargins>
#include <QRect>

class QWidget;

namespace vu {

// Where a window whose frame would lie at `frame` goes so that it lies inside `area`: shrunk to
// the area when larger, then moved in, right and bottom edges first, then left and top.
[[nodiscard]] QRect fitInside(const QRect& frame, const QRect& area);

// Room kept for the window manager's frame around a window not yet shown: a title bar and
// borders a little larger than the usual ones, so that the frame fits too.
inline constexpr QMargins kFrameAllowance{8, 32, 8, 8};

// Places a window at its stored place (of its frame) and size (of its client area), moved and
// shrunk into the available area (without panels) of the screen it opens on. A stored place on
// a screen that is no longer there comes onto the nearest one.
void placeInsideScreen(QWidget* window, const WindowPlacement& placement);

} // namespace vu
