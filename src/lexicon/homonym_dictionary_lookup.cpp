#include "lexicon/homonym_dictionary_lookup.h"

namespace selvanor {

bool DongumLookup::open() {
  // Any key will do: the first look-up opens the file and keeps it open.
  std::vector<HomonymSense> senses;
  return db_.getDongum(dictionary_, std::string_view(), senses) != homonym::kDongumUnavailable;
}

std::vector<HomonymSense> DongumLookup::senses(std::string_view headword) {
  std::vector<HomonymSense> senses;
  const ResultCode rc = db_.getDongum(dictionary_, headword, senses);
  if (rc == homonym::kDongumUnavailable) unavailable_ = true;
  if (rc != result::kOk) senses.clear();
  return senses;
}

}  // namespace selvanor
