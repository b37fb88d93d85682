// EncapList entries: appending one item to the list stored under a key.
#include "store/reference/encap_list.h"

#include <db.h>

#include <optional>
#include <unordered_set>

#include "common/diagnostics.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"

namespace selvanor {
namespace encap {
namespace {

constexpr std::string_view kOp = "writeEncapRec";

std::size_t fieldsOf(int kind) {
  if (kind == kRecordItem) return 3;
  if (kind == kHomonymItem) return 4;
  return 0;
}

// One item of exactly `fields` length-prefixed strings.
bool isItem(std::string_view item, std::size_t fields) {
  std::string_view one = item;
  for (std::size_t i = 0; i < fields; ++i) {
    std::uint32_t len = 0;
    if (!codec::readU32(one, len) || len > one.size()) return false;
    one.remove_prefix(len);
  }
  return one.empty();
}

ResultCode fail(std::string_view what) {
  return failWith(result::kInsertError, kOp, what);
}

}  // namespace

bool quadSecondField(std::string_view item, std::string_view& second) {
  std::uint32_t len = 0;
  if (!codec::readU32(item, len) || len > item.size()) return false;
  item.remove_prefix(len);
  if (!codec::readU32(item, len) || len > item.size()) return false;
  second = item.substr(0, len);
  return true;
}

ResultCode appendItem(Storage& target, int kind, std::string_view key,
                      std::string_view encodedItem, Appended& appended) {
  const std::size_t fields = fieldsOf(kind);
  if (fields == 0 || !isItem(encodedItem, fields)) return fail("item kind error");
  std::string value;
  if (!target.get(key)) {
    if (target.lastResult() != DB_NOTFOUND) return fail("DB read error");
    value = codec::encodeList({std::string(encodedItem)});
  } else {
    // A value that is not a list of this kind is left alone: appending would bury it.
    const auto items = codec::splitList(target.value(), fields);
    if (!items) return fail("DB value error");
    if (kind == kHomonymItem) {
      std::string_view wanted, held;
      if (!quadSecondField(encodedItem, wanted)) return fail("item kind error");
      for (std::string_view item : *items) {
        if (quadSecondField(item, held) && held == wanted) {
          appended = Appended::Duplicate;
          return result::kOk;
        }
      }
    }
    auto grown = codec::appendToList(target.value(), encodedItem);
    if (!grown) return fail("DB value error");
    value = std::move(*grown);
  }
  if (!target.put(key, value)) return fail("DB insert error");
  appended = Appended::Stored;
  return result::kOk;
}

ResultCode appendItems(Storage& target, int kind, std::string_view key,
                       const std::vector<std::string>& encodedItems, std::size_t& stored) {
  stored = 0;
  const std::size_t fields = fieldsOf(kind);
  if (fields == 0) return fail("item kind error");
  std::string value;
  std::unordered_set<std::string_view> held;  // numbered forms under the key (homonyms)
  std::optional<std::vector<std::string_view>> existing;
  if (target.get(key)) {
    value.assign(target.value());  // kept: the views below point into it
    existing = codec::splitList(value, fields);
    if (!existing) return fail("DB value error");
  } else if (target.lastResult() != DB_NOTFOUND) {
    return fail("DB read error");
  }
  std::vector<std::string> items;
  std::string_view form;
  if (existing) {
    items.assign(existing->begin(), existing->end());
    // Views into `value`, which outlives the set (not into `items`, which may move).
    for (std::string_view item : *existing) {
      if (kind == kHomonymItem && quadSecondField(item, form)) held.insert(form);
    }
  }
  const std::size_t before = items.size();
  for (const std::string& item : encodedItems) {
    if (!isItem(item, fields)) return fail("item kind error");
    if (kind == kHomonymItem) {
      if (!quadSecondField(item, form)) return fail("item kind error");
      if (!held.insert(form).second) continue;  // `form` points into encodedItems: stable
    }
    items.push_back(item);
  }
  if (items.size() == before) return result::kOk;
  if (!target.put(key, codec::encodeList(items))) return fail("DB insert error");
  stored = items.size() - before;
  return result::kOk;
}

ResultCode writeEncapRec(Storage& target, int kind, std::string_view key,
                         std::string_view encodedItem) {
  Appended appended = Appended::Stored;
  return appendItem(target, kind, key, encodedItem, appended);
}

}  // namespace encap

}  // namespace selvanor
