// selvanor-cli autocorrect, with the bundled list and homonym source.
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

TEST_F(Cli, AutocorrectTheSampleDocumentWithTheBundledList) {
  const std::string data = SELVANOR_DATA_DIR;
  ASSERT_EQ(run("build '" + data + "/sample.txt' " + q("sample.id")).exitCode, 0);
  writeFile(dir.file("sujeong.txt"), readFile(data + "/sujeong.txt"));
  CliRun r = run("autocorrect " + q("sample.id") + " " + q("sujeong.txt"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "자동 목록 수정이 완료되었습니다.\n");
  EXPECT_FALSE(fileExists(dir.file("sujeong.fix")));

  ASSERT_EQ(run("export document " + q("sample.id") + " " + q("after.txt")).exitCode, 0);
  const std::string after = readFile(dir.file("after.txt"));
  for (const char* line : {"SVSMPL10000100\t솔내시장에\t솔내시장/NNP + 에/JKB\n",
                           "SVSMPL10000400\t곳이\t곳/NNG + 이/JKS\n",
                           "SVSMPL10001670\t점심때가\t점심때/NNG + 가/JKS\n",
                           "SVSMPL10001700\t고파졌다.\t고파지다/VV + 었/EP + 다/EF + ./SF\n",
                           "SVSMPL10003640\t고등어구이와\t고등어구이/NNG + 와/JC\n"}) {
    EXPECT_NE(after.find(k(line)), std::string::npos) << line;
  }

  // The bundled homonym source builds, and knows words of the sample.
  writeFile(dir.file("homonyms.txt"), readFile(data + "/homonyms.txt"));
  r = run("homonym build " + q("homonyms.txt"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = run("homonym lookup " + q("homonyms.dic") + " 시장");
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "시장\t시장01\t市場\t여러 가지 상품을 사고파는 곳");
}

TEST_F(Cli, AutocorrectFailuresSayWhyAndExitOne) {
  writeFile(dir.file("doc.txt"), k("TESTDOC0000010 먹었다 먹/VV + 었/EP + 다/EF\n"
                                    "TESTDOC0000020 먹었다 먹/VV + 었/EP + 다/EF\n"
                                    "TESTDOC0000030 먹었다 먹/VV + 었/EP + 다/EF\n"));
  ASSERT_EQ(run("build " + q("doc.txt") + " " + q("doc.id")).exitCode, 0);
  const std::string before = readFile(dir.file("doc.id"));

  // The first line would change every record: the bad second line stops the run before.
  writeFile(dir.file("list.txt"), k("먹다/VV + 었/EP\t먹었다/VV\n먹었/VV 먹다/VV\n"));
  CliRun r = run("autocorrect " + q("doc.id") + " " + q("list.txt"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "[2]번째 줄: 탭 뒤에 바꿀 말이 없습니다: [먹었/VV 먹다/VV]\n"
            "자동 수정 목록 파일에 형식이 잘못되었습니다.\n");
  EXPECT_EQ(readFile(dir.file("doc.id")), before);

  r = run("autocorrect " + q("doc.id") + " " + q("none.txt"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("자동 수정 목록 파일을 열 수가 없습니다.\n"), std::string::npos);
  writeFile(dir.file("list.txt"), k("먹/VV\t먹다/VV\n"));
  r = run("autocorrect " + q("missing.id") + " " + q("list.txt"));
  EXPECT_EQ(r.exitCode, 1);
  // A missing document is not a list that cannot be opened.
  EXPECT_NE(r.err.find("분석 문헌 파일이나 자동 수정 작업 파일(.fix)을 열 수 없습니다."),
            std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("자동 수정 목록 파일을 열 수가 없습니다."), std::string::npos);
  EXPECT_FALSE(fileExists(dir.file("missing.id")));
  EXPECT_FALSE(fileExists(dir.file("list.fix")));

  EXPECT_EQ(run("autocorrect " + q("doc.id")).exitCode, 2);

  writeFile(dir.file("list.txt"), k("먹다/VV + 었/EP\t먹었다/VV\n"));
  EXPECT_EQ(run("autocorrect " + q("doc.id") + " " + q("list.txt")).exitCode, 0);
  EXPECT_NE(readFile(dir.file("doc.id")), before);
}

}  // namespace
}  // namespace selvanor
