#include "store/interchange/import_decisions.h"

#include <cstdio>

#include "common/encoding.h"
#include "common/files.h"
#include "store/document/build_decisions.h"

namespace selvanor::interchange {
namespace {

std::string n(std::size_t value) { return std::to_string(value); }

// "U+1F600" for the first character of UTF-8 text.
std::string codePoint(std::string_view utf8) {
  if (utf8.empty()) return {};
  const auto c0 = static_cast<unsigned char>(utf8[0]);
  const std::size_t len = c0 < 0x80 ? 1 : c0 < 0xE0 ? 2 : c0 < 0xF0 ? 3 : 4;
  char32_t cp = len == 1 ? c0 : len == 2 ? (c0 & 0x1F) : len == 3 ? (c0 & 0x0F) : (c0 & 0x07);
  for (std::size_t i = 1; i < len && i < utf8.size(); ++i) {
    cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
  return buf;
}

std::string lineOf(std::size_t line) { return n(line) + "번째 줄"; }

std::string problemMessage(const ImportOutcome& o, const SourcePlan& plan) {
  const std::string encodingName = decodingName(plan.decoding);
  switch (o.problem) {
    case ImportProblem::None:
      return msg::kImported;
    case ImportProblem::InputUnreadable:
      return build::msg::kInputUnreadable;
    case ImportProblem::Undecodable:
      return lineOf(o.line) + "을 " +
             (plan.decoding == Decoding::Cp949 && plan.detected ? std::string("CP949로도 UTF-8로도") : encodingName + "로") +
             " 읽을 수 없습니다 (" + o.detail + ").";
    case ImportProblem::Truncated:
      return "UTF-16 파일이 " + lineOf(o.line) + "에서 글자 중간에 잘렸습니다 (" + o.detail + ").";
    case ImportProblem::Unmappable:
      return lineOf(o.line) + "의 글자 [" + o.detail + "](" + codePoint(o.detail) +
             ")는 CP949로 저장할 수 없습니다. " + msg::kReplaceHint;
    case ImportProblem::TooFewLines:
      return std::string(build::msg::kCannotCreate) + " 분석 줄이 세 줄보다 적습니다.";
    case ImportProblem::FormatError:
      return "[" + encoding::cp949Excerpt(o.detail) + "] 일련번호에서 형식오류가 발생했습니다. (" +
             lineOf(o.line) + ")";
    case ImportProblem::UnclosedHeader:
      return lineOf(o.line) + "에서 시작한 머리 부분이 끝나지 않았습니다.";
    case ImportProblem::ColumnCount:
      return lineOf(o.line) + "은 CoNLL-U 토큰 줄인데 탭으로 나뉜 열이 " + o.detail +
             "개입니다. 10개여야 합니다.";
    case ImportProblem::BadId:
      return lineOf(o.line) + "의 ID [" + encoding::cp949Excerpt(o.detail) +
             "]는 CoNLL-U의 ID(1, 1-2, 1.1)가 아닙니다.";
    case ImportProblem::EmptyForm:
      return lineOf(o.line) + "의 FORM이 비어 있습니다.";
    case ImportProblem::NoTokens:
      return "가져올 토큰이 없습니다.";
    case ImportProblem::OutputOpen:
      return build::msg::kOutputNotCreated;
    case ImportProblem::OutputWrite:
      return build::msg::kOutputNotWritten;
  }
  return {};
}

}  // namespace

ImportPlan planImport(const std::string& input, const std::string& output,
                      const std::string& openDocument, ImportFormat format, Encoding encoding) {
  ImportPlan plan;
  if (input.empty()) {
    plan.refusal = build::msg::kChooseInput;
  } else if (!output.empty() && ((!openDocument.empty() && sameFile(output, openDocument)) ||
                                  sameFile(output, input))) {
    plan.refusal = build::msg::kOutputInUse;
  } else {
    Inspection inspection = inspectSource(input, format, encoding);
    if (inspection.plan) {
      plan.source = inspection.plan;
    } else {
      plan.refusal = problemMessage(inspection.failure, SourcePlan{});
      if (inspection.failure.problem == ImportProblem::Undecodable ||
          inspection.failure.problem == ImportProblem::Truncated) {
        // The inspection knew the decoding; name it as the import would.
        SourcePlan named;
        named.decoding = decideDecoding(input, encoding).value_or(Decoding::Cp949);
        named.detected = encoding == Encoding::Auto;
        plan.refusal = problemMessage(inspection.failure, named);
      }
    }
  }
  return plan;
}

std::string outcomeMessage(const ImportOutcome& o, const SourcePlan& plan) {
  if (o.problem != ImportProblem::None) {
    return problemMessage(o, plan) + " " + msg::kNothingWritten;
  }
  const ImportCounts& c = o.counts;
  std::string out = std::string(msg::kImported) + " (" + decodingName(plan.decoding) + ", " +
                    (plan.format == ImportFormat::Conllu ? "CoNLL-U" : "분석 텍스트") + ", 토큰 " +
                    n(c.records) + "개)";
  if (c.markupLines > 0) {
    out += "\n표시 줄 " + n(c.markupLines) + "개를 건너뛰었습니다 (머리 부분 " + n(c.headerBlocks) +
           "개 포함).";
  }
  if (c.ranges + c.emptyNodes > 0) {
    out += "\n여러 토큰 범위 줄 " + n(c.ranges) + "개와 빈 노드 " + n(c.emptyNodes) +
           "개를 건너뛰었습니다.";
  }
  if (c.mismatches > 0) {
    out += "\nLEMMA와 XPOS의 조각 수가 다른 토큰 " + n(c.mismatches) +
           "개는 LEMMA 전체를 첫 품사로 가져왔습니다 (처음: " + lineOf(c.firstMismatchLine) + ").";
  }
  if (c.formBlanks > 0) {
    out += "\nFORM에 빈칸이 있던 토큰 " + n(c.formBlanks) + "개는 빈칸을 빼고 가져왔습니다.";
  }
  if (c.replaced > 0) {
    out += "\nCP949에 없는 글자 " + n(c.replaced) + "개를 □로 바꾸었습니다.";
  }
  return out;
}

std::string exportMessage(const ExportOutcome& o, DocumentFormat format) {
  switch (o.code) {
    case result::kOk:
      break;
    case result::kTextFileError:
      return "출력 파일을 저장할 수 없습니다.";
    default:
      return "분석 문헌 파일을 읽을 수 없습니다.";
  }
  std::string out = format == DocumentFormat::Conllu ? "분석 문헌을 CoNLL-U로 저장했습니다 (문장 " +
                                                           n(o.sentences) + "개, 토큰 " + n(o.records) + "개)."
                    : format == DocumentFormat::Tsv ? std::string("분석 문헌을 TSV로 저장했습니다.")
                                                    : std::string("분석 문헌을 텍스트로 저장했습니다.");
  if (o.replaced > 0) {
    out += "\n유니코드로 바꿀 수 없는 바이트 " + n(o.replaced) + "개를 U+FFFD로 썼습니다.";
  }
  return out;
}

std::optional<ImportFormat> importFormatNamed(std::string_view name) {
  if (name == "auto") return ImportFormat::Auto;
  if (name == "text") return ImportFormat::Text;
  if (name == "conllu") return ImportFormat::Conllu;
  return std::nullopt;
}

std::optional<Encoding> encodingNamed(std::string_view name) {
  if (name == "auto") return Encoding::Auto;
  if (name == "cp949") return Encoding::Cp949;
  if (name == "utf-8") return Encoding::Utf8;
  if (name == "utf-16") return Encoding::Utf16;
  return std::nullopt;
}

std::optional<DocumentFormat> documentFormatNamed(std::string_view name, bool utf8) {
  if (name == "text") return utf8 ? DocumentFormat::TextUtf8 : DocumentFormat::Text;
  if (name == "conllu") return DocumentFormat::Conllu;
  if (name == "tsv") return DocumentFormat::Tsv;
  return std::nullopt;
}

}  // namespace selvanor::interchange
