#include "store/grid/row_cache.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "common/diagnostics.h"
#include "store/engine/storage.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using FS = RowCache::FindStatus;

std::string serialOf(int line, char letter = '0') {
  char buf[32];
  std::snprintf(buf, sizeof buf, "SAMPLE0%06d%c", line, letter);
  return buf;
}

std::vector<AnalysisRecord> numbered(int n) {
  std::vector<AnalysisRecord> out;
  for (int i = 0; i < n; ++i) {
    out.push_back({serialOf(i + 1), k("낱말") + std::to_string(i),
                   k("낱말/NNG + ") + std::to_string(i) + "/SN"});
  }
  return out;
}

class RowCacheTest : public ::testing::Test {
 protected:
  void write(const std::vector<AnalysisRecord>& records) {
    DocumentCursor c;
    ASSERT_EQ(c.open(file), result::kOk);
    for (const AnalysisRecord& r : records)
      ASSERT_EQ(c.addLine(r.serial, r.word, r.analysis), result::kOk);
  }
  void build(std::vector<AnalysisRecord> records) {
    model = std::move(records);
    write(model);
    ASSERT_EQ(cache.open(file), static_cast<int>(model.size()));
  }
  // The row comes from the window and equals the model's.
  void expectRow(int row) {
    const AnalysisRecord* r = cache.record(row);
    ASSERT_NE(r, nullptr) << "row " << row;
    EXPECT_EQ(*r, model[static_cast<std::size_t>(row)]) << "row " << row;
    EXPECT_TRUE(cache.windowFirst() <= row && row < cache.windowFirst() + cache.windowRows());
  }

  test::ScratchDir dir;
  std::string file = dir.file("doc.id");
  std::vector<AnalysisRecord> model;
  RowCache cache;
};

