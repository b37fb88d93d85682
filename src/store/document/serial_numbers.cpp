#include "store/document/serial_numbers.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>

#include "common/files.h"

namespace selvanor {

SerialDetection detectSerialNumbers(const std::string& path) {
  FilePtr f = openFile(path, "rb");
  if (!f) return SerialDetection::Unreadable;
  // Whole lines are read so that a long first line is not taken for two lines.
  char* buffer = nullptr;
  std::size_t capacity = 0;
  std::string heads[3];
  bool complete = true;
  for (auto& head : heads) {
    const ssize_t n = getline(&buffer, &capacity, f.get());
    if (n < 0) {
      complete = false;
      break;
    }
    // The line end is kept: a line shorter than 7 bytes is compared whole with it.
    head.assign(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), 7));
  }
  std::free(buffer);
  if (!complete) return SerialDetection::Unreadable;
  return heads[0] == heads[1] && heads[1] == heads[2] ? SerialDetection::HasSerials
                                                     : SerialDetection::NoSerials;
}

std::string makeSerial(std::string_view prefix, unsigned long lineNumber) {
  // "%06lu0" without a format parse per line: imports make a serial for every token.
  char digits[24];
  char* end = digits + sizeof digits;
  char* p = end;
  *--p = '0';
  int written = 0;
  do {
    *--p = static_cast<char>('0' + lineNumber % 10);
    lineNumber /= 10;
    ++written;
  } while (lineNumber > 0);
  while (written++ < 6) *--p = '0';
  std::string serial;
  serial.reserve(prefix.size() + static_cast<std::size_t>(end - p));
  serial.append(prefix);
  serial.append(p, static_cast<std::size_t>(end - p));
  return serial;
}

}  // namespace selvanor
