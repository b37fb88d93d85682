#include "stats/statistics_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/diagnostics.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "facade/dbwrap.h"
#include "store/corpus/document_list.h"
#include "store/engine/storage.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::u;
using Pairs = std::vector<std::pair<std::string, std::string>>;  // (morpheme, tag), UTF-8
using Content = std::map<std::string, std::map<std::string, std::int32_t>>;  // UTF-8

// An analysis document with the given analyses (CP949), serials S000001, S000002, ...
void writeDocument(const std::string& path, const std::vector<std::string>& analyses) {
  removeFile(path);
  Storage s;
  ASSERT_TRUE(s.open(path));
  for (std::size_t i = 0; i < analyses.size(); ++i) {
    char serial[32];
    std::snprintf(serial, sizeof serial, "S%06zu", i + 1);
    ASSERT_TRUE(s.put(serial, codec::encodeTriple(serial, "w", analyses[i])));
  }
  ASSERT_TRUE(s.close());
}

Pairs pieces(std::string_view utf8Analysis, std::size_t* skipped = nullptr) {
  Pairs out;
  std::string scratch;
  const stats::PieceCounts c = stats::forEachPiece(
      k(utf8Analysis), scratch,
      [&](std::string_view m, std::string_view t) { out.emplace_back(u(m), u(t)); });
  if (skipped) *skipped = c.skipped;
  return out;
}

Content utf8(const stats::StatisticsContent& c) {
  Content out;
  for (const auto& [tag, entries] : c) {
    for (const auto& [m, n] : entries) out[u(tag)][u(m)] = n;
  }
  return out;
}

std::string dumpSubDatabase(const std::string& file, const std::string& tag) {
  const std::string out = file + ".dump";
  const std::string cmd =
      "db5.3_dump -p -s '" + tag + "' '" + file + "' >'" + out + "' 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) return {};
  return test::readFile(out);
}

TEST(StatisticsPieces, CutAtPlusWithTheDocumentRules) {
  EXPECT_EQ(pieces("먹/VV + 었/EP + 다/EF"), (Pairs{{"먹", "VV"}, {"었", "EP"}, {"다", "EF"}}));
  // Blanks, tabs and line feeds go anywhere; the tag keeps its case; markers stay.
  EXPECT_EQ(pieces("서 울/nnp\t+\n을/JKO + 하*/XSV"),
            (Pairs{{"서울", "nnp"}, {"을", "JKO"}, {"하*", "XSV"}}));
  // No "/": the tag starts at the first ASCII letter, never at the second byte of a
  // two-byte character (갂 is 0x81 0x41, 갵 has a second byte in a-z).
  EXPECT_EQ(pieces("서울NNP+갂NNG+갵a/SL"), (Pairs{{"서울", "NNP"}, {"갂", "NNG"}, {"갵a", "SL"}}));
  // "+" as a form: after an empty piece, a piece starting with "/".
  EXPECT_EQ(pieces("1/SN++/SW"), (Pairs{{"1", "SN"}, {"+", "SW"}}));
  EXPECT_EQ(pieces("+/SW+a/SL+"), (Pairs{{"+", "SW"}, {"a", "SL"}}));
  // "/" itself as a form: the slash that counts is the first one after the first character.
  EXPECT_EQ(pieces("//SP+a/b/SL"), (Pairs{{"/", "SP"}, {"a", "b/SL"}}));
  std::size_t skipped = 0;
  EXPECT_EQ(pieces("a/NNG+/SW+NNG+가나+b/+++", &skipped), (Pairs{{"a", "NNG"}}));
  EXPECT_EQ(skipped, 4u);
  EXPECT_EQ(pieces("", &skipped), Pairs{});
  EXPECT_EQ(skipped, 0u);
}

class StatisticsFile : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  std::string doc = dir.file("a.id");
  std::string stt = dir.file("a.stt");
  DBWrap db;
  DiagnosticCapture diag;

  Content content(const std::string& file) {
    auto c = stats::readStatisticsFile(file);
    EXPECT_TRUE(c.has_value()) << file;
    return c ? utf8(*c) : Content{};
  }
  std::vector<std::string> folder() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(StatisticsFile, CountsEachMorphemePerTagInItsOwnSubDatabase) {
  writeDocument(doc, {k("가/T1 + 나/T2"), k("가/T1+나/T2 + 나/t2"), k("서울NNP + 나/T2")});
  ASSERT_EQ(db.makeTongDB(doc), result::kOk);
  EXPECT_EQ(
      content(stt),
      (Content{
          {"T1", {{"가", 2}}}, {"T2", {{"나", 3}}}, {"t2", {{"나", 1}}}, {"NNP", {{"서울", 1}}}}));
  // The layout as another reader sees it: key = morpheme, value = length, bytes, count.
  const std::string dump = dumpSubDatabase(stt, "T2");
  ASSERT_FALSE(dump.empty()) << "db5.3_dump (package db5.3-util) reads the file as another reader";
  EXPECT_NE(dump.find("recnum=1\n"), std::string::npos);
  EXPECT_NE(dump.find("db_pagesize=4096\n"), std::string::npos);
  EXPECT_NE(dump.find(" \\b3\\aa\n \\02\\00\\00\\00\\b3\\aa\\03\\00\\00\\00\n"), std::string::npos)
      << dump;
  EXPECT_EQ(diag.text(), "");
}

