// Batch modification: selection walking, the runner with its stop hooks and messages, the
// work-error check of one document; and "모두 이 분석으로".
#include "lexicon/batch_modification.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/diagnostics.h"
#include "lexicon/consistent_analysis.h"
#include "stats/tag_manager.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using batch::BatchDocument;
using test::k;
using test::writeFile;

std::vector<std::string> paths(const std::vector<BatchDocument>& docs) {
  std::vector<std::string> out;
  for (const BatchDocument& d : docs) out.push_back(d.path + (d.throughGroup ? " (group)" : ""));
  return out;
}

class Batch : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(dir.file("dblist.dat"), "1first\n2" + dir.file("a.id") + "\n2" + dir.file("b.id") + "\n2" +
                                          dir.file("c.id") + "\n1second\n2" + dir.file("d.id") + "\n");
    ASSERT_TRUE(list.load(dir.file("dblist.dat"), false));
  }
  // Runs `op` with an operation that records the documents it saw.
  batch::BatchOutcome run(batch::Operation op, const std::vector<BatchDocument>& docs,
                          const batch::DocumentOperation& operation) {
    batch::BatchListener listener;
    listener.beforeDocument = [this](const BatchDocument& d) { events.push_back("before " + d.path); };
    listener.afterDocument = [this](const BatchDocument&, const batch::DocumentReport&, std::string_view line) {
      events.push_back(std::string(line));
    };
    return batch::runBatch(op, docs, operation, listener, control);
  }

  test::ScratchDir dir;
  corpus::DocumentList list;
  batch::BatchControl control;
  std::vector<std::string> events;
};

TEST_F(Batch, SelectionGivesEachDocumentOnceAtItsFirstPlace) {
  const corpus::NodeRef first{0, std::nullopt}, b{0, 1}, d{1, 0};
  EXPECT_EQ(paths(batch::documentsOfSelection(list, {b, first, d})),
            (std::vector<std::string>{dir.file("b.id"), dir.file("a.id") + " (group)",
                                      dir.file("c.id") + " (group)", dir.file("d.id")}));
  EXPECT_EQ(paths(batch::documentsOfSelection(list, {first, b})),
            (std::vector<std::string>{dir.file("a.id") + " (group)", dir.file("b.id") + " (group)",
                                      dir.file("c.id") + " (group)"}));
  EXPECT_TRUE(batch::documentsOfSelection(list, {}).empty());

  // Two spellings of one file are one document, whether it exists or not.
  test::writeDocument(dir.file("a.id"), {{"S1", "x", "a/NNG"}});
  EXPECT_EQ(paths(batch::documentsOfPaths({dir.file("a.id"), dir.path() + "/./a.id", dir.file("z.id"),
                                           dir.path() + "/../" + dir.path().substr(dir.path().rfind('/') + 1) +
                                               "/z.id"})),
            (std::vector<std::string>{dir.file("a.id"), dir.file("z.id")}));
}

TEST_F(Batch, NothingSelectedDoesNothingAtAll) {
  bool called = false;
  const batch::BatchOutcome o = run(batch::Operation::AutoCorrection, {}, [&](auto&, auto&) {
    called = true;
    return batch::DocumentReport{};
  });
  EXPECT_FALSE(called);
  EXPECT_FALSE(o.ran());
  EXPECT_EQ(o.finalMessage, "");
  EXPECT_TRUE(events.empty());
}

TEST_F(Batch, StopEndsOnlyTheCurrentDocumentAndCancelEndsTheBatch) {
  // A homonym correction over three records per document; 멈추기 at the first one's second.
  std::vector<std::string> visited;
  const auto correction = [&](const BatchDocument& d, batch::BatchControl& c) {
    batch::DocumentReport r;
    for (int record = 1; record <= 3 && !c.currentStopped(); ++record) {
      visited.push_back(d.path + ":" + std::to_string(record));
      if (d.path == "one.id" && record == 2) c.stopCurrent();
    }
    r.stopped = c.currentStopped();
    return r;
  };
  batch::BatchOutcome o = run(batch::Operation::HomonymCorrection, {{"one.id", false}, {"two.id", true}}, correction);
  EXPECT_EQ(visited, (std::vector<std::string>{"one.id:1", "one.id:2", "two.id:1", "two.id:2", "two.id:3"}));
  EXPECT_TRUE(o.documents[0].report.stopped);
  EXPECT_FALSE(o.documents[1].report.stopped);
  EXPECT_EQ(events, (std::vector<std::string>{"before one.id", "one.id [동음어 수정]을 완료 했습니다.",
                                              "before two.id", "two.id [동음어 수정]을 완료했습니다."}));
  EXPECT_EQ(o.finalMessage, "모든 [동음어 수정]을 완료했습니다.");

  // Cancelling during the first of three leaves the other two untouched.
  visited.clear();
  o = run(batch::Operation::AutoCorrection, {{"a.id", false}, {"b.id", false}, {"c.id", false}},
          [&](const BatchDocument& d, batch::BatchControl& c) {
            visited.push_back(d.path);
            c.cancel();
            return batch::DocumentReport{};
          });
  EXPECT_EQ(visited, std::vector<std::string>{"a.id"});
  EXPECT_TRUE(o.cancelled);
  EXPECT_EQ(o.finalMessage, "[형태소->단어]를 멈췄습니다. 문헌 3개 가운데 1개를 처리했습니다.");
}

