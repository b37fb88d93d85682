#include "stats/homonym_exempt.h"

#include <string>

#include "common/encoding.h"

namespace selvanor {

bool IsHomonymExempt(std::string_view tag, std::string_view morpheme) {
  if (tag.empty()) return false;
  switch (tag.front()) {
    case 'X': {
      // Suffixes that are real homonyms and must still be corrected.
      static const std::string kCorrected[] = {
          encoding::cp949Literal("대"), encoding::cp949Literal("생"), encoding::cp949Literal("째"),
          encoding::cp949Literal("류")};
      for (const std::string& m : kCorrected) {
        if (morpheme == m) return false;
      }
      return true;
    }
    case 'S':
      for (std::string_view s : {"SF", "SP", "SS", "SL", "SO", "SE", "SH", "SW", "SN"}) {
        if (tag == s) return true;
      }
      return false;
    case 'E':
    case 'J':
      return true;
    default:
      return tag == "NNP" || tag == "VCP" || tag == "NV" || tag == "NA";
  }
}

bool IsHomonymExempt(const char* tag, const char* morpheme) {
  if (tag == nullptr || morpheme == nullptr) return true;
  return IsHomonymExempt(std::string_view(tag), std::string_view(morpheme));
}

}  // namespace selvanor
