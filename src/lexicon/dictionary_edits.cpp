#include "lexicon/dictionary_edits.h"

#include <algorithm>
#include <vector>

namespace selvanor {
namespace homonym {

EditOutcome modifySense(HomonymDictionary& dictionary, const std::string& path,
                        const HomonymSense& old, const HomonymSense& edited) {
  if (edited.headword != old.headword || edited.numberedForm != old.numberedForm) {
    std::vector<HomonymSense> senses;
    if (dictionary.getDongum(path, edited.headword, senses) == kDongumUnavailable) {
      return {result::kOpenError, msg::kCannotOpen, true};
    }
    const bool taken = std::any_of(senses.begin(), senses.end(), [&](const HomonymSense& s) {
      return s.numberedForm == edited.numberedForm;
    });
    if (taken) return {result::kAlreadyExists, msg::kDuplicate, true};
  }
  // The old sense goes and the new one comes in one change: a failed write keeps the old.
  const ResultCode rc = dictionary.replaceDongumRec(path, old, edited);
  if (rc == result::kOk) return {};
  if (rc == result::kOpenError) return {rc, msg::kCannotOpen};
  return {rc, rc == result::kAlreadyExists ? msg::kDuplicate : msg::kCannotWrite};
}

const char* addOrRemoveMessage(ResultCode rc) {
  if (rc == result::kOpenError) return msg::kCannotOpen;
  const bool quiet = rc == result::kOk || rc == result::kAlreadyExists || rc == result::kKeyNotFound;
  return quiet ? nullptr : msg::kCannotWrite;
}

}  // namespace homonym

namespace unregistered {

EditOutcome modifyEntry(const std::string& path, const Entry& old, const Entry& edited) {
  const ResultCode rc = replaceMideungjae(path, old.word, edited.word, edited.note);
  if (rc == result::kOk) return {};
  return {rc, rc == result::kOpenError ? msg::kCannotOpen : msg::kCannotWrite};
}

const char* addMessage(ResultCode rc) {
  if (rc == result::kOpenError) return msg::kCannotOpen;
  return rc == result::kOk || rc == result::kAlreadyExists ? nullptr : msg::kCannotWrite;
}

const char* deleteMessage(ResultCode rc) {
  if (rc == result::kOpenError) return msg::kCannotOpen;
  return rc == result::kOk ? nullptr : msg::kCannotWrite;
}

}  // namespace unregistered
}  // namespace selvanor
