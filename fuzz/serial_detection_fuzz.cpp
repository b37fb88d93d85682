// Serial detection and the foreign-text check over the start of an input file.
#include "common/text_kind.h"
#include "fuzz_support.h"
#include "store/document/build_decisions.h"
#include "store/document/serial_numbers.h"

using namespace selvanor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::bytes(data, size);
  const std::string path = fuzz::writeScratch("input.txt", input);
  (void)detectSerialNumbers(path);
  const auto foreign = text::describeForeignText(input);
  FUZZ_CHECK(foreign == text::describeForeignFile(path) || size >= text::kSampleBytes);
  const build::BuildPlan plan = build::planDocumentBuild(path, fuzz::scratchPath("out.id"), "");
  // A file that is not CP949 is always refused before its serials are judged.
  FUZZ_CHECK(!foreign || plan.refusal);
  (void)build::checkSerialPrefix(input);
  return 0;
}
