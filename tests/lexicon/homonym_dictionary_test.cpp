#include "facade/dbwrap.h"
#include "common/derived_paths.h"
#include "lexicon/homonym_dictionary.h"

#include <gtest/gtest.h>

#include "common/diagnostics.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;
using Entry = DBWrap::DongumEntry;

class HomonymDictionary : public ::testing::Test {
 protected:
  // Every sense of a dictionary as "key: headword/numbered/hanja/meaning" (UTF-8), in key
  // and stored order, read straight from the file.
  std::vector<std::string> senses(const std::string& dic) {
    std::vector<std::string> out;
    Storage s;
    if (!s.openWithCursor(dic, nullptr, OpenMode::ExistingOnly)) return {"<cannot open>"};
    for (bool more = s.first(); more; more = s.next()) {
      auto items = codec::decodeQuadList(s.value());
      if (!items) return {"<bad value>"};
      for (const auto& f : *items) {
        out.push_back(test::u(s.key()) + ": " + test::u(f[0]) + "/" + test::u(f[1]) + "/" +
                      test::u(f[2]) + "/" + test::u(f[3]));
      }
    }
    return out;
  }
  std::string build(std::string_view sourceUtf8, ResultCode expected = result::kOk) {
    writeFile(dir.file("h.txt"), k(sourceUtf8));
    EXPECT_EQ(db.makeDongumDB(dir.file("h.txt"), dir.file("h.dic")), expected);
    return dir.file("h.dic");
  }
  Entry entry(std::string_view h, std::string_view n, std::string_view hanja, std::string_view m) {
    return {k(h), k(n), k(hanja), k(m)};
  }

  test::ScratchDir dir;
  DiagnosticCapture diag;
  DBWrap db;
};

TEST_F(HomonymDictionary, WriteEncapRecAppendsAndDropsRepeatedNumberedForms) {
  Storage s;
  ASSERT_TRUE(s.open(dir.file("w.db")));
  const std::string first = codec::encodeQuad({k("가"), k("가01"), " ", k("뜻")});
  ASSERT_EQ(db.writeEncapRec(s, DBWrap::kHomonymItem, k("가"), first), result::kOk);
  ASSERT_TRUE(s.get(k("가")));
  EXPECT_EQ(s.value(), codec::encodeList({first}));  // count 1, total = the item's length
  // Same numbered form, other fields differ: dropped, value unchanged.
  const std::string again = codec::encodeQuad({k("가"), k("가01"), "x", "y"});
  ASSERT_EQ(db.writeEncapRec(s, DBWrap::kHomonymItem, k("가"), again), result::kOk);
  ASSERT_TRUE(s.get(k("가")));
  EXPECT_EQ(s.value(), codec::encodeList({first}));
  // Reference items are appended even when equal.
  const std::string rec = codec::encodeTriple("S1", "w", "a");
  ASSERT_EQ(db.writeEncapRec(s, DBWrap::kRecordItem, "w", rec), result::kOk);
  ASSERT_EQ(db.writeEncapRec(s, DBWrap::kRecordItem, "w", rec), result::kOk);
  ASSERT_TRUE(s.get("w"));
  EXPECT_EQ(s.value(), codec::encodeList({rec, rec}));
  // A value of the other kind is never buried under an appended item; nor is a wrong item stored.
  EXPECT_EQ(db.writeEncapRec(s, DBWrap::kHomonymItem, "w", first), result::kInsertError);
  EXPECT_EQ(db.writeEncapRec(s, DBWrap::kRecordItem, "new", first), result::kInsertError);
  ASSERT_TRUE(s.get("w"));
  EXPECT_EQ(s.value(), codec::encodeList({rec, rec}));
  EXPECT_FALSE(s.get("new"));
}

