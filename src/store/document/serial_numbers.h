// Serial numbers of analysed text: recognising numbered files and generating serials.
#pragma once

#include <string>
#include <string_view>

#include "common/result_codes.h"

namespace selvanor {

enum class SerialDetection { HasSerials, NoSerials, Unreadable };

// Reads the first three lines (up to 255 bytes each). Unreadable when the file cannot be
// opened or has fewer than three lines; HasSerials when the three lines agree in their
// first 7 bytes (a shorter line compares whole, its line end included).
[[nodiscard]] SerialDetection detectSerialNumbers(const std::string& path);

// The generated serial of the `lineNumber`-th non-empty line: prefix, the number as at
// least six digits with leading zeros, and the chain letter "0".
[[nodiscard]] std::string makeSerial(std::string_view prefix, unsigned long lineNumber);


}  // namespace selvanor
