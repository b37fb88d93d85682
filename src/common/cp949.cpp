#include "common/cp949.h"

namespace selvanor::cp949 {

bool isWellFormed(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); i = nextChar(s, i)) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80 && charLength(s, i) != 2) return false;
  }
  return true;
}

std::size_t charCount(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); i = nextChar(s, i)) ++n;
  return n;
}

std::size_t lastCharStart(std::string_view s) {
  std::size_t last = std::string_view::npos;
  for (std::size_t i = 0; i < s.size(); i = nextChar(s, i)) last = i;
  return last;
}

std::size_t findChar(std::string_view s, char c, std::size_t from) {
  for (std::size_t i = from; i < s.size(); i = nextChar(s, i)) {
    if (isSingle(s, i, c)) return i;
  }
  return std::string_view::npos;
}

std::size_t findAnyOf(std::string_view s, std::string_view set, std::size_t from) {
  for (std::size_t i = from; i < s.size(); i = nextChar(s, i)) {
    if (charLength(s, i) == 1 && set.find(s[i]) != std::string_view::npos) return i;
  }
  return std::string_view::npos;
}

std::size_t find(std::string_view s, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= s.size() ? from : std::string_view::npos;
  for (std::size_t i = from; i + needle.size() <= s.size(); i = nextChar(s, i)) {
    if (s.compare(i, needle.size(), needle) == 0) return i;
  }
  return std::string_view::npos;
}

bool endsWith(std::string_view s, std::string_view suffix) {
  if (suffix.size() > s.size()) return false;
  if (suffix.empty()) return true;
  const std::size_t at = s.size() - suffix.size();
  if (s.compare(at, suffix.size(), suffix) != 0) return false;
  // The match must begin at a character boundary of s.
  std::size_t i = 0;
  while (i < at) i = nextChar(s, i);
  return i == at;
}

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

std::size_t findLetter(std::string_view s, std::size_t from) {
  for (std::size_t i = from; i < s.size(); i = nextChar(s, i)) {
    if (isLetterAt(s, i)) return i;
  }
  return std::string_view::npos;
}

std::size_t findDigit(std::string_view s, std::size_t from) {
  for (std::size_t i = from; i < s.size(); i = nextChar(s, i)) {
    if (isDigitAt(s, i)) return i;
  }
  return std::string_view::npos;
}

void toUpperAscii(std::string& s) {
  for (std::size_t i = 0; i < s.size(); i = nextChar(s, i)) {
    if (charLength(s, i) == 1 && isAsciiLower(s[i])) s[i] = static_cast<char>(s[i] - 'a' + 'A');
  }
}

std::string upperAscii(std::string_view s) {
  std::string out(s);
  toUpperAscii(out);
  return out;
}

std::string_view trim(std::string_view s) {
  // Blanks are ASCII and never a second byte, so both ends can be scanned bytewise.
  std::size_t b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string removeBlanks(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (!isBlank(c)) out.push_back(c);
  }
  return out;
}

std::string_view leftChars(std::string_view s, std::size_t maxChars) {
  std::size_t i = 0;
  for (std::size_t n = 0; i < s.size() && n < maxChars; ++n) i = nextChar(s, i);
  return s.substr(0, i);
}

void appendWithout(std::string_view text, std::string_view drop, std::string& out) {
  for (const char c : text) {
    if (drop.find(c) == std::string_view::npos) out.push_back(c);
  }
}

}  // namespace selvanor::cp949
