#include "store/corpus/document_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/files.h"
#include "support/test_support.h"

namespace selvanor::corpus {
namespace {

using test::k;
using test::readFile;
using test::writeFile;
using Refs = std::vector<NodeRef>;

class DocumentListTest : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  std::string listFile = dir.file("dblist.dat");
  DocumentList list;

  std::vector<std::string> paths(std::size_t g) const {
    std::vector<std::string> out;
    for (const auto& d : list.group(g).documents) out.push_back(d.path);
    return out;
  }
  NodeRef doc(std::size_t g, std::size_t d) const { return {g, d}; }
  NodeRef grp(std::size_t g) const { return {g, std::nullopt}; }
};

TEST_F(DocumentListTest, LoadsGroupsAndSavesTheSameLines) {
  // Paths are UTF-8 in memory and CP949 in the file; group names stay CP949.
  const std::string a = dir.file("말뭉치/가.id"), b = dir.file("b.id");
  const std::string text = k("1그룹 A\n2") + k(a) + "\n2" + b + "\n1B\n";
  writeFile(listFile, text);
  ASSERT_TRUE(list.load(listFile));
  ASSERT_EQ(list.groups().size(), 2u);
  EXPECT_EQ(list.group(0).name, k("그룹 A"));
  EXPECT_EQ(paths(0), (std::vector<std::string>{a, b}));
  EXPECT_TRUE(list.group(1).documents.empty());
  ASSERT_TRUE(list.save(listFile));
  EXPECT_EQ(readFile(listFile), text);

  // Deleting every group and saving leaves an empty file.
  list.select(grp(0));
  list.select(grp(1));
  EXPECT_EQ(list.removeSelected(), 4u);
  ASSERT_TRUE(list.save(listFile));
  EXPECT_EQ(readFile(listFile), "");
}

TEST_F(DocumentListTest, LoadDropsDocumentsBeforeTheFirstGroupAndKeepsEveryOtherLine) {
  const std::string longPath = "/" + std::string(700, 'p') + ".id";
  // CR LF and empty lines; a long line is one node; a line marked neither 1 nor 2 is a
  // document; bytes that are not CP949 come back unchanged.
  writeFile(listFile,
            "2/early.id\r\n\n1G\r\n2" + longPath + "\r\n\r\n3/odd.id\n2/raw\xFF\xFE.id\n1\n");
  ASSERT_TRUE(list.load(listFile));
  EXPECT_EQ(list.loadReport().droppedBeforeFirstGroup, 1u);
  EXPECT_EQ(list.loadReport().unmarkedLines, 1u);
  EXPECT_EQ(list.loadReport().undecodedLines, 1u);
  ASSERT_EQ(list.groups().size(), 2u);
  EXPECT_EQ(paths(0), (std::vector<std::string>{longPath, "/odd.id", "/raw\xFF\xFE.id"}));
  EXPECT_EQ(list.group(1).name, "");
  ASSERT_TRUE(list.save(listFile));
  EXPECT_EQ(readFile(listFile), "1G\n2" + longPath + "\n2/odd.id\n2/raw\xFF\xFE.id\n1\n");
}

TEST_F(DocumentListTest, MissingListIsCreatedOnlyWhenAsked) {
  EXPECT_EQ(list.load(listFile, false).status, ListStatus::kCannotOpen);
  EXPECT_FALSE(fileExists(listFile));
  ASSERT_TRUE(list.load(listFile));
  EXPECT_TRUE(fileExists(listFile));
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.load(dir.file("no/dblist.dat")).status, ListStatus::kCannotOpen);
  EXPECT_EQ(loadFailedMessage("/x/dblist.dat"), "/x/dblist.dat 생성 실패");
  const ListResult r = list.save(dir.file("no/dblist.dat"));
  EXPECT_EQ(r.status, ListStatus::kCannotWrite);
  EXPECT_EQ(saveFailedMessage("/x/dblist.dat", r), "/x/dblist.dat 저장 실패");
}

TEST_F(DocumentListTest, StatusFollowsReferenceAndStatisticsFiles) {
  const std::string a = dir.file("a.id");
  writeFile(a, "");
  writeFile(listFile, "1G\n2" + a + "\n");
  ASSERT_TRUE(list.load(listFile));
  EXPECT_EQ(list.document(doc(0, 0)).status, DocumentStatus::None);
  writeFile(dir.file("a.stt"), "");
  list.refreshStatus(doc(0, 0));
  EXPECT_EQ(list.document(doc(0, 0)).status, DocumentStatus::Statistics);
  writeFile(dir.file("a.idx"), "");
  list.refreshAllStatus();
  EXPECT_EQ(list.document(doc(0, 0)).status, DocumentStatus::ReferenceAndStatistics);
  removeFile(dir.file("a.stt"));
  EXPECT_EQ(documentStatus(a), DocumentStatus::Reference);
  EXPECT_EQ(static_cast<int>(documentStatus(a)), 2);
}

