#include "cli/terminal.h"

#include <cstdio>
#include <exception>
#include <new>

#include "common/encoding.h"

namespace selvanor::cli {

std::string escapeControls(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const bool c0 = (c < 0x20 && c != '\t' && c != '\n') || c == 0x7F;
    // U+0080-U+009F, encoded C2 80-C2 9F: some terminals take U+009B for ESC [.
    const bool c1 = c == 0xC2 && i + 1 < utf8.size() &&
                    static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(utf8[i + 1]) <= 0x9F;
    if (c0) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else if (c1) {
      const auto code = static_cast<unsigned char>(utf8[++i]);
      out += "\\u00";
      out += kHex[code >> 4];
      out += kHex[code & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void printResult(std::string_view utf8) {
  const std::string shown = escapeControls(utf8);
  std::fwrite(shown.data(), 1, shown.size(), stdout);
  std::fputc('\n', stdout);
}

void printMessage(std::string_view utf8) {
  const std::string shown = escapeControls(utf8);
  std::fflush(stdout);
  std::fwrite(shown.data(), 1, shown.size(), stderr);
  std::fputc('\n', stderr);
}

int reportEscapedException() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    printMessage("메모리가 모자라 작업을 마치지 못했습니다. 파일이 너무 크거나 텍스트 파일이 아닐 수 "
                 "있습니다.");
  } catch (const std::exception& e) {
    printMessage(std::string("예기치 못한 오류로 작업을 마치지 못했습니다: ") +
                 encoding::cp949Excerpt(e.what()));
  } catch (...) {
    printMessage("예기치 못한 오류로 작업을 마치지 못했습니다.");
  }
  return kExitFailed;
}

int runGuarded(const std::function<int()>& body) {
  try {
    return body();
  } catch (...) {
    return reportEscapedException();
  }
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
