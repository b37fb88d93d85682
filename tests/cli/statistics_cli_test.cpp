// selvanor-cli stats and stats-listing, end to end against their report files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_fixture.h"
#include "common/encoding.h"
#include "common/files.h"
#include "stats/statistics_test_data.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;

const std::string kDashes(60, '-');

class StatsCli : public Cli {
 protected:
  void SetUp() override {
    writeFile(dir.file("tag.txt"), k(test::kTagFile));
    // XX is no tag of the tag file: no run counts it.
    writeFile(dir.file("a.txt"), k("TESTDOC0000010 먹었다 먹/VV+었/EP+다/EF\n"
                                   "TESTDOC0000020 책을 책/NNG+을/JKO\nTESTDOC0000030 ok ok/XX\n"));
    writeFile(dir.file("b.txt"), k("TESTDOC0000010 책이 책/NNG+이/JKS\n"
                                   "TESTDOC0000020 ok ok/XX\nTESTDOC0000030 ok ok/XX\n"));
    ASSERT_EQ(run("build --no-da " + q("a.txt") + " " + q("a.id")).exitCode, 0);
    ASSERT_EQ(run("build --no-da " + q("b.txt") + " " + q("b.id")).exitCode, 0);
  }
  std::string stats(const std::string& args) {
    return "stats --tags " + q("tag.txt") + " --out " + q("r.txt") + " --date 01/02/03 " + args;
  }
  // The report's rows (UTF-8): what follows the second dash line.
  std::string rows() {
    const std::string report = encoding::cp949ToUtf8Lossy(readFile(dir.file("r.txt")));
    std::size_t start = report.rfind(kDashes);
    if (start == std::string::npos) return "<none>";
    start += kDashes.size();
    return report.substr(start + (report.compare(start, 2, "\r\n") == 0 ? 2 : 1));
  }
  std::string folderName() { return std::filesystem::path(dir.path()).filename().string(); }
};

TEST_F(StatsCli, RunNamesMissingStatisticsFilesThenBuildsThemOnRequest) {
  CliRun r = run(stats("--type 2 " + q("a.id") + " " + q("b.id")));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "통계용 파일이 없는 문헌:\n  " + dir.file("a.id") + "\n  " + dir.file("b.id") +
                       "\n--build-missing 을 주면 통계용 파일을 먼저 만듭니다.\n");
  EXPECT_FALSE(fileExists(dir.file("r.txt")));
  EXPECT_FALSE(fileExists(dir.file("a.stt")));

  r = run(stats("--type 2 --build-missing " + q("a.id") + " " + q("b.id")));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "결과 파일: " + dir.file("r.txt") + "\n통계 작업을 마쳤습니다.\n");
  EXPECT_NE(r.err.find("통계 파일 생성작업을 완료했습니다."), std::string::npos);
  const std::string folder = folderName();
  EXPECT_EQ(encoding::cp949ToUtf8Lossy(readFile(dir.file("r.txt"))),
            "* 작업 날짜 : 01/02/03\n* 파일 이름 : " + dir.file("r.txt") + "\n* 대상 문헌 : " +
                folder + "  \n* 통계 범위 : 어휘 + 품사표지\n* 폴더/문헌 명칭\n " + folder +
                " :  \n\t" + dir.file("a.id") + "  \n\t" + dir.file("b.id") + " \n\n" + kDashes +
                "\n순서\t항목\t품사\t빈도\t" + folder + "\t\n" + kDashes +
                "\n1\t다\tEF\t1\t\n2\t먹\tVV\t1\t\n3\t었\tEP\t1\t\n4\t을\tJKO\t1\t\n"
                "5\t이\tJKS\t1\t\n6\t책\tNNG\t2\t\n");

  // A document changed after its statistics file was built is named as well.
  namespace fs = std::filesystem;
  fs::last_write_time(dir.file("b.id"),
                      fs::last_write_time(dir.file("b.stt")) + std::chrono::seconds(5));
  r = run(stats("--type 1 " + q("a.id") + " " + q("b.id")));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("통계용 파일이 문헌보다 오래된 문헌:\n  " + dir.file("b.id")),
            std::string::npos);
}

