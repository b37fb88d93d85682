#include "ui_base/window_placement.h"

#include <algorithm>

namespace selvanor {

QPoint keepOnScreen(const QRect& frame, const QRect& screen) {
  const int x = std::max(screen.left(), std::min(frame.left(), screen.right() + 1 - frame.width()));
  const int y = std::max(screen.top(), std::min(frame.top(), screen.bottom() + 1 - frame.height()));
  return {x, y};
}

QPoint placeBeside(const QRect& frame, const QRect& band, const QRect& screen) {
  const QPoint onScreen = keepOnScreen(frame, screen);
  if (!QRect(onScreen, frame.size()).intersects(band)) return onScreen;
  constexpr int kGap = 8;
  const int below = band.bottom() + 1 + kGap;
  if (below + frame.height() <= screen.bottom() + 1) return {onScreen.x(), below};
  const int above = band.top() - kGap - frame.height();
  if (above >= screen.top()) return {onScreen.x(), above};
  return onScreen;
}

}  // namespace selvanor
