// Terminal side of selvanor-cli: UTF-8 on the terminal, CP949 in files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace selvanor::cli {

// Exit codes: 0 success, 1 the operation failed, 2 usage error.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// A result line on standard output / a message on standard error (UTF-8, newline added).
void printResult(std::string_view utf8);
void printMessage(std::string_view utf8);
// An operation's outcome message: on standard output with kExitOk when it succeeded, on
// standard error with kExitFailed when not.
int report(bool ok, std::string_view utf8);

// CP949 data shown on the terminal (bytes CP949 does not define show as U+FFFD).
[[nodiscard]] std::string display(std::string_view cp949);

// A UTF-8 argument as CP949; on text CP949 cannot hold, prints why and returns nullopt.
[[nodiscard]] std::optional<std::string> argumentToCp949(std::string_view utf8);

}  // namespace selvanor::cli
