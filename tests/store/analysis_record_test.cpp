#include "store/document/analysis_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::u;

struct NormaliseCase {
  const char* input;
  bool attachDa;
  const char* expected;  // after parseLine's upper-casing
};

class AnalysisNormalisation : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(AnalysisNormalisation, GivesTheNormalisedAnalysis) {
  const NormaliseCase& c = GetParam();
  const ParsedLine p = parseLine(k("12345670000010 먹었다 ") + k(c.input), c.attachDa);
  ASSERT_EQ(p.status, result::kOk);
  EXPECT_EQ(u(p.record.analysis), c.expected) << "input: " << c.input;
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, AnalysisNormalisation,
    ::testing::Values(NormaliseCase{"먹/VV+었/EP+다/EF", false, "먹/VV + 었/EP + 다/EF"},
                      NormaliseCase{"먹/VV+었/EP+다/EF", true, "먹다/VV + 었/EP + 다/EF"},
                      NormaliseCase{"먹 / vv + 었/ep", false, "먹/VV + 었/EP"},
                      NormaliseCase{"먹VV+었EP", false, "먹/VV + 었/EP"},
                      NormaliseCase{"먹", false, "먹/?"},
                      NormaliseCase{"a/NN++b/NN", false, "A/NN + /? + B/NN"},
                      NormaliseCase{"a/NN+", false, "A/NN"},
                      NormaliseCase{"a/NN++", false, "A/NN + /?"},
                      NormaliseCase{"+a/NN", false, "/? + A/NN"},
                      NormaliseCase{"가다/VV", true, "가다/VV"},
                      NormaliseCase{"먹01/VV", true, "먹다01/VV"},
                      NormaliseCase{"먹다01/VV", true, "먹다01/VV"},  // not doubled on re-import
                      NormaliseCase{"먹01*/VV", true, "먹01다*/VV"},
                      NormaliseCase{"먹*/VV", true, "먹다*/VV"},
                      NormaliseCase{"먹다*/VV", true, "먹다*/VV"},
                      NormaliseCase{"먹다★/VV", true, "먹다★/VV"},
                      NormaliseCase{"1가다/VV", true, "1가다/VV"},
                      NormaliseCase{"먹★/VV", true, "먹다★/VV"},
                      NormaliseCase{"먹/NNG", true, "먹/NNG"},
                      NormaliseCase{"먹/vv", true, "먹다/VV"},
                      NormaliseCase{"먹VA", true, "먹다/VA"},
                      NormaliseCase{"먹/V", true, "먹다/V"},
                      NormaliseCase{"/VV", true, "다/VV"}));

TEST(AnalysisNormalisation, NeverSplitsTwoByteCharacters) {
  // 갂 = 81 41 and 갵 = 81 61: their second bytes look like "A" and "a".
  EXPECT_EQ(normalizeAnalysis("\x81\x41VV", false), "\x81\x41/VV");
  EXPECT_EQ(normalizeAnalysis("\x81\x61", false), "\x81\x61/?");
  const ParsedLine p = parseLine("S1 w \x81\x61/nng", false);
  EXPECT_EQ(p.record.analysis, "\x81\x61/NNG");  // the syllable is not upper-cased
  EXPECT_EQ(p.record.word, "w");
  // A form ending in the byte pair of 다 only across characters does not end in 다.
  EXPECT_EQ(attachDaToForm(k("가다")), k("가다"));
  EXPECT_EQ(attachDaToForm("\x81\x41"), "\x81\x41" + k("다"));
}

// A lead byte before a byte that cannot stand second ("/", "+", a blank, the end) is one
// stray byte: it keeps its place and the separator after it still counts.
TEST(AnalysisNormalisation, AStrayLeadByteKeepsTheSeparatorAfterIt) {
  EXPECT_EQ(normalizeAnalysis("\xb0", false), "\xb0/?");
  EXPECT_EQ(normalizeAnalysis("a/NN+\xb0", true), "a/NN + \xb0/?");
  EXPECT_EQ(normalizeAnalysis("\xb0/NNG", false), "\xb0/NNG");
  EXPECT_EQ(normalizeAnalysis("\xb0+a/NN", false), "\xb0/? + a/NN");
  EXPECT_EQ(normalizeAnalysis("\xb0VV", true), "\xb0V" + k("다") + "/V");  // \xb0V: one
  const ParsedLine last = parseLine("S1 w a/NN+\xb0", false);
  ASSERT_EQ(last.status, result::kOk);
  EXPECT_EQ(last.record.analysis, "A/NN + \xb0/?");
  const ParsedLine serial = parseLine("S1\xb0\tw\xb0 a/NN", false);
  ASSERT_EQ(serial.status, result::kOk);
  EXPECT_EQ(serial.record.serial, "S1\xb0");
  EXPECT_EQ(serial.record.word, "w\xb0");
  EXPECT_EQ(serial.record.analysis, "A/NN");
  EXPECT_EQ(parseUnnumberedLine("S2", "\xb0 \xb0", true).record.analysis, "\xb0/?");
}

// 다 is never put right after a stray lead byte: it would pair with it, and the next
// import of the export would see no 다 and add another.
TEST(AnalysisNormalisation, AttachingDaIsStableBesideAStrayLeadByte) {
  for (const std::string& analysis :
       std::vector<std::string>{"\xb0/VV", "\xb0*/VV", "x\xb0" "1/VV", k("먹") + "\xb0/VV"}) {
    SCOPED_TRACE(analysis);
    const std::string once = normalizeAnalysis(analysis, true);
    EXPECT_EQ(once, analysis);
    EXPECT_EQ(normalizeAnalysis(once, true), once);
  }
  EXPECT_EQ(normalizeAnalysis("x/VV", true), "x" + k("다") + "/VV");
}

TEST(LineParsing, SplitsSerialWordAndAnalysis) {
  const ParsedLine p = parseLine(k("\t12345670000010   먹었다\t먹/VV + 었/EP  +다/EF  "), false);
  ASSERT_EQ(p.status, result::kOk);
  EXPECT_EQ(p.record.serial, "12345670000010");
  EXPECT_EQ(u(p.record.word), "먹었다");
  EXPECT_EQ(u(p.record.analysis), "먹/VV + 었/EP + 다/EF");
}

TEST(LineParsing, MissingFieldIsAFormatErrorThatKeepsTheSerial) {
  ParsedLine p = parseLine(k("12345670000010 먹었다"), false);
  EXPECT_EQ(p.status, result::kFormatError);
  EXPECT_EQ(p.record.serial, "12345670000010");
  p = parseLine("", false);
  EXPECT_EQ(p.status, result::kFormatError);
  EXPECT_EQ(p.record.serial, "");
  p = parseUnnumberedLine("S0000010", k("먹었다"), false);
  EXPECT_EQ(p.status, result::kFormatError);
  EXPECT_EQ(p.record.serial, "S0000010");
}

TEST(LineParsing, TakesLongLinesWhole) {
  const std::string analysis = [] {
    std::string a;
    for (int i = 0; i < 200; ++i) a += (i ? "+" : "") + k("먹") + "/NNG";
    return a;
  }();
  const ParsedLine p = parseLine("S1 w " + analysis, false);
  ASSERT_EQ(p.status, result::kOk);
  EXPECT_GT(analysis.size(), 499u);
  EXPECT_EQ(p.record.analysis.size(), analysis.size() + 199 * 2);
}

}  // namespace
}  // namespace selvanor
