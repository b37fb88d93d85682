#include "store/document/document_writer.h"

#include "store/engine/codecs.h"
#include "store/document/serial_numbers.h"
#include "store/document/analysis_record.h"

namespace selvanor {

std::string LineRecordMaker::nextSerial() { return makeSerial(prefix_, ++count_); }

ParsedLine LineRecordMaker::make(std::string_view trimmedLine) {
  if (mode_ == SerialMode::Numbered) return parseLine(trimmedLine, attachDa_);
  return parseUnnumberedLine(nextSerial(), trimmedLine, attachDa_);
}

bool DocumentWriter::put(const AnalysisRecord& record) {
  value_ = codec::encodeRecord(record);
  return doc_.put(record.serial, value_);
}

bool DocumentWriter::finish() { return doc_.close() && target_.commit(); }

}  // namespace selvanor
