#include "facade/dbwrap.h"
#include "lexicon/auto_correction.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "common/cp949.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"
#include "support/file_size_limit.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;
using ListError = DBWrap::SujungOutcome::ListError;

// serial -> analysis
using Doc = std::map<std::string, std::string>;

class AutoCorrection : public ::testing::Test {
 protected:
  void makeDoc(const Doc& doc) {
    removeFile(docPath);
    Storage s;
    ASSERT_TRUE(s.open(docPath));
    for (const auto& [serial, analysis] : doc) {
      ASSERT_TRUE(s.put(serial, codec::encodeRecord({serial, "w" + serial, analysis})));
    }
    ASSERT_TRUE(s.close());
  }
  // The document as stored; words must be untouched.
  Doc readDoc() {
    Doc out;
    Storage s;
    EXPECT_TRUE(s.openWithCursor(docPath, nullptr, OpenMode::ExistingOnly));
    for (bool more = s.first(); more; more = s.next()) {
      auto r = codec::decodeRecord(s.value());
      if (!r) return {{"<bad>", ""}};
      EXPECT_EQ(r->serial, s.key());
      EXPECT_EQ(r->word, "w" + r->serial);
      out[r->serial] = r->analysis;
    }
    return out;
  }
  ResultCode run(std::string_view listBytes) {
    writeFile(listPath, listBytes);
    return db.autoSujung(docPath, listPath, &outcome);
  }
  std::vector<std::string> filesInDir() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  static ino_t inode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
  }

  test::ScratchDir dir;
  DiagnosticCapture diag;
  DBWrap db;
  DBWrap::SujungOutcome outcome;
  std::string docPath = dir.file("doc.id");
  std::string listPath = dir.file("sujeong.txt");
};

TEST_F(AutoCorrection, ListLinesAsTheLinguistWritesThem) {
  makeDoc({{"S1", k("먹/VV + 었/EP + 다/EF")},
           {"S2", k("가/NNG + 가/JKS")},          // twice: first occurrence only
           {"S3", k("나/NP + 는/JX")},
           {"S4", k("집/NNG\t + 에/JKB")},        // tab removed before the search
           {"S5", k("하늘/NNG")}});
  const ResultCode rc = run(k("먹/VV + 었/EP\t먹었/VV\r\n"
                              "\n   \n\t\t\n"
                              "*가\t*나\t세 번째 칸은 무시\n"
                              "나/NP\t\t\t틀린 것\n"
                              "나/NP\t너/NP\n"  // the same search text again: this one wins
                              "집/NNG + 에\t집/NNG + 에"));
  ASSERT_EQ(rc, result::kOk) << diag.text();
  EXPECT_EQ(readDoc(), (Doc{{"S1", k("먹었/VV + 다/EF")},
                            {"S2", k("나/NNG + 가/JKS")},
                            {"S3", k("너/NP + 는/JX")},
                            {"S4", k("집/NNG + 에/JKB")},
                            {"S5", k("하늘/NNG")}}));
  EXPECT_EQ(outcome.changedRecords, 4u);
  EXPECT_EQ(filesInDir(), (std::vector<std::string>{"doc.id", "sujeong.txt"}));  // no .fix, no copy
  EXPECT_EQ(diag.text(), "");
}

TEST_F(AutoCorrection, PairsRunInTheByteOrderOfTheirSearchTextsAsWritten) {
  makeDoc({{"S1", "B"}, {"S2", "Q"}, {"S3", "N"}});
  // File order is not run order. A -> B runs before B -> C, which then sees the B it wrote;
  // "*Q" sorts before "P" (0x2A < 0x50), so Q -> P runs first and P -> R then applies;
  // M -> L runs before M is written by N -> M.
  ASSERT_EQ(run("B\tC\nA\tB\nP\tR\n*Q\tP\nN\tM\nM\tL\n"), result::kOk);
  EXPECT_EQ(readDoc(), (Doc{{"S1", "C"}, {"S2", "R"}, {"S3", "M"}}));

  makeDoc({{"S1", "AB"}});
  ASSERT_EQ(run("B\tA\nA\tZ\n"), result::kOk);  // A -> Z first (AB -> ZB), then B -> A
  EXPECT_EQ(readDoc(), (Doc{{"S1", "ZA"}}));
}

