// Terminal side of selvanor-cli: UTF-8 on the terminal, CP949 in files.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace selvanor::cli {

// Exit codes: 0 success, 1 the operation failed, 2 usage error.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// A result line on standard output / a message on standard error (UTF-8, newline added).
// Both show control bytes escaped (escapeControls): text from files never drives the
// terminal.
void printResult(std::string_view utf8);
void printMessage(std::string_view utf8);
// An operation's outcome message: on standard output with kExitOk when it succeeded, on
// standard error with kExitFailed when not.
int report(bool ok, std::string_view utf8);

// `utf8` with every control byte a terminal would act on written as an escape: NUL, ESC
// and the other C0 controls but tab and line feed as \x00, \x1b, ...; DEL as \x7f; the
// C1 controls U+0080-U+009F as \u0080-\u009f. Everything else is kept byte for byte.
[[nodiscard]] std::string escapeControls(std::string_view utf8);

// Inside a catch block: reports the exception being handled (out of memory, anything
// else) on standard error as a clear message and returns kExitFailed.
[[nodiscard]] int reportEscapedException();

// Runs `body` and returns its exit code; an exception that escapes it is reported as
// reportEscapedException does, never an abort.
[[nodiscard]] int runGuarded(const std::function<int()>& body);

// CP949 data shown on the terminal (bytes CP949 does not define show as U+FFFD).
[[nodiscard]] std::string display(std::string_view cp949);

// A UTF-8 argument as CP949; on text CP949 cannot hold, prints why and returns nullopt.
[[nodiscard]] std::optional<std::string> argumentToCp949(std::string_view utf8);

}  // namespace selvanor::cli
