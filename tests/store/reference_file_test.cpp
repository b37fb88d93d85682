#include "store/reference/reference_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <utility>
#include <vector>

#include "common/derived_paths.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "common/scratch.h"
#include "store/engine/codecs.h"
#include "store/corpus/document_list.h"
#include "facade/dbwrap.h"
#include "store/engine/storage.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::Entries;
using test::dump;
using test::writeDocument;

// The reference file as one writeEncapRec per record would leave it.
void appendOneByOne(const std::string& document, const std::string& reference) {
  DBWrap db;
  Storage doc, ref;
  ASSERT_TRUE(doc.openWithCursor(document, nullptr, OpenMode::ExistingOnly));
  ASSERT_TRUE(ref.open(reference));
  for (bool more = doc.first(); more; more = doc.next()) {
    const auto r = codec::decodeRecord(doc.value());
    ASSERT_TRUE(r);
    ASSERT_EQ(db.writeEncapRec(ref, DBWrap::kRecordItem, r->word, codec::encodeRecord(*r)), result::kOk);
  }
}

// Words with frequent and rare members; 갂 and 갵 have second bytes that look like ASCII
// letters, "A"/"a" are their look-alikes.
std::vector<AnalysisRecord> randomDocument(unsigned seed, std::size_t n) {
  const std::vector<std::string> words = {k("나는"), k("밥을"), k("갂"), k("갵"), "A", "a",
                                          k("먹었다"), k("."), k("갂갵"), k("하늘")};
  std::mt19937 rng(seed);
  std::geometric_distribution<std::size_t> pick(0.3);
  std::vector<AnalysisRecord> doc;
  for (std::size_t i = 0; i < n; ++i) {
    char serial[32];
    std::snprintf(serial, sizeof serial, "S%05zu", (rng() % (n * 2)));  // gaps, some repeats
    const std::string& w = words[pick(rng) % words.size()];
    doc.push_back({serial, w, w + "/NNG" + std::string(rng() % 3, '+')});
  }
  return doc;
}

class ReferenceFile : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  std::string doc = dir.file("a.id");
  std::string ref = dir.file("a.idx");
  DBWrap db;
  DiagnosticCapture diag;
};

TEST_F(ReferenceFile, OneEntryPerWordItemsInSerialOrder) {
  writeDocument(doc, {{"s3", k("나는"), "c"}, {"s1", k("나는"), "a"}, {"s2", k("밥을"), "b"}});
  ASSERT_EQ(db.makeWonmunDB(doc), result::kOk);
  EXPECT_EQ(derived::referenceFile(doc), ref);
  const Entries expected = {
      {k("나는"), codec::encodeList({codec::encodeTriple("s1", k("나는"), "a"),
                                    codec::encodeTriple("s3", k("나는"), "c")})},
      {k("밥을"), codec::encodeList({codec::encodeTriple("s2", k("밥을"), "b")})}};
  EXPECT_EQ(dump(ref), expected);
  ASSERT_EQ(db.printDBcont(ExportKind::Reference, ref, dir.file("a.txt")), result::kOk);
  EXPECT_EQ(readFile(dir.file("a.txt")), k("s1\t나는\ta\ns3\t나는\tc\ns2\t밥을\tb\n"));
}

TEST_F(ReferenceFile, BuildGivesTheBytesOfOneByOneAppends) {
  // Tiny budgets force a run per few items and merge passes; the file must not change.
  const std::vector<reference::GroupingLimits> limits = {
      {}, {200, 64, dir.path()}, {1, 2, dir.path()}, {700, 3, dir.path()}};
  for (unsigned seed = 1; seed <= 6; ++seed) {
    writeDocument(doc, randomDocument(seed, seed * 90));
    appendOneByOne(doc, dir.file("model.idx"));
    const Entries model = dump(dir.file("model.idx"));
    removeFile(dir.file("model.idx"));
    for (const auto& l : limits) {
      ASSERT_EQ(reference::buildReferenceFile(doc, ref, l), result::kOk) << diag.text();
      EXPECT_EQ(dump(ref), model) << "seed " << seed << " budget " << l.memoryBytes;
    }
  }
  // Only the document, the reference file and nothing from the scratch runs remain.
  std::size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++files;
  EXPECT_EQ(files, 2u);
  EXPECT_EQ(diag.text(), "");
}