TEST_F(AutoCorrection, ByteMatchesInsideACharacterAreNoMatches) {
  // 갂 = 81 41 ("A" as second byte), 갵 = 81 61 ("a"), 걖 = 81 81.
  makeDoc({{"S1", k("갂/NNG + A/SL")},  // "A/NNG" only from 갂's second byte; "A/SL" for real
           {"S2", k("갂/NNG")},
           {"S3", k("갵b + ab")}});
  ASSERT_EQ(run(k("A/NNG\tWRONG\nA/SL\tOK/SL\nab\tcd\n")), result::kOk);
  EXPECT_EQ(readDoc(), (Doc{{"S1", k("갂/NNG + OK/SL")},
                            {"S2", k("갂/NNG")},
                            {"S3", k("갵b + cd")}}));  // "ab" first inside 갵b, then as a word

  // 걖A = 81 81 41: "갂" (81 41) starts only on 걖's second byte; in 걖갂 it also stands whole.
  makeDoc({{"S4", k("걖A")}, {"S5", k("걖갂")}});
  ASSERT_EQ(run(k("갂\t각\n")), result::kOk);
  EXPECT_EQ(readDoc(), (Doc{{"S4", k("걖A")}, {"S5", k("걖각")}}));
}

// The order the run is defined by, over a whole in-memory document: for each pair in key
// order, every record in turn, first occurrence at a character boundary.
Doc modelRun(Doc doc, const std::map<std::string, std::string>& pairs) {
  auto strip = [](const std::string& s) {
    std::string out;
    for (char c : s) {
      if (c != '\t' && c != '\n') out += c;
    }
    return out;
  };
  auto boundaryFind = [](const std::string& s, const std::string& needle) {
    std::size_t i = 0;
    while (i + needle.size() <= s.size()) {
      if (s.compare(i, needle.size(), needle) == 0) return i;
      i += (static_cast<unsigned char>(s[i]) >= 0x81 && i + 1 < s.size()) ? 2 : 1;
    }
    return std::string::npos;
  };
  for (const auto& [from, to] : pairs) {
    std::string f = strip(from);
    if (!f.empty() && f[0] == '*') f.erase(0, 1);
    const std::string t = !to.empty() && to[0] == '*' ? to.substr(1) : to;
    for (auto& [serial, analysis] : doc) {
      const std::string a = strip(analysis);
      const std::size_t at = boundaryFind(a, f);
      if (at != std::string::npos) analysis = a.substr(0, at) + t + a.substr(at + f.size());
    }
  }
  return doc;
}

TEST_F(AutoCorrection, OnePassGivesWhatPairAfterPairOverTheWholeDocumentGives) {
  // Few distinct pieces, so that searches hit, overlap, share prefixes and suffixes, feed
  // each other and straddle the two bytes of 갂 / 갵 / 걖.
  const std::vector<std::string> pieces = {k("갂"), k("갵"), k("걖"), k("가"), "A", "a",
                                           "/",     " + ",  "\t",   "AA",   k("나")};
  std::mt19937 rng(20240611);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  auto text = [&](std::size_t maxPieces, bool tabs) {
    std::string s;
    const std::size_t n = 1 + pick(maxPieces);
    for (std::size_t i = 0; i < n; ++i) {
      const std::string& p = pieces[pick(pieces.size())];
      if (p == "\t" && !tabs) continue;
      s += p;
    }
    return s;
  };
  for (int round = 0; round < 150; ++round) {
    Doc doc;
    const std::size_t records = 1 + pick(6);
    for (std::size_t r = 0; r < records; ++r) doc["S" + std::to_string(r)] = text(8, true);
    std::string list;
    std::map<std::string, std::string> pairs;  // key order; later lines win
    const std::size_t lines = 1 + pick(6);
    for (std::size_t l = 0; l < lines; ++l) {
      std::string from(cp949::trim(text(3, false)));
      if (from.empty()) continue;
      if (pick(5) == 0) from = "*" + from;
      // "*" alone is an empty replacement: the search text is deleted.
      std::string to = pick(4) == 0 ? "*" : std::string(cp949::trim(text(3, false)));
      if (to.empty()) to = "*";
      if (pick(5) == 0 && to != "*") to = "*" + to;
      list += from + "\t" + to + "\n";
      pairs[from] = to;
    }
    makeDoc(doc);
    ASSERT_EQ(run(list), result::kOk) << diag.text();
    const Doc expected = modelRun(doc, pairs);
    ASSERT_EQ(readDoc(), expected) << "round " << round << " list:\n" << test::u(list);
  }
}

