#include "lexicon/batch_modification.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#include "common/files.h"
#include "lexicon/auto_correction.h"
#include "stats/tag_manager.h"
#include "stats/work_error_check.h"

namespace selvanor::batch {
namespace {

// Two paths of one document give one key: the file's identity when it exists, else the
// path with "." and ".." steps resolved (a missing document fails the same way either way).
std::string identityOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    return "#" + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
  }
  return "/" + std::filesystem::path(path).lexically_normal().string();
}

class UniqueDocuments {
 public:
  void add(const std::string& path, bool throughGroup) {
    if (seen_.insert(identityOf(path)).second) documents_.push_back({path, throughGroup});
  }
  std::vector<BatchDocument> take() { return std::move(documents_); }

 private:
  std::unordered_set<std::string> seen_;
  std::vector<BatchDocument> documents_;
};

// The object particle after the operation's bracketed name: 를 after 단어, 을 after 수정.
const char* particle(Operation op) { return op == Operation::AutoCorrection ? "를" : "을"; }

std::string bracketed(Operation op) {
  return std::string("[") + operationName(op) + "]" + particle(op);
}

}  // namespace

const char* operationName(Operation op) {
  switch (op) {
    case Operation::AutoCorrection: return "형태소->단어";
    case Operation::HomonymCorrection: return "동음어 수정";
    case Operation::WorkErrorCheck: break;
  }
  return "작업 오류 수정";
}

std::vector<BatchDocument> documentsOfSelection(const corpus::DocumentList& list,
                                                const std::vector<corpus::NodeRef>& selection) {
  UniqueDocuments out;
  for (const corpus::NodeRef& node : selection) {
    if (node.group >= list.groups().size()) continue;
    const corpus::ListGroup& group = list.group(node.group);
    if (!node.isGroup()) {
      if (*node.document < group.documents.size()) out.add(list.document(node).path, false);
      continue;
    }
    for (const corpus::ListDocument& d : group.documents) out.add(d.path, true);
  }
  return out.take();
}

std::vector<BatchDocument> documentsOfPaths(const std::vector<std::string>& paths) {
  UniqueDocuments out;
  for (const std::string& p : paths) out.add(p, false);
  return out.take();
}

void BatchControl::startDocument(std::size_t index, std::size_t count) {
  stopCurrent_ = false;
  index_ = index;
  count_ = count == 0 ? 1 : count;
  report(index_ * kDocumentUnits);
}

bool BatchControl::report(std::uint64_t units) {
  if (progress_ && !cancelled_ && !progress_(units, count_ * kDocumentUnits)) {
    cancelled_ = true;
    stopCurrent_ = true;
  }
  return !cancelled_;
}

bool BatchControl::reportRecords(std::uint64_t done, std::uint64_t total) {
  const std::uint64_t part = total == 0 ? 0 : std::min(done, total) * kDocumentUnits / total;
  return report(index_ * kDocumentUnits + part);
}

ProgressFn BatchControl::recordProgress() {
  return [this](std::uint64_t done, std::uint64_t total) { return reportRecords(done, total); };
}

bool BatchControl::reportDocumentDone() { return report((index_ + 1) * kDocumentUnits); }

BatchOutcome runBatch(Operation op, const std::vector<BatchDocument>& documents,
                      const DocumentOperation& operation, const BatchListener& listener,
                      BatchControl& control) {
  BatchOutcome outcome;
  for (std::size_t i = 0; i < documents.size(); ++i) {
    const BatchDocument& document = documents[i];
    if (control.cancelled()) {
      outcome.cancelled = true;
      break;
    }
    control.startDocument(i, documents.size());
    if (listener.beforeDocument) listener.beforeDocument(document);
    DocumentReport report = operation(document, control);
    if (report.failed) ++outcome.failed;
    if (listener.afterDocument) listener.afterDocument(document, report, statusLine(op, document, report));
    outcome.documents.push_back({document, std::move(report)});
    control.reportDocumentDone();
  }

  if (!documents.empty()) outcome.finalMessage = finalMessage(op, outcome, documents.size());
  return outcome;
}

