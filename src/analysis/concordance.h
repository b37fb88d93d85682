// The concordance: every hit of a query in a list of documents as a KWIC line (left
// context, hit, right context), with counts per document, sorted on demand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/concordance_query.h"
#include "common/progress.h"

namespace selvanor::analysis {

// One KWIC line. Text is CP949.
struct Hit {
  std::uint32_t document = 0;  // index in the request's documents
  std::uint32_t record = 0;    // 1-based record number of the hit's first record
  std::uint64_t order = 0;     // place in document order (ties of a sort keep it)
  std::string serial;          // the hit's first record
  std::vector<std::string> left;  // document order: left.back() is the word next to the hit
  std::vector<std::string> words;
  std::vector<std::string> analyses;
  std::vector<std::string> right;

  [[nodiscard]] std::string leftText() const;   // words joined by one blank
  [[nodiscard]] std::string hitText() const;
  [[nodiscard]] std::string rightText() const;
  [[nodiscard]] std::string analysisText() const;  // joined by " | "
};

enum class SortKey { Document, Hit, Left1, Left2, Left3, Right1, Right2, Right3 };
// "hit", "L1"-"L3", "R1"-"R3", "doc" (the command line's names).
[[nodiscard]] std::optional<SortKey> sortKeyNamed(std::string_view name);

// CP949 character order: characters compare by their code, one after another; a string
// that is a prefix of the other comes first. Negative, zero or positive.
[[nodiscard]] int compareCp949(std::string_view a, std::string_view b);

// Stable: hits with equal keys stay in document order. Missing context words (at a
// document's edge) sort before every word.
void sortHits(std::vector<Hit>& hits, SortKey key);

struct DocumentCount {
  std::string path;
  std::uint64_t hits = 0;
  std::uint64_t tokens = 0;  // the document's records
  bool throughReference = false;
  std::string failure;       // UTF-8; empty when read whole
  [[nodiscard]] double perMillion() const;
};

struct ConcordanceRequest {
  Query query;
  std::vector<std::string> documents;  // native paths, searched in this order
  std::size_t context = 5;             // words either side
  SortKey sort = SortKey::Document;
  // At most this many lines are kept (the first ones in sort order); 0 keeps every hit.
  // Counts always cover every hit.
  std::size_t limit = 0;
  bool useReference = true;
};

struct ConcordanceResult {
  std::vector<Hit> hits;
  std::vector<DocumentCount> documents;
  std::uint64_t totalHits = 0;
  std::uint64_t totalTokens = 0;  // words of the scope (the documents read)
  bool cancelled = false;
  [[nodiscard]] double perMillion() const;
  [[nodiscard]] bool anyFailed() const;
};

// Runs the query over the documents. Memory holds the kept lines and one document's
// window of records. `progress` is told records read out of the documents' total.
[[nodiscard]] ConcordanceResult runConcordance(const ConcordanceRequest& request,
                                               const ProgressFn& progress = {});

}  // namespace selvanor::analysis
