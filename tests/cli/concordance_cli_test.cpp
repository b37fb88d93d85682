// selvanor-cli concordance and collocates, end to end.
#include <gtest/gtest.h>

#include <string>

#include "cli_fixture.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;

class ConcordanceCli : public Cli {
 protected:
  void SetUp() override {
    test::writeDocument(dir.file("a.id"), {{"A10", k("나는"), k("나/NP + 는/JX")},
                                           {"A20", k("밥을"), k("밥/NNG + 을/JKO")},
                                           {"A30", k("먹었다"), k("먹/VV + 었/EP + 다/EF")},
                                           {"A40", k("갂을"), k("갂/NNG + 을/JKO")},
                                           {"A50", k("먹는다"), k("먹/VV + 는다/EF")}});
    test::writeDocument(dir.file("b.id"), {{"B10", k("밥을"), k("밥/NNG + 을/JKO")},
                                           {"B20", k("먹자"), k("먹/VV + 자/EF")}});
  }
};

TEST_F(ConcordanceCli, LinesCountsSortsAndFaults) {
  CliRun r = run("concordance '*/NNG+을/JKO 먹/VV' " + q("a.id") + " " + q("b.id") + " --context 1");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "document\tserial\tleft\thit\tright\tanalysis\n" +
                       dir.file("a.id") + "\tA20\t나는\t밥을 먹었다\t갂을\t밥/NNG + 을/JKO | 먹/VV + 었/EP + 다/EF\n" +
                       dir.file("a.id") + "\tA40\t먹었다\t갂을 먹는다\t\t갂/NNG + 을/JKO | 먹/VV + 는다/EF\n" +
                       dir.file("b.id") + "\tB10\t\t밥을 먹자\t\t밥/NNG + 을/JKO | 먹/VV + 자/EF\n");

  // Sorted by the hit in CP949 order (갂 before 밥), limited, into a file.
  r = run("concordance '^*/NNG' " + q("a.id") + " " + q("b.id") + " --sort hit --limit 2 --out " + q("out.tsv"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(test::readFile(dir.file("out.tsv")),
            "document\tserial\tleft\thit\tright\tanalysis\n" + dir.file("a.id") +
                "\tA40\t나는 밥을 먹었다\t갂을\t먹는다\t갂/NNG + 을/JKO\n" + dir.file("a.id") +
                "\tA20\t나는\t밥을\t먹었다 갂을 먹는다\t밥/NNG + 을/JKO\n");

  r = run("concordance 'w:먹*' " + q("a.id") + " " + q("b.id") + " --count");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "document\thits\tper_million\twords\n" + dir.file("a.id") + "\t2\t400000.0000\t5\n" +
                       dir.file("b.id") + "\t1\t500000.0000\t2\ntotal\t3\t428571.4286\t7\n");

  // A malformed query: exit 2 and the position, nothing on standard output.
  r = run("concordance '먹/VV+' " + q("a.id"));
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, "검색식 오류(6번째 글자): '+' 다음에 형태소가 와야 합니다.\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(run("concordance 'w:먹' " + q("a.id") + " --sort L4").exitCode, 2);
  EXPECT_EQ(run("concordance 'w:먹'").exitCode, 2);
  EXPECT_EQ(run("concordance 'w:먹' " + q("a.id") + " --out " + q("a.id")).exitCode, 2);
  EXPECT_NE(test::readFile(dir.file("a.id")).size(), 0u);
  EXPECT_EQ(run("concordance '*/체언' " + q("a.id")).exitCode, 2);  // a class needs --tags

  // A missing document is named; the others' lines are still written.
  r = run("concordance 'w:먹자' " + q("missing.id") + " " + q("b.id"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("\n분석 문헌 파일을 열 수 없습니다: " + dir.file("missing.id") + "\n"), std::string::npos);
  EXPECT_NE(r.out.find("\tB20\t밥을\t먹자\t"), std::string::npos);
}

TEST_F(ConcordanceCli, CollocatesOfAGroupOfTheList) {
  test::writeFile(dir.file("dblist.dat"), k("1그룹\n2") + dir.file("a.id") + "\n2" + dir.file("b.id") +
                                              k("\n1다른\n2") + dir.file("missing.id") + "\n");
  CliRun r = run("collocates '먹/VV' --list " + q("dblist.dat") + " --group 그룹 --span 1,0 --unit word --sort o "
                 "--tags " + SELVANOR_DATA_DIR "/tag.txt");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // N = 7 words, f(n) = 3, W = 3. 밥을: O = 2, f = 2, E = 6/7.
  EXPECT_EQ(r.out,
            "collocate\tO\tf\tE\tMI\tt\tLL\tlogDice\n"
            "밥을\t2\t2\t0.8571\t1.2224\t0.8081\t4.5567\t13.6781\n"
            "갂을\t1\t1\t0.4286\t1.2224\t0.5714\t1.9225\t13.0000\n");
  EXPECT_EQ(r.err, "적중 3개, 범위 칸(W) 3개, 전체 단위(N) 7개\n");

  r = run("collocates '*/체언' " + q("a.id") + " --unit tag --min 2 --tags " SELVANOR_DATA_DIR "/tag.txt");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "collocate\tO\tf\tE\tMI\tt\tLL\tlogDice");
  EXPECT_NE(r.out.find("\nJKO\t"), std::string::npos);

  EXPECT_EQ(run("collocates 'w:먹' " + q("a.id") + " --span 5").exitCode, 2);
  EXPECT_EQ(run("collocates 'w:먹' " + q("a.id") + " --unit lemma").exitCode, 2);
  EXPECT_EQ(run("collocates 'w:먹' " + q("a.id") + " --sort dice").exitCode, 2);
  EXPECT_EQ(run("collocates '[' " + q("a.id")).exitCode, 2);
}

}  // namespace
}  // namespace selvanor
