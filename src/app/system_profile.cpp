#include "app/system_profile.h"

#include <QSettings>

namespace selvanor {

QSettings* openSystemProfile(QObject* parent) {
  return new QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Selvanor"),
                       QStringLiteral("system"), parent);
}

}  // namespace selvanor
