// The two analysis reviews on small hand-made documents: report bytes, groups handed to a
// list window, and failures that name the file.
#include "lexicon/analysis_review.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "common/derived_paths.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "review_test_support.h"
#include "store/reference/reference_file.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::Records;
using test::writeFile;

class Review : public ::testing::Test {
 protected:
  std::string doc(const std::string& name, const Records& records) {
    test::writeDocument(dir.file(name), records);
    return dir.file(name);
  }
  // A document and its reference file (path + "x"), as the store builds it.
  std::string referenced(const std::string& name, const Records& records) {
    const std::string d = doc(name, records);
    EXPECT_EQ(reference::buildReferenceFile(d, derived::referenceFile(d), {}), result::kOk);
    return derived::referenceFile(d);
  }
  std::string report() { return readFile(dir.file("report.txt")); }
  static AnalysisRecord r(const char* serial, const char* word, const char* analysis) {
    return {serial, k(word), k(analysis)};
  }

  test::ScratchDir dir;
  DiagnosticCapture diagnostics;
};

TEST_F(Review, WorkFileGroupsFollowFirstOccurrencesAfterOneEmptyLine) {
  // 나는 differs at S05 only (S03 differs in blanks); 밥을 agrees throughout.
  const std::string d = doc("doc.id", {r("S01", "나는", "나/NP + 는/JX"), r("S02", "밥을", "밥/NNG + 을/JKO"),
                                       r("S03", "나는", "나/NP+는/JX"), r("S04", "먹었다", "먹/VV + 었/EP + 다/EF"),
                                       r("S05", "나는", "날/VV + 는/ETM"), r("S06", "밥을", "밥/NNG + 을/JKO")});
  const review::ReviewOutcome o = review::reviewWorkFile(dir.file("report.txt"), d);
  ASSERT_TRUE(o) << o.message;
  EXPECT_EQ(o.message, "분석 결과가 텍스트로 저장되었습니다.");
  EXPECT_EQ(report(), k("\r\n"
                        "S01 나는 나/NP + 는/JX \t - 밥을 나는 \r\n"
                        "S05 나는 날/VV + 는/ETM \t 나는 먹었다 - 밥을 \r\n"));
  EXPECT_EQ(o.groups, 1u);
  EXPECT_EQ(o.lines, 2u);

  // Groups in the order of their first occurrences (x before y, though y's difference
  // comes first), without lines between them; A, B, A lists the first two only.
  const std::string d2 = doc("two.id", {r("S1", "x", "a/NNG"), r("S2", "y", "b/NNG"), r("S3", "y", "c/NNG"),
                                        r("S4", "x", "d/NNG"), r("S5", "x", "a/NNG")});
  ASSERT_TRUE(review::reviewWorkFile(dir.file("report.txt"), d2));
  EXPECT_EQ(report(), "\r\n"
                      "S1 x a/NNG \t - y y \r\n"
                      "S4 x d/NNG \t y y - x \r\n"
                      "S2 y b/NNG \t x - y x \r\n"
                      "S3 y c/NNG \t x y - x x \r\n");
}

TEST_F(Review, WorkFileEdgeCases) {
  // Everything agrees once blanks are ignored: an empty report, still a success.
  std::string d = doc("same.id", {r("S1", "사과를", "사과/NNG + 를/JKO"), r("S2", "사과를", "사과/NNG+를/JKO"),
                                  r("S3", "사과를", "사과/NNG +\t를/JKO")});
  review::ReviewOutcome o = review::reviewWorkFile(dir.file("report.txt"), d);
  ASSERT_TRUE(o);
  EXPECT_EQ(report(), "");
  EXPECT_EQ(o.groups, 0u);

  // The second occurrence is the very next record, which is also the last: no context
  // before the first record, none after the last.
  d = doc("next.id", {r("S1", "사과를", "사과/NNG + 를/JKO"), r("S2", "사과를", "사과/VV + 를/ETM")});
  ASSERT_TRUE(review::reviewWorkFile(dir.file("report.txt"), d));
  EXPECT_EQ(report(), k("\r\nS1 사과를 사과/NNG + 를/JKO \t - 사과를 \r\nS2 사과를 사과/VV + 를/ETM \t 사과를 - \r\n"));

  // A carriage return is not a blank; a line feed in an analysis is written in text mode.
  d = doc("cr.id", {r("S1", "갂", "갂/NNG+를/JKO"), r("S2", "갂", "갂/NNG\r+를/JKO"),
                    r("S3", "갂", "갂/NNG\n+를/JKO"), r("S4", "갂", "갂/VV\n+를/ETM")});
  ASSERT_TRUE(review::reviewWorkFile(dir.file("report.txt"), d));
  EXPECT_EQ(report(), k("\r\nS1 갂 갂/NNG+를/JKO \t - 갂 갂 \r\n"
                        "S2 갂 갂/NNG\r+를/JKO \t 갂 - 갂 갂 \r\n"
                        "S4 갂 갂/VV\r\n+를/ETM \t 갂 갂 - \r\n"));
}

