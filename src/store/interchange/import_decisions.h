// The decisions and messages of an import, free of any toolkit, so that the dialog
// "분석 문헌 가져오기" and `selvanor-cli import` make the same checks in the same order and
// say the same things. Every message is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/interchange/document_import.h"
#include "store/interchange/interchange_export.h"

namespace selvanor::interchange {

namespace msg {
inline constexpr const char* kImported = "분석 문헌을 가져왔습니다.";
inline constexpr const char* kNothingWritten = "문헌은 만들지도 바꾸지도 않았습니다.";
inline constexpr const char* kReplaceHint =
    "CP949에 없는 글자를 □로 바꾸어 가져오려면 그렇게 하도록 고른 뒤 다시 가져오십시오.";
}  // namespace msg

struct ImportPlan {
  std::optional<std::string> refusal;  // a message; the import stops
  std::optional<SourcePlan> source;    // how the input is read
  bool needsPrefix() const { return source && source->mode == SerialMode::Generate; }
};

// In order: an input is chosen; the output is neither the open document (`openDocument`,
// empty when none) nor the input; the input can be read, decoded and, for analysed text,
// has three token lines to test for serials.
[[nodiscard]] ImportPlan planImport(const std::string& input, const std::string& output,
                                    const std::string& openDocument, ImportFormat format,
                                    Encoding encoding);

// The message for an import's outcome: what was imported and every notice (markup
// skipped, ranges and empty nodes skipped, LEMMA/XPOS mismatches, blanks taken out of
// FORMs, characters replaced), or what stopped it, naming the line.
[[nodiscard]] std::string outcomeMessage(const ImportOutcome& outcome, const SourcePlan& plan);

// The message for an export of a document in `format`.
[[nodiscard]] std::string exportMessage(const ExportOutcome& outcome, DocumentFormat format);

// Names as the command line spells them; nullopt for an unknown name.
[[nodiscard]] std::optional<ImportFormat> importFormatNamed(std::string_view name);
[[nodiscard]] std::optional<Encoding> encodingNamed(std::string_view name);
[[nodiscard]] std::optional<DocumentFormat> documentFormatNamed(std::string_view name, bool utf8);

}  // namespace selvanor::interchange
