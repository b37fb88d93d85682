// Sizes of the two docking bars, kept in the per-user application profile under
// "BarState-SCBar-<id>" with the keys sizeHorzCX ... sizeFloatCY. A stored value below
// the bar's minimum is raised to the minimum when restored.
#pragma once

#include <QSize>

class QSettings;

namespace selvanor {

struct BarSizes {
  QSize horizontal{80, 80};  // docked at the top or bottom
  QSize vertical{80, 80};    // docked at a side
  QSize floating{80, 80};

  static constexpr QSize kMinHorizontal{33, 32};
  static constexpr QSize kMinVertical{33, 32};
  static constexpr QSize kMinFloating{37, 32};
};

// "BarState-SCBar-123"
[[nodiscard]] QString barSection(int barId);
// Each stored value (default: the current one) kept if not below its minimum, else the minimum.
[[nodiscard]] BarSizes loadBarSizes(QSettings& profile, int barId, const BarSizes& current);
void saveBarSizes(QSettings& profile, int barId, const BarSizes& sizes);
// True when the profile holds a docked height for the bar (a size the user left).
[[nodiscard]] bool hasSavedHeight(QSettings& profile, int barId);

// The height the bars docked at the bottom open with when none was saved: `wanted`, but
// no more than kMaxDefaultShare of `sharedHeight` (what the grid and the bars share), so
// that on a small screen the grid keeps the larger part; never below the bar's minimum.
inline constexpr double kMaxDefaultShare = 0.4;
[[nodiscard]] int defaultBarHeight(int wanted, int sharedHeight);

}  // namespace selvanor
