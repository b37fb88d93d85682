// Text exports of the system's database files (documents, reference files, both
// dictionaries).
#pragma once

#include <string>
#include <string_view>

#include "common/result_codes.h"

namespace selvanor {

// Text export kinds.
enum class ExportKind : int {
  Document = -100,      // analysis document: "serial\tword\tanalysis\n" per record
  Reference = -110,     // reference file: one such line per item of each entry
  Homonym = -120,       // homonym dictionary dump
  Unregistered = -140,  // unregistered-word dictionary dump
};

// Writes a database file out as text. The text is written beside `output` and renamed
// over it on success (FileReplacement: a link is written through, a target that is no
// regular file or not writable is refused before any work); `output` "-" writes to
// standard output. An output that is the database itself is refused. kOk;
// kTextFileError (output cannot be written); kOpenError (source cannot be opened or holds
// a value of the wrong kind).
[[nodiscard]] ResultCode printDBcont(ExportKind kind, const std::string& source,
                                     const std::string& output);

// Turns the stored records of a file into text, one record at a time, for the record walk
// every export shares.
class RecordFormatter {
 public:
  virtual ~RecordFormatter() = default;
  // Text written before the first record (a header row).
  virtual void begin(std::string& /*out*/) {}
  // Appends the text of one stored record; false when the value is not of the kind this
  // formatter reads (a foreign or damaged file).
  [[nodiscard]] virtual bool append(std::string_view key, std::string_view value,
                                    std::string& out) = 0;
  // Text written after the last record.
  virtual void end(std::string& /*out*/) {}
};

// The record walk of printDBcont with its output rules (beside-and-rename, "-" for
// standard output, the database itself refused) and results, for any formatter.
// `operation` names the diagnostics; `banner` (may be null) goes to the diagnostics first.
[[nodiscard]] ResultCode writeRecordExport(std::string_view operation, const std::string& source,
                                           const std::string& output, RecordFormatter& formatter,
                                           const char* banner);

}  // namespace selvanor
