// Progress and cancellation of the dictionary builds and merges and of batch modification:
// the reports rise to the whole, and a stop at any point leaves what was there: a rebuilt
// file byte for byte with no temporary beside it, a file merged into in place with every
// record byte for byte (its undone pages may keep stale bytes in their free space).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/diagnostics.h"
#include "common/files.h"
#include "common/progress.h"
#include "facade/dbwrap.h"
#include "lexicon/batch_modification.h"
#include "stats/tag_manager.h"
#include "support/fake_progress.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::FakeSink;
using test::k;
using test::readFile;
using test::writeFile;

class LexiconProgress : public ::testing::Test {
 protected:
  // A homonym source of `heads` head words with two senses each ("word1", "word2", ...).
  std::string source(int heads, const char* word) {
    std::string out;
    for (int i = 1; i <= heads; ++i) {
      const std::string w = k(word) + std::to_string(i);
      for (int sense = 1; sense <= 2; ++sense) {
        out += "#1" + w + "#2" + w + "0" + std::to_string(sense) + "#3" + k("漢") + "#5" +
               k("뜻 ") + std::to_string(sense) + "\n";
      }
    }
    return out;
  }
  std::string buildDictionary(const std::string& name, int heads, const char* word) {
    writeFile(dir.file(name + ".txt"), source(heads, word));
    const std::string dic = dir.file(name + ".dic");
    EXPECT_EQ(db.makeDongumDB(dir.file(name + ".txt"), dic), result::kOk);
    return dic;
  }
  // Names in the folder, hidden log folders left out.
  std::vector<std::string> files() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      const std::string name = e.path().filename().string();
      if (name[0] != '.') names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test::ScratchDir dir;
  DiagnosticCapture diag;
  DBWrap db;
};

TEST_F(LexiconProgress, HomonymBuildAdvancesOverTheSourceAndACancelKeepsTheOldDictionary) {
  writeFile(dir.file("h.txt"), source(200, "배"));
  FakeSink sink;
  ASSERT_EQ(db.makeDongumDB(dir.file("h.txt"), dir.file("h.dic"), sink.fn()), result::kOk);
  sink.expectAdvancesTo(fileSizeOf(dir.file("h.txt")));
  const std::string built = readFile(dir.file("h.dic"));

  writeFile(dir.file("h.txt"), source(300, "밤"));
  // One report per record (600), then one before the rename.
  for (const std::size_t stopAt : {1u, 300u, 600u, 601u}) {
    SCOPED_TRACE(stopAt);
    FakeSink stopper;
    stopper.stopAt = stopAt;
    EXPECT_EQ(db.makeDongumDB(dir.file("h.txt"), dir.file("h.dic"), stopper.fn()), result::kCancelled);
    EXPECT_EQ(stopper.done.size(), stopAt);
    EXPECT_EQ(readFile(dir.file("h.dic")), built);
    EXPECT_EQ(files(), (std::vector<std::string>{"h.dic", "h.txt"}));
  }
  // A source with a bad record still names it, progress or not.
  writeFile(dir.file("bad.txt"), source(3, "배") + "#1x#5y#2z\n");
  FakeSink bad;
  EXPECT_EQ(db.makeDongumDB(dir.file("bad.txt"), dir.file("bad.dic"), bad.fn()), DBWrap::kDongumFormatError);
  EXPECT_FALSE(fileExists(dir.file("bad.dic")));
}

