#include "common/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace selvanor::encoding {
namespace {

// One iconv descriptor per direction, opened on first use and kept (iconv_open is slow).
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      std::fprintf(stderr, "iconv_open(%s, %s) failed: CP949 support is missing\n", to, from);
      std::abort();
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts the whole input. On an invalid or unconvertible sequence returns false and
  // the offset of the first byte that failed.
  bool convert(std::string_view in, std::string& out, std::size_t& failedAt) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // reset shift state
    out.clear();
    out.resize(in.size() * 2 + 16);
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    std::size_t produced = 0;
    while (inLeft > 0) {
      char* outPtr = out.data() + produced;
      std::size_t outLeft = out.size() - produced;
      const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      produced = out.size() - outLeft;
      if (rc != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      failedAt = in.size() - inLeft;
      return false;
    }
    out.resize(produced);
    return true;
  }

 private:
  iconv_t cd_;
};

Converter& toCp949() {
  thread_local Converter c("CP949", "UTF-8");
  return c;
}
Converter& toUtf8() {
  thread_local Converter c("UTF-8", "CP949");
  return c;
}

std::size_t utf8SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

Conversion utf8ToCp949(std::string_view utf8) {
  Conversion result;
  std::string out;
  std::size_t failedAt = 0;
  if (toCp949().convert(utf8, out, failedAt)) {
    result.text = std::move(out);
  } else {
    const std::size_t len = utf8SequenceLength(static_cast<unsigned char>(utf8[failedAt]));
    result.offending = std::string(utf8.substr(failedAt, len));
  }
  return result;
}

Conversion cp949ToUtf8(std::string_view cp949) {
  Conversion result;
  std::string out;
  std::size_t failedAt = 0;
  if (toUtf8().convert(cp949, out, failedAt)) {
    result.text = std::move(out);
  } else {
    const auto c = static_cast<unsigned char>(cp949[failedAt]);
    const std::size_t len = (c >= 0x81 && c <= 0xFE && failedAt + 1 < cp949.size()) ? 2 : 1;
    result.offending = std::string(cp949.substr(failedAt, len));
  }
  return result;
}

std::string cp949ToUtf8Lossy(std::string_view cp949) {
  std::string out;
  std::size_t pos = 0;
  while (pos < cp949.size()) {
    std::string piece;
    std::size_t failedAt = 0;
    const std::string_view rest = cp949.substr(pos);
    if (toUtf8().convert(rest, piece, failedAt)) {
      out += piece;
      break;
    }
    // Convert the good part before the failure, then replace one byte.
    std::string good;
    std::size_t unused = 0;
    if (failedAt > 0 && toUtf8().convert(rest.substr(0, failedAt), good, unused)) out += good;
    out += "\xEF\xBF\xBD";
    pos += failedAt + 1;
  }
  return out;
}

std::string cp949Literal(std::string_view utf8) {
  Conversion c = utf8ToCp949(utf8);
  if (!c) {
    std::fprintf(stderr, "internal error: constant not representable in CP949\n");
    std::abort();
  }
  return std::move(*c.text);
}

std::string unencodableMessage(std::string_view offendingUtf8) {
  return "입력한 글자 [" + std::string(offendingUtf8) +
         "]는 CP949로 저장할 수 없습니다. 이 글자를 빼고 다시 입력해 주세요.";
}

}  // namespace selvanor::encoding
