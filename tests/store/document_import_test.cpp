// Import of analysed text as distributed (UTF-8, UTF-16, CP949, markup) and of CoNLL-U:
// the same records a build of the CP949 text makes, every skipped or changed line
// counted, and bad input named by its line with the target left as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/diagnostics.h"
#include "common/encoding.h"
#include "common/files.h"
#include "facade/dbwrap.h"
#include "store/interchange/import_decisions.h"
#include "store/interchange/markup_lines.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using namespace interchange;
using test::k;

std::string utf16(std::string_view utf8, bool little, bool mark) {
  std::u16string units;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t j = 1; j < len; ++j) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + j]) & 0x3F);
    i += len;
    if (cp >= 0x10000) {
      units += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      units += static_cast<char16_t>(cp);
    }
  }
  std::string out;
  if (mark) out = little ? "\xFF\xFE" : "\xFE\xFF";
  for (const char16_t u : units) {
    const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
    out += little ? lo : hi;
    out += little ? hi : lo;
  }
  return out;
}

// The national-corpus shape: a header block, tag lines, long punctuated serials.
const char* const kSejong =
    "<tei.2>\r\n<teiHeader>\r\n\t<fileDesc>\r\n\t\t<title>세계의 역사</title>\r\n"
    "\t</fileDesc>\r\n</teiHeader>\r\n<text>\r\n<body>\r\n<head>\r\n"
    "BTAA0001-00000001\t세계의\t세계/NNG + 의/JKG\r\n</head>\r\n<p>\r\n"
    "BTAA0001-00000002\t프랑스는\t프랑스/NNP + 는/JX\r\n"
    "BTAA0001-00000003 먹었다   먹/VV + 었/EP + 다/EF\r\n<s n=\"1\"/>\r\n</p>\r\n</body>\r\n"
    "</text>\r\n</tei.2>\r\n";
const char* const kSejongPlain =
    "BTAA0001-00000001\t세계의\t세계/NNG + 의/JKG\n"
    "BTAA0001-00000002\t프랑스는\t프랑스/NNP + 는/JX\n"
    "BTAA0001-00000003 먹었다   먹/VV + 었/EP + 다/EF\n";

class DocumentImport : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  DBWrap db;
  DiagnosticCapture diag;
  SourcePlan plan;

  // Inspects and imports `input` into `output`; the plan is kept for the messages.
  ImportOutcome importFile(const std::string& input, const std::string& output,
                           ImportFormat format = ImportFormat::Auto,
                           Encoding encoding = Encoding::Auto, std::string prefix = "ABCDEFG",
                           bool attachDa = true, bool replace = false) {
    const Inspection inspection = inspectSource(input, format, encoding);
    if (!inspection.plan) return inspection.failure;
    plan = *inspection.plan;
    return db.importBunsukDB({input, output, std::move(prefix), attachDa, replace}, plan);
  }
  std::string write(const char* name, std::string_view bytes) {
    test::writeFile(dir.file(name), bytes);
    return dir.file(name);
  }
  // Nothing but `keep` in the folder: no temporary document left behind.
  void expectOnly(std::initializer_list<const char*> keep) {
    std::size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      (void)e;
      ++n;
    }
    EXPECT_EQ(n, keep.size());
    for (const char* name : keep) EXPECT_TRUE(fileExists(dir.file(name))) << name;
  }
};

TEST_F(DocumentImport, EncodingIsDecidedByMarkThenUtf8ThenCp949UnlessAsked) {
  const std::string hangul = "S1 나무 나무/NNG\n";
  struct Case {
    std::string bytes;
    Encoding asked;
    Decoding expected;
  } cases[] = {
      {"\xEF\xBB\xBF" + hangul, Encoding::Auto, Decoding::Utf8},
      {utf16(hangul, true, true), Encoding::Auto, Decoding::Utf16Le},
      {utf16(hangul, false, true), Encoding::Auto, Decoding::Utf16Be},
      {utf16(hangul, false, false), Encoding::Auto, Decoding::Utf16Be},
      {hangul, Encoding::Auto, Decoding::Utf8},
      {"S1 tree tree/NNG\n", Encoding::Auto, Decoding::Cp949},
      {k(hangul), Encoding::Auto, Decoding::Cp949},
      // 64 KB of ASCII first: the whole file decides, not its start.
      {std::string(70000, 'a') + "\n" + hangul, Encoding::Auto, Decoding::Utf8},
      {hangul, Encoding::Cp949, Decoding::Cp949},
      {k(hangul), Encoding::Utf8, Decoding::Utf8},
      {utf16(hangul, false, false), Encoding::Utf16, Decoding::Utf16Be},
      {"abc\n", Encoding::Utf16, Decoding::Utf16Le},
  };
  for (const Case& c : cases) {
    write("in.txt", c.bytes);
    EXPECT_EQ(decideDecoding(dir.file("in.txt"), c.asked), c.expected) << c.bytes.substr(0, 20);
  }
  EXPECT_EQ(decideDecoding(dir.file("missing.txt"), Encoding::Auto), std::nullopt);
}

