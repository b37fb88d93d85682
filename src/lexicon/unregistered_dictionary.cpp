// The unregistered-word dictionary (.mdj): word -> note as a TextValue, in key order.
#include "lexicon/unregistered_dictionary.h"

#include <db.h>

#include "common/cp949.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "store/codecs.h"
#include "store/storage.h"

namespace selvanor {
namespace unregistered {

bool beginsWithWhole(std::string_view word, std::string_view prefix) {
  if (word.size() < prefix.size() || word.compare(0, prefix.size(), prefix) != 0) return false;
  std::size_t at = 0;
  while (at < prefix.size()) at = cp949::nextChar(word, at);
  return at == prefix.size();
}

std::string saveOutcomeMessage(ResultCode result) {
  return result == result::kOk ? msg::kSaved : msg::kSaveFailed;
}

}  // namespace unregistered

ResultCode unregistered::FindMideungjae(const std::string& dictionary, std::string_view prefix,
                                  std::vector<Entry>& entries) {
  static constexpr std::string_view kOp = "FindMideungjae";
  entries.clear();
  if (!openFile(dictionary, "rb")) {
    reportStoreError(kOp, "read error");
    return result::kTextFileError;
  }
  Storage dic;
  if (!dic.openWithCursor(dictionary, nullptr, OpenMode::ExistingOnly)) {
    reportStoreError(kOp, "DB open error");
    return result::kOpenError;
  }
  for (bool more = dic.first(); more; more = dic.next()) {
    const std::string_view word = dic.key();
    if (unregistered::beginsWithWhole(word, prefix)) {
      entries.push_back({std::string(word), std::string(dic.value())});
    } else if (word.substr(0, prefix.size()) > prefix) {
      break;  // keys are in byte order: the words with this prefix are behind us
    }
  }
  if (dic.lastResult() != 0 && dic.lastResult() != DB_NOTFOUND) {
    reportStoreError(kOp, "DB read error");
    entries.clear();
    return result::kOpenError;
  }
  return kMideungjaeFound;
}

ResultCode unregistered::addMideungjae(const std::string& dictionary, std::string_view word,
                                 std::string_view note, bool replace) {
  static constexpr std::string_view kOp = "addMideungjae";
  Storage dic;
  if (!dic.open(dictionary)) {
    reportStoreError(kOp, "DB open error");
    return result::kOpenError;
  }
  if (dic.get(word)) {
    if (!replace) return result::kAlreadyExists;
  } else if (dic.lastResult() != DB_NOTFOUND) {
    reportStoreError(kOp, "DB read error");
    return result::kInsertError;
  }
  // put replaces in one step: a failed replace keeps the old note.
  if (!dic.put(word, codec::encodeText(note))) {
    reportStoreError(kOp, "DB insert error");
    return result::kInsertError;
  }
  if (!dic.close()) {
    reportStoreError(kOp, "DB write error");
    return result::kInsertError;
  }
  return result::kOk;
}

ResultCode unregistered::delMideungjae(const std::string& dictionary, std::string_view word) {
  static constexpr std::string_view kOp = "delMideungjae";
  Storage dic;
  if (!dic.open(dictionary, nullptr, OpenMode::ExistingOnly)) {
    reportStoreError(kOp, "DB open error");
    return result::kOpenError;
  }
  if (dic.get(word) && !dic.del(word)) {
    reportStoreError(kOp, "DB remove error");
    return kMideungjaeNotDeleted;
  }
  if (!dic.close()) {
    reportStoreError(kOp, "DB write error");
    return kMideungjaeNotDeleted;
  }
  return result::kOk;
}

ResultCode unregistered::removeMideungjae(const std::string& dictionary, std::string_view word) {
  static constexpr std::string_view kOp = "removeMideungjae";
  Storage dic;
  if (!dic.open(dictionary, nullptr, OpenMode::ExistingOnly)) {
    reportStoreError(kOp, "DB open error");
    return result::kOpenError;
  }
  if (!dic.del(word)) {
    reportStoreError(kOp, "DB remove error");
    return result::kRemoveError;
  }
  if (!dic.close()) {
    reportStoreError(kOp, "DB write error");
    return result::kRemoveError;
  }
  return result::kOk;
}

ResultCode unregistered::mergeMideungjaeDB(const std::string& base, const std::string& other) {
  static constexpr std::string_view kOp = "mergeMideungjaeDB";
  Storage from;
  if (!from.openWithCursor(other, nullptr, OpenMode::ExistingOnly)) {
    reportStoreError(kOp, "DB open error");
    return result::kOpenError;
  }
  if (sameFile(base, other)) return result::kOk;  // every word is already there
  Storage into;
  if (!into.open(base)) {
    reportStoreError(kOp, "DB open error");
    return result::kOpenError;
  }
  for (bool more = from.first(); more; more = from.next()) {
    if (into.get(from.key())) continue;  // the base keeps its own note
    if (into.lastResult() != DB_NOTFOUND || !into.put(from.key(), from.value())) {
      reportStoreError(kOp, "DB insert error");
      return result::kInsertError;
    }
  }
  if (from.lastResult() != DB_NOTFOUND) {
    reportStoreError(kOp, "DB read error");
    return result::kOpenError;
  }
  if (!into.close()) {
    reportStoreError(kOp, "DB write error");
    return result::kInsertError;
  }
  return result::kOk;
}

}  // namespace selvanor