TEST_F(LexiconProgress, HomonymMergeAdvancesAndACancelAtAnyPointLeavesTheBaseAsItWas) {
  const std::string base = buildDictionary("base", 20, "사과");
  const std::string other = buildDictionary("other", 120, "배");
  const test::Entries before = test::dump(base);
  const std::string otherBefore = readFile(other);
  // Checking over calls 1-120, writing over 121-240.
  for (const std::size_t stopAt : {1u, 120u, 121u, 200u, 240u}) {
    SCOPED_TRACE(stopAt);
    FakeSink stopper;
    stopper.stopAt = stopAt;
    EXPECT_EQ(db.mergeDongumDB(base, other, stopper.fn()), result::kCancelled);
    EXPECT_EQ(stopper.done.size(), stopAt);
    EXPECT_EQ(test::dump(base), before);
    EXPECT_EQ(readFile(other), otherBefore);
  }
  EXPECT_EQ(homonym::mergeOutcomeMessage(homonym::msg::kMergeMode, result::kCancelled),
            kCancelledMessage);
  EXPECT_EQ(homonym::mergeOutcomeMessage(homonym::msg::kMergeMode, result::kOk),
            "동음어 사전이 합쳐졌습니다.");

  FakeSink sink;
  ASSERT_EQ(db.mergeDongumDB(base, other, sink.fn()), result::kOk);
  sink.expectAdvancesTo(240);
  std::vector<DBWrap::DongumEntry> senses;
  ASSERT_EQ(db.getDongum(base, k("배120"), senses), result::kOk);
  EXPECT_EQ(senses.size(), 2u);
  ASSERT_EQ(db.getDongum(base, k("사과20"), senses), result::kOk);
  EXPECT_EQ(senses.size(), 2u);
}

TEST_F(LexiconProgress, AForeignFileIsRefusedBeforeAnyReportOfWriting) {
  const std::string base = buildDictionary("base", 5, "사과");
  const std::string before = readFile(base);
  const std::string notes = dir.file("n.mdj");
  ASSERT_EQ(db.addMideungjae(notes, k("낱말"), k("비고"), false), result::kOk);
  FakeSink sink;
  EXPECT_EQ(db.mergeDongumDB(base, notes, sink.fn()), result::kOpenError);
  EXPECT_LE(sink.done.size(), 1u);  // refused at its first head word
  EXPECT_EQ(readFile(base), before);
}

TEST_F(LexiconProgress, UnregisteredMergeAdvancesAndACancelLeavesTheBaseAsItWas) {
  const std::string base = dir.file("base.mdj");
  const std::string other = dir.file("other.mdj");
  for (int i = 1; i <= 10; ++i) {
    ASSERT_EQ(db.addMideungjae(base, k("낱말") + std::to_string(i), k("기본"), false), result::kOk);
  }
  for (int i = 5; i <= 104; ++i) {
    ASSERT_EQ(db.addMideungjae(other, k("낱말") + std::to_string(i), k("합칠"), false), result::kOk);
  }
  const test::Entries before = test::dump(base);
  ASSERT_EQ(before.size(), 10u);
  for (const std::size_t stopAt : {1u, 50u, 100u}) {
    SCOPED_TRACE(stopAt);
    FakeSink stopper;
    stopper.stopAt = stopAt;
    EXPECT_EQ(db.mergeMideungjaeDB(base, other, stopper.fn()), result::kCancelled);
    EXPECT_EQ(test::dump(base), before);
  }
  FakeSink sink;
  ASSERT_EQ(db.mergeMideungjaeDB(base, other, sink.fn()), result::kOk);
  sink.expectAdvancesTo(100);
  std::vector<DBWrap::MideungjaeEntry> entries;
  ASSERT_EQ(db.FindMideungjae(base, "", entries), DBWrap::kMideungjaeFound);
  EXPECT_EQ(entries.size(), 104u);
  // A word in both keeps the base's note.
  ASSERT_EQ(db.FindMideungjae(base, k("낱말5"), entries), DBWrap::kMideungjaeFound);
  EXPECT_EQ(entries.front().note, k("기본"));
}

class BatchProgress : public LexiconProgress {
 protected:
  std::string document(const std::string& name, int n) {
    std::vector<AnalysisRecord> records;
    for (int i = 1; i <= n; ++i) {
      char serial[32];
      std::snprintf(serial, sizeof serial, "SBAT%06d0", i);
      records.push_back({serial, k("사과를"), k("사과/NNG + 를/JKO")});
    }
    const std::string path = dir.file(name);
    test::writeDocument(path, records);
    return path;
  }
  batch::BatchOutcome run(batch::Operation op, const batch::DocumentOperation& operation,
                          FakeSink& sink) {
    batch::BatchControl control;
    control.setProgress(sink.fn());
    return batch::runBatch(op, batch::documentsOfPaths(documents), operation, {}, control);
  }