TEST_F(DocumentListTest, AddingNeedsASelectionAndSkipsListedPaths) {
  const std::string a = dir.file("a.id"), b = dir.file("b.id"), c = dir.file("c.id");
  list.addGroup("G1");
  list.addGroup("G2");
  EXPECT_FALSE(list.targetGroup().has_value());

  list.select(grp(0));
  ASSERT_EQ(list.targetGroup(), 0u);
  AddReport r = list.addDocuments(0, {a, b, a});
  EXPECT_EQ(r.added, (std::vector<std::string>{a, b}));
  EXPECT_EQ(r.alreadyListed, (std::vector<std::string>{a}));

  // A selected document adds to its own group; a path listed in another group is skipped,
  // one CP949 cannot hold is refused by name.
  list.clearSelection();
  list.setExpanded(1, false);
  list.select(doc(0, 1));
  const std::string odd = dir.file("x\xE2\x80\xA2.id");  // U+2022 has no CP949 form
  r = list.addDocuments(*list.targetGroup(), {c, b, odd});
  EXPECT_EQ(paths(0), (std::vector<std::string>{a, b, c}));
  ASSERT_EQ(r.unencodable.size(), 1u);
  EXPECT_EQ(r.unencodable[0].offending, "\xE2\x80\xA2");
  EXPECT_NE(refusedPathMessage(r.unencodable[0]).find(odd), std::string::npos);

  list.clearSelection();
  list.select(grp(1));
  r = list.addDocuments(1, {c, dir.file("d.id")});
  EXPECT_EQ(r.alreadyListed, (std::vector<std::string>{c}));
  EXPECT_TRUE(list.group(1).expanded);
  EXPECT_EQ(paths(1), (std::vector<std::string>{dir.file("d.id")}));
}

TEST_F(DocumentListTest, SelectionIsVisitedInTreeOrder) {
  list.addGroup("G1");
  list.addGroup("G2");
  list.addDocuments(0, {"/a.id", "/b.id"});
  list.addDocuments(1, {"/c.id", "/d.id"});
  list.select(doc(1, 1));
  list.select(doc(0, 1));
  list.select(grp(1));
  EXPECT_EQ(list.selectedNodes(), (Refs{doc(0, 1), grp(1), doc(1, 1)}));
  EXPECT_EQ(list.documentToOpen(), "/b.id");
  // A group's documents, then a document also selected on its own: processed twice.
  EXPECT_EQ(list.jobDocuments(), (Refs{doc(0, 1), doc(1, 0), doc(1, 1), doc(1, 1)}));
  EXPECT_EQ(list.selectedDocuments(), (Refs{doc(0, 1), doc(1, 1)}));
  // A collapsed group's documents are not visited; a group first opens nothing.
  list.setExpanded(0, false);
  list.select(grp(0));
  EXPECT_EQ(list.selectedNodes(), (Refs{grp(0), grp(1), doc(1, 1)}));
  EXPECT_FALSE(list.documentToOpen().has_value());

  // Delete removes what is visibly selected: G1 with its documents, but not the selected
  // document of the collapsed G2.
  list.select(grp(1), false);
  list.setExpanded(1, false);
  EXPECT_EQ(list.removeSelected(), 3u);
  ASSERT_EQ(list.groups().size(), 1u);
  EXPECT_EQ(paths(0), (std::vector<std::string>{"/c.id", "/d.id"}));
}

TEST_F(DocumentListTest, CleanUpDropsMissingFilesAndSortsIgnoringCase) {
  for (const char* name : {"B.id", "a.id", "c.id", "c.stt"}) writeFile(dir.file(name), "");
  list.addGroup("G");
  list.addDocuments(0, {dir.file("c.id"), dir.file("gone.id"), dir.file("B.id"), dir.file("a.id")});
  list.addGroup("empty");
  list.setExpanded(0, false);
  writeFile(dir.file("a.idx"), "");
  EXPECT_EQ(list.cleanUp(), (std::vector<std::string>{dir.file("gone.id")}));
  EXPECT_EQ(paths(0),
            (std::vector<std::string>{dir.file("a.id"), dir.file("B.id"), dir.file("c.id")}));
  EXPECT_TRUE(list.group(0).expanded);
  EXPECT_EQ(list.document(doc(0, 0)).status, DocumentStatus::Reference);
  EXPECT_EQ(list.document(doc(0, 2)).status, DocumentStatus::Statistics);
  EXPECT_EQ(list.groups().size(), 2u);
}

}  // namespace
}  // namespace selvanor::corpus