TEST_F(HomonymDictionary, BuildJoinsContinuationLinesAndKeepsTheFirstOfDuplicates) {
  const std::string dic = build(
      "\r\n  \n#1사과#2사과01#3沙果#5과일의 하나\r\n"
      "#1사과#2사과02#5사과\n   하는 \n\t일\n"   // three lines, joined without blanks
      "#1배#2배01#3梨#$과일\n"
      "#1사과#2사과01#3x#5다른 뜻\n"           // repeated numbered form: the first stays
      "##1배##2배02###5  배  ");               // runs of "#"; no line end at the end
  EXPECT_EQ(senses(dic), (std::vector<std::string>{
                             "배: 배/배01/梨/과일", "배: 배/배02/ /  배",
                             "사과: 사과/사과01/沙果/과일의 하나", "사과: 사과/사과02/ /사과하는일"}));
  // Empty and blank-only sources give an empty dictionary.
  writeFile(dir.file("e.txt"), "\n \t \r\n");
  ASSERT_EQ(db.makeDongumDB(dir.file("e.txt"), dir.file("e.dic")), result::kOk);
  EXPECT_TRUE(senses(dir.file("e.dic")).empty());
  EXPECT_EQ(derived::homonymDictionary("/a.b/homonym.txt"), "/a.b/homonym.dic");
  EXPECT_EQ(derived::homonymDictionary("/a.b/homonym"), "/a.b/homonym.dic");
}

TEST_F(HomonymDictionary, SensesOfOneHeadWordInARowAreWrittenTogetherWithTheSameRules) {
  // A head word's senses are gathered and written once; a repeat within the run, or of a
  // sense stored by an earlier run of the same head word, is still dropped.
  const std::string dic = build(
      "#1가#2가01#5a\n#1가#2가02#5b\n#1가#2가01#5c\n#1나#2나01#5n\n"
      "#1가#2가03#5d\n#1가#2가02#5e\n");
  EXPECT_EQ(senses(dic), (std::vector<std::string>{"가: 가/가01/ /a", "가: 가/가02/ /b",
                                                    "가: 가/가03/ /d", "나: 나/나01/ /n"}));
}

TEST_F(HomonymDictionary, FormatErrorsNameTheLineAndKeepThePreviousDictionary) {
  const std::string dic = build("#1가#2가01#5뜻\n");
  struct Case {
    const char* source;
    unsigned long line;
    const char* record;
  };
  const Case cases[] = {
      {"#1가#2가01\n#1나#2나01#5뜻\n", 2, "#1가#2가01"},                    // no meaning
      {"#1나#2나01#5뜻\n#1가#2가01#3家#5뜻#5또", 2, "#1가#2가01#3家#5뜻#5또"},  // fifth field
      {"서문\n#1가#2가01#5뜻\n", 2, "서문"},                                  // text before the first record
      {"#1가#2가01#5뜻은 #이다\n", 1, "#1가#2가01#5뜻은 #이다"},              // "#" inside a meaning
      {"#2가01#1가#5뜻\n", 1, "#2가01#1가#5뜻"},                                // fields out of order
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    build(c.source, DBWrap::kDongumFormatError);
    EXPECT_EQ(db.dongumFormatError().line, c.line);
    EXPECT_EQ(test::u(db.dongumFormatError().record), c.record);
    EXPECT_EQ(senses(dic), std::vector<std::string>{"가: 가/가01/ /뜻"});
  }
  EXPECT_EQ(homonym::formatErrorMessage({7, k("#1가"), {}}),
            "[7]라인 주위에 형식오류가 있습니다.\r\n"
            "형식:[#1...#2...#3...#5...] 또는 [#1..#2...#3...#$...]\r\n입력문장:[#1가]");
  // An unreadable source changes nothing and creates nothing.
  EXPECT_EQ(db.makeDongumDB(dir.file("none.txt"), dic), result::kTextFileError);
  EXPECT_EQ(db.makeDongumDB(dir.file("none.txt"), dir.file("new.dic")), result::kTextFileError);
  EXPECT_FALSE(fileExists(dir.file("new.dic")));
  EXPECT_EQ(senses(dic), std::vector<std::string>{"가: 가/가01/ /뜻"});
  // A dictionary never replaces its own source.
  writeFile(dir.file("self.dic"), k("#1가#2가01#5뜻\n"));
  EXPECT_EQ(db.makeDongumDB(dir.file("self.dic"), dir.file("self.dic")), result::kOpenError);
  EXPECT_EQ(readFile(dir.file("self.dic")), k("#1가#2가01#5뜻\n"));
}

