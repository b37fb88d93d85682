// CP949 (EUC-KR with the UHC extension) byte-string helpers.
//
// The core keeps every text as a std::string of CP949 bytes. A byte 0x81-0xFE starts a
// two-byte character whose second byte may be 0x41-0x5A, 0x61-0x7A or 0x81-0xFE, i.e.
// it can look like an ASCII letter. Every test, search, case change and cut on such
// text must step over whole characters; these helpers are the only place that knows how.
//
// A lead byte pairs only with a byte that can be a second byte. A lead byte at the very
// end of a string, or before a byte that cannot follow it (a blank, a tab, "/", a digit,
// a control byte), is one stray byte: it never absorbs an ASCII separator, so walks
// always terminate and fields are cut where the separators stand.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace selvanor::cp949 {

inline constexpr bool isLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
// A byte that can stand second in a two-byte character: A-Z, a-z or 0x81-0xFE.
inline constexpr bool isTrailByte(unsigned char c) {
  return (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A) || (c >= 0x81 && c <= 0xFE);
}

// Byte length (1 or 2) of the character that starts at `pos`. Requires pos < s.size().
inline std::size_t charLength(std::string_view s, std::size_t pos) {
  return (isLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size() &&
          isTrailByte(static_cast<unsigned char>(s[pos + 1])))
             ? 2
             : 1;
}

// True when `s` is structurally CP949: every byte is ASCII or part of a lead byte and
// trail byte pair. This is what documents accept, including code points iconv does not
// map (the user-defined area such as 0xC9A1).
[[nodiscard]] bool isWellFormed(std::string_view s);

// Start of the character after the one at `pos` (s.size() at the end).
inline std::size_t nextChar(std::string_view s, std::size_t pos) {
  return pos + charLength(s, pos);
}

// True when the character at `pos` is the single byte `c` (never the second half of a
// two-byte character, because callers only pass character starts).
inline bool isSingle(std::string_view s, std::size_t pos, char c) {
  return s[pos] == c && charLength(s, pos) == 1;
}

inline constexpr bool isAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
inline constexpr bool isAsciiLower(char c) { return c >= 'a' && c <= 'z'; }
inline constexpr bool isAsciiLetter(char c) { return isAsciiUpper(c) || isAsciiLower(c); }
inline constexpr bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
// Blank, tab, CR or LF: what lines and fields are trimmed of.
inline constexpr bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The character at `pos` is a one-byte ASCII letter / digit.
inline bool isLetterAt(std::string_view s, std::size_t pos) {
  return charLength(s, pos) == 1 && isAsciiLetter(s[pos]);
}
inline bool isDigitAt(std::string_view s, std::size_t pos) {
  return charLength(s, pos) == 1 && isAsciiDigit(s[pos]);
}

// Appends `text` to `out` without the bytes of `drop`, which must be ASCII below 0x41
// (blank, tab, CR, LF): such a byte is never the second half of a two-byte character, so
// dropping byte by byte cannot split one. Analyses are compared and matched this way.
void appendWithout(std::string_view text, std::string_view drop, std::string& out);
[[nodiscard]] inline std::string without(std::string_view text, std::string_view drop) {
  std::string out;
  out.reserve(text.size());
  appendWithout(text, drop, out);
  return out;
}
// What analyses are compared without: blank, tab and line feed.
inline constexpr std::string_view kAnalysisSpacing = " \t\n";

// Number of characters (not bytes).
std::size_t charCount(std::string_view s);

// Start of the last character, or npos for an empty string.
std::size_t lastCharStart(std::string_view s);

// First one-byte character `c` at or after the character start `from`; npos if none.
std::size_t findChar(std::string_view s, char c, std::size_t from = 0);

// First character start at or after `from` whose one-byte character is in `set`.
std::size_t findAnyOf(std::string_view s, std::string_view set, std::size_t from = 0);

// First occurrence of `needle` starting at a character boundary at or after `from`
// (which must itself be a character start); npos if none. An empty needle matches at `from`.
std::size_t find(std::string_view s, std::string_view needle, std::size_t from = 0);

// True when `s` ends with the whole characters of `suffix` (the match starts at a
// character boundary of `s`).
bool endsWith(std::string_view s, std::string_view suffix);
bool startsWith(std::string_view s, std::string_view prefix);

// First character start holding an ASCII letter / digit, npos if none.
std::size_t findLetter(std::string_view s, std::size_t from = 0);
std::size_t findDigit(std::string_view s, std::size_t from = 0);

// ASCII a-z to A-Z; two-byte characters are left untouched.
void toUpperAscii(std::string& s);
[[nodiscard]] std::string upperAscii(std::string_view s);

// Without leading and trailing blanks, tabs, CRs and LFs.
[[nodiscard]] std::string_view trim(std::string_view s);

// Every blank, tab, CR and LF removed, wherever it stands.
[[nodiscard]] std::string removeBlanks(std::string_view s);

// The text cut to at most `maxChars` characters (never inside a character).
[[nodiscard]] std::string_view leftChars(std::string_view s, std::size_t maxChars);

}  // namespace selvanor::cp949
