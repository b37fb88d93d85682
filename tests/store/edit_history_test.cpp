#include "store/grid/edit_history.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <vector>

#include "store/grid/grid_edits.h"
#include "store/grid/row_cache.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
namespace ge = gridedit;
using Model = std::map<std::string, AnalysisRecord>;
using Outcome = EditHistory::Outcome;

std::string s(int line, char letter) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "SAMPLE0%06d%c", line, letter);
  return buf;
}

// The edits of the grid, all recorded into `history` through the cache's listener, and the
// document compared byte for byte with a map of what it must hold after each step.
class EditHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cache.setChangeListener([this](const RecordChange& c) { history.record(c); });
  }
  void build(const std::vector<AnalysisRecord>& records) {
    {
      DocumentCursor c;
      ASSERT_EQ(c.open(file), result::kOk);
      for (const AnalysisRecord& r : records) {
        ASSERT_EQ(c.addLine(r.serial, r.word, r.analysis), result::kOk);
      }
    }
    ASSERT_EQ(cache.open(file), static_cast<int>(records.size()));
  }
  // Every record of the file, read through a handle of its own.
  Model stored() {
    Model out;
    DocumentCursor c;
    EXPECT_EQ(c.open(file, OpenMode::ExistingOnly), result::kOk);
    for (auto step = c.first(); step == DocumentCursor::kRead; step = c.next()) {
      out.emplace(c.current().serial, c.current());
    }
    EXPECT_EQ(static_cast<std::size_t>(cache.recordCount()), out.size());
    return out;
  }

  test::ScratchDir dir;
  std::string file = dir.file("doc.id");
  EditHistory history;
  RowCache cache;
};

// A word with a two-byte character whose second byte looks like a letter, and an analysis
// longer than the grid's old 600-byte slots.
AnalysisRecord longRecord(int line) {
  std::string analysis;
  while (analysis.size() < 900) analysis += k("갵/NNG + 갂/JKO + ");
  analysis += k("다/EF");
  return {s(line, '0'), k("갵갂") + std::to_string(line), analysis};
}

