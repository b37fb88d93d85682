#include "analysis/collocations.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "analysis/document_scan.h"

namespace selvanor::analysis {
namespace {

double cell(double observed, double expected) {
  return observed > 0 && expected > 0 ? observed * std::log(observed / expected) : 0.0;
}

double keyOf(const Collocate& c, CollocateSort key) {
  switch (key) {
    case CollocateSort::MI: return c.measures.mi;
    case CollocateSort::TScore: return c.measures.t;
    case CollocateSort::LogLikelihood: return c.measures.logLikelihood;
    case CollocateSort::LogDice: return c.measures.logDice;
    case CollocateSort::Observed: return static_cast<double>(c.observed);
  }
  return 0;
}

// Calls `unit` for each unit of one record.
template <typename Fn>
void eachUnit(const RecordSlot& record, CollocateUnit kind, Fn&& unit) {
  if (kind == CollocateUnit::Word) {
    unit(std::string_view(record.record().word));
    return;
  }
  for (const MorphemeView& m : record.morphemes()) unit(kind == CollocateUnit::Tag ? m.tag : m.whole);
}

}  // namespace

std::optional<CollocateUnit> collocateUnitNamed(std::string_view name) {
  if (name == "morpheme") return CollocateUnit::Morpheme;
  if (name == "word") return CollocateUnit::Word;
  if (name == "tag") return CollocateUnit::Tag;
  return std::nullopt;
}

std::optional<CollocateSort> collocateSortNamed(std::string_view name) {
  if (name == "mi") return CollocateSort::MI;
  if (name == "t") return CollocateSort::TScore;
  if (name == "ll") return CollocateSort::LogLikelihood;
  if (name == "logdice") return CollocateSort::LogDice;
  if (name == "o") return CollocateSort::Observed;
  return std::nullopt;
}

Measures measure(double o, double fc, double fn, double w, double n) {
  Measures m;
  m.expected = n > 0 ? w * fc / n : 0;
  m.mi = std::log2(o / m.expected);
  m.t = (o - m.expected) / std::sqrt(o);
  m.logDice = 14 + std::log2(2 * o / (fn + fc));
  // The 2×2 table: rows in span / outside, columns c / not c.
  const double o11 = o, o12 = w - o, o21 = fc - o, o22 = n - w - fc + o;
  const double row1 = o11 + o12, row2 = o21 + o22, col1 = o11 + o21, col2 = o12 + o22;
  m.logLikelihood = 2 * (cell(o11, row1 * col1 / n) + cell(o12, row1 * col2 / n) + cell(o21, row2 * col1 / n) +
                         cell(o22, row2 * col2 / n));
  return m;
}

bool CollocationResult::anyFailed() const {
  return std::any_of(documents.begin(), documents.end(), [](const DocumentCount& d) { return !d.failure.empty(); });
}

void sortCollocates(std::vector<Collocate>& collocates, CollocateSort key) {
  std::sort(collocates.begin(), collocates.end(), [key](const Collocate& a, const Collocate& b) {
    const double ka = keyOf(a, key), kb = keyOf(b, key);
    if (ka != kb) return ka > kb;
    return compareCp949(a.text, b.text) < 0;
  });
}

CollocationResult runCollocations(const CollocationRequest& request, const ProgressFn& progress) {
  CollocationResult result;
  ScanProgress scanProgress(progress, progress ? recordsOf(request.documents) : 0);
  ScanRequest scan;
  scan.query = &request.query;
  scan.left = request.left;
  scan.right = request.right;

  // The scope's units are counted as the query's walk reads them, while the distinct ones
  // fit the request's budget; past it those counts are dropped and a second walk counts only the
  // collocates found. (The reference file is not used: it leaves records unread.)
  scan.useReference = false;
  std::unordered_map<std::string, std::uint64_t> scope;
  std::uint64_t units = 0;
  bool scopeCounted = true;
  std::string scopeKey;
  scan.onRead = [&](const RecordSlot& record) {
    eachUnit(record, request.unit, [&](std::string_view unit) {
      ++units;
      if (!scopeCounted) return;
      scopeKey.assign(unit);
      ++scope[scopeKey];
    });
    if (scopeCounted && scope.size() > request.scopeBudget) {
      scopeCounted = false;
      scope = {};
    }
  };

  std::unordered_map<std::string, std::uint64_t> observed;
  std::string key;
  const HitHandler onHit = [&](const HitView& view) {
    auto count = [&](std::string_view unit) {
      key.assign(unit);
      ++observed[key];
    };
    for (const RecordSlot* r : view.left) eachUnit(*r, request.unit, count);
    for (const RecordSlot* r : view.right) eachUnit(*r, request.unit, count);
  };
  for (std::size_t d = 0; d < request.documents.size() && !scanProgress.stopped(); ++d) {
    const DocumentScan s = scanDocument(scan, request.documents[d], d, onHit, scanProgress);
    result.hits += s.hits;
    result.documents.push_back({request.documents[d], s.hits, s.tokens, s.throughReference, s.failure});
  }
  if (scanProgress.stopped()) {
    result.cancelled = true;
    return result;
  }
  for (auto it = observed.begin(); it != observed.end();) {
    it = it->second < request.minimum ? observed.erase(it) : std::next(it);
  }

  std::unordered_map<std::string_view, std::uint64_t> frequency;
  frequency.reserve(observed.size());
  for (const auto& [text, o] : observed) {
    const auto counted = scope.find(text);
    frequency.emplace(text, counted == scope.end() ? 0 : counted->second);
  }
  if (!scopeCounted) {
    // The second walk: the scope's frequencies, looked up by view into the analyses.
    units = 0;
    std::vector<MorphemeView> morphemes;
    auto count = [&](std::string_view unit) {
      ++units;
      if (auto it = frequency.find(unit); it != frequency.end()) ++it->second;
    };
    const RecordHandler onRecord = [&](const AnalysisRecord& record) {
      if (request.unit == CollocateUnit::Word) {
        count(record.word);
        return;
      }
      splitMorphemes(record.analysis, morphemes);
      for (const MorphemeView& m : morphemes) count(request.unit == CollocateUnit::Tag ? m.tag : m.whole);
    };
    ScanProgress again(progress, progress ? recordsOf(request.documents) : 0);
    for (std::size_t d = 0; d < request.documents.size(); ++d) {
      const DocumentScan s = walkDocument(request.documents[d], onRecord, again);
      if (!s.failure.empty() && result.documents[d].failure.empty()) result.documents[d].failure = s.failure;
      if (again.stopped()) {
        result.cancelled = true;
        return result;
      }
    }
  }
  result.scopeUnits = units;
  result.spanSlots = result.hits * (request.left + request.right);
  result.collocates.reserve(observed.size());
  for (const auto& [text, o] : observed) {
    Collocate c;
    c.text = text;
    c.observed = o;
    c.frequency = frequency[text];
    c.measures = measure(static_cast<double>(o), static_cast<double>(c.frequency), static_cast<double>(result.hits),
                         static_cast<double>(result.spanSlots), static_cast<double>(units));
    result.collocates.push_back(std::move(c));
  }
  sortCollocates(result.collocates, request.sort);
  return result;
}

}  // namespace selvanor::analysis
