// Collocation measures against hand-computed tables, and the counts a run feeds them.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/collocations.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor::analysis {
namespace {

using test::k;

TEST(CollocationMeasures, HandComputedTables) {
  // O = 10, f(c) = 50, f(n) = 20, W = 200, N = 10000: E = 1; the table 10 190 / 40 9760.
  Measures m = measure(10, 50, 20, 200, 10000);
  EXPECT_NEAR(m.expected, 1.0, 1e-12);
  EXPECT_NEAR(m.mi, 3.321928094887362, 1e-9);
  EXPECT_NEAR(m.t, 2.846049894151541, 1e-9);
  EXPECT_NEAR(m.logDice, 12.192645077942396, 1e-9);
  EXPECT_NEAR(m.logLikelihood, 30.238052651637993, 1e-9);

  // f(c) = O: O21 = 0 adds nothing. O = 5, f(c) = 5, f(n) = 5, W = 10, N = 100.
  m = measure(5, 5, 5, 10, 100);
  EXPECT_NEAR(m.expected, 0.5, 1e-12);
  EXPECT_NEAR(m.mi, 3.321928094887362, 1e-9);
  EXPECT_NEAR(m.t, 2.0124611797498106, 1e-9);
  EXPECT_NEAR(m.logDice, 14.0, 1e-12);
  EXPECT_NEAR(m.logLikelihood, 25.8401050579756, 1e-9);

  // O = W = f(c): two empty cells. 2·(4·ln(4/0.16) + 96·ln(96/92.16)).
  m = measure(4, 4, 2, 4, 100);
  EXPECT_NEAR(m.logLikelihood, 33.5888295468346, 1e-9);
  EXPECT_NEAR(m.expected, 0.16, 1e-12);
  EXPECT_TRUE(std::isfinite(m.logLikelihood));
}

TEST(Collocations, CountsSpansUnitsAndScope) {
  test::ScratchDir dir;
  const std::string a = dir.file("a.id"), b = dir.file("b.id");
  test::writeDocument(a, {{"A1", k("밥"), k("밥/NNG")},
                          {"A2", k("먹어"), k("먹/VV + 어/EC")},
                          {"A3", k("밥"), k("밥/NNG")},
                          {"A4", k("좋다"), k("좋/VA + 다/EF")}});
  test::writeDocument(b, {{"B1", k("먹어"), k("먹/VV + 어/EC")}, {"B2", k("밥"), k("밥/NNG")}});
  CollocationRequest request;
  request.query = *parseQuery(k("w:밥"), nullptr).query;
  request.documents = {a, b};
  request.left = request.right = 1;
  request.sort = CollocateSort::Observed;

  auto table = [&](CollocateUnit unit, std::uint64_t minimum) {
    request.unit = unit;
    request.minimum = minimum;
    const CollocationResult r = runCollocations(request);
    EXPECT_EQ(r.hits, 3u);
    EXPECT_EQ(r.spanSlots, 6u);  // the spans stop at the documents' edges, the slots do not
    std::vector<std::string> rows;
    for (const Collocate& c : r.collocates) {
      rows.push_back(test::u(c.text) + " " + std::to_string(c.observed) + " " + std::to_string(c.frequency));
    }
    // A vocabulary past the budget is counted again by a second walk, to the same table.
    request.scopeBudget = 1;
    const CollocationResult again = runCollocations(request);
    request.scopeBudget = CollocationRequest{}.scopeBudget;
    EXPECT_EQ(again.scopeUnits, r.scopeUnits);
    EXPECT_EQ(again.collocates.size(), r.collocates.size());
    for (std::size_t i = 0; i < again.collocates.size() && i < r.collocates.size(); ++i) {
      EXPECT_EQ(again.collocates[i].frequency, r.collocates[i].frequency);
      EXPECT_EQ(again.collocates[i].text, r.collocates[i].text);
    }
    return std::make_pair(r.scopeUnits, rows);
  };
  // 먹어 stands in the spans of two hits: O = 3 from two occurrences.
  EXPECT_EQ(table(CollocateUnit::Word, 1),
            std::make_pair(std::uint64_t{6}, std::vector<std::string>{"먹어 3 2", "좋다 1 1"}));
  EXPECT_EQ(table(CollocateUnit::Morpheme, 2),
            std::make_pair(std::uint64_t{9}, std::vector<std::string>{"먹/VV 3 2", "어/EC 3 2"}));
  EXPECT_EQ(table(CollocateUnit::Tag, 1),
            std::make_pair(std::uint64_t{9}, std::vector<std::string>{"EC 3 2", "VV 3 2", "EF 1 1", "VA 1 1"}));

  request.unit = CollocateUnit::Word;
  request.minimum = 1;
  request.sort = CollocateSort::LogDice;
  const CollocationResult r = runCollocations(request);
  ASSERT_EQ(r.collocates.size(), 2u);
  const Measures expected = measure(3, 2, 3, 6, 6);
  EXPECT_DOUBLE_EQ(r.collocates[0].measures.logDice, expected.logDice);
  EXPECT_DOUBLE_EQ(r.collocates[0].measures.logLikelihood, expected.logLikelihood);
  EXPECT_EQ(collocateUnitNamed("tag"), CollocateUnit::Tag);
  EXPECT_EQ(collocateSortNamed("logdice"), CollocateSort::LogDice);
  EXPECT_FALSE(collocateSortNamed("dice"));
}

}  // namespace
}  // namespace selvanor::analysis