TEST_F(EditHistoryTest, EachKindOfEditIsUndoneAndRedoneByteForByte) {
  build({longRecord(1), longRecord(2), {s(3, 'a'), k("사과"), k("사과/NNG")},
         {s(3, 'b'), k("를"), k("를/JKO")}, longRecord(4)});
  const Model before = stored();

  struct Case {
    const char* name;
    std::function<bool()> edit;
  };
  const std::vector<Case> cases = {
      {"join", [&] { return ge::join(cache, 0); }},
      {"split of a whole word", [&] { return ge::split(cache, 1); }},
      {"split of a part", [&] { return ge::split(cache, 2); }},
      {"delete", [&] { return ge::removeRow(cache, 4); }},
      {"replace",
       [&] {
         return ge::replace(cache, 0, GridColumn::Analysis, "*", k("바뀐/NNG")) ==
                ge::ReplaceOutcome::Replaced;
       }},
      {"rewrite under a new serial",
       [&] {
         const AnalysisRecord old = *cache.readRecord(3);
         return ge::rewrite(cache, 3, old, {s(9, '0'), old.word + k("갵"), k("새/NNG")});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.edit());
    const Model after = stored();
    ASSERT_NE(after, before);
    ASSERT_EQ(history.undoCount(), 1u);

    EditHistory::Step undone = history.undo(cache);
    EXPECT_EQ(undone.outcome, Outcome::Done);
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(history.canRedo());

    EXPECT_EQ(history.redo(cache).outcome, Outcome::Done);
    EXPECT_EQ(stored(), after);
    EXPECT_EQ(history.undo(cache).outcome, Outcome::Done);
    EXPECT_EQ(stored(), before);
    history.clear();
  }
}

TEST_F(EditHistoryTest, ARandomChainUndoesToEveryEarlierStateAndRedoesToTheLast) {
  std::vector<AnalysisRecord> records;
  for (int i = 1; i <= 40; ++i) {
    records.push_back({s(i, i % 5 == 0 ? 'a' : '0'), k("말") + std::to_string(i),
                       k("말/NNG + ") + std::to_string(i) + "/SN"});
  }
  build(records);
  std::vector<Model> states{stored()};
  std::mt19937 rng(12);
  int made = 0;
  for (int attempt = 0; made < 60 && attempt < 1000; ++attempt) {
    const int rows = cache.recordCount();
    const int row = static_cast<int>(rng() % static_cast<unsigned>(rows));
    bool ok = false;
    switch (rng() % 5) {
      case 0: ok = ge::join(cache, row); break;
      case 1: ok = ge::split(cache, row); break;
      case 2: ok = rows > 10 && ge::removeRow(cache, row); break;
      case 3:
        ok = ge::replace(cache, row, GridColumn::Word, "*", k("낱말") + std::to_string(attempt)) ==
             ge::ReplaceOutcome::Replaced;
        break;
      default: {
        const AnalysisRecord old = *cache.readRecord(row);
        ok = ge::rewrite(cache, row, old, {old.serial, old.word, old.analysis + k(" + 갂/JX")});
      }
    }
    if (!ok) continue;
    ++made;
    states.push_back(stored());
  }
  ASSERT_EQ(made, 60);
  ASSERT_EQ(history.undoCount(), 60u);

  for (int i = made - 1; i >= 0; --i) {
    ASSERT_EQ(history.undo(cache).outcome, Outcome::Done) << "undo to state " << i;
    ASSERT_EQ(stored(), states[static_cast<std::size_t>(i)]) << "state " << i;
  }
  EXPECT_EQ(history.undo(cache).outcome, Outcome::Nothing);
  for (int i = 1; i <= made; ++i) {
    ASSERT_EQ(history.redo(cache).outcome, Outcome::Done) << "redo to state " << i;
    ASSERT_EQ(stored(), states[static_cast<std::size_t>(i)]) << "state " << i;
  }
  EXPECT_EQ(history.redo(cache).outcome, Outcome::Nothing);
}

TEST_F(EditHistoryTest, ANewEditAfterUndoDropsTheRedoneBranch) {
  build({{s(1, '0'), "a", "a/NNG"}, {s(2, '0'), "b", "b/NNG"}, {s(3, '0'), "c", "c/NNG"}});
  ASSERT_TRUE(ge::removeRow(cache, 0));
  ASSERT_TRUE(ge::removeRow(cache, 0));
  ASSERT_EQ(history.undo(cache).outcome, Outcome::Done);
  ASSERT_TRUE(history.canRedo());
  ASSERT_TRUE(ge::split(cache, 1));  // s(3,'0') becomes a and b
  EXPECT_FALSE(history.canRedo());
  EXPECT_EQ(history.redo(cache).outcome, Outcome::Nothing);
  ASSERT_EQ(history.undo(cache).outcome, Outcome::Done);
  ASSERT_EQ(history.undo(cache).outcome, Outcome::Done);
  const Model all = stored();
  EXPECT_EQ(all.size(), 3u);
  EXPECT_EQ(all.at(s(1, '0')).word, "a");
}

TEST_F(EditHistoryTest, KeepsTheLatestEditsUpToItsDepth) {
  std::vector<AnalysisRecord> records;
  for (int i = 1; i <= 5; ++i) records.push_back({s(i, '0'), "w", "w/NNG"});
  build(records);
  std::vector<Model> states{stored()};
  for (int i = 0; i < 250; ++i) {
    ASSERT_EQ(ge::replace(cache, i % 5, GridColumn::Word, "*", "v" + std::to_string(i)),
              ge::ReplaceOutcome::Replaced);
    states.push_back(stored());
  }
  EXPECT_EQ(history.undoCount(), EditHistory::kDefaultDepth);
  EXPECT_GE(EditHistory::kDefaultDepth, 100u);
  for (std::size_t i = 0; i < EditHistory::kDefaultDepth; ++i) {
    ASSERT_EQ(history.undo(cache).outcome, Outcome::Done);
  }
  EXPECT_EQ(stored(), states[250 - EditHistory::kDefaultDepth]);
  EXPECT_EQ(history.undo(cache).outcome, Outcome::Nothing);

  EditHistory small(3);
  for (int i = 0; i < 5; ++i) small.record({0, {}, {{s(i, '0'), "x", "x/NNG"}}});
  small.record({});
  EXPECT_EQ(small.undoCount(), 3u);
}

TEST_F(EditHistoryTest, RefusesWhenTheDocumentChangedBehindItAndWritesNothing) {
  build({{s(1, '0'), "a", "a/NNG"}, {s(2, '0'), "b", "b/NNG"}});
  ASSERT_TRUE(ge::join(cache, 0));
  ASSERT_TRUE(ge::split(cache, 0));  // the joined record becomes a and b parts
  // Another operation rewrites one of the split parts by a byte.
  ASSERT_EQ(cache.add(s(1, 'a'), "ab", "a/NNG + b/NNH"), result::kOk);
  const Model changed = stored();
  const EditHistory::Step refused = history.undo(cache);
  EXPECT_EQ(refused.outcome, Outcome::Stale);
  EXPECT_EQ(stored(), changed);
  EXPECT_FALSE(history.canUndo());  // the older join rests on the refused step
  EXPECT_FALSE(history.canRedo());

  // A record that turned up under a serial the undo would put back is not overwritten.
  history.clear();
  ASSERT_TRUE(ge::removeRow(cache, 0));
  ASSERT_EQ(cache.add(s(1, 'a'), "other", "other/NNG"), result::kOk);
  const Model taken = stored();
  EXPECT_EQ(history.undo(cache).outcome, Outcome::Stale);
  EXPECT_EQ(stored(), taken);
}

TEST_F(EditHistoryTest, AFailedWriteLeavesTheDocumentAndTheEntryForAnotherTry) {
  build({{s(1, 'a'), "a", "a/NNG"}, {s(1, 'b'), "b", "b/NNG"}, {s(1, 'c'), "c", "c/NNG"},
         {s(2, '0'), "d", "d/NNG"}});
  const Model before = stored();
  ASSERT_TRUE(ge::split(cache, 0));  // a chain shift: several removes and adds
  const Model after = stored();
  for (int n = 1; n <= 8; ++n) {
    SCOPED_TRACE(n);
    cache.failWriteAfter(n);
    const EditHistory::Step tried = history.undo(cache);
    cache.failWriteAfter(0);
    if (tried.outcome == Outcome::Done) {
      EXPECT_EQ(stored(), before);
      ASSERT_EQ(history.redo(cache).outcome, Outcome::Done);
      EXPECT_EQ(stored(), after);
      continue;
    }
    EXPECT_EQ(tried.outcome, Outcome::Failed);
    EXPECT_EQ(stored(), after);
    EXPECT_TRUE(history.canUndo());
  }
}

TEST_F(EditHistoryTest, OnlyStoredEditsThatChangeSomethingAreRecorded) {
  build({{s(1, '0'), "a", "a/NNG"}, {s(2, 'z'), "b", "b/NNG"}});
  const AnalysisRecord same = *cache.readRecord(0);
  ASSERT_TRUE(ge::rewrite(cache, 0, same, same));
  EXPECT_FALSE(history.canUndo());
  EXPECT_FALSE(ge::join(cache, 1));  // the last row: refused, nothing recorded
  cache.failWriteAfter(2);
  EXPECT_FALSE(ge::join(cache, 0));
  cache.failWriteAfter(0);
  EXPECT_FALSE(history.canUndo());
  EXPECT_EQ(ge::replace(cache, 0, GridColumn::Word, "zz", "y"), ge::ReplaceOutcome::NotMatching);
  EXPECT_FALSE(history.canUndo());

  // Undo and redo are not recorded as edits of their own.
  ASSERT_TRUE(ge::removeRow(cache, 1));
  ASSERT_EQ(history.undo(cache).outcome, Outcome::Done);
  EXPECT_EQ(history.undoCount(), 0u);
  EXPECT_EQ(history.redoCount(), 1u);
}

TEST_F(EditHistoryTest, AClosedDocumentFailsWithoutLosingTheEntry) {
  build({{s(1, '0'), "a", "a/NNG"}, {s(2, '0'), "b", "b/NNG"}});
  ASSERT_TRUE(ge::removeRow(cache, 0));
  cache.close();
  EXPECT_EQ(history.undo(cache).outcome, Outcome::Failed);
  EXPECT_TRUE(history.canUndo());
  ASSERT_EQ(cache.open(file), 1);
  EXPECT_EQ(history.undo(cache).outcome, Outcome::Done);
  EXPECT_EQ(stored().size(), 2u);
}

}  // namespace
}  // namespace selvanor
