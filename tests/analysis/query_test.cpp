// The concordance query parser: every construct, faults with their positions, and the
// CP949 characters whose second byte looks like ASCII.
#include <gtest/gtest.h>

#include "analysis/concordance_query.h"
#include "analysis/record_matcher.h"
#include "stats/tag_manager.h"
#include "support/test_support.h"

namespace selvanor::analysis {
namespace {

using test::k;
using Kind = TextPattern::Kind;

Query parsed(const std::string& utf8, const TagManager* tags = nullptr) {
  QueryParse p = parseQuery(k(utf8), tags);
  EXPECT_TRUE(p) << utf8 << ": " << describe(p.error);
  return p ? *p.query : Query{};
}

TEST(ConcordanceQuery, EveryConstruct) {
  Query q = parsed("w:먹었다 w:먹* */NNG+하/xsv ^먹/VV+었/EP 다/EF$ [] []{0,3} []{2} *가*/*N 나");
  ASSERT_EQ(q.tokens.size(), 10u);
  EXPECT_EQ(q.tokens[0].kind, TokenPattern::Kind::Word);
  EXPECT_EQ(q.tokens[0].word.kind, Kind::Exact);
  EXPECT_EQ(q.tokens[0].word.text, k("먹었다"));
  EXPECT_EQ(q.tokens[1].word.kind, Kind::Prefix);
  const TokenPattern& m = q.tokens[2];
  ASSERT_EQ(m.pieces.size(), 2u);
  EXPECT_EQ(m.pieces[0].form.kind, Kind::Any);
  EXPECT_EQ(m.pieces[0].tag.text, "NNG");
  EXPECT_EQ(m.pieces[1].tag.text, "XSV");  // tags are upper-cased
  EXPECT_TRUE(q.tokens[3].anchoredFirst);
  EXPECT_FALSE(q.tokens[3].anchoredLast);
  EXPECT_TRUE(q.tokens[4].anchoredLast);
  EXPECT_EQ(q.tokens[5].kind, TokenPattern::Kind::Gap);
  EXPECT_EQ(q.tokens[6].minRecords, 0u);
  EXPECT_EQ(q.tokens[6].maxRecords, 3u);
  EXPECT_EQ(q.tokens[7].minRecords, 2u);
  EXPECT_EQ(q.tokens[7].maxRecords, 2u);
  EXPECT_EQ(q.tokens[8].pieces[0].form.kind, Kind::Contains);
  EXPECT_EQ(q.tokens[8].pieces[0].tag.kind, Kind::Suffix);
  EXPECT_EQ(q.tokens[9].pieces[0].tag.kind, Kind::Any);  // a form alone: any tag
  EXPECT_EQ(q.maxLength(), 13u);
  EXPECT_EQ(q.minLength(), 10u);
  EXPECT_EQ(q.leadingExactWord(), k("먹었다"));
  EXPECT_FALSE(parsed("w:먹*").leadingExactWord());

  // Escapes make "+", "*", "/" and "$" forms.
  q = parsed("\\+/SW+\\*/SW \\//SP \\$/SW$");
  EXPECT_EQ(q.tokens[0].pieces[0].form.text, "+");
  EXPECT_EQ(q.tokens[0].pieces[1].form.text, "*");
  EXPECT_EQ(q.tokens[0].pieces[1].form.kind, Kind::Exact);
  EXPECT_EQ(q.tokens[1].pieces[0].form.text, "/");
  EXPECT_EQ(q.tokens[2].pieces[0].form.text, "$");
  EXPECT_TRUE(q.tokens[2].anchoredLast);

  // Queries made from a record take every character literally.
  const std::string odd = k("갂+*/$ [a]\\");
  q = parsed("w:갂" + test::u(wordQuery(odd).substr(4)));  // through UTF-8 and back
  EXPECT_EQ(q.tokens[0].word.text, odd);
  q = *parseQuery(morphemeQuery(odd, "SW") + " " + morphemeQuery("^", ""), nullptr).query;
  EXPECT_EQ(q.tokens[0].pieces[0].form.text, odd);
  EXPECT_EQ(q.tokens[0].pieces[0].form.kind, Kind::Exact);
  EXPECT_EQ(q.tokens[1].pieces[0].form.text, "^");
  EXPECT_EQ(q.tokens[1].pieces[0].tag.kind, Kind::Any);

  // A class of the tag file stands for its tags.
  TagManager tags;
  ASSERT_TRUE(tags.Load(SELVANOR_TAG_FILE));
  q = parsed("*/체언", &tags);
  EXPECT_EQ(q.tokens[0].pieces[0].tagSet, (std::vector<std::string>{"NNG", "NNP", "NNB", "NP", "NR"}));
}

TEST(ConcordanceQuery, FaultsNameTheirPosition) {
  const std::vector<std::pair<std::string, std::size_t>> cases = {
      {"", 1},
      {"   ", 1},
      {"먹/VV+", 6},        // nothing after "+"
      {"먹/VV /", 6},       // an empty form
      {"먹/", 3},           // an empty tag
      {"먹/VV/X", 5},       // a second "/"
      {"먹*가/VV", 2},      // "*" inside a form
      {"w:", 3},
      {"w:먹 [", 6},
      {"w:먹 [x]", 6},
      {"w:먹 []{", 8},
      {"w:먹 []{3,1}", 7},
      {"w:먹 []{1,99}", 7},
      {"w:먹 []{1,2", 11},
      {"w:먹 []{1}x", 10},
      {"[]{0,2} w:먹", 1},  // a hit must start at a fixed place
      {"w:먹 []{1,2}", 5},
      {"[]{0}", 1},
      {"먹^/VV", 2},
      {"갂갵/체언", 4},      // a class name without a tag file
      {"가/*체언", 3},
  };
  for (const auto& [utf8, position] : cases) {
    const QueryParse p = parseQuery(k(utf8), nullptr);
    ASSERT_FALSE(p) << utf8;
    EXPECT_EQ(p.error.position, position) << utf8 << ": " << p.error.message;
    EXPECT_FALSE(p.error.message.empty());
  }
  TagManager tags;
  ASSERT_TRUE(tags.Load(SELVANOR_TAG_FILE));
  const QueryParse unknown = parseQuery(k("w:가 갂/없는분류"), &tags);
  ASSERT_FALSE(unknown);
  EXPECT_EQ(unknown.error.position, 7u);
  EXPECT_EQ(describe(unknown.error), "검색식 오류(7번째 글자): 태그 파일에 없는 분류입니다: 없는분류");
}

TEST(ConcordanceQuery, Cp949SecondBytesAreNeverAscii) {
  // 갂 is 0x81 0x41 ("A" second), 갵 is 0x81 0x61 ("a" second).
  const std::string gak = k("갂"), gat = k("갵");
  ASSERT_EQ(gak, "\x81\x41");
  ASSERT_EQ(gat, "\x81\x61");
  Query q = parsed("갵/NNG");
  EXPECT_EQ(q.tokens[0].pieces[0].form.text, gat);  // not upper-cased into 0x81 0x55
  q = parsed("w:*A*");
  EXPECT_FALSE(q.tokens[0].word.matches(gak));
  EXPECT_FALSE(q.tokens[0].word.matches(k("가갂")));
  EXPECT_TRUE(q.tokens[0].word.matches(k("갂A")));
  q = parsed("w:*A");
  EXPECT_FALSE(q.tokens[0].word.matches(gak));
  // A stray lead byte is one character, never half of 갂.
  for (const char* raw : {"w:\x81", "w:\x81*"}) {
    const QueryParse stray = parseQuery(raw, nullptr);
    ASSERT_TRUE(stray);
    EXPECT_FALSE(stray.query->tokens[0].word.matches(gak));
  }
  // Tag folding touches ASCII only: 갵 upper-cased byte by byte would be 갂.
  const TextPattern tag{Kind::Exact, gak};
  EXPECT_FALSE(tag.matches(gat, true));
  EXPECT_TRUE(tag.matches(gak, true));
  EXPECT_FALSE((TextPattern{Kind::Prefix, gak}).matches(gat + "A", true));
  EXPECT_TRUE((TextPattern{TextPattern::Kind::Exact, "NNG"}).matches("nng", true));
  EXPECT_FALSE((TextPattern{TextPattern::Kind::Exact, "NNG"}).matches("nng", false));

  // The analysis splitter keeps 갂 whole and "+" as a form.
  std::vector<MorphemeView> ms;
  const std::string analysis = k("갂/NNG+갵A/XSN + +/SW++/SW + //SP");
  splitMorphemes(analysis, ms);
  ASSERT_EQ(ms.size(), 5u);
  EXPECT_EQ(ms[0].form, gak);
  EXPECT_EQ(ms[1].form, gat + "A");
  EXPECT_EQ(ms[1].tag, "XSN");
  EXPECT_EQ(ms[2].whole, "+/SW");
  EXPECT_EQ(ms[3].form, "+");
  EXPECT_EQ(ms[4].form, "/");
  EXPECT_EQ(ms[4].tag, "SP");
}

}  // namespace
}  // namespace selvanor::analysis
