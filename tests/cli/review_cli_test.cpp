// selvanor-cli review and batch, end to end against their files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_fixture.h"
#include "common/files.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;

class ReviewCli : public Cli {
 protected:
  // An analysis document with one record per line "serial word analysis" (UTF-8 here).
  void document(const std::string& name, const std::string& utf8Lines) {
    std::vector<AnalysisRecord> records;
    std::size_t start = 0;
    for (std::size_t end; (end = utf8Lines.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string line = utf8Lines.substr(start, end - start);
      const std::size_t a = line.find(' '), b = line.find(' ', a + 1);
      records.push_back({line.substr(0, a), k(line.substr(a + 1, b - a - 1)), k(line.substr(b + 1))});
    }
    test::writeDocument(dir.file(name + ".id"), records);
  }
};

TEST_F(ReviewCli, ReviewWithinADocument) {
  document("doc", "TESTDOC0000010 나는 나/NP + 는/JX\n"
                  "TESTDOC0000020 밥을 밥/NNG + 을/JKO\n"
                  "TESTDOC0000030 나는 날/VV + 는/ETM\n");
  CliRun r = run("review " + q("doc.id") + " --out " + q("report.txt"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "재검토 결과 파일: " + dir.file("report.txt") +
                       " (어절 1개, 기록 2개)\n분석 결과가 텍스트로 저장되었습니다.\n");
  EXPECT_EQ(readFile(dir.file("report.txt")),
            k("\r\nTESTDOC0000010 나는 나/NP + 는/JX \t - 밥을 나는 \r\n"
              "TESTDOC0000030 나는 날/VV + 는/ETM \t 나는 밥을 - \r\n"));

  r = run("review " + q("missing.id") + " --out " + q("report.txt"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "분석 재검토를 하지 못했습니다.\n분석 문헌 파일이 없습니다: " + dir.file("missing.id") + "\n");
  EXPECT_EQ(r.out, "");

  // Usage errors: neither or both forms, no report, a lone compared file.
  EXPECT_EQ(run("review --out " + q("report.txt")).exitCode, 2);
  EXPECT_EQ(run("review " + q("doc.id")).exitCode, 2);
  EXPECT_EQ(run("review " + q("doc.id") + " --compare a.idx b.idx --out " + q("r.txt")).exitCode, 2);
  EXPECT_EQ(run("review --compare a.idx --out " + q("r.txt")).exitCode, 2);
}

TEST_F(ReviewCli, ComparisonOfTwoReferenceFiles) {
  document("a", "A000010 나는 나/NP + 는/JX\nA000020 혼자 혼자/MAG\n");
  document("b", "B000010 둘이 둘/NR + 이/JKS\nB000020 나는 날/VV + 는/ETM\nB000030 나는 나/NP+는/JX\n");
  ASSERT_EQ(run("reference build " + q("a.id")).exitCode, 0);
  ASSERT_EQ(run("reference build " + q("b.id")).exitCode, 0);
  CliRun r = run("review --compare " + q("a.idx") + " " + q("b.idx") + " --out " + q("report.txt"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.substr(r.out.rfind("참조")), "참조파일 비교 결과가 저장되었습니다.\n");
  EXPECT_EQ(readFile(dir.file("report.txt")), k("A000010 나는 나/NP + 는/JX \t - 혼자 \r\n"
                                                "B000020 나는 날/VV + 는/ETM \t 둘이 - 나는 \r\n"
                                                "\r\n"));

  // The compared file's document is gone: a failure naming it, the old report kept.
  ASSERT_TRUE(removeFile(dir.file("b.id")));
  r = run("review --compare " + q("a.idx") + " " + q("b.idx") + " --out " + q("report.txt"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "참조파일 비교 결과가 저장에 실패 했습니다.\n참조 파일의 분석 문헌 파일이 없습니다: " +
                       dir.file("b.id") + "\n");
  EXPECT_FALSE(readFile(dir.file("report.txt")).empty());
}

TEST_F(ReviewCli, BatchCheckOfAGroupOfTheDocumentList) {
  writeFile(dir.file("tag.txt"), k("#1 체언\n#2 일반명사/NNG\n#1 관계언\n#2 격조사/JK\n#3 목적격조사/JKO\n"));
  document("a", "A000010 사과를 사과/NNG + 를/JKO\nA000020 사과를 사과/NNG + 를/XYZ\n");
  document("c", "C000010 사과 사과/QQ\n");
  writeFile(dir.file("dblist.dat"), k("1가\n2" + dir.file("a.id") + "\n2" + dir.file("b.id") + "\n2" +
                                      dir.file("a.id") + "\n1other\n2" + dir.file("c.id") + "\n"));
  CliRun r = run("batch check --tags " + q("tag.txt") + " --list " + q("dblist.dat") + " --group 가");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "A000020 사과를 사과/NNG + 를/XYZ\n");  // a.id once, c.id not selected
  const std::string expectedErr = dir.file("a.id") + " [작업 오류 수정]을 완료했습니다. (오류 기록 1개)\n" +
                                  dir.file("b.id") + " [작업 오류 수정]을 하지 못했습니다: 문헌 파일이 없습니다.\n" +
                                  "문헌 2개 가운데 1개는 [작업 오류 수정]을 하지 못했습니다:\n" + dir.file("b.id") +
                                  ": 문헌 파일이 없습니다.\n";
  EXPECT_EQ(r.err, expectedErr);

  // Every group of the list; then documents named on the command line.
  r = run("batch check --tags " + q("tag.txt") + " --list " + q("dblist.dat"));
  EXPECT_EQ(r.out, "A000020 사과를 사과/NNG + 를/XYZ\nC000010 사과 사과/QQ\n");
  r = run("batch check --tags " + q("tag.txt") + " " + q("c.id") + " " + q("c.id"));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "C000010 사과 사과/QQ\n");
  EXPECT_EQ(r.err, dir.file("c.id") + " [작업 오류 수정]을 완료했습니다. (오류 기록 1개)\n"
                                      "모든 [작업 오류 수정]을 완료했습니다.\n");

  EXPECT_EQ(run("batch check --tags " + q("tag.txt") + " --list " + q("dblist.dat") + " --group 없음").exitCode, 2);
  EXPECT_EQ(run("batch check --tags " + q("tag.txt") + " --list " + q("dblist.dat") + " " + q("c.id")).exitCode, 2);
  EXPECT_EQ(run("batch check --tags " + q("tag.txt") + " --group 가 " + q("c.id")).exitCode, 2);
  EXPECT_EQ(run("batch check --tags " + q("tag.txt")).exitCode, 2);
  EXPECT_EQ(run("batch check --tags " + q("tag.txt") + " --list " + q("none.dat")).exitCode, 1);
}

TEST_F(ReviewCli, BatchAutocorrectProcessesEachDocumentOnce) {
  document("a", "A000010 사과 사과/NNG\nA000020 배 배/NNG\n");
  // A second pass would rewrite what the first wrote (사과사과 holds 사과 again).
  writeFile(dir.file("list.txt"), k("사과/NNG\t사과사과/NNG\n"));
  CliRun r = run("batch autocorrect --corrections " + q("list.txt") + " " + q("a.id") + " " +
                 "'" + dir.path() + "/./a.id'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, dir.file("a.id") + " [형태소->단어]를 완료했습니다. (바뀐 기록 1개)\n"
                                      "모든 [형태소->단어]를 완료했습니다.\n");
  ASSERT_EQ(run("export document " + q("a.id") + " " + q("a.txt")).exitCode, 0);
  EXPECT_EQ(readFile(dir.file("a.txt")), k("A000010\t사과\t사과사과/NNG\nA000020\t배\t배/NNG\n"));

  // A list that cannot be read fails every document, each named.
  r = run("batch autocorrect --corrections " + q("none.txt") + " " + q("a.id") + " " + q("x.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(dir.file("x.id") + " [형태소->단어]를 하지 못했습니다: 자동 수정 목록 파일을 열 수가 없습니다."),
            std::string::npos);
  EXPECT_NE(r.err.find("문헌 2개 가운데 2개는 [형태소->단어]를 하지 못했습니다:"), std::string::npos);
  EXPECT_EQ(run("batch autocorrect " + q("a.id")).exitCode, 2);
}

}  // namespace
}  // namespace selvanor
