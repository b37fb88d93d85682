// Matching token patterns against the records of a document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/concordance_query.h"
#include "store/engine/record.h"

namespace selvanor::analysis {

// One morpheme of an analysis, as views into the analysis text.
struct MorphemeView {
  std::string_view whole;  // "form/TAG" as stored
  std::string_view form;
  std::string_view tag;    // empty when the piece has no "/"
};

// Splits an analysis ("먹/VV + 었/EP", blanks optional) into its morphemes: a piece ends
// at a "+" after its first character (so "+" can itself be a form), blanks around it are
// dropped, and the last "/" parts form from tag. `out` is cleared first; no allocation
// once it has grown.
void splitMorphemes(std::string_view analysis, std::vector<MorphemeView>& out);

// A record as the matcher sees it: the text, its 1-based record number, and its
// morphemes split on first need (a word query never splits an analysis).
class RecordSlot {
 public:
  // Copies into buffers kept from earlier records, so a walk does not allocate per record.
  void assign(const AnalysisRecord& record, std::uint32_t recordNumber);
  [[nodiscard]] const AnalysisRecord& record() const { return record_; }
  [[nodiscard]] std::uint32_t recordNumber() const { return recordNumber_; }
  [[nodiscard]] const std::vector<MorphemeView>& morphemes() const;

 private:
  AnalysisRecord record_;
  std::uint32_t recordNumber_ = 0;
  mutable bool split_ = false;
  mutable std::vector<MorphemeView> morphemes_;
};

// True when one record matches a word or morpheme pattern (a gap matches any record).
[[nodiscard]] bool matchesToken(const TokenPattern& token, const RecordSlot& record);

// Records in document order, as far as they have been read: nullptr past the last one.
class RecordSequence {
 public:
  virtual ~RecordSequence() = default;
  [[nodiscard]] virtual const RecordSlot* at(std::size_t index) const = 0;
};

// The end (one past the last record) of the shortest match of `query` that starts at
// record `start`, or nullopt. A hit never runs past the records `records` holds.
[[nodiscard]] std::optional<std::size_t> matchAt(const Query& query, const RecordSequence& records,
                                                 std::size_t start);

}  // namespace selvanor::analysis
