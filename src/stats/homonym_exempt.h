// Which morphemes homonym correction leaves alone, decided from the tag alone (no tag
// file involved).
#pragma once

#include <string_view>

namespace selvanor {

// True when a morpheme with this tag is exempt from homonym correction:
//  tags beginning "X": exempt unless the morpheme is 대, 생, 째 or 류;
//  tags beginning "S": exempt only for SF SP SS SL SO SE SH SW SN;
//  tags beginning "E" or "J", and exactly NNP, VCP, NV, NA: exempt;
//  every other tag: not exempt.
// `tag` and `morpheme` are CP949 bytes; the tag is compared as given (upper case).
[[nodiscard]] bool IsHomonymExempt(std::string_view tag, std::string_view morpheme);

// As above; a null tag or morpheme counts as exempt.
[[nodiscard]] bool IsHomonymExempt(const char* tag, const char* morpheme);

}  // namespace selvanor
