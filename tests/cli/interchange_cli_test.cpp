// selvanor-cli import and export document --format/--utf8: the same records as build, the
// messages on the right stream, bad input refused with nothing written, "-" for
// standard output.
#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "common/files.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;

const char* const kMarked =
    "\xEF\xBB\xBF<teiHeader>\n<title>x</title>\n</teiHeader>\n<p>\n"
    "BTAA0001-00000001\t먹었다\t먹/VV + 었/EP + 다/EF\n"
    "BTAA0001-00000002\t책을\t책/NNG + 을/JKO\n</p>\n<p>\n"
    "BTAA0001-00000003\t읽었다.\t읽/VV + 었/EP + 다/EF + ./SF\n</p>\n";

TEST_F(Cli, ImportBuildsWhatBuildBuildsAndExportsEveryFormat) {
  writeFile(dir.file("plain.txt"), k("BTAA0001-00000001\t먹었다\t먹/VV + 었/EP + 다/EF\n"
                                     "BTAA0001-00000002\t책을\t책/NNG + 을/JKO\n"
                                     "BTAA0001-00000003\t읽었다.\t읽/VV + 었/EP + 다/EF + ./SF\n"));
  ASSERT_EQ(run("build " + q("plain.txt") + " " + q("built.id")).exitCode, 0);
  writeFile(dir.file("marked.txt"), kMarked);
  CliRun r = run("import " + q("marked.txt") + " " + q("imported.id"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "분석 문헌을 가져왔습니다. (UTF-8, 분석 텍스트, 토큰 3개)\n"
            "표시 줄 7개를 건너뛰었습니다 (머리 부분 1개 포함).\n");
  ASSERT_EQ(run("export document " + q("built.id") + " " + q("built.txt")).exitCode, 0);
  ASSERT_EQ(run("export document " + q("imported.id") + " " + q("imported.txt")).exitCode, 0);
  EXPECT_EQ(readFile(dir.file("imported.txt")), readFile(dir.file("built.txt")));

  r = run("export document " + q("imported.id") + " - --utf8");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "BTAA0001-00000001\t먹었다\t먹다/VV + 었/EP + 다/EF\n"
                   "BTAA0001-00000002\t책을\t책/NNG + 을/JKO\n"
                   "BTAA0001-00000003\t읽었다.\t읽다/VV + 었/EP + 다/EF + ./SF\n");
  EXPECT_NE(r.err.find("분석 문헌을 텍스트로 저장했습니다."), std::string::npos);
  r = run("export document " + q("imported.id") + " - --format conllu");
  EXPECT_EQ(r.out, "# sent_id = BTAA0001-00000001\n# text = 먹었다 책을 읽었다.\n"
                   "1\t먹었다\t먹다+었+다\t_\tVV+EP+EF\t_\t_\t_\t_\t_\n"
                   "2\t책을\t책+을\t_\tNNG+JKO\t_\t_\t_\t_\t_\n"
                   "3\t읽었다.\t읽다+었+다+.\t_\tVV+EP+EF+SF\t_\t_\t_\t_\t_\n\n");
  r = run("export document " + q("imported.id") + " " + q("d.tsv") + " --format tsv");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "분석 문헌을 TSV로 저장했습니다.\n");
  EXPECT_EQ(readFile(dir.file("d.tsv")).rfind("serial\tword\tanalysis\nBTAA0001-00000001\t먹었다\t", 0), 0u);
}

TEST_F(Cli, ImportOfConlluNeedsAPrefixAndReportsItsNotices) {
  writeFile(dir.file("t.conllu"),
            "# sent_id = 1\n1-2\t먹었다.\t_\t_\t_\t_\t_\t_\t_\t_\n"
            "1\t먹었다\t먹+었+다\tVERB\tVV+EP+EF\t_\t0\troot\t_\t_\n"
            "2\t.\t.\tPUNCT\tSF\t_\t1\tpunct\t_\t_\n\n");
  CliRun r = run("import " + q("t.conllu") + " " + q("t.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "해당 파일에 일련 번호가 없습니다.\n앞자리 7자리 일련번호를 넣어 주세요 (--prefix)\n");
  EXPECT_FALSE(fileExists(dir.file("t.id")));
  r = run("import " + q("t.conllu") + " " + q("t.id") + " --prefix UDKO001 --no-da");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "분석 문헌을 가져왔습니다. (UTF-8, CoNLL-U, 토큰 2개)\n"
                   "여러 토큰 범위 줄 1개와 빈 노드 0개를 건너뛰었습니다.\n");
  r = run("export document " + q("t.id") + " - --format conllu");
  EXPECT_NE(r.out.find("1\t먹었다\t먹+었+다\t_\tVV+EP+EF\t"), std::string::npos);
}

TEST_F(Cli, BadImportsExitOneAndLeaveTheTarget) {
  writeFile(dir.file("cols.conllu"), "1\t나\t나\tPRON\tNP\t_\t0\troot\t_\t_\n2\t밥\t밥\n");
  CliRun r = run("import " + q("cols.conllu") + " " + q("doc.id") + " --prefix UDKO001");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "2번째 줄은 CoNLL-U 토큰 줄인데 탭으로 나뉜 열이 3개입니다. 10개여야 합니다. "
                   "문헌은 만들지도 바꾸지도 않았습니다.\n");
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(fileExists(dir.file("doc.id")));
  writeFile(dir.file("emoji.txt"), "SER00000001 a a/NN\nSER00000002 b b/NN\nSER00000003 😀 x/SW\n");
  r = run("import " + q("emoji.txt") + " " + q("doc.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("3번째 줄의 글자 [😀](U+1F600)는 CP949로 저장할 수 없습니다."), std::string::npos);
  EXPECT_FALSE(fileExists(dir.file("doc.id")));
  r = run("import " + q("emoji.txt") + " " + q("doc.id") + " --replace-unmappable");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("CP949에 없는 글자 1개를 □로 바꾸었습니다."), std::string::npos);
  // Usage errors: an unknown format or encoding.
  EXPECT_EQ(run("import " + q("emoji.txt") + " " + q("x.id") + " --encoding latin1").exitCode, 2);
  EXPECT_EQ(run("export document " + q("doc.id") + " - --format xml").exitCode, 2);
  const CliRun help = run("import --help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--replace-unmappable"), std::string::npos);
}

}  // namespace
}  // namespace selvanor
