#include "common/encoding.h"

#include <algorithm>

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "common/cp949.h"

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
    return run(in, out, &failedAt, {});
  }

  // Converts the whole input in one pass: each byte where a sequence fails (invalid, or a
  // character cut off by the end) becomes `replacement`, and the conversion goes on at the
  // next byte, so the second half of a broken pair is read again on its own.
  // Converts one short sequence into `out` (at least 8 bytes) without allocating; the
  // number of bytes written, or 0 when it does not convert.
  std::size_t convertShort(std::string_view in, char* out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out;
    std::size_t outLeft = 8;
    if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
      return 0;
    }
    return 8 - outLeft;
  }

  std::string convertReplacing(std::string_view in, std::string_view replacement) {
    std::string out;
    (void)run(in, out, nullptr, replacement);
    return out;
  }

 private:
  // The one conversion loop: with `failedAt` it stops at the first failing byte and says
  // where; without it that byte becomes `replacement` and the loop goes on after it.
  bool run(std::string_view in, std::string& out, std::size_t* failedAt, std::string_view replacement) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // reset shift state
    out.assign(in.size() * 2 + 16, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    std::size_t produced = 0;
    while (inLeft > 0) {
      char* outPtr = out.data() + produced;
      std::size_t outLeft = out.size() - produced;
      const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      const int error = errno;
      produced = out.size() - outLeft;
      if (rc != static_cast<std::size_t>(-1)) break;
      if (error == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      if (failedAt) {
        // At the end of the input when the converter refused the last character after
        // taking it in.
        *failedAt = in.size() - inLeft;
        return false;
      }
      if (out.size() - produced < replacement.size()) out.resize(out.size() * 2);
      out.replace(produced, replacement.size(), replacement);
      produced += replacement.size();
      // glibc's CP949 converter can refuse the last character after taking it in: nothing
      // is left to step over then.
      if (inLeft == 0) break;
      ++inPtr;
      --inLeft;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // a fresh start after the bad byte
    }
    out.resize(produced);
    return true;
  }

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
    // A sequence cut off at the end fails where it starts; failedAt never passes the end,
    // but the byte there is read only when there is one.
    failedAt = std::min(failedAt, utf8.size());
    const std::size_t len =
        failedAt < utf8.size() ? utf8SequenceLength(static_cast<unsigned char>(utf8[failedAt])) : 0;
    result.offending = std::string(utf8.substr(failedAt, len));
    result.offset = failedAt;
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
    failedAt = std::min(failedAt, cp949.size());
    std::size_t len = 0;
    if (failedAt < cp949.size()) {
      const auto c = static_cast<unsigned char>(cp949[failedAt]);
      len = (c >= 0x81 && c <= 0xFE && failedAt + 1 < cp949.size()) ? 2 : 1;
    }
    result.offending = std::string(cp949.substr(failedAt, len));
    result.offset = failedAt;
  }
  return result;
}

namespace {

// CP949 codes of U+0080-U+FFFF: the bytes in the low 16 bits (one byte in the low 8 when
// bit 16 is set), 0 for a code point CP949 cannot hold.
std::vector<std::uint32_t> makeCp949Table() {
  std::vector<std::uint32_t> table(0x10000, 0);
  std::string utf8;
  char bytes[8];
  for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    utf8.clear();
    if (cp < 0x800) {
      utf8 += static_cast<char>(0xC0 | (cp >> 6));
    } else {
      utf8 += static_cast<char>(0xE0 | (cp >> 12));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    const std::size_t n = toCp949().convertShort(utf8, bytes);
    if (n == 2) {
      table[cp] = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[0])) << 8 |
                  static_cast<unsigned char>(bytes[1]);
    } else if (n == 1) {
      table[cp] = 0x10000u | static_cast<unsigned char>(bytes[0]);
    }
  }
  return table;
}

}  // namespace

bool appendCp949Of(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
    return true;
  }
  if (cp >= 0x10000) return false;  // CP949 holds nothing beyond the BMP
  static const std::vector<std::uint32_t> table = makeCp949Table();
  const std::uint32_t code = table[cp];
  if (code == 0) return false;
  if (code & 0x10000u) {
    out += static_cast<char>(code & 0xFF);
  } else {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
  }
  return true;
}

std::string cp949ToUtf8Lossy(std::string_view cp949) {
  return toUtf8().convertReplacing(cp949, "\xEF\xBF\xBD");
}

std::string cp949Excerpt(std::string_view cp949, std::size_t maxChars) {
  const std::string_view head = cp949::leftChars(cp949, maxChars);
  std::string out = cp949ToUtf8Lossy(head);
  if (head.size() < cp949.size()) out += "\xE2\x80\xA6";  // …
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
