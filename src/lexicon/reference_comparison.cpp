// The comparison of two reference files (참조 파일과 비교).
#include <db.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/files.h"
#include "common/derived_paths.h"
#include "lexicon/analysis_review.h"
#include "lexicon/review_context.h"
#include "store/engine/codecs.h"
#include "store/engine/document_cursor.h"
#include "store/engine/storage.h"

namespace selvanor::review {
namespace {

// One reference file read in key order. Every entry that passes is checked to be a list
// of records, so a file of another kind fails however the join meets it.
class ReferenceWalk {
 public:
  [[nodiscard]] bool open(const std::string& path) {
    if (!storage_.openWithCursor(path, nullptr, OpenMode::ExistingOnly)) return false;
    has_ = storage_.first();
    return has_ || storage_.lastResult() == DB_NOTFOUND;
  }
  bool has() const { return has_; }
  std::string_view word() const { return storage_.key(); }
  const std::string& path() const { return storage_.fileName(); }

  // The current entry's encoded items; false when it is not a list of records.
  [[nodiscard]] bool items(std::vector<std::string_view>& out) const {
    auto split = codec::splitList(storage_.value(), 3);
    if (!split) return false;
    out = std::move(*split);
    return true;
  }
  // Moves to the next entry; false on a read error (the end is not one).
  [[nodiscard]] bool advance() {
    has_ = storage_.next();
    return has_ || storage_.lastResult() == DB_NOTFOUND;
  }

 private:
  Storage storage_;
  bool has_ = false;
};

// A reported word before its contexts are known.
struct PendingGroup {
  AnalysisRecord first;                   // the word's first item in the reference file
  std::vector<AnalysisRecord> differing;  // items of the compared file, in stored order
};

using ContextsBySerial = std::unordered_map<std::string, RecordContext>;

class Comparison {
 public:
  Comparison(const std::string& report, const std::string& reference,
             const std::string& compared, const GroupSink& sink, const ReviewLimits& limits)
      : reportPath_(report),
        referencePath_(reference),
        comparedPath_(compared),
        referenceDocumentPath_(derived::documentOfReference(reference)),
        comparedDocumentPath_(derived::documentOfReference(compared)),
        sink_(sink),
        limits_(limits) {}

  [[nodiscard]] ReviewOutcome run();

 private:
  [[nodiscard]] bool openInputs();
  [[nodiscard]] bool openDocument(DocumentCursor& cursor, const std::string& path);
  [[nodiscard]] bool joinStep();
  [[nodiscard]] bool compareWord();
  [[nodiscard]] bool writePending();
  [[nodiscard]] bool fail(ResultCode code, const char* detail, const std::string& file) {
    outcome_ = failedReview(code, detail, file, true);
    return false;
  }

