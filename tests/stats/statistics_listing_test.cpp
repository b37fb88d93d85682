#include "stats/statistics_listing.h"

#include <gtest/gtest.h>

#include <string>

#include "stats/statistics_test_data.h"
#include "support/test_support.h"

namespace selvanor::stats {
namespace {

using test::k;
using test::u;

CountTable tableOf(const test::Counts& counts) {
  CountTable t;
  for (const auto& [tag, records] : counts) {
    for (const auto& [morpheme, count] : records) t.add(k(tag), k(morpheme), Cell{count, {}});
  }
  return t;
}

// The listings of the documents, through their statistics files.
RunOutcome listings(int type, const std::vector<std::string>& documents,
                    const std::vector<std::string>& tags, const std::string& output) {
  ListingRequest r;
  r.type = type;
  r.documents = documents;
  r.tags = tags;
  r.outputPath = output;
  return writeStatisticsListings(r);
}

const test::Counts kSample = {
    {"NNG", {{"나무", 1}, {"가방", 2}, {"abc", 3}}}, {"JKO", {{"를", 3}}}, {"SW", {{"#", 9}}}};

TEST(StatisticsListing, TaggedLinesFollowTheTagList) {
  EXPECT_EQ(u(taggedListing(tableOf(kSample), {"JKO", "NNG", "VV"})),
            "를\tJKO\t3\t33.33333 %\n"
            "abc\tNNG\t3\t33.33333 %\n"
            "가방\tNNG\t2\t22.22222 %\n"
            "나무\tNNG\t1\t11.11111 %\n"
            "\n\n전체 어휘수:4, 전체 빈도:9, 전체 백분율 합계:100.00000 %\n\n\n");
}

TEST(StatisticsListing, RangeNarrowsTheLinesButNotTheTotal) {
  const SyllableRange r = consonantRange(1, 0);  // ㄱ: 가 .. 낑
  EXPECT_EQ(u(taggedListing(tableOf(kSample), {"NNG", "JKO"}, &r)),
            "가방\tNNG\t2\t22.22222 %\n"
            "\n\n전체 어휘수:1, 전체 빈도:9, 전체 백분율 합계:22.22222 %\n\n\n");
}

TEST(StatisticsListing, VocabularySumsTheTags) {
  test::ScratchDir dir;
  const std::string a = test::documentWithStatistics(
      dir, "a", {{"NNG", {{"A", 1}}}, {"VV", {{"A", 2}, {"B", 1}}}, {"SW", {{"C", 5}}}});
  const std::string heading = "# 문헌 : " + a + "\n";
  ASSERT_TRUE(listings(1, {a}, {"NNG", "VV"}, dir.file("out.txt")).ok());
  EXPECT_EQ(u(test::readFile(dir.file("out.txt"))),
            heading +
                "A\t3\t75.00000 %\nB\t1\t25.00000 %\n"
                "\n\n전체 어휘수:2, 전체 빈도:4, 전체 백분율 합계:100.00000 %\n\n\n");
  ASSERT_TRUE(listings(3, {a}, {"JKO"}, dir.file("out.txt")).ok());
  EXPECT_EQ(u(test::readFile(dir.file("out.txt"))),
            heading + "\n\n전체 어휘수:0, 전체 빈도:0, 전체 백분율 합계:0.00000 %\n\n\n");
}

TEST(StatisticsListing, EveryDocumentIsWrittenUnderItsPath) {
  test::ScratchDir dir;
  const std::string a = test::documentWithStatistics(dir, "a", {{"NNG", {{"A", 1}}}});
  const std::string b = test::documentWithStatistics(dir, "b", {{"NNG", {{"B", 1}}}});
  ListingRequest r;
  r.type = 2;
  r.documents = {a, b};
  r.tags = {"NNG", "NNG"};
  r.outputPath = dir.file("stat.txt");
  const RunOutcome o = writeStatisticsListings(r);
  ASSERT_TRUE(o.ok()) << o.message;
  const std::string closing = "\n\n전체 어휘수:1, 전체 빈도:1, 전체 백분율 합계:100.00000 %\n\n\n";
  EXPECT_EQ(u(test::readFile(r.outputPath)), "# 문헌 : " + a + "\nA\tNNG\t1\t100.00000 %\n" +
                                                 closing + "# 문헌 : " + b +
                                                 "\nB\tNNG\t1\t100.00000 %\n" + closing);

  // A document without its statistics file stops the command; nothing is written.
  test::writeFile(r.outputPath, "old");
  const std::string missing = dir.file("missing.id");
  r.documents = {a, missing};
  const RunOutcome failed = writeStatisticsListings(r);
  EXPECT_EQ(failed.code, result::kOpenError);
  EXPECT_EQ(failed.message, "통계용 파일을 먼저 만드십시요 [" + missing + "]");
  EXPECT_EQ(test::readFile(r.outputPath), "old");

  r.documents = {a};
  r.type = 5;
  EXPECT_EQ(writeStatisticsListings(r).message, "품사 표지 통계의 어휘 범위가 없습니다.");
  r.type = 6;
  EXPECT_EQ(writeStatisticsListings(r).code, result::kFormatError);
  r.type = 2;
  r.outputPath = dir.file("a.stt");
  EXPECT_EQ(writeStatisticsListings(r).message, "선택된 곳에 지정된 파일이 현재 사용중입니다.");
}

}  // namespace
}  // namespace selvanor::stats
