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

// A lead byte pairs only with a byte that can stand second; otherwise it is one stray
// byte and the separator after it stays visible.
TEST(Cp949Stepping, AStrayLeadByteNeverSwallowsASeparator) {
  for (const char next : std::string("/ \t\r\n+0\x1b\x7f\xff")) {
    const std::string s = std::string("\xb0") + next;
    SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(next)));
    EXPECT_EQ(cp949::charLength(s, 0), 1u);
    EXPECT_EQ(cp949::charCount(s), 2u);
    EXPECT_EQ(cp949::findChar(s, next), 1u);
  }
  EXPECT_EQ(cp949::findChar("\xb0/NNG", '/'), 1u);
  EXPECT_EQ(cp949::findAnyOf("\xb0+x", "+"), 1u);
  EXPECT_TRUE(cp949::endsWith("x\xb0/", "/"));
  // Every valid second byte still pairs: A-Z, a-z, 0x81-0xFE.
  for (const char second : std::string("AZaz\x81\xfe")) {
    EXPECT_EQ(cp949::charLength(std::string("\xb0") + second, 0), 2u);
  }
}

TEST(Cp949WellFormed, AcceptsStructuralCp949Only) {
  EXPECT_TRUE(cp949::isWellFormed(""));
  EXPECT_TRUE(cp949::isWellFormed(k("먹/VV + 었/EP") + kGakk + kGat));
  EXPECT_TRUE(cp949::isWellFormed("\xc9\xa1 user-defined area"));
  EXPECT_FALSE(cp949::isWellFormed("a\xb0"));      // cut off by the end
  EXPECT_FALSE(cp949::isWellFormed("\xb0/NNG"));   // lead byte before a separator
  EXPECT_FALSE(cp949::isWellFormed("\x80"));       // starts nothing
  EXPECT_FALSE(cp949::isWellFormed("\xff"));
}

}  // namespace
}  // namespace selvanor
