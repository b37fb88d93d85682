#include "stats/homonym_exempt.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace selvanor::test {
namespace {

TEST(HomonymExempt, SuffixTagsExemptExceptFourMorphemes) {
  for (const char* m : {"대", "생", "째", "류"}) {
    EXPECT_FALSE(IsHomonymExempt("XSN", k(m))) << m;
  }
  EXPECT_TRUE(IsHomonymExempt("XSN", k("들")));
  EXPECT_TRUE(IsHomonymExempt("XPN", k("대학")));  // whole morpheme only
}

TEST(HomonymExempt, SymbolTagsOnlyTheNineTwoLetterOnes) {
  for (const char* t : {"SF", "SP", "SS", "SL", "SO", "SE", "SH", "SW", "SN"}) {
    EXPECT_TRUE(IsHomonymExempt(t, "x")) << t;
  }
  EXPECT_FALSE(IsHomonymExempt("SA", "x"));
  EXPECT_FALSE(IsHomonymExempt("SNN", "x"));
  EXPECT_FALSE(IsHomonymExempt("S", "x"));
}

TEST(HomonymExempt, EndingsParticlesAndFixedTags) {
  for (const char* t : {"EF", "E", "JKS", "NNP", "VCP", "NV", "NA"}) {
    EXPECT_TRUE(IsHomonymExempt(t, "x")) << t;
  }
  for (const char* t : {"NNG", "NNPX", "VV", "", "nnp"}) {
    EXPECT_FALSE(IsHomonymExempt(t, "x")) << t;
  }
  EXPECT_TRUE(IsHomonymExempt(nullptr, "x"));
  EXPECT_TRUE(IsHomonymExempt("NNG", nullptr));
}

}  // namespace
}  // namespace selvanor::test
