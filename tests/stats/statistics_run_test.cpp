#include "stats/statistics_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "common/encoding.h"
#include "stats/statistics_source.h"
#include "stats/statistics_test_data.h"
#include "stats/tag_manager.h"
#include "support/test_support.h"

namespace selvanor::stats {
namespace {

using test::Counts;
using test::k;
using test::u;

const std::string kDashes(60, '-');

// The rows of a report (UTF-8): what follows the second dash line, without the closing
// CR LF of a vocabulary report.
std::string rowsOf(const std::string& report) {
  std::size_t start = report.rfind(kDashes);
  if (start == std::string::npos) return "<no dash line>";
  start += kDashes.size();
  start += report.compare(start, 2, "\r\n") == 0 ? 2 : 1;
  std::string rows = report.substr(start);
  if (rows.size() >= 2 && rows.compare(rows.size() - 2, 2, "\r\n") == 0)
    rows.resize(rows.size() - 2);
  return u(rows);
}

std::set<std::string> filesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    names.insert(e.path().lexically_relative(folder).string());
  }
  return names;
}

class StatisticsRun : public ::testing::Test {
 protected:
  void SetUp() override {
    test::writeFile(dir.file("tag.txt"), k(test::kTagFile));
    ASSERT_TRUE(tags.Load(dir.file("tag.txt")));
  }
  std::string doc(const std::string& name, const Counts& counts) {
    return test::documentWithStatistics(dir, name, counts);
  }
  RunRequest request(int type, std::vector<RunEntry> entries, const std::string& options) {
    RunRequest r;
    r.type = type;
    r.entries = std::move(entries);
    r.fullTags = tags.AllTags();
    r.scopeTags = type <= 2   ? tags.AllTags()
                  : type <= 4 ? tags.ContentTags()
                              : tags.RelationalTags();
    r.resultPath = dir.file("report.txt");
    r.options = options;
    r.date = "06/11/24";
    return r;
  }
  std::string report() { return test::readFile(dir.file("report.txt")); }
  static RunEntry folder(const std::string& name) { return {RunEntry::Folder, k(name)}; }
  static RunEntry document(const std::string& path) { return {RunEntry::Document, path}; }

  test::ScratchDir dir;
  TagManager tags;
};

TEST_F(StatisticsRun, CountsMergeAcrossDocumentsAndFolders) {
  const std::string a = doc("a", {{"NNG", {{"A", 2}}}});
  const std::string b =
      doc("b", {{"NNG", {{"A", 3}}}, {"nng", {{"A", 9}}}});  // lower case: own tag
  const std::string c = doc("c", {{"NNG", {{"A", 1}}}, {"VV", {{"B", 1}}}});
  const auto entries = {folder("F1"), document(a), document(b), folder("F2"), document(c)};
  RunOutcome o = runTongStat(request(2, entries, "01110001100"));
  ASSERT_TRUE(o.ok()) << o.message;
  EXPECT_EQ(rowsOf(report()), "A\tNNG\t6\t5\t1\t\nB\tVV\t1\t0\t1\t\n");

  // Vocabulary: one morpheme over two tags sums (A/NNG 2 + A/VV 4 = 6).
  const std::string d = doc("d", {{"NNG", {{"A", 2}}}, {"VV", {{"A", 4}}}, {"JKO", {{"B", 1}}}});
  o = runTongStat(request(1, {folder("F"), document(d)}, "01010000100"));
  ASSERT_TRUE(o.ok()) << o.message;
  EXPECT_EQ(rowsOf(report()), "A\t6\t\nB\t1\t\n");
  // 실질어 (content tags) leaves the particle out.
  ASSERT_TRUE(runTongStat(request(3, {folder("F"), document(d)}, "01010000100")).ok());
  EXPECT_EQ(rowsOf(report()), "A\t6\t\n");
  ASSERT_TRUE(runTongStat(request(6, {folder("F"), document(d)}, "01010000100")).ok());
  EXPECT_EQ(rowsOf(report()), "B\t1\t\n");
}

TEST_F(StatisticsRun, EachDocumentCountsOncePerFolderAndOnceInTheTotal) {
  const std::string a = doc("a", {{"NNG", {{"A", 2}}}});
  const auto entries = {folder("F"), document(a), document(a), folder("F"), document(a)};
  ASSERT_TRUE(runTongStat(request(2, entries, "00010001100")).ok());
  EXPECT_EQ(rowsOf(report()), "2\t2\t2\t\n");
  // Both same-named folders are columns of their own.
  EXPECT_NE(report().find("F\tF\t\n"), std::string::npos);
}

