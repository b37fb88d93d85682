// Building analysis documents from analysed text, and the numbered copy of a text.
#include <cstdio>

#include "common/cp949.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "common/text_kind.h"
#include "store/document/document_build.h"
#include "store/document/serial_numbers.h"
#include "store/document/analysis_record.h"

namespace selvanor {

ParsedLine DocumentBuilder::parseLine(std::string_view line, bool attachDa) {
  ParsedLine parsed = selvanor::parseLine(line, attachDa);
  lastSerial_ = parsed.record.serial;
  return parsed;
}

ResultCode DocumentBuilder::addIndex(const std::string& input, const std::string& output,
                            std::string_view prefix) {
  LineReader reader(input);
  if (!reader.isOpen()) {
    return failWithLine(result::kTextFileError, "DBWrap::addIndex => open error of read file\n");
  }
  FileReplacement target(output);
  FilePtr out = openFile(target.temporaryPath(), "wb");
  if (!out) {
    return failWithLine(result::kTextFileError, "DBWrap::addIndex => open error of write file\n");
  }
  unsigned long count = 0;
  bool ok = true;
  while (auto line = reader.next()) {
    const std::string_view trimmed = cp949::trim(*line);
    if (trimmed.empty()) continue;
    std::string text = " " + makeSerial(prefix, ++count) + "  ";
    text.append(trimmed);
    text += '\n';
    ok = ok && std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
  }
  ok = ok && !reader.failed() && std::fclose(out.release()) == 0;
  if (!ok || !target.commit()) {
    return failWithLine(result::kTextFileError, "DBWrap::addIndex => write error of write file\n");
  }
  return result::kOk;
}

ResultCode DocumentBuilder::makeBunsukDB(const std::string& input, const std::string& output,
                                std::string_view prefix, SerialMode mode, bool attachDa,
                                const ProgressFn& progress) {
  static constexpr std::string_view kOp = "makeBunsukDB";
  lastSerial_.clear();
  foreignText_.clear();
  // Generated serials are made while reading: the result is the document the numbered
  // copy would give, without writing that copy beside the user's text.
  LineReader reader(input);
  if (!reader.isOpen()) {
    return failWith(result::kTextFileError, kOp, "open error of read file");
  }
  // Renamed over its path at the end: aimed at the input, it would replace the text.
  if (sameFile(input, output)) {
    return failWith(result::kOpenError, kOp, "the output is the input");
  }
  // A UTF-8, UTF-16 or binary file would build garbage (unnumbered) or fail at a serial
  // that says nothing of why (numbered): it is refused at its first line, with the hint.
  if (auto foreign = text::describeForeignFile(input)) foreignText_ = std::move(*foreign);
  DocumentWriter doc(output);
  if (!doc.open()) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  ProgressReporter reporter(progress, fileSizeOf(input));
  LineRecordMaker maker(mode, prefix, attachDa);
  while (auto line = reader.next()) {
    if (!reporter.report(reader.bytesRead())) return result::kCancelled;
    const std::string_view trimmed = cp949::trim(*line);
    if (trimmed.empty()) continue;
    ParsedLine parsed = maker.make(trimmed);
    lastSerial_ = parsed.record.serial;
    if (parsed.status != result::kOk || !foreignText_.empty()) return result::kFormatError;
    if (!doc.put(parsed.record)) {
      return failWith(result::kInsertError, kOp, "DB insert error");
    }
  }
  if (reader.failed()) {
    return failWith(result::kTextFileError, kOp, "read error of read file");
  }
  if (!foreignText_.empty()) return result::kFormatError;
  if (!doc.finish()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

}  // namespace selvanor
