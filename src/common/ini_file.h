// The settings file: an INI file of CP949 bytes read and written key by key, the way a
// private profile is. Every call goes to the file itself, so hand edits made between
// calls are seen, and a set changes only the bytes of the one value it writes.
#pragma once

#include <string>
#include <string_view>

namespace selvanor {

// File layout understood:
//   [section]        a section header; the name is the trimmed text between '[' and the
//                    first ']' (text after the ']' is ignored)
//   key = value      inside a section; the key is the trimmed text before the first '=',
//                    the value the trimmed text after it
//   ; comment        never a key
// Anything else (lines before the first section, lines without '=', malformed headers)
// is kept as it is and never matched. Section and key names match with ASCII letters
// compared case-insensitively; two-byte characters compare byte for byte. When a name
// occurs twice, the first occurrence counts, for reading and writing alike.
//
// Single-threaded; nothing is cached between calls.
class IniFile {
 public:
  explicit IniFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  [[nodiscard]] bool exists() const;

  // The value of `key` in `section`, or `fallback` when the file, the section or the key
  // is missing or the file cannot be read. A key that is present with nothing after its
  // '=' gives "".
  [[nodiscard]] std::string get(std::string_view section, std::string_view key,
                                std::string_view fallback = {}) const;

  // Writes `value` for `key` and rewrites the file at once. An existing key keeps its
  // place and spelling and only its value bytes change; a new key goes after the last
  // non-blank line of the section's first occurrence; a new section goes at the end of
  // the file. A missing file is created. The rewrite goes to a file beside the target that
  // is renamed over it, so a failed write leaves the old file whole.
  //
  // False, with nothing written, when the file exists but cannot be read, when the write
  // or rename fails, or when the text could not be read back as written: an empty or
  // untrimmed section or key, a section holding ']', a key holding '=' or starting with
  // ';' or '[', a value with leading or trailing blanks, or any name or value holding a
  // line break.
  [[nodiscard]] bool set(std::string_view section, std::string_view key,
                         std::string_view value);

 private:
  std::string path_;
};

}  // namespace selvanor
