// The append-to-list step behind DBWrap::writeEncapRec, for callers that need to know
// whether the item was stored or dropped as a duplicate.
#pragma once

#include <string_view>

#include "common/result_codes.h"

namespace selvanor {

class Storage;

namespace encap {

enum class Appended { Stored, Duplicate };

// Appends `encodedItem` (kind -110: TripleValue, -120: QuadValue) to the EncapList under
// `key`. On kOk `appended` says whether it was stored or dropped because a -120 item with
// the same second field is already there. Failures write the writeEncapRec diagnostic.
[[nodiscard]] ResultCode appendItem(Storage& target, int kind, std::string_view key,
                                    std::string_view encodedItem, Appended& appended);

// Reads the second field (numbered form) of an encoded QuadValue into `second`, a view
// into `item`; false when the item is too short to hold it.
[[nodiscard]] bool quadSecondField(std::string_view item, std::string_view& second);

}  // namespace encap
}  // namespace selvanor
