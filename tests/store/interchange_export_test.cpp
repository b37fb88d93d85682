// CoNLL-U in and out, TSV and UTF-8 text: what a CoNLL-U import makes of token lines,
// the round trip of FORM, LEMMA, XPOS and SF-ended sentences, and exports that keep the
// UD format rules (level 1) for any record a document can hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "common/diagnostics.h"
#include "common/encoding.h"
#include "common/files.h"
#include "common/text_kind.h"
#include "facade/dbwrap.h"
#include "store/interchange/conllu_format.h"
#include "store/interchange/import_decisions.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using namespace interchange;
using test::k;

std::vector<std::string> split(const std::string& s, char c) {
  std::vector<std::string> out;
  std::string field;
  std::istringstream in(s);
  while (std::getline(in, field, c)) out.push_back(field);
  if (!s.empty() && s.back() == c) out.emplace_back();
  return out;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
// Whitespace as UD's tools see it in UTF-8 taken from CP949: ASCII, or U+3000.
bool spaceAt(const std::string& v, std::size_t j) {
  return isSpace(v[j]) || v.compare(j, 3, "\u3000") == 0;
}
bool endsInSpace(const std::string& v) {
  return isSpace(v.back()) || (v.size() >= 3 && v.compare(v.size() - 3, 3, "\u3000") == 0);
}

// The format rules of UD's level-1 validation, as far as they concern what we write:
// UTF-8, LF line ends, every sentence its comments then token lines then one blank line,
// the file ending in that blank line, ten tab-separated columns, IDs 1..n in each
// sentence, no empty column, no whitespace at a column's ends or two in a row, and none
// at all outside FORM, LEMMA and MISC. Returns the first breach ("" when none).
std::string levelOneBreach(const std::string& text) {
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
  if (!ascii && text::classify(text) != text::Kind::Utf8) return "not UTF-8";
  if (text.find('\r') != std::string::npos) return "CR";
  if (!text.empty() && text.substr(text.size() - 2) != "\n\n") return "no blank line at the end";
  const std::vector<std::string> lines = split(text, '\n');
  std::size_t expectedId = 1;
  bool inTokens = false;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::string where = "line " + std::to_string(i + 1) + ": ";
    if (line.empty()) {
      if (expectedId == 1) return where + "empty sentence or extra blank line";
      expectedId = 1;
      inTokens = false;
      continue;
    }
    if (line[0] == '#') {
      if (inTokens) return where + "comment inside a sentence";
      continue;
    }
    inTokens = true;
    const std::vector<std::string> cols = split(line, '\t');
    if (cols.size() != 10) return where + std::to_string(cols.size()) + " columns";
    if (cols[0] != std::to_string(expectedId++)) return where + "ID " + cols[0];
    for (std::size_t c = 0; c < cols.size(); ++c) {
      const std::string& v = cols[c];
      if (v.empty()) return where + "empty column " + std::to_string(c + 1);
      if (spaceAt(v, 0) || endsInSpace(v)) return where + "whitespace at the ends";
      const bool spacesAllowed = c == 1 || c == 2 || c == 9;
      bool previous = false;
      for (std::size_t j = 0; j < v.size(); ++j) {
        const bool space = spaceAt(v, j);
        if (space && previous) return where + "two whitespace characters";
        if (space && !spacesAllowed) return where + "whitespace in column " + std::to_string(c + 1);
        if (space && v[j] != ' ' && !isSpace(v[j])) j += 2;  // past U+3000
        previous = space;
      }
    }
  }
  return "";
}

// FORM, LEMMA and XPOS of every token line, sentences separated by "|".
std::string tokenColumns(const std::string& conllu) {
  std::string out;
  for (const std::string& line : split(conllu, '\n')) {
    if (line.empty()) {
      if (!out.empty() && out.back() != '|') out += '|';
      continue;
    }
    if (line[0] == '#') continue;
    const std::vector<std::string> cols = split(line, '\t');
    if (cols[0].find_first_of("-.") != std::string::npos) continue;
    out += cols[1] + " " + cols[2] + " " + cols[4] + ";";
  }
  return out;
}

class Interchange : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  DBWrap db;
  DiagnosticCapture diag;
  SourcePlan plan;

  ImportOutcome importConllu(const std::string& text, const std::string& output, bool attachDa) {
    test::writeFile(dir.file("in.conllu"), text);
    const Inspection inspection = inspectSource(dir.file("in.conllu"), ImportFormat::Auto, Encoding::Auto);
    if (!inspection.plan) return inspection.failure;
    plan = *inspection.plan;
    return db.importBunsukDB({dir.file("in.conllu"), output, "UDKO001", attachDa, false}, plan);
  }
  std::string exported(DocumentFormat format, const std::string& document) {
    const ExportOutcome o = db.exportBunsukDB(format, document, dir.file("out"));
    EXPECT_EQ(o.code, result::kOk);
    return test::readFile(dir.file("out"));
  }
};