// A source in UTF-8 or UTF-16 is refused with what it looks like; the dictionary stays.
TEST_F(HomonymDictionary, ForeignSourcesAreRefusedWithWhatTheyLookLike) {
  const std::string dic = build("#1가#2가01#5뜻\n");
  const std::string utf8 = "#1\xEA\xB0\x80#2\xEA\xB0\x80" "01#5\xEB\x9C\xBB\n";  // 가, 뜻
  const struct {
    std::string bytes;
    const char* looksLike;
  } cases[] = {
      {utf8, "UTF-8로 된 파일로 보입니다. CP949로 바꾸어 주십시오."},
      {std::string("\xFF\xFE#\0" "1\0", 6), "UTF-16(LE)로 된 파일로 보입니다. CP949로 바꾸어 주십시오."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.looksLike);
    writeFile(dir.file("h.txt"), c.bytes);
    EXPECT_EQ(db.makeDongumDB(dir.file("h.txt"), dic), DBWrap::kDongumFormatError);
    EXPECT_EQ(db.dongumFormatError().foreignText, c.looksLike);
    const std::string message = homonym::formatErrorMessage(db.dongumFormatError());
    EXPECT_EQ(message.substr(message.size() - std::string(c.looksLike).size()), c.looksLike);
    EXPECT_EQ(senses(dic), std::vector<std::string>{"가: 가/가01/ /뜻"});
  }
  // A long record is echoed in part.
  const std::string message = homonym::formatErrorMessage({1, std::string(5000, 'x'), {}});
  EXPECT_NE(message.find(std::string(200, 'x') + "\xE2\x80\xA6]"), std::string::npos);
  EXPECT_LT(message.size(), 400u);
}

TEST_F(HomonymDictionary, LongLinesAndFieldsAreStoredWhole) {
  const std::string meaning(6000, 'm');
  std::string source = k("#1가#2가01#5") + meaning.substr(0, 4500) + "\n" + meaning.substr(4500);
  writeFile(dir.file("long.txt"), source);
  ASSERT_EQ(db.makeDongumDB(dir.file("long.txt"), dir.file("long.dic")), result::kOk);
  std::vector<Entry> found;
  ASSERT_EQ(db.getDongum(dir.file("long.dic"), k("가"), found), result::kOk);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].meaning, meaning);
  // Entry fields well past the page's old 511-byte buffers.
  const Entry big{k("가"), std::string(700, 'n'), std::string(600, 'h'), std::string(2000, 'x')};
  ASSERT_EQ(db.addDongumRec(dir.file("long.dic"), big), result::kOk);
  ASSERT_EQ(db.getDongum(dir.file("long.dic"), k("가"), found), result::kOk);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[1].numberedForm, big.numberedForm);
  EXPECT_EQ(found[1].meaning, big.meaning);
}

