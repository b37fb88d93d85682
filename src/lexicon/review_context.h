// Reading the records a review reports, with their context, in one forward walk.
//
// A review knows which records it must write only after it has read everything, and it
// writes them in another order than the document's. Instead of positioning a cursor once
// per reported record (and reading its neighbours each time), the wanted records are
// collected in one walk over the stretch of the document that holds them, with a window of
// five records: when a record has two successors in the window (or the document ends), its
// context is complete.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>

#include "lexicon/review_report.h"
#include "store/engine/document_cursor.h"

namespace selvanor::review {

// Asked once for every record of the walked stretch, in key order: the slot to fill with
// that record and its context, or nullptr when it is not wanted. `serial` is the record's
// serial as stored in its value.
using WantContext =
    std::function<RecordContext*(std::uint32_t recordNumber, std::string_view serial)>;

inline constexpr std::uint32_t kLastRecord = std::numeric_limits<std::uint32_t>::max();

// Walks records `first`..`last` (1-based record numbers, `last` clamped to the end) of the
// open `document`, reading the two records before and after the stretch for context, and
// fills the slots `want` hands out; `withRecord` false leaves the slots' `record` empty
// (for callers that write the record from elsewhere and keep many slots). False when a
// record of the walked stretch does not decode (the document is damaged or not a document).
[[nodiscard]] bool collectContexts(DocumentCursor& document, std::uint32_t first,
                                   std::uint32_t last, const WantContext& want,
                                   bool withRecord = true);

}  // namespace selvanor::review
