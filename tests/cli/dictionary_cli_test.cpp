// selvanor-cli homonym / unregistered / export homonym|unregistered.
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

TEST_F(Cli, HomonymBuildLookupEditExportAndRebuild) {
  writeFile(dir.file("homonym.txt"),
            k("#1사과#2사과01#3沙果#5과일의 하나\r\n#1사과#2사과02#5사과\r\n  하는 일\r\n#1배#2배01#$과일\r\n"));
  CliRun r = run("homonym build " + q("homonym.txt"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "동음어 사전이 만들어 졌습니다.\n");
  r = run("homonym lookup " + q("homonym.dic") + " 사과");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "사과\t사과01\t沙果\t과일의 하나\n사과\t사과02\t \t사과하는 일\n");
  r = run("homonym lookup " + q("homonym.dic") + " 없는말");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");

  r = run("homonym add " + q("homonym.dic") + " 배 배02 舟 '탈것\n물 위'");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "동음어를 추가했습니다.\n");
  r = run("homonym add " + q("homonym.dic") + " 배 배01 x y");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "같은 음번호가 이미 있어 추가하지 않았습니다.\n");
  r = run("homonym lookup " + q("homonym.dic") + " 배");
  EXPECT_EQ(r.out, "배\t배01\t \t과일\n배\t배02\t舟\t탈것 물 위\n");
  r = run("homonym remove " + q("homonym.dic") + " 사과 사과09");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "사전에 없는 동음어입니다.\n");
  r = run("homonym remove " + q("homonym.dic") + " 사과 사과01");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "동음어를 삭제했습니다.\n");

  r = run("export homonym " + q("homonym.dic") + " " + q("dump.txt"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "동음어 사전이 텍스트로 저장되었습니다.\n");
  EXPECT_EQ(readFile(dir.file("dump.txt")),
            k("#1배#2배01#3 #5과일\r\n#1배#2배02#3舟#5탈것\n물 위\r\n#1사과#2사과02#3 #5사과하는 일\r\n"));
  // The dump is a source again (the meaning's line break joins as a continuation line).
  r = run("homonym build " + q("dump.txt") + " --out " + q("again.dic"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(run("homonym lookup " + q("again.dic") + " 사과").out, "사과\t사과02\t \t사과하는 일\n");
  EXPECT_EQ(run("homonym lookup " + q("again.dic") + " 배").out,
            "배\t배01\t \t과일\n배\t배02\t舟\t탈것물 위\n");
}

TEST_F(Cli, HomonymBuildFormatErrorKeepsThePreviousDictionary) {
  writeFile(dir.file("h.txt"), k("#1가#2가01#5뜻\n"));
  ASSERT_EQ(run("homonym build " + q("h.txt")).exitCode, 0);
  writeFile(dir.file("h.txt"), k("머리말\n#1가#2가02#5뜻\n"));
  const CliRun r = run("homonym build " + q("h.txt"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "[2]라인 주위에 형식오류가 있습니다.\n"
            "형식:[#1...#2...#3...#5...] 또는 [#1..#2...#3...#$...]\n입력문장:[머리말]\n"
            "동음어 사전 생성시 오류가 발생했습니다.\n");
  EXPECT_EQ(run("homonym lookup " + q("h.dic") + " 가").out, "가\t가01\t \t뜻\n");

  const CliRun missing = run("homonym build " + q("none.txt"));
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("동음어 사전 생성시 오류가 발생했습니다."), std::string::npos);
  EXPECT_FALSE(fileExists(dir.file("none.dic")));
}

TEST_F(Cli, MissingDictionariesFailWithoutBeingCreated) {
  struct Case {
    std::string args;
    const char* message;
  };
  const Case cases[] = {
      {"homonym lookup " + q("h.dic") + " 가", "동음어 사전을 열 수 없습니다."},
      {"homonym remove " + q("h.dic") + " 가 가01", "동음어 사전을 열 수 없습니다."},
      {"homonym merge " + q("h.dic") + " " + q("other.dic"), "동음어 사전을 합치지 못했습니다."},
      {"export homonym " + q("h.dic") + " " + q("out.txt"), "동음어 사전을 텍스트로 저장하지 못했습니다."},
      {"unregistered find " + q("u.mdj") + " 가", "미등재어 사전을 열 수 없습니다."},
      {"unregistered remove " + q("u.mdj") + " 가", "미등재어 사전을 열 수 없습니다."},
      {"unregistered merge " + q("u.mdj") + " " + q("other.mdj"), "미등재 사전을 합치지 못했습니다."},
      {"export unregistered " + q("u.mdj") + " " + q("out.txt"), "미등재어 사전을 텍스트로 저장하지 못했습니다."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CliRun r = run(c.args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  for (const char* f : {"h.dic", "other.dic", "u.mdj", "other.mdj", "out.txt"}) {
    EXPECT_FALSE(fileExists(dir.file(f))) << f;
  }
}

TEST_F(Cli, UnregisteredWordsFindEditMergeAndExport) {
  const std::string dic = q("u.mdj");
  for (const char* w : {"나가", "가다", "가", "갂다", "갵"}) {
    ASSERT_EQ(run("unregistered add " + dic + " " + w + " 비고").exitCode, 0);
  }
  CliRun r = run("unregistered add " + dic + " 가 다른");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "이미 등록된 미등재어입니다. (--replace)\n");
  r = run("unregistered add --replace " + dic + " 가 '새 비고\r\n둘째'");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "미등재어를 추가했습니다.\n");
  r = run("unregistered find " + dic + " 가");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "가\t새 비고  둘째\n가다\t비고\n");
  EXPECT_EQ(run("unregistered find " + dic + " 갂").out, "갂다\t비고\n");
  EXPECT_EQ(run("unregistered find " + dic).out,
            "갂다\t비고\n갵\t비고\n가\t새 비고  둘째\n가다\t비고\n나가\t비고\n");
  r = run("unregistered remove " + dic + " 나가");
  EXPECT_EQ(r.out, "미등재어를 삭제했습니다.\n");
  r = run("unregistered remove " + dic + " 나가");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("사전에 없는 미등재어입니다."), std::string::npos);

  ASSERT_EQ(run("unregistered add " + q("o.mdj") + " 가 남의것").exitCode, 0);
  ASSERT_EQ(run("unregistered add " + q("o.mdj") + " 라 라").exitCode, 0);
  r = run("unregistered merge " + dic + " " + q("o.mdj"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "미등재 사전이 합쳐졌습니다.\n");
  r = run("export unregistered " + dic + " " + q("u.txt"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "미등재어 사전이 텍스트로 저장되었습니다.\n");
  EXPECT_EQ(readFile(dir.file("u.txt")),
            k("key:[갂다]\tmemo:[비고]\r\nkey:[갵]\tmemo:[비고]\r\nkey:[가]\tmemo:[새 비고  둘째]\r\n"
              "key:[가다]\tmemo:[비고]\r\nkey:[라]\tmemo:[라]\r\n"));
}

TEST_F(Cli, DictionaryUsageErrorsAndUnencodableText) {
  EXPECT_EQ(run("homonym").exitCode, 2);
  EXPECT_EQ(run("homonym add " + q("h.dic") + " 가 가01 家").exitCode, 2);
  EXPECT_EQ(run("unregistered add " + q("u.mdj") + " 가").exitCode, 2);
  EXPECT_EQ(run("homonym --help").exitCode, 0);
  EXPECT_EQ(run("export unregistered --help").exitCode, 0);
  const CliRun r = run("unregistered add " + q("u.mdj") + " 가•나 비고");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("CP949"), std::string::npos);
  EXPECT_FALSE(fileExists(dir.file("u.mdj")));
}

}  // namespace
}  // namespace selvanor
