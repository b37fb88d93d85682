// The decisions and messages of the dialog "분석문헌 합치기", free of any toolkit so that
// the dialog and the command line say the same. Messages are UTF-8.
#pragma once

#include <optional>
#include <string>

#include "common/progress.h"
#include "common/result_codes.h"

namespace selvanor::merge {

namespace msg {
inline constexpr const char* kMerged = "분석 문헌 합치기가 완료되었습니다.";
inline constexpr const char* kEnterBase = "기본 파일을 선택해 주세요.";
inline constexpr const char* kEnterAdded = "합칠 파일을 선택해 주세요.";
inline constexpr const char* kBaseInUse = "선택된 곳에 지정된 파일이 현재 사용중입니다.";
inline constexpr const char* kUnreadable =
    "분석 문헌 합치기를 실패하였습니다. 열 수 없거나 분석 문헌이 아닌 파일이 있어 아무것도 "
    "합치지 않았습니다.";
inline constexpr const char* kPartial =
    "분석 문헌 합치기를 실패하였습니다. 저장하지 못한 기록이 있어 아무것도 합치지 "
    "않았습니다.";
}  // namespace msg

// "확 인": the refusal, checked in this order: both fields filled; the base is not the
// document the grid has open (`openDocument`, empty when none: its handle would keep
// pages of the old content). nullopt when mergeBunsukDB may run.
[[nodiscard]] std::optional<std::string> checkMerge(const std::string& base, const std::string& added,
                                                    const std::string& openDocument);

// The message for mergeBunsukDB's result: completion only on kOk.
[[nodiscard]] std::string outcomeMessage(ResultCode result);

// Copies every record of `added` into `base` (created when missing) under its serial; a
// serial in both ends up with the record of `added`. `added` must exist and is not
// changed; merging a document into itself changes nothing. Both are read as documents
// before anything is written. kOk; kOpenError (either cannot be opened, or holds a value
// that is not an analysis record: nothing is written); kInsertError (a record could not
// be stored: nothing is merged, the base is changed as one logged group); kCancelled
// (`progress` asked to stop: nothing is merged). `progress` is told the records of `added`
// checked and then written (total: twice its records).
[[nodiscard]] ResultCode mergeBunsukDB(const std::string& base, const std::string& added,
                                       const ProgressFn& progress = {});

}  // namespace selvanor::merge
