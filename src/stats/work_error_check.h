// The work-error check: every record of a document whose analysis uses a tag the tag set
// does not know. Shared by the error log window and the command line.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "common/progress.h"
#include "common/result_codes.h"
#include "store/document/analysis_record.h"

namespace selvanor {

class TagManager;

namespace workcheck::msg {
inline constexpr const char* kNoDocument = "문헌 파일을 열어 주세요 ";
inline constexpr const char* kUnreadableRecord =
    "Record 값이 NULL인 경우가 존재합니다. \r\n데이터를 확인하세요..";
inline constexpr const char* kEmptyAnalysis =
    "분석 결과값이 NULL인 행이 존재합니다.\r\n데이터를 확인하세요..";
inline constexpr const char* kDone = "오류 검사가 완료 되었습니다.";
inline constexpr const char* kCannotOpen = "문헌 파일을 열 수 없습니다.";
}  // namespace workcheck::msg

// What the check reports as it walks. `failing` returns false to stop the walk early
// (the error log window is gone); `message` shows one message per odd record.
struct WorkErrorListener {
  std::function<bool(const AnalysisRecord& failing)> failing;
  std::function<void(std::string_view utf8Message)> message;
};

// Walks the document at `path` in key order and reports each record whose analysis fails
// the tag check (a record without analysis fails with an empty one; a record whose value
// cannot be read is reported and skipped). Changes nothing. kOk; kOpenError when the
// document cannot be opened (a missing file is not created); kCancelled when `progress`,
// told the records walked, asked to stop.
[[nodiscard]] ResultCode runWorkErrorCheck(const std::string& path, const TagManager& tags,
                                           const WorkErrorListener& listener,
                                           const ProgressFn& progress = {});

// The error log line of a record: serial, blank, word, blank, analysis, "\r\n".
[[nodiscard]] std::string errorLogLine(const AnalysisRecord& record);

}  // namespace selvanor