  const std::string reportPath_, referencePath_, comparedPath_;
  const std::string referenceDocumentPath_, comparedDocumentPath_;
  const GroupSink& sink_;
  const ReviewLimits& limits_;
  ReferenceWalk reference_, compared_;
  DocumentCursor referenceDocument_, comparedDocument_;
  std::optional<ReportWriter> report_;
  std::vector<PendingGroup> pending_;
  std::size_t pendingRecords_ = 0;
  bool joinDone_ = false;
  ReviewOutcome outcome_;
  // Scratch reused across words.
  std::vector<std::string_view> referenceItems_, comparedItems_;
  std::string comparableFirst_, comparable_;
};

bool Comparison::openDocument(DocumentCursor& cursor, const std::string& path) {
  if (!fileExists(path)) return fail(result::kOpenError, msg::kSiblingMissing, path);
  if (cursor.open(path, OpenMode::ExistingOnly) != result::kOk) {
    return fail(result::kOpenError, msg::kDocumentUnreadable, path);
  }
  if (cursor.first() != DocumentCursor::kRead && cursor.lastMoveCorrupt()) {
    return fail(result::kOpenError, msg::kDocumentDamaged, path);
  }
  return true;
}

bool Comparison::openInputs() {
  for (const std::string* input : {&referencePath_, &comparedPath_, &referenceDocumentPath_,
                                   &comparedDocumentPath_}) {
    if (sameFile(reportPath_, *input)) {
      return fail(result::kTextFileError, msg::kReportOverInput, reportPath_);
    }
  }
  for (const std::string* input : {&referencePath_, &comparedPath_}) {
    if (!fileExists(*input)) return fail(result::kOpenError, msg::kReferenceMissing, *input);
  }
  if (!reference_.open(referencePath_)) {
    return fail(result::kOpenError, msg::kReferenceUnreadable, referencePath_);
  }
  if (!compared_.open(comparedPath_)) {
    return fail(result::kOpenError, msg::kReferenceUnreadable, comparedPath_);
  }
  if (!openDocument(referenceDocument_, referenceDocumentPath_) ||
      !openDocument(comparedDocument_, comparedDocumentPath_)) {
    return false;
  }
  report_.emplace(reportPath_);
  if (!report_->isOpen()) return fail(result::kTextFileError, msg::kReportNotWritten, reportPath_);
  return true;
}

// One step of the merge join: a word only one file holds is checked and passed over; a
// word both hold is compared.
bool Comparison::joinStep() {
  std::vector<std::string_view>& scratch = referenceItems_;
  if (reference_.has() && (!compared_.has() || reference_.word() < compared_.word())) {
    if (!reference_.items(scratch)) return fail(result::kOpenError, msg::kNotReference, referencePath_);
    return reference_.advance() || fail(result::kOpenError, msg::kNotReference, referencePath_);
  }
  if (compared_.has() && (!reference_.has() || compared_.word() < reference_.word())) {
    if (!compared_.items(scratch)) return fail(result::kOpenError, msg::kNotReference, comparedPath_);
    return compared_.advance() || fail(result::kOpenError, msg::kNotReference, comparedPath_);
  }
  if (!reference_.has()) {
    joinDone_ = true;
    return true;
  }
  if (!compareWord()) return false;
  if (!reference_.advance()) return fail(result::kOpenError, msg::kNotReference, referencePath_);
  if (!compared_.advance()) return fail(result::kOpenError, msg::kNotReference, comparedPath_);
  return true;
}

bool Comparison::compareWord() {
  if (!reference_.items(referenceItems_)) {
    return fail(result::kOpenError, msg::kNotReference, referencePath_);
  }
  if (!compared_.items(comparedItems_)) {
    return fail(result::kOpenError, msg::kNotReference, comparedPath_);
  }
  if (referenceItems_.empty() || comparedItems_.empty()) return true;
  auto first = codec::decodeRecord(referenceItems_.front());
  if (!first) return fail(result::kOpenError, msg::kNotReference, referencePath_);
  comparableAnalysis(first->analysis, comparableFirst_);
  PendingGroup group;
  for (const std::string_view encoded : comparedItems_) {
    auto item = codec::decodeRecord(encoded);
    if (!item) return fail(result::kOpenError, msg::kNotReference, comparedPath_);
    if (item->word != first->word) continue;
    comparableAnalysis(item->analysis, comparable_);
    if (comparable_ != comparableFirst_) group.differing.push_back(std::move(*item));
  }
  if (group.differing.empty()) return true;
  pendingRecords_ += group.differing.size() + 1;
  group.first = std::move(*first);
  pending_.push_back(std::move(group));
  return true;
}

bool Comparison::writePending() {
  ContextsBySerial referenceContexts, comparedContexts;
  for (const PendingGroup& g : pending_) {
    referenceContexts.try_emplace(g.first.serial);
    for (const AnalysisRecord& r : g.differing) comparedContexts.try_emplace(r.serial);
  }
  const auto collect = [this](DocumentCursor& document, ContextsBySerial& contexts) {
    return collectContexts(document, 1, kLastRecord,
                           [&contexts](std::uint32_t, std::string_view serial) -> RecordContext* {
                             const auto it = contexts.find(std::string(serial));
                             // Serials are keys, so unique; should one repeat, the first wins.
                             if (it == contexts.end() || it->second.recordNumber != 0) return nullptr;
                             return &it->second;
                           },
                           /*withRecord=*/false) ||
           fail(result::kOpenError, msg::kDocumentDamaged, document.fileName());
  };
  if (!collect(referenceDocument_, referenceContexts) ||
      !collect(comparedDocument_, comparedContexts)) {
    return false;
  }
  std::string lines;
  for (const PendingGroup& g : pending_) {
    lines.clear();
    ReviewGroup group;
    const auto add = [&](const AnalysisRecord& item, const RecordContext& c, const std::string& doc) {
      appendReportLine(lines, item, c);
      if (c.recordNumber == 0) ++outcome_.withoutContext;
      if (sink_) group.occurrences.push_back({item, doc, c.recordNumber});
    };
    add(g.first, referenceContexts.at(g.first.serial), referenceDocumentPath_);
    for (const AnalysisRecord& r : g.differing) {
      add(r, comparedContexts.at(r.serial), comparedDocumentPath_);
    }
    lines += '\n';  // every group is followed by one empty line
    if (!report_->write(lines)) return fail(result::kTextFileError, msg::kReportNotWritten, reportPath_);
    ++outcome_.groups;
    outcome_.lines += g.differing.size() + 1;
    if (sink_) {
      group.word = g.first.word;
      sink_(group);
    }
  }
  pending_.clear();
  pendingRecords_ = 0;
  return true;
}

ReviewOutcome Comparison::run() {
  if (!openInputs()) return outcome_;
  while (!joinDone_) {
    while (!joinDone_ && pendingRecords_ < limits_.contextsPerPass) {
      if (!joinStep()) return outcome_;
    }
    if (!pending_.empty() && !writePending()) return outcome_;
  }
  if (!report_->commit()) {
    (void)fail(result::kTextFileError, msg::kReportNotWritten, reportPath_);
    return outcome_;
  }
  outcome_.code = result::kOk;
  outcome_.message = msg::kCompareSaved;
  return outcome_;
}

}  // namespace

ReviewOutcome compareReferenceFiles(const std::string& report, const std::string& reference,
                                    const std::string& compared, const GroupSink& sink,
                                    const ReviewLimits& limits) {
  return Comparison(report, reference, compared, sink, limits).run();
}

}  // namespace selvanor::review
