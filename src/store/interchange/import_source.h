// Reading text from outside the workbench: UTF-8, UTF-16 or CP949 files, line by line, as
// CP949. The encoding is decided once for the whole file; a line that does not decode
// stops the reading and is named. A character CP949 cannot hold is shown as □ and listed
// with its place, so that the caller stops at it where it would be stored, and only there
// (markup, comments and unused columns may hold anything).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/files.h"

namespace selvanor::interchange {

// The encoding the user asks for.
enum class Encoding { Auto, Cp949, Utf8, Utf16 };

// The encoding a file is read in.
enum class Decoding { Cp949, Utf8, Utf16Le, Utf16Be };

// A byte-order mark decides; without one, UTF-16 text without a mark (NULs on one side of
// every pair) is UTF-16, valid UTF-8 that is not plain ASCII is UTF-8 (so is UTF-8 with a
// damaged byte after many good characters, to be refused at that line), anything else
// CP949.
// A requested encoding overrides all but the byte order of UTF-16 (mark, then the NULs,
// then little-endian). nullopt when the file cannot be read.
[[nodiscard]] std::optional<Decoding> decideDecoding(const std::string& path, Encoding requested);

[[nodiscard]] const char* decodingName(Decoding d);  // "CP949", "UTF-8", "UTF-16LE", ...

// Why reading stopped before the end of the file.
enum class DecodeFault {
  None,
  Undecodable,  // bytes that are not text in the file's encoding
  Truncated,    // the file ends inside a UTF-16 character
  ReadError,    // the file could not be read
};

// What a visible stand-in for a character CP949 cannot hold looks like: □.
inline constexpr std::string_view kReplacementCp949 = "\xA1\xE0";

// A character of the current line that CP949 cannot hold.
struct UnmappableCharacter {
  std::size_t offset = 0;  // where its kReplacementCp949 stands in the line
  std::string character;   // UTF-8
};

class SourceReader {
 public:
  SourceReader(const std::string& path, Decoding decoding);
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;

  [[nodiscard]] bool isOpen() const { return file_ != nullptr; }

  // The next line as CP949 without its line end (LF or CR LF; the byte-order mark is not
  // part of the first line), or nullopt at the end or at a fault. The view stays valid
  // until the next call.
  [[nodiscard]] std::optional<std::string_view> next();

  // 1-based number of the line last returned, or of the line the fault is in.
  [[nodiscard]] std::size_t lineNumber() const { return line_; }
  [[nodiscard]] DecodeFault fault() const { return fault_; }
  // The bytes that stopped the reading, as hex ("0xFF 0x80").
  [[nodiscard]] const std::string& faultText() const { return faultText_; }
  // The characters of the line last returned that CP949 cannot hold, in order.
  [[nodiscard]] const std::vector<UnmappableCharacter>& unmappable() const { return unmappable_; }

 private:
  [[nodiscard]] bool fill();
  [[nodiscard]] std::optional<std::string_view> nextRaw();
  [[nodiscard]] bool decode(std::string_view raw);
  [[nodiscard]] bool fromUtf8(std::string_view utf8);
  [[nodiscard]] bool fromUtf16(std::string_view raw);
  [[nodiscard]] bool stop(DecodeFault fault, std::string text);

  FilePtr file_;
  Decoding decoding_;
  std::string buffer_;      // raw bytes read and not yet handed out
  std::size_t start_ = 0;   // where the next raw line begins in buffer_
  bool eof_ = false;
  bool firstLine_ = true;
  std::string line_text_;   // the decoded line
  std::size_t line_ = 0;
  DecodeFault fault_ = DecodeFault::None;
  std::string faultText_;
  std::vector<UnmappableCharacter> unmappable_;
};

}  // namespace selvanor::interchange
