// The unregistered-word dictionary (.mdj): word -> note as a TextValue, in key order.
#include "lexicon/unregistered_dictionary.h"

#include <db.h>

#include "common/cp949.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"

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
    return failWith(result::kTextFileError, kOp, "read error");
  }
  Storage dic;
  if (!dic.openWithCursor(dictionary, nullptr, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  // Keys are in byte order: the words that begin with the prefix's bytes follow one another
  // from the first key at or after the prefix, and end at the first key that does not.
  for (bool more = dic.seekRange(prefix); more; more = dic.next()) {
    const std::string_view word = dic.key();
    if (unregistered::beginsWithWhole(word, prefix)) {
      entries.push_back({std::string(word), std::string(dic.value())});
    } else if (word.substr(0, prefix.size()) != prefix) {
      break;
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
  if (!dic.openForChange(dictionary)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  if (dic.get(word)) {
    if (!replace) return result::kAlreadyExists;
  } else if (dic.lastResult() != DB_NOTFOUND) {
    return failWith(result::kInsertError, kOp, "DB read error");
  }
  // put replaces in one step: a failed replace keeps the old note.
  if (!dic.put(word, codec::encodeText(note))) {
    return failWith(result::kInsertError, kOp, "DB insert error");
  }
  if (!dic.close()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

ResultCode unregistered::delMideungjae(const std::string& dictionary, std::string_view word) {
  static constexpr std::string_view kOp = "delMideungjae";
  Storage dic;
  if (!dic.openForChange(dictionary, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  if (dic.get(word) && !dic.del(word)) {
    return failWith(kMideungjaeNotDeleted, kOp, "DB remove error");
  }
  if (!dic.close()) {
    return failWith(kMideungjaeNotDeleted, kOp, "DB write error");
  }
  return result::kOk;
}

ResultCode unregistered::removeMideungjae(const std::string& dictionary, std::string_view word) {
  static constexpr std::string_view kOp = "removeMideungjae";
  Storage dic;
  if (!dic.openForChange(dictionary, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  if (!dic.del(word)) {
    return failWith(result::kRemoveError, kOp, "DB remove error");
  }
  if (!dic.close()) {
    return failWith(result::kRemoveError, kOp, "DB write error");
  }
  return result::kOk;
}

ResultCode unregistered::replaceMideungjae(const std::string& dictionary, std::string_view oldWord,
                                           std::string_view word, std::string_view note) {
  static constexpr std::string_view kOp = "replaceMideungjae";
  Storage dic;
  if (!dic.openForChange(dictionary, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  // The old word goes and the new one comes together, or neither.
  if (!dic.beginChange()) {
    return failWith(result::kInsertError, kOp, "DB transaction error");
  }
  if (!dic.del(oldWord) && dic.lastResult() != DB_NOTFOUND) {
    return failWith(result::kRemoveError, kOp, "DB remove error");
  }
  if (!dic.put(word, codec::encodeText(note))) {
    return failWith(result::kInsertError, kOp, "DB insert error");
  }
  if (!dic.commitChange() || !dic.close()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

ResultCode unregistered::mergeMideungjaeDB(const std::string& base, const std::string& other,
                                           const ProgressFn& progress) {
  static constexpr std::string_view kOp = "mergeMideungjaeDB";
  Storage from;
  if (!from.openWithCursor(other, nullptr, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  if (sameFile(base, other)) return result::kOk;  // every word is already there
  Storage into;
  if (!into.openForChange(base)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  // The whole merge reaches the dictionary or none of it does.
  if (!into.beginChange()) {
    return failWith(result::kInsertError, kOp, "DB transaction error");
  }
  ProgressReporter reporter(progress, from.recordCount().value_or(0));
  for (bool more = from.first(); more; more = from.next()) {
    // Returning before the commit undoes the group; a dictionary changed without a log (no
    // folder for one beside it) is merged to the end.
    if (!reporter.step() && into.logged()) return result::kCancelled;
    if (into.get(from.key())) continue;  // the base keeps its own note
    if (into.lastResult() != DB_NOTFOUND || !into.put(from.key(), from.value())) {
      return failWith(result::kInsertError, kOp, "DB insert error");
    }
  }
  if (from.lastResult() != DB_NOTFOUND) {
    return failWith(result::kOpenError, kOp, "DB read error");
  }
  if (!into.commitChange() || !into.close()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

}  // namespace selvanor
