#include <gtest/gtest.h>

#include <vector>

#include "common/diagnostics.h"
#include "common/derived_paths.h"
#include "common/files.h"
#include "store/document/build_decisions.h"
#include "facade/dbwrap.h"
#include "store/engine/document_cursor.h"
#include "store/document/serial_numbers.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;

std::vector<AnalysisRecord> readDocument(const std::string& file) {
  std::vector<AnalysisRecord> out;
  DocumentCursor c;
  if (c.open(file, OpenMode::ExistingOnly) != result::kOk) return out;
  for (auto s = c.first(); s == DocumentCursor::kRead; s = c.next()) out.push_back(c.current());
  return out;
}

class DocumentBuild : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  std::string input = dir.file("corpus.txt");
  std::string output = dir.file("corpus.id");
  DBWrap db;
  DiagnosticCapture diag;
};

TEST_F(DocumentBuild, NumberedInputGivesOneRecordPerLineInSerialOrder) {
  writeFile(input, k("S0000030 셋 셋/NR\r\n\nS0000010 하나 하나/NR\n  \t\nS0000020 둘 둘/nr\n"));
  ASSERT_EQ(db.makeBunsukDB(input, output, "", SerialMode::Numbered, true), result::kOk);
  const auto records = readDocument(output);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0], (AnalysisRecord{"S0000010", k("하나"), k("하나/NR")}));
  EXPECT_EQ(records[1].analysis, k("둘/NR"));
  EXPECT_EQ(records[2].serial, "S0000030");
  EXPECT_EQ(diag.text(), "");
}

// A stray lead byte before a blank, a tab, "/" or "+" is one byte of its own: the
// document keeps it and its export builds again into the same records and text.
TEST_F(DocumentBuild, StrayLeadBytesSurviveTheExportRoundTrip) {
  writeFile(input, "S1\xb0 w\xb0 \xb0/nng+a\xb0\n"
                   "S2 \xb0 \xb0\n"
                   "S3 x y/NN+\xb0+\xb0/vv\n");
  ASSERT_EQ(db.makeBunsukDB(input, output, "", SerialMode::Numbered, false), result::kOk);
  const auto first = readDocument(output);
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[0], (AnalysisRecord{"S1\xb0", "w\xb0", "\xb0/NNG + /A\xb0"}));
  EXPECT_EQ(first[1], (AnalysisRecord{"S2", "\xb0", "\xb0/?"}));
  EXPECT_EQ(first[2].analysis, "Y/NN + \xb0/? + \xb0/VV");

  const std::string exported = dir.file("export.txt");
  ASSERT_EQ(db.printDBcont(ExportKind::Document, output, exported), result::kOk);
  const std::string again = dir.file("again.id");
  ASSERT_EQ(db.makeBunsukDB(exported, again, "", SerialMode::Numbered, false), result::kOk);
  EXPECT_EQ(readDocument(again), first);
  const std::string reexported = dir.file("export2.txt");
  ASSERT_EQ(db.printDBcont(ExportKind::Document, again, reexported), result::kOk);
  EXPECT_EQ(readFile(reexported), readFile(exported));
}

TEST_F(DocumentBuild, LaterDuplicateSerialReplacesEarlier) {
  writeFile(input, k("S1 먼저 먼저/MAG\nS1 나중 나중/NNG\n"));
  ASSERT_EQ(db.makeBunsukDB(input, output, "", SerialMode::Numbered, false), result::kOk);
  const auto records = readDocument(output);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].word, k("나중"));
}

TEST_F(DocumentBuild, GeneratedSerialsFollowNonEmptyLinesAndLeaveNoCopy) {
  writeFile(input, k("먹었다 먹/VV+었/EP+다/EF\n\n갔다 가/VV+았/EP+다/EF\n책 책/NNG\n"));
  ASSERT_EQ(db.makeBunsukDB(input, output, "1234567", SerialMode::Generate, true), result::kOk);
  const auto records = readDocument(output);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].serial, "12345670000010");
  EXPECT_EQ(records[0].analysis, k("먹다/VV + 었/EP + 다/EF"));
  EXPECT_EQ(records[1].serial, "12345670000020");
  EXPECT_EQ(records[2].serial, "12345670000030");
  EXPECT_FALSE(fileExists(derived::numberedCopy(input)));
}