TEST_F(ReferenceFile, GrouperSpillsRunsAndMergesThemInPasses) {
  reference::ItemGrouper g({1, 2, dir.path()});
  std::vector<std::string> items;
  for (int i = 0; i < 9; ++i) {
    items.push_back(codec::encodeTriple("s" + std::to_string(i), i % 3 ? "w" : "v", ""));
    ASSERT_TRUE(g.add(i % 3 ? "w" : "v", items.back()));
  }
  EXPECT_EQ(g.runCount(), 9u);
  Entries got;
  ASSERT_TRUE(g.finish([&](std::string_view w, std::string_view list) {
    got.emplace_back(w, list);
    return true;
  }));
  EXPECT_GT(g.runCount(), 9u);  // merge passes wrote runs of their own
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], (std::pair<std::string, std::string>("v", codec::encodeList({items[0], items[3], items[6]}))));
  EXPECT_EQ(got[1].second, codec::encodeList({items[1], items[2], items[4], items[5], items[7], items[8]}));
}

// The scratch folder is named after this process (so a later start can tell a killed
// run's folder) and goes whole when the grouper does, whatever it holds.
TEST_F(ReferenceFile, GrouperScratchFolderIsNamedAfterTheProcessAndRemovedWhole) {
  std::string scratch;
  {
    reference::ItemGrouper g({1, 2, dir.path()});
    ASSERT_TRUE(g.add("w", codec::encodeTriple("s1", "w", "")));
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      if (scratchFolderOwner(e.path().filename().string())) scratch = e.path().string();
    }
    ASSERT_FALSE(scratch.empty());
    EXPECT_EQ(scratchFolderOwner(std::filesystem::path(scratch).filename().string()), ::getpid());
    test::writeFile(scratch + "/stray", "not a run");  // e.g. what a failed step left
  }  // dropped without finish(), as a failed build does
  EXPECT_FALSE(fileExists(scratch));
}

TEST_F(ReferenceFile, RebuildReplacesTheOldFileAndAFailedOneKeepsIt) {
  writeDocument(doc, {{"s1", k("나는"), "a"}, {"s2", k("밥을"), "b"}});
  ASSERT_EQ(db.makeWonmunDB(doc), result::kOk);
  writeDocument(doc, {{"s9", k("하늘"), "z"}});
  ASSERT_EQ(db.makeWonmunDB(doc), result::kOk);
  const Entries rebuilt = dump(ref);
  ASSERT_EQ(rebuilt.size(), 1u);
  EXPECT_EQ(rebuilt[0].first, k("하늘"));

  // A document that is missing is not created; one that is not a document is refused.
  EXPECT_EQ(db.makeWonmunDB(dir.file("missing.id")), result::kOpenError);
  EXPECT_FALSE(fileExists(dir.file("missing.id")));
  EXPECT_FALSE(fileExists(dir.file("missing.idx")));
  std::filesystem::copy_file(ref, dir.file("r.id"));
  EXPECT_EQ(db.makeWonmunDB(dir.file("r.id")), result::kOpenError);
  EXPECT_NE(diag.text().find("DBWrap::makeWonmunDB => DB open error of document\n"), std::string::npos);
  EXPECT_NE(diag.text().find("DBWrap::makeWonmunDB => DB value error of document\n"), std::string::npos);

  // Scratch runs that cannot be written fail the build; the previous file stays.
  writeDocument(doc, randomDocument(7, 200));
  EXPECT_EQ(reference::buildReferenceFile(doc, ref, {16, 64, dir.file("no/such/folder")}),
            result::kInsertError);
  EXPECT_EQ(dump(ref), rebuilt);
  EXPECT_NE(diag.text().find("DBWrap::makeWonmunDB => scratch folder error\n"), std::string::npos);
  EXPECT_EQ(reference::buildReferenceFile(doc, doc, {}), result::kOpenError);
}

