#include <gtest/gtest.h>

#include "common/diagnostics.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "facade/dbwrap.h"
#include "store/engine/document_cursor.h"
#include "store/engine/storage.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;

class DocumentExport : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  DBWrap db;
  DiagnosticCapture diag;
};

TEST_F(DocumentExport, DocumentLinesInSerialOrder) {
  {
    DocumentCursor c;
    ASSERT_EQ(c.open(dir.file("a.id")), result::kOk);
    ASSERT_EQ(c.addLine("S2", k("둘"), k("둘/NR")), result::kOk);
    ASSERT_EQ(c.addLine("S1", k("하나"), k("하나/NR")), result::kOk);
  }
  ASSERT_EQ(db.printDBcont(ExportKind::Document, dir.file("a.id"), dir.file("a.txt")), result::kOk);
  EXPECT_EQ(readFile(dir.file("a.txt")), k("S1\t하나\t하나/NR\nS2\t둘\t둘/NR\n"));
  EXPECT_EQ(diag.text(), "\n\nbunsuk result file \n\n");
}

TEST_F(DocumentExport, EmptyDocumentGivesEmptyFile) {
  DocumentCursor c;
  ASSERT_EQ(c.open(dir.file("e.id")), result::kOk);
  c.close();
  ASSERT_EQ(db.printDBcont(ExportKind::Document, dir.file("e.id"), dir.file("e.txt")), result::kOk);
  EXPECT_TRUE(fileExists(dir.file("e.txt")));
  EXPECT_EQ(readFile(dir.file("e.txt")), "");
}

TEST_F(DocumentExport, ReferenceItemsInAppendOrder) {
  {
    Storage s;
    ASSERT_TRUE(s.open(dir.file("r.idx")));
    ASSERT_TRUE(s.put(k("하나"), codec::encodeList({codec::encodeTriple("S3", k("하나"), "c"),
                                                   codec::encodeTriple("S1", k("하나"), "a"),
                                                   codec::encodeTriple("S2", k("하나"), "b")})));
  }
  ASSERT_EQ(db.printDBcont(ExportKind::Reference, dir.file("r.idx"), dir.file("r.txt")), result::kOk);
  EXPECT_EQ(readFile(dir.file("r.txt")), k("S3\t하나\tc\nS1\t하나\ta\nS2\t하나\tb\n"));
}

TEST_F(DocumentExport, FailuresLeaveThePreviousExportAndCreateNothing) {
  test::writeFile(dir.file("out.txt"), "previous");
  EXPECT_EQ(db.printDBcont(ExportKind::Document, dir.file("missing.id"), dir.file("out.txt")),
            result::kOpenError);
  EXPECT_FALSE(fileExists(dir.file("missing.id")));
  EXPECT_EQ(readFile(dir.file("out.txt")), "previous");
  EXPECT_NE(diag.text().find("DBWrap::printDBcont => DB open error\n"), std::string::npos);

  EXPECT_EQ(db.printDBcont(ExportKind::Document, dir.file("missing.id"), dir.file("no/out.txt")),
            result::kTextFileError);

  // A reference file is not an analysis document: its values do not decode as records.
  {
    Storage s;
    ASSERT_TRUE(s.open(dir.file("r.idx")));
    ASSERT_TRUE(s.put("w", codec::encodeList({codec::encodeTriple("S1", "w", "a")})));
  }
  EXPECT_EQ(db.printDBcont(ExportKind::Document, dir.file("r.idx"), dir.file("out.txt")),
            result::kOpenError);
  EXPECT_EQ(readFile(dir.file("out.txt")), "previous");
}

TEST_F(DocumentExport, NeverWritesOverTheDatabaseItExports) {
  {
    DocumentCursor c;
    ASSERT_EQ(c.open(dir.file("a.id")), result::kOk);
    ASSERT_EQ(c.addLine("S1", k("하나"), k("하나/NR")), result::kOk);
  }
  const std::string before = readFile(dir.file("a.id"));
  for (const std::string& output : {dir.file("a.id"), dir.file("./a.id")}) {
    EXPECT_EQ(db.printDBcont(ExportKind::Document, dir.file("a.id"), output), result::kTextFileError)
        << output;
  }
  EXPECT_EQ(readFile(dir.file("a.id")), before);
  // The database still reads as a document.
  ASSERT_EQ(db.printDBcont(ExportKind::Document, dir.file("a.id"), dir.file("a.txt")), result::kOk);
  EXPECT_EQ(readFile(dir.file("a.txt")), k("S1\t하나\t하나/NR\n"));
}

}  // namespace
}  // namespace selvanor
