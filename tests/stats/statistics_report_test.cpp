#include "stats/statistics_report.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace selvanor::stats {
namespace {

using test::k;
using test::u;

const std::string kDashes(60, '-');

class ReportText : public ::testing::Test {
 protected:
  // Folder F with one document, total = the given items.
  ReportInput input(int type, const std::string& options) {
    ReportInput in;
    in.type = type;
    in.date = "06/11/24";
    in.resultPath = k("결과.txt");
    in.entries = {{RunEntry::Folder, k("말뭉치")}, {RunEntry::Document, "/d/a.id"}};
    in.options = *ReportOptions::parse(options);
    in.total = &total;
    in.folders = &folders;
    folders.resize(1);
    return in;
  }
  void item(const std::string& tag, const std::string& morpheme, long long count,
            DocumentIds documents = {}) {
    total.add(tag, k(morpheme), Cell{count, std::move(documents)});
  }

  CountTable total;
  std::vector<CountTable> folders;
};

const std::string kVocabularyHeader =
    "# 작업 날짜 : 06/11/24\r\n# 파일 이름 : 결과.txt\r\n# 대상 문헌 : 말뭉치  \r\n"
    "# 통계 범위 : 어휘\r\n# 폴더/문헌 명칭\r\n 말뭉치 :  \r\n\t/d/a.id \r\n\r\n" +
    kDashes + "\r\n";

TEST_F(ReportText, VocabularyRowsAndCumulativeValues) {
  item("", "A", 3);
  item("", "B", 1);
  const std::string report = TongTextView(input(1, "11011110100"));
  EXPECT_EQ(u(report), kVocabularyHeader +
                           "순서\t항목\t빈도\t백분율\t누적빈도\t누적백분율\t말뭉치\t\r\n" +
                           kDashes +
                           "\r\n"
                           "1\tA\t3\t75.000000\t3\t75.000000\t\n"
                           "2\tB\t1\t25.000000\t4\t100.000000\t\n\r\n");
}

TEST_F(ReportText, PercentagesAreSinglePrecision) {
  item("", "A", 1);
  item("", "B", 2);
  const std::string report = TongTextView(input(1, "01001010100"));
  const std::string rows = report.substr(report.rfind(kDashes) + kDashes.size() + 2);
  EXPECT_EQ(rows, "A\t33.333332\t33.333332\t\nB\t66.666664\t100.000000\t\n\r\n");
}

TEST_F(ReportText, EmptySelectionGivesTheHeaderOnly) {
  EXPECT_EQ(u(TongTextView(input(1, "11010000100"))),
            kVocabularyHeader + "순서\t항목\t빈도\t말뭉치\t\r\n" + kDashes + "\r\n\r\n");
  EXPECT_EQ(u(printUHWEPUMSA(input(2, "11110000100"))),
            "* 작업 날짜 : 06/11/24\n* 파일 이름 : 결과.txt\n* 대상 문헌 : 말뭉치  \n"
            "* 통계 범위 : 어휘 + 품사표지\n* 폴더/문헌 명칭\n 말뭉치 :  \n\t/d/a.id \n\n" +
                kDashes + "\n순서\t항목\t품사\t빈도\t말뭉치\t\n" + kDashes + "\n");
}

TEST_F(ReportText, FolderColumnsAndExtrasFollowTheUsualColumns) {
  item("", "A", 3, {0, 1});
  item("", "B", 1, {1});
  ReportInput in = input(1, "00010001100");
  // Two folders of the same name are two columns; the second lacks A.
  in.entries = {{RunEntry::Folder, "F"},
                {RunEntry::Document, "a"},
                {RunEntry::Folder, "F"},
                {RunEntry::Document, "b"}};
  folders.resize(2);
  folders[0].add("", "A", Cell{2, {}});
  folders[1].add("", "A", Cell{1, {}});
  folders[1].add("", "B", Cell{1, {}});
  in.perMillion = true;
  in.docRange = true;
  const std::string report = TongTextView(in);
  const std::size_t heads = report.find("F\tF\t");
  ASSERT_NE(heads, std::string::npos);
  EXPECT_EQ(u(report.substr(heads)), "F\tF\t백만당빈도\t출현문헌수\t\r\n" + kDashes +
                                         "\r\n"
                                         "3\t2\t1\t750000.00\t2\t\n"
                                         "1\t0\t1\t250000.00\t1\t\n\r\n");
  EXPECT_NE(report.find(k("명칭") + "\r\n F :  \r\n\ta \r\n F :  \r\n\tb \r\n\r\n"),
            std::string::npos)
      << "folder and document lines";
}

TEST_F(ReportText, VocabularyTagOrderPrintsNoRows) {
  item("", "A", 3);
  const std::string report = TongTextView(input(1, "11010000200"));
  EXPECT_EQ(report.substr(report.size() - kDashes.size() - 4), kDashes + "\r\n\r\n");
}

TEST_F(ReportText, RangeKeepsRowsOutOfNumberingButInTheTotal) {
  item("NNG", "가다", 2);
  item("SN", "1", 5);
  item("NNG", "abc", 1);
  item("NNG", "나무", 1);
  item("NNG", "다리", 1);
  ReportInput in = input(5, "11111110100");
  in.scopeTags = {"NNG", "SN"};
  in.range = {k("가"), k("닢")};
  const std::string report = printUHWEPUMSA(in);
  EXPECT_NE(u(report).find("* 통계 범위 : 품사표지\n"), std::string::npos);
  const std::string rows = report.substr(report.rfind(kDashes) + kDashes.size() + 1);
  EXPECT_EQ(u(rows),
            "1\t가다\tNNG\t2\t20.000000\t2\t20.000000\t\n"
            "2\t나무\tNNG\t1\t10.000000\t3\t30.000000\t\n");
}

TEST_F(ReportText, TaggedFolderColumnsLookUpTheRowTag) {
  item("NNG", "A", 3);
  item("VV", "A", 1);
  ReportInput in = input(2, "01110001100");
  in.scopeTags = {"VV", "NNG"};
  folders[0].add("NNG", "A", Cell{3, {}});
  folders[0].add("VV", "A", Cell{1, {}});
  const std::string report = printUHWEPUMSA(in);
  const std::string rows = report.substr(report.rfind(kDashes) + kDashes.size() + 1);
  EXPECT_EQ(rows, "A\tVV\t1\t1\t\nA\tNNG\t3\t3\t\n");
}

TEST(ReportFile, WrittenWholeOrNotAtAll) {
  test::ScratchDir dir;
  const std::string path = dir.file("r.txt");
  test::writeFile(path, "old");
  ASSERT_TRUE(writeReportFile(path, "new"));
  EXPECT_EQ(test::readFile(path), "new");
  EXPECT_FALSE(writeReportFile(dir.file("no/such/folder.txt"), "x"));
  EXPECT_FALSE(writeReportFile(dir.path(), "x"));  // a folder cannot be replaced
  EXPECT_EQ(test::readFile(path), "new");
}

}  // namespace
}  // namespace selvanor::stats
