// selvanor-cli merge, reference, examples and export reference end to end.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "cli_fixture.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;

class ReferenceCli : public Cli {
 protected:
  // A document of "serial word analysis" records (UTF-8 here, CP949 on disk).
  void buildDocument(const std::string& name, const std::vector<std::array<const char*, 3>>& records) {
    Storage s;
    ASSERT_TRUE(s.open(dir.file(name + ".id")));
    for (const auto& [serial, word, analysis] : records) {
      ASSERT_TRUE(s.put(serial, codec::encodeTriple(serial, k(word), k(analysis))));
    }
  }
};

TEST_F(ReferenceCli, BuildLookUpExportAndMerge) {
  buildDocument("a", {{"S1", "나는", "나/NP + 는/JX"}, {"S2", "밥을", "밥/NNG + 을/JKO"}, {"S3", "나는", "날다/VV + 는/ETM"}});
  CliRun r = run("reference build " + q("a.id"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "저장 파일 이름: " + dir.file("a.idx") + "\n분석 참조 검색 파일이 만들어 졌습니다.\n");

  r = run("reference lookup " + q("a.idx") + " 나는");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "S1\t나는\t나/NP + 는/JX\nS3\t나는\t날다/VV + 는/ETM\n");
  r = run("reference lookup " + q("a.idx") + " 나");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("참조 파일에 없는 어절입니다."), std::string::npos);

  r = run("export reference " + q("a.idx"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(dir.file("a.txt")), k("S1\t나는\t나/NP + 는/JX\nS3\t나는\t날다/VV + 는/ETM\nS2\t밥을\t밥/NNG + 을/JKO\n"));
  EXPECT_NE(r.out.find("참조 파일이 텍스트로 저장되었습니다."), std::string::npos);
  EXPECT_EQ(r.out.find("wonmun result file"), std::string::npos);  // console banner on stderr

  // Merging a file into itself lists every item twice.
  r = run("reference merge " + q("a.idx") + " " + q("a.idx"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "참조 파일 합치기를 완료하였습니다.\n");
  r = run("reference lookup " + q("a.idx") + " 밥을");
  EXPECT_EQ(r.out, "S2\t밥을\t밥/NNG + 을/JKO\nS2\t밥을\t밥/NNG + 을/JKO\n");
}

TEST_F(ReferenceCli, FailuresGoToStandardErrorWithExitOne) {
  buildDocument("a", {{"S1", "나는", "나/NP + 는/JX"}});
  ASSERT_EQ(run("reference build " + q("a.id")).exitCode, 0);
  const std::string reference = readFile(dir.file("a.idx"));

  CliRun r = run("reference build " + q("missing.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("분석 문헌 파일을 읽을 수 없어 분석 참조 검색 파일을 만들지 못했습니다."), std::string::npos);
  EXPECT_FALSE(fileExists(dir.file("missing.id")));

  r = run("reference lookup " + q("missing.idx") + " 나는");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("참조 파일을 열 수 없습니다."), std::string::npos);
  EXPECT_FALSE(fileExists(dir.file("missing.idx")));
  EXPECT_EQ(run("reference lookup " + q("a.idx") + " 나•").exitCode, 1);  // not CP949

  r = run("reference merge " + q("a.idx") + " " + q("a.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("참조 파일 합치기를 실패하였습니다."), std::string::npos);
  EXPECT_EQ(readFile(dir.file("a.idx")), reference);
  r = run("reference merge '' " + q("a.idx"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("기본 파일명을 입력해 주세요"), std::string::npos);

  // The text export never writes over the reference file itself.
  r = run("export reference " + q("a.idx") + " " + q("a.idx"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(readFile(dir.file("a.idx")), reference);
  EXPECT_EQ(run("export reference " + q("a.id") + " " + q("x.txt")).exitCode, 1);
  EXPECT_EQ(run("reference").exitCode, 2);
}

TEST_F(ReferenceCli, MergeDocumentsSaysWhetherItWorked) {
  buildDocument("a", {{"S1", "나는", "나/NP + 는/JX"}, {"S2", "밥을", "밥/NNG + 을/JKO"}});
  buildDocument("b", {{"S2", "떡을", "떡/NNG + 을/JKO"}, {"S3", "먹었다", "먹다/VV + 었/EP + 다/EF"}});
  CliRun r = run("merge " + q("a.id") + " " + q("b.id"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "분석 문헌 합치기가 완료되었습니다.\n");
  ASSERT_EQ(run("export document " + q("a.id") + " " + q("a.out")).exitCode, 0);
  EXPECT_EQ(readFile(dir.file("a.out")),
            k("S1\t나는\t나/NP + 는/JX\nS2\t떡을\t떡/NNG + 을/JKO\nS3\t먹었다\t먹다/VV + 었/EP + 다/EF\n"));

  r = run("merge " + q("a.id") + " " + q("missing.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("분석 문헌 합치기를 실패하였습니다."), std::string::npos);
}

TEST_F(ReferenceCli, UsageExamplesOverSeveralDocuments) {
  buildDocument("a", {{"S1", "하늘", "하늘/NNG"}, {"S2", "밥을", "밥/NNG + 을/JKO"}});
  buildDocument("b", {{"T1", "먹었다", "먹다/VV + 었/EP + 다/EF"}, {"T2", "하늘을", "하늘/NNG + 을/JKO"}});
  CliRun r = run("examples --word 하늘 --out " + q("ex.txt") + " " + q("a.id") + " " + q("missing.id") +
                 " " + q("b.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, dir.file("a.id") + ": 1\n" + dir.file("b.id") + ": 1\n");
  EXPECT_NE(r.err.find("분석 문헌 파일을 읽을 수 없습니다: " + dir.file("missing.id")), std::string::npos);
  EXPECT_NE(r.err.find("사용예 검색 작업을 종료 했습니다."), std::string::npos);
  const std::string sep = "-------------------------------\r\n";
  EXPECT_EQ(readFile(dir.file("ex.txt")),
            sep + k("\tS1:\t하늘:\t하늘/NNG\t<===========\r\n\tS2:\t밥을:\t밥/NNG + 을/JKO\r\n") + sep +
            sep + k("\tT1:\t먹었다:\t먹다/VV + 었/EP + 다/EF\r\n\tT2:\t하늘을:\t하늘/NNG + 을/JKO\t<===========\r\n") + sep);

  r = run("examples --analysis 을/JKO --out " + q("ex2.txt") + " " + q("a.id"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, dir.file("a.id") + ": 1\n사용예 검색 작업을 종료 했습니다.\n");

  r = run("examples --analysis x --out " + q("no/ex.txt") + " " + q("a.id") + " " + q("b.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("사용 예를 저장할 파일을 열 수 없습니다: " + dir.file("no/ex.txt")), std::string::npos);
  // An output that is one of the documents is refused before any search.
  const std::string before = readFile(dir.file("b.id"));
  r = run("examples --word 하늘 --out " + q("b.id") + " " + q("a.id") + " " + q("b.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("선택된 곳에 지정된 파일이 현재 사용중입니다."), std::string::npos);
  EXPECT_EQ(readFile(dir.file("b.id")), before);
  EXPECT_EQ(run("examples --word a --analysis b --out " + q("e.txt") + " " + q("a.id")).exitCode, 2);
  EXPECT_EQ(run("examples --out " + q("e.txt") + " " + q("a.id")).exitCode, 2);
  EXPECT_EQ(run("examples --word a " + q("a.id")).exitCode, 2);
}

}  // namespace
}  // namespace selvanor
