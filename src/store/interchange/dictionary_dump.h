// The text-dump lines of the two dictionaries (homonym .dic, unregistered-word .mdj).
// They live in the store because the text export writes them; the lexicon reads them back.
#pragma once

#include <string>
#include <string_view>

#include "store/engine/codecs.h"

namespace selvanor::dump {

// "#1headword#2numberedForm#3hanja#5meaning" and CR LF: a record of a homonym source file,
// so that a dump builds the same dictionary again.
[[nodiscard]] std::string homonymLine(const codec::Fields<4>& item);

// "key:[word]\tmemo:[note]" and CR LF, every CR and LF inside the note shown as a blank so
// that each entry stays on one line.
[[nodiscard]] std::string unregisteredLine(std::string_view word, std::string_view note);

// The note with every CR and LF replaced by a blank. Byte-wise is safe: CR and LF never
// occur as the second byte of a CP949 character.
[[nodiscard]] std::string noteOnOneLine(std::string_view note);

}  // namespace selvanor::dump
