#include "store/document/document_merge.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "common/diagnostics.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "facade/dbwrap.h"
#include "store/engine/storage.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::Entries;
using test::dump;
using test::writeDocument;

std::pair<std::string, std::string> entry(const AnalysisRecord& r) {
  return {r.serial, codec::encodeRecord(r)};
}

class DocumentMerge : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  std::string a = dir.file("a.id");
  std::string b = dir.file("b.id");
  DBWrap db;
  DiagnosticCapture diag;
};

TEST_F(DocumentMerge, SharedSerialsTakeTheAddedRecordOthersStay) {
  writeDocument(a, {{"S1", k("나는"), "a1"}, {"S2", k("밥을"), "a2"}});
  writeDocument(b, {{"S2", k("갵다"), "b2"}, {"S3", k("먹었다"), "b3"}});
  const Entries added = dump(b);
  ASSERT_EQ(db.mergeBunsukDB(a, b), result::kOk);
  EXPECT_EQ(dump(a), (Entries{entry({"S1", k("나는"), "a1"}), entry({"S2", k("갵다"), "b2"}),
                              entry({"S3", k("먹었다"), "b3"})}));
  EXPECT_EQ(dump(b), added);
  // A missing base is created as a copy.
  ASSERT_EQ(db.mergeBunsukDB(dir.file("new.id"), b), result::kOk);
  EXPECT_EQ(dump(dir.file("new.id")), added);
  EXPECT_EQ(diag.text(), "");
}

TEST_F(DocumentMerge, IntoItselfChangesNothing) {
  writeDocument(a, {{"S1", k("나는"), "a1"}, {"S2", k("밥을"), "a2"}});
  const Entries before = dump(a);
  const std::string bytes = test::readFile(a);
  ASSERT_EQ(db.mergeBunsukDB(a, a), result::kOk);
  ASSERT_EQ(db.mergeBunsukDB(a, dir.file("./a.id")), result::kOk);
  EXPECT_EQ(dump(a), before);
  EXPECT_EQ(test::readFile(a), bytes);
}

TEST_F(DocumentMerge, ForeignOrMissingFilesWriteNothing) {
  writeDocument(a, {{"S1", k("나는"), "a1"}});
  const Entries before = dump(a);
  EXPECT_EQ(db.mergeBunsukDB(a, dir.file("missing.id")), result::kOpenError);
  EXPECT_FALSE(fileExists(dir.file("missing.id")));
  // The added file holds a value that is not a record after a good one: the good one
  // must not have been merged.
  {
    Storage s;
    ASSERT_TRUE(s.open(b));
    ASSERT_TRUE(s.put("S0", codec::encodeRecord({"S0", "w", "x"})));
    ASSERT_TRUE(s.put("S9", codec::encodeList({codec::encodeTriple("S9", "w", "x")})));
  }
  EXPECT_EQ(db.mergeBunsukDB(a, b), result::kOpenError);
  EXPECT_EQ(dump(a), before);
  // The base is a reference file: records put into it would spoil it.
  {
    Storage s;
    ASSERT_TRUE(s.open(dir.file("r.idx")));
    ASSERT_TRUE(s.put("w", codec::encodeList({codec::encodeTriple("S9", "w", "x")})));
  }
  const Entries reference = dump(dir.file("r.idx"));
  EXPECT_EQ(db.mergeBunsukDB(dir.file("r.idx"), a), result::kOpenError);
  EXPECT_EQ(dump(dir.file("r.idx")), reference);
  EXPECT_NE(diag.text().find("DBWrap::mergeBunsukDB => DB open error\n"), std::string::npos);
  EXPECT_NE(diag.text().find("DBWrap::mergeBunsukDB => DB value error\n"), std::string::npos);
}

TEST_F(DocumentMerge, DialogSaysWhetherItWorked) {
  for (ResultCode failed : {result::kOpenError, result::kInsertError}) {
    EXPECT_EQ(merge::outcomeMessage(failed).rfind("분석 문헌 합치기를 실패하였습니다.", 0), 0u);
  }
  writeDocument(a, {});
  EXPECT_EQ(merge::checkMerge(dir.file("./a.id"), b, a), std::optional<std::string>(merge::msg::kBaseInUse));
  EXPECT_FALSE(merge::checkMerge(b, a, a));
}

}  // namespace
}  // namespace selvanor
