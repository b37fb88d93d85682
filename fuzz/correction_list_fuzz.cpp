// The auto-correction list: its reader, the pair automaton and the replacements.
#include <vector>

#include "common/cp949.h"
#include "fuzz_support.h"
#include "lexicon/auto_correction.h"

using namespace selvanor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::bytes(data, size);
  const std::string path = fuzz::writeScratch("list.txt", input);
  correction::ListReader reader(path);
  FUZZ_CHECK(reader.isOpen());
  std::vector<correction::Pair> pairs;
  while (auto pair = reader.next()) {
    FUZZ_CHECK(cp949::isWellFormed(pair->from) && cp949::isWellFormed(pair->to));
    pairs.push_back(std::move(*pair));
  }
  if (reader.error() != correction::Outcome::ListError::None) {
    correction::Outcome outcome;
    outcome.listError = reader.error();
    outcome.errorLine = reader.lineNumber();
    outcome.errorText = reader.errorText();
    outcome.foreignText = reader.foreignText();
    FUZZ_CHECK(correction::formatErrorDetail(outcome).size() < 1500);
  }
  correction::Corrector corrector(pairs);
  std::string out;
  for (const correction::Pair& p : pairs) {
    (void)corrector.apply(p.from, out);
    FUZZ_CHECK(out.find('\t') == std::string::npos && out.find('\n') == std::string::npos);
  }
  (void)corrector.apply(input, out);
  return 0;
}