const char* const kTreebank =
    "# newdoc id = d1\n"
    "# sent_id = s1\n"
    "# text = 나는 밥을 먹었다.\n"
    "1\t나는\t나+는\tPRON\tNP+JX\t_\t3\tnsubj\t_\t_\n"
    "2\t밥을\t밥+을\tNOUN\tNNG+JKO\t_\t3\tobj\t_\t_\n"
    "3-4\t먹었다.\t_\t_\t_\t_\t_\t_\t_\t_\n"
    "3\t먹었다\t먹+었+다\tVERB\tVV+EP+EF\t_\t0\troot\t_\t_\n"
    "4\t.\t.\tPUNCT\tSF\t_\t3\tpunct\t_\tSpaceAfter=No\n"
    "\n"
    "# sent_id = s2\n"
    "1\t1/2을\t1/2+을\tNUM\tSN+JKO\t_\t2\tobj\t_\t_\n"
    "1.1\t것\t것\tNOUN\tNNB\t_\t_\t_\t_\t_\n"
    "2\t샀어요\t사+았+어요\tVERB\tVV+EP+EF\t_\t0\troot\t_\t_\n"
    "3\t?\t?\tPUNCT\tSF\t_\t2\tpunct\t_\t_\n"
    "\n";

TEST_F(Interchange, ConlluImportPairsLemmaAndXposPiecesAndSkipsRangesAndEmptyNodes) {
  const ImportOutcome o = importConllu(kTreebank, dir.file("t.id"), true);
  ASSERT_EQ(o.code, result::kOk) << outcomeMessage(o, plan);
  const auto records = test::dump(dir.file("t.id"));
  ASSERT_EQ(records.size(), 7u);
  const AnalysisRecord third = *codec::decodeRecord(records[2].second);
  EXPECT_EQ(third, (AnalysisRecord{"UDKO0010000030", k("먹었다"), k("먹다/VV + 었/EP + 다/EF")}));
  EXPECT_EQ(records[6].first, "UDKO0010000070");
  EXPECT_EQ(o.counts.ranges, 1u);
  EXPECT_EQ(o.counts.emptyNodes, 1u);
  EXPECT_EQ(o.counts.mismatches, 0u);
  EXPECT_EQ(outcomeMessage(o, plan),
            "분석 문헌을 가져왔습니다. (UTF-8, CoNLL-U, 토큰 7개)\n"
            "여러 토큰 범위 줄 1개와 빈 노드 1개를 건너뛰었습니다.");
}

TEST_F(Interchange, ConlluRoundTripKeepsFormLemmaXposAndSfSentences) {
  ASSERT_EQ(importConllu(kTreebank, dir.file("t.id"), false).code, result::kOk);
  const std::string out = exported(DocumentFormat::Conllu, dir.file("t.id"));
  EXPECT_EQ(levelOneBreach(out), "");
  EXPECT_EQ(tokenColumns(out), tokenColumns(kTreebank));
  EXPECT_EQ(out.substr(0, out.find('\n', out.find('\n') + 1) + 1),
            "# sent_id = UDKO0010000010\n# text = 나는 밥을 먹었다 .\n");
  // The export read back is the same document.
  test::writeFile(dir.file("again.conllu"), out);
  const Inspection inspection = inspectSource(dir.file("again.conllu"), ImportFormat::Auto, Encoding::Auto);
  ASSERT_TRUE(inspection.plan);
  ASSERT_EQ(db.importBunsukDB({dir.file("again.conllu"), dir.file("again.id"), "UDKO001", false, false},
                              *inspection.plan).code,
            result::kOk);
  EXPECT_EQ(test::dump(dir.file("again.id")), test::dump(dir.file("t.id")));
}

