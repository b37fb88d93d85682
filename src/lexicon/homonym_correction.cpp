#include "lexicon/homonym_correction.h"

#include "common/cp949.h"
#include "stats/homonym_exempt.h"
#include "stats/morpheme_splitter.h"
#include "store/grid/grid_edits.h"
#include "store/grid/row_cache.h"

namespace selvanor {
namespace {

// A morpheme of the row as it was read before the row's first change.
struct Candidate {
  std::string key;      // the look-up key (trailing symbol dropped)
  std::size_t offset;   // where the key's bytes start in the original analysis
};

std::vector<Candidate> candidatesOf(const std::string& analysis) {
  std::vector<Candidate> out;
  MorphemeSplitter splitter;
  splitter.SetText(analysis);
  while (const Morpheme* m = splitter.NextMorpheme()) {
    if (!m->hasTag || IsHomonymExempt(m->tag, m->text)) continue;
    out.push_back({homonymKey(m->text), m->offset});
  }
  return out;
}

}  // namespace

std::string homonymKey(std::string_view morpheme) {
  static constexpr std::string_view kTrailing = "~!@#$%^&*";
  const std::size_t last = cp949::lastCharStart(morpheme);
  if (morpheme.size() > 1 && last != std::string_view::npos &&
      cp949::charLength(morpheme, last) == 1 &&
      kTrailing.find(morpheme[last]) != std::string_view::npos) {
    morpheme.remove_suffix(1);
  }
  return std::string(morpheme);
}

std::optional<std::string> replaceMorpheme(std::string_view analysis, std::size_t offset,
                                           std::string_view morpheme, std::string_view form) {
  std::size_t at = offset;
  if (offset > analysis.size() || analysis.compare(offset, morpheme.size(), morpheme) != 0) {
    at = cp949::find(analysis, morpheme);
    if (at == std::string_view::npos) return std::nullopt;
  }
  std::string out;
  out.reserve(analysis.size() + form.size());
  out.append(analysis.substr(0, at));
  out.append(form);
  out.append(analysis.substr(at + morpheme.size()));
  return out;
}

CorrectionOutcome runHomonymCorrection(RowCache& cache, HomonymLookup& lookup,
                                       HomonymCorrectionListener& listener) {
  for (int row = 0; row < cache.recordCount(); ++row) {
    if (!listener.keepGoing()) return CorrectionOutcome::Stopped;
    listener.showRow(row);
    const std::optional<AnalysisRecord> original = cache.readRecord(row);
    if (!original) continue;
    // Offsets refer to the analysis before the row's first change; each replacement moves
    // the later ones by the difference in length.
    std::ptrdiff_t shift = 0;
    for (const Candidate& c : candidatesOf(original->analysis)) {
      const std::vector<HomonymSense> senses = lookup.senses(c.key);
      if (lookup.failed()) return CorrectionOutcome::DictionaryFailed;
      if (senses.empty()) continue;
      const ChoiceResult result = listener.choose(c.key, senses);
      if (result.choice == SenseChoice::Stop) return CorrectionOutcome::Stopped;
      if (result.choice != SenseChoice::Chosen || result.numberedForm.empty()) continue;
      const std::optional<AnalysisRecord> current = cache.readRecord(row);
      if (!current) continue;
      const auto offset = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(c.offset) + shift);
      std::optional<std::string> replaced =
          replaceMorpheme(current->analysis, offset, c.key, result.numberedForm);
      if (!replaced) continue;
      AnalysisRecord edited = *current;
      edited.analysis = std::move(*replaced);
      if (gridedit::rewrite(cache, row, *current, edited)) {
        shift += static_cast<std::ptrdiff_t>(result.numberedForm.size()) -
                 static_cast<std::ptrdiff_t>(c.key.size());
        listener.rowChanged(row);
      }
    }
  }
  return CorrectionOutcome::Completed;
}

}  // namespace selvanor
