#include "cli/terminal.h"

#include <cstdio>

#include "common/encoding.h"

namespace selvanor::cli {

void printResult(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
}

void printMessage(std::string_view utf8) {
  std::fflush(stdout);
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fputc('\n', stderr);
}

int report(bool ok, std::string_view utf8) {
  if (ok) {
    printResult(utf8);
    return kExitOk;
  }
  printMessage(utf8);
  return kExitFailed;
}

std::string display(std::string_view cp949) { return encoding::cp949ToUtf8Lossy(cp949); }

std::optional<std::string> argumentToCp949(std::string_view utf8) {
  encoding::Conversion c = encoding::utf8ToCp949(utf8);
  if (!c) {
    printMessage(encoding::unencodableMessage(c.offending));
    return std::nullopt;
  }
  return std::move(c.text);
}

}  // namespace selvanor::cli