TEST_F(DocumentBuild, GeneratedSerialsMatchTheNumberedCopy) {
  // Building from the numbered copy gives the same document as generating on the fly.
  writeFile(input, k("  먹었다\t먹VV+었EP+다EF  \n하늘 하늘/NNG\n"));
  ASSERT_EQ(db.addIndex(input, dir.file("copy.txt"), "1234567"), result::kOk);
  EXPECT_EQ(readFile(dir.file("copy.txt")),
            k(" 12345670000010  먹었다\t먹VV+었EP+다EF\n 12345670000020  하늘 하늘/NNG\n"));
  ASSERT_EQ(db.makeBunsukDB(dir.file("copy.txt"), dir.file("a.id"), "", SerialMode::Numbered, true),
            result::kOk);
  ASSERT_EQ(db.makeBunsukDB(input, dir.file("b.id"), "1234567", SerialMode::Generate, true),
            result::kOk);
  EXPECT_EQ(readDocument(dir.file("a.id")), readDocument(dir.file("b.id")));
}

TEST_F(DocumentBuild, FormatErrorReportsTheSerialAndKeepsThePreviousDocument) {
  writeFile(input, k("S1 하나 하나/NR\nS2 둘 둘/NR\nS3 셋 셋/NR\n"));
  ASSERT_EQ(db.makeBunsukDB(input, output, "", SerialMode::Numbered, false), result::kOk);
  writeFile(input, k("T1 하나 하나/NR\nT2 둘 둘/NR\nT3 셋\nT4 넷 넷/NR\n"));
  EXPECT_EQ(db.makeBunsukDB(input, output, "", SerialMode::Numbered, false), result::kFormatError);
  EXPECT_EQ(db.lastSerial(), "T3");
  const auto records = readDocument(output);
  ASSERT_EQ(records.size(), 3u);  // the earlier document, untouched
  EXPECT_EQ(records[0].serial, "S1");
  EXPECT_EQ(build::outcomeMessage(result::kFormatError, db.lastSerial()),
            "[T3] 일련번호에서 형식오류가 발생했습니다.");
}

TEST_F(DocumentBuild, FormatErrorWithGeneratedSerialsNamesTheGeneratedSerial) {
  writeFile(input, k("하나 하나/NR\n둘\n"));
  EXPECT_EQ(db.makeBunsukDB(input, output, "ABCDEFG", SerialMode::Generate, false),
            result::kFormatError);
  EXPECT_EQ(db.lastSerial(), "ABCDEFG0000020");
  EXPECT_FALSE(fileExists(output));
}

TEST_F(DocumentBuild, RebuildReplacesTheWholeDocument) {
  writeFile(input, k("S1 하나 하나/NR\nS2 둘 둘/NR\n"));
  ASSERT_EQ(db.makeBunsukDB(input, output, "", SerialMode::Numbered, false), result::kOk);
  writeFile(input, k("S3 셋 셋/NR\n"));
  ASSERT_EQ(db.makeBunsukDB(input, output, "", SerialMode::Numbered, false), result::kOk);
  const auto records = readDocument(output);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].serial, "S3");
}

TEST_F(DocumentBuild, LongLinesAreOneRecord) {
  std::string analysis;
  for (int i = 0; i < 150; ++i) analysis += (i ? " + " : "") + k("가나") + "/NNG";
  writeFile(input, "S1 w " + analysis + "\nS2 v x/SL\n");
  ASSERT_GT(analysis.size(), 499u);
  ASSERT_EQ(db.makeBunsukDB(input, output, "", SerialMode::Numbered, false), result::kOk);
  const auto records = readDocument(output);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].analysis, analysis);
}

