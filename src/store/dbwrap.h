// DBWrap: the one façade through which dialogs, the view and the command line build, read,
// change and report the system's files. Each operation opens the files it needs, works,
// closes them and returns a result code (common/result_codes.h); failures also write one
// English diagnostic line. The operations are implemented beside the subsystem they belong
// to (store/document_*.cpp for documents).
#pragma once

#include <string>
#include <string_view>

#include "common/result_codes.h"
#include "store/analysis_record.h"

namespace selvanor {

// How the input of a document build gets its serials.
enum class SerialMode {
  Numbered,  // the first field of each line is its serial
  Generate,  // serials are made from the prefix and the running line number
};

// Text export kinds.
enum class ExportKind : int {
  Document = -100,      // analysis document: "serial\tword\tanalysis\n" per record
  Reference = -110,     // reference file: one such line per item of each entry
  Homonym = -120,       // homonym dictionary dump
  Unregistered = -140,  // unregistered-word dictionary dump
};

class DBWrap {
 public:
  // Parses one numbered line and remembers its first field as the last serial.
  [[nodiscard]] ParsedLine parseLine(std::string_view line, bool attachDa);

  // Writes the numbered form of an unnumbered text: " PREFIX%06d0  line\n" per non-empty
  // trimmed line. kOk or kTextFileError.
  [[nodiscard]] ResultCode addIndex(const std::string& input, const std::string& output,
                                    std::string_view prefix);

  // Builds an analysis document from analysed text: one record per non-empty line, later
  // duplicates replacing earlier ones. The document is built beside `output` and renamed
  // over it only on success, so a failed build leaves what was there untouched. Results:
  // kOk; kFormatError (lastSerial() names the line); kTextFileError (input unreadable);
  // kOpenError; kInsertError (a record or the finished file could not be written).
  [[nodiscard]] ResultCode makeBunsukDB(const std::string& input, const std::string& output,
                                        std::string_view prefix, SerialMode mode, bool attachDa);

  // Writes a database file out as text. The text is written beside `output` and renamed
  // over it on success. kOk; kTextFileError (output cannot be written); kOpenError (source
  // cannot be opened or holds a value of the wrong kind).
  [[nodiscard]] ResultCode printDBcont(ExportKind kind, const std::string& source,
                                       const std::string& output);

  // First field of the last line parsed (empty before any); shown in format-error messages.
  const std::string& lastSerial() const { return lastSerial_; }

  // ---- documents: merge (store/document_merge.cpp) ----------------------------------

  // ---- reference files (store/reference_*.cpp) ---------------------------------------

  // ---- homonym dictionary (lexicon/homonym_*.cpp) ------------------------------------

  // ---- unregistered-word dictionary (lexicon/unregistered_*.cpp) ---------------------

  // ---- auto-correction (lexicon/auto_correction*.cpp) --------------------------------

  // ---- statistics files (stats/statistics_file*.cpp) ---------------------------------

 private:
  std::string lastSerial_;
  // ---- private state of the subsystems' operations -----------------------------------
};

}  // namespace selvanor
