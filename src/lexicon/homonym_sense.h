// One sense of a homonym head word, as the homonym dictionary stores it.
#pragma once

#include <string>

namespace selvanor {

// Four CP949 fields, stored as a QuadValue in this order.
struct HomonymSense {
  std::string headword;      // 음: also the dictionary key
  std::string numberedForm;  // 음번호: unique within its head word
  std::string hanja;         // 한자: a single blank when the source gave none
  std::string meaning;       // 의미: may hold line breaks
};

}  // namespace selvanor
