// Merging one analysis document into another, and the merge dialog's messages.
#include "store/document/document_merge.h"

#include <db.h>

#include "common/diagnostics.h"
#include "common/files.h"
#include "common/progress.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"

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
  if (result == result::kCancelled) return kCancelledMessage;
  return msg::kPartial;
}

}  // namespace merge

ResultCode merge::mergeBunsukDB(const std::string& base, const std::string& added,
                                const ProgressFn& progress) {
  static constexpr std::string_view kOp = "mergeBunsukDB";
  Storage from;
  if (!from.openWithCursor(added, nullptr, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  const auto keepGoing = [&progress](std::uint64_t done, std::uint64_t total) {
    return !progress || progress(done, total);
  };
  const std::uint64_t total = 2ull * from.recordCount().value_or(0);
  std::uint64_t done = 0;
  // Read the whole added document first: a foreign or damaged file writes nothing.
  for (bool more = from.first(); more; more = from.next()) {
    if (!keepGoing(++done, total)) return result::kCancelled;  // nothing written yet
    if (!codec::decodeRecord(from.value())) {
      return failWith(result::kOpenError, kOp, "DB value error");
    }
  }
  if (from.lastResult() != DB_NOTFOUND) {
    return failWith(result::kOpenError, kOp, "DB read error");
  }
  // Every record would replace itself; a second handle on the same file must not write.
  if (sameFile(base, added)) return result::kOk;

  Storage into;
  if (!into.openForChangeWithCursor(base)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  // A base that is not a document (a reference file, a dictionary) would be spoilt.
  if (into.first() ? !codec::decodeRecord(into.value()) : into.lastResult() != DB_NOTFOUND) {
    return failWith(result::kOpenError, kOp, "DB value error");
  }
  // The whole merge reaches the base or none of it does, across a kill or a full disk.
  if (!into.beginChange()) {
    return failWith(result::kInsertError, kOp, "DB transaction error");
  }
  for (bool more = from.first(); more; more = from.next()) {
    // Stopping undoes what the group wrote; a file changed without a log (no folder for
    // one beside it) cannot be taken back, so that merge runs to the end.
    if (!keepGoing(++done, total) && into.logged()) return result::kCancelled;
    if (!into.put(from.key(), from.value())) {
      return failWith(result::kInsertError, kOp, "DB insert error");
    }
  }
  if (from.lastResult() != DB_NOTFOUND) {
    return failWith(result::kInsertError, kOp, "DB read error");
  }
  if (!into.commitChange() || !into.close()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

}  // namespace selvanor
