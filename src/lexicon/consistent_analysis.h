// "모두 이 분석으로": one analysis for every listed occurrence of a word, in one step.
//
// A review group lists occurrences of one word by serial; the linguist picks one analysis
// and every listed record of the document is rewritten to it. Like the grid's edits, each
// change is a removeLine of the record followed by an addLine of the rewritten record,
// through the document's cursor (the grid's own, when the document is open there, so the
// grid never holds stale pages); the caller then recounts and repaints. The records are read
// fresh before anything is written, so a serial that is gone is reported, never recreated;
// when a write fails part way every record already rewritten is put back as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/result_codes.h"
#include "lexicon/review_report.h"
#include "store/engine/document_cursor.h"

namespace selvanor::review {

struct ApplyOutcome {
  ResultCode code = result::kOk;      // kOk; kOpenError (the document is not open, cannot be
                                      // read or holds a damaged record: nothing written);
                                      // kRemoveError / kInsertError (a write failed: the
                                      // records are back as they were)
  std::size_t changed = 0;            // records rewritten
  std::size_t alreadyEqual = 0;       // records that already had the analysis (byte for byte)
  std::vector<std::string> missing;   // serials not in the document (CP949)
  explicit operator bool() const { return code == result::kOk; }
};

// Rewrites the analysis of every record of the open `document` named in `serials` (CP949;
// repeats count once) to `analysis`, keeping serial and word.
[[nodiscard]] ApplyOutcome applyAnalysis(DocumentCursor& document,
                                         const std::vector<std::string>& serials,
                                         std::string_view analysis);

// The confirmation naming the count and the analysis (UTF-8; `analysis` is CP949), and the
// message after the change.
[[nodiscard]] std::string applyQuestion(std::size_t count, std::string_view analysis);
[[nodiscard]] std::string applyOutcomeMessage(const ApplyOutcome& outcome);

// A group's occurrences may lie in more than one document: a comparison lists the reference
// document's record with the compared document's. The change is made document by document,
// each one all or nothing.
struct DocumentSerials {
  std::string document;              // native path, as the first occurrence names it
  std::vector<std::string> serials;  // CP949, in list order, each once
};
// The serials of `occurrences` per document (paths naming the same file are one document),
// documents in the order of their first occurrence.
[[nodiscard]] std::vector<DocumentSerials> serialsByDocument(
    const std::vector<Occurrence>& occurrences);
// How many records the change would touch (the count the question names).
[[nodiscard]] std::size_t recordCount(const std::vector<DocumentSerials>& documents);

struct DocumentApplyOutcome {
  std::string document;
  ApplyOutcome outcome;
};
// One document: its message as above. Several: one line per document, its path, a colon,
// a blank and its message.
[[nodiscard]] std::string applyOutcomeMessage(const std::vector<DocumentApplyOutcome>& outcomes);

}  // namespace selvanor::review
