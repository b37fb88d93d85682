#include "store/grid/grid_edits.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "common/diagnostics.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
namespace ge = gridedit;
using Records = std::vector<AnalysisRecord>;

std::string s(int line, char letter) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "SAMPLE0%06d%c", line, letter);
  return buf;
}

AnalysisRecord rec(const std::string& serial, const std::string& word) {
  return {serial, word, word + "/NNG"};
}

std::string longText(const char* utf8, std::size_t atLeast) {
  std::string t;
  while (t.size() < atLeast) t += k(utf8);
  return t;
}

class GridEditsTest : public ::testing::Test {
 protected:
  void build(Records records) {
    cache.close();
    std::filesystem::remove(file);
    model = std::move(records);
    {
      DocumentCursor c;
      ASSERT_EQ(c.open(file), result::kOk);
      for (const AnalysisRecord& r : model)
        ASSERT_EQ(c.addLine(r.serial, r.word, r.analysis), result::kOk);
    }
    ASSERT_EQ(cache.open(file), static_cast<int>(model.size()));
  }
  // The document as the grid shows it, after checking that the count is exact.
  Records rows() {
    EXPECT_EQ(static_cast<std::uint32_t>(cache.recordCount()), cache.cursor().recordCount());
    Records out;
    for (int r = 0; r < cache.recordCount(); ++r) {
      const AnalysisRecord* p = cache.record(r);
      out.push_back(p ? *p : AnalysisRecord{"<missing>", "", ""});
    }
    return out;
  }

  test::ScratchDir dir;
  std::string file = dir.file("doc.id");
  Records model;
  RowCache cache;
};

TEST(ChainLetters, ReadReplaceAndContinue) {
  EXPECT_EQ(ge::chainLetter(s(1, 'c')), 'c');
  EXPECT_EQ(ge::chainLetter(""), '\0');
  EXPECT_EQ(ge::chainLetter(k("X갵")), '\0');  // its last byte only looks like 'a'
  EXPECT_EQ(ge::withChainLetter(k("X갵"), 'a'), "Xa");
  EXPECT_FALSE(ge::continuesChain(s(1, 'a'), s(1, 'c')));
  EXPECT_FALSE(ge::continuesChain(s(1, 'a'), s(2, 'b')));
  EXPECT_FALSE(ge::continuesChain("Xa", "Xab"));
  // The digit-weighted difference is -1 here ((1-2)*10 + ('j'-'a')), yet it is another word.
  EXPECT_FALSE(ge::continuesChain(s(1, 'j'), s(2, 'a')));
  EXPECT_TRUE(ge::continuesChain(std::string(60, '7') + "a", std::string(60, '7') + "b"));
}

TEST_F(GridEditsTest, JoinMakesOneZRecordAndRefusesTheLastRowOrATakenSerial) {
  build({rec(s(1, '0'), "a"), rec(s(1, 'a'), k("먹었")), rec(s(1, 'z'), k("다"))});
  EXPECT_FALSE(ge::join(cache, 2));  // no following row
  EXPECT_FALSE(ge::join(cache, 0));  // ...1z is another record
  EXPECT_EQ(rows(), model);
  ASSERT_TRUE(ge::join(cache, 1));  // ...1a + ...1z -> ...1z
  EXPECT_EQ(rows(), (Records{model[0], {s(1, 'z'), k("먹었다"), k("먹었/NNG + 다/NNG")}}));
}