TEST_F(ReferenceFile, LookupIsExactAndReadsExistingFilesOnly) {
  writeDocument(doc, {{"s1", k("나는"), "a"}, {"s2", k("갂"), "b"}, {"s3", k("나는"), "c"}});
  ASSERT_EQ(db.makeWonmunDB(doc), result::kOk);
  std::vector<AnalysisRecord> items{{"old", "", ""}};
  ASSERT_EQ(db.getWonmun2(ref, k("나는"), items), result::kOk);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0], (AnalysisRecord{"s1", k("나는"), "a"}));
  EXPECT_EQ(items[1].serial, "s3");
  EXPECT_EQ(db.getWonmun2(ref, k("나"), items), result::kOk);  // a proper prefix
  EXPECT_TRUE(items.empty());
  EXPECT_EQ(db.getWonmun2(ref, "\x81", items), result::kOk);  // half of 갂
  EXPECT_TRUE(items.empty());

  writeDocument(dir.file("empty.id"), {});
  ASSERT_EQ(db.makeWonmunDB(dir.file("empty.id")), result::kOk);
  EXPECT_EQ(db.getWonmun2(dir.file("empty.idx"), k("나는"), items), result::kNothingToRead);
  EXPECT_EQ(db.getWonmun2(dir.file("none.idx"), k("나는"), items), result::kOpenError);
  EXPECT_FALSE(fileExists(dir.file("none.idx")));
  // A document read as a reference file: its values are not lists.
  EXPECT_EQ(db.getWonmun2(doc, "s1", items), result::kOpenError);
  EXPECT_TRUE(items.empty());
}

TEST_F(ReferenceFile, MergeAppendsAfterTheBaseAndKeepsDuplicates) {
  writeDocument(doc, randomDocument(11, 150));
  writeDocument(dir.file("b.id"), randomDocument(12, 120));
  ASSERT_EQ(db.makeWonmunDB(doc), result::kOk);
  ASSERT_EQ(db.makeWonmunDB(dir.file("b.id")), result::kOk);
  // Model: the base, then every item of the added file appended one by one.
  std::filesystem::copy_file(ref, dir.file("model.idx"));
  {
    Storage model;
    ASSERT_TRUE(model.open(dir.file("model.idx")));
    for (const auto& [word, list] : dump(dir.file("b.idx"))) {
      const auto items = codec::decodeRecordList(list);
      ASSERT_TRUE(items);
      for (const auto& r : *items) {
        ASSERT_EQ(db.writeEncapRec(model, DBWrap::kRecordItem, word, codec::encodeRecord(r)), result::kOk);
      }
    }
  }
  const Entries added = dump(dir.file("b.idx"));
  ASSERT_EQ(db.mergeWonmunDB(ref, dir.file("b.idx")), result::kOk);
  EXPECT_EQ(dump(ref), dump(dir.file("model.idx")));
  EXPECT_EQ(dump(dir.file("b.idx")), added);

  // Into a copy of itself and into itself: every entry's items twice.
  std::filesystem::copy_file(dir.file("b.idx"), dir.file("copy.idx"));
  ASSERT_EQ(db.mergeWonmunDB(dir.file("copy.idx"), dir.file("b.idx")), result::kOk);
  ASSERT_EQ(db.mergeWonmunDB(dir.file("b.idx"), dir.file("./b.idx")), result::kOk);
  const Entries doubled = dump(dir.file("b.idx"));
  EXPECT_EQ(doubled, dump(dir.file("copy.idx")));
  ASSERT_EQ(doubled.size(), added.size());
  for (std::size_t i = 0; i < added.size(); ++i) {
    EXPECT_EQ(codec::decodeRecordList(doubled[i].second)->size(),
              2 * codec::decodeRecordList(added[i].second)->size());
  }
  // A missing base is created as a copy.
  ASSERT_EQ(db.mergeWonmunDB(dir.file("new.idx"), dir.file("copy.idx")), result::kOk);
  EXPECT_EQ(dump(dir.file("new.idx")), doubled);
  EXPECT_EQ(diag.text(), "");
}

