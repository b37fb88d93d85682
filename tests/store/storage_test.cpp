#include "store/engine/storage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <map>
#include <random>
#include <vector>

#include "common/files.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

std::string randomKey(std::mt19937& rng) {
  std::uniform_int_distribution<int> len(1, 6), byte(0, 255);
  std::string k(static_cast<std::size_t>(len(rng)), '\0');
  for (auto& c : k) c = static_cast<char>(byte(rng));
  return k;
}

// The tree's order is unsigned byte order with a proper prefix first: exactly
// std::map<std::string>'s order, which the walks are checked against.
void expectSameAsModel(Storage& s, const std::map<std::string, std::string>& model) {
  auto it = model.begin();
  for (bool more = s.first(); more; more = s.next(), ++it) {
    ASSERT_NE(it, model.end());
    EXPECT_EQ(s.key(), it->first);
    EXPECT_EQ(s.value(), it->second);
  }
  EXPECT_EQ(it, model.end());
  EXPECT_EQ(s.lastResult(), DB_NOTFOUND);
  // Backwards, and by record number.
  auto rit = model.rbegin();
  for (bool more = s.last(); more; more = s.prev(), ++rit) {
    ASSERT_NE(rit, model.rend());
    EXPECT_EQ(s.key(), rit->first);
  }
  EXPECT_EQ(rit, model.rend());
  EXPECT_EQ(s.recordCount(), model.size());
  std::uint32_t recno = 1;
  for (const auto& [k, v] : model) {
    ASSERT_TRUE(s.seekRecord(recno));
    EXPECT_EQ(s.key(), k);
    EXPECT_EQ(s.currentRecordNumber(), recno);
    ++recno;
  }
  EXPECT_FALSE(s.seekRecord(recno));
  EXPECT_FALSE(s.seekRecord(0));
  // By key range: each key, the empty key, keys just before and after each one, and a key
  // after every other.
  std::vector<std::string> probes{"", std::string(8, '\xFF')};
  for (const auto& [k, v] : model) {
    probes.insert(probes.end(), {k, k.substr(0, k.size() - 1), k + '\0', k + "\xFF"});
  }
  for (const std::string& probe : probes) {
    const auto at = model.lower_bound(probe);
    ASSERT_EQ(s.seekRange(probe), at != model.end()) << ::testing::PrintToString(probe);
    if (at == model.end()) {
      EXPECT_EQ(s.lastResult(), DB_NOTFOUND);
      continue;
    }
    EXPECT_EQ(s.key(), at->first);
    EXPECT_EQ(s.value(), at->second);
    const auto after = std::next(at);
    ASSERT_EQ(s.next(), after != model.end());  // the cursor walks on from there
    if (after != model.end()) {
      EXPECT_EQ(s.key(), after->first);
    }
  }
}

TEST(Storage, RandomPutsAndDeletesMatchAMapModel) {
  test::ScratchDir dir;
  const std::string file = dir.file("model.db");
  std::mt19937 rng(12345);
  std::map<std::string, std::string> model;
  {
    Storage s;
    ASSERT_TRUE(s.openWithCursor(file));
    for (int i = 0; i < 3000; ++i) {
      const std::string key = randomKey(rng);
      if (rng() % 4 == 0) {
        const bool present = model.erase(key) > 0;
        EXPECT_EQ(s.del(key), present);
      } else {
        const std::string value = randomKey(rng) + std::to_string(i);
        ASSERT_TRUE(s.put(key, value));
        model[key] = value;
      }
    }
    expectSameAsModel(s, model);
  }
  // Reopened, the file holds the same.
  Storage again;
  ASSERT_TRUE(again.openWithCursor(file, nullptr, OpenMode::ExistingOnly));
  expectSameAsModel(again, model);
}

TEST(Storage, PutReplacesAndGetReads) {
  test::ScratchDir dir;
  Storage s;
  ASSERT_TRUE(s.openWithCursor(dir.file("a.db")));
  ASSERT_TRUE(s.put("k", "one"));
  ASSERT_TRUE(s.put("k", "two"));
  EXPECT_EQ(s.recordCount(), 1u);
  ASSERT_TRUE(s.get("k"));
  EXPECT_EQ(s.key(), "k");
  EXPECT_EQ(s.value(), "two");
  EXPECT_FALSE(s.get("missing"));
  EXPECT_EQ(s.lastResult(), DB_NOTFOUND);
  EXPECT_TRUE(s.del("k"));
  EXPECT_FALSE(s.del("k"));
  EXPECT_FALSE(s.first());
  EXPECT_EQ(s.recordCount(), 0u);
}

TEST(Storage, OpenFormsAndFailures) {
  test::ScratchDir dir;
  Storage s;
  EXPECT_FALSE(s.open(dir.file("missing.db"), nullptr, OpenMode::ExistingOnly));
  EXPECT_FALSE(fileExists(dir.file("missing.db")));
  EXPECT_FALSE(s.isOpen());
  EXPECT_FALSE(s.first());  // no cursor
  EXPECT_FALSE(s.put("k", "v"));
  EXPECT_FALSE(s.open(dir.file("no-folder/x.db")));

  // A foreign file is an open failure, never a crash.
  test::writeFile(dir.file("foreign.db"), std::string(8192, 'z'));
  EXPECT_FALSE(s.open(dir.file("foreign.db"), nullptr, OpenMode::ExistingOnly));

  // Configure only, then open a named sub-database; the object can be reopened.
  ASSERT_TRUE(s.configure());
  ASSERT_TRUE(s.openConfigured(dir.file("multi.db"), "NNG"));
  ASSERT_TRUE(s.put("k", "v"));
  EXPECT_TRUE(s.close());
  ASSERT_TRUE(s.openWithCursor(dir.file("multi.db"), "NNG", OpenMode::ExistingOnly));
  ASSERT_TRUE(s.first());
  EXPECT_EQ(s.value(), "v");
}

TEST(Storage, FileFormatIsAFixedRecnumBtree) {
  test::ScratchDir dir;
  const std::string file = dir.file("fmt.db");
  {
    Storage s;
    ASSERT_TRUE(s.open(file));
    ASSERT_TRUE(s.put("b", "2"));
    ASSERT_TRUE(s.put("a", "1"));
  }
  DB* db = nullptr;
  ASSERT_EQ(db_create(&db, nullptr, 0), 0);
  ASSERT_EQ(db->open(db, nullptr, file.c_str(), nullptr, DB_UNKNOWN, DB_RDONLY, 0), 0);
  DBTYPE type;
  u_int32_t flags = 0, pagesize = 0;
  EXPECT_EQ(db->get_type(db, &type), 0);
  EXPECT_EQ(type, DB_BTREE);
  EXPECT_EQ(db->get_flags(db, &flags), 0);
  EXPECT_TRUE(flags & DB_RECNUM);
  EXPECT_FALSE(flags & DB_DUP);
  EXPECT_EQ(db->get_pagesize(db, &pagesize), 0);
  EXPECT_EQ(pagesize, 4096u);
  db->close(db, 0);

  // The standard dump tool reads it, when it is installed.
  if (std::system("command -v db5.3_dump >/dev/null 2>&1") == 0) {
    const std::string cmd = "db5.3_dump -p '" + file + "' > '" + file + ".dump'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string dump = test::readFile(file + ".dump");
    EXPECT_NE(dump.find("recnum=1"), std::string::npos);
    EXPECT_NE(dump.find(" a\n 1\n b\n 2\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace selvanor