TEST_F(Batch, WorkErrorCheckOfAGroupNamesTheFailedDocuments) {
  TagManager tags;
  writeFile(dir.file("tag.txt"), k("#1 체언\n#2 일반명사/NNG\n#1 관계언\n#2 격조사/JK\n#3 목적격조사/JKO\n"));
  ASSERT_TRUE(tags.Load(dir.file("tag.txt")));
  test::writeDocument(dir.file("a.id"), {{"S1", k("사과를"), k("사과/NNG + 를/JKO")},
                                         {"S2", k("사과를"), k("사과/NNG + 를/XYZ")},
                                         {"S3", "x", ""}});
  test::writeDocument(dir.file("c.id"), {{"S1", k("사과"), k("사과/NNG")}});
  // b.id is missing; d.id (reached through the other group) is not a document.
  { Storage s; ASSERT_TRUE(s.open(dir.file("d.id"))); ASSERT_TRUE(s.put("x", "not a record")); }

  std::string errorLog;
  const auto docs = batch::documentsOfSelection(list, {{0, std::nullopt}, {1, std::nullopt}});
  const batch::BatchOutcome o = run(batch::Operation::WorkErrorCheck, docs,
                                    batch::workErrorCheck(tags, [&](const AnalysisRecord&, const std::string& line) {
                                      errorLog += line;
                                    }));
  EXPECT_EQ(errorLog, k("S2 사과를 사과/NNG + 를/XYZ\r\nS3 x \r\n"));
  ASSERT_EQ(o.documents.size(), 4u);
  EXPECT_EQ(o.documents[0].report.failingRecords, 2u);
  EXPECT_EQ(o.failed, 2u);
  EXPECT_EQ(events[1], dir.file("a.id") + " [작업 오류 수정]을 완료했습니다.");
  EXPECT_EQ(events[3], dir.file("b.id") + " [작업 오류 수정]을 하지 못했습니다: 문헌 파일이 없습니다.");
  EXPECT_EQ(o.finalMessage, "문헌 4개 가운데 2개는 [작업 오류 수정]을 하지 못했습니다:\n" + dir.file("b.id") +
                                ": 문헌 파일이 없습니다.\n" + dir.file("d.id") +
                                ": 읽을 수 없는 기록이 있습니다(분석 문헌이 아닐 수 있습니다). (1개)");
  EXPECT_FALSE(fileExists(dir.file("b.id")));

  // All documents fine: the plain closing message.
  const batch::BatchOutcome ok = run(batch::Operation::WorkErrorCheck, {{dir.file("c.id"), false}},
                                     batch::workErrorCheck(tags, {}));
  EXPECT_EQ(ok.finalMessage, "모든 [작업 오류 수정]을 완료했습니다.");
  EXPECT_EQ(batch::statusLine(batch::Operation::AutoCorrection, {"a.id", true}, {}),
            "a.id [형태소->단어]를 완료했습니다.");
  EXPECT_EQ(batch::autoCorrectionFailure(result::kListFormatError), "자동 수정 목록 파일에 형식이 잘못되었습니다.");
  EXPECT_EQ(batch::checkCorrectionList(""), std::string("자동 수정 목록 파일을 선택해 주세요"));
  EXPECT_EQ(batch::checkCorrectionList("list.txt"), std::nullopt);
  EXPECT_EQ(batch::tagFileUnreadable("t.txt"), "태그 표지 파일[t.txt]을 읽어들일수 없습니다.");
}

class ApplyAnalysis : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  DocumentCursor cursor;
};

