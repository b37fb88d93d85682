#include "stats/reanalysis.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/test_support.h"

namespace selvanor::stats {
namespace {

using test::k;
using test::u;
// tag -> item -> count, UTF-8, for readable comparisons.
using Flat = std::map<std::string, std::map<std::string, long long>>;

CountTable tableOf(const Flat& flat) {
  CountTable t;
  for (const auto& [tag, items] : flat) {
    for (const auto& [item, count] : items) t.add(k(tag), k(item), Cell{count, {}});
  }
  return t;
}

Flat flatOf(const CountTable& t) {
  Flat out;
  for (const auto& [tag, column] : t.columns()) {
    for (const ColumnEntry e : column) out[u(tag)][u(e.item)] = e.cell->count;
  }
  return out;
}

ReanalysisEntry entry(const std::string& item, std::vector<std::string> pieces,
                      std::size_t line = 1) {
  ReanalysisEntry e;
  e.item = splitReanalysisField(k(item));
  for (const std::string& p : pieces) e.pieces.push_back(splitReanalysisField(k(p)));
  e.line = line;
  return e;
}

class ReanalysisFile : public ::testing::Test {
 protected:
  ReanalysisList read(const std::string& cp949Text) {
    test::writeFile(dir.file("re.txt"), cp949Text);
    std::optional<ReanalysisList> list = readReanalysisFile(dir.file("re.txt"));
    EXPECT_TRUE(list.has_value());
    return list.value_or(ReanalysisList{});
  }
  test::ScratchDir dir;
};

TEST_F(ReanalysisFile, FieldsPiecesAndTags) {
  const ReanalysisList list =
      read(k("  서울역/nnp \t서울/NNP   역/nng\r\n\n   \n갂갵/NNG 갂 갵/x\n//SP /SP/SW\n"));
  EXPECT_TRUE(list.notices.empty());
  ASSERT_EQ(list.entries.size(), 3u);
  const ReanalysisEntry& e = list.entries[0];
  EXPECT_EQ(u(e.item.morpheme), "서울역");
  EXPECT_EQ(e.item.tag, "NNP");  // upper-cased
  ASSERT_EQ(e.pieces.size(), 2u);
  EXPECT_EQ(u(e.pieces[1].morpheme), "역");
  EXPECT_EQ(e.pieces[1].tag, "NNG");
  EXPECT_EQ(e.line, 1u);
  // A field without "/" has no tag; upper-casing never touches a second byte (갂 = 81 41).
  const ReanalysisEntry& f = list.entries[1];
  EXPECT_EQ(f.line, 4u);
  EXPECT_EQ(f.pieces[0].tag, "");
  EXPECT_EQ(f.pieces[0].morpheme, k("갂"));
  EXPECT_EQ(f.pieces[1].morpheme, k("갵"));
  EXPECT_EQ(f.pieces[1].tag, "X");
  // "/" as a morpheme: the tag starts after the first "/" past the first character.
  EXPECT_EQ(list.entries[2].item.morpheme, "/");
  EXPECT_EQ(list.entries[2].item.tag, "SP");
  EXPECT_EQ(list.entries[2].pieces[0].morpheme, "/SP");
  EXPECT_EQ(list.entries[2].pieces[0].tag, "SW");
}

TEST_F(ReanalysisFile, LinesOutsideTheLimitsAreNamed) {
  std::string twenty = "A/X", twentyOne;
  for (int i = 0; i < 20; ++i) twenty += " p" + std::to_string(i) + "/X";
  twentyOne = twenty + " q/X";
  const ReanalysisList list =
      read("lonely/NNG\n" + twenty + "\n" + twentyOne + "\nB/X " + std::string(1100, 'b') + "\n");
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(list.entries[0].pieces.size(), 20u);
  ASSERT_EQ(list.notices.size(), 3u);
  EXPECT_EQ(list.notices[0], "재분석 파일 1번째 줄: 바꿀 형태소가 없어 읽지 않았습니다.");
  EXPECT_EQ(list.notices[1], "재분석 파일 3번째 줄: 바꿀 형태소가 20개를 넘어 읽지 않았습니다.");
  EXPECT_EQ(list.notices[2], "재분석 파일 4번째 줄: 1023바이트보다 길어 읽지 않았습니다.");

  std::string many;
  for (int i = 0; i < 1001; ++i) many += "i" + std::to_string(i) + "/X p/X\n";
  const ReanalysisList capped = read(many);
  EXPECT_EQ(capped.entries.size(), 1000u);
  ASSERT_EQ(capped.notices.size(), 1u);
  EXPECT_EQ(capped.notices[0], "재분석 파일의 1000번째 줄 뒤는 읽지 않았습니다.");

  EXPECT_FALSE(readReanalysisFile(dir.file("none.txt")).has_value());
}

TEST(VocabularyReanalysis, EachPieceGainsTheWholeCountAndTheItemGoes) {
  CountTable t = tableOf({{"", {{"서울역", 3}, {"서울", 1}, {"기차", 2}}}});
  jaebunUhwe(t, {entry("서울역/NNP", {"서울/NNP", "역/NNG"}),
                 entry("서울역/XX", {"엉뚱/NNG"})});  // a later entry for the same item
  EXPECT_EQ(flatOf(t), (Flat{{"", {{"서울", 4}, {"역", 3}, {"기차", 2}}}}));
}

TEST(VocabularyReanalysis, EffectsFollowTheKeyOrderOfTheOriginalCounts) {
  // A -> B and B -> C. Walking A first, B gains A's count in the copy; walking B (on its
  // original count) then removes B from the copy, A's share with it.
  CountTable t = tableOf({{"", {{"A", 1}, {"B", 10}, {"C", 100}}}});
  jaebunUhwe(t, {entry("A/X", {"B/X"}), entry("B/X", {"C/X"})});
  EXPECT_EQ(flatOf(t), (Flat{{"", {{"C", 110}}}}));
  // The other way round: A is walked (and removed) before B gives it B's count, so A
  // stays with that count.
  CountTable r = tableOf({{"", {{"B", 1}, {"A", 10}, {"C", 100}}}});
  jaebunUhwe(r, {entry("B/X", {"A/X"}), entry("A/X", {"C/X"})});
  EXPECT_EQ(flatOf(r), (Flat{{"", {{"A", 1}, {"C", 110}}}}));
  // An item among its own pieces is removed all the same (pieces first, then removal).
  CountTable self = tableOf({{"", {{"A", 2}}}});
  jaebunUhwe(self, {entry("A/X", {"A/X", "Z/X"})});
  EXPECT_EQ(flatOf(self), (Flat{{"", {{"Z", 2}}}}));
}

TEST(TaggedReanalysis, MatchesItemAndTagAndCountsUnderThePieceTag) {
  CountTable t = tableOf({{"NNP", {{"서울역", 3}, {"서울", 1}}},
                          {"NNG", {{"서울역", 5}, {"A", 2}}},
                          {"SW", {{"A", 7}}}});
  const std::vector<std::size_t> unplaced =
      jabunPumsa(t, {"NNP", "NNG"},
                 {entry("서울역/nnp", {"서울/NNP", "역/NNG"}, 1),
                  entry("A/NNG", {"A/NNG", "B/NNG"}, 2),  // removed first, then re-added
                  entry("A/SW", {"Q/SW"}, 3),             // SW is outside the scope
                  entry("서울역/NNG", {"서울", "역/NNG"}, 4)});
  EXPECT_EQ(unplaced, (std::vector<std::size_t>{4}));
  EXPECT_EQ(flatOf(t), (Flat{{"NNP", {{"서울", 4}}},
                             {"NNG", {{"서울역", 5}, {"역", 3}, {"A", 2}, {"B", 2}}},
                             {"SW", {{"A", 7}}}}));
}

TEST(MarkerPass, TrailingMarkersJoinTheBareItem) {
  EXPECT_EQ(strippedOfMarkers("A#"), "A");
  EXPECT_EQ(strippedOfMarkers("A*#@%&"), "A");
  EXPECT_EQ(strippedOfMarkers(k("가#")), k("가"));
  EXPECT_EQ(strippedOfMarkers("A#b"), std::nullopt);
  EXPECT_EQ(strippedOfMarkers("#"), std::nullopt);
  EXPECT_EQ(strippedOfMarkers("#*"), std::nullopt);
  EXPECT_EQ(strippedOfMarkers("A"), std::nullopt);

  CountTable v = tableOf({{"", {{"A#", 1}, {"A*", 2}, {"A", 3}, {"#", 4}, {"B@", 5}}}});
  specUhwe(v);
  EXPECT_EQ(flatOf(v), (Flat{{"", {{"A", 6}, {"#", 4}, {"B", 5}}}}));

  CountTable t = tableOf({{"NNG", {{"A#", 1}, {"A", 3}}}, {"SW", {{"A#", 9}}}});
  specPumsa(t, {"NNG"});
  EXPECT_EQ(flatOf(t), (Flat{{"NNG", {{"A", 4}}}, {"SW", {{"A#", 9}}}}));
}

TEST(MarkerPass, DocumentsOfJoinedItemsAreUnited) {
  CountTable t;
  t.add("", "A#", Cell{1, {0, 2}});
  t.add("", "A", Cell{3, {1, 2}});
  specUhwe(t);
  const Cell* a = t.find("")->find("A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->count, 4);
  EXPECT_EQ(a->documents, (DocumentIds{0, 1, 2}));
}

}  // namespace
}  // namespace selvanor::stats