TEST_F(GridEditsTest, SplitCases) {
  const std::string lng = "LONGSERIAL" + std::string(30, '9');
  const struct {
    const char* what;
    Records before;
    int row;
    Records after;  // empty: refused, document unchanged
  } cases[] = {
      {"original word",
       {rec(s(1, '0'), "x"), rec(s(2, '0'), "y"), rec(s(3, '0'), "o")},
       1,
       {rec(s(1, '0'), "x"), rec(s(2, 'a'), "y"), rec(s(2, 'b'), "y"), rec(s(3, '0'), "o")}},
      {"joined word", {rec(s(3, 'z'), "z")}, 0, {rec(s(3, 'a'), "z"), rec(s(3, 'b'), "z")}},
      {"part a of a,b,c",
       {rec(s(1, 'a'), "A"), rec(s(1, 'b'), "B"), rec(s(1, 'c'), "C"), rec(s(2, '0'), "o")},
       0,
       {rec(s(1, 'a'), "A"), rec(s(1, 'b'), "A"), rec(s(1, 'c'), "B"), rec(s(1, 'd'), "C"),
        rec(s(2, '0'), "o")}},
      {"chain to the last record",
       {rec(s(1, '0'), "x"), rec(s(2, 'a'), "A"), rec(s(2, 'b'), "B")},
       1,
       {rec(s(1, '0'), "x"), rec(s(2, 'a'), "A"), rec(s(2, 'b'), "A"), rec(s(2, 'c'), "B")}},
      {"next word looks one higher",
       {rec(s(1, 'i'), "I"), rec(s(1, 'j'), "J"), rec(s(2, 'a'), "n")},
       0,
       {rec(s(1, 'i'), "I"), rec(s(1, 'j'), "I"), rec(s(1, 'k'), "J"), rec(s(2, 'a'), "n")}},
      {"long serials",
       {rec(lng + "a", "A"), rec(lng + "b", "B"), rec(lng + "c", "C")},
       1,
       {rec(lng + "a", "A"), rec(lng + "b", "B"), rec(lng + "c", "B"), rec(lng + "d", "C")}},
      {"part on the last row", {rec(s(1, '0'), "x"), rec(s(2, 'a'), "A")}, 1, {}},
      {"chain ends at y", {rec(s(1, 'x'), "X"), rec(s(1, 'y'), "Y"), rec(s(2, '0'), "o")}, 0, {}},
      {"chain runs into z", {rec(s(1, 'y'), "Y"), rec(s(1, 'z'), "Z"), rec(s(2, '0'), "o")}, 0, {}},
      {"digit letter", {rec(s(1, '5'), "x"), rec(s(2, '0'), "o")}, 0, {}},
      {"two-byte last char", {rec(k("X갵"), "x"), rec("Y0", "o")}, 0, {}},
      {"copy serial taken", {rec(s(1, '0'), "x"), rec(s(1, 'b'), "t")}, 0, {}},
      {"new last serial taken",
       {rec(s(1, 'a'), "A"), rec(s(1, 'a') + "1", "m"), rec(s(1, 'b'), "t")},
       0,
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    build(c.before);
    EXPECT_EQ(ge::split(cache, c.row), !c.after.empty());
    EXPECT_EQ(rows(), c.after.empty() ? c.before : c.after);
  }
}

TEST_F(GridEditsTest, ReplaceOutcomes) {
  build({rec(s(1, '0'), "xab"), rec(s(2, '0'), k("갂"))});
  EXPECT_EQ(ge::replace(cache, 0, GridColumn::Serial, "*", "S"),
            ge::ReplaceOutcome::SerialNotSupported);
  EXPECT_EQ(ge::replace(cache, 0, GridColumn::Word, "ab*", "n"), ge::ReplaceOutcome::NotMatching);
  EXPECT_EQ(ge::replace(cache, 1, GridColumn::Word, "*A", "n"), ge::ReplaceOutcome::NotMatching);
  EXPECT_EQ(ge::replace(cache, 0, GridColumn::Word, "", "n"), ge::ReplaceOutcome::Invalid);
  EXPECT_EQ(ge::replace(cache, 2, GridColumn::Word, "*", "n"), ge::ReplaceOutcome::Invalid);
  EXPECT_EQ(rows(), model);
  EXPECT_EQ(ge::replace(cache, 0, GridColumn::Word, "*ab", "whole"), ge::ReplaceOutcome::Replaced);
  EXPECT_EQ(ge::replace(cache, 1, GridColumn::Analysis, "*/NNG", k("갂/NNP")),
            ge::ReplaceOutcome::Replaced);
  EXPECT_EQ(rows(), (Records{{s(1, '0'), "whole", "xab/NNG"}, {s(2, '0'), k("갂"), k("갂/NNP")}}));
}

TEST_F(GridEditsTest, LongAnalysisSurvivesJoinSplitAndReplaceByteForByte) {
  const std::string longA = longText("먹/VV + 었/EP + ", 700) + k("다/EF");
  const std::string longW = longText("가나다", 450);
  build({{s(1, '0'), longW, longA}, rec(s(2, '0'), "b")});
  ASSERT_TRUE(ge::join(cache, 0));
  const AnalysisRecord joined{s(1, 'z'), longW + "b", longA + " + b/NNG"};
  EXPECT_EQ(rows(), Records{joined});
  ASSERT_TRUE(ge::split(cache, 0));
  ASSERT_EQ(ge::replace(cache, 1, GridColumn::Word, "*b", "w"), ge::ReplaceOutcome::Replaced);
  ASSERT_EQ(ge::replace(cache, 0, GridColumn::Analysis, "*", longA + longA),
            ge::ReplaceOutcome::Replaced);
  EXPECT_EQ(rows(),
            (Records{{s(1, 'a'), joined.word, longA + longA}, {s(1, 'b'), "w", joined.analysis}}));
}

TEST_F(GridEditsTest, AFailedWriteGivesEveryRecordBack) {
  const Records doc{{s(1, '0'), "w", longText("먹/VV + ", 700)},
                    rec(s(2, 'a'), "A"),
                    rec(s(2, 'b'), "B"),
                    rec(s(2, 'c'), "C"),
                    rec(s(3, '0'), "o")};
  const struct {
    const char* edit;
    int writes;
    std::function<bool(RowCache&)> run;
  } edits[] = {
      {"join", 3, [](RowCache& c) { return ge::join(c, 0); }},
      {"split copy", 3, [](RowCache& c) { return ge::split(c, 0); }},
      {"split chain", 5, [](RowCache& c) { return ge::split(c, 1); }},
      {"replace", 2,
       [](RowCache& c) {
         return ge::replace(c, 0, GridColumn::Word, "w", "x") == ge::ReplaceOutcome::Replaced;
       }},
      {"remove", 1, [](RowCache& c) { return ge::removeRow(c, 4); }},
  };
  DiagnosticCapture quiet;
  for (const auto& e : edits) {
    for (int n = 1; n <= e.writes + 1; ++n) {
      SCOPED_TRACE(std::string(e.edit) + ", failing write " + std::to_string(n));
      build(doc);
      cache.failWriteAfter(n);
      const bool done = e.run(cache);
      cache.failWriteAfter(0);
      EXPECT_EQ(done, n > e.writes);  // armed past the last write, the edit completes
      if (!done) {
        EXPECT_EQ(rows(), model);
      }
    }
  }
}

}  // namespace
}  // namespace selvanor