TEST_F(ReferenceFile, MergeOfAForeignOrMissingFileWritesNothing) {
  writeDocument(doc, {{"s1", k("나는"), "a"}, {"s2", k("밥을"), "b"}});
  ASSERT_EQ(db.makeWonmunDB(doc), result::kOk);
  const Entries before = dump(ref);
  EXPECT_EQ(db.mergeWonmunDB(ref, dir.file("missing.idx")), result::kOpenError);
  EXPECT_FALSE(fileExists(dir.file("missing.idx")));
  // The added file is a document: refused before its first word is written.
  EXPECT_EQ(db.mergeWonmunDB(ref, doc), result::kOpenError);
  // The base holds a damaged entry under a word of the added file.
  std::filesystem::copy_file(ref, dir.file("bad.idx"));
  {
    Storage s;
    ASSERT_TRUE(s.open(dir.file("bad.idx")));
    std::string damaged;  // one item announced, nine bytes promised, five there
    codec::appendU32(damaged, 1);
    codec::appendU32(damaged, 9);
    ASSERT_TRUE(s.put(k("밥을"), damaged + "short"));
  }
  const Entries bad = dump(dir.file("bad.idx"));
  EXPECT_EQ(db.mergeWonmunDB(dir.file("bad.idx"), ref), result::kOpenError);
  EXPECT_EQ(dump(dir.file("bad.idx")), bad);
  EXPECT_EQ(dump(ref), before);
  EXPECT_NE(diag.text().find("DBWrap::mergeWonmunDB => DB open error\n"), std::string::npos);
  EXPECT_NE(diag.text().find("DBWrap::mergeWonmunDB => DB value error\n"), std::string::npos);
}

// The usage-example search model: for a hit at i, records i-5..i-1, the hit, i+1..i+5.
std::string modelExamples(const std::vector<AnalysisRecord>& doc, std::string_view text, bool inWord) {
  auto line = [](const AnalysisRecord& r) { return "\t" + r.serial + ":\t" + r.word + ":\t" + r.analysis; };
  const std::string sep = "-------------------------------\r\n";
  std::string out;
  for (std::size_t i = 0; i < doc.size(); ++i) {
    const std::string& field = inWord ? doc[i].word : doc[i].analysis;
    bool hit = false;  // whole characters only
    for (std::size_t p = 0; p <= field.size() && !hit; p += (p < field.size() && static_cast<unsigned char>(field[p]) >= 0x81) ? 2 : 1) {
      hit = field.compare(p, text.size(), text) == 0;
    }
    if (!hit) continue;
    out += sep;
    for (std::size_t j = i >= 5 ? i - 5 : 0; j < i; ++j) out += line(doc[j]) + "\r\n";
    out += line(doc[i]) + "\t<===========\r\n";
    for (std::size_t j = i + 1; j < doc.size() && j <= i + 5; ++j) out += line(doc[j]) + "\r\n";
    out += sep;
  }
  return out;
}

std::vector<AnalysisRecord> inSerialOrder(std::vector<AnalysisRecord> doc) {
  std::stable_sort(doc.begin(), doc.end(), [](const auto& a, const auto& b) { return a.serial < b.serial; });
  std::vector<AnalysisRecord> unique;
  for (auto& r : doc) {  // a later put of a serial replaces the earlier
    if (!unique.empty() && unique.back().serial == r.serial) unique.back() = r;
    else unique.push_back(r);
  }
  return unique;
}

TEST_F(ReferenceFile, UsageExampleBlocks) {
  std::vector<AnalysisRecord> records;
  for (int i = 1; i <= 12; ++i) {
    records.push_back({"s" + std::string(i < 10 ? "0" : "") + std::to_string(i), k("말") + std::to_string(i), "x/NNG"});
  }
  records[0].word = k("하늘");   // s01: no earlier records
  records[7].word = k("하늘을");  // s08: s03..s07 before, s09..s12 after
  records[10].word = k("하늘");  // s11, three after s08: s08 shows among its earlier records
  records[11].word = k("하늘");  // s12, the last: no records after it
  writeDocument(doc, records);
  const std::string out = dir.file("ex.txt");
  test::writeFile(out, "kept\r\n");
  std::size_t hits = 0;
  ASSERT_EQ(db.searchSayongye(doc, k("하늘"), DBWrap::ExampleField::Word, out, &hits), result::kOk);
  EXPECT_EQ(hits, 4u);
  const std::string sep = "-------------------------------\r\n";
  auto l = [&](int i) { return "\t" + records[i].serial + ":\t" + records[i].word + ":\t" + records[i].analysis; };
  std::string expected = "kept\r\n" + sep + l(0) + "\t<===========\r\n";
  for (int i = 1; i <= 5; ++i) expected += l(i) + "\r\n";
  expected += sep + sep;
  for (int i = 2; i <= 6; ++i) expected += l(i) + "\r\n";
  expected += l(7) + "\t<===========\r\n";
  for (int i = 8; i <= 11; ++i) expected += l(i) + "\r\n";
  expected += sep + sep;
  for (int i = 5; i <= 9; ++i) expected += l(i) + "\r\n";
  expected += l(10) + "\t<===========\r\n" + l(11) + "\r\n" + sep + sep;
  for (int i = 6; i <= 10; ++i) expected += l(i) + "\r\n";
  expected += l(11) + "\t<===========\r\n" + sep;
  EXPECT_EQ(readFile(out), expected);
}