TEST_F(Interchange, PieceCountMismatchKeepsTheTokenWholeUnderTheFirstTag) {
  const std::string text =
      "1\tC++를\tC++/를\tX\tSL+JKO\t_\t0\troot\t_\t_\n"
      "2\t10 000원\t10000+원\tNUM\tSN+NNB\t_\t0\troot\t_\t_\n"
      "3\t먹+자\t먹+자\tVERB\tVV\t_\t0\troot\t_\t_\n"
      "4\t책\t책\tNOUN\t_\t_\t0\troot\t_\t_\n";
  const ImportOutcome o = importConllu(text, dir.file("m.id"), true);
  ASSERT_EQ(o.code, result::kOk);
  const auto records = test::dump(dir.file("m.id"));
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(codec::decodeRecord(records[0].second)->analysis, k("C++/를/SL"));
  EXPECT_EQ(*codec::decodeRecord(records[1].second),
            (AnalysisRecord{"UDKO0010000020", k("10000원"), k("10000/SN + 원/NNB")}));
  EXPECT_EQ(codec::decodeRecord(records[2].second)->analysis, k("먹+자다/VV"));
  EXPECT_EQ(codec::decodeRecord(records[3].second)->analysis, k("책/NOUN"));  // XPOS _: UPOS
  EXPECT_EQ(o.counts.mismatches, 2u);
  EXPECT_EQ(o.counts.firstMismatchLine, 1u);
  EXPECT_EQ(o.counts.formBlanks, 1u);
  const std::string message = outcomeMessage(o, plan);
  EXPECT_NE(message.find("LEMMA와 XPOS의 조각 수가 다른 토큰 2개는 LEMMA 전체를 첫 품사로 가져왔습니다 (처음: 1번째 줄)."),
            std::string::npos) << message;
  EXPECT_NE(message.find("FORM에 빈칸이 있던 토큰 1개는 빈칸을 빼고 가져왔습니다."), std::string::npos);
  // Exported, the whole LEMMA comes back under its tag.
  EXPECT_EQ(tokenColumns(exported(DocumentFormat::Conllu, dir.file("m.id"))),
            "C++를 C++/를 SL;10000원 10000+원 SN+NNB;먹+자 먹+자다 VV;책 책 NOUN;|");
}

TEST_F(Interchange, BadConlluLinesAreNamedAndNothingIsWritten) {
  test::writeDocument(dir.file("doc.id"), {{"OLD", "w", "w/NNG"}});
  const auto before = test::dump(dir.file("doc.id"));
  const std::string good = "1\t나\t나\tPRON\tNP\t_\t0\troot\t_\t_\n";
  struct Case {
    std::string text;
    std::string message;
  } cases[] = {
      {good + "2\t밥\t밥\tNOUN\tNNG\t_\t0\n", "2번째 줄은 CoNLL-U 토큰 줄인데 탭으로 나뉜 열이 7개입니다. 10개여야 합니다."},
      {good + "\n# c\n1 밥 밥 NOUN NNG _ 0 root _ _\n",
       "4번째 줄은 CoNLL-U 토큰 줄인데 탭으로 나뉜 열이 1개입니다. 10개여야 합니다."},
      {good + "x\t밥\t밥\tNOUN\tNNG\t_\t0\troot\t_\t_\n", "2번째 줄의 ID [x]는 CoNLL-U의 ID(1, 1-2, 1.1)가 아닙니다."},
      {good + "0\t밥\t밥\tNOUN\tNNG\t_\t0\troot\t_\t_\n", "2번째 줄의 ID [0]는 CoNLL-U의 ID(1, 1-2, 1.1)가 아닙니다."},
      {good + "2\t \t밥\tNOUN\tNNG\t_\t0\troot\t_\t_\n", "2번째 줄의 FORM이 비어 있습니다."},
      {"# only comments\n\n", "가져올 토큰이 없습니다."},
  };
  for (const Case& c : cases) {
    test::writeFile(dir.file("bad.conllu"), c.text);
    const Inspection inspection = inspectSource(dir.file("bad.conllu"), ImportFormat::Conllu, Encoding::Auto);
    ASSERT_TRUE(inspection.plan);
    const ImportOutcome o =
        db.importBunsukDB({dir.file("bad.conllu"), dir.file("doc.id"), "UDKO001", true, false}, *inspection.plan);
    EXPECT_NE(o.code, result::kOk);
    EXPECT_EQ(outcomeMessage(o, *inspection.plan), c.message + " " + msg::kNothingWritten);
    EXPECT_EQ(test::dump(dir.file("doc.id")), before);
  }
}

