// The two rewriting passes a statistics run may make on its merged counts before the
// report: re-analysis (재분석파일: an item's count moved onto the pieces it stands for) and
// the marker pass (특수기호무시: trailing marker symbols dropped, counts joined).
//
// Both read the counts as they stood before the pass and write into a copy that then
// replaces them, so an item's own entry is judged on its original count even when an
// earlier item of the walk added to it; the walks go in key order. Results are those of
// the file-based passes this replaces, effect for effect.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stats/count_table.h"

namespace selvanor::stats {

// morpheme/TAG; the tag is upper-cased and empty when the field has no "/".
struct ReanalysisPiece {
  std::string morpheme;
  std::string tag;
};

struct ReanalysisEntry {
  ReanalysisPiece item;                 // what to re-analyse
  std::vector<ReanalysisPiece> pieces;  // its replacement, 1 to kMaxReanalysisPieces
  std::size_t line = 0;                 // 1-based line of the file
};

inline constexpr std::size_t kMaxReanalysisLines = 1000;
inline constexpr std::size_t kMaxReanalysisLineBytes = 1023;
inline constexpr std::size_t kMaxReanalysisPieces = 20;

struct ReanalysisList {
  std::vector<ReanalysisEntry> entries;  // file order
  std::vector<std::string> notices;      // lines not taken, each naming its line (UTF-8)
};

// Cuts a field at the first "/" after its first character (so "/" can itself be a
// morpheme, as in the statistics files); no such "/" leaves the tag empty.
[[nodiscard]] ReanalysisPiece splitReanalysisField(std::string_view field);

// Reads a re-analysis file (CP949). The first kMaxReanalysisLines lines are read; each is
// trimmed and cut at runs of blanks and tabs into fields: the item, then its pieces. Blank
// lines are passed over; a line longer than kMaxReanalysisLineBytes, one with a single
// field, or one with more than kMaxReanalysisPieces pieces is not taken, and a notice
// names it, as it does lines past the limit. nullopt when the file cannot be read.
[[nodiscard]] std::optional<ReanalysisList> readReanalysisFile(const std::string& path);

// Vocabulary re-analysis over the vocabulary column: an item that is the item text of an
// entry (the first such entry; its tag is not compared) gives its whole count (and
// documents) to each piece's morpheme, then is removed.
void jaebunUhwe(CountTable& counts, const std::vector<ReanalysisEntry>& entries);

// Tagged re-analysis over each scope tag's column, in list order: an entry matches when
// both its item text and its tag equal the record's; the matched record is removed first,
// then each piece gains its count in the column of the piece's tag. Entries with a piece
// that has no tag cannot be placed and are left out; their lines are returned.
std::vector<std::size_t> jabunPumsa(CountTable& counts, const std::vector<std::string>& scopeTags,
                                    const std::vector<ReanalysisEntry>& entries);

// The item without its trailing marker symbols ("#", "%", "&", "*", "@"), when it ends in
// at least one and something else stands before them; nullopt otherwise (also for an
// item made only of markers, which stays as it is).
[[nodiscard]] std::optional<std::string> strippedOfMarkers(std::string_view item);

// Marker pass over the vocabulary column / each scope tag's column: a marked item's count
// (and documents) join the stripped item's, and the marked item goes.
void specUhwe(CountTable& counts);
void specPumsa(CountTable& counts, const std::vector<std::string>& scopeTags);

}  // namespace selvanor::stats
