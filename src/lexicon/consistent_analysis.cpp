#include "lexicon/consistent_analysis.h"

#include <unordered_set>

#include "common/encoding.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"

namespace selvanor::review {
namespace {

// Reads the records to change through a short-lived second handle, so the document's
// cursor stays where it is. False when a listed record does not decode.
bool readTargets(const std::string& file, const std::vector<std::string>& serials,
                 std::string_view analysis, std::vector<AnalysisRecord>& targets,
                 ApplyOutcome& outcome) {
  Storage reader;
  if (!reader.open(file, nullptr, OpenMode::ExistingOnly)) return false;
  std::unordered_set<std::string> seen;
  for (const std::string& serial : serials) {
    if (!seen.insert(serial).second) continue;
    if (!reader.get(serial)) {
      outcome.missing.push_back(serial);
      continue;
    }
    auto record = codec::decodeRecord(reader.value());
    if (!record) return false;
    if (record->analysis == analysis) {
      ++outcome.alreadyEqual;
      continue;
    }
    targets.push_back(std::move(*record));
  }
  return true;
}

}  // namespace

ApplyOutcome applyAnalysis(DocumentCursor& document, const std::vector<std::string>& serials,
                           std::string_view analysis) {
  ApplyOutcome outcome;
  std::vector<AnalysisRecord> targets;
  if (!document.isOpen() ||
      !readTargets(document.fileName(), serials, analysis, targets, outcome)) {
    outcome = ApplyOutcome{};
    outcome.code = result::kOpenError;
    return outcome;
  }
  // Every record of the document changes, or none does (also across a kill).
  const bool grouped = document.beginChange();
  std::size_t done = 0;
  for (; done < targets.size(); ++done) {
    const AnalysisRecord& old = targets[done];
    ResultCode rc = document.removeLine(old.serial);
    if (rc == result::kOk) {
      rc = document.addLine(old.serial, old.word, analysis);
      if (rc != result::kOk) (void)document.addLine(old.serial, old.word, old.analysis);
    }
    if (rc != result::kOk) {
      // Best effort: the store has already reported the write it refused.
      while (done-- > 0) {
        const AnalysisRecord& back = targets[done];
        if (document.removeLine(back.serial) == result::kOk) {
          (void)document.addLine(back.serial, back.word, back.analysis);
        }
      }
      if (grouped) document.abortChange();
      outcome.code = rc;
      return outcome;
    }
    ++outcome.changed;
  }
  if (grouped && !document.commitChange()) {
    outcome.code = result::kInsertError;
    outcome.changed = 0;
  }
  return outcome;
}

std::string applyQuestion(std::size_t count, std::string_view analysis) {
  return std::to_string(count) + "개 어절의 분석을 [" + encoding::cp949ToUtf8Lossy(analysis) +
         "](으)로 바꾸시겠습니까?";
}

std::string applyOutcomeMessage(const ApplyOutcome& outcome) {
  if (!outcome) {
    return outcome.code == result::kOpenError
               ? "분석 문헌 파일을 읽을 수 없어 아무것도 바꾸지 않았습니다."
               : "분석을 저장하지 못해 바꾼 어절을 모두 되돌렸습니다.";
  }
  std::string out = std::to_string(outcome.changed) + "개 어절의 분석을 바꾸었습니다.";
  if (!outcome.missing.empty()) {
    out += " 문헌에 없는 어절 " + std::to_string(outcome.missing.size()) + "개는 건너뛰었습니다.";
  }
  return out;
}

std::vector<DocumentSerials> serialsByDocument(const std::vector<Occurrence>& occurrences) {
  std::vector<DocumentSerials> out;
  std::vector<std::unordered_set<std::string>> seen;
  for (const Occurrence& o : occurrences) {
    std::size_t d = 0;
    while (d < out.size() && out[d].document != o.document && !sameFile(out[d].document, o.document)) ++d;
    if (d == out.size()) {
      out.push_back({o.document, {}});
      seen.emplace_back();
    }
    if (seen[d].insert(o.record.serial).second) out[d].serials.push_back(o.record.serial);
  }
  return out;
}

std::size_t recordCount(const std::vector<DocumentSerials>& documents) {
  std::size_t n = 0;
  for (const DocumentSerials& d : documents) n += d.serials.size();
  return n;
}

std::string applyOutcomeMessage(const std::vector<DocumentApplyOutcome>& outcomes) {
  if (outcomes.size() == 1) return applyOutcomeMessage(outcomes.front().outcome);
  std::string out;
  for (const DocumentApplyOutcome& d : outcomes) {
    if (!out.empty()) out += '\n';
    out += d.document + ": " + applyOutcomeMessage(d.outcome);
  }
  return out;
}

}  // namespace selvanor::review