TEST_F(StatisticsRun, RepeatedTagsAreCountedAndPrintedOnce) {
  // The tag file lists JKO under two classes: AllTags and RelationalTags hold it twice.
  const std::vector<std::string> relational = tags.RelationalTags();
  ASSERT_EQ(std::count(relational.begin(), relational.end(), "JKO"), 2);
  const std::string a = doc("a", {{"JKO", {{"를", 1}}}});
  ASSERT_TRUE(runTongStat(request(7, {folder("F"), document(a)}, "11110000300")).ok());
  EXPECT_EQ(rowsOf(report()), "1\t를\tJKO\t1\t\n");
  ASSERT_TRUE(runTongStat(request(6, {folder("F"), document(a)}, "11010000100")).ok());
  EXPECT_EQ(rowsOf(report()), "1\t를\t1\t\n");
}

TEST_F(StatisticsRun, EveryEntryCountsAndNoScratchFileIsLeft) {
  // 101 folders (202 entries), three documents taking turns: no entry is left out.
  const std::vector<std::string> documents = {doc("a", {{"NNG", {{"A", 1}}}}),
                                              doc("b", {{"NNG", {{"A", 1}}}}),
                                              doc("c", {{"NNG", {{"A", 1}}}})};
  std::vector<RunEntry> entries;
  std::string heads, counts;
  for (int i = 0; i < 101; ++i) {
    entries.push_back(folder("F" + std::to_string(i)));
    entries.push_back(document(documents[static_cast<std::size_t>(i) % 3]));
    heads += "F" + std::to_string(i) + "\t";
    counts += "1\t";
  }
  const std::set<std::string> before = filesIn(dir.path());
  std::size_t calls = 0;
  const RunOutcome o = runTongStat(request(1, entries, "00010001100"), [&](const RunProgress& p) {
    EXPECT_EQ(p.done, ++calls);
    EXPECT_EQ(p.total, entries.size());
    return true;
  });
  ASSERT_TRUE(o.ok()) << o.message;
  EXPECT_EQ(calls, entries.size());
  EXPECT_NE(report().find(k("빈도\t") + heads + "\r\n"), std::string::npos);
  EXPECT_EQ(rowsOf(report()), "3\t" + counts + "\n");  // each document once in the total
  std::set<std::string> after = filesIn(dir.path());
  after.erase("report.txt");
  EXPECT_EQ(after, before);
}

TEST_F(StatisticsRun, FailedOrCancelledRunsKeepTheOldReport) {
  test::writeFile(dir.file("report.txt"), "old");
  const std::string a = doc("a", {{"NNG", {{"A", 1}}}});
  const std::string missing = dir.file("missing.id");
  test::writeFile(missing, "");
  RunOutcome o =
      runTongStat(request(2, {folder("F"), document(a), document(missing)}, "11110000100"));
  EXPECT_EQ(o.code, result::kOpenError);
  EXPECT_EQ(o.message, "통계용 파일을 먼저 만드십시요 [" + missing + "]");
  EXPECT_FALSE(fileExists(dir.file("missing.stt")));  // never created by reading
  EXPECT_EQ(report(), "old");

  test::writeFile(dir.file("broken.id"), "");
  test::writeFile(dir.file("broken.stt"), "not a database");
  o = runTongStat(request(1, {folder("F"), document(dir.file("broken.id"))}, "11010000100"));
  EXPECT_EQ(o.code, result::kOpenError);
  EXPECT_EQ(o.message, "통계용 파일을 읽을 수 없습니다: " + dir.file("broken.stt"));
  // A document under a statistics file's name is no statistics file.
  test::writeFile(dir.file("plain.id"), "");
  {
    Storage plain;
    ASSERT_TRUE(plain.open(dir.file("plain.stt")));
    ASSERT_TRUE(plain.put("S0001", codec::encodeTriple("S0001", "w", "A/NNG")));
  }
  o = runTongStat(request(1, {folder("F"), document(dir.file("plain.id"))}, "11010000100"));
  EXPECT_EQ(o.message, "통계용 파일을 읽을 수 없습니다: " + dir.file("plain.stt"));
  // A count below 1 is no statistics build's; such a file is not read on.
  const std::string zero = doc("zero", {{"NNG", {{"A", 0}}}});
  o = runTongStat(request(1, {folder("F"), document(zero)}, "11010000100"));
  EXPECT_EQ(o.message, "통계용 파일을 읽을 수 없습니다: " + dir.file("zero.stt"));

  o = runTongStat(request(2, {folder("F"), document(a), folder("G")}, "11110000100"),
                  [](const RunProgress& p) { return p.done < 2; });
  EXPECT_EQ(o.code, kRunCancelled);
  EXPECT_EQ(o.message, "통계 작업을 취소했습니다. 결과 파일은 만들지 않았습니다.");
  EXPECT_EQ(report(), "old");

  RunRequest r = request(2, {folder("F"), document(a)}, "11110000100");
  r.resultPath = dir.file("no/such/report.txt");
  o = runTongStat(r);
  EXPECT_EQ(o.code, result::kTextFileError);
  EXPECT_EQ(o.message, "통계 결과 파일을 쓸 수 없습니다: " + r.resultPath);
}

