// The unregistered-word dictionary (.mdj): word -> note, kept by hand. The operations on
// the file, and the texts the page, the dialogs and the command line show (UTF-8), free of
// any toolkit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/progress.h"
#include "common/result_codes.h"

namespace selvanor::unregistered {

namespace msg {
inline constexpr const char* kSetDictionary = "미등재어 사전 이름을 등록해 주세요";
inline constexpr const char* kSelectToModify = "수정할 미등재어를 선택해 주세요";
inline constexpr const char* kSelectToDelete = "삭제할 미등재어를 선택해 주세요";
inline constexpr const char* kChooseDictionary = "미등재어 사전을 선택해 주세요 ";
inline constexpr const char* kSaved = "미등재어 사전이 텍스트로 저장되었습니다.";
inline constexpr const char* kSaveFailed = "미등재어 사전을 텍스트로 저장하지 못했습니다.";
inline constexpr const char* kMergeMode = "미등재 사전";
inline constexpr const char* kAdded = "미등재어를 추가했습니다.";
inline constexpr const char* kExists = "이미 등록된 미등재어입니다.";
inline constexpr const char* kRemoved = "미등재어를 삭제했습니다.";
inline constexpr const char* kNotFound = "사전에 없는 미등재어입니다.";
inline constexpr const char* kCannotOpen = "미등재어 사전을 열 수 없습니다.";
inline constexpr const char* kCannotWrite = "미등재어 사전에 저장할 수 없습니다.";
inline constexpr const char* kCannotPutBack =
    "미등재어 사전에 저장할 수 없고, 지운 미등재어도 되돌려 놓지 못했습니다. 사전을 확인해 주세요.";
}  // namespace msg

// True when `word` begins with the whole characters of `prefix`: a byte prefix that ends on
// a character boundary of `word` (an empty prefix matches every word).
[[nodiscard]] bool beginsWithWhole(std::string_view word, std::string_view prefix);

// What the save-as-text command shows after printDBcont.
[[nodiscard]] std::string saveOutcomeMessage(ResultCode result);

// One unregistered word and its note (CP949).
struct Entry {
  std::string word;  // 미등재어: the key
  std::string note;  // 비고: may hold line breaks
};

// FindMideungjae's success result, and delMideungjae's when the delete fails.
using result::kMideungjaeFound;
using result::kMideungjaeNotDeleted;

// Every entry whose word begins with `prefix` (whole characters; empty matches all), in
// key order. An existing file only. kMideungjaeFound (also when nothing matched);
// kTextFileError (the file cannot be read); kOpenError (it is not a database).
[[nodiscard]] ResultCode FindMideungjae(const std::string& dictionary, std::string_view prefix,
                                        std::vector<Entry>& entries);

// Stores `note` under `word`; the file is created when missing. An existing word keeps
// its note unless `replace`. kOk; kAlreadyExists; kOpenError; kInsertError.
[[nodiscard]] ResultCode addMideungjae(const std::string& dictionary, std::string_view word,
                                       std::string_view note, bool replace);

// Deletes `word` if present (the page's delete). An existing file only. kOk (also when
// absent); kMideungjaeNotDeleted; kOpenError.
[[nodiscard]] ResultCode delMideungjae(const std::string& dictionary, std::string_view word);

// Deletes `word` (before the modified entry is stored). An existing file only. kOk;
// kRemoveError (absent, or the delete failed); kOpenError.
[[nodiscard]] ResultCode removeMideungjae(const std::string& dictionary, std::string_view word);

// Replaces the entry of `oldWord` (if still there) by `word` with `note`, replacing what
// `word` held: both writes or neither. An existing file only. kOk; kOpenError; kRemoveError /
// kInsertError (a write failed: nothing changed).
[[nodiscard]] ResultCode replaceMideungjae(const std::string& dictionary, std::string_view oldWord,
                                           std::string_view word, std::string_view note);

// Adds every word of `other` that `base` lacks (base created when missing); a word in
// both keeps the base's note. `other` must exist and is not changed; merging a dictionary
// into itself changes nothing. The base is changed as one logged group: kOk; kOpenError;
// kInsertError (nothing is merged); kCancelled (`progress`, told the words of `other` read,
// asked to stop: nothing is merged).
[[nodiscard]] ResultCode mergeMideungjaeDB(const std::string& base, const std::string& other,
                                           const ProgressFn& progress = {});

}  // namespace selvanor::unregistered
