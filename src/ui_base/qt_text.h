// CP949 <-> QString at the UI edge. Text typed by the user that CP949 cannot hold is
// refused with a message naming the character, never stored half-converted.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace selvanor {

class UserInteraction;

// CP949 bytes shown in a widget (bytes CP949 does not define show as U+FFFD).
[[nodiscard]] QString fromCp949(std::string_view cp949);

// The CP949 bytes of typed text; on text CP949 cannot hold, tells the user and gives nullopt.
[[nodiscard]] std::optional<std::string> toCp949(const QString& text, UserInteraction& ui);

// Native file paths (UTF-8 on Linux).
[[nodiscard]] inline std::string nativePath(const QString& path) { return path.toStdString(); }
[[nodiscard]] inline QString fromNativePath(const std::string& path) {
  return QString::fromStdString(path);
}

}  // namespace selvanor
