#include "lexicon/homonym_dictionary_lookup.h"

namespace selvanor {

bool DongumLookup::open() {
  // Any key will do: the first look-up opens the file and keeps it open.
  std::vector<DBWrap::DongumEntry> entries;
  return db_.getDongum(dictionary_, std::string_view(), entries) != DBWrap::kDongumUnavailable;
}

std::vector<HomonymSense> DongumLookup::senses(std::string_view headword) {
  std::vector<DBWrap::DongumEntry> entries;
  const ResultCode rc = db_.getDongum(dictionary_, headword, entries);
  if (rc == DBWrap::kDongumUnavailable) unavailable_ = true;
  std::vector<HomonymSense> out;
  if (rc != result::kOk) return out;
  out.reserve(entries.size());
  for (auto& e : entries) {
    out.push_back({std::move(e.headword), std::move(e.numberedForm), std::move(e.hanja),
                   std::move(e.meaning)});
  }
  return out;
}

}  // namespace selvanor
