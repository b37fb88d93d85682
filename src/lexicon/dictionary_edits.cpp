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
  const ResultCode removed = dictionary.removeDongumRec(path, old.headword, old.numberedForm);
  if (removed == result::kOpenError) return {removed, msg::kCannotOpen};
  if (removed != result::kOk && removed != result::kKeyNotFound) return {removed, msg::kCannotWrite};
  const ResultCode added = dictionary.addDongumRec(path, edited);
  if (added == result::kOk) return {};
  // The old sense goes back rather than vanish; when even that fails the user is told.
  if (removed == result::kOk && dictionary.addDongumRec(path, old) != result::kOk) {
    return {added, msg::kCannotPutBack};
  }
  return {added, added == result::kAlreadyExists ? msg::kDuplicate : msg::kCannotWrite};
}

const char* addOrRemoveMessage(ResultCode rc) {
  if (rc == result::kOpenError) return msg::kCannotOpen;
  const bool quiet = rc == result::kOk || rc == result::kAlreadyExists || rc == result::kKeyNotFound;
  return quiet ? nullptr : msg::kCannotWrite;
}

}  // namespace homonym

namespace unregistered {

EditOutcome modifyEntry(const std::string& path, const Entry& old, const Entry& edited) {
  const ResultCode removed = removeMideungjae(path, old.word);
  if (removed == result::kOpenError) return {removed, msg::kCannotOpen};
  const ResultCode added = addMideungjae(path, edited.word, edited.note, true);
  if (added == result::kOk) return {};
  if (removed == result::kOk && addMideungjae(path, old.word, old.note, true) != result::kOk) {
    return {added, msg::kCannotPutBack};
  }
  return {added, msg::kCannotWrite};
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