TEST_F(RowCacheTest, MissingOrEmptyDocumentGivesMinusOneAndIsNotCreated) {
  EXPECT_EQ(cache.open(dir.file("missing.id")), -1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing.id")));
  write({});
  EXPECT_EQ(cache.open(file), -1);
  EXPECT_EQ(cache.record(0), nullptr);
  EXPECT_EQ(cache.find(GridColumn::Word, "*", 0, SearchDirection::Down).status, FS::NoRecords);
}

TEST_F(RowCacheTest, WindowOf1000RecordsFollowsTheRecentreRule) {
  build(numbered(1000));
  expectRow(700);
  EXPECT_EQ(cache.windowFirst(), 450);
  EXPECT_EQ(cache.windowRows(), 500);
  for (int r = 450; r <= 949; ++r) expectRow(r);
  EXPECT_EQ(cache.windowFirst(), 450) << "rows inside the window must not move it";
  expectRow(999);
  EXPECT_EQ(cache.windowFirst(), 749);
  EXPECT_EQ(cache.windowRows(), 251);
  for (int r : {0, 251, 250, 998, 500, 1}) expectRow(r);
  for (int r = 999; r >= 0; r -= 7) expectRow(r);
  EXPECT_EQ(cache.record(1000), nullptr);
}

TEST_F(RowCacheTest, Row100Of300CoversTheWholeDocument) {
  build(numbered(300));
  expectRow(100);
  EXPECT_EQ(cache.windowFirst(), 0);
  EXPECT_EQ(cache.windowRows(), 300);
}

TEST_F(RowCacheTest, UndecodableRecordKeepsLaterRowsOnTheirRecordNumbers) {
  std::vector<AnalysisRecord> records = numbered(10);
  write(records);
  {
    Storage raw;
    ASSERT_TRUE(raw.open(file));
    ASSERT_TRUE(raw.put(serialOf(5, 'x'), "\x09garbage"));  // between rows 4 and 5
  }
  model = records;
  model.insert(model.begin() + 5, AnalysisRecord{});
  ASSERT_EQ(cache.open(file), 11);
  for (int r = 0; r < 11; ++r) expectRow(r);
  EXPECT_EQ(cache.find(GridColumn::Word, records[8].word, 0, SearchDirection::Down).row, 9);
  EXPECT_EQ(cache.find(GridColumn::Word, records[2].word, 10, SearchDirection::Up).row, 2);
}

TEST_F(RowCacheTest, AddAndRemoveKeepTheCountExact) {
  build(numbered(5));
  ASSERT_EQ(cache.add(serialOf(0), "w", "a/NNG"), result::kOk);
  ASSERT_EQ(cache.add(serialOf(0), "w2", "b/NNG"), result::kOk);  // replaces
  EXPECT_EQ(cache.recordCount(), 6);
  ASSERT_EQ(cache.remove(serialOf(3)), result::kOk);
  DiagnosticCapture diag;
  EXPECT_EQ(cache.remove("no such serial"), result::kRemoveError);
  EXPECT_EQ(diag.text(), "DBWrap::removeLine => DB remove error\n");
  EXPECT_EQ(cache.recordCount(), 5);
}

struct PatternCase {
  const char* field;
  const char* pattern;
  bool match;
};

TEST(MatchesPattern, StarRuleAtCp949CharacterBoundaries) {
  ASSERT_EQ(k("갂"), "\x81\x41");  // second byte looks like 'A'
  ASSERT_EQ(k("갵"), "\x81\x61");  // second byte looks like 'a'
  const PatternCase cases[] = {
      {"abab", "*ab", true},
      {"aba", "*ab", false},
      {"abc", "ab*", true},
      {"cab", "ab*", false},
      {"abc", "*b*", true},
      {"ac", "*b*", false},
      {"ab", "ab", true},
      {"abc", "ab", false},
      {"xab", "ab", false},
      {"any", "*", true},
      {"", "", true},
      {"a", "", false},
      {"\x81\x41", "*A", false},
      {"\x81\x41", "*A*", false},
      {"\x81\x61", "*a", false},
      {"\x81\x61", "*a*", false},
      {"x\x81\x41", "x\x81*", false},
      {"x\x81\x41", "*\x81*", false},
      {"\x81\x41\x81\x61", "*\x41\x81*", false},  // straddles the two syllables
      {"\x81\x61"
       "a",
       "*a", true},
      {"\x81\x61"
       "a",
       "*a*", true},
      {"A\x81\x41", "A*", true},
      {"\x81\x41\x81\x61", "*\x81\x61", true},
      {"x\x81\x41\x81\x61y", "*\x81\x41\x81\x61*", true},
  };
  for (const PatternCase& c : cases) {
    EXPECT_EQ(matchesPattern(c.field, c.pattern), c.match)
        << "field '" << test::u(c.field) << "' pattern '" << test::u(c.pattern) << "'";
  }
}

TEST_F(RowCacheTest, FindAgreesWithALinearSearchOfTheModel) {
  const std::string words[] = {"ab", "xab", "abx", k("갂"), "b", k("갵a")};
  std::vector<AnalysisRecord> records;
  for (int i = 0; i < 30; ++i) records.push_back({serialOf(i + 1), words[(i * 7) % 6], "x/NNG"});
  build(records);
  for (const std::string pattern : {"ab", "*ab", "ab*", "*b*", "*a", "*A*", "zz"}) {
    for (int start = 0; start < 30; ++start) {
      for (int step : {1, -1}) {
        int expected = -1;
        for (int r = start; r >= 0 && r < 30 && expected < 0; r += step) {
          if (matchesPattern(model[static_cast<std::size_t>(r)].word, pattern)) expected = r;
        }
        const auto dir = step > 0 ? SearchDirection::Down : SearchDirection::Up;
        const RowCache::FindResult got = cache.find(GridColumn::Word, pattern, start, dir);
        EXPECT_EQ(got.row, expected) << pattern << " from " << start << " step " << step;
        EXPECT_EQ(got.status, expected < 0 ? FS::NotFound : FS::Found);
      }
    }
  }
}

// The grid editor refuses a new serial that find() from the first row reports: the keyed
// read must answer the same for plain serials, and patterns must still be searched.
TEST_F(RowCacheTest, HoldsSerialAgreesWithAFindFromTheFirstRow) {
  EXPECT_FALSE(cache.holdsSerial(serialOf(1)));  // not open
  std::vector<AnalysisRecord> records = numbered(4);
  for (const std::string& serial : {std::string("a*b"), k("갂"), k("갵"), std::string("A"),
                                    "x" + k("갂"), std::string("")}) {
    records.push_back({serial, "w", "w/NNG"});
  }
  write(records);
  {
    Storage raw;
    ASSERT_TRUE(raw.open(file));
    ASSERT_TRUE(raw.put(serialOf(2, 'x'), "\x09garbage"));  // a key whose value does not decode
  }
  ASSERT_EQ(cache.open(file), static_cast<int>(records.size()) + 1);
  const std::string patterns[] = {
      serialOf(1), serialOf(4), serialOf(5), serialOf(2, 'x'), "a*b", k("갂"), k("갵"), "A",
      "x" + k("갂"), "", "*", "**", "*0", "SAMPLE0*", "*000003*", "a*", "*b", "*" + k("갂"),
      k("갂") + "*", "*A", "*a", "*\x41*", "\x81", "x\x81*", "*b*", "zz", "a"};
  for (const std::string& p : patterns) {
    const bool found =
        cache.find(GridColumn::Serial, p, 0, SearchDirection::Down).status == FS::Found;
    EXPECT_EQ(cache.holdsSerial(p), found) << "pattern '" << test::u(p) << "'";
  }
  EXPECT_TRUE(cache.holdsSerial("a*b"));  // a star inside is part of the serial
  EXPECT_TRUE(cache.holdsSerial(""));
  EXPECT_FALSE(cache.holdsSerial(serialOf(2, 'x')));
  EXPECT_FALSE(cache.holdsSerial("*a"));  // 갵 ends in byte 'a' but not in the character
}

TEST_F(RowCacheTest, FindUpFromRowZeroTestsOnlyRowZero) {
  build(numbered(5));
  EXPECT_EQ(cache.find(GridColumn::Serial, serialOf(2), 0, SearchDirection::Up).status,
            FS::NotFound);
  EXPECT_EQ(cache.find(GridColumn::Serial, serialOf(1), 0, SearchDirection::Up).row, 0);
}

TEST_F(RowCacheTest, FindReadsTheStoreBeyondTheWindowAndLeavesTheWindowAlone) {
  build(numbered(1000));
  const AnalysisRecord* shown = cache.record(10);
  EXPECT_EQ(cache.find(GridColumn::Analysis, "*/NNG + 900/SN", 10, SearchDirection::Down).row, 900);
  EXPECT_EQ(cache.record(10), shown);
  EXPECT_EQ(cache.windowFirst(), 0);
}

}  // namespace
}  // namespace selvanor