TEST_F(DocumentBuild, ReadAndWriteFailuresAreNotFormatErrors) {
  writeFile(output, "precious");
  EXPECT_EQ(db.makeBunsukDB(dir.file("missing.txt"), output, "", SerialMode::Numbered, false),
            result::kTextFileError);
  EXPECT_EQ(diag.text(), "DBWrap::makeBunsukDB => open error of read file\n");
  EXPECT_EQ(readFile(output), "precious");
  EXPECT_EQ(build::outcomeMessage(result::kTextFileError, ""), build::msg::kInputUnreadable);

  writeFile(input, "S1 a a/NNG\n");
  diag.clear();
  EXPECT_EQ(db.makeBunsukDB(input, dir.file("no-folder/x.id"), "", SerialMode::Numbered, false),
            result::kOpenError);
  EXPECT_EQ(diag.text(), "DBWrap::makeBunsukDB => DB open error\n");
  EXPECT_EQ(build::outcomeMessage(result::kOpenError, ""), build::msg::kOutputNotCreated);
}

TEST(SerialNumbers, DetectionComparesTheFirstSevenBytesOfThreeLines) {
  test::ScratchDir dir;
  const auto detect = [&](std::string_view text) {
    writeFile(dir.file("t.txt"), text);
    return detectSerialNumbers(dir.file("t.txt"));
  };
  EXPECT_EQ(detect("ABCDEFG0000010 a a/NNG\nABCDEFG0000020 b b/NNG\nABCDEFG0000030 c c/NNG\n"),
            SerialDetection::HasSerials);
  EXPECT_EQ(detect("a a/NNG\nb b/NNG\nc c/NNG\n"), SerialDetection::NoSerials);
  EXPECT_EQ(detect("ABCDEFG0000010 a a/NNG\nABCDEFG0000020 b b/NNG\n"), SerialDetection::Unreadable);
  EXPECT_EQ(detect("ab\nab\nab"), SerialDetection::NoSerials);  // "ab" + line end vs "ab"
  EXPECT_EQ(detect("ab\nab\nab\n"), SerialDetection::HasSerials);
  EXPECT_EQ(detectSerialNumbers(dir.file("missing.txt")), SerialDetection::Unreadable);
  // A first line longer than 255 bytes is still one line.
  EXPECT_EQ(detect("ABCDEFG1 " + std::string(600, 'x') + "\nABCDEFG2 y\nABCDEFG3 z\n"),
            SerialDetection::HasSerials);
}

TEST(SerialNumbers, GeneratedSerials) {
  EXPECT_EQ(makeSerial("1234567", 3), "12345670000030");
  EXPECT_EQ(makeSerial("1234567", 1000000), "123456710000000");  // 15 characters
  EXPECT_EQ(makeSerial("", 0), "0000000");
  EXPECT_EQ(makeSerial("P", 999999), "P9999990");
  EXPECT_EQ(makeSerial("P", 18446744073709551615ul), "P184467440737095516150");
  EXPECT_EQ(derived::numberedCopy("/d/corpus.txt"), "/d/corpus_new.txt");
  EXPECT_EQ(derived::numberedCopy("/d.x/corpus"), "/d.x/corpus_new.txt");
}

TEST(BuildDecisions, ChecksInTheDialogsOrder) {
  test::ScratchDir dir;
  const std::string in = dir.file("in.txt");
  EXPECT_EQ(build::planDocumentBuild("", "o.id", "").refusal, build::msg::kChooseInput);
  writeFile(dir.file("open.id"), "");
  EXPECT_EQ(build::planDocumentBuild(in, dir.file("open.id"), dir.path() + "/./open.id").refusal,
            build::msg::kOutputInUse);
  writeFile(in, "a a/NNG\nb b/NNG\n");
  EXPECT_EQ(build::planDocumentBuild(in, dir.file("o.id"), "").refusal, build::msg::kCannotCreate);
  EXPECT_FALSE(fileExists(dir.file("o.id")));
  writeFile(in, "a a/NNG\nb b/NNG\nc c/NNG\n");
  // The document replaces whatever is at its path: never the text it is built from.
  EXPECT_EQ(build::planDocumentBuild(in, dir.path() + "/./in.txt", "").refusal, build::msg::kOutputInUse);
  auto plan = build::planDocumentBuild(in, dir.file("o.id"), dir.file("open.id"));
  EXPECT_FALSE(plan.refusal);
  EXPECT_TRUE(plan.needsPrefix);
  EXPECT_EQ(plan.mode(), SerialMode::Generate);
}

