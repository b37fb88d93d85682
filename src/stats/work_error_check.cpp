#include "stats/work_error_check.h"

#include "stats/morpheme_splitter.h"
#include "stats/tag_manager.h"
#include "store/engine/document_cursor.h"
#include "store/document/analysis_record.h"

namespace selvanor {

ResultCode runWorkErrorCheck(const std::string& path, const TagManager& tags,
                             const WorkErrorListener& listener, const ProgressFn& progress) {
  DocumentCursor cursor;
  if (cursor.open(path, OpenMode::ExistingOnly) != result::kOk) return result::kOpenError;
  MorphemeSplitter splitter;
  splitter.AttachTagSet(tags);
  ProgressReporter reporter(progress, cursor.recordCount());
  for (auto step = cursor.first();; step = cursor.next()) {
    if (step != DocumentCursor::kRead && !cursor.lastMoveCorrupt()) break;  // the end
    // Read only: a stop leaves the document as it is and the lines reported so far.
    if (!reporter.step()) return result::kCancelled;
    if (step != DocumentCursor::kRead) {
      listener.message(workcheck::msg::kUnreadableRecord);
      continue;
    }
    const AnalysisRecord& record = cursor.current();
    bool fails = false;
    if (record.analysis.empty()) {
      listener.message(workcheck::msg::kEmptyAnalysis);
      fails = true;
    } else {
      fails = !splitter.CheckTags(record.analysis);
    }
    if (fails && !listener.failing(record)) break;
  }
  return result::kOk;
}

std::string errorLogLine(const AnalysisRecord& record) { return recordLine(record, " ", "\r\n"); }

}  // namespace selvanor
