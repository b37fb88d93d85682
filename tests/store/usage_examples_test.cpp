// The usage-example search when its output cannot be written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/diagnostics.h"
#include "facade/dbwrap.h"
#include "store/reference/reference_file.h"
#include "support/file_size_limit.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;

constexpr std::string_view kSeparator = "-------------------------------\r\n";

// A write the disk refuses halfway through the output leaves only whole blocks: the
// output is the full result cut at a block's end, and the failure is a write error.
TEST(UsageExamples, AFailedWriteLeavesNoPartialBlock) {
  test::ScratchDir dir;
  DiagnosticCapture diag;
  DBWrap db;
  std::vector<AnalysisRecord> records;
  for (int i = 0; i < 3000; ++i) {
    records.push_back({"s" + std::to_string(100000 + i), k("하늘") + std::to_string(i), "x/NNG"});
  }
  const std::string doc = dir.file("doc.id");
  test::writeDocument(doc, records);
  const std::string full = dir.file("full.txt");
  test::writeFile(full, "kept\r\n");
  ASSERT_EQ(db.searchSayongye(doc, k("하늘"), DBWrap::ExampleField::Word, full), result::kOk);
  const std::string expected = readFile(full);
  ASSERT_GT(expected.size(), 256u * 1024);

  const std::string out = dir.file("ex.txt");
  test::writeFile(out, "kept\r\n");
  ResultCode rc = result::kOk;
  {
    test::FileSizeLimit limit(100 * 1024 + 7);  // inside some block
    rc = db.searchSayongye(doc, k("하늘"), DBWrap::ExampleField::Word, out);
  }
  EXPECT_EQ(rc, result::kInsertError);
  const std::string written = readFile(out);
  ASSERT_GT(written.size(), 6u);
  EXPECT_LE(written.size(), 100u * 1024 + 7);
  EXPECT_EQ(expected.compare(0, written.size(), written), 0);
  EXPECT_EQ(written.compare(written.size() - kSeparator.size(), kSeparator.size(), kSeparator), 0);
  // The next block starts right there: the cut is at a block boundary.
  EXPECT_EQ(expected.compare(written.size(), kSeparator.size(), kSeparator), 0);
  EXPECT_EQ(reference::examplesFailureMessage(doc, out, rc),
            std::string(reference::msg::kExamplesOutputNotWritten) + " " + out);
  EXPECT_NE(reference::examplesFailureMessage(doc, out, rc).find("쓸 수 없습니다"),
            std::string::npos);
  EXPECT_NE(reference::examplesFailureMessage(doc, out, result::kTextFileError),
            reference::examplesFailureMessage(doc, out, rc));
}

}  // namespace
}  // namespace selvanor