TEST_F(HomonymDictionary, LookupKeepsItsDictionaryOpenButSeesItsOwnChanges) {
  const std::string dic = build("#1가#2가01#5하나\n#1가#2가02#5둘\n");
  std::vector<Entry> found;
  ASSERT_EQ(db.getDongum(dic, k("가"), found), result::kOk);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[1].numberedForm, k("가02"));
  EXPECT_EQ(db.getDongum(dic, k("나"), found), result::kNothingToRead);
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(db.getDongum(dic, "", found), result::kNothingToRead);

  ASSERT_EQ(db.addDongumRec(dic, entry("가", "가03", "家", "셋")), result::kOk);
  ASSERT_EQ(db.getDongum(dic, k("가"), found), result::kOk);
  EXPECT_EQ(found.size(), 3u);

  EXPECT_EQ(db.getDongum(dir.file("missing.dic"), k("가"), found), DBWrap::kDongumUnavailable);
  EXPECT_FALSE(fileExists(dir.file("missing.dic")));
  // A failed open does not stop the next look-up of a good dictionary.
  EXPECT_EQ(db.getDongum(dic, k("가"), found), result::kOk);
}

TEST_F(HomonymDictionary, AddRemoveAndModify) {
  const std::string dic = dir.file("new.dic");
  ASSERT_EQ(db.addDongumRec(dic, entry("가", "가01", "家", "집")), result::kOk);  // creates it
  ASSERT_EQ(db.addDongumRec(dic, entry("가", "가02", "歌", "노래")), result::kOk);
  ASSERT_EQ(db.addDongumRec(dic, entry("가", "가03", "可", "옳음")), result::kOk);
  EXPECT_EQ(db.addDongumRec(dic, entry("가", "가02", "x", "y")), result::kAlreadyExists);

  // Modifying is remove + add: the sense moves to the end of its head word.
  ASSERT_EQ(db.removeDongumRec(dic, k("가"), k("가01")), result::kOk);
  ASSERT_EQ(db.addDongumRec(dic, entry("가", "가01", "家", "집안")), result::kOk);
  EXPECT_EQ(senses(dic), (std::vector<std::string>{"가: 가/가02/歌/노래", "가: 가/가03/可/옳음",
                                                   "가: 가/가01/家/집안"}));
  // A sense that is not there is not removed in its place, even when it would be the only one.
  ASSERT_EQ(db.addDongumRec(dic, entry("나", "나01", " ", "하나")), result::kOk);
  EXPECT_EQ(db.removeDongumRec(dic, k("나"), k("나99")), result::kKeyNotFound);
  EXPECT_EQ(db.removeDongumRec(dic, k("다"), k("다01")), result::kKeyNotFound);
  ASSERT_EQ(db.removeDongumRec(dic, k("나"), k("나01")), result::kOk);  // the last sense takes the key
  ASSERT_EQ(db.removeDongumRec(dic, k("가"), k("가03")), result::kOk);
  EXPECT_EQ(senses(dic), (std::vector<std::string>{"가: 가/가02/歌/노래", "가: 가/가01/家/집안"}));

  EXPECT_EQ(db.removeDongumRec(dir.file("missing.dic"), k("가"), k("가01")), result::kOpenError);
  EXPECT_FALSE(fileExists(dir.file("missing.dic")));
  // An unregistered-word dictionary is not written into.
  {
    Storage s;
    ASSERT_TRUE(s.open(dir.file("u.mdj")));
    ASSERT_TRUE(s.put(k("가"), "note"));
  }
  EXPECT_EQ(db.addDongumRec(dir.file("u.mdj"), entry("나", "나01", " ", "x")), result::kOpenError);
  EXPECT_EQ(db.removeDongumRec(dir.file("u.mdj"), k("가"), "x"), result::kOpenError);
}