TEST_F(StatsCli, ListGroupsBecomeFoldersAndOptionsShapeTheReport) {
  ASSERT_EQ(run("stats-file " + q("a.id")).exitCode, 0);
  ASSERT_EQ(run("stats-file " + q("b.id")).exitCode, 0);
  writeFile(dir.file("dblist.dat"),
            k("1말뭉치\n2") + dir.file("a.id") + k("\n1기타\n2") + dir.file("b.id") + "\n");
  // Vocabulary over both groups, frequency order descending, folder columns.
  CliRun r = run(stats("--type 1 --list " + q("dblist.dat") + " --options 00010001310"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(rows(), "2\t1\t1\t\n1\t1\t0\t\n1\t1\t0\t\n1\t1\t0\t\n1\t1\t0\t\n1\t0\t1\t\n\r\n");
  // --group keeps the named groups; --sort/--descending override the option string.
  r = run(stats("--type 3 --list " + q("dblist.dat") + " --group 기타 --sort item --descending"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(rows(), "1\t책\t1\t\n\r\n");
  EXPECT_NE(
      encoding::cp949ToUtf8Lossy(readFile(dir.file("r.txt"))).find("# 대상 문헌 : 기타  \r\n"),
      std::string::npos);
  // Part-of-speech tags picked by class, first syllables ㅇ; extras and UTF-8 output.
  r = run(
      stats("--type 5 --classes 관계언,의존형태 --range ㅇ ㅇ --per-million --doc-range --utf8 " +
            q("a.id") + " " + q("b.id")));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string report = readFile(dir.file("r.txt"));
  EXPECT_NE(report.find("* 통계 범위 : 품사표지\n"), std::string::npos);  // written as UTF-8
  EXPECT_EQ(report.substr(report.rfind(kDashes) + kDashes.size() + 1),
            "1\t었\tEP\t1\t250000.00\t1\t\n2\t을\tJKO\t1\t250000.00\t1\t\n"
            "3\t이\tJKS\t1\t250000.00\t1\t\n");
}

TEST_F(StatsCli, UsageErrorsAndFailuresSayWhy) {
  ASSERT_EQ(run("stats-file " + q("a.id")).exitCode, 0);
  writeFile(dir.file("dblist.dat"), k("1말뭉치\n2") + dir.file("a.id") + "\n");
  const auto usage = [&](const std::string& args, const std::string& message) {
    const CliRun r = run(stats(args));
    EXPECT_EQ(r.exitCode, 2) << args;
    EXPECT_NE(r.err.find(message), std::string::npos) << args << ": " << r.err;
  };
  usage("--type 1", "--list 와 문헌 파일 가운데 하나로 통계 대상을 주십시오.");
  usage("--type 1 --list " + q("dblist.dat") + " " + q("a.id"), "가운데 하나로");
  usage("--type 1 --group 말뭉치 " + q("a.id"), "--group 은 --list 와 함께 씁니다.");
  usage("--type 1 --list " + q("dblist.dat") + " --group 없음",
        "문헌 목록에 없는 그룹입니다: 없음");
  usage("--type 2 --classes 체언 " + q("a.id"), "--classes 와 --range 는 --type 5 에만 씁니다.");
  usage("--type 5 " + q("a.id"), "--classes 로 분류를 골라 주십시오.");
  usage("--type 5 --classes 없는분류 " + q("a.id"),
        "태그 파일에 없는 분류입니다 (단계 1): 없는분류");
  usage("--type 5 --classes 체언 --range ㄲ ㄴ " + q("a.id"), "--range 에는 아래쪽으로 전체 또는");
  usage("--type 5 --classes 체언 --range ㄱ 전체 " + q("a.id"),
        "--range 에는 아래쪽으로 전체 또는");
  usage("--type 1 --options 1101 " + q("a.id"), "결과 제시 문자열이 잘못되었습니다");
  EXPECT_EQ(run(stats("--type 9 " + q("a.id"))).exitCode, 2);
  EXPECT_EQ(run("stats --help").exitCode, 0);
  EXPECT_EQ(run("stats-listing --help").exitCode, 0);

  CliRun r =
      run("stats --tags " + q("none.txt") + " --out " + q("r.txt") + " --type 1 " + q("a.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, dir.file("none.txt") + " 파일을 열 수 없습니다.\n");
  r = run(stats("--type 1 --list " + q("none.dat")));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, dir.file("none.dat") + " 생성 실패\n");
  r = run(stats("--type 1 --reanalysis " + q("none.txt") + " " + q("a.id")));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "재분석 파일을 열 수 없습니다: " + dir.file("none.txt") + "\n");
  // The report may not overwrite a document of the run.
  r = run("stats --tags " + q("tag.txt") + " --out " + q("a.id") + " --type 1 " + q("a.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "선택된 곳에 지정된 파일이 현재 사용중입니다.\n");
  EXPECT_FALSE(fileExists(dir.file("r.txt")));
}

TEST_F(StatsCli, DashWritesTheReportToStandardOutput) {
  ASSERT_EQ(run("stats-file " + q("a.id")).exitCode, 0);
  ASSERT_EQ(run(stats("--type 2 " + q("a.id"))).exitCode, 0);
  const std::string inFile = readFile(dir.file("r.txt"));
  const CliRun r = run("stats --tags " + q("tag.txt") + " --out - --date 01/02/03 --type 2 " +
                       q("a.id"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // The same report, but for the file name it names.
  std::string expected = inFile;
  const std::size_t at = expected.find(dir.file("r.txt"));
  ASSERT_NE(at, std::string::npos);
  expected.replace(at, dir.file("r.txt").size(), "-");
  EXPECT_EQ(r.out, expected);
  EXPECT_NE(r.err.find("통계 작업을 마쳤습니다."), std::string::npos) << r.err;
  EXPECT_FALSE(fileExists(dir.file("-")));
  const CliRun listing =
      run("stats-listing --type 2 --tags " + q("tag.txt") + " --out - " + q("a.id"));
  ASSERT_EQ(listing.exitCode, 0) << listing.err;
  EXPECT_NE(listing.out.find(dir.file("a.id")), std::string::npos) << listing.out;
}

TEST_F(StatsCli, ListingsFollowEachOtherUnderTheirDocuments) {
  const std::string listing = "stats-listing --tags " + q("tag.txt") + " --out " + q("l.txt") + " ";
  CliRun r = run(listing + "--type 4 " + q("a.id") + " " + q("b.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "통계용 파일을 먼저 만드십시요 [" + dir.file("a.id") + "]\n");
  EXPECT_FALSE(fileExists(dir.file("l.txt")));

  ASSERT_EQ(run("stats-file " + q("a.id")).exitCode, 0);
  ASSERT_EQ(run("stats-file " + q("b.id")).exitCode, 0);
  r = run(listing + "--type 4 " + q("a.id") + " " + q("b.id"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "결과 파일: " + dir.file("l.txt") + "\n통계 작업을 마쳤습니다.\n");
  EXPECT_EQ(encoding::cp949ToUtf8Lossy(readFile(dir.file("l.txt"))),
            "# 문헌 : " + dir.file("a.id") + "\n책\tNNG\t1\t50.00000 %\n먹\tVV\t1\t50.00000 %\n" +
                "\n\n전체 어휘수:2, 전체 빈도:2, 전체 백분율 합계:100.00000 %\n\n\n" +
                "# 문헌 : " + dir.file("b.id") + "\n책\tNNG\t1\t100.00000 %\n" +
                "\n\n전체 어휘수:1, 전체 빈도:1, 전체 백분율 합계:100.00000 %\n\n\n");
  r = run(listing + "--type 5 --classes 의존형태 --level 1 --range ㄷ ㄹ " + q("a.id"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(encoding::cp949ToUtf8Lossy(readFile(dir.file("l.txt"))),
            "# 문헌 : " + dir.file("a.id") + "\n다\tEF\t1\t33.33333 %\n" +
                "\n\n전체 어휘수:1, 전체 빈도:3, 전체 백분율 합계:33.33333 %\n\n\n");
  EXPECT_EQ(run(listing + "--type 6 " + q("a.id")).exitCode, 2);
}

}  // namespace
}  // namespace selvanor