TEST_F(StatisticsFile, SameContentAsCountingEveryOccurrenceIntoTheFile) {
  // Random analyses over a small vocabulary, so that pairs repeat across records.
  const std::vector<std::string> forms = {"가", "나", "갂", "갵", "하*", "먹", "서울", "1", "a"};
  const std::vector<std::string> tags = {"NNG", "NNP", "VV", "EP", "SL", "nng", "JKO"};
  std::mt19937 rng(7);
  std::vector<std::string> analyses;
  Content model;
  for (int r = 0; r < 400; ++r) {
    std::string a;
    const int n = 1 + static_cast<int>(rng() % 5);
    for (int i = 0; i < n; ++i) {
      const std::string& f = forms[rng() % forms.size()];
      const std::string& t = tags[rng() % tags.size()];
      a += (i ? " + " : "") + f + "/" + t;
      ++model[t][f];
    }
    analyses.push_back(k(a));
  }
  writeDocument(doc, analyses);
  ASSERT_EQ(db.makeTongDB(doc), result::kOk);

  // The per-occurrence way: one counting write per piece into another file.
  const std::string slow = dir.file("slow.stt");
  std::string scratch;
  for (const std::string& a : analyses) {
    stats::forEachPiece(a, scratch, [&](std::string_view m, std::string_view t) {
      ASSERT_EQ(db.writeTongRec(slow, m, t), result::kOk);
    });
  }
  EXPECT_EQ(content(stt), model);
  EXPECT_EQ(content(slow), model);
  for (const auto& tag : {"NNG", "nng", "SL"}) {
    EXPECT_EQ(dumpSubDatabase(stt, tag), dumpSubDatabase(slow, tag)) << tag;
  }
}

TEST_F(StatisticsFile, RebuildReplacesAndLeavesNoScratchFiles) {
  writeDocument(doc, {k("가/T1 + 나/T2"), k("가/T1")});
  ASSERT_EQ(db.makeTongDB(doc), result::kOk);
  ASSERT_EQ(db.makeTongDB(doc), result::kOk);
  EXPECT_EQ(content(stt), (Content{{"T1", {{"가", 2}}}, {"T2", {{"나", 1}}}}));
  writeDocument(doc, {k("다/T3")});
  ASSERT_EQ(db.makeTongDB(doc), result::kOk);
  EXPECT_EQ(content(stt), (Content{{"T3", {{"다", 1}}}}));
  EXPECT_EQ(folder(), (std::vector<std::string>{"a.id", "a.stt"}));
}

TEST_F(StatisticsFile, FailedBuildKeepsThePreviousFile) {
  writeDocument(doc, {k("가/T1")});
  ASSERT_EQ(db.makeTongDB(doc), result::kOk);
  const std::string before = test::readFile(stt);

  // A document that is not there is not created, and named in the diagnostic.
  EXPECT_EQ(db.makeTongDB(dir.file("b.id")), result::kOpenError);
  EXPECT_FALSE(fileExists(dir.file("b.id")));
  EXPECT_EQ(diag.text(), "DBWrap::makeTongDB => DB open error\n");

  // A record that is not an analysis record stops the build before anything is written.
  {
    Storage s;
    ASSERT_TRUE(s.open(doc));
    ASSERT_TRUE(s.put("S000009", "not a record"));
  }
  diag.clear();
  EXPECT_EQ(db.makeTongDB(doc), result::kOpenError);
  EXPECT_EQ(diag.text(), "DBWrap::makeTongDB => DB value error\n");
  EXPECT_EQ(test::readFile(stt), before);

  // The finished file cannot take the target's place.
  writeDocument(doc, {k("나/T2")});
  removeFile(stt);
  std::filesystem::create_directory(stt);
  test::writeFile(stt + "/keep", "x");
  diag.clear();
  EXPECT_EQ(db.makeTongDB(doc), result::kInsertError);
  EXPECT_EQ(diag.text(),
            stt + ": not a regular file; not replaced\nDBWrap::makeTongDB => DB write error\n");
  EXPECT_EQ(test::readFile(stt + "/keep"), "x");
  EXPECT_EQ(folder(), (std::vector<std::string>{"a.id", "a.stt"}));

  EXPECT_EQ(stats::outcomeMessage(result::kInsertError, doc), stats::msg::kNotWritten);
  EXPECT_EQ(stats::outcomeMessage(result::kOpenError, doc), stats::msg::kDocumentUnreadable);
  EXPECT_EQ(stats::outcomeMessage(result::kOk, doc), "통계용 파일을 만들었습니다.");
}

