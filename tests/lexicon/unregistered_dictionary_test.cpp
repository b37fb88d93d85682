#include "lexicon/unregistered_dictionary.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "common/diagnostics.h"
#include "common/files.h"
#include "facade/dbwrap.h"
#include "store/engine/storage.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;

class UnregisteredDictionary : public ::testing::Test {
 protected:
  // "word=note" per entry (UTF-8), as FindMideungjae lists them for `prefix`.
  std::vector<std::string> find(std::string_view prefix, const std::string& dic = "") {
    std::vector<DBWrap::MideungjaeEntry> entries;
    const ResultCode rc = db.FindMideungjae(dic.empty() ? path : dic, prefix, entries);
    if (rc != DBWrap::kMideungjaeFound) return {"<" + std::to_string(rc) + ">"};
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(test::u(e.word) + "=" + test::u(e.note));
    return out;
  }
  void add(std::string_view word, std::string_view note, const std::string& dic = "") {
    ASSERT_EQ(db.addMideungjae(dic.empty() ? path : dic, k(word), k(note), false), result::kOk);
  }

  test::ScratchDir dir;
  std::string path = dir.file("u.mdj");
  DiagnosticCapture diag;
  DBWrap db;
};

TEST_F(UnregisteredDictionary, PrefixSearchMatchesWholeCharactersInKeyOrder) {
  // 갂 is 0x81 0x41 ("A" as its second byte), 갵 is 0x81 0x61 ("a").
  for (const char* w : {"나가", "가다", "가", "가게", "갂", "갂다", "갵", "A", "Aa", "a"}) add(w, w);
  EXPECT_EQ(find(k("가")), (std::vector<std::string>{"가=가", "가게=가게", "가다=가다"}));
  EXPECT_EQ(find(""), (std::vector<std::string>{"A=A", "Aa=Aa", "a=a", "갂=갂", "갂다=갂다",
                                                "갵=갵", "가=가", "가게=가게", "가다=가다",
                                                "나가=나가"}));
  EXPECT_EQ(find("A"), (std::vector<std::string>{"A=A", "Aa=Aa"}));
  EXPECT_EQ(find("a"), (std::vector<std::string>{"a=a"}));
  EXPECT_EQ(find(k("갂")), (std::vector<std::string>{"갂=갂", "갂다=갂다"}));
  // A lone lead byte is not the first half of 갂 or 갵.
  EXPECT_EQ(find("\x81"), std::vector<std::string>{});
  EXPECT_EQ(find(k("없")), std::vector<std::string>{});

  // The file must exist, and be a database.
  EXPECT_EQ(find("", dir.file("none.mdj")), std::vector<std::string>{"<-600>"});
  EXPECT_FALSE(fileExists(dir.file("none.mdj")));
  test::writeFile(dir.file("text.mdj"), "just text\n");
  EXPECT_EQ(find("", dir.file("text.mdj")), std::vector<std::string>{"<-700>"});
  EXPECT_EQ(readFile(dir.file("text.mdj")), "just text\n");
}

// The search as first written, kept as the model: walk from the first key, take the words
// that begin with the prefix, stop at the first key whose leading bytes sort after it.
std::vector<std::pair<std::string, std::string>> walkFromFirst(const std::string& dictionary,
                                                               std::string_view prefix) {
  std::vector<std::pair<std::string, std::string>> out;
  Storage dic;
  EXPECT_TRUE(dic.openWithCursor(dictionary, nullptr, OpenMode::ExistingOnly));
  for (bool more = dic.first(); more; more = dic.next()) {
    const std::string_view word = dic.key();
    if (unregistered::beginsWithWhole(word, prefix)) {
      out.emplace_back(word, dic.value());
    } else if (word.substr(0, prefix.size()) > prefix) {
      break;
    }
  }
  return out;
}

TEST_F(UnregisteredDictionary, PrefixSearchAgreesWithAWalkFromTheFirstKey) {
  // Words built of 갂 and 갵 (second bytes 'A' and 'a'), 가, ASCII, lone lead bytes (which
  // pair with what follows, or end the word cut off) and bytes that start nothing.
  const std::string pieces[] = {k("갂"), k("갵"), k("가"), "A", "a", "\x81", "\xB0", "\xFF", "0"};
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1), length(0, 4);
  std::set<std::string> words;
  for (int i = 0; i < 150; ++i) {
    std::string word;
    for (std::size_t n = length(rng); n > 0; --n) word += pieces[pick(rng)];
    if (words.insert(word).second) {
      ASSERT_EQ(db.addMideungjae(path, word, "#" + std::to_string(i), false), result::kOk);
    }
  }
  // Every byte prefix of every word (many end inside a character), and prefixes before,
  // between and after all words.
  std::set<std::string> prefixes{"", "\x81", "\xFF\xFF", std::string(9, '\xFF'), "B"};
  for (const std::string& w : words) {
    for (std::size_t n = 0; n <= w.size(); ++n) prefixes.insert(w.substr(0, n));
    prefixes.insert(w + "A");
  }
  for (const std::string& prefix : prefixes) {
    std::vector<DBWrap::MideungjaeEntry> entries;
    ASSERT_EQ(db.FindMideungjae(path, prefix, entries), DBWrap::kMideungjaeFound);
    std::vector<std::pair<std::string, std::string>> got;
    for (auto& e : entries) got.emplace_back(std::move(e.word), std::move(e.note));
    EXPECT_EQ(got, walkFromFirst(path, prefix)) << ::testing::PrintToString(prefix);
  }
  EXPECT_EQ(diag.text(), "");
}

