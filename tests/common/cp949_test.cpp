#include "common/cp949.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::u;

// 갂 is 0x81 0x41 ("A" as second byte), 갵 is 0x81 0x61 ("a" as second byte).
const std::string kGakk = "\x81\x41";
const std::string kGat = "\x81\x61";

TEST(Cp949Stepping, StepsOverTwoByteCharacters) {
  const std::string s = kGakk + "x" + kGat;
  EXPECT_EQ(cp949::charCount(s), 3u);
  EXPECT_EQ(cp949::nextChar(s, 0), 2u);
  EXPECT_EQ(cp949::lastCharStart(s), 3u);
  EXPECT_EQ(cp949::lastCharStart(""), std::string_view::npos);
  // A lone lead byte at the end is one character, so walks end.
  EXPECT_EQ(cp949::charCount("a\x81"), 2u);
  EXPECT_EQ(cp949::leftChars(kGakk + kGat + "b", 2), kGakk + kGat);
}

TEST(Cp949Search, MatchesOnlyAtCharacterBoundaries) {
  const std::string s = kGakk + kGat;  // bytes 81 41 81 61
  EXPECT_EQ(cp949::findChar(s, 'A'), std::string_view::npos);
  EXPECT_EQ(cp949::findChar(s, 'a'), std::string_view::npos);
  EXPECT_EQ(cp949::findLetter(s), std::string_view::npos);
  EXPECT_EQ(cp949::find(s, "A"), std::string_view::npos);
  EXPECT_EQ(cp949::find(s, "\x41\x81"), std::string_view::npos);  // straddles two characters
  EXPECT_EQ(cp949::find(s, kGat), 2u);
  EXPECT_EQ(cp949::find(s + "A", "A"), 4u);
  EXPECT_EQ(cp949::findLetter(s + "b"), 4u);
  EXPECT_EQ(cp949::findAnyOf(s + "*", "*&#@%"), 4u);
  EXPECT_EQ(cp949::find("abc", ""), 0u);
}

TEST(Cp949Search, EndsWithNeedsABoundary) {
  const std::string da = k("다");
  EXPECT_TRUE(cp949::endsWith(k("가다"), da));
  EXPECT_FALSE(cp949::endsWith(k("가"), da));
  // x + [B4 D9] ends in 다; [81 B4][D9 ..] would not be a character match.
  EXPECT_TRUE(cp949::endsWith("x" + da, da));
  EXPECT_FALSE(cp949::endsWith(std::string("\x81") + da, da));  // [81 B4] then a lone D9
}

TEST(Cp949Case, UpperCasesOnlyAsciiLetters) {
  std::string s = kGat + "nng/" + kGakk + "vv";
  cp949::toUpperAscii(s);
  EXPECT_EQ(s, kGat + "NNG/" + kGakk + "VV");
  EXPECT_EQ(cp949::upperAscii(k("먹/vv")), k("먹/VV"));
}

TEST(Cp949Trim, TrimsBlanksTabsAndLineEnds) {
  EXPECT_EQ(cp949::trim(" \t" + kGat + " a\r\n"), kGat + " a");
  EXPECT_EQ(cp949::trim(" \t\r\n"), "");
  EXPECT_EQ(cp949::removeBlanks(k("먹 / vv +\t었/ep")), k("먹/vv+었/ep"));
}

TEST(Cp949Without, DropsSpacingButNeverHalfACharacter) {
  // 갂 = 81 41 and 갵 = 81 61: their second bytes are letters, never blanks or tabs.
  EXPECT_EQ(u(cp949::without(k("갂 /NNG +\t갵\n/X"), cp949::kAnalysisSpacing)), "갂/NNG+갵/X");
  std::string out = "x";
  cp949::appendWithout(" a\tb ", "\t", out);
  EXPECT_EQ(out, "x ab ");
}

}  // namespace
}  // namespace selvanor
