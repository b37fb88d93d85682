#include "stats/morpheme_splitter.h"

#include <gtest/gtest.h>

#include "stats/tag_manager.h"
#include "support/test_support.h"

namespace selvanor::test {
namespace {

// Each record as "form/TAG" (marker shown as "[m]", a record without "/" as "<none>").
std::vector<std::string> split(std::string_view cp949) {
  MorphemeSplitter splitter;
  splitter.SetText(cp949);
  std::vector<std::string> out;
  while (const Morpheme* m = splitter.NextMorpheme()) {
    if (!m->hasTag) {
      out.push_back("<none>");
      continue;
    }
    std::string s = u(m->text);
    if (m->marker) s += std::string("[") + m->marker + "]";
    out.push_back(s + "/" + u(m->tag));
  }
  return out;
}

using Strings = std::vector<std::string>;

TEST(MorphemeSplitting, PlusSeparatesMorphemesAndCanBeAForm) {
  EXPECT_EQ(split("1/SN++/SW"), (Strings{"1/SN", "+/SW"}));
  EXPECT_EQ(split(k("먹/vv + 었/EP + 다/EF")), (Strings{"먹/VV", "었/EP", "다/EF"}));
  EXPECT_EQ(split(k("먹/VV+었/EP")), (Strings{"먹/VV", "었/EP"}));
  EXPECT_EQ(split(k("+/SW +나/NP")), (Strings{"+/SW", "나/NP"}));
  // The token after a lone "+" is taken whole.
  EXPECT_EQ(split(k("가/NA + 나/NB+다/NC")), (Strings{"가/NA", "나/NB+다/NC"}));
  EXPECT_EQ(split(k("가/NA +")), (Strings{"가/NA", "<none>"}));
}

TEST(MorphemeSplitting, MarkerAndMissingSlash) {
  EXPECT_EQ(split(k("사람#/NNG + 들*/XSN + 이%/JKS")),
            (Strings{"사람[#]/NNG", "들[*]/XSN", "이[%]/JKS"}));
  EXPECT_EQ(split(k("사람 /NNG")), (Strings{"<none>", "<none>"}));  // "/" first never counts
  EXPECT_EQ(split(k("a/b/c")), Strings{"a/B/C"});
}

TEST(MorphemeSplitting, OffsetsPointAtEachFormInTheText) {
  const std::string text = k("사과/NNG+1/SN++/SW + 과#/NNG");
  MorphemeSplitter splitter;
  splitter.SetText(text);
  std::vector<std::string> found;
  while (const Morpheme* m = splitter.NextMorpheme()) {
    found.push_back(text.substr(m->offset, m->text.size()));
    EXPECT_EQ(found.back(), m->text);
  }
  EXPECT_EQ(found.size(), 4u);
  EXPECT_EQ(text.find(k("과#")), text.rfind(k("과")));  // the marker form is the last one
}

TEST(MorphemeSplitting, TwoByteCharactersAreNeverCut) {
  // 갂 = 81 41, 갵 = 81 61: second bytes that look like "A" and "a".
  EXPECT_EQ(split(k("갵/nng+갂@/x갵")), (Strings{"갵/NNG", "갂[@]/X갵"}));

  MorphemeSplitter splitter;
  splitter.SetText(k("갂A갵a갂"), "Aa");
  EXPECT_EQ(u(splitter.NextToken().value()), "갂");
  EXPECT_EQ(u(splitter.NextToken().value()), "갵");
  EXPECT_EQ(u(splitter.NextToken().value()), "갂");
  EXPECT_FALSE(splitter.NextToken());
}

TEST(MorphemeJoining, EditorRowsGiveBackTheAnalysisTheSplitterReads) {
  const std::string analysis = k("사람#/NNG + 들/XSN + 갂@/X갵");
  MorphemeSplitter splitter;
  splitter.SetText(analysis);
  std::vector<MorphemeRow> rows;
  while (const Morpheme* m = splitter.NextMorpheme()) {
    rows.push_back({true, m->text, m->marker ? std::string(1, m->marker) : std::string(), m->tag});
  }
  EXPECT_EQ(u(joinMorphemes(rows)), u(k("사람#/NNG + 들/XSN + 갂@/X갵")));

  rows[1].apply = false;
  EXPECT_EQ(u(joinMorphemes(rows)), "사람#/NNG + 갂@/X갵");
  // Switching off the first row leaves the joiner of the next one in place.
  rows[0].apply = false;
  rows[1].apply = true;
  EXPECT_EQ(u(joinMorphemes(rows)), " + 들/XSN + 갂@/X갵");
  EXPECT_EQ(joinMorphemes({}), "");
}

TEST(MorphemeSplitting, TokensAndDelimiterSets) {
  MorphemeSplitter splitter;
  EXPECT_FALSE(splitter.SetText(static_cast<const char*>(nullptr)));
  EXPECT_TRUE(splitter.SetText("  ab, cd  ", " "));
  EXPECT_TRUE(splitter.HasMoreTokens());
  EXPECT_EQ(splitter.NextToken(", "), "ab");
  EXPECT_EQ(splitter.NextToken(), "cd");
  EXPECT_FALSE(splitter.HasMoreTokens());
  EXPECT_FALSE(splitter.NextToken());
  EXPECT_EQ(splitter.NextMorpheme(), nullptr);
}

class TagCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(dir.file("tag.txt"), k("#1 체언\n#2 명사/NNG\n#1 관계언\n#2 조사/JKS\n"
                                     "#1 기타\n#2 기호/S\n#3 숫자/SN\n#3 기타/SW\n"));
    ASSERT_TRUE(tags.Load(dir.file("tag.txt")));
    splitter.AttachTagSet(tags);
  }
  ScratchDir dir;
  TagManager tags;
  MorphemeSplitter splitter;
};

TEST_F(TagCheck, AcceptsOnlyAnalysesWhoseEveryTagIsKnown) {
  EXPECT_TRUE(splitter.CheckTags(k("서울/nng")));
  EXPECT_TRUE(splitter.CheckTags("1/SN++/SW"));
  EXPECT_TRUE(splitter.CheckTags(k("학교#/NNG + 가/JKS")));
  EXPECT_TRUE(splitter.CheckTags(""));
  EXPECT_FALSE(splitter.CheckTags(k("서울")));
  EXPECT_FALSE(splitter.CheckTags(k("서울/NNG + 에/JKB")));
  EXPECT_FALSE(splitter.CheckTags(k("서울/NNG +")));
  EXPECT_FALSE(splitter.CheckTags(k("서울/")));
  EXPECT_FALSE(splitter.CheckTags(static_cast<const char*>(nullptr)));
}

TEST_F(TagCheck, FailsWithoutTagSet) {
  MorphemeSplitter bare;
  EXPECT_FALSE(bare.HasTagSet());
  EXPECT_FALSE(bare.CheckTags(""));
}

}  // namespace
}  // namespace selvanor::test