std::string statusLine(Operation op, const BatchDocument& document, const DocumentReport& report) {
  if (report.failed) {
    return document.path + " " + bracketed(op) + " 하지 못했습니다: " + report.failure;
  }
  // The homonym line of a document selected by itself keeps its blank: "완료 했습니다".
  const bool spaced = op == Operation::HomonymCorrection && !document.throughGroup;
  return document.path + " " + bracketed(op) + (spaced ? " 완료 했습니다." : " 완료했습니다.");
}

std::string finalMessage(Operation op, const BatchOutcome& outcome, std::size_t selectedDocuments) {
  if (outcome.failed == 0 && !outcome.cancelled) return "모든 " + bracketed(op) + " 완료했습니다.";
  const std::string total = std::to_string(selectedDocuments);
  std::string out;
  if (outcome.cancelled) {
    out = bracketed(op) + " 멈췄습니다. 문헌 " + total + "개 가운데 " +
          std::to_string(outcome.documents.size()) + "개를 처리했습니다.";
  }
  if (outcome.failed > 0) {
    if (!out.empty()) out += '\n';
    out += "문헌 " + total + "개 가운데 " + std::to_string(outcome.failed) + "개는 " +
           bracketed(op) + " 하지 못했습니다:";
    for (const DocumentOutcome& d : outcome.documents) {
      if (d.report.failed) out += "\n" + d.document.path + ": " + d.report.failure;
    }
  }
  return out;
}

std::string tagFileUnreadable(const std::string& tagFile) {
  return "태그 표지 파일[" + tagFile + "]을 읽어들일수 없습니다.";
}

std::optional<std::string> checkCorrectionList(const std::string& list) {
  if (list.empty()) return std::string(msg::kChooseList);
  return std::nullopt;
}

std::string autoCorrectionFailure(ResultCode result) {
  switch (result) {
    case result::kOk: return {};
    case result::kListFormatError: return "자동 수정 목록 파일에 형식이 잘못되었습니다.";
    case result::kTextFileError: return "자동 수정 목록 파일을 열 수가 없습니다.";
    case result::kOpenError: return "분석 문헌 파일을 열 수 없거나 분석 문헌이 아닙니다.";
    case result::kInsertError: return "분석 문헌 파일을 저장할 수 없습니다. 문헌은 그대로 남아 있습니다.";
    default: break;
  }
  return "자동 수정을 하지 못했습니다 (" + std::to_string(result) + ").";
}

DocumentOperation workErrorCheck(const TagManager& tags, FailingRecordSink failing) {
  return [&tags, failing = std::move(failing)](const BatchDocument& document,
                                               BatchControl& control) {
    DocumentReport report;
    if (!fileExists(document.path)) {
      report.failed = true;
      report.failure = msg::kMissing;
      return report;
    }
    std::size_t unreadable = 0;
    WorkErrorListener listener;
    listener.failing = [&](const AnalysisRecord& record) {
      ++report.failingRecords;
      if (failing) failing(record, errorLogLine(record));
      report.stopped = control.currentStopped();
      return !report.stopped;
    };
    listener.message = [&](std::string_view message) {
      if (message == workcheck::msg::kUnreadableRecord) ++unreadable;
    };
    const ResultCode rc = runWorkErrorCheck(document.path, tags, listener, control.recordProgress());
    if (rc == result::kCancelled) {
      report.failed = true;
      report.failure = kCancelledMessage;
    } else if (rc != result::kOk) {
      report.failed = true;
      report.failure = msg::kCannotOpen;
    } else if (unreadable > 0) {
      report.failed = true;
      report.failure = std::string(msg::kUnreadableRecords) + " (" + std::to_string(unreadable) + "개)";
    }
    return report;
  };
}

DocumentOperation autoCorrection(const std::string& list) {
  return [list](const BatchDocument& document, BatchControl& control) {
    correction::Outcome outcome;
    const ResultCode rc =
        correction::autoSujung(document.path, list, &outcome, control.recordProgress());
    DocumentReport report;
    if (rc == result::kCancelled) {  // the document was left as it was
      report.failed = true;
      report.failure = kCancelledMessage;
      return report;
    }
    report.changedRecords = outcome.changedRecords;
    if (rc != result::kOk) {
      report.failed = true;
      report.failure = autoCorrectionFailure(rc);
      if (rc == result::kListFormatError) report.failure += " " + correction::formatErrorDetail(outcome);
    }
    return report;
  };
}

}  // namespace selvanor::batch