TEST_F(Interchange, ConlluExportKeepsTheFormatRulesForAnyRecord) {
  // Blanks in and around a word, empty and untagged morphemes, a "/" form, a sentence
  // that never ends in SF, and a byte CP949 does not map.
  test::writeDocument(dir.file("odd.id"),
                      {{"A1", k("　두  칸 "), k("두/MM + 칸　/NNB")},
                       {"A2", "a", "A/NN + /? + B/NN"},
                       {"A3", k("뭐"), k("뭐")},
                       {"A4", "/", "//SP"},
                       {"A5", "\xC9\xA1", "\xC9\xA1/NNG + ./SF"},
                       {"A6", k("끝"), k("/?")},
                       {"A7", k("더"), k("더/MAG")}});
  const ExportOutcome o = db.exportBunsukDB(DocumentFormat::Conllu, dir.file("odd.id"), dir.file("odd.conllu"));
  ASSERT_EQ(o.code, result::kOk);
  EXPECT_EQ(o.sentences, 2u);
  EXPECT_EQ(o.records, 7u);
  EXPECT_EQ(o.replaced, 6u);  // each byte of the pair, in FORM, LEMMA and "# text"
  const std::string out = test::readFile(dir.file("odd.conllu"));
  EXPECT_EQ(levelOneBreach(out), "") << out;
  EXPECT_EQ(tokenColumns(out),
            "두 칸 두+칸 MM+NNB;a A++B NN+?+NN;뭐 뭐 _;/ / SP;\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD+. NNG+SF;|끝 _ ?;더 더 MAG;|");
  EXPECT_NE(exportMessage(o, DocumentFormat::Conllu).find("U+FFFD"), std::string::npos);
}

TEST_F(Interchange, ConlluIsWrittenInNfcTheOtherFormatsAsConverted) {
  // 豈 as the duplicate Hanja 0xCBD0 (U+F900) and Å as 0xA1CA (U+212B).
  test::writeDocument(dir.file("h.id"), {{"S1", "\xCB\xD0\xA1\xCA", "\xCB\xD0/SH + \xA1\xCA/SW"}});
  EXPECT_EQ(tokenColumns(exported(DocumentFormat::Conllu, dir.file("h.id"))),
            "\u8C48\u00C5 \u8C48+\u00C5 SH+SW;|");
  EXPECT_EQ(exported(DocumentFormat::Tsv, dir.file("h.id")),
            "serial\tword\tanalysis\nS1\t\uF900\u212B\t\uF900/SH + \u212B/SW\n");
}

TEST_F(Interchange, TsvAndUtf8TextExports) {
  test::writeDocument(dir.file("d.id"), {{"S1", k("\"그는"), k("\"/SS + 그/NP + 는/JX")},
                                         {"S2", k("갔다"), k("가/VV + 았/EP + 다/EF")}});
  EXPECT_EQ(exported(DocumentFormat::Tsv, dir.file("d.id")),
            "serial\tword\tanalysis\n"
            "S1\t\"\"\"그는\"\t\"\"\"/SS + 그/NP + 는/JX\"\n"
            "S2\t갔다\t가/VV + 았/EP + 다/EF\n");
  const std::string text = exported(DocumentFormat::TextUtf8, dir.file("d.id"));
  ASSERT_EQ(db.printDBcont(ExportKind::Document, dir.file("d.id"), dir.file("cp949.txt")), result::kOk);
  EXPECT_EQ(k(text), test::readFile(dir.file("cp949.txt")));
  // An empty document: the TSV header only, an empty CoNLL-U file.
  test::writeDocument(dir.file("e.id"), {});
  EXPECT_EQ(exported(DocumentFormat::Tsv, dir.file("e.id")), "serial\tword\tanalysis\n");
  EXPECT_EQ(exported(DocumentFormat::Conllu, dir.file("e.id")), "");
  // A failed export leaves the previous output.
  test::writeFile(dir.file("keep.tsv"), "previous");
  EXPECT_EQ(db.exportBunsukDB(DocumentFormat::Tsv, dir.file("missing.id"), dir.file("keep.tsv")).code,
            result::kOpenError);
  EXPECT_EQ(test::readFile(dir.file("keep.tsv")), "previous");
}

TEST_F(Interchange, ColumnsOfAnalysesAndSentenceEnds) {
  EXPECT_TRUE(conllu::endsSentence("./SF"));
  EXPECT_TRUE(conllu::endsSentence(k("다/EF + ./SF")));
  EXPECT_FALSE(conllu::endsSentence(k("다/EF + ,/SP")));
  EXPECT_FALSE(conllu::endsSentence(k("./SF + 고/JKQ")));
  EXPECT_FALSE(conllu::endsSentence("SF"));
  // A two-byte character whose second byte is "/" cannot exist; one whose second byte
  // looks like a letter must not be cut: 갂 is 0x81 0x41.
  const conllu::Columns c = conllu::columnsOf({"S", k("갂"), k("갂/NNG + 갂/XSN")});
  EXPECT_EQ(c.lemma, k("갂+갂"));
  EXPECT_EQ(c.xpos, "NNG+XSN");
}

}  // namespace
}  // namespace selvanor