TEST_F(StatisticsFile, NothingToCountLeavesNoFile) {
  writeDocument(doc, {k("가/T1")});
  ASSERT_EQ(db.makeTongDB(doc), result::kOk);
  writeDocument(doc, {k("가나"), k("")});
  EXPECT_EQ(db.makeTongDB(doc), result::kOk);
  EXPECT_FALSE(fileExists(stt));
  EXPECT_EQ(diag.text(),
            "DBWrap::makeTongDB => 1 piece(s) without morpheme or tag not counted, first in record "
            "S000001\n");
}

TEST_F(StatisticsFile, APathThatNamesNoFileHasNoStatisticsFile) {
  EXPECT_EQ(db.makeTongDB(dir.path() + "/"), result::kOpenError);
  EXPECT_EQ(stats::outcomeMessage(result::kOpenError, "/x/"), stats::msg::kNoStatisticsPath);
  EXPECT_EQ(stats::outcomeMessage(result::kOpenError, "/x/a"), stats::msg::kDocumentUnreadable);
}

TEST_F(StatisticsFile, CountingWritesAddToWhatIsStored) {
  const std::string counts = dir.file("c.tmp");
  EXPECT_EQ(db.writeTongRec2(counts, k("사람"), 5), result::kOk);
  EXPECT_EQ(db.writeTongRec2(counts, k("사람"), 3), result::kOk);
  Storage s;
  ASSERT_TRUE(s.open(counts, nullptr, OpenMode::ExistingOnly));
  ASSERT_TRUE(s.get(k("사람")));
  EXPECT_EQ(codec::decodeTextInt(s.value())->number, 8);
  ASSERT_TRUE(s.put("bad", "xx"));
  ASSERT_TRUE(s.close());
  // A stored value that is not a count is not overwritten.
  EXPECT_EQ(db.writeTongRec2(counts, "bad", 1), result::kOpenError);
  EXPECT_EQ(diag.text(), "DBWrap::writeTongRec2 => DB value error\n");

  EXPECT_EQ(db.writeTongRec(stt, k("가"), "T1"), result::kOk);
  EXPECT_EQ(db.writeTongRec(stt, k("가"), "T1"), result::kOk);
  EXPECT_EQ(db.writeTongRec(stt, k("가"), "t1"), result::kOk);
  EXPECT_EQ(content(stt), (Content{{"T1", {{"가", 2}}}, {"t1", {{"가", 1}}}}));
  diag.clear();
  EXPECT_EQ(db.writeTongRec(stt, k("가"), ""), result::kOpenError);
  EXPECT_EQ(db.writeTongRec(dir.file("no/such.stt"), k("가"), "T1"), result::kOpenError);
  EXPECT_EQ(diag.text(),
            "DBWrap::writeTongRec => DB open error\nDBWrap::writeTongRec => DB open error\n");
}

TEST_F(StatisticsFile, CorpusManagerJobShowsTheNewStatusAndReportsFailures) {
  writeDocument(doc, {k("가/T1")});
  test::writeFile(dir.file("a.idx"), "");
  const std::string missing = dir.file("gone.id");
  test::writeFile(dir.file("list.dat"), "1A\n2" + doc + "\n2" + missing + "\n");
  corpus::DocumentList list;
  ASSERT_TRUE(list.load(dir.file("list.dat")));
  EXPECT_EQ(list.group(0).documents[0].status, corpus::DocumentStatus::Reference);
  list.select({0, std::nullopt});
  const auto failures = list.runBuildJob([&](const std::string& d) { return db.makeTongDB(d); });
  EXPECT_EQ(list.group(0).documents[0].status, corpus::DocumentStatus::ReferenceAndStatistics);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].path, missing);
  EXPECT_EQ(corpus::jobOutcomeMessage(corpus::msg::kStatisticsDone, failures),
            "통계 파일 생성작업을 완료했습니다.\n다음 문헌은 처리하지 못했습니다:\n" + missing);
}

}  // namespace
}  // namespace selvanor