TEST_F(DocumentImport, Utf16WithMarkupBuildsWhatTheCp949TextWithoutMarkupBuilds) {
  const std::string plain = write("plain.txt", k(kSejongPlain));
  ASSERT_EQ(db.makeBunsukDB(plain, dir.file("built.id"), "", SerialMode::Numbered, true), result::kOk);
  const auto built = test::dump(dir.file("built.id"));
  ASSERT_EQ(built.size(), 3u);
  for (const bool little : {true, false}) {
    const std::string marked = write("marked.txt", utf16(kSejong, little, true));
    const ImportOutcome o = importFile(marked, dir.file("imported.id"));
    ASSERT_EQ(o.code, result::kOk) << outcomeMessage(o, plan);
    EXPECT_EQ(plan.decoding, little ? Decoding::Utf16Le : Decoding::Utf16Be);
    EXPECT_EQ(plan.mode, SerialMode::Numbered);
    EXPECT_EQ(test::dump(dir.file("imported.id")), built);
    EXPECT_EQ(o.counts.records, 3u);
    EXPECT_EQ(o.counts.headerBlocks, 1u);
    EXPECT_EQ(o.counts.markupLines, 16u);  // 6 header lines and 10 tag lines
  }
  // The plain CP949 text through the import is the build too, in any line-end form.
  ASSERT_EQ(importFile(plain, dir.file("again.id")).code, result::kOk);
  EXPECT_EQ(test::dump(dir.file("again.id")), built);
  const ImportOutcome o = importFile(write("u8.txt", kSejong), dir.file("u8.id"));
  ASSERT_EQ(o.code, result::kOk);
  EXPECT_EQ(test::dump(dir.file("u8.id")), built);
  EXPECT_EQ(outcomeMessage(o, plan),
            "분석 문헌을 가져왔습니다. (UTF-8, 분석 텍스트, 토큰 3개)\n"
            "표시 줄 16개를 건너뛰었습니다 (머리 부분 1개 포함).");
}

TEST_F(DocumentImport, UnnumberedTextGetsSerialsInTokenOrderAsTheBuildGivesThem) {
  const char* text = "먹었다 먹/VV+었/EP+다/EF\n\n갔다 가/VV+았/EP+다/EF\n책 책/NNG\n";
  ASSERT_EQ(db.makeBunsukDB(write("plain.txt", k(text)), dir.file("built.id"), "1234567",
                            SerialMode::Generate, false),
            result::kOk);
  const std::string marked = write("m.txt", std::string("<p>\n") + text + "</p>\n<p>\n</p>\n");
  const ImportOutcome o = importFile(marked, dir.file("m.id"), ImportFormat::Text,
                                     Encoding::Utf8, "1234567", false);
  ASSERT_EQ(o.code, result::kOk);
  EXPECT_EQ(plan.mode, SerialMode::Generate);
  EXPECT_EQ(test::dump(dir.file("m.id")), test::dump(dir.file("built.id")));
  EXPECT_EQ(test::dump(dir.file("m.id")).front().first, "12345670000010");
}

TEST_F(DocumentImport, UnmappableCharacterStopsBeforeTheTargetChangesOrIsReplacedOnRequest) {
  test::writeDocument(dir.file("doc.id"), {{"OLD", "w", "w/NNG"}});
  const auto before = test::dump(dir.file("doc.id"));
  // U+1F600 needs a surrogate pair in UTF-16; U+4E36 (丶) is a Hanja CP949 lacks.
  const std::string text = "SER000001 나무 나무/NNG\nSER000002 웃음😀 웃음/NNG\nSER000003 丶 丶/SH\n";
  write("in.txt", utf16(text, true, true));
  ImportOutcome o = importFile(dir.file("in.txt"), dir.file("doc.id"));
  EXPECT_EQ(o.code, result::kFormatError);
  EXPECT_EQ(o.problem, ImportProblem::Unmappable);
  EXPECT_EQ(o.line, 2u);
  EXPECT_EQ(outcomeMessage(o, plan),
            "2번째 줄의 글자 [😀](U+1F600)는 CP949로 저장할 수 없습니다. " +
                std::string(msg::kReplaceHint) + " " + msg::kNothingWritten);
  EXPECT_EQ(test::dump(dir.file("doc.id")), before);
  expectOnly({"doc.id", "in.txt"});

  o = importFile(dir.file("in.txt"), dir.file("doc.id"), ImportFormat::Auto, Encoding::Auto,
                 "", true, true);
  ASSERT_EQ(o.code, result::kOk);
  EXPECT_EQ(o.counts.replaced, 3u);
  const auto after = test::dump(dir.file("doc.id"));
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(codec::decodeRecord(after[1].second)->word, k("웃음□"));
  EXPECT_EQ(codec::decodeRecord(after[2].second)->analysis, k("□/SH"));
  EXPECT_NE(outcomeMessage(o, plan).find("CP949에 없는 글자 3개를 □로 바꾸었습니다."), std::string::npos);
}