  std::vector<std::string> documents;
};

TEST_F(BatchProgress, AutoCorrectionAdvancesRecordByRecordAndACancelLeavesTheRestAsTheyWere) {
  documents = {document("a.id", 100), document("b.id", 100), document("c.id", 50)};
  writeFile(dir.file("list.txt"), k("사과/NNG\t사과01/NNG\n"));
  std::vector<std::string> before;
  for (const std::string& d : documents) before.push_back(readFile(d));

  // Stopped in the middle of b.id: a.id is corrected, b.id and c.id are as they were.
  FakeSink stopper;
  stopper.stopAt = 150;
  const batch::BatchOutcome stopped =
      run(batch::Operation::AutoCorrection, batch::autoCorrection(dir.file("list.txt")), stopper);
  EXPECT_TRUE(stopped.cancelled);
  ASSERT_EQ(stopped.documents.size(), 2u);
  EXPECT_FALSE(stopped.documents[0].report.failed);
  EXPECT_EQ(stopped.documents[0].report.changedRecords, 100u);
  EXPECT_TRUE(stopped.documents[1].report.failed);
  EXPECT_EQ(stopped.documents[1].report.failure, kCancelledMessage);
  EXPECT_NE(readFile(documents[0]), before[0]);
  EXPECT_EQ(readFile(documents[1]), before[1]);
  EXPECT_EQ(readFile(documents[2]), before[2]);
  EXPECT_EQ(stopped.finalMessage,
            "[형태소->단어]를 멈췄습니다. 문헌 3개 가운데 2개를 처리했습니다.\n"
            "문헌 3개 가운데 1개는 [형태소->단어]를 하지 못했습니다:\n" +
                documents[1] + ": " + kCancelledMessage);
  EXPECT_EQ(files(), (std::vector<std::string>{"a.id", "b.id", "c.id", "list.txt"}));

  // Run to the end: the whole batch counts a thousand units a document.
  FakeSink sink;
  const batch::BatchOutcome done =
      run(batch::Operation::AutoCorrection, batch::autoCorrection(dir.file("list.txt")), sink);
  EXPECT_FALSE(done.cancelled);
  EXPECT_EQ(done.failed, 0u);
  sink.expectAdvancesTo(3 * batch::BatchControl::kDocumentUnits);
  // Within a document the reports move record by record, not only at its ends.
  EXPECT_GT(std::count_if(sink.done.begin(), sink.done.end(),
                          [](std::uint64_t d) { return d > 0 && d < 1000; }),
            50);
}

TEST_F(BatchProgress, WorkErrorCheckAdvancesAndACancelEndsTheBatchWithTheLinesFoundSoFar) {
  documents = {document("a.id", 40), document("b.id", 40)};
  TagManager tags;
  writeFile(dir.file("tag.txt"), k("#1 체언\n#2 일반명사/NNG\n"));  // 를/JKO is unknown
  ASSERT_TRUE(tags.Load(dir.file("tag.txt")));
  std::size_t lines = 0;
  const auto check = batch::workErrorCheck(tags, [&](const AnalysisRecord&, const std::string&) { ++lines; });

  FakeSink sink;
  const batch::BatchOutcome done = run(batch::Operation::WorkErrorCheck, check, sink);
  EXPECT_EQ(done.failed, 0u);
  EXPECT_EQ(lines, 80u);
  sink.expectAdvancesTo(2 * batch::BatchControl::kDocumentUnits);

  lines = 0;
  FakeSink stopper;
  stopper.stopAt = 12;
  const batch::BatchOutcome stopped = run(batch::Operation::WorkErrorCheck, check, stopper);
  EXPECT_TRUE(stopped.cancelled);
  ASSERT_EQ(stopped.documents.size(), 1u);
  EXPECT_EQ(stopped.documents[0].report.failure, kCancelledMessage);
  EXPECT_EQ(lines, 10u);  // the first report is the document's start
}

}  // namespace
}  // namespace selvanor
