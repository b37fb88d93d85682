#include "store/document/build_decisions.h"

#include "common/cp949.h"
#include "common/encoding.h"
#include "common/files.h"
#include "common/text_kind.h"
#include "store/document/serial_numbers.h"

namespace selvanor::build {

BuildPlan planDocumentBuild(const std::string& input, const std::string& output,
                            const std::string& openDocument) {
  BuildPlan plan;
  if (input.empty()) {
    plan.refusal = msg::kChooseInput;
  } else if (!output.empty() && ((!openDocument.empty() && sameFile(output, openDocument)) ||
                                  sameFile(output, input))) {
    // The document is renamed over its path: aimed at the input, it would replace the text.
    plan.refusal = msg::kOutputInUse;
  } else if (auto foreign = text::describeForeignFile(input)) {
    plan.refusal = text::withHint(msg::kInputUnreadable, *foreign);
  } else {
    switch (detectSerialNumbers(input)) {
      case SerialDetection::Unreadable:
        plan.refusal = msg::kCannotCreate;
        break;
      case SerialDetection::NoSerials:
        plan.needsPrefix = true;
        break;
      case SerialDetection::HasSerials:
        break;
    }
  }
  return plan;
}

std::optional<std::string> checkSerialPrefix(std::string_view prefix) {
  if (cp949::charCount(prefix) != kSerialPrefixLength) return std::string(msg::kEnterPrefix);
  if (cp949::findAnyOf(prefix, " \t\r\n") != std::string_view::npos) {
    return std::string(msg::kPrefixHasBlank);
  }
  return std::nullopt;
}

namespace {

std::string baseMessage(ResultCode result, std::string_view lastSerial) {
  switch (result) {
    case result::kOk:
      return msg::kBuilt;
    case result::kTextFileError:
      return msg::kInputUnreadable;
    case result::kOpenError:
      return msg::kOutputNotCreated;
    case result::kInsertError:
      return msg::kOutputNotWritten;
    default:
      return "[" + encoding::cp949Excerpt(lastSerial) + "] 일련번호에서 형식오류가 발생했습니다.";
  }
}

}  // namespace

std::string outcomeMessage(ResultCode result, std::string_view lastSerial,
                           std::string_view foreignText) {
  if (result == result::kOk) return msg::kBuilt;
  return text::withHint(baseMessage(result, lastSerial), foreignText);
}

}  // namespace selvanor::build
