// The row of two buttons most dialogs end with ("확 인" / "취 소", "계 속" / "취 소", …).
#pragma once

#include <QString>

#include <functional>

class QDialog;
class QDialogButtonBox;

namespace selvanor {

// A button box owned by `dialog`: `acceptCaption` runs `onAccept` (the dialog's accept()
// when empty), `rejectCaption` rejects the dialog.
[[nodiscard]] QDialogButtonBox* makeDialogButtons(QDialog* dialog, const QString& acceptCaption,
                                                  const QString& rejectCaption,
                                                  std::function<void()> onAccept = {});

}  // namespace selvanor