TEST_F(DocumentImport, UnmappableCharactersOutsideTheTokensDoNotMatter) {
  // In a header block and a tag line of analysed text, and in a CoNLL-U comment and the
  // columns after XPOS, nothing is stored: nothing to refuse or count.
  const std::string text = "<teiHeader>\n<title>😀 丶</title>\n</teiHeader>\n<p n=\"😀\">\n"
                           "SER00000001 a a/NN\nSER00000002 b b/NN\nSER00000003 c c/NN\n";
  ImportOutcome o = importFile(write("t.txt", utf16(text, true, true)), dir.file("t.id"));
  ASSERT_EQ(o.code, result::kOk) << outcomeMessage(o, plan);
  EXPECT_EQ(o.counts.replaced, 0u);
  const std::string conll = "# text = 😀\n1\ta\ta\tX\tSL\t_\t0\troot\t_\tTranslit=😀\n"
                            "2\t丶\t丶\tX\tSH\t_\t0\troot\t_\t_\n";
  o = importFile(write("c.conllu", conll), dir.file("c.id"));
  EXPECT_EQ(o.problem, ImportProblem::Unmappable);
  EXPECT_EQ(o.line, 3u);
  EXPECT_EQ(o.detail, "丶");
  o = importFile(dir.file("c.conllu"), dir.file("c.id"), ImportFormat::Auto, Encoding::Auto,
                 "ABCDEFG", true, true);
  ASSERT_EQ(o.code, result::kOk);
  EXPECT_EQ(o.counts.replaced, 2u);  // FORM and LEMMA of the second token
}

