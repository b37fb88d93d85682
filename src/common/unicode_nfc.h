// Normalisation form C for text that came from CP949. CP949 holds no combining marks,
// so the only characters whose NFC differs are singletons: the Angstrom and Ohm signs
// and the 268 duplicate Hanja of KS X 1001, which map to CJK compatibility ideographs.
// Tools that require NFC (the UD validator does) get their canonical equivalents.
#pragma once

#include <string>

namespace selvanor::unicode {

// Replaces, in UTF-8 text converted from CP949, every character whose NFC is another
// single character by that character. Other text is left byte for byte.
void composeCp949Singletons(std::string& utf8);

}  // namespace selvanor::unicode