TEST_F(AutoCorrection, MalformedListsChangeNothing) {
  const Doc doc = {{"S1", k("가/NNG + 나/NNG")}};
  struct Case {
    std::string list;
    ListError error;
    unsigned long line;
    std::string text;
  };
  const std::vector<Case> cases = {
      {k("가/NNG\t다/NNG\n\n나/NNG 다/NNG\n"), ListError::NoReplacement, 3, k("나/NNG 다/NNG")},
      {k("*\t다/NNG\n"), ListError::EmptySearch, 1, k("*\t다/NNG")},
      {"\xEA\xB0\x80/NNG\t\xEB\x8B\xA4\n", ListError::NotCp949, 1,  // 가 / 다 in UTF-8
       "\xEA\xB0\x80/NNG\t\xEB\x8B\xA4"},
      {std::string("A\tB\n\x81\n", 6), ListError::NotCp949, 2, "\x81"},  // a lone lead byte
  };
  for (const Case& c : cases) {
    makeDoc(doc);
    const std::string before = readFile(docPath);
    EXPECT_EQ(run(c.list), result::kListFormatError) << test::u(c.list);
    EXPECT_EQ(outcome.listError, c.error) << test::u(c.list);
    EXPECT_EQ(outcome.errorLine, c.line) << test::u(c.list);
    EXPECT_EQ(outcome.errorText, c.text);
    EXPECT_EQ(readFile(docPath), before);
    EXPECT_EQ(filesInDir(), (std::vector<std::string>{"doc.id", "sujeong.txt"}));
  }
  EXPECT_NE(correction::formatErrorDetail(outcome).find("[2]"), std::string::npos);
  EXPECT_EQ(outcome.foreignText, "");
}

// The list takes what documents take: structural CP949, also where iconv maps nothing.
TEST_F(AutoCorrection, ListAcceptsTheCp949DocumentsHold) {
  makeDoc({{"S1", "\xC9\xA1/NNG + \xFE\xFE/NNG"}});
  ASSERT_EQ(run("\xC9\xA1/NNG\t\xC9\xA2/NNP\n\xFE\xFE/NNG\tX/SL\n"), result::kOk)
      << correction::formatErrorDetail(outcome);
  EXPECT_EQ(readDoc(), (Doc{{"S1", "\xC9\xA2/NNP + X/SL"}}));
}

// A list in UTF-8 or UTF-16 is refused at its first line with what it looks like, even
// where its bytes happen to pair up as CP949 (먹다 in UTF-8: EB A8 | B9 EB | 8B A4).
TEST_F(AutoCorrection, ForeignListsAreRefusedWithWhatTheyLookLike) {
  const Doc doc = {{"S1", k("가/NNG")}};
  const std::string meokda = "\xEB\xA8\xB9\xEB\x8B\xA4";
  const struct {
    std::string list;
    const char* looksLike;
  } cases[] = {
      {meokda + "\t" + meokda + "/VV\n", "UTF-8로 된 파일로 보입니다."},
      {"\xEF\xBB\xBF" "A\tB\n", "UTF-8(BOM 있음)로 된 파일로 보입니다."},
      {std::string("\xFE\xFF\0A\0\t\0B", 8), "UTF-16(BE)로 된 파일로 보입니다."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.looksLike);
    makeDoc(doc);
    const std::string before = readFile(docPath);
    EXPECT_EQ(run(c.list), result::kListFormatError);
    EXPECT_EQ(outcome.listError, ListError::NotCp949);
    EXPECT_EQ(outcome.errorLine, 1u);
    const std::string detail = correction::formatErrorDetail(outcome);
    EXPECT_NE(detail.find(c.looksLike), std::string::npos) << detail;
    EXPECT_EQ(readFile(docPath), before);
  }
}

// Each failure says what failed: an unreadable list, an unopenable document, a write
// that the disk refuses.
TEST(AutoCorrectionMessages, SayWhatFailed) {
  EXPECT_STREQ(correction::outcomeMessage(result::kTextFileError), correction::msg::kCannotOpen);
  EXPECT_STREQ(correction::outcomeMessage(result::kOpenError),
               correction::msg::kCannotOpenDocument);
  EXPECT_STREQ(correction::outcomeMessage(result::kInsertError), correction::msg::kCannotWrite);
  EXPECT_NE(std::string(correction::msg::kCannotWrite).find("디스크가 가득"), std::string::npos);
}

