// The two halves of every document build, shared by `build` and import so that both make
// the same records: turning analysed-text lines into records, and storing records in a
// document that replaces its target only when the whole build succeeded.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/engine/database_replacement.h"
#include "store/document/analysis_record.h"
#include "store/engine/storage.h"

namespace selvanor {

// How the input of a document build gets its serials.
enum class SerialMode {
  Numbered,  // the first field of each line is its serial
  Generate,  // serials are made from the prefix and the running line number
};

// Turns trimmed, non-empty lines of analysed text into records: a numbered line keeps its
// first field as serial, an unnumbered one gets the next generated serial (the prefix and
// the running number of the lines made so far).
class LineRecordMaker {
 public:
  LineRecordMaker(SerialMode mode, std::string_view prefix, bool attachDa)
      : mode_(mode), prefix_(prefix), attachDa_(attachDa) {}

  [[nodiscard]] ParsedLine make(std::string_view trimmedLine);
  // The next generated serial (Generate mode), counted like a line.
  [[nodiscard]] std::string nextSerial();

 private:
  SerialMode mode_;
  std::string prefix_;
  bool attachDa_;
  unsigned long count_ = 0;
};

// A document built beside its target: records go into a temporary file, and finish()
// renames it over the target. Until then the target is untouched; a writer that dies
// unfinished leaves nothing behind.
class DocumentWriter {
 public:
  explicit DocumentWriter(const std::string& target) : target_(target) {}
  DocumentWriter(const DocumentWriter&) = delete;
  DocumentWriter& operator=(const DocumentWriter&) = delete;

  // Creates the temporary document; false when it cannot be opened or the target may not
  // be replaced (another program has it open: refused before any work).
  [[nodiscard]] bool open() {
    return !target_.inUse() && doc_.openWithCursor(target_.temporaryPath());
  }
  // Stores (or replaces) a record under its serial.
  [[nodiscard]] bool put(const AnalysisRecord& record);
  // Writes the document out and renames it over the target; false when that failed.
  [[nodiscard]] bool finish();

 private:
  DatabaseReplacement target_;
  Storage doc_;
  std::string value_;
};

}  // namespace selvanor
