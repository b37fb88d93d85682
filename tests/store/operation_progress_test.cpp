// Long operations report their progress and stop when asked: the values a progress sink
// receives rise to the whole, and a stopped build or rewrite leaves the old file byte for
// byte with no temporary beside it. An in-place merge goes on to the end whatever the sink
// answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/progress.h"
#include "facade/dbwrap.h"
#include "store/document_cursor.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;

// Records every call; answers false from call `stopAt` on (0: never).
struct FakeSink {
  std::vector<std::uint64_t> done;
  std::vector<std::uint64_t> totals;
  std::size_t stopAt = 0;
  ProgressFn fn() {
    return [this](std::uint64_t d, std::uint64_t t) {
      done.push_back(d);
      totals.push_back(t);
      return stopAt == 0 || done.size() < stopAt;
    };
  }
  // Never falls back, ends at the whole, and the whole never changes.
  void expectAdvancesTo(std::uint64_t total) const {
    ASSERT_FALSE(done.empty());
    for (std::size_t i = 1; i < done.size(); ++i) {
      EXPECT_LE(done[i - 1], done[i]) << "call " << i;
      EXPECT_EQ(totals[i], totals[0]);
    }
    EXPECT_EQ(totals[0], total);
    EXPECT_EQ(done.back(), total);
    EXPECT_GT(done.size(), 2u);
  }
};

class OperationProgressTest : public ::testing::Test {
 protected:
  // A numbered analysed text of `n` lines.
  std::string text(int n, const char* word) {
    std::string out;
    for (int i = 1; i <= n; ++i) {
      char serial[32];
      std::snprintf(serial, sizeof serial, "SPROG01%06d0", i);
      out += std::string(serial) + " " + k(word) + " " + k(word) + "/NNG + " + k("를/JKO") + "\n";
    }
    return out;
  }
  void buildDocument(const std::string& path, int n, const char* word) {
    writeFile(input, text(n, word));
    ASSERT_EQ(db.makeBunsukDB(input, path, "", SerialMode::Numbered, false), result::kOk);
  }
  std::vector<std::string> files() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test::ScratchDir dir;
  std::string input = dir.file("in.txt");
  std::string doc = dir.file("doc.id");
  DBWrap db;
};

TEST(ProgressReporter, StopsOnceAskedAndWithoutACallbackNever) {
  ProgressFn none;
  ProgressReporter quiet(none, 10);
  for (int i = 0; i < 20; ++i) EXPECT_TRUE(quiet.step());
  int calls = 0;
  ProgressFn stopAtThird = [&](std::uint64_t, std::uint64_t) { return ++calls < 3; };
  ProgressReporter r(stopAtThird, 10);
  EXPECT_TRUE(r.step());
  EXPECT_TRUE(r.step());
  EXPECT_FALSE(r.step());
  EXPECT_FALSE(r.report(9));  // stays stopped without asking again
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(r.stopped());
}

TEST_F(OperationProgressTest, DocumentBuildAdvancesOverTheInputAndACancelKeepsTheOldDocument) {
  writeFile(input, text(300, "사과"));
  FakeSink sink;
  ASSERT_EQ(db.makeBunsukDB(input, doc, "", SerialMode::Numbered, false, sink.fn()), result::kOk);
  sink.expectAdvancesTo(fileSizeOf(input));
  EXPECT_EQ(countRecords(doc), 300u);

  const std::string before = readFile(doc);
  writeFile(input, text(500, "배"));
  FakeSink stopper;
  stopper.stopAt = 100;
  EXPECT_EQ(db.makeBunsukDB(input, doc, "", SerialMode::Numbered, false, stopper.fn()),
            result::kCancelled);
  EXPECT_EQ(stopper.done.size(), 100u);
  EXPECT_EQ(readFile(doc), before);
  EXPECT_EQ(files(), (std::vector<std::string>{"doc.id", "in.txt"}));
}

TEST_F(OperationProgressTest, ReferenceAndStatisticsFilesAdvanceByRecordAndCancelKeepsTheOldFiles) {
  buildDocument(doc, 200, "사과");
  FakeSink reference;
  ASSERT_EQ(db.makeWonmunDB(doc, reference.fn()), result::kOk);
  reference.expectAdvancesTo(200);
  FakeSink statistics;
  ASSERT_EQ(db.makeTongDB(doc, statistics.fn()), result::kOk);
  statistics.expectAdvancesTo(200);
  const std::string idx = readFile(doc + "x");
  const std::string stt = readFile(dir.file("doc.stt"));
  ASSERT_FALSE(idx.empty());
  ASSERT_FALSE(stt.empty());

  buildDocument(doc, 400, "배");
  for (std::size_t stopAt : {1u, 150u, 401u}) {
    SCOPED_TRACE(stopAt);
    FakeSink r;
    r.stopAt = stopAt;
    EXPECT_EQ(db.makeWonmunDB(doc, r.fn()), result::kCancelled);
    EXPECT_EQ(readFile(doc + "x"), idx);
    if (stopAt <= 400) {
      FakeSink s;
      s.stopAt = stopAt;
      EXPECT_EQ(db.makeTongDB(doc, s.fn()), result::kCancelled);
      EXPECT_EQ(readFile(dir.file("doc.stt")), stt);
    }
    EXPECT_EQ(files(), (std::vector<std::string>{"doc.id", "doc.idx", "doc.stt", "in.txt"}));
  }
}

TEST_F(OperationProgressTest, AutoCorrectionAdvancesAndACancelLeavesTheDocumentAsItWas) {
  buildDocument(doc, 250, "사과");
  const std::string list = dir.file("sujeong.txt");
  writeFile(list, k("사과/NNG\t사과01/NNG\n"));
  const std::string before = readFile(doc);
  FakeSink stopper;
  stopper.stopAt = 200;
  DBWrap::SujungOutcome outcome;
  EXPECT_EQ(db.autoSujung(doc, list, &outcome, stopper.fn()), result::kCancelled);
  EXPECT_EQ(readFile(doc), before);
  EXPECT_EQ(files(), (std::vector<std::string>{"doc.id", "in.txt", "sujeong.txt"}));

  FakeSink sink;
  ASSERT_EQ(db.autoSujung(doc, list, &outcome, sink.fn()), result::kOk);
  sink.expectAdvancesTo(250);
  EXPECT_EQ(outcome.changedRecords, 250u);
  EXPECT_NE(readFile(doc), before);
}

TEST_F(OperationProgressTest, AMergeAdvancesAndACancelAtAnyPointLeavesTheBaseAsItWas) {
  buildDocument(doc, 10, "사과");
  const std::string added = dir.file("added.id");
  writeFile(input, text(120, "배"));
  ASSERT_EQ(db.makeBunsukDB(input, added, "", SerialMode::Numbered, false), result::kOk);
  const std::string before = readFile(doc);
  for (const std::size_t stopAt : {1u, 119u, 121u, 239u}) {  // checking, then writing
    FakeSink sink;
    sink.stopAt = stopAt;
    ASSERT_EQ(db.mergeBunsukDB(doc, added, sink.fn()), result::kCancelled) << stopAt;
    EXPECT_EQ(countRecords(doc), 10u) << stopAt;
  }
  FakeSink sink;
  ASSERT_EQ(db.mergeBunsukDB(doc, added, sink.fn()), result::kOk);
  sink.expectAdvancesTo(240);  // checked, then written
  EXPECT_EQ(countRecords(doc), 120u);
}

}  // namespace
}  // namespace selvanor