TEST_F(AutoCorrection, AWriteTheDiskRefusesIsAWriteErrorAndChangesNothing) {
  Doc doc;
  for (int i = 0; i < 3000; ++i) doc["S" + std::to_string(100000 + i)] = "A/NNG";
  makeDoc(doc);
  const std::string before = readFile(docPath);
  ASSERT_GT(before.size(), 64u * 1024);
  writeFile(listPath, "A/NNG\tB/NNG\n");
  {
    // Files may grow to 32 KiB only: the working file fits, the document's copy does not.
    test::FileSizeLimit limit(32 * 1024);
    EXPECT_EQ(db.autoSujung(docPath, listPath, &outcome), result::kInsertError);
  }
  EXPECT_STREQ(correction::outcomeMessage(result::kInsertError), correction::msg::kCannotWrite);
  EXPECT_EQ(readFile(docPath), before);
  EXPECT_EQ(filesInDir(), (std::vector<std::string>{"doc.id", "sujeong.txt"}));
}

TEST_F(AutoCorrection, AFailedRunLeavesTheDocumentAsItWas) {
  makeDoc({{"S1", "A"}, {"S3", "A"}});
  {
    // A record in the middle that is not an analysis record: the run stops there, after
    // S1 was already corrected in the copy.
    Storage s;
    ASSERT_TRUE(s.open(docPath));
    ASSERT_TRUE(s.put("S2", "not a record"));
  }
  const std::string before = readFile(docPath);
  EXPECT_EQ(run("A\tB\n"), result::kOpenError);
  EXPECT_EQ(diag.text(), "DBWrap::autoSujung => DB value error\n");
  EXPECT_EQ(readFile(docPath), before);
  EXPECT_EQ(filesInDir(), (std::vector<std::string>{"doc.id", "sujeong.txt"}));

  // A missing document is not created; a missing list is not a document problem.
  diag.clear();
  removeFile(docPath);
  EXPECT_EQ(run("A\tB\n"), result::kOpenError);
  EXPECT_FALSE(fileExists(docPath));
  EXPECT_EQ(db.autoSujung(docPath, dir.file("none.txt")), result::kTextFileError);

  // A list whose working file would be the document itself is refused before anything.
  docPath = dir.file("sujeong.fix");
  makeDoc({{"S1", "A"}});
  const std::string fixBefore = readFile(docPath);
  EXPECT_EQ(run("A\tB\n"), result::kOpenError);
  EXPECT_EQ(readFile(docPath), fixBefore);
}

TEST_F(AutoCorrection, ARunThatChangesNothingLeavesTheFileItself) {
  makeDoc({{"S1", "A\tB"}, {"S2", "C"}});
  const ino_t before = inode(docPath);
  ASSERT_EQ(run("X\tY\n\n"), result::kOk);
  EXPECT_EQ(inode(docPath), before);
  EXPECT_EQ(readDoc(), (Doc{{"S1", "A\tB"}, {"S2", "C"}}));  // an unmatched tab stays
  ASSERT_EQ(run("C\tC\n"), result::kOk);                      // a match that changes nothing
  EXPECT_EQ(inode(docPath), before);
  EXPECT_EQ(outcome.changedRecords, 0u);
}

TEST_F(AutoCorrection, WorkingFileHoldsOnePairPerSearchTextAndIsReplacedOnlyWhenBuilt) {
  writeFile(listPath, k("나\t너\n*가\t*나\n나\t저\n"));
  std::string fix;
  ASSERT_EQ(db.makeSujungDB(fix, listPath), result::kOk);
  EXPECT_EQ(fix, dir.file("sujeong.fix"));
  std::vector<std::pair<std::string, std::string>> stored;
  {
    Storage s;
    ASSERT_TRUE(s.openWithCursor(fix, nullptr, OpenMode::ExistingOnly));
    for (bool more = s.first(); more; more = s.next()) {
      auto p = codec::decodePair(s.value());
      ASSERT_TRUE(p);
      stored.emplace_back(std::string(s.key()), (*p)[0] + "|" + (*p)[1]);
    }
  }
  EXPECT_EQ(stored, (std::vector<std::pair<std::string, std::string>>{
                        {k("*가"), k("*가|*나")}, {k("나"), k("나|저")}}));

  const std::string built = readFile(fix);
  writeFile(listPath, k("나\t너\n틀린 줄\n"));
  EXPECT_EQ(db.makeSujungDB(fix, listPath), result::kListFormatError);
  EXPECT_EQ(readFile(fix), built);

  // A list named like its own working file would be overwritten: refused.
  EXPECT_EQ(db.makeSujungDB(fix, fix), result::kOpenError);
  EXPECT_EQ(readFile(fix), built);
}

}  // namespace
}  // namespace selvanor
