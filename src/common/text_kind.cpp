#include "common/text_kind.h"

#include <cstdio>
#include <memory>

namespace selvanor::text {

std::size_t utf8SequenceAt(std::string_view s, std::size_t pos) {
  const auto c = static_cast<unsigned char>(s[pos]);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;  // no surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if (pos + k >= s.size()) return std::string_view::npos;
    const auto b = static_cast<unsigned char>(s[pos + k]);
    if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return 0;
  }
  return length;
}

void appendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

namespace {


// Valid UTF-8 holding at least one multi-byte sequence.
bool looksUtf8(std::string_view s, bool cutOff) {
  bool multiByte = false;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = utf8SequenceAt(s, i);
    if (n == std::string_view::npos) return cutOff && multiByte;
    if (n == 0) return false;
    multiByte = multiByte || n > 1;
    i += n;
  }
  return multiByte;
}

// A control byte no text file carries (tab, line ends, form feed and the old DOS end
// mark 0x1A are text).
bool isStrayControl(unsigned char c) {
  return (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v' &&
          c != 0x1A) ||
         c == 0x7F;
}

Kind classifyControls(std::string_view s) {
  std::size_t nulEven = 0, nulOdd = 0, controls = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == 0) ++(i % 2 == 0 ? nulEven : nulOdd);
    if (isStrayControl(c)) ++controls;
  }
  if (nulEven + nulOdd > 0) {
    // UTF-16 text of mostly ASCII or Hangul has its NULs on one side only.
    const std::size_t pairs = s.size() / 2;
    if (pairs >= 2 && nulEven == 0 && nulOdd * 16 >= pairs) return Kind::Utf16Le;
    if (pairs >= 2 && nulOdd == 0 && nulEven * 16 >= pairs) return Kind::Utf16Be;
    return Kind::Binary;
  }
  // A few stray control bytes are damage the readers report; many mean a binary file.
  if (controls >= 8 && controls * 32 >= s.size()) return Kind::Binary;
  return Kind::Cp949;
}

}  // namespace

Kind classify(std::string_view bytes, bool cutOff) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return Kind::Utf8Bom;
  if (bytes.substr(0, 2) == "\xFF\xFE") return Kind::Utf16Le;
  if (bytes.substr(0, 2) == "\xFE\xFF") return Kind::Utf16Be;
  if (const Kind k = classifyControls(bytes); k != Kind::Cp949) return k;
  if (looksUtf8(bytes, cutOff)) return Kind::Utf8;
  return Kind::Cp949;
}

std::string hintFor(Kind kind) {
  constexpr const char* kConvert = " CP949로 바꾸어 주십시오.";
  switch (kind) {
    case Kind::Cp949:
      return std::string();
    case Kind::Utf8:
      return std::string("UTF-8로 된 파일로 보입니다.") + kConvert;
    case Kind::Utf8Bom:
      return std::string("UTF-8(BOM 있음)로 된 파일로 보입니다.") + kConvert;
    case Kind::Utf16Le:
      return std::string("UTF-16(LE)로 된 파일로 보입니다.") + kConvert;
    case Kind::Utf16Be:
      return std::string("UTF-16(BE)로 된 파일로 보입니다.") + kConvert;
    case Kind::Binary:
      return "텍스트가 아닌 이진 파일로 보입니다(NUL이나 제어 바이트가 있습니다). "
             "CP949 텍스트 파일을 골라 주십시오.";
  }
  return std::string();
}

std::optional<std::string> describeForeignText(std::string_view bytes, bool cutOff) {
  const Kind kind = classify(bytes, cutOff);
  if (kind == Kind::Cp949) return std::nullopt;
  return hintFor(kind);
}

std::optional<std::string> describeForeignFile(const std::string& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                            &std::fclose);
  if (!file) return std::nullopt;
  std::string sample(kSampleBytes, '\0');
  const std::size_t n = std::fread(sample.data(), 1, sample.size(), file.get());
  if (std::ferror(file.get())) return std::nullopt;
  sample.resize(n);
  return describeForeignText(sample, n == kSampleBytes);
}

std::string withHint(std::string_view message, std::string_view hint) {
  std::string out(message);
  if (!hint.empty()) {
    if (!out.empty()) out += ' ';
    out.append(hint);
  }
  return out;
}

}  // namespace selvanor::text