// Text that is not CP949 is refused in both modes, naming what it looks like; the
// previous document stays.
TEST_F(DocumentBuild, ForeignTextIsRefusedWithWhatItLooksLike) {
  writeFile(input, k("S0000010 하나 하나/NR\n"));
  ASSERT_EQ(db.makeBunsukDB(input, output, "", SerialMode::Numbered, false), result::kOk);
  const auto before = readDocument(output);
  const std::string utf8 = "GSDTST10000010 \xED\x95\x98 \xED\x95\x98/NR\n";  // 하
  const struct {
    std::string bytes;
    SerialMode mode;
    const char* message;
  } cases[] = {
      {utf8, SerialMode::Numbered,
       "[GSDTST10000010] 일련번호에서 형식오류가 발생했습니다. UTF-8로 된 파일로 보입니다. "
       "CP949로 바꾸어 주십시오."},
      {"\xEF\xBB\xBF" + utf8, SerialMode::Generate,
       "[12345670000010] 일련번호에서 형식오류가 발생했습니다. UTF-8(BOM 있음)로 된 파일로 "
       "보입니다. CP949로 바꾸어 주십시오."},
      {std::string("\xFF\xFE" "a\0 \0b\0/\0N\0N\0\n\0", 16), SerialMode::Generate,
       "[12345670000010] 일련번호에서 형식오류가 발생했습니다. UTF-16(LE)로 된 파일로 보입니다. "
       "CP949로 바꾸어 주십시오."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    writeFile(input, c.bytes);
    const ResultCode rc = db.makeBunsukDB(input, output,
                                          c.mode == SerialMode::Generate ? "1234567" : "",
                                          c.mode, false);
    EXPECT_EQ(rc, result::kFormatError);
    EXPECT_EQ(build::outcomeMessage(rc, db.lastSerial(), db.foreignText()), c.message);
    EXPECT_EQ(readDocument(output), before);
    // The dialog and the command line refuse it before asking for a prefix.
    EXPECT_EQ(build::planDocumentBuild(input, output, "").refusal,
              "분석 파일을 읽을 수 없습니다. " + db.foreignText());
  }
  writeFile(input, k("S0000020 둘 둘/NR\n"));
  ASSERT_EQ(db.makeBunsukDB(input, output, "", SerialMode::Numbered, false), result::kOk);
  EXPECT_EQ(db.foreignText(), "");
}

TEST_F(DocumentBuild, NeverReplacesItsOwnInput) {
  const std::string text = k("TESTDOC0000010 하나 하나/NR\n");
  writeFile(input, text);
  EXPECT_EQ(db.makeBunsukDB(input, dir.path() + "/./corpus.txt", "", SerialMode::Numbered, true),
            result::kOpenError);
  EXPECT_EQ(readFile(input), text);
}

TEST(BuildDecisions, SerialPrefixMustBeSevenCharactersWithoutBlanks) {
  EXPECT_FALSE(build::checkSerialPrefix("1234567"));
  EXPECT_FALSE(build::checkSerialPrefix(k("가나다라마바사")));  // characters, not bytes
  EXPECT_EQ(build::checkSerialPrefix("123456"), build::msg::kEnterPrefix);
  EXPECT_EQ(build::checkSerialPrefix(""), build::msg::kEnterPrefix);
  EXPECT_EQ(build::checkSerialPrefix("12345678"), build::msg::kEnterPrefix);
  EXPECT_EQ(build::checkSerialPrefix("123 567"), build::msg::kPrefixHasBlank);
  EXPECT_EQ(derived::builtDocument("/d/a.txt"), "/d/a.id");
  EXPECT_EQ(derived::builtDocument("/d.v/a"), "/d.v/a.id");
  EXPECT_EQ(build::outcomeMessage(result::kOk, ""), build::msg::kBuilt);
}

}  // namespace
}  // namespace selvanor