TEST_F(Review, WorkFileRemembersReportedWordsInMemoryOnly) {
  // A file where the old program kept its reported words is neither read nor removed.
  const std::string d = doc("novel.id", {r("S1", "x", "a/NNG"), r("S2", "x", "b/NNG")});
  writeFile(dir.file("novel_log.log"), "the user's own file");
  ASSERT_TRUE(review::reviewWorkFile(dir.file("report.txt"), d));
  EXPECT_EQ(report(), "\r\nS1 x a/NNG \t - x \r\nS2 x b/NNG \t x - \r\n");
  EXPECT_EQ(readFile(dir.file("novel_log.log")), "the user's own file");
  // A second run reports the same words again.
  ASSERT_TRUE(review::reviewWorkFile(dir.file("report.txt"), d));
  EXPECT_EQ(report(), "\r\nS1 x a/NNG \t - x \r\nS2 x b/NNG \t x - \r\n");
}

TEST_F(Review, WorkFileFailuresSayWhatAndKeepTheOldReport) {
  writeFile(dir.file("report.txt"), "old");
  review::ReviewOutcome o = review::reviewWorkFile(dir.file("report.txt"), dir.file("missing.id"));
  EXPECT_EQ(o.code, result::kOpenError);
  EXPECT_EQ(o.message, "분석 재검토를 하지 못했습니다.\n분석 문헌 파일이 없습니다: " + dir.file("missing.id"));
  EXPECT_EQ(o.file, dir.file("missing.id"));
  EXPECT_FALSE(fileExists(dir.file("missing.id")));

  // A value that is not an analysis record: damaged, nothing written.
  const std::string d = doc("bad.id", {r("S1", "x", "a/NNG"), r("S3", "x", "b/NNG")});
  {
    Storage s;
    ASSERT_TRUE(s.open(d));
    ASSERT_TRUE(s.put("S2", "not a record"));
  }
  o = review::reviewWorkFile(dir.file("report.txt"), d);
  EXPECT_EQ(o.code, result::kOpenError);
  EXPECT_NE(o.message.find("분석 문헌 파일이 손상되었거나 분석 문헌이 아닙니다: " + d), std::string::npos);
  EXPECT_EQ(report(), "old");

  // The report would replace the document; the report's folder does not exist.
  const std::string good = doc("good.id", {r("S1", "x", "a/NNG"), r("S2", "x", "b/NNG")});
  const std::string before = readFile(good);
  o = review::reviewWorkFile(good, good);
  EXPECT_EQ(o.code, result::kTextFileError);
  EXPECT_EQ(readFile(good), before);
  o = review::reviewWorkFile(dir.file("no/such/folder.txt"), good);
  EXPECT_EQ(o.code, result::kTextFileError);
  EXPECT_NE(o.message.find("재검토 결과 파일을 저장할 수 없습니다: "), std::string::npos);
  EXPECT_EQ(report(), "old");
}

TEST_F(Review, WorkFileHandsGroupsToTheListWindow) {
  const std::string d = doc("doc.id", {r("S1", "x", "a/NNG"), r("S2", "y", "b/NNG"), r("S3", "x", "c/NNG"),
                                       r("S4", "y", "d/NNG"), r("S5", "z", "e/NNG"), r("S6", "z", "f/NNG")});
  review::GroupCollector shown(2);
  ASSERT_TRUE(review::reviewWorkFile(dir.file("report.txt"), d, shown.sink()));
  ASSERT_EQ(shown.groups().size(), 2u);
  EXPECT_EQ(shown.total(), 3u);
  EXPECT_TRUE(shown.truncated());
  const review::ReviewGroup& g = shown.groups()[1];
  EXPECT_EQ(g.word, "y");
  ASSERT_EQ(g.occurrences.size(), 2u);
  EXPECT_EQ(g.occurrences[0].record, (AnalysisRecord{"S2", "y", "b/NNG"}));
  EXPECT_EQ(g.occurrences[1].record, (AnalysisRecord{"S4", "y", "d/NNG"}));
  EXPECT_EQ(g.occurrences[1].recordNumber, 4u);
  EXPECT_EQ(g.occurrences[1].document, d);
  // The window takes the groups over; the count of every group stays.
  const std::vector<review::ReviewGroup> taken = shown.takeGroups();
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[1].word, "y");
  EXPECT_TRUE(shown.groups().empty());
  EXPECT_EQ(shown.total(), 3u);
}

