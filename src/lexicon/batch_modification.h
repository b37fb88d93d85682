// Batch modification of documents (분석 문헌 수정): one correction applied to every document
// of a selection, free of any toolkit. The dialog (or the command line) turns the selection
// into documents here, hands in the per-document operation, shows the status lines and the
// final message this core words, and offers the stop hooks.
//
// Selection: nodes in the order they were selected; a document stands for itself, a group
// for its documents in tree order. Each document is processed once per batch, at its first
// place: a second auto-correction pass could rewrite records the first pass just wrote.
//
// The operations are injected (DocumentOperation), so this core does not depend on the
// façade that implements auto-correction; the work-error check is provided here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/progress.h"
#include "common/result_codes.h"
#include "store/document/analysis_record.h"
#include "store/corpus/document_list.h"

namespace selvanor {
class TagManager;
}

namespace selvanor::batch {

namespace msg {
inline constexpr const char* kNeedHomonymDictionary = "동음어 사전을 선택해 주세요";
inline constexpr const char* kCheckDocumentDone = "오류 검사를 완료했습니다.";
inline constexpr const char* kChooseList = "자동 수정 목록 파일을 선택해 주세요";
// Failure texts of the work-error check of one document.
inline constexpr const char* kMissing = "문헌 파일이 없습니다.";
inline constexpr const char* kCannotOpen = "문헌 파일을 열 수 없습니다.";
inline constexpr const char* kUnreadableRecords = "읽을 수 없는 기록이 있습니다(분석 문헌이 아닐 수 있습니다).";
}  // namespace msg

// The three buttons.
enum class Operation { AutoCorrection, HomonymCorrection, WorkErrorCheck };

// "형태소->단어", "동음어 수정", "작업 오류 수정"
[[nodiscard]] const char* operationName(Operation op);

struct BatchDocument {
  std::string path;           // native path as the list or the user gave it
  bool throughGroup = false;  // reached through a selected group (not selected by itself)
};

// The documents of `selection` (nodes of `list`, in selection order), each once, at its
// first place. Documents are the same when their paths name the same file (or, for files
// that do not exist, when the paths are equal after normalisation).
[[nodiscard]] std::vector<BatchDocument> documentsOfSelection(
    const corpus::DocumentList& list, const std::vector<corpus::NodeRef>& selection);
// Documents named by themselves (the command line's DOC...), each once, in order.
[[nodiscard]] std::vector<BatchDocument> documentsOfPaths(const std::vector<std::string>& paths);

// What happened to one document.
struct DocumentReport {
  bool failed = false;
  bool stopped = false;             // "멈추기" ended this document early
  std::size_t changedRecords = 0;   // auto-correction, homonym correction
  std::size_t failingRecords = 0;   // work-error check
  std::string failure;              // UTF-8: what failed (when failed)
};

// The stop hooks, set from the UI (or a test) while a batch runs, and the progress of the
// whole batch.
class BatchControl {
 public:
  // Progress units of one document: a batch of N documents runs from 0 to N x this.
  static constexpr std::uint64_t kDocumentUnits = 1000;

  // Ends the document in progress; the batch goes on with the next one.
  void stopCurrent() { stopCurrent_ = true; }
  // Ends the batch after the document in progress.
  void cancel() { cancelled_ = true; }
  [[nodiscard]] bool currentStopped() const { return stopCurrent_; }
  [[nodiscard]] bool cancelled() const { return cancelled_; }
  // Called by the runner before each document (`index` of `count`).
  void startDocument(std::size_t index = 0, std::size_t count = 1);

  // Where the batch's progress goes, in kDocumentUnits per document; a false answer
  // cancels the batch and stops the document in progress.
  void setProgress(ProgressFn progress) { progress_ = std::move(progress); }
  // For the operation: `done` of `total` records of the document in progress (total 0:
  // not known). False once the batch is cancelled.
  bool reportRecords(std::uint64_t done, std::uint64_t total);
  // The same as a ProgressFn for the core loops; valid while this object lives.
  [[nodiscard]] ProgressFn recordProgress();
  // Called by the runner after each document: the batch has come to the next document.
  bool reportDocumentDone();

