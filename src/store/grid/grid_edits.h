// The grid's hand edits: join, split, delete and replace, written through the row cache.
//
// Every edit reads the records it changes fresh from the store, whole (a long analysis
// survives byte for byte), and writes each change as a remove of the old serial followed by
// an add of the new record. An edit never loses a record: it refuses before writing when the
// result would overwrite an unrelated record, and when a write fails part way it puts every
// record it touched back as it was. Each edit that wrote recentres the cache on `row`; the
// caller then takes the new recordCount() and repaints. Each stored edit is handed to the
// cache's change listener (RowCache::setChangeListener) as the records it removed and added.
#pragma once

#include <string>
#include <string_view>

#include "store/grid/row_cache.h"

namespace selvanor::gridedit {

// The serial's chain letter: "0" for a word as it came from the source, "a".."y" for the
// parts of a split word, "z" for a joined word. It is the last byte when that byte is a
// character of its own; '\0' for an empty serial or one ending in a two-byte character
// (whose second byte may look like a letter but is not one).
[[nodiscard]] char chainLetter(std::string_view serial);
// The serial with its last character replaced by `letter` (empty for an empty serial).
[[nodiscard]] std::string withChainLetter(std::string_view serial, char letter);
// True when `next` continues the chain of `current`: the same length, identical except the
// last byte, and that byte one higher. (Byte-wise, so serials of any length are safe.)
[[nodiscard]] bool continuesChain(std::string_view current, std::string_view next);

// Row `row` with row+1 becomes one record (Si with letter "z", Wi+Wj, Ai+" + "+Aj).
// false when there is no row+1, a record does not decode, or the new serial already names
// another record.
[[nodiscard]] bool join(RowCache& cache, int row);

// Chain letter "0" or "z": the record becomes two copies with letters "a" and "b" (false
// when either serial is already taken). Letter "a".."y": the record is duplicated and every
// following part of the same word moves one letter up. Refused (false, nothing written):
//  - a part on the last row (there is no following row to look at);
//  - a chain that would have to move a part beyond "y" ("z" marks joined words, and past it
//    there is no letter), or whose new last serial is already taken;
//  - any other last character (digit other than "0", upper case, two-byte character).
[[nodiscard]] bool split(RowCache& cache, int row);

// Removes the record at `row` (the caller has asked the user).
[[nodiscard]] bool removeRow(RowCache& cache, int row);

enum class ReplaceOutcome { Replaced, NotMatching, SerialNotSupported, Invalid };
// The 수정 action: target Serial -> SerialNotSupported; if the record at `row` matches
// `pattern` in `target`, that whole field becomes `replacement`. Invalid for an empty
// pattern or replacement, a row that cannot be read, or a store failure (the old record is
// then back in place).
[[nodiscard]] ReplaceOutcome replace(RowCache& cache, int row, GridColumn target,
                                     std::string_view pattern, std::string_view replacement);

// The record `old` (at `row`) becomes `edited`, possibly under another serial. false, with
// nothing changed, when the new serial is empty or already names another record, or when a
// write fails (the old record is then back in place).
[[nodiscard]] bool rewrite(RowCache& cache, int row, const AnalysisRecord& old,
                           const AnalysisRecord& edited);

enum class ApplyOutcome {
  Applied,
  Stale,   // the document no longer holds what the change expects: nothing written
  Failed,  // a write failed (or no document is open): every record is back as it was
};
// Writes a change recorded earlier (or its inverse, to take it back): removes its `removed`
// records and adds its `added` ones, then recentres on its row. Stale unless every removed
// record is stored byte for byte and no added serial names a record the change does not
// remove. The change listener is not told: this is undo and redo, not a new edit.
[[nodiscard]] ApplyOutcome applyChange(RowCache& cache, const RecordChange& change);

}  // namespace selvanor::gridedit
