// Look-up, add, remove and merge on a homonym dictionary (.dic): head word -> EncapList of
// QuadValue senses (headword, numbered form, hanja, meaning) in the order they were added.
#include "lexicon/homonym_dictionary.h"

#include <db.h>

#include "common/diagnostics.h"
#include "common/files.h"
#include "common/progress.h"
#include "store/engine/codecs.h"
#include "store/reference/encap_list.h"
#include "store/engine/storage.h"

namespace selvanor {
namespace {

constexpr std::size_t kQuadFields = 4;

// A homonym dictionary's values are lists of senses. Looking at the first record is
// enough to refuse an analysis document or an unregistered-word dictionary before
// writing senses into it; an empty file passes.
bool holdsSenses(Storage& dic) {
  if (!dic.first()) return dic.lastResult() == DB_NOTFOUND;
  return codec::splitList(dic.value(), kQuadFields).has_value();
}

// Every value of `dic` is a list of senses: kOk, kOpenError, or kCancelled when
// `reporter` (told one step per head word) was asked to stop.
ResultCode allSenses(Storage& dic, ProgressReporter& reporter) {
  bool more = dic.first();
  for (; more; more = dic.next()) {
    if (!reporter.step()) return result::kCancelled;
    if (!codec::splitList(dic.value(), kQuadFields)) return result::kOpenError;
  }
  return dic.lastResult() == DB_NOTFOUND ? result::kOk : result::kOpenError;
}

}  // namespace

namespace homonym {

HomonymDictionary::HomonymDictionary() = default;
HomonymDictionary::~HomonymDictionary() = default;

void HomonymDictionary::releaseLookup(const std::string& path) {
  if (lookup_ && sameFile(lookup_->fileName(), path)) lookup_.reset();
}

ResultCode HomonymDictionary::getDongum(const std::string& dictionary, std::string_view headword,
                                        std::vector<HomonymSense>& entries) {
  entries.clear();
  if (!lookup_ || lookup_->fileName() != dictionary) {
    lookup_.reset();
    auto opened = std::make_unique<Storage>();
    if (!opened->openWithCursor(dictionary, nullptr, OpenMode::ExistingOnly)) {
      return kDongumUnavailable;
    }
    // A document or another dictionary named by mistake would answer every head word
    // with nothing, and a correction run would "complete" having asked nothing.
    if (!holdsSenses(*opened)) {
      return failWith(kDongumUnavailable, "getDongum", "not a homonym dictionary");
    }
    lookup_ = std::move(opened);
  }
  if (!lookup_->get(headword)) return result::kNothingToRead;
  auto items = codec::decodeQuadList(lookup_->value());
  if (!items) {
    return failWith(kDongumUnavailable, "getDongum", "DB value error");
  }
  entries.reserve(items->size());
  for (auto& f : *items) {
    entries.push_back({std::move(f[0]), std::move(f[1]), std::move(f[2]), std::move(f[3])});
  }
  return result::kOk;
}

namespace {

// The sense goes to the end of its head word's list (Duplicate when the list holds it).
ResultCode appendSense(Storage& dic, const HomonymSense& entry, encap::Appended& appended) {
  const std::string item =
      codec::encodeQuad({entry.headword, entry.numberedForm, entry.hanja, entry.meaning});
  appended = encap::Appended::Stored;
  return encap::appendItem(dic, encap::kHomonymItem, entry.headword, item, appended);
}

// Removes the head word's sense with this numbered form; kKeyNotFound when there is none.
ResultCode removeSense(Storage& dic, std::string_view headword, std::string_view numberedForm,
                       std::string_view op) {
  if (!dic.get(headword)) {
    if (dic.lastResult() == DB_NOTFOUND) return result::kKeyNotFound;
    return failWith(result::kOpenError, op, "DB read error");
  }
  const auto items = codec::splitList(dic.value(), kQuadFields);
  if (!items) {
    return failWith(result::kOpenError, op, "DB value error");
  }
  std::vector<std::string> kept;
  kept.reserve(items->size());
  std::string_view form;
  for (std::string_view item : *items) {
    if (!encap::quadSecondField(item, form) || form != numberedForm) kept.emplace_back(item);
  }
  // The numbered form is always compared, also for a head word's only sense: removing a
  // sense that is not there changes nothing.
  if (kept.size() == items->size()) return result::kKeyNotFound;
  if (kept.empty()) {
    if (!dic.del(headword)) {
      return failWith(result::kRemoveError, op, "DB remove error");
    }
  } else if (!dic.put(headword, codec::encodeList(kept))) {
    // put replaces the value in one step, so a failure leaves the old list whole.
    return failWith(result::kInsertError, op, "DB insert error");
  }
  return result::kOk;
}

}  // namespace

ResultCode HomonymDictionary::addDongumRec(const std::string& dictionary, const HomonymSense& entry) {
  static constexpr std::string_view kOp = "addDongumRec";
  releaseLookup(dictionary);
  Storage dic;
  if (!dic.openForChangeWithCursor(dictionary)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  if (!holdsSenses(dic)) {
    return failWith(result::kOpenError, kOp, "DB value error");
  }
  encap::Appended appended = encap::Appended::Stored;
  if (const ResultCode rc = appendSense(dic, entry, appended); rc != result::kOk) return rc;
  if (!dic.close()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return appended == encap::Appended::Duplicate ? result::kAlreadyExists : result::kOk;
}

ResultCode HomonymDictionary::removeDongumRec(const std::string& dictionary, std::string_view headword,
                                   std::string_view numberedForm) {
  static constexpr std::string_view kOp = "removeDongumRec";
  releaseLookup(dictionary);
  Storage dic;
  if (!dic.openForChange(dictionary, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  if (const ResultCode rc = removeSense(dic, headword, numberedForm, kOp); rc != result::kOk) {
    return rc;
  }
  if (!dic.close()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

ResultCode HomonymDictionary::replaceDongumRec(const std::string& dictionary,
                                               const HomonymSense& old,
                                               const HomonymSense& edited) {
  static constexpr std::string_view kOp = "replaceDongumRec";
  releaseLookup(dictionary);
  Storage dic;
  if (!dic.openForChangeWithCursor(dictionary, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  if (!holdsSenses(dic)) {
    return failWith(result::kOpenError, kOp, "DB value error");
  }
  // Both writes or neither: the old sense is never lost between them.
  if (!dic.beginChange()) {
    return failWith(result::kInsertError, kOp, "DB transaction error");
  }
  const ResultCode removed = removeSense(dic, old.headword, old.numberedForm, kOp);
  if (removed != result::kOk && removed != result::kKeyNotFound) return removed;
  encap::Appended appended = encap::Appended::Stored;
  if (const ResultCode rc = appendSense(dic, edited, appended); rc != result::kOk) return rc;
  if (appended == encap::Appended::Duplicate) return result::kAlreadyExists;  // undone
  if (!dic.commitChange() || !dic.close()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

ResultCode HomonymDictionary::mergeDongumDB(const std::string& base, const std::string& other,
                                            const ProgressFn& progress) {
  static constexpr std::string_view kOp = "mergeDongumDB";
  Storage from;
  if (!from.openWithCursor(other, nullptr, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  // Each head word of `other` is counted twice: checked, then written.
  ProgressReporter reporter(progress, 2ull * from.recordCount().value_or(0));
  // A foreign file on either side is refused before anything is written (or created).
  if (const ResultCode rc = allSenses(from, reporter); rc != result::kOk) {
    return rc == result::kCancelled ? rc : failWith(rc, kOp, "DB value error");
  }
  // Every sense of a dictionary is already in itself.
  if (sameFile(base, other)) return result::kOk;
  releaseLookup(base);
  Storage into;
  if (!into.openForChangeWithCursor(base)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  if (!holdsSenses(into)) {
    return failWith(result::kOpenError, kOp, "DB value error");
  }
  // The whole merge reaches the dictionary or none of it does.
  if (!into.beginChange()) {
    return failWith(result::kInsertError, kOp, "DB transaction error");
  }
  bool more = from.first();
  for (; more; more = from.next()) {
    // Returning before the commit undoes the group; a dictionary changed without a log (no
    // folder for one beside it) is merged to the end.
    if (!reporter.step() && into.logged()) return result::kCancelled;
    const auto items = codec::splitList(from.value(), kQuadFields);
    if (!items) {
      return failWith(result::kOpenError, kOp, "DB value error");
    }
    for (std::string_view item : *items) {
      encap::Appended appended = encap::Appended::Stored;
      if (encap::appendItem(into, encap::kHomonymItem, from.key(), item, appended) != result::kOk) {
        return result::kInsertError;
      }
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

}  // namespace homonym
}  // namespace selvanor