TEST_F(ReferenceFile, UsageExamplesMatchTheModelOnRandomDocuments) {
  const std::string out = dir.file("ex.txt");
  for (unsigned seed = 20; seed < 26; ++seed) {
    const auto records = randomDocument(seed, 80);
    writeDocument(doc, records);
    for (const std::string& text : {k("갂"), std::string("A"), k("나"), std::string("+")}) {
      for (bool inWord : {true, false}) {
        test::writeFile(out, "");
        ASSERT_EQ(db.searchSayongye(doc, text, inWord ? DBWrap::ExampleField::Word : DBWrap::ExampleField::Analysis, out),
                  result::kOk);
        EXPECT_EQ(readFile(out), modelExamples(inSerialOrder(records), text, inWord))
            << "seed " << seed << " text " << test::u(text);
      }
    }
  }
}

TEST_F(ReferenceFile, UsageExampleFailuresAreReported) {
  writeDocument(doc, {{"s1", k("나는"), "a"}});
  EXPECT_EQ(db.searchSayongye(doc, k("나"), DBWrap::ExampleField::Word, dir.file("no/ex.txt")),
            result::kTextFileError);
  EXPECT_EQ(db.searchSayongye(dir.file("missing.id"), k("나"), DBWrap::ExampleField::Word, dir.file("ex.txt")),
            result::kOpenError);
  EXPECT_FALSE(fileExists(dir.file("missing.id")));
  EXPECT_FALSE(fileExists(dir.file("ex.txt")));
  // Blocks appended to the document searched would corrupt it.
  const std::string before = readFile(doc);
  EXPECT_EQ(db.searchSayongye(doc, k("나"), DBWrap::ExampleField::Word, doc), result::kTextFileError);
  EXPECT_EQ(readFile(doc), before);
  // A damaged record stops the search; the blocks before it are kept.
  {
    Storage s;
    ASSERT_TRUE(s.open(doc));
    ASSERT_TRUE(s.put("s2", "damaged"));
    ASSERT_TRUE(s.put("s3", codec::encodeTriple("s3", k("나는"), "c")));
  }
  EXPECT_EQ(db.searchSayongye(doc, k("나"), DBWrap::ExampleField::Word, dir.file("ex.txt")), result::kOpenError);
  EXPECT_NE(readFile(dir.file("ex.txt")).find("\ts1:\t" + k("나는") + ":\ta\t<===="), std::string::npos);
  EXPECT_EQ(readFile(dir.file("ex.txt")).find("s3"), std::string::npos);
}

// A document not named "*.id": the build writes corpus.idx and the corpus manager finds it.
TEST_F(ReferenceFile, TheManagerShowsTheReferenceFileTheBuildWrote) {
  const std::string corpusDb = dir.file("corpus.db");
  writeDocument(corpusDb, {{"s1", k("나는"), "a"}});
  ASSERT_EQ(db.makeWonmunDB(corpusDb), result::kOk);
  EXPECT_TRUE(fileExists(dir.file("corpus.idx")));
  EXPECT_FALSE(fileExists(dir.file("corpus.dbx")));
  test::writeFile(dir.file("dblist.dat"), "1G\n2" + corpusDb + "\n");
  corpus::DocumentList list;
  ASSERT_TRUE(list.load(dir.file("dblist.dat")));
  EXPECT_EQ(list.document({0, 0}).status, corpus::DocumentStatus::Reference);
}

TEST_F(ReferenceFile, DialogDecisions) {
  EXPECT_EQ(reference::checkMergeFields("", ""), std::optional<std::string>("합칠 파일명을 입력해 주세요"));
  EXPECT_EQ(reference::checkMergeFields("", "b.idx"), std::optional<std::string>("기본 파일명을 입력해 주세요"));
  // Exporting over the reference file itself would replace it with its text.
  test::writeFile(dir.file("a.txt"), "");
  EXPECT_TRUE(reference::checkExportTarget(dir.file("a.txt"), dir.file("./a.txt")));
  EXPECT_FALSE(reference::checkExportTarget(ref, dir.file("a.txt")));
}

}  // namespace
}  // namespace selvanor
