// Reference files: build, look-up, merge, and the messages of their dialogs.
#include "store/reference/reference_file.h"

#include <db.h>

#include <limits>

#include "common/derived_paths.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "common/progress.h"
#include "store/engine/codecs.h"
#include "store/engine/database_replacement.h"
#include "store/engine/storage.h"

namespace selvanor {
namespace {

// The word of a stored analysis record, a view into `value`; false when the value is
// not exactly one TripleValue.
bool recordWord(std::string_view value, std::string_view& word) {
  std::uint32_t len = 0;
  for (int field = 0; field < 3; ++field) {
    if (!codec::readU32(value, len) || len > value.size()) return false;
    if (field == 1) word = value.substr(0, len);
    value.remove_prefix(len);
  }
  return value.empty();
}

struct ListHead {
  std::uint32_t count = 0;
  std::uint32_t bytes = 0;
  std::string_view items;
};

// The head of a reference entry whose items are all TripleValues; nullopt otherwise.
std::optional<ListHead> readReferenceList(std::string_view value) {
  if (!codec::splitList(value, 3)) return std::nullopt;
  ListHead head;
  if (!codec::readU32(value, head.count) || !codec::readU32(value, head.bytes)) return std::nullopt;
  head.items = value;
  return head;
}

bool fitsTogether(const ListHead& a, const ListHead& b) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
  return std::uint64_t{a.count} + b.count <= kMax && std::uint64_t{a.bytes} + b.bytes <= kMax;
}

// `a`'s items followed by `b`'s: what appending b's items one by one would leave.
std::string joinLists(const ListHead& a, const ListHead& b) {
  std::string out;
  out.reserve(8 + a.items.size() + b.items.size());
  codec::appendU32(out, a.count + b.count);
  codec::appendU32(out, a.bytes + b.bytes);
  out.append(a.items);
  out.append(b.items);
  return out;
}

// mergeWonmunDB's first pass, read only: both must be reference files and every joined
// list must fit, so that a foreign or damaged file leaves the base untouched. `self`:
// `into` is `from`, opened once. A stop asked for here writes nothing.
ResultCode checkMerge(Storage& from, Storage& into, bool self, std::string_view op,
                      ProgressReporter& reporter) {
  std::string key;
  for (bool more = from.first(); more; more = from.next()) {
    if (!reporter.step()) return result::kCancelled;
    const auto adding = readReferenceList(from.value());
    if (!adding) {
      return failWith(result::kOpenError, op, "DB value error");
    }
    if (self) {
      if (!fitsTogether(*adding, *adding)) {
        return failWith(result::kOpenError, op, "entry too large");
      }
      continue;
    }
    const ListHead addingHead = *adding;
    key.assign(from.key());
    if (into.get(key)) {
      const auto held = readReferenceList(into.value());
      if (!held) {
        return failWith(result::kOpenError, op, "DB value error");
      }
      if (!fitsTogether(*held, addingHead)) {
        return failWith(result::kOpenError, op, "entry too large");
      }
    } else if (into.lastResult() != DB_NOTFOUND) {
      return failWith(result::kOpenError, op, "DB read error");
    }
  }
  if (from.lastResult() != DB_NOTFOUND) {
    return failWith(result::kOpenError, op, "DB read error");
  }
  return result::kOk;
}

// mergeWonmunDB's second pass: one get and one put per word, the added items after the
// base's. A stop asked for returns at once when the change group can be undone; a base
// changed without a log (no folder for one beside it) is merged to the end.
ResultCode appendEntries(Storage& from, Storage& into, std::string_view op,
                         ProgressReporter& reporter) {
  std::string key;
  std::string value;
  for (bool more = from.first(); more; more = from.next()) {
    if (!reporter.step() && into.logged()) return result::kCancelled;
    key.assign(from.key());
    value.assign(from.value());
    const auto adding = readReferenceList(value);
    std::string merged;
    if (into.get(key)) {
      const auto held = readReferenceList(into.value());
      if (!held || !adding) {
        return failWith(result::kInsertError, op, "DB value error");
      }
      merged = joinLists(*held, *adding);
    } else if (into.lastResult() == DB_NOTFOUND) {
      merged = value;
    } else {
      return failWith(result::kInsertError, op, "DB read error");
    }
    if (!into.put(key, merged)) {
      return failWith(result::kInsertError, op, "DB insert error");
    }
  }
  if (from.lastResult() != DB_NOTFOUND) {
    return failWith(result::kInsertError, op, "DB read error");
  }
  return result::kOk;
}

}  // namespace

