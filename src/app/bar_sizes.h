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

}  // namespace selvanor
