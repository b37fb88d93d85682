#include "store/engine/document_cursor.h"

#include <gtest/gtest.h>

#include "common/diagnostics.h"
#include "store/engine/codecs.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

class DocumentCursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(cursor.open(file), result::kOk);
    for (const char* s : {"S010", "S020", "S030"}) {
      ASSERT_EQ(cursor.addLine(s, std::string("w") + s, "a/NNG"), result::kOk);
    }
  }
  std::string serialAfter(DocumentCursor::Step step) {
    return step == DocumentCursor::kRead ? cursor.current().serial : "<none>";
  }

  test::ScratchDir dir;
  std::string file = dir.file("doc.id");
  DocumentCursor cursor;
};

TEST_F(DocumentCursorTest, WalksInSerialOrderAndCounts) {
  EXPECT_EQ(serialAfter(cursor.first()), "S010");
  EXPECT_EQ(cursor.current().word, "wS010");
  EXPECT_EQ(serialAfter(cursor.next()), "S020");
  EXPECT_EQ(serialAfter(cursor.next()), "S030");
  EXPECT_EQ(cursor.next(), DocumentCursor::kNone);
  EXPECT_EQ(cursor.recordCount(), 3u);
  EXPECT_EQ(countRecords(file), 3u);
  EXPECT_EQ(serialAfter(cursor.seekRecord(2)), "S020");
  EXPECT_EQ(cursor.currentRecordNumber(), 2u);
}

TEST_F(DocumentCursorTest, AddBeforeCurrentKeepsTheCurrentRecord) {
  ASSERT_EQ(serialAfter(cursor.seekRecord(2)), "S020");
  ASSERT_EQ(cursor.addLine("S001", "w", "a/NNG"), result::kOk);
  EXPECT_EQ(cursor.current().serial, "S020");
  EXPECT_EQ(cursor.currentRecordNumber(), 3u);
  // Replacing the current record's value shows the fresh data, count unchanged.
  ASSERT_EQ(cursor.addLine("S020", "new", "b/NNG"), result::kOk);
  EXPECT_EQ(cursor.current().word, "new");
  EXPECT_EQ(cursor.recordCount(), 4u);
}

TEST_F(DocumentCursorTest, RemovingTheCurrentRecordMovesToItsNeighbour) {
  ASSERT_EQ(serialAfter(cursor.seekRecord(2)), "S020");
  ASSERT_EQ(cursor.removeLine("S020"), result::kOk);
  EXPECT_EQ(cursor.current().serial, "S030");  // the one after it
  ASSERT_EQ(cursor.removeLine("S030"), result::kOk);
  EXPECT_EQ(cursor.current().serial, "S010");  // it was the last: the one before it
  EXPECT_EQ(cursor.recordCount(), 1u);
}

TEST_F(DocumentCursorTest, RemovingAMissingRecordFailsWithDiagnostic) {
  DiagnosticCapture diag;
  EXPECT_EQ(cursor.removeLine("nope"), result::kRemoveError);
  EXPECT_EQ(diag.text(), "DBWrap::removeLine => DB remove error\n");
}

TEST_F(DocumentCursorTest, CorruptValueIsReportedNotDecoded) {
  cursor.close();
  {
    Storage raw;
    ASSERT_TRUE(raw.open(file));
    ASSERT_TRUE(raw.put("S015", "\x09garbage"));
  }
  ASSERT_EQ(cursor.open(file), result::kOk);
  EXPECT_EQ(cursor.first(), DocumentCursor::kRead);
  EXPECT_EQ(cursor.next(), DocumentCursor::kNone);
  EXPECT_TRUE(cursor.lastMoveCorrupt());
  EXPECT_EQ(serialAfter(cursor.next()), "S020");  // the walk goes on past it
}

TEST(DocumentCursor, EmptyAndClosedDocuments) {
  test::ScratchDir dir;
  DocumentCursor c;
  EXPECT_EQ(c.first(), DocumentCursor::kNone);
  EXPECT_EQ(c.recordCount(), 0u);
  ASSERT_EQ(c.open(dir.file("empty.id")), result::kOk);
  EXPECT_EQ(c.first(), DocumentCursor::kNone);
  EXPECT_EQ(c.recordCount(), 0u);
  EXPECT_EQ(countRecords(dir.file("empty.id")), 0u);
  EXPECT_EQ(countRecords(dir.file("missing.id")), 0u);
  DiagnosticCapture diag;
  EXPECT_EQ(c.open(dir.file("missing.id"), OpenMode::ExistingOnly), result::kOpenError);
  EXPECT_FALSE(c.isOpen());
}

}  // namespace
}  // namespace selvanor