 private:
  bool report(std::uint64_t units);

  ProgressFn progress_;
  std::uint64_t index_ = 0;
  std::uint64_t count_ = 1;
  bool stopCurrent_ = false;
  bool cancelled_ = false;
};

// Processes one document; it should look at control.currentStopped() as it goes and may
// tell control.reportRecords() how far it has come. A document an operation broke off
// because the batch was cancelled, leaving it unchanged, is reported failed with
// kCancelledMessage (common/progress.h).
using DocumentOperation = std::function<DocumentReport(const BatchDocument&, BatchControl&)>;

struct BatchListener {
  // Before a document is processed: a view that has it open lets its handle go.
  std::function<void(const BatchDocument&)> beforeDocument;
  // After it: the status line and the report (the view reloads a changed open document).
  std::function<void(const BatchDocument&, const DocumentReport&, std::string_view statusLine)>
      afterDocument;
};

struct DocumentOutcome {
  BatchDocument document;
  DocumentReport report;
};

struct BatchOutcome {
  std::vector<DocumentOutcome> documents;  // in processing order
  std::size_t failed = 0;
  bool cancelled = false;    // documents were left unprocessed
  std::string finalMessage;  // UTF-8; empty when there was nothing to do (no message at all)
  [[nodiscard]] bool ran() const { return !documents.empty(); }
};

// Runs `operation` over `documents` in order. With no documents it does nothing.
[[nodiscard]] BatchOutcome runBatch(Operation op, const std::vector<BatchDocument>& documents,
                                    const DocumentOperation& operation,
                                    const BatchListener& listener, BatchControl& control);

// The status-bar line after a document: "%s [형태소->단어]를 완료했습니다." and its kin
// ("%s [동음어 수정]을 완료 했습니다." for a document selected by itself), or for a failed
// one the document, the operation and what failed.
[[nodiscard]] std::string statusLine(Operation op, const BatchDocument& document,
                                     const DocumentReport& report);
// "모든 [형태소->단어]를 완료했습니다." and its kin when none failed; otherwise how many
// failed, then each failed document with what failed, one per line.
[[nodiscard]] std::string finalMessage(Operation op, const BatchOutcome& outcome,
                                       std::size_t selectedDocuments);

// The view command's refusal when the tag set could not be loaded from `tagFile`:
// "태그 표지 파일[<path>]을 읽어들일수 없습니다." (the dialog is not opened).
[[nodiscard]] std::string tagFileUnreadable(const std::string& tagFile);
// "확 인" of the small list dialog: the refusal when no list was chosen through its chooser
// (the runs must not start without a list), else nullopt.
[[nodiscard]] std::optional<std::string> checkCorrectionList(const std::string& list);

// The failure text of an auto-correction result (what DBWrap::autoSujung returned).
[[nodiscard]] std::string autoCorrectionFailure(ResultCode result);

// 형태소->단어 of one document with the correction list `list`: the changed records, or the
// failure (a list error names its line). The list is read again for each document, so a
// list error names every document it left unchanged.
[[nodiscard]] DocumentOperation autoCorrection(const std::string& list);

// The work-error check of one document: walks its records in key order and hands each
// record failing the tag check of `tags` to `failing` with its error-log line ("serial
// word analysis\r\n", CP949). A document that cannot be opened, or holds records that do
// not decode, fails. `tags` and `failing` must outlive the operation.
using FailingRecordSink =
    std::function<void(const AnalysisRecord& record, const std::string& errorLogLine)>;
[[nodiscard]] DocumentOperation workErrorCheck(const TagManager& tags, FailingRecordSink failing);

}  // namespace selvanor::batch