TEST_F(DocumentImport, BrokenInputIsNamedByLineAndWritesNothing) {
  test::writeDocument(dir.file("doc.id"), {{"OLD", "w", "w/NNG"}});
  const auto before = test::dump(dir.file("doc.id"));
  std::string longUtf8;
  for (int i = 1; i <= 20; ++i) longUtf8 += "S" + std::to_string(i) + " 나무 나무/NNG\n";
  struct Case {
    const char* name;
    std::string bytes;
    ImportProblem problem;
    std::size_t line;
    std::string message;
  } cases[] = {
      {"binary.txt", "S1 a a/NN\nS2 b b/NN\nS3 \x80\xFF c/NN\n", ImportProblem::Undecodable, 3,
       "3번째 줄을 CP949로도 UTF-8로도 읽을 수 없습니다 (0x80)."},
      {"nul.txt", std::string("S1 a a/NN\nS2 b b/NN\nS3 c\0 c/NN\n", 26), ImportProblem::Undecodable,
       3, "3번째 줄을 CP949로도 UTF-8로도 읽을 수 없습니다 (0x00)."},
      // Many good UTF-8 characters, then a damaged one: refused as UTF-8, not taken for CP949.
      {"damaged.txt", longUtf8 + "S21 \xED\x95 x/NN\n", ImportProblem::Undecodable, 21,
       "21번째 줄을 UTF-8로 읽을 수 없습니다 (0xED 0x95 0x20)."},
      {"truncated.txt", utf16("S1 나무 나무/NNG\nS2 숲 숲/NNG\nS3 길 길/NNG\n", true, true) + "\x41",
       ImportProblem::Truncated, 4, "UTF-16 파일이 4번째 줄에서 글자 중간에 잘렸습니다 (0x41)."},
      {"cutpair.txt", [] {
         const std::string whole = utf16("S1 나무 나무/NNG\nS2 숲 숲/NNG\nS3 길😀", true, true);
         return whole.substr(0, whole.size() - 2);  // the low half of the pair is gone
       }(),
       ImportProblem::Truncated, 3, "UTF-16 파일이 3번째 줄에서 글자 중간에 잘렸습니다 (0x3D 0xD8)."},
      {"unclosed.txt", "<teiHeader>\nS1 a a/NN\nS2 b b/NN\nS3 c c/NN\n",
       ImportProblem::UnclosedHeader, 1, "1번째 줄에서 시작한 머리 부분이 끝나지 않았습니다."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string input = write(c.name, c.bytes);
    const Inspection inspection = inspectSource(input, ImportFormat::Auto, Encoding::Auto);
    ImportOutcome o = inspection.failure;
    if (inspection.plan) {
      plan = *inspection.plan;
      o = db.importBunsukDB({input, dir.file("doc.id"), "ABCDEFG", true, false}, plan);
      EXPECT_EQ(outcomeMessage(o, plan), c.message + " " + msg::kNothingWritten);
    } else {
      // Broken early enough for the inspection to see: the plan refuses with the same words.
      EXPECT_EQ(planImport(input, dir.file("doc.id"), "", ImportFormat::Auto, Encoding::Auto).refusal,
                c.message);
    }
    EXPECT_EQ(o.problem, c.problem);
    EXPECT_EQ(o.line, c.line);
    EXPECT_EQ(test::dump(dir.file("doc.id")), before);
    removeFile(input);
    expectOnly({"doc.id"});
  }
}

TEST_F(DocumentImport, PlanRefusesInOrderAndAsksForAPrefixWhenSerialsAreMissing) {
  const std::string text = write("t.txt", "a a/NN\nb b/NN\nc c/NN\n");
  EXPECT_EQ(planImport("", "o.id", "", ImportFormat::Auto, Encoding::Auto).refusal,
            "분석 파일을 선택해 주세요");
  EXPECT_EQ(planImport(text, dir.file("open.id"), dir.file("open.id"), ImportFormat::Auto,
                       Encoding::Auto).refusal,
            "선택된 곳에 지정된 파일이 현재 사용중입니다.");
  EXPECT_EQ(planImport(text, text, "", ImportFormat::Auto, Encoding::Auto).refusal,
            "선택된 곳에 지정된 파일이 현재 사용중입니다.");
  EXPECT_EQ(planImport(dir.file("none.txt"), "o.id", "", ImportFormat::Auto, Encoding::Auto).refusal,
            "분석 파일을 읽을 수 없습니다.");
  const std::string two = write("two.txt", "<p>\nS1 a a/NN\n<p>\nS2 b b/NN\n</p>\n");
  EXPECT_EQ(planImport(two, "o.id", "", ImportFormat::Auto, Encoding::Auto).refusal,
            "파일 생성에 문제가 있습니다. 분석 줄이 세 줄보다 적습니다.");
  const ImportPlan p = planImport(text, "o.id", "", ImportFormat::Auto, Encoding::Auto);
  ASSERT_TRUE(p.source);
  EXPECT_TRUE(p.needsPrefix());
  EXPECT_EQ(p.source->format, ImportFormat::Text);
  const std::string conll = write("c.txt", "# sent_id = 1\n1\ta\ta\tX\tSL\t_\t0\troot\t_\t_\n");
  const ImportPlan c = planImport(conll, "o.id", "", ImportFormat::Auto, Encoding::Auto);
  ASSERT_TRUE(c.source);
  EXPECT_EQ(c.source->format, ImportFormat::Conllu);
  EXPECT_TRUE(c.needsPrefix());
}

TEST_F(DocumentImport, MarkupLinesAreSingleTagsAndHeaderBlocksEndAtTheirClosingTag) {
  for (const char* tag : {"<p>", "</p>", "<head>", "<s n=\"3\">", "<s/>", "<!-- note -->", "<?xml version=\"1.0\"?>"}) {
    EXPECT_TRUE(isSingleTag(tag)) << tag;
  }
  for (const char* line : {"<title>a</title>", "<p", "p>", "<", "S1 <a> x/SS", "<a><b>"}) {
    EXPECT_FALSE(isSingleTag(line)) << line;
  }
  MarkupFilter f;
  EXPECT_TRUE(f.skip("<TEIHEADER>", 1));
  EXPECT_TRUE(f.skip("S1 inside header", 2));  // inside a header even a token line is skipped
  EXPECT_TRUE(f.skip("<header/>", 3));          // no nested block
  EXPECT_EQ(f.openHeaderLine(), 1u);
  EXPECT_TRUE(f.skip("</teiHeader>", 4));
  EXPECT_EQ(f.openHeaderLine(), 0u);
  EXPECT_FALSE(f.skip("S1 a a/NN", 5));
  EXPECT_TRUE(f.skip("<header/>", 6));  // self-closing: opens nothing
  EXPECT_EQ(f.openHeaderLine(), 0u);
  EXPECT_EQ(f.markupLines(), 5u);
  EXPECT_EQ(f.headerBlocks(), 1u);
}

}  // namespace
}  // namespace selvanor