TEST_F(Review, ComparisonGroupsEachEndWithAnEmptyLine) {
  const std::string ref = referenced("r.id", {r("R1", "나는", "나/NP + 는/JX"), r("R2", "밥을", "밥/NNG + 을/JKO"),
                                              r("R3", "혼자", "혼자/MAG")});
  // 둘이 is only in the compared file, 혼자 only in the reference file.
  const std::string cmp = referenced("c.id", {r("C1", "나는", "날/VV + 는/ETM"), r("C2", "밥을", "밥/NNG+을/JKO"),
                                              r("C3", "나는", "나/NP + 는/JX"), r("C4", "밥을", "밥/VV + 을/ETM"),
                                              r("C5", "둘이", "둘/NR + 이/JKS")});
  review::GroupCollector shown(10);
  const review::ReviewOutcome o = review::compareReferenceFiles(dir.file("report.txt"), ref, cmp, shown.sink());
  ASSERT_TRUE(o) << o.message;
  EXPECT_EQ(o.message, "참조파일 비교 결과가 저장되었습니다.");
  EXPECT_EQ(report(), k("R1 나는 나/NP + 는/JX \t - 밥을 혼자 \r\n"
                        "C1 나는 날/VV + 는/ETM \t - 밥을 나는 \r\n"
                        "\r\n"
                        "R2 밥을 밥/NNG + 을/JKO \t 나는 - 혼자 \r\n"
                        "C4 밥을 밥/VV + 을/ETM \t 밥을 나는 - 둘이 \r\n"
                        "\r\n"));
  ASSERT_EQ(shown.groups().size(), 2u);
  const review::ReviewGroup& g = shown.groups()[1];
  EXPECT_EQ(g.word, k("밥을"));
  ASSERT_EQ(g.occurrences.size(), 2u);
  EXPECT_EQ(g.occurrences[0].document, dir.file("r.id"));
  EXPECT_EQ(g.occurrences[0].recordNumber, 2u);
  EXPECT_EQ(g.occurrences[1].document, dir.file("c.id"));
  EXPECT_EQ(g.occurrences[1].recordNumber, 4u);

  // Comparing a file with itself finds nothing: an empty report.
  ASSERT_TRUE(review::compareReferenceFiles(dir.file("report.txt"), ref, ref));
  EXPECT_EQ(report(), "");
}

TEST_F(Review, ComparisonFailuresNameTheFile) {
  const std::string ref = referenced("r.id", {r("R1", "x", "a/NNG")});
  const std::string cmp = referenced("c.id", {r("C1", "x", "b/NNG")});
  writeFile(dir.file("report.txt"), "old");
  const auto failure = [&](const std::string& reference, const std::string& compared) {
    return review::compareReferenceFiles(dir.file("report.txt"), reference, compared);
  };
  const std::string title = "참조파일 비교 결과가 저장에 실패 했습니다.\n";

  // The compared file's document is gone: a failure, not an empty comparison.
  ASSERT_TRUE(removeFile(dir.file("c.id")));
  review::ReviewOutcome o = failure(ref, cmp);
  EXPECT_EQ(o.code, result::kOpenError);
  EXPECT_EQ(o.message, title + "참조 파일의 분석 문헌 파일이 없습니다: " + dir.file("c.id"));
  EXPECT_EQ(o.file, dir.file("c.id"));
  EXPECT_EQ(report(), "old");

  o = failure(dir.file("none.idx"), ref);
  EXPECT_EQ(o.message, title + "참조 파일이 없습니다: " + dir.file("none.idx"));
  writeFile(dir.file("text.idx"), "plain text, not a database");
  o = failure(ref, dir.file("text.idx"));
  EXPECT_EQ(o.message, title + "참조 파일을 열 수 없습니다: " + dir.file("text.idx"));
  EXPECT_FALSE(fileExists(dir.file("none.idx")));

  // A document given as the compared reference file (its sibling is itself).
  o = failure(ref, dir.file("r.id"));
  EXPECT_EQ(o.message, title + "참조 파일이 손상되었거나 참조 파일이 아닙니다: " + dir.file("r.id"));
  // A reference file lying where its sibling document should be.
  test::writeReference(dir.file("t.idx"), {{"x", {{"T1", "x", "c/NNG"}}}});
  ASSERT_EQ(std::rename(ref.c_str(), dir.file("t.id").c_str()), 0);
  o = failure(dir.file("t.idx"), dir.file("t.idx"));
  EXPECT_EQ(o.message, title + "분석 문헌 파일이 손상되었거나 분석 문헌이 아닙니다: " + dir.file("t.id"));
  // The report would replace an input.
  o = review::compareReferenceFiles(dir.file("t.idx"), dir.file("t.idx"), dir.file("t.idx"));
  EXPECT_EQ(o.code, result::kTextFileError);
  EXPECT_EQ(report(), "old");
}

TEST(ReviewPaths, SiblingDocumentAndDialogChecks) {
  EXPECT_EQ(derived::documentOfReference("/a/novel.idx"), "/a/novel.id");
  EXPECT_EQ(derived::documentOfReference("/a.b/novel"), "/a.b/novel.id");
  EXPECT_EQ(derived::documentOfReference("novel"), "novel.id");
  EXPECT_EQ(derived::documentOfReference("x.y.idx"), "x.y.id");

  EXPECT_EQ(review::checkCompareFields("", "", ""), std::string("참조 파일을 선택해 주세요 "));
  EXPECT_EQ(review::checkCompareFields("a", "", ""), std::string("비교 참조 파일을 선택해 주세요 "));
  EXPECT_EQ(review::checkCompareFields("a", "b", ""), std::string("재검토 결과 저장 파일을 선택해 주세요 "));
  EXPECT_EQ(review::checkCompareFields("a", "b", "c"), std::nullopt);
}

}  // namespace
}  // namespace selvanor
