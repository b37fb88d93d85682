// The 수정 (modify) of the dictionary pages: an entry is changed by removing the old one and
// storing the new one in one change of the file, so that a failed write (or a kill) keeps
// the old one. Toolkit-free, so the pages only show the message.
#pragma once

#include <string>

#include "common/result_codes.h"
#include "lexicon/homonym_dictionary.h"
#include "lexicon/unregistered_dictionary.h"

namespace selvanor {

// What a modify did: kOk, or the failure with the message to show (UTF-8; null on kOk).
struct EditOutcome {
  ResultCode code = result::kOk;
  const char* message = nullptr;
  bool refused = false;  // turned down before the dictionary was touched

  [[nodiscard]] bool ok() const { return code == result::kOk; }
};

namespace homonym {

// Replaces the sense `old` of the dictionary at `path` by `edited`. A changed head word
// or numbered form that the target head word already has is refused before anything
// changes (kAlreadyExists, msg::kDuplicate, refused): removing first would lose the old
// sense. kOpenError (msg::kCannotOpen) when the dictionary cannot be opened; kInsertError or
// kRemoveError (msg::kCannotWrite) when a write failed, the dictionary then unchanged. An
// old sense that is already gone is not an error.
[[nodiscard]] EditOutcome modifySense(HomonymDictionary& dictionary, const std::string& path,
                                      const HomonymSense& old, const HomonymSense& edited);

// The message after 추가 or 삭제 returned `rc` (null when nothing needs saying: success,
// a sense already there or already gone, which the refreshed list shows).
[[nodiscard]] const char* addOrRemoveMessage(ResultCode rc);

}  // namespace homonym

namespace unregistered {

// Replaces the entry `old` of the dictionary at `path` by `edited` (its note replacing
// whatever the new word held). kOpenError (msg::kCannotOpen); kInsertError
// (msg::kCannotWrite) when the new entry could not be stored, the dictionary then
// unchanged. An old word that is already gone is not an error.
[[nodiscard]] EditOutcome modifyEntry(const std::string& path, const Entry& old, const Entry& edited);

// The message after 추가 returned `rc` (null on success or when the word was already
// there, which the refreshed list shows).
[[nodiscard]] const char* addMessage(ResultCode rc);

// The message after 삭제 returned `rc` (null on success).
[[nodiscard]] const char* deleteMessage(ResultCode rc);

}  // namespace unregistered
}  // namespace selvanor
