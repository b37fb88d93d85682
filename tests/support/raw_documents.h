// Documents written and read at the Storage level, below DocumentCursor, for the store
// tests that check files byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/files.h"
#include "store/document/analysis_record.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"

namespace selvanor::test {

using Entries = std::vector<std::pair<std::string, std::string>>;  // raw key, raw value

// A fresh document at `file` holding `records` under their serials.
inline void writeDocument(const std::string& file, const std::vector<AnalysisRecord>& records) {
  removeFile(file);
  Storage s;
  ASSERT_TRUE(s.open(file));
  for (const auto& r : records) ASSERT_TRUE(s.put(r.serial, codec::encodeRecord(r)));
}

// Every key and value of the database at `file` in key order; empty when it cannot be opened.
inline Entries dump(const std::string& file) {
  Entries out;
  Storage s;
  if (!s.openWithCursor(file, nullptr, OpenMode::ExistingOnly)) return out;
  for (bool more = s.first(); more; more = s.next()) out.emplace_back(s.key(), s.value());
  return out;
}

}  // namespace selvanor::test
