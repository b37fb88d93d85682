#include "stats/consonant_range.h"

#include <gtest/gtest.h>

#include "stats/statistics_test_data.h"
#include "stats/tag_manager.h"
#include "support/test_support.h"

namespace selvanor::stats {
namespace {

using test::k;
using test::u;

std::pair<std::string, std::string> bounds(int lower, int upper) {
  const SyllableRange r = consonantRange(lower, upper);
  return {u(r.lower), u(r.upper)};
}

TEST(ConsonantRange, PickListsGiveTheTabledSyllables) {
  ASSERT_EQ(lowerRangeChoices().size(), 15u);
  ASSERT_EQ(upperRangeChoices().size(), 14u);
  EXPECT_EQ(u(lowerRangeChoices()[0]), "전체");
  EXPECT_EQ(lowerChoiceIndex(k("ㄴ")), 2);
  EXPECT_EQ(upperChoiceIndex(k("ㄴ")), 1);
  EXPECT_EQ(upperChoiceIndex(k("전체")), std::nullopt);
  EXPECT_EQ(lowerChoiceIndex("x"), std::nullopt);

  EXPECT_EQ(bounds(1, 0), std::make_pair(std::string("가"), std::string("낑")));
  EXPECT_EQ(bounds(1, 1), std::make_pair(std::string("가"), std::string("닢")));
  EXPECT_EQ(bounds(8, 7), std::make_pair(std::string("아"), std::string("잎")));
  EXPECT_EQ(bounds(14, 13), std::make_pair(std::string("하"), std::string("힝")));
  // 전체 ignores the upper list.
  EXPECT_EQ(bounds(kWholeRange, 0), std::make_pair(std::string("가"), std::string("힝")));
  EXPECT_EQ(bounds(kWholeRange, 5), std::make_pair(std::string("가"), std::string("힝")));
  // Each upper bound is the syllable just before the next consonant's first one.
  for (int i = 1; i < kConsonantCount; ++i) {
    const SyllableRange here = consonantRange(i, i - 1), next = consonantRange(i + 1, i);
    const auto lastByte = static_cast<unsigned char>(here.upper[1]);
    EXPECT_EQ(here.upper[0], next.lower[0]) << i;
    EXPECT_EQ(lastByte + 1, static_cast<unsigned char>(next.lower[1])) << i;
  }
}

TEST(ConsonantRange, UpperChoiceBeforeTheLowerMovesUp) {
  EXPECT_EQ(adjustedUpperChoice(2, 0), 1);  // lower ㄴ, upper ㄱ -> ㄴ
  EXPECT_EQ(adjustedUpperChoice(2, 5), 5);  // already after
  EXPECT_EQ(adjustedUpperChoice(kWholeRange, 0), 0);
  EXPECT_EQ(adjustedUpperChoice(14, 0), 13);
}

TEST(ConsonantRange, FirstTwoBytesDecide) {
  const SyllableRange r = consonantRange(1, 1);  // 가 .. 닢
  for (const char* in : {"가", "가다", "낑", "나", "닢", "닢닢", "까치", "나무"}) {
    EXPECT_TRUE(inSyllableRange(k(in), r)) << in;
  }
  for (const char* out : {"다", "하", "1", "12", "a", "Ab", "#", "ㄱ", ""}) {
    EXPECT_FALSE(inSyllableRange(k(out), r)) << out;
  }
  // Syllables outside KS X 1001 (lead bytes below 0xB0) sort before 가 byte-wise.
  EXPECT_FALSE(inSyllableRange(k("갂"), consonantRange(kWholeRange, 0)));
  EXPECT_TRUE(inSyllableRange(k("힝"), consonantRange(kWholeRange, 0)));
}

TEST(ConsonantRange, PickedClassesGiveTheirTagsOnce) {
  test::ScratchDir dir;
  test::writeFile(dir.file("tag.txt"), k(test::kTagFile));
  TagManager tags;
  ASSERT_TRUE(tags.Load(dir.file("tag.txt")));
  // 관계언 and 의존형태 both list JKO: the picked list holds it once, at its first place.
  EXPECT_EQ(tagsForClasses(tags, {k("관계언"), k("의존형태")}, 1),
            (std::vector<std::string>{"JKS", "JKO", "EP", "EF"}));
  EXPECT_EQ(tagsForClasses(tags, {k("체언")}, 1), (std::vector<std::string>{"NNG", "NNP"}));
  // Level 2: an item with sub-items gives theirs; level 3: the sub-item's own tag.
  EXPECT_EQ(tagsForClasses(tags, {k("격조사"), k("동사")}, 2),
            (std::vector<std::string>{"JKS", "JKO", "VV"}));
  EXPECT_EQ(tagsForClasses(tags, {k("종결어미"), k("없는이름")}, 3),
            (std::vector<std::string>{"EF"}));
}

}  // namespace
}  // namespace selvanor::stats
