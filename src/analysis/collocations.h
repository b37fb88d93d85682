// Collocations: the units that occur near the hits of a query, with association measures.
//
// With N the units of the scope, f(n) the hits, W = f(n)·(L+R) the span slots, O the
// co-occurrences of a collocate c in the spans and f(c) its frequency in the scope:
//   E = W·f(c)/N, MI = log2(O/E), t = (O−E)/√O, logDice = 14 + log2(2·O/(f(n)+f(c))),
//   G² = 2 Σ Oij·ln(Oij/Eij) over O11 = O, O12 = W−O, O21 = f(c)−O, O22 = N−W−f(c)+O,
//   Eij = row total × column total / N; a cell with Oij ≤ 0 adds nothing.
// N counts morphemes for the morpheme and tag units and records (words) for the word unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/concordance.h"
#include "analysis/concordance_query.h"
#include "common/progress.h"

namespace selvanor::analysis {

enum class CollocateUnit { Morpheme, Word, Tag };
enum class CollocateSort { MI, TScore, LogLikelihood, LogDice, Observed };
// "morpheme", "word", "tag"; "mi", "t", "ll", "logdice", "o".
[[nodiscard]] std::optional<CollocateUnit> collocateUnitNamed(std::string_view name);
[[nodiscard]] std::optional<CollocateSort> collocateSortNamed(std::string_view name);

struct Measures {
  double expected = 0, mi = 0, t = 0, logLikelihood = 0, logDice = 0;
};
// The measures of one collocate (the formulas above). O ≥ 1, N > 0.
[[nodiscard]] Measures measure(double observed, double collocateFrequency, double hits, double spanSlots,
                               double scopeUnits);

struct Collocate {
  std::string text;  // CP949: "FORM/TAG", the word, or the tag
  std::uint64_t observed = 0;
  std::uint64_t frequency = 0;  // f(c) in the scope
  Measures measures;
};

struct CollocationRequest {
  Query query;
  std::vector<std::string> documents;
  std::size_t left = 5, right = 5;
  CollocateUnit unit = CollocateUnit::Morpheme;
  std::uint64_t minimum = 1;  // least O a collocate needs to be listed
  CollocateSort sort = CollocateSort::LogLikelihood;
  // Distinct units the first walk counts the scope's frequencies of; a larger vocabulary
  // is counted again by a second walk, for the collocates found only.
  std::size_t scopeBudget = 1u << 20;
};

struct CollocationResult {
  std::vector<Collocate> collocates;  // sorted, best first
  std::uint64_t hits = 0;             // f(n)
  std::uint64_t spanSlots = 0;           // W
  std::uint64_t scopeUnits = 0;       // N
  std::vector<DocumentCount> documents;
  bool cancelled = false;
  [[nodiscard]] bool anyFailed() const;
};

// One walk of the documents finds the hits, counts their spans and the scope; memory holds
// the distinct collocates and at most `scopeBudget` scope counts (past that a second walk
// counts the scope for the collocates found only).
[[nodiscard]] CollocationResult runCollocations(const CollocationRequest& request,
                                                const ProgressFn& progress = {});

// Sorts best first on `key` (descending), ties in CP949 order of the collocate.
void sortCollocates(std::vector<Collocate>& collocates, CollocateSort key);

}  // namespace selvanor::analysis
