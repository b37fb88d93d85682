#include "ui_base/qt_text.h"

#include "ui_base/user_interaction.h"
#include "common/encoding.h"

namespace selvanor {

QString fromCp949(std::string_view cp949) {
  return QString::fromStdString(encoding::cp949ToUtf8Lossy(cp949));
}

std::optional<std::string> toCp949(const QString& text, UserInteraction& ui) {
  encoding::Conversion c = encoding::utf8ToCp949(text.toStdString());
  if (!c) {
    ui.message(QString::fromStdString(encoding::unencodableMessage(c.offending)));
    return std::nullopt;
  }
  return std::move(c.text);
}

}  // namespace selvanor