TEST_F(HomonymDictionary, MergeKeepsTheBasesSensesFirst) {
  writeFile(dir.file("base.txt"), k("#1가#2가01#5기본\n#1가#2가02#5기본둘\n"));
  writeFile(dir.file("other.txt"), k("#1가#2가02#5다른\n#1가#2가05#5새\n#1나#2나01#5새말\n"));
  ASSERT_EQ(db.makeDongumDB(dir.file("base.txt"), dir.file("base.dic")), result::kOk);
  ASSERT_EQ(db.makeDongumDB(dir.file("other.txt"), dir.file("other.dic")), result::kOk);
  const auto otherBefore = senses(dir.file("other.dic"));

  ASSERT_EQ(db.mergeDongumDB(dir.file("base.dic"), dir.file("other.dic")), result::kOk);
  const std::vector<std::string> merged{"가: 가/가01/ /기본", "가: 가/가02/ /기본둘",
                                        "가: 가/가05/ /새", "나: 나/나01/ /새말"};
  EXPECT_EQ(senses(dir.file("base.dic")), merged);
  EXPECT_EQ(senses(dir.file("other.dic")), otherBefore);
  // Into itself: nothing changes.
  ASSERT_EQ(db.mergeDongumDB(dir.file("base.dic"), dir.file("base.dic")), result::kOk);
  EXPECT_EQ(senses(dir.file("base.dic")), merged);
  // A missing base is created; a missing other is a failure that creates nothing.
  ASSERT_EQ(db.mergeDongumDB(dir.file("fresh.dic"), dir.file("other.dic")), result::kOk);
  EXPECT_EQ(senses(dir.file("fresh.dic")), otherBefore);
  EXPECT_EQ(db.mergeDongumDB(dir.file("none.dic"), dir.file("gone.dic")), result::kOpenError);
  EXPECT_FALSE(fileExists(dir.file("none.dic")));
  EXPECT_FALSE(fileExists(dir.file("gone.dic")));
  EXPECT_NE(diag.text().find("DBWrap::mergeDongumDB => DB open error\n"), std::string::npos);
  // A foreign other is refused before anything is written.
  {
    Storage s;
    ASSERT_TRUE(s.open(dir.file("u.mdj")));
    ASSERT_TRUE(s.put(k("다"), "note"));
  }
  EXPECT_EQ(db.mergeDongumDB(dir.file("base.dic"), dir.file("u.mdj")), result::kOpenError);
  EXPECT_EQ(senses(dir.file("base.dic")), merged);
  EXPECT_EQ(homonym::mergeOutcomeMessage(homonym::msg::kMergeMode, result::kOk),
            "동음어 사전이 합쳐졌습니다.");
  EXPECT_EQ(homonym::mergeOutcomeMessage(homonym::msg::kMergeMode, result::kOpenError),
            "동음어 사전을 합치지 못했습니다.");
}

TEST_F(HomonymDictionary, DumpRebuildsTheSameDictionary) {
  const std::string dic = build("#1사과#2사과02#5사과\n 하는 일\n#1사과#2사과01#3沙果#$과일\n#1갂#2갂01#3#5\n");
  ASSERT_EQ(db.addDongumRec(dic, entry("갵", "갵a", "", "aA")), result::kOk);
  ASSERT_EQ(db.printDBcont(ExportKind::Homonym, dic, dir.file("dump.txt")), result::kOk);
  EXPECT_EQ(readFile(dir.file("dump.txt")),
            k("#1갂#2갂01#3#5\r\n#1갵#2갵a#3#5aA\r\n#1사과#2사과02#3 #5사과하는 일\r\n"
              "#1사과#2사과01#3沙果#5과일\r\n"));
  ASSERT_EQ(db.makeDongumDB(dir.file("dump.txt"), dir.file("again.dic")), result::kOk);
  EXPECT_EQ(senses(dir.file("again.dic")), senses(dic));

  // Failures: a missing dictionary, an unwritable output.
  writeFile(dir.file("out.txt"), "previous");
  EXPECT_EQ(db.printDBcont(ExportKind::Homonym, dir.file("none.dic"), dir.file("out.txt")),
            result::kOpenError);
  EXPECT_EQ(readFile(dir.file("out.txt")), "previous");
  EXPECT_EQ(db.printDBcont(ExportKind::Homonym, dic, dir.file("no/out.txt")), result::kTextFileError);
  EXPECT_EQ(homonym::saveOutcomeMessage(result::kTextFileError),
            "동음어 사전을 텍스트로 저장하지 못했습니다.");
}

}  // namespace
}  // namespace selvanor
