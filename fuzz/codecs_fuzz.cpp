// Every value codec of the store over arbitrary bytes: decoders never read past the
// value, and what decodes encodes back to the same bytes.
#include "fuzz_support.h"
#include "store/engine/codecs.h"

using namespace selvanor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view value = fuzz::bytes(data, size);
  if (const auto r = codec::decodeRecord(value)) FUZZ_CHECK(codec::encodeRecord(*r) == value);
  if (const auto q = codec::decodeQuad(value)) FUZZ_CHECK(codec::encodeQuad(*q) == value);
  if (const auto p = codec::decodePair(value)) {
    FUZZ_CHECK(codec::encodePair((*p)[0], (*p)[1]) == value);
  }
  if (const auto t = codec::decodeTextInt(value)) {
    FUZZ_CHECK(codec::encodeTextInt(t->text, t->number) == value);
  }
  for (const std::size_t fields : {2u, 3u, 4u}) {
    if (const auto items = codec::splitList(value, fields)) {
      const std::vector<std::string> owned(items->begin(), items->end());
      FUZZ_CHECK(codec::encodeList(owned) == value);
    }
  }
  if (const auto records = codec::decodeRecordList(value)) {
    const auto grown = codec::appendToList(value, codec::encodeRecord({"S", "w", "a/NN"}));
    FUZZ_CHECK(grown.has_value());
    const auto again = codec::decodeRecordList(*grown);
    FUZZ_CHECK(again && again->size() == records->size() + 1);
  }
  (void)codec::decodeQuadList(value);
  std::string_view in = value;
  std::string s;
  std::uint32_t n = 0;
  while (codec::readString(in, s)) {
  }
  in = value;
  while (codec::readU32(in, n)) {
  }
  return 0;
}
