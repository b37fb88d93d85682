// Import of outside text: encoding decision, decoding, markup and CoNLL-U reading, and
// the CoNLL-U export of what was imported. A failed import leaves no document; a
// successful one holds records, and its export reads back as the same records.
#include "common/files.h"
#include "fuzz_support.h"
#include "store/engine/document_cursor.h"
#include "store/interchange/import_decisions.h"

using namespace selvanor;
using namespace selvanor::interchange;

namespace {

std::vector<AnalysisRecord> records(const std::string& path) {
  std::vector<AnalysisRecord> out;
  DocumentCursor c;
  if (c.open(path, OpenMode::ExistingOnly) != result::kOk) return out;
  for (auto s = c.first(); s == DocumentCursor::kRead; s = c.next()) out.push_back(c.current());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input = fuzz::writeScratch("input.txt", fuzz::bytes(data, size));
  const std::string output = fuzz::scratchPath("out.id");
  const std::uint8_t choice = size > 0 ? data[0] : 0;
  const ImportFormat formats[] = {ImportFormat::Auto, ImportFormat::Text, ImportFormat::Conllu};
  const Encoding encodings[] = {Encoding::Auto, Encoding::Cp949, Encoding::Utf8, Encoding::Utf16};
  const ImportPlan plan =
      planImport(input, output, "", formats[choice % 3], encodings[(choice / 3) % 4]);
  if (!plan.source) {
    FUZZ_CHECK(plan.refusal && !plan.refusal->empty());
    return 0;
  }
  removeFile(output);
  const ImportOutcome o =
      importDocument({input, output, "FUZZ001", (choice & 0x40) != 0, (choice & 0x80) != 0}, *plan.source);
  FUZZ_CHECK(!outcomeMessage(o, *plan.source).empty());
  if (o.code != result::kOk) {
    FUZZ_CHECK(!fileExists(output));
    return 0;
  }
  const std::vector<AnalysisRecord> imported = records(output);
  FUZZ_CHECK(!imported.empty() && imported.size() <= o.counts.records);
  // The CoNLL-U export of any imported document reads back to the same number of tokens.
  const std::string conll = fuzz::scratchPath("out.conllu");
  const ExportOutcome e = exportDocument(DocumentFormat::Conllu, output, conll);
  FUZZ_CHECK(e.code == result::kOk && e.records == imported.size());
  const Inspection again = inspectSource(conll, ImportFormat::Conllu, Encoding::Utf8);
  FUZZ_CHECK(again.plan.has_value());
  const std::string back = fuzz::scratchPath("back.id");
  removeFile(back);
  const ImportOutcome b = importDocument({conll, back, "FUZZ001", false, true}, *again.plan);
  FUZZ_CHECK(b.code == result::kOk && b.counts.records == imported.size());
  return 0;
}