TEST_F(StatisticsRun, RequestsThatCannotRunAreRefusedWithTheirCause) {
  const std::string a = doc("a", {{"NNG", {{"A", 1}}}});
  const std::vector<RunEntry> entries{folder("F"), document(a)};
  EXPECT_EQ(runTongStat(request(8, entries, "11110000100")).code, kUnknownRunType);
  EXPECT_EQ(runTongStat(request(0, entries, "11110000100")).code, kUnknownRunType);
  RunOutcome o = runTongStat(request(2, entries, "1111000040"));
  EXPECT_EQ(o.code, result::kFormatError);
  EXPECT_NE(o.message.find("1111000040"), std::string::npos);
  EXPECT_EQ(runTongStat(request(2, {document(a)}, "11110000100")).message,
            "통계 대상 목록이 폴더로 시작하지 않습니다.");
  RunRequest r = request(2, entries, "11110000100");
  r.resultPath = dir.file("a.stt");
  EXPECT_EQ(runTongStat(r).message, "선택된 곳에 지정된 파일이 현재 사용중입니다.");
  r.resultPath.clear();
  EXPECT_EQ(runTongStat(r).message, "결과 저장 파일명을 선택해 주세요");
  r = request(5, entries, "11110000100");
  r.scopeTags = {"NNG"};
  EXPECT_EQ(runTongStat(r).message, "품사 표지 통계의 어휘 범위가 없습니다.");
  r.scopeTags.clear();
  EXPECT_EQ(runTongStat(r).message, "통계를 낼 품사 표지가 없습니다.");
  EXPECT_FALSE(fileExists(dir.file("report.txt")));
}

TEST_F(StatisticsRun, PassesRewriteTheTotalBeforeTheReport) {
  const std::string a =
      doc("a", {{"NNP", {{"서울역", 3}}}, {"NNG", {{"A#", 1}, {"A*", 2}, {"A", 3}, {"#", 4}}}});
  test::writeFile(dir.file("re.txt"), k("서울역/NNP 서울/NNP 역/NNG\n외톨이/NNG\n"));
  RunRequest r = request(2, {folder("F"), document(a)}, "01110000101");
  r.reanalysisPath = dir.file("re.txt");
  RunOutcome o = runTongStat(r);
  ASSERT_TRUE(o.ok()) << o.message;
  EXPECT_EQ(
      o.notices,
      (std::vector<std::string>{"재분석 파일 2번째 줄: 바꿀 형태소가 없어 읽지 않았습니다."}));
  EXPECT_EQ(rowsOf(report()), "#\tNNG\t4\t\nA\tNNG\t6\t\n서울\tNNP\t3\t\n역\tNNG\t3\t\n");

  r.type = 1;
  r.options = "01010000100";
  ASSERT_TRUE(runTongStat(r).ok());
  EXPECT_EQ(rowsOf(report()), "#\t4\t\nA\t3\t\nA#\t1\t\nA*\t2\t\n서울\t3\t\n역\t3\t\n");

  r.reanalysisPath = dir.file("none.txt");
  o = runTongStat(r);
  EXPECT_EQ(o.code, result::kOpenError);
  EXPECT_EQ(o.message, "재분석 파일을 열 수 없습니다: " + dir.file("none.txt"));
}

