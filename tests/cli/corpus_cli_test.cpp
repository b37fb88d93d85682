// selvanor-cli stats-file and list show.
#include <gtest/gtest.h>

#include <string>

#include "cli_fixture.h"
#include "common/files.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;

TEST_F(Cli, StatsFileBuildsBesideTheDocument) {
  writeFile(dir.file("in.txt"),
            k("TESTDOC0000010 먹었다 먹/VV+었/EP+다/EF\nTESTDOC0000020 책을 책/NNG+을/JKO\n"
              "TESTDOC0000030 먹고 먹/VV+고/EC\n"));
  ASSERT_EQ(run("build --no-da " + q("in.txt") + " " + q("in.id")).exitCode, 0);
  CliRun r = run("stats-file " + q("in.id"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "저장 파일 이름: " + dir.file("in.stt") + "\n통계용 파일을 만들었습니다.\n");
  EXPECT_EQ(r.err, "");
  // One sub-database per tag.
  const std::string listing = dir.file("tags.txt");
  ASSERT_EQ(std::system(("db5.3_dump -l " + q("in.stt") + " >'" + listing + "'").c_str()), 0);
  EXPECT_EQ(readFile(listing), "EC\nEF\nEP\nJKO\nNNG\nVV\n");

  // A failed build says so on standard error and leaves the file that was there.
  const std::string before = readFile(dir.file("in.stt"));
  r = run("stats-file " + q("missing.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("분석 문헌 파일을 읽을 수 없어 통계용 파일을 만들지 못했습니다."),
            std::string::npos);
  EXPECT_NE(r.err.find("DBWrap::makeTongDB => DB open error"), std::string::npos);
  EXPECT_FALSE(fileExists(dir.file("missing.id")));
  writeFile(dir.file("in.id"), "not a database");
  EXPECT_EQ(run("stats-file " + q("in.id")).exitCode, 1);
  EXPECT_EQ(readFile(dir.file("in.stt")), before);

  EXPECT_EQ(run("stats-file").exitCode, 2);
  EXPECT_EQ(run("stats-file --help").exitCode, 0);
}

TEST_F(Cli, ListShowGivesGroupsDocumentsAndStatus) {
  for (const char* name : {"a.id", "a.idx", "b.id", "b.stt", "b.idx"})
    writeFile(dir.file(name), "");
  writeFile(dir.file("dblist.dat"), "2/early.id\n" + k("1말뭉치\n2") + dir.file("a.id") + "\n2" +
                                        dir.file("b.id") + "\n2" + dir.file("c.id") + "\n1empty\n");
  const CliRun r = run("list show " + q("dblist.dat"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "1 말뭉치\n2 [2] " + dir.file("a.id") + "  (참조)\n2 [4] " + dir.file("b.id") +
                       "  (참조+통계)\n2 [1] " + dir.file("c.id") +
                       "  (-) 문헌 파일 없음\n1 empty\n");
  EXPECT_NE(r.err.find("첫 그룹 앞에 있는 문헌 1개는 목록에 넣지 않았습니다."), std::string::npos);
  EXPECT_NE(r.err.find("문헌 파일이 없는 항목 1개가 있습니다."), std::string::npos);
  // Showing never rewrites the list.
  EXPECT_EQ(readFile(dir.file("dblist.dat")).substr(0, 11), "2/early.id\n");

  const CliRun missing = run("list show " + q("none.dat"));
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, dir.file("none.dat") + " 생성 실패\n");
  EXPECT_FALSE(fileExists(dir.file("none.dat")));
  EXPECT_EQ(run("list").exitCode, 2);
  EXPECT_EQ(run("list show").exitCode, 2);
}

}  // namespace
}  // namespace selvanor
