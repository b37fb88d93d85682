// Text exports of the system's database files (documents, reference files, both
// dictionaries).
#pragma once

#include <string>

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

}  // namespace selvanor
