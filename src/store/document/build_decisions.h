// The decisions of the document-build dialog, free of any toolkit so that the dialog and
// the command line make the same checks in the same order and show the same messages.
// Every message returned here is UTF-8 (it goes to a message box or a terminal).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/result_codes.h"
#include "store/document/document_build.h"

namespace selvanor::build {

inline constexpr std::size_t kSerialPrefixLength = 7;

namespace msg {
inline constexpr const char* kChooseInput = "분석 파일을 선택해 주세요";
inline constexpr const char* kOutputInUse = "선택된 곳에 지정된 파일이 현재 사용중입니다.";
inline constexpr const char* kCannotCreate = "파일 생성에 문제가 있습니다.";
inline constexpr const char* kNoSerials = "해당 파일에 일련 번호가 없습니다.";
inline constexpr const char* kAskPrefix = "앞자리 7자리 일련번호를 넣어 주세요";
inline constexpr const char* kEnterPrefix = "일련 번호를 넣어 주세요.";
inline constexpr const char* kPrefixHasBlank = "일련 번호에는 빈칸을 넣을 수 없습니다.";
inline constexpr const char* kBuilt = "분석 문헌이 만들어 졌습니다.";
inline constexpr const char* kInputUnreadable = "분석 파일을 읽을 수 없습니다.";
inline constexpr const char* kOutputNotCreated = "분석 문헌 파일을 만들 수 없습니다.";
inline constexpr const char* kOutputNotWritten = "분석 문헌 파일을 저장할 수 없습니다.";
}  // namespace msg

// What to do after the input checks.
struct BuildPlan {
  std::optional<std::string> refusal;  // a message to show; the build stops
  bool needsPrefix = false;            // ask for the serial prefix, then build in Generate mode
  SerialMode mode() const { return needsPrefix ? SerialMode::Generate : SerialMode::Numbered; }
};

// Checks in the dialog's order: an input is chosen; the output is neither the document open
// in the grid (`openDocument`, empty when none) nor the input itself; the input does not
// look like UTF-8, UTF-16 or binary data (kInputUnreadable with what it looks like); the
// input has three lines to test for serials.
[[nodiscard]] BuildPlan planDocumentBuild(const std::string& input, const std::string& output,
                                          const std::string& openDocument);

// The message refusing a serial prefix (CP949 bytes), or nullopt when it can be used:
// exactly 7 characters, none of them a blank or tab (a blank would split every serial).
[[nodiscard]] std::optional<std::string> checkSerialPrefix(std::string_view prefix);

// The message for a build result; `lastSerial` is the CP949 serial the builder remembered,
// `foreignText` what the input looked like when it was refused as not CP949 (appended).
[[nodiscard]] std::string outcomeMessage(ResultCode result, std::string_view lastSerial,
                                         std::string_view foreignText = {});


}  // namespace selvanor::build
