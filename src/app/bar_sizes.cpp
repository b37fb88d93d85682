#include "app/bar_sizes.h"

#include <QSettings>

#include <algorithm>

namespace selvanor {

QString barSection(int barId) {
  return QStringLiteral("%1-SCBar-%2").arg(QStringLiteral("BarState")).arg(barId);
}

BarSizes loadBarSizes(QSettings& profile, int barId, const BarSizes& current) {
  profile.beginGroup(barSection(barId));
  const auto read = [&](const char* key, int fallback, int minimum) {
    bool ok = false;
    const int v = profile.value(QLatin1String(key), fallback).toInt(&ok);
    return ok && v >= minimum ? v : (ok ? minimum : fallback);
  };
  BarSizes s;
  s.horizontal = {read("sizeHorzCX", current.horizontal.width(), BarSizes::kMinHorizontal.width()),
                  read("sizeHorzCY", current.horizontal.height(), BarSizes::kMinHorizontal.height())};
  s.vertical = {read("sizeVertCX", current.vertical.width(), BarSizes::kMinVertical.width()),
                read("sizeVertCY", current.vertical.height(), BarSizes::kMinVertical.height())};
  s.floating = {read("sizeFloatCX", current.floating.width(), BarSizes::kMinFloating.width()),
                read("sizeFloatCY", current.floating.height(), BarSizes::kMinFloating.height())};
  profile.endGroup();
  return s;
}

void saveBarSizes(QSettings& profile, int barId, const BarSizes& sizes) {
  profile.beginGroup(barSection(barId));
  profile.setValue(QStringLiteral("sizeHorzCX"), sizes.horizontal.width());
  profile.setValue(QStringLiteral("sizeHorzCY"), sizes.horizontal.height());
  profile.setValue(QStringLiteral("sizeVertCX"), sizes.vertical.width());
  profile.setValue(QStringLiteral("sizeVertCY"), sizes.vertical.height());
  profile.setValue(QStringLiteral("sizeFloatCX"), sizes.floating.width());
  profile.setValue(QStringLiteral("sizeFloatCY"), sizes.floating.height());
  profile.endGroup();
}

bool hasSavedHeight(QSettings& profile, int barId) {
  return profile.contains(barSection(barId) + QStringLiteral("/sizeHorzCY"));
}

int defaultBarHeight(int wanted, int sharedHeight) {
  const int cap = static_cast<int>(sharedHeight * kMaxDefaultShare);
  return std::max(BarSizes::kMinHorizontal.height(), std::min(wanted, cap));
}

}  // namespace selvanor
