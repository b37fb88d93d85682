// The homonym dictionary's source text: records, their fields and the error message.
#include "fuzz_support.h"
#include "lexicon/homonym_dictionary.h"
#include "store/engine/codecs.h"

using namespace selvanor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::writeScratch("source.txt", fuzz::bytes(data, size));
  homonym::SourceReader reader(path);
  FUZZ_CHECK(reader.isOpen());
  while (auto record = reader.next()) {
    FUZZ_CHECK(!record->text.empty());
    const auto entry = homonym::splitRecord(record->text);
    if (!entry) {
      const std::string message =
          homonym::formatErrorMessage({record->lineCount, record->text, {}});
      FUZZ_CHECK(message.size() < 1000);  // the record is echoed cut
      continue;
    }
    const codec::Fields<4> fields{entry->headword, entry->numberedForm, entry->hanja,
                                  entry->meaning};
    const auto decoded = codec::decodeQuad(codec::encodeQuad(fields));
    FUZZ_CHECK(decoded && *decoded == fields);
  }
  FUZZ_CHECK(!reader.failed());
  return 0;
}