TEST_F(StatisticsRun, ExtrasAndUtf8AreOnlyThereWhenAsked) {
  const std::string a = doc("a", {{"NNG", {{"가", 1}, {"B", 1}}}});
  const std::string b = doc("b", {{"VV", {{"가", 2}}}});
  RunRequest r =
      request(1, {folder("폴더"), document(a), folder("폴더"), document(b)}, "11110000100");
  ASSERT_TRUE(runTongStat(r).ok());
  const std::string plain = report();
  // A vocabulary report has no tag column, whatever position 2 says.
  EXPECT_NE(u(plain).find("순서\t항목\t빈도\t폴더\t폴더\t\r\n"), std::string::npos);
  EXPECT_EQ(rowsOf(plain), "1\tB\t1\t\n2\t가\t3\t\n");
  r.perMillion = r.docRange = true;
  ASSERT_TRUE(runTongStat(r).ok());
  EXPECT_EQ(rowsOf(report()), "1\tB\t1\t250000.00\t1\t\n2\t가\t3\t750000.00\t2\t\n");
  r.perMillion = r.docRange = false;
  r.utf8 = true;
  ASSERT_TRUE(runTongStat(r).ok());
  EXPECT_EQ(report(), u(plain));
}

TEST_F(StatisticsRun, PartOfSpeechRunKeepsToTheRange) {
  const std::string a =
      doc("a", {{"NNG", {{"가방", 2}, {"나무", 1}, {"다리", 1}, {"abc", 1}}}, {"SN", {{"1", 5}}}});
  RunRequest r = request(5, {folder("F"), document(a)}, "11110110100");
  r.scopeTags = {"NNG", "SN"};
  r.range = consonantRange(1, 1);  // ㄱ .. ㄴ
  ASSERT_TRUE(runTongStat(r).ok());
  EXPECT_NE(u(report()).find("* 통계 범위 : 품사표지\n"), std::string::npos);
  EXPECT_EQ(rowsOf(report()), "1\t가방\tNNG\t2\t2\t20.000000\t\n2\t나무\tNNG\t1\t3\t30.000000\t\n");
}

TEST(StatisticsSources, MissingOlderAndUnnamableFilesAreNamed) {
  test::ScratchDir dir;
  const std::string fresh = test::documentWithStatistics(dir, "fresh", {{"NNG", {{"A", 1}}}});
  const std::string old = test::documentWithStatistics(dir, "old", {{"NNG", {{"A", 1}}}});
  const std::string missing = dir.file("missing.id");
  test::writeFile(missing, "");
  const std::string unnamable = dir.path() + "/";  // names a folder, no file
  namespace fs = std::filesystem;
  fs::last_write_time(old, fs::last_write_time(dir.file("old.stt")) + std::chrono::seconds(5));
  const std::vector<RunEntry> entries{{RunEntry::Folder, "F"},        {RunEntry::Document, fresh},
                                      {RunEntry::Document, old},      {RunEntry::Document, missing},
                                      {RunEntry::Folder, "G"},        {RunEntry::Document, missing},
                                      {RunEntry::Document, unnamable}};
  EXPECT_EQ(documentsOf(entries), (std::vector<std::string>{fresh, old, missing, unnamable}));
  const auto problems = checkStatisticsFiles(documentsOf(entries));
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_EQ(problems[0].document, old);
  EXPECT_EQ(problems[0].state, StatisticsState::Older);
  EXPECT_EQ(problems[1].state, StatisticsState::Missing);
  EXPECT_EQ(problems[2].state, StatisticsState::NoPath);
  EXPECT_EQ(statisticsProblemsMessage(problems),
            "통계용 파일이 없는 문헌:\n  " + missing + "\n통계용 파일이 문헌보다 오래된 문헌:\n  " +
                old + "\n통계용 파일 이름을 만들 수 없는 문헌 파일입니다.\n  " + unnamable);

  std::vector<std::string> built;
  const auto failures = buildStatisticsFiles(problems, [&](const std::string& d) {
    built.push_back(d);
    return d == old ? result::kOk : result::kOpenError;
  });
  EXPECT_EQ(built, (std::vector<std::string>{old, missing}));
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_EQ(failures[0].path, missing);
  EXPECT_EQ(failures[1].path, unnamable);
}

}  // namespace
}  // namespace selvanor::stats
