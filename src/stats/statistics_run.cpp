#include "stats/statistics_run.h"

#include <unordered_map>
#include <unordered_set>
#include <variant>

#include "common/derived_paths.h"
#include "common/diagnostics.h"
#include "common/encoding.h"
#include "common/files.h"
#include "stats/count_table.h"
#include "stats/reanalysis.h"
#include "stats/statistics_report.h"
#include "stats/statistics_source.h"
#include "store/corpus/document_list.h"

namespace selvanor::stats {
namespace {

// The request checked and turned into what counting and the report need.
struct PreparedRun {
  ReportInput report;                  // everything but the counts; names in CP949
  std::vector<RunEntry> entries;       // native names, folders and documents only
  std::vector<std::string> countTags;  // tagged runs: the tags folder and total counts keep
  std::vector<std::string> notices;
};
using Prepared = std::variant<PreparedRun, RunOutcome>;

std::optional<RunOutcome> prepareEntries(const RunRequest& r, PreparedRun& p) {
  for (const RunEntry& e : r.entries) {
    if (e.kind != RunEntry::Folder && e.kind != RunEntry::Document) {
      writeDiagnostic("Wrong number of attribute.. Error!!!\n");
      p.notices.push_back("알 수 없는 종류의 항목을 건너뛰었습니다: " +
                          encoding::cp949ToUtf8Lossy(e.name));
      continue;
    }
    if (p.entries.empty() && e.kind != RunEntry::Folder) {
      return RunOutcome::failed(result::kFormatError, msg::kNoLeadingFolder);
    }
    p.entries.push_back(e);
    RunEntry printed = e;
    if (e.kind == RunEntry::Document) {
      encoding::Conversion c = encoding::utf8ToCp949(e.name);
      if (!c)
        return RunOutcome::failed(result::kFormatError, encoding::unencodableMessage(c.offending),
                                  e.name);
      printed.name = std::move(*c.text);
    }
    p.report.entries.push_back(std::move(printed));
  }
  return std::nullopt;
}

// An output that is one of the run's inputs would be destroyed by the report.
bool outputIsInput(const RunRequest& r, const std::vector<RunEntry>& entries) {
  if (!r.reanalysisPath.empty() && sameFile(r.resultPath, r.reanalysisPath)) return true;
  for (const RunEntry& e : entries) {
    if (e.kind != RunEntry::Document) continue;
    if (sameFile(r.resultPath, e.name)) return true;
    const std::string stats = derived::statisticsFile(e.name);
    if (!stats.empty() && sameFile(r.resultPath, stats)) return true;
  }
  return false;
}

Prepared prepare(const RunRequest& r) {
  PreparedRun p;
  ReportInput& report = p.report;
  const std::string text = r.options.empty() ? defaultOptionString(r.type) : r.options;
  const std::optional<ReportOptions> options = ReportOptions::parse(text);
  if (!options) return RunOutcome::failed(result::kFormatError, msg::kBadOptions + text);
  report.options = *options;
  const bool vocabulary = isVocabularyRun(r.type);
  if (vocabulary) report.options.tag = false;  // a vocabulary report has no tag column
  report.type = r.type;
  report.scopeTags = uniqueTags(r.scopeTags);
  if (report.scopeTags.empty()) return RunOutcome::failed(result::kFormatError, msg::kNoScopeTags);
  if (!vocabulary) {
    // The full list, with any scope tag it lacks, so that no scope tag goes uncounted.
    std::vector<std::string> all = r.fullTags;
    all.insert(all.end(), report.scopeTags.begin(), report.scopeTags.end());
    p.countTags = uniqueTags(all);
  }
  if (r.type == 5) {
    if (r.range.lower.empty() || r.range.upper.empty()) {
      return RunOutcome::failed(result::kFormatError, msg::kNoRange);
    }
    report.range = r.range;
  }
  if (auto refused = prepareEntries(r, p)) return *refused;
  if (r.resultPath.empty()) return RunOutcome::failed(result::kFormatError, msg::kChooseResultFile);
  encoding::Conversion path = encoding::utf8ToCp949(r.resultPath);
  if (!path) {
    return RunOutcome::failed(result::kFormatError, encoding::unencodableMessage(path.offending),
                              r.resultPath);
  }
  if (outputIsInput(r, p.entries)) {
    return RunOutcome::failed(result::kFormatError, corpus::msg::kOutputInUse, r.resultPath);
  }
  report.resultPath = std::move(*path.text);
  report.date = r.date.empty() ? todayText() : r.date;
  report.perMillion = r.perMillion;
  report.docRange = r.docRange;
  return p;
}

// Sums the selection's statistics files per folder and over the selection. Folder tables
// are kept only when the report prints folder columns.
class SelectionCounter {
 public:
  SelectionCounter(const PreparedRun& p, bool vocabulary, bool trackDocuments)
      : run_(p),
        vocabulary_(vocabulary),
        trackDocuments_(trackDocuments),
        keepFolders_(p.report.options.folderColumns) {}

