// The CoNLL-U side of a record (CP949 text): which token lines become records, and how an
// analysis maps to the LEMMA and XPOS columns and back. Import and export share these, so
// that a document written out and read in again keeps its analyses.
#pragma once

#include <string>
#include <string_view>

#include "store/document/analysis_record.h"

namespace selvanor::conllu {

inline constexpr std::size_t kColumns = 10;

enum class LineKind {
  Word,       // a token line with an integer ID
  Range,      // a multiword-token range ("1-2")
  EmptyNode,  // an empty node ("1.1")
  BadColumns, // not kColumns tab-separated columns
  BadId,      // an ID that is none of the above
  EmptyForm,  // a word whose FORM is empty
};

struct TokenLine {
  LineKind kind = LineKind::BadColumns;
  std::size_t columns = 0;  // the number of tab-separated columns
  std::string_view id, form, lemma, upos, xpos;
};

// Takes a token line (neither blank nor a comment) apart.
[[nodiscard]] TokenLine readTokenLine(std::string_view line);

// An analysis from a token's LEMMA and XPOS: the "+"-separated pieces are paired in order
// (먹+었+다 and VV+EP+EF give 먹/VV + 었/EP + 다/EF), normalised and upper-cased as a
// build does. When the counts differ (a "+" inside a lemma) the whole LEMMA stands under
// the first tag, and `mismatch` says so. An XPOS of "_" falls back to the UPOS.
struct PairedAnalysis {
  std::string analysis;
  bool mismatch = false;
};
[[nodiscard]] PairedAnalysis analysisOf(const TokenLine& token, bool attachDa);

// The FORM, LEMMA and XPOS columns of a record. Whitespace runs in the word (the
// ideographic space included) become one blank, none at the ends; LEMMA and XPOS are the forms and tags of the morphemes
// (split at " + ", each at its last "/") joined by "+", whitespace removed. An empty
// column is "_".
struct Columns {
  std::string form, lemma, xpos;
};
[[nodiscard]] Columns columnsOf(const AnalysisRecord& record);

// True when the analysis's last morpheme is tagged SF (a sentence ends after it).
[[nodiscard]] bool endsSentence(std::string_view analysis);

}  // namespace selvanor::conllu
