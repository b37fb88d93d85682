// Recognising text that is not CP949 before a reader takes it apart.
//
// Every reader of outside text (analysed text, tag file, homonym source, correction list,
// document list) asks here first, so a UTF-8, UTF-16 or binary file is refused with a
// message that says what it looks like instead of turning into a format error or, worse,
// into garbage that builds. Plain ASCII and anything else count as plausible CP949: the
// readers' own checks still apply to it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace selvanor::text {

// Length of the valid UTF-8 sequence at `pos` (< s.size()): 0 when none starts there
// (overlong forms, surrogates and code points past U+10FFFF included), npos when the text
// ends inside an otherwise valid sequence.
[[nodiscard]] std::size_t utf8SequenceAt(std::string_view s, std::size_t pos);
// Appends the UTF-8 bytes of the code point `cp` (at most U+10FFFF).
void appendUtf8(char32_t cp, std::string& out);

enum class Kind {
  Cp949,    // plausible CP949 (or plain ASCII)
  Utf8,     // valid UTF-8 with at least one multi-byte sequence
  Utf8Bom,  // starts with the UTF-8 byte-order mark
  Utf16Le,  // UTF-16 little-endian: its byte-order mark, or NULs on every odd byte
  Utf16Be,  // UTF-16 big-endian: its byte-order mark, or NULs on every even byte
  Binary,   // NUL bytes or many control bytes
};

// What `bytes` look like. `cutOff` says the bytes are the start of a longer file, so a
// UTF-8 sequence cut at their end is not held against them.
[[nodiscard]] Kind classify(std::string_view bytes, bool cutOff = false);

// The hint for a kind other than Cp949 (UTF-8, Korean), e.g. "UTF-8로 된 파일로
// 보입니다. CP949로 바꾸어 주십시오."; empty for Cp949.
[[nodiscard]] std::string hintFor(Kind kind);

// The hint for `bytes`, or nullopt when they are plausible CP949.
[[nodiscard]] std::optional<std::string> describeForeignText(std::string_view bytes,
                                                             bool cutOff = false);

// The same for the start of the file at `path` (its first kSampleBytes). nullopt when
// the file looks like CP949 or cannot be read: callers report unreadable files themselves.
inline constexpr std::size_t kSampleBytes = 64 * 1024;
[[nodiscard]] std::optional<std::string> describeForeignFile(const std::string& path);

// `message` followed by the hint, one blank between (UTF-8).
[[nodiscard]] std::string withHint(std::string_view message, std::string_view hint);

}  // namespace selvanor::text
