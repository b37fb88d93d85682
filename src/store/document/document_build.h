// Building analysis documents from analysed text, and the numbered copy of a text.
#pragma once

#include <string>
#include <string_view>

#include "common/progress.h"
#include "common/result_codes.h"
#include "store/document/analysis_record.h"
#include "store/document/document_writer.h"

namespace selvanor {

// Builds documents and remembers the serial of the last line it parsed, which the build
// dialog and the command line name in a format-error message.
class DocumentBuilder {
 public:
  // Parses one numbered line and remembers its first field as the last serial.
  [[nodiscard]] ParsedLine parseLine(std::string_view line, bool attachDa);

  // Writes the numbered form of an unnumbered text: " PREFIX%06d0  line\n" per non-empty
  // trimmed line. kOk or kTextFileError.
  [[nodiscard]] static ResultCode addIndex(const std::string& input, const std::string& output,
                                           std::string_view prefix);

  // Builds an analysis document from analysed text: one record per non-empty line, later
  // duplicates replacing earlier ones. The document is built beside `output` and renamed
  // over it only on success, so a failed build leaves what was there untouched. Results:
  // kOk; kFormatError (lastSerial() names the line; for an input that looks like UTF-8,
  // UTF-16 or binary data, the first line, and foreignText() says what it looks like);
  // kTextFileError (input unreadable); kOpenError; kInsertError (a record or the finished
  // file could not be written); kCancelled (`progress`, told the bytes of input read, asked
  // to stop: the temporary is removed and `output` left as it was).
  [[nodiscard]] ResultCode makeBunsukDB(const std::string& input, const std::string& output,
                                        std::string_view prefix, SerialMode mode, bool attachDa,
                                        const ProgressFn& progress = {});

  // First field of the last line parsed (empty before any).
  [[nodiscard]] const std::string& lastSerial() const { return lastSerial_; }
  // What the last build's input looked like when it was refused as not CP949 (a Korean
  // hint, UTF-8); empty otherwise.
  [[nodiscard]] const std::string& foreignText() const { return foreignText_; }

 private:
  std::string lastSerial_;
  std::string foreignText_;
};

}  // namespace selvanor