namespace reference {

ResultCode buildReferenceFile(const std::string& document, const std::string& reference,
                              const GroupingLimits& limits, const ProgressFn& progress) {
  static constexpr std::string_view kOp = "makeWonmunDB";
  if (sameFile(document, reference)) {
    return failWith(result::kOpenError, kOp, "reference file is the document error");
  }
  Storage doc;
  if (!doc.openWithCursor(document, nullptr, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error of document");
  }
  // The item of a record is the record's own stored value (a TripleValue), so it is
  // grouped as it stands, without decoding and encoding it again.
  ItemGrouper grouper(limits);
  std::string_view word;
  const std::uint64_t records = doc.recordCount().value_or(0);
  ProgressReporter reporter(progress, records);
  for (bool more = doc.first(); more; more = doc.next()) {
    if (!reporter.step()) return result::kCancelled;
    if (!recordWord(doc.value(), word)) {
      return failWith(result::kOpenError, kOp, "DB value error of document");
    }
    if (!grouper.add(word, doc.value())) {
      return failWith(result::kInsertError, kOp, grouper.error());
    }
  }
  if (doc.lastResult() != DB_NOTFOUND) {
    return failWith(result::kOpenError, kOp, "DB read error of document");
  }
  doc.close();

  DatabaseReplacement target(reference);
  Storage ref;
  if (target.inUse() || !ref.open(target.temporaryPath())) {
    return failWith(result::kInsertError, kOp, "DB open error of reference file");
  }
  const bool stored = grouper.finish([&](std::string_view w, std::string_view list) {
    return reporter.report(records) && ref.put(w, list);
  });
  if (reporter.stopped()) return result::kCancelled;
  if (!stored) {
    return failWith(result::kInsertError, kOp, grouper.error().empty() ? "DB insert error" : grouper.error());
  }
  if (!ref.close() || !target.commit()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

std::string buildOutcomeMessage(ResultCode result) {
  if (result == result::kOk) return msg::kBuilt;
  if (result == result::kOpenError) return msg::kBuildDocumentUnreadable;
  return msg::kBuildNotWritten;
}

std::optional<std::string> checkMergeFields(const std::string& base, const std::string& added) {
  if (added.empty()) return std::string(msg::kEnterAdded);
  if (base.empty()) return std::string(msg::kEnterBase);
  return std::nullopt;
}

std::string mergeOutcomeMessage(ResultCode result) {
  if (result == result::kOk) return msg::kMerged;
  if (result == result::kCancelled) return kCancelledMessage;
  return std::string(msg::kMergeFailed) + "\n" +
         (result == result::kOpenError ? msg::kMergeUnreadable : msg::kMergePartial);
}


std::optional<std::string> checkExportTarget(const std::string& reference, const std::string& text) {
  if (sameFile(reference, text)) return std::string(msg::kExportOverSource);
  return std::nullopt;
}

std::string exportOutcomeMessage(ResultCode result) {
  if (result == result::kOk) return msg::kExported;
  if (result == result::kTextFileError) return msg::kExportNotWritten;
  return msg::kExportUnreadable;
}

std::string examplesFailureMessage(const std::string& document, const std::string& output,
                                   ResultCode result) {
  if (result == result::kTextFileError) {
    return std::string(msg::kExamplesOutputUnwritable) + " " + output;
  }
  if (result == result::kInsertError) {
    return std::string(msg::kExamplesOutputNotWritten) + " " + output;
  }
  return std::string(msg::kExamplesDocumentUnreadable) + " " + document;
}

}  // namespace reference

ResultCode reference::makeWonmunDB(const std::string& document, const ProgressFn& progress) {
  return reference::buildReferenceFile(document, derived::referenceFile(document), {}, progress);
}

ResultCode reference::getWonmun2(const std::string& reference, std::string_view word,
                              std::vector<AnalysisRecord>& items) {
  static constexpr std::string_view kOp = "getWonmun2";
  items.clear();
  Storage ref;
  if (!ref.open(reference, nullptr, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  if (ref.get(word)) {
    auto decoded = codec::decodeRecordList(ref.value());
    if (!decoded) {
      return failWith(result::kOpenError, kOp, "DB value error");
    }
    items = std::move(*decoded);
    return result::kOk;
  }
  if (ref.lastResult() != DB_NOTFOUND) {
    return failWith(result::kOpenError, kOp, "DB read error");
  }
  const auto records = ref.recordCount();
  if (!records) {
    return failWith(result::kOpenError, kOp, "DB read error");
  }
  return *records == 0 ? result::kNothingToRead : result::kOk;
}

ResultCode reference::mergeWonmunDB(const std::string& base, const std::string& added,
                                    const ProgressFn& progress) {
  static constexpr std::string_view kOp = "mergeWonmunDB";
  // A file merged into itself is opened once (for change): two handles on one file would
  // each cache pages of it. Its walk then sees every key once, since only existing keys
  // are rewritten.
  const bool self = sameFile(base, added);
  Storage from;
  if (!(self ? from.openForChangeWithCursor(added, OpenMode::ExistingOnly)
             : from.openWithCursor(added, nullptr, OpenMode::ExistingOnly))) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  Storage other;
  if (!self && !other.openForChange(base)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  Storage& into = self ? from : other;
  // Each word of `added` is counted twice: checked, then written.
  ProgressReporter reporter(progress, 2ull * from.recordCount().value_or(0));
  if (const ResultCode rc = checkMerge(from, into, self, kOp, reporter); rc != result::kOk) {
    return rc;
  }
  // The whole merge reaches the base or none of it does, across a kill or a full disk.
  if (!into.beginChange()) {
    return failWith(result::kInsertError, kOp, "DB transaction error");
  }
  // Returning before the commit undoes every write of the group.
  if (const ResultCode rc = appendEntries(from, into, kOp, reporter); rc != result::kOk) {
    return rc;
  }
  if (!into.commitChange() || !other.close() || !from.close()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

}  // namespace selvanor