  // Counts one entry; the failure when a document's statistics file cannot be read.
  ReadFailure add(const RunEntry& entry) {
    if (entry.kind == RunEntry::Folder) {
      folders.emplace_back();
      inFolder_.clear();
      return std::nullopt;
    }
    if (!inFolder_.insert(entry.name).second) return std::nullopt;  // listed twice here
    const auto [id, first] = documentIds_.emplace(entry.name, documentIds_.size());
    if (!first && !keepFolders_) return std::nullopt;  // its counts are in the total already
    CountTable counts;
    ReadFailure failure = vocabulary_ ? getUhweTong(entry.name, run_.report.scopeTags, counts)
                                      : mergeTongDB(counts, entry.name, run_.countTags);
    if (failure) {
      reportStoreError(vocabulary_ ? "getUhweTong" : "mergeTongDB", "DB open error");
      return failure;
    }
    if (keepFolders_) mergeTmpTongDB(folders.back(), counts);
    if (first) {
      std::optional<std::uint32_t> document;
      if (trackDocuments_) document = id->second;
      mergeTmpTongDB(total, std::move(counts), document);
    }
    return std::nullopt;
  }

  CountTable total;
  std::vector<CountTable> folders;  // one (empty unless kept) per folder entry

 private:
  const PreparedRun& run_;
  bool vocabulary_;
  bool trackDocuments_;
  bool keepFolders_;
  std::unordered_set<std::string> inFolder_;
  std::unordered_map<std::string, std::uint32_t> documentIds_;
};

void applyPasses(const RunRequest& r, const PreparedRun& p, const ReanalysisList* reanalysis,
                 CountTable& total, std::vector<std::string>& notices) {
  const bool vocabulary = isVocabularyRun(r.type);
  if (reanalysis != nullptr) {
    if (vocabulary) {
      jaebunUhwe(total, reanalysis->entries);
    } else {
      for (std::size_t line : jabunPumsa(total, p.report.scopeTags, reanalysis->entries)) {
        notices.push_back("재분석 파일 " + std::to_string(line) +
                          "번째 줄: 품사 표지가 없는 형태소가 있어 쓰지 않았습니다.");
      }
    }
  }
  if (p.report.options.ignoreMarkers) {
    if (vocabulary) {
      specUhwe(total);
    } else {
      specPumsa(total, p.report.scopeTags);
    }
  }
}

RunOutcome writeReport(const RunRequest& r, std::string text, std::vector<std::string>& notices) {
  const bool vocabulary = isVocabularyRun(r.type);
  if (r.utf8) {
    encoding::Conversion c = encoding::cp949ToUtf8(text);
    if (c) {
      text = std::move(*c.text);
    } else {
      text = encoding::cp949ToUtf8Lossy(text);
      notices.push_back("CP949가 아닌 바이트가 있어 UTF-8 결과 파일에 U+FFFD로 적었습니다.");
    }
  }
  if (!writeReportFile(r.resultPath, text)) {
    reportStoreError(vocabulary ? "TongTextView" : "printUHWEPUMSA", "write file open error");
    RunOutcome out = RunOutcome::failed(result::kTextFileError,
                                        msg::kReportNotWritten + r.resultPath, r.resultPath);
    out.notices = std::move(notices);
    return out;
  }
  RunOutcome out;
  out.message = msg::kDone;
  out.path = r.resultPath;
  out.notices = std::move(notices);
  return out;
}

RunOutcome runPipeline(const RunRequest& r, const ProgressFn& progress) {
  Prepared prepared = prepare(r);
  if (auto* refused = std::get_if<RunOutcome>(&prepared)) return std::move(*refused);
  PreparedRun& p = std::get<PreparedRun>(prepared);
  const bool vocabulary = isVocabularyRun(r.type);
  const auto withNotices = [&p](RunOutcome out) {
    out.notices.insert(out.notices.begin(), p.notices.begin(), p.notices.end());
    return out;
  };
  // The re-analysis file is read before any counting, so a wrong name fails at once.
  std::optional<ReanalysisList> reanalysis;
  if (!r.reanalysisPath.empty()) {
    reanalysis = readReanalysisFile(r.reanalysisPath);
    if (!reanalysis) {
      return withNotices(RunOutcome::failed(
          result::kOpenError, msg::kReanalysisUnreadable + r.reanalysisPath, r.reanalysisPath));
    }
    p.notices.insert(p.notices.end(), reanalysis->notices.begin(), reanalysis->notices.end());
  }
  SelectionCounter counter(p, vocabulary, r.docRange);
  for (std::size_t i = 0; i < p.entries.size(); ++i) {
    if (auto failed = counter.add(p.entries[i])) return withNotices(std::move(*failed));
    if (progress && !progress(RunProgress{i + 1, p.entries.size(), &p.entries[i]})) {
      return withNotices(RunOutcome::failed(kRunCancelled, msg::kCancelled));
    }
  }
  applyPasses(r, p, reanalysis ? &*reanalysis : nullptr, counter.total, p.notices);
  p.report.total = &counter.total;
  p.report.folders = &counter.folders;
  std::string text = vocabulary ? TongTextView(p.report) : printUHWEPUMSA(p.report);
  return writeReport(r, std::move(text), p.notices);
}

}  // namespace

RunOutcome runTongStat(const RunRequest& request, const ProgressFn& progress) {
  if (isVocabularyRun(request.type)) return uhweTongStat(request, progress);
  if (isTaggedRun(request.type)) return pumsaTongStat(request, progress);
  return RunOutcome::failed(kUnknownRunType, msg::kUnknownType);
}

RunOutcome uhweTongStat(const RunRequest& request, const ProgressFn& progress) {
  if (!isVocabularyRun(request.type)) return RunOutcome::failed(kUnknownRunType, msg::kUnknownType);
  return runPipeline(request, progress);
}

RunOutcome pumsaTongStat(const RunRequest& request, const ProgressFn& progress) {
  if (!isTaggedRun(request.type)) return RunOutcome::failed(kUnknownRunType, msg::kUnknownType);
  return runPipeline(request, progress);
}

}  // namespace selvanor::stats