TEST_F(ApplyAnalysis, RewritesTheListedRecordsAndNothingElse) {
  const std::string path = dir.file("doc.id");
  test::writeDocument(path, {{"S1", "x", "a/NNG"}, {"S2", "x", "b/NNG"}, {"S3", "x", "a/NNG"}, {"S4", "y", "b/NNG"}});
  ASSERT_EQ(cursor.open(path, OpenMode::ExistingOnly), result::kOk);
  ASSERT_EQ(cursor.seekRecord(4), DocumentCursor::kRead);
  const review::ApplyOutcome o = review::applyAnalysis(cursor, {"S2", "S3", "S9", "S2", "S4"}, "a/NNG");
  ASSERT_TRUE(o);
  EXPECT_EQ(o.changed, 2u);
  EXPECT_EQ(o.alreadyEqual, 1u);
  EXPECT_EQ(o.missing, std::vector<std::string>{"S9"});
  EXPECT_EQ(cursor.recordCount(), 4u);
  EXPECT_EQ(review::applyOutcomeMessage(o), "2개 어절의 분석을 바꾸었습니다. 문헌에 없는 어절 1개는 건너뛰었습니다.");
  cursor.close();
  EXPECT_EQ(test::dump(path), (test::Entries{{"S1", codec::encodeRecord({"S1", "x", "a/NNG"})},
                                             {"S2", codec::encodeRecord({"S2", "x", "a/NNG"})},
                                             {"S3", codec::encodeRecord({"S3", "x", "a/NNG"})},
                                             {"S4", codec::encodeRecord({"S4", "y", "a/NNG"})}}));
  EXPECT_EQ(review::applyQuestion(3, k("갂/NNG")), "3개 어절의 분석을 [갂/NNG](으)로 바꾸시겠습니까?");
}

TEST_F(ApplyAnalysis, RefusesBeforeWritingWhenItCannotReadEveryRecord) {
  EXPECT_EQ(review::applyAnalysis(cursor, {"S1"}, "a/NNG").code, result::kOpenError);
  const std::string path = dir.file("doc.id");
  test::writeDocument(path, {{"S1", "x", "b/NNG"}});
  { Storage s; ASSERT_TRUE(s.open(path)); ASSERT_TRUE(s.put("S2", "damaged")); }
  const test::Entries before = test::dump(path);
  ASSERT_EQ(cursor.open(path, OpenMode::ExistingOnly), result::kOk);
  EXPECT_EQ(review::applyAnalysis(cursor, {"S1", "S2"}, "a/NNG").code, result::kOpenError);
  cursor.close();
  EXPECT_EQ(test::dump(path), before);
}

TEST_F(ApplyAnalysis, GroupsTheOccurrencesByDocumentAndNamesEachInTheMessage) {
  const std::string a = dir.file("a.id"), b = dir.file("b.id");
  test::writeDocument(a, {{"S1", "x", "a/NNG"}});
  test::writeDocument(b, {{"S1", "x", "b/NNG"}});
  auto at = [](std::string document, const char* serial) {
    review::Occurrence o;
    o.record = {serial, "x", "a/NNG"};
    o.document = std::move(document);
    return o;
  };
  // The same file named two ways is one document; a serial listed twice counts once.
  const std::vector<review::DocumentSerials> byDocument = review::serialsByDocument(
      {at(a, "S1"), at(b, "S1"), at(dir.path() + "/./a.id", "S2"), at(a, "S1"), at(b, "S3")});
  ASSERT_EQ(byDocument.size(), 2u);
  EXPECT_EQ(byDocument[0].document, a);
  EXPECT_EQ(byDocument[0].serials, (std::vector<std::string>{"S1", "S2"}));
  EXPECT_EQ(byDocument[1].document, b);
  EXPECT_EQ(byDocument[1].serials, (std::vector<std::string>{"S1", "S3"}));
  EXPECT_EQ(review::recordCount(byDocument), 4u);
  EXPECT_TRUE(review::serialsByDocument({}).empty());

  review::ApplyOutcome changed;
  changed.changed = 2;
  review::ApplyOutcome unreadable;
  unreadable.code = result::kOpenError;
  EXPECT_EQ(review::applyOutcomeMessage(std::vector<review::DocumentApplyOutcome>{{a, changed}}),
            "2개 어절의 분석을 바꾸었습니다.");
  EXPECT_EQ(review::applyOutcomeMessage(
                std::vector<review::DocumentApplyOutcome>{{a, changed}, {b, unreadable}}),
            a + ": 2개 어절의 분석을 바꾸었습니다.\n" + b +
                ": 분석 문헌 파일을 읽을 수 없어 아무것도 바꾸지 않았습니다.");
}

}  // namespace
}  // namespace selvanor
