#include "store/interchange/document_import.h"

#include <algorithm>
#include <filesystem>

#include "common/cp949.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "store/interchange/conllu_format.h"
#include "store/interchange/markup_lines.h"
#include "store/document/analysis_record.h"

namespace selvanor::interchange {
namespace {

constexpr std::string_view kOp = "importBunsukDB";

ImportOutcome failure(ImportProblem problem, std::size_t line = 0, std::string detail = {}) {
  ImportOutcome o;
  o.code = problem == ImportProblem::OutputOpen    ? result::kOpenError
           : problem == ImportProblem::OutputWrite ? result::kInsertError
           : problem == ImportProblem::InputUnreadable ? result::kTextFileError
                                                       : result::kFormatError;
  o.problem = problem;
  o.line = line;
  o.detail = std::move(detail);
  return o;
}

// The reader's fault as an outcome, or nullopt when it read to the end.
std::optional<ImportOutcome> readerFault(const SourceReader& reader) {
  switch (reader.fault()) {
    case DecodeFault::None:
      return std::nullopt;
    case DecodeFault::Undecodable:
      return failure(ImportProblem::Undecodable, reader.lineNumber(), reader.faultText());
    case DecodeFault::Truncated:
      return failure(ImportProblem::Truncated, reader.lineNumber(), reader.faultText());
    case DecodeFault::ReadError:
      return failure(ImportProblem::InputUnreadable, reader.lineNumber());
  }
  return std::nullopt;
}

bool hasConlluExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(c | (c >= 'A' && c <= 'Z' ? 0x20 : 0)); });
  return ext == ".conllu" || ext == ".conll";
}

bool isComment(std::string_view line) { return !line.empty() && line[0] == '#'; }

// The first 7 bytes of a token line, as the build's serial test compares them (a shorter
// line whole, with its line end).
std::string serialHead(std::string_view line) {
  return line.size() >= 7 ? std::string(line.substr(0, 7)) : std::string(line) + "\n";
}

}  // namespace

Inspection inspectSource(const std::string& input, ImportFormat format, Encoding encoding) {
  Inspection inspection;
  const std::optional<Decoding> decoding = decideDecoding(input, encoding);
  if (!decoding) {
    inspection.failure = failure(ImportProblem::InputUnreadable);
    return inspection;
  }
  SourcePlan plan;
  plan.decoding = *decoding;
  plan.detected = encoding == Encoding::Auto;
  SourceReader reader(input, *decoding);
  MarkupFilter markup;
  std::string heads[3];
  std::size_t found = 0;
  if (format == ImportFormat::Auto && hasConlluExtension(input)) format = ImportFormat::Conllu;
  while (found < 3 && format != ImportFormat::Conllu) {
    const std::optional<std::string_view> line = reader.next();
    if (!line) break;
    const std::string_view trimmed = cp949::trim(*line);
    if (trimmed.empty()) continue;
    if (format == ImportFormat::Auto) {
      if (isComment(*line)) continue;
      const conllu::LineKind kind = conllu::readTokenLine(*line).kind;
      format = kind == conllu::LineKind::BadColumns || kind == conllu::LineKind::BadId
                   ? ImportFormat::Text
                   : ImportFormat::Conllu;
      if (format == ImportFormat::Conllu) break;
    }
    if (markup.skip(trimmed, reader.lineNumber())) continue;
    heads[found++] = serialHead(*line);
  }
  if (auto fault = readerFault(reader)) {
    inspection.failure = std::move(*fault);
    return inspection;
  }
  if (format != ImportFormat::Conllu && found < 3 && markup.openHeaderLine() != 0) {
    inspection.failure = failure(ImportProblem::UnclosedHeader, markup.openHeaderLine());
    return inspection;
  }
  if (format == ImportFormat::Conllu) {
    plan.format = ImportFormat::Conllu;
    plan.mode = SerialMode::Generate;
  } else if (found < 3) {
    inspection.failure = failure(ImportProblem::TooFewLines);
    return inspection;
  } else {
    plan.format = ImportFormat::Text;
    plan.mode = heads[0] == heads[1] && heads[1] == heads[2] ? SerialMode::Numbered
                                                             : SerialMode::Generate;
  }
  inspection.plan = plan;
  return inspection;
}

namespace {

// One import run: the reader, the document and what was counted.
class ImportRun {
 public:
  ImportRun(const ImportRequest& r, const SourcePlan& plan)
      : request_(r),
        plan_(plan),
        reader_(r.input, plan.decoding),
        doc_(r.output),
        maker_(plan.mode, r.prefix, r.attachDa) {}

