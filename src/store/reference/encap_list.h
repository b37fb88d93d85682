// Appending items to the EncapList of a key: the step shared by reference files and the
// homonym dictionary.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/result_codes.h"

namespace selvanor {

class Storage;

namespace encap {

// Item kinds of writeEncapRec.
inline constexpr int kRecordItem = -110;   // TripleValue of an AnalysisRecord (reference files)
inline constexpr int kHomonymItem = -120;  // QuadValue of a homonym entry

// Appends one encoded item to the EncapList stored under `key` in `target`; reference
// files and the homonym dictionary share it. A new key gets a list of one item.
// kRecordItem items are always appended; a kHomonymItem whose second field (numbered
// form) equals that of an item already under the key is dropped and nothing is written
// (still kOk). kOk; kInsertError when the item is not of `kind`, the stored value is not
// a list of that kind (it is left as it was), or the get or put fails.
[[nodiscard]] ResultCode writeEncapRec(Storage& target, int kind, std::string_view key,
                                       std::string_view encodedItem);

enum class Appended { Stored, Duplicate };

// Appends `encodedItem` (kind -110: TripleValue, -120: QuadValue) to the EncapList under
// `key`. On kOk `appended` says whether it was stored or dropped because a -120 item with
// the same second field is already there. Failures write the writeEncapRec diagnostic.
[[nodiscard]] ResultCode appendItem(Storage& target, int kind, std::string_view key,
                                    std::string_view encodedItem, Appended& appended);

// appendItem for several items of one key in one read and one write: kRecordItem items
// are all appended; a kHomonymItem whose numbered form the key already holds, or an
// earlier item of `encodedItems` has, is dropped. `stored` receives how many were
// appended. Builds append a head word's senses this way, so a key with many items costs
// a linear amount of work rather than a rewrite of its growing list per item.
[[nodiscard]] ResultCode appendItems(Storage& target, int kind, std::string_view key,
                                     const std::vector<std::string>& encodedItems,
                                     std::size_t& stored);

// Reads the second field (numbered form) of an encoded QuadValue into `second`, a view
// into `item`; false when the item is too short to hold it.
[[nodiscard]] bool quadSecondField(std::string_view item, std::string_view& second);

}  // namespace encap
}  // namespace selvanor
