// Merging one analysis document into another, and the merge dialog's messages.
#include "store/document_merge.h"

#include <db.h>

#include "common/diagnostics.h"
#include "common/files.h"
#include "store/codecs.h"
#include "store/storage.h"

namespace selvanor {

namespace merge {

std::optional<std::string> checkMerge(const std::string& base, const std::string& added,
                                      const std::string& openDocument) {
  if (base.empty()) return std::string(msg::kEnterBase);
  if (added.empty()) return std::string(msg::kEnterAdded);
  if (!openDocument.empty() && sameFile(base, openDocument)) return std::string(msg::kBaseInUse);
  return std::nullopt;
}

std::string outcomeMessage(ResultCode result) {
  if (result == result::kOk) return msg::kMerged;
  if (result == result::kOpenError) return msg::kUnreadable;
  return msg::kPartial;
}

}  // namespace merge

ResultCode merge::mergeBunsukDB(const std::string& base, const std::string& added) {
  static constexpr std::string_view kOp = "mergeBunsukDB";
  Storage from;
  if (!from.openWithCursor(added, nullptr, OpenMode::ExistingOnly)) {
    reportStoreError(kOp, "DB open error");
    return result::kOpenError;
  }
  // Read the whole added document first: a foreign or damaged file writes nothing.
  for (bool more = from.first(); more; more = from.next()) {
    if (!codec::decodeRecord(from.value())) {
      reportStoreError(kOp, "DB value error");
      return result::kOpenError;
    }
  }
  if (from.lastResult() != DB_NOTFOUND) {
    reportStoreError(kOp, "DB read error");
    return result::kOpenError;
  }
  // Every record would replace itself; a second handle on the same file must not write.
  if (sameFile(base, added)) return result::kOk;

  Storage into;
  if (!into.openWithCursor(base)) {
    reportStoreError(kOp, "DB open error");
    return result::kOpenError;
  }
  // A base that is not a document (a reference file, a dictionary) would be spoilt.
  if (into.first() ? !codec::decodeRecord(into.value()) : into.lastResult() != DB_NOTFOUND) {
    reportStoreError(kOp, "DB value error");
    return result::kOpenError;
  }
  for (bool more = from.first(); more; more = from.next()) {
    if (!into.put(from.key(), from.value())) {
      reportStoreError(kOp, "DB insert error");
      return result::kInsertError;
    }
  }
  if (from.lastResult() != DB_NOTFOUND) {
    reportStoreError(kOp, "DB read error");
    return result::kInsertError;
  }
  if (!into.close()) {
    reportStoreError(kOp, "DB write error");
    return result::kInsertError;
  }
  return result::kOk;
}

}  // namespace selvanor
