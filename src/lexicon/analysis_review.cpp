// The review within the work file, and what both reviews share.
#include "lexicon/analysis_review.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "common/files.h"
#include "lexicon/review_context.h"
#include "store/engine/document_cursor.h"

namespace selvanor::review {
namespace {

// A later occurrence (record number) whose analysis differs from the word's first one.
struct Differing {
  std::uint32_t first;
  std::uint32_t record;
  friend bool operator<(const Differing& a, const Differing& b) {
    return a.first != b.first ? a.first < b.first : a.record < b.record;
  }
};

// One walk in key order: for every word its first occurrence, and every later occurrence
// whose comparable analysis differs from the first's. Sorted by (first, record), that is
// the report: groups in the order of their first occurrences. False on a damaged record.
bool findDiffering(DocumentCursor& document, std::vector<Differing>& out) {
  struct FirstSeen {
    std::uint32_t record;
    std::string comparable;
  };
  std::unordered_map<std::string, FirstSeen> firsts;
  std::string comparable;
  std::uint32_t record = 0;
  for (auto step = document.first(); step == DocumentCursor::kRead; step = document.next()) {
    ++record;
    const AnalysisRecord& r = document.current();
    comparableAnalysis(r.analysis, comparable);
    const auto it = firsts.find(r.word);
    if (it == firsts.end()) {
      firsts.emplace(r.word, FirstSeen{record, comparable});
    } else if (it->second.comparable != comparable) {
      out.push_back({it->second.record, record});
    }
  }
  if (document.lastMoveCorrupt()) return false;
  std::sort(out.begin(), out.end());
  return true;
}

// Writes the groups of the sorted differing occurrences, collecting their records and
// contexts pass by pass.
class WorkFileWriter {
 public:
  WorkFileWriter(DocumentCursor& document, ReportWriter& report, const GroupSink& sink,
                 ReviewOutcome& outcome)
      : document_(document), report_(report), sink_(sink), outcome_(outcome) {}

  // Groups of [begin, end), which start at a group boundary and end at one. False when
  // the document could not be read again or the report not written (outcome_ says which).
  [[nodiscard]] bool writePass(const Differing* begin, const Differing* end);

 private:
  const RecordContext& context(std::uint32_t record) const {
    return contexts_[std::lower_bound(wanted_.begin(), wanted_.end(), record) - wanted_.begin()];
  }
  [[nodiscard]] bool writeGroup(const Differing* begin, const Differing* end);

  DocumentCursor& document_;
  ReportWriter& report_;
  const GroupSink& sink_;
  ReviewOutcome& outcome_;
  std::vector<std::uint32_t> wanted_;  // sorted record numbers of this pass
  std::vector<RecordContext> contexts_;
  std::string lines_;
};

bool WorkFileWriter::writePass(const Differing* begin, const Differing* end) {
  wanted_.clear();
  for (const Differing* d = begin; d != end; ++d) {
    if (d == begin || d->first != d[-1].first) wanted_.push_back(d->first);
    wanted_.push_back(d->record);
  }
  std::sort(wanted_.begin(), wanted_.end());
  contexts_.assign(wanted_.size(), RecordContext{});
  std::size_t next = 0;  // the walk asks in ascending order
  const bool read = collectContexts(
      document_, wanted_.front(), wanted_.back(),
      [this, &next](std::uint32_t record, std::string_view) -> RecordContext* {
        if (next < wanted_.size() && wanted_[next] == record) return &contexts_[next++];
        return nullptr;
      });
  if (!read || next != wanted_.size()) {
    outcome_ = failedReview(result::kOpenError, msg::kDocumentDamaged, document_.fileName(), false);
    return false;
  }
  for (const Differing* g = begin; g != end;) {
    const Differing* groupEnd = g;
    while (groupEnd != end && groupEnd->first == g->first) ++groupEnd;
    if (!writeGroup(g, groupEnd)) return false;
    g = groupEnd;
  }
  return true;
}

bool WorkFileWriter::writeGroup(const Differing* begin, const Differing* end) {
  lines_.clear();
  if (outcome_.groups == 0) lines_ += '\n';  // one empty line before the first group
  ReviewGroup group;
  const auto add = [&](std::uint32_t record) {
    const RecordContext& c = context(record);
    appendReportLine(lines_, c.record, c);
    if (sink_) group.occurrences.push_back({c.record, document_.fileName(), c.recordNumber});
  };
  add(begin->first);
  for (const Differing* d = begin; d != end; ++d) add(d->record);
  if (!report_.write(lines_)) {
    outcome_ = failedReview(result::kTextFileError, msg::kReportNotWritten, outcome_.file, false);
    return false;
  }
  ++outcome_.groups;
  outcome_.lines += static_cast<std::size_t>(end - begin) + 1;
  if (sink_) {
    group.word = group.occurrences.front().record.word;
    sink_(group);
  }
  return true;
}

}  // namespace

ReviewOutcome failedReview(ResultCode code, const char* detail, const std::string& file,
                           bool comparison) {
  ReviewOutcome o;
  o.code = code;
  o.file = file;
  o.message = std::string(comparison ? msg::kCompareFailed : msg::kWorkReviewFailed) + "\n" +
              detail + " " + file;
  return o;
}

std::optional<std::string> checkCompareFields(const std::string& reference,
                                              const std::string& compared,
                                              const std::string& report) {
  if (reference.empty()) return std::string(msg::kChooseReference);
  if (compared.empty()) return std::string(msg::kChooseCompared);
  if (report.empty()) return std::string(msg::kChooseReport);
  return std::nullopt;
}

ReviewOutcome reviewWorkFile(const std::string& report, const std::string& document,
                             const GroupSink& sink, const ReviewLimits& limits) {
  if (sameFile(report, document)) {
    return failedReview(result::kTextFileError, msg::kReportOverInput, report, false);
  }
  if (!fileExists(document)) return failedReview(result::kOpenError, msg::kDocumentMissing, document, false);
  DocumentCursor cursor;
  if (cursor.open(document, OpenMode::ExistingOnly) != result::kOk) {
    return failedReview(result::kOpenError, msg::kDocumentUnreadable, document, false);
  }
  ReportWriter writer(report);
  if (!writer.isOpen()) return failedReview(result::kTextFileError, msg::kReportNotWritten, report, false);

  std::vector<Differing> differing;
  if (!findDiffering(cursor, differing)) {
    return failedReview(result::kOpenError, msg::kDocumentDamaged, document, false);
  }
  ReviewOutcome outcome;
  outcome.file = report;
  WorkFileWriter groups(cursor, writer, sink, outcome);
  const Differing* const end = differing.data() + differing.size();
  for (const Differing* pass = differing.data(); pass != end;) {
    // Whole groups until the pass holds enough records (at least one group).
    const Differing* passEnd = pass;
    std::size_t records = 0;
    while (passEnd != end && (passEnd == pass || records < limits.contextsPerPass)) {
      const std::uint32_t first = passEnd->first;
      ++records;
      while (passEnd != end && passEnd->first == first) ++passEnd, ++records;
    }
    if (!groups.writePass(pass, passEnd)) return outcome;
    pass = passEnd;
  }
  if (!writer.commit()) return failedReview(result::kTextFileError, msg::kReportNotWritten, report, false);
  outcome.file.clear();
  outcome.message = msg::kWorkReviewSaved;
  return outcome;
}

}  // namespace selvanor::review