  ImportOutcome run() {
    if (!reader_.isOpen()) return failure(ImportProblem::InputUnreadable);
    // Renamed over its path at the end: aimed at the input, it would replace the source.
    if (sameFile(request_.input, request_.output)) {
      reportStoreError(kOp, "the output is the input");
      return failure(ImportProblem::OutputOpen);
    }
    if (!doc_.open()) {
      reportStoreError(kOp, "DB open error");
      return failure(ImportProblem::OutputOpen);
    }
    std::optional<ImportOutcome> stopped =
        plan_.format == ImportFormat::Conllu ? readConllu() : readText();
    if (!stopped) stopped = readerFault(reader_);
    if (stopped) {
      stopped->counts = counts_;
      return std::move(*stopped);
    }
    if (counts_.records == 0) return failure(ImportProblem::NoTokens);
    if (!doc_.finish()) {
      reportStoreError(kOp, "DB write error");
      return failure(ImportProblem::OutputWrite);
    }
    ImportOutcome done;
    done.counts = counts_;
    return done;
  }

 private:
  // The characters CP949 cannot hold within [from, to) of the current line (all of it by
  // default): counted when they may be replaced, else the import stops at the first.
  std::optional<ImportOutcome> checkUnmappable(std::size_t from = 0,
                                               std::size_t to = std::string::npos) {
    for (const UnmappableCharacter& u : reader_.unmappable()) {
      if (u.offset < from || u.offset >= to) continue;
      if (!request_.replaceUnmappable) {
        return failure(ImportProblem::Unmappable, reader_.lineNumber(), u.character);
      }
      ++counts_.replaced;
    }
    return std::nullopt;
  }

  std::optional<ImportOutcome> put(const AnalysisRecord& record) {
    if (!doc_.put(record)) {
      reportStoreError(kOp, "DB insert error");
      return failure(ImportProblem::OutputWrite, reader_.lineNumber());
    }
    ++counts_.records;
    return std::nullopt;
  }

  std::optional<ImportOutcome> readText() {
    MarkupFilter markup;
    while (const auto line = reader_.next()) {
      const std::string_view trimmed = cp949::trim(*line);
      if (trimmed.empty() || markup.skip(trimmed, reader_.lineNumber())) continue;
      if (auto failed = checkUnmappable()) return failed;
      ParsedLine parsed = maker_.make(trimmed);
      if (parsed.status != result::kOk) {
        return failure(ImportProblem::FormatError, reader_.lineNumber(), parsed.record.serial);
      }
      if (auto failed = put(parsed.record)) return failed;
    }
    counts_.markupLines = markup.markupLines();
    counts_.headerBlocks = markup.headerBlocks();
    if (reader_.fault() == DecodeFault::None && markup.openHeaderLine() != 0) {
      return failure(ImportProblem::UnclosedHeader, markup.openHeaderLine());
    }
    return std::nullopt;
  }

  std::optional<ImportOutcome> readConllu() {
    AnalysisRecord record;
    while (const auto line = reader_.next()) {
      if (cp949::trim(*line).empty() || isComment(*line)) continue;
      const conllu::TokenLine token = conllu::readTokenLine(*line);
      switch (token.kind) {
        case conllu::LineKind::Range:
          ++counts_.ranges;
          continue;
        case conllu::LineKind::EmptyNode:
          ++counts_.emptyNodes;
          continue;
        case conllu::LineKind::BadColumns:
          return failure(ImportProblem::ColumnCount, reader_.lineNumber(),
                         std::to_string(token.columns));
        case conllu::LineKind::BadId:
          return failure(ImportProblem::BadId, reader_.lineNumber(), std::string(token.id));
        case conllu::LineKind::EmptyForm:
          return failure(ImportProblem::EmptyForm, reader_.lineNumber());
        case conllu::LineKind::Word:
          break;
      }
      // Only what is stored counts: ID through XPOS (UPOS stands in for an XPOS "_").
      const std::size_t used = static_cast<std::size_t>(token.xpos.data() + token.xpos.size() - line->data());
      if (auto failed = checkUnmappable(0, used)) return failed;
      if (cp949::findAnyOf(token.form, " \t\r\n") == std::string_view::npos) {
        record.word.assign(token.form);
      } else {
        record.word = cp949::removeBlanks(token.form);
        ++counts_.formBlanks;
      }
      conllu::PairedAnalysis paired = conllu::analysisOf(token, request_.attachDa);
      if (paired.mismatch && counts_.mismatches++ == 0) {
        counts_.firstMismatchLine = reader_.lineNumber();
      }
      record.analysis = std::move(paired.analysis);
      record.serial = maker_.nextSerial();
      if (auto failed = put(record)) return failed;
    }
    return std::nullopt;
  }

  const ImportRequest& request_;
  const SourcePlan& plan_;
  SourceReader reader_;
  DocumentWriter doc_;
  LineRecordMaker maker_;
  ImportCounts counts_;
};

}  // namespace

ImportOutcome importDocument(const ImportRequest& request, const SourcePlan& plan) {
  return ImportRun(request, plan).run();
}

}  // namespace selvanor::interchange
