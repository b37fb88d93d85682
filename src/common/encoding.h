// UTF-8 <-> CP949 conversion, used only at the edges (UI, terminal, paths written into
// CP949 files). Conversion is all or nothing: text CP949 cannot hold is never stored
// half-converted.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace selvanor::encoding {

struct Conversion {
  std::optional<std::string> text;  // the converted text; empty optional on failure
  std::string offending;            // on failure: the first character that did not convert
                                    // (in the source encoding), or the bad bytes
  std::size_t offset = 0;           // on failure: where `offending` starts in the source
  explicit operator bool() const { return text.has_value(); }
};

[[nodiscard]] Conversion utf8ToCp949(std::string_view utf8);
[[nodiscard]] Conversion cp949ToUtf8(std::string_view cp949);

// The CP949 of one Unicode code point appended to `out`; false (nothing appended) when
// CP949 has no code for it. The same mapping as utf8ToCp949, from a table made from it
// once per program: readers of large UTF-8 and UTF-16 files convert character by
// character at a fraction of the cost of a conversion call per line.
[[nodiscard]] bool appendCp949Of(char32_t codePoint, std::string& out);

// For display only; never fails. Where a character does not convert (a byte that starts
// no character, a pair with an invalid second byte, a lead byte cut off by the end) its
// first byte becomes U+FFFD and conversion resumes at the next byte. One linear pass,
// however much of the text is broken.
[[nodiscard]] std::string cp949ToUtf8Lossy(std::string_view cp949);

// A line or field from a file as a message echoes it: at most `maxChars` characters,
// then "…" when it was longer (a 1 MB field must not fill the screen), converted as
// cp949ToUtf8Lossy does.
inline constexpr std::size_t kExcerptChars = 200;
[[nodiscard]] std::string cp949Excerpt(std::string_view cp949, std::size_t maxChars = kExcerptChars);

// A UTF-8 literal known to be representable in CP949 (program constants such as class
// names of the tag set). Aborts on a programming error.
[[nodiscard]] std::string cp949Literal(std::string_view utf8);

// Korean message for a refused conversion, naming the character: shown by the UI and CLI.
[[nodiscard]] std::string unencodableMessage(std::string_view offendingUtf8);

}  // namespace selvanor::encoding