TEST_F(UnregisteredDictionary, AddKeepsOrReplacesNotesOfAnyLength) {
  add("가", "첫 비고");
  EXPECT_EQ(db.addMideungjae(path, k("가"), k("다른 비고"), false), result::kAlreadyExists);
  EXPECT_EQ(find(k("가")), std::vector<std::string>{"가=첫 비고"});
  // Modifying: remove the old word, then store with replacing; onto an existing word it
  // overwrites that entry.
  add("나", "나의 비고");
  ASSERT_EQ(db.removeMideungjae(path, k("가")), result::kOk);
  ASSERT_EQ(db.addMideungjae(path, k("나"), k("새 비고\r\n둘째 줄"), true), result::kOk);
  EXPECT_EQ(find(""), std::vector<std::string>{"나=새 비고\r\n둘째 줄"});
  // Past the page's old 511/1023-byte buffers.
  const std::string word(800, 'w'), note(5000, 'n');
  ASSERT_EQ(db.addMideungjae(path, word, note, false), result::kOk);
  std::vector<DBWrap::MideungjaeEntry> found;
  ASSERT_EQ(db.FindMideungjae(path, word, found), DBWrap::kMideungjaeFound);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].note, note);
  EXPECT_EQ(db.addMideungjae(dir.file("no/u.mdj"), "x", "y", false), result::kOpenError);
}

TEST_F(UnregisteredDictionary, DeleteAndRemoveOfAbsentWordsAndMissingFiles) {
  add("가", "a");
  EXPECT_EQ(db.delMideungjae(path, k("가")), result::kOk);
  EXPECT_EQ(db.delMideungjae(path, k("가")), result::kOk);  // already gone: nothing to say
  EXPECT_EQ(db.removeMideungjae(path, k("가")), result::kRemoveError);
  EXPECT_NE(diag.text().find("DBWrap::removeMideungjae => DB remove error\n"), std::string::npos);
  EXPECT_EQ(db.delMideungjae(dir.file("none.mdj"), k("가")), result::kOpenError);
  EXPECT_EQ(db.removeMideungjae(dir.file("none.mdj"), k("가")), result::kOpenError);
  EXPECT_FALSE(fileExists(dir.file("none.mdj")));
}

TEST_F(UnregisteredDictionary, MergeKeepsTheBasesNotes) {
  const std::string other = dir.file("other.mdj");
  add("가", "기본");
  add("나", "기본");
  add("나", "다른", other);
  add("다", "새", other);
  ASSERT_EQ(db.mergeMideungjaeDB(path, other), result::kOk);
  EXPECT_EQ(find(""), (std::vector<std::string>{"가=기본", "나=기본", "다=새"}));
  EXPECT_EQ(find("", other), (std::vector<std::string>{"나=다른", "다=새"}));
  ASSERT_EQ(db.mergeMideungjaeDB(path, path), result::kOk);
  EXPECT_EQ(find("").size(), 3u);
  ASSERT_EQ(db.mergeMideungjaeDB(dir.file("fresh.mdj"), other), result::kOk);
  EXPECT_EQ(find("", dir.file("fresh.mdj")), (std::vector<std::string>{"나=다른", "다=새"}));
  EXPECT_EQ(db.mergeMideungjaeDB(dir.file("none.mdj"), dir.file("gone.mdj")), result::kOpenError);
  EXPECT_FALSE(fileExists(dir.file("none.mdj")));
}

TEST_F(UnregisteredDictionary, DumpPutsEachEntryOnOneLine) {
  add("나", "줄\r\n바꿈\n둘");
  add("가", "");
  ASSERT_EQ(db.printDBcont(ExportKind::Unregistered, path, dir.file("u.txt")), result::kOk);
  EXPECT_EQ(readFile(dir.file("u.txt")), k("key:[가]\tmemo:[]\r\nkey:[나]\tmemo:[줄  바꿈 둘]\r\n"));
  diag.clear();
  EXPECT_EQ(db.printDBcont(ExportKind::Unregistered, dir.file("none.mdj"), dir.file("n.txt")),
            result::kOpenError);
  EXPECT_EQ(diag.text(), "DBWrap::printDBcont => DB open error\n");
  EXPECT_FALSE(fileExists(dir.file("none.mdj")));
  EXPECT_EQ(unregistered::saveOutcomeMessage(result::kOk), "미등재어 사전이 텍스트로 저장되었습니다.");
}

}  // namespace
}  // namespace selvanor
