// What a database file holds, read as another program would: for tests that check a file
// came through a kill, a full disk or damage whole.
#pragma once

#include <db.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "store/engine/storage.h"

namespace selvanor::test {

using StoredRecords = std::map<std::string, std::string>;

// Every key and value, through a plain handle (which first recovers what a killed change
// left in the file's log, as every reader does). A failure to open or to walk to the end
// fails the calling test.
inline StoredRecords storedRecords(const std::string& file) {
  StoredRecords m;
  Storage s;
  if (!s.openWithCursor(file, nullptr, OpenMode::ExistingOnly)) {
    ADD_FAILURE() << "cannot open " << file;
    return m;
  }
  for (bool more = s.first(); more; more = s.next()) m.emplace(s.key(), s.value());
  EXPECT_EQ(s.lastResult(), DB_NOTFOUND) << file;
  EXPECT_EQ(s.recordCount(), m.size()) << file;
  return m;
}

// The file passes Berkeley DB's own verifier.
inline bool verifiesWithBerkeleyDb(const std::string& file) {
  DB* db = nullptr;
  if (db_create(&db, nullptr, 0) != 0) return false;
  return db->verify(db, file.c_str(), nullptr, nullptr, 0) == 0;  // frees the handle
}

}  // namespace selvanor::test
