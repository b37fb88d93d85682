// selvanor-cli end to end: exit codes, UTF-8 terminal output, CP949 files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <string>
#include <sys/wait.h>

#include "cli_fixture.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;

TEST_F(Cli, UsageErrorsExitTwoAndHelpExitsZero) {
  EXPECT_EQ(run("").exitCode, 2);
  EXPECT_EQ(run("frobnicate").exitCode, 2);
  EXPECT_EQ(run("build only-one-arg").exitCode, 2);
  const CliRun help = run("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("build"), std::string::npos);
  EXPECT_EQ(run("build --help").exitCode, 0);
  EXPECT_EQ(run("export document --help").exitCode, 0);
}

TEST_F(Cli, BuildsNumberedTextAndExportsIt) {
  writeFile(dir.file("in.txt"), k("TESTDOC0000010 먹었다 먹/VV+었/EP+다/EF\nTESTDOC0000020 책을 책/NNG+을/JKO\n"
                                  "TESTDOC0000030 읽었다 읽/VV+었/EP+다/EF\n"));
  CliRun r = run("build " + q("in.txt") + " " + q("in.id"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "분석 문헌이 만들어 졌습니다.\n");
  r = run("export document " + q("in.id") + " " + q("out.txt"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(dir.file("out.txt")),
            k("TESTDOC0000010\t먹었다\t먹다/VV + 었/EP + 다/EF\nTESTDOC0000020\t책을\t책/NNG + 을/JKO\n"
              "TESTDOC0000030\t읽었다\t읽다/VV + 었/EP + 다/EF\n"));
  // --no-da keeps the stems as written.
  ASSERT_EQ(run("build --no-da " + q("in.txt") + " " + q("in.id")).exitCode, 0);
  ASSERT_EQ(run("export document " + q("in.id") + " " + q("out.txt")).exitCode, 0);
  EXPECT_EQ(readFile(dir.file("out.txt")).substr(0, 35), k("TESTDOC0000010\t먹었다\t먹/VV + 었/EP"));
}

TEST_F(Cli, UnnumberedTextNeedsAPrefix) {
  writeFile(dir.file("in.txt"), k("먹었다 먹/VV+었/EP+다/EF\n책을 책/NNG+을/JKO\n읽었다 읽/VV+었/EP+다/EF\n"));
  CliRun r = run("build " + q("in.txt") + " " + q("in.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("해당 파일에 일련 번호가 없습니다."), std::string::npos);
  r = run("build " + q("in.txt") + " " + q("in.id") + " --prefix 123456");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("일련 번호를 넣어 주세요."), std::string::npos);
  r = run("build " + q("in.txt") + " " + q("in.id") + " --prefix 가나•라마바사");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("CP949"), std::string::npos);
  r = run("build " + q("in.txt") + " " + q("in.id") + " --prefix 가나다라마바사");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(run("export document " + q("in.id") + " " + q("out.txt")).exitCode, 0);
  EXPECT_EQ(readFile(dir.file("out.txt")).substr(0, 22), k("가나다라마바사0000010\t"));
}

TEST_F(Cli, BuildFailuresSayWhatFailed) {
  CliRun r = run("build " + q("missing.txt") + " " + q("x.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("파일 생성에 문제가 있습니다."), std::string::npos);
  writeFile(dir.file("bad.txt"), k("TESTDOC0000010 하나 하나/NR\nTESTDOC0000020 둘 둘/NR\nTESTDOC0000030 셋\n"));
  r = run("build " + q("bad.txt") + " " + q("bad.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("[TESTDOC0000030] 일련번호에서 형식오류가 발생했습니다."), std::string::npos);
  EXPECT_EQ(r.out, "");
  // The output named as the input would replace the text with the document.
  const std::string text = readFile(dir.file("bad.txt"));
  r = run("build " + q("bad.txt") + " " + q("bad.txt"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("선택된 곳에 지정된 파일이 현재 사용중입니다."), std::string::npos);
  EXPECT_EQ(readFile(dir.file("bad.txt")), text);
}

TEST_F(Cli, ExportOfAMissingDocumentFailsWithoutCreatingIt) {
  const CliRun r = run("export document " + q("missing.id") + " " + q("out.txt"));
  EXPECT_EQ(r.exitCode, 2);  // a missing input is a usage error, said, not a crash
  EXPECT_FALSE(std::ifstream(dir.file("missing.id")).good());
}

TEST_F(Cli, CheckListsRecordsWithUnknownTags) {
  writeFile(dir.file("tag.txt"), k("#1체언\n#2일반명사/NNG\n#1관계언\n#2목적격조사/JKO\n"));
  writeFile(dir.file("in.txt"), k("TESTDOC0000010 책을 책/nng+을/JKO\nTESTDOC0000020 먹었다 먹/VV+었/EP+다/EF\n"
                                  "TESTDOC0000030 밥 밥\n"));
  ASSERT_EQ(run("build --no-da " + q("in.txt") + " " + q("in.id")).exitCode, 0);
  const CliRun r = run("check " + q("in.id") + " --tags " + q("tag.txt"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "TESTDOC0000020 먹었다 먹/VV + 었/EP + 다/EF\nTESTDOC0000030 밥 밥/?\n");
  EXPECT_EQ(r.err, "오류 검사가 완료 되었습니다.\n");

  const CliRun bad = run("check " + q("in.id") + " --tags " + q("no-tags.txt"));
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.err.find("파일을 열 수 없습니다."), std::string::npos);
  EXPECT_EQ(run("check " + q("none.id") + " --tags " + q("tag.txt")).exitCode, 1);
}

TEST_F(Cli, TagsShowsClassesAndLists) {
  const CliRun r = run(std::string("tags '") + SELVANOR_DATA_DIR + "/tag.txt'");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("#1 체언"), std::string::npos);
  EXPECT_NE(r.out.find("AllTags (45):"), std::string::npos);
  EXPECT_NE(r.out.find("MarkerSymbols (5): * & # @ %"), std::string::npos);
  writeFile(dir.file("bad.txt"), "#2x/NNG\n");
  const CliRun bad = run("tags " + q("bad.txt"));
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.err.find("레벨 1값이 입력되지 않은 상태에서 레벨2가 입력.."), std::string::npos);
}

TEST_F(Cli, BundledSampleBuildsAndChecks) {
  const std::string data = SELVANOR_DATA_DIR;
  CliRun r = run("build '" + data + "/sample.txt' " + q("sample.id"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = run("check " + q("sample.id") + " --tags '" + data + "/tag.txt'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // The sample carries two records with tags the tag file lacks.
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;
  EXPECT_NE(r.out.find("SVSMPL10000380"), std::string::npos);
  EXPECT_NE(r.out.find("SVSMPL10000720"), std::string::npos);
  r = run("build '" + data + "/sample-unnumbered.txt' " + q("lib.id") + " --prefix SVLIBR1");
  EXPECT_EQ(r.exitCode, 0) << r.err;
}

}  // namespace
}  // namespace selvanor
