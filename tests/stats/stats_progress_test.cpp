// Progress and cancellation of the single-document statistics listings and of the
// work-error check: the reports rise to the whole; a stopped listing writes nothing and
// keeps an earlier output, a stopped check has reported only the records before the stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/files.h"
#include "common/progress.h"
#include "stats/statistics_listing.h"
#include "stats/statistics_test_data.h"
#include "stats/tag_manager.h"
#include "stats/work_error_check.h"
#include "support/fake_progress.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor::stats {
namespace {

using test::FakeSink;
using test::k;
using test::readFile;

class StatsProgress : public ::testing::Test {
 protected:
  ListingRequest request(int type) {
    ListingRequest r;
    r.type = type;
    r.documents = {a, b};
    r.tags = {"NNG", "VV", "JKO"};
    r.outputPath = dir.file("out.txt");
    return r;
  }

  test::ScratchDir dir;
  std::string a = test::documentWithStatistics(
      dir, "a", {{"NNG", {{"나무", 1}, {"가방", 2}}}, {"VV", {{"가", 3}}}, {"JKO", {{"를", 4}}}});
  std::string b = test::documentWithStatistics(dir, "b", {{"NNG", {{"책", 5}}}});
};

TEST_F(StatsProgress, ListingsAdvanceByTagAndDocumentAndTheResultIsTheSame) {
  for (const int type : {1, 2}) {
    SCOPED_TRACE(type);
    const RunOutcome quiet = writeStatisticsListings(request(type));
    ASSERT_TRUE(quiet.ok()) << quiet.message;
    const std::string expected = readFile(dir.file("out.txt"));
    removeFile(dir.file("out.txt"));
    FakeSink sink;
    const RunOutcome reported = writeStatisticsListings(request(type), sink.fn());
    ASSERT_TRUE(reported.ok()) << reported.message;
    sink.expectAdvancesTo(2 * (3 + 1));  // three tags and the listing, per document
    EXPECT_EQ(readFile(dir.file("out.txt")), expected);
  }
}

TEST_F(StatsProgress, AStoppedListingWritesNothingAndKeepsTheEarlierOutput) {
  test::writeFile(dir.file("out.txt"), "earlier\n");
  FakeSink all;
  ASSERT_TRUE(writeStatisticsListings(request(2), all.fn()).ok());
  const std::size_t calls = all.done.size();
  ASSERT_GT(calls, 4u);
  const std::string written = readFile(dir.file("out.txt"));
  test::writeFile(dir.file("out.txt"), "earlier\n");
  for (std::size_t stopAt = 1; stopAt <= calls; ++stopAt) {
    SCOPED_TRACE(stopAt);
    FakeSink stopper;
    stopper.stopAt = stopAt;
    const RunOutcome o = writeStatisticsListings(request(2), stopper.fn());
    EXPECT_EQ(o.code, kRunCancelled);
    EXPECT_EQ(o.message, msg::kCancelled);
    EXPECT_EQ(readFile(dir.file("out.txt")), "earlier\n");
  }
  EXPECT_NE(written, "earlier\n");
  // A read failure still says what failed, not that the user stopped.
  ListingRequest missing = request(2);
  missing.documents = {a, dir.file("none.id")};
  FakeSink sink;
  const RunOutcome o = writeStatisticsListings(missing, sink.fn());
  EXPECT_EQ(o.code, result::kOpenError);
  EXPECT_NE(o.message, msg::kCancelled);
}

TEST(WorkErrorCheckProgress, AdvancesRecordByRecordAndStopsWhereAsked) {
  test::ScratchDir dir;
  std::vector<AnalysisRecord> records;
  for (int i = 1; i <= 30; ++i) {
    char serial[32];
    std::snprintf(serial, sizeof serial, "SWEC%04d", i);
    records.push_back({serial, k("사과를"), k(i % 3 == 0 ? "사과/NNG + 를/XYZ" : "사과/NNG")});
  }
  const std::string doc = dir.file("w.id");
  test::writeDocument(doc, records);
  const std::string before = readFile(doc);
  TagManager tags;
  test::writeFile(dir.file("tag.txt"), k("#1 체언\n#2 일반명사/NNG\n"));
  ASSERT_TRUE(tags.Load(dir.file("tag.txt")));
  std::vector<std::string> failing;
  WorkErrorListener listener;
  listener.failing = [&](const AnalysisRecord& r) {
    failing.push_back(r.serial);
    return true;
  };
  listener.message = [](std::string_view) {};

  FakeSink sink;
  ASSERT_EQ(runWorkErrorCheck(doc, tags, listener, sink.fn()), result::kOk);
  sink.expectAdvancesTo(30);
  EXPECT_EQ(failing.size(), 10u);

  failing.clear();
  FakeSink stopper;
  stopper.stopAt = 16;  // asked before record 16: records 1-15 are checked
  EXPECT_EQ(runWorkErrorCheck(doc, tags, listener, stopper.fn()), result::kCancelled);
  EXPECT_EQ(failing, (std::vector<std::string>{"SWEC0003", "SWEC0006", "SWEC0009", "SWEC0012",
                                               "SWEC0015"}));
  EXPECT_EQ(readFile(doc), before);
  // Without a sink it walks to the end, as it always did.
  failing.clear();
  EXPECT_EQ(runWorkErrorCheck(doc, tags, listener), result::kOk);
  EXPECT_EQ(failing.size(), 10u);
}

}  // namespace
}  // namespace selvanor::stats
