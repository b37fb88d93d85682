// Long operations report their progress and stop when asked: the values a progress sink
// receives rise to the whole, and a stopped build or rewrite leaves the old file byte for
// byte with no temporary beside it. An in-place merge runs as one logged change, so a stop
// at any point leaves every record of the base as it was, key and value byte for byte (the
// undone pages may keep stale bytes in their free space, so the file is compared by its
// records).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/progress.h"
#include "facade/dbwrap.h"
#include "store/engine/document_cursor.h"
#include "support/fake_progress.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;

using test::FakeSink;

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
  // The same with a word of its own on each line ("word1", "word2", ...).
  std::string variedText(int n, const char* word) {
    std::string out;
    for (int i = 1; i <= n; ++i) {
      char serial[32];
      std::snprintf(serial, sizeof serial, "SPROG02%06d0", i);
      const std::string w = k(word) + std::to_string(i);
      out += std::string(serial) + " " + w + " " + w + "/NNG + " + k("를/JKO") + "\n";
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
  const test::Entries before = test::dump(doc);
  for (const std::size_t stopAt : {1u, 119u, 121u, 239u, 240u}) {  // checking, then writing
    FakeSink sink;
    sink.stopAt = stopAt;
    ASSERT_EQ(db.mergeBunsukDB(doc, added, sink.fn()), result::kCancelled) << stopAt;
    EXPECT_EQ(countRecords(doc), 10u) << stopAt;
    EXPECT_EQ(test::dump(doc), before) << stopAt;
  }
  FakeSink sink;
  ASSERT_EQ(db.mergeBunsukDB(doc, added, sink.fn()), result::kOk);
  sink.expectAdvancesTo(240);  // checked, then written
  EXPECT_EQ(countRecords(doc), 120u);
}

TEST_F(OperationProgressTest, AReferenceMergeAdvancesAndACancelAtAnyPointLeavesTheBaseAsItWas) {
  buildDocument(doc, 30, "사과");
  ASSERT_EQ(db.makeWonmunDB(doc), result::kOk);
  const std::string base = doc + "x";
  const std::string addedDoc = dir.file("added.id");
  writeFile(input, variedText(150, "배"));
  ASSERT_EQ(db.makeBunsukDB(input, addedDoc, "", SerialMode::Numbered, false), result::kOk);
  ASSERT_EQ(db.makeWonmunDB(addedDoc), result::kOk);
  const std::string added = addedDoc + "x";
  const test::Entries before = test::dump(base);
  const std::string addedBefore = readFile(added);
  // Checking runs over calls 1-150, writing over 151-300.
  for (const std::size_t stopAt : {1u, 150u, 151u, 299u, 300u}) {
    SCOPED_TRACE(stopAt);
    FakeSink sink;
    sink.stopAt = stopAt;
    ASSERT_EQ(db.mergeWonmunDB(base, added, sink.fn()), result::kCancelled);
    EXPECT_EQ(sink.done.size(), stopAt);
    EXPECT_EQ(test::dump(base), before);
    EXPECT_EQ(readFile(added), addedBefore);
  }
  EXPECT_EQ(reference::mergeOutcomeMessage(result::kCancelled), kCancelledMessage);

  FakeSink sink;
  ASSERT_EQ(db.mergeWonmunDB(base, added, sink.fn()), result::kOk);
  sink.expectAdvancesTo(300);
  EXPECT_EQ(test::dump(base).size(), 151u);
  std::vector<AnalysisRecord> items;
  ASSERT_EQ(db.getWonmun2(base, k("배150"), items), result::kOk);
  EXPECT_EQ(items.size(), 1u);
  ASSERT_EQ(db.getWonmun2(base, k("사과"), items), result::kOk);
  EXPECT_EQ(items.size(), 30u);

  // A file merged into itself, stopped while it writes, keeps its entries single.
  const test::Entries merged = test::dump(base);
  FakeSink self;
  self.stopAt = 200;
  ASSERT_EQ(db.mergeWonmunDB(base, base, self.fn()), result::kCancelled);
  EXPECT_EQ(test::dump(base), merged);
}

}  // namespace
}  // namespace selvanor
