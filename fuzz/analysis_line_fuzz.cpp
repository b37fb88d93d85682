// Analysed-text lines: parsing, normalisation and the export round trip. A record that
// parses must come back unchanged when its export line is read again, and through its
// stored value. The first byte chooses the attach-다 rule.
#include "common/cp949.h"
#include "fuzz_support.h"
#include "store/document/analysis_record.h"
#include "store/engine/codecs.h"

using namespace selvanor;

namespace {

void checkLine(std::string_view line, bool attachDa) {
  const std::string_view trimmed = cp949::trim(line);
  if (trimmed.empty()) return;
  (void)normalizeAnalysis(trimmed, attachDa);
  (void)parseUnnumberedLine("FUZZ0000010", trimmed, attachDa);
  const ParsedLine parsed = parseLine(trimmed, attachDa);
  if (parsed.status != result::kOk) return;
  const AnalysisRecord& r = parsed.record;
  FUZZ_CHECK(!r.serial.empty() && !r.word.empty() && !r.analysis.empty());
  // The export line, read back as a build reads it.
  const std::string exported = recordLine(r, "\t", "");
  const ParsedLine again = parseLine(cp949::trim(exported), attachDa);
  FUZZ_CHECK(again.status == result::kOk);
  FUZZ_CHECK(again.record == r);
  const auto decoded = codec::decodeRecord(codec::encodeRecord(r));
  FUZZ_CHECK(decoded && *decoded == r);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool attachDa = (data[0] & 1) != 0;
  std::string_view text = fuzz::bytes(data + 1, size - 1);
  // Lines as the line reader gives them: split at LF.
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    checkLine(text.substr(0, lf), attachDa);
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
  return 0;
}
