// Where the small windows over the grid go so that they never hide what they point at:
// the search window beside the row it found, the homonym selection window fully on the
// screen.
#pragma once

#include <QPoint>
#include <QRect>

namespace selvanor {

// The top-left corner for a window whose frame is `frame` so that it does not cover
// `band` (a row of the grid, in global coordinates): where it stands if it covers nothing,
// else just below the band, else just above it, in either case kept on `screen`. When
// neither fits the window keeps its place on the screen.
[[nodiscard]] QPoint placeBeside(const QRect& frame, const QRect& band, const QRect& screen);

// `frame` moved the least so that it lies within `screen` (its top-left corner kept on
// the screen when the window is larger than the screen).
[[nodiscard]] QPoint keepOnScreen(const QRect& frame, const QRect& screen);

}  // namespace selvanor
