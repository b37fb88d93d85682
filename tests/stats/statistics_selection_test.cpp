#include "stats/statistics_selection.h"

#include <gtest/gtest.h>

#include "stats/tag_manager.h"
#include "support/test_support.h"

namespace selvanor::stats {
namespace {

using test::k;

// Each entry as "F:name" or "D:path" (names UTF-8).
std::vector<std::string> shown(const std::vector<RunEntry>& entries) {
  std::vector<std::string> out;
  for (const RunEntry& e : entries) {
    out.push_back(e.kind == RunEntry::Folder ? "F:" + test::u(e.name) : "D:" + e.name);
  }
  return out;
}

class StatisticsSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    // Two groups share a display name: they must stay two folders.
    test::writeFile(dir.file("list.dat"),
                    k("1가\n2/a.id\n2/b.id\n1나\n2/c.id\n1가\n2/d.id\n"));
    ASSERT_TRUE(list.load(dir.file("list.dat"), false));
  }
  test::ScratchDir dir;
  corpus::DocumentList list;
};

using Shown = std::vector<std::string>;

TEST_F(StatisticsSelection, DocumentsOfOneGroupShareOneFolderEntry) {
  EXPECT_EQ(shown(entriesFromSelection(list, {{0, 0}, {0, 1}})), (Shown{"F:가", "D:/a.id", "D:/b.id"}));
  EXPECT_EQ(shown(entriesFromSelection(list, {{0, 1}, {1, 0}})),
            (Shown{"F:가", "D:/b.id", "F:나", "D:/c.id"}));
  // The third group bears the first one's name, yet is a folder of its own.
  EXPECT_EQ(shown(entriesFromSelection(list, {{0, 0}, {2, 0}})),
            (Shown{"F:가", "D:/a.id", "F:가", "D:/d.id"}));
  EXPECT_TRUE(entriesFromSelection(list, {}).empty());
}

TEST_F(StatisticsSelection, ASelectedGroupStandsForAllItsDocuments) {
  EXPECT_EQ(shown(entriesFromSelection(list, {{1, std::nullopt}})), (Shown{"F:나", "D:/c.id"}));
  // Group and one of its documents: the document follows in the same folder (counted once).
  EXPECT_EQ(shown(entriesFromSelection(list, {{0, std::nullopt}, {0, 1}})),
            (Shown{"F:가", "D:/a.id", "D:/b.id", "D:/b.id"}));
  EXPECT_EQ(shown(entriesFromGroups(list, {})),
            (Shown{"F:가", "D:/a.id", "D:/b.id", "F:나", "D:/c.id", "F:가", "D:/d.id"}));
  EXPECT_EQ(shown(entriesFromGroups(list, {k("나")})), (Shown{"F:나", "D:/c.id"}));
}

TEST(StatisticsScope, TagListsFollowTheRunTypeWithoutRepeats) {
  test::ScratchDir dir;
  // 고유명사 is listed under two classes: counted and printed once.
  test::writeFile(dir.file("tag.txt"),
                  k("#1체언\n#2일반명사/NNG\n#2고유명사/NNP\n#1관계언\n#2격조사/JKS\n#1기타\n#2고유명사/NNP\n"));
  TagManager tags;
  ASSERT_TRUE(tags.Load(dir.file("tag.txt")));
  EXPECT_EQ(scopeTagsForType(tags, 1), (std::vector<std::string>{"NNG", "NNP", "JKS"}));
  EXPECT_EQ(scopeTagsForType(tags, 2), scopeTagsForType(tags, 1));
  EXPECT_EQ(scopeTagsForType(tags, 3), scopeTagsForType(tags, 4));
  EXPECT_EQ(scopeTagsForType(tags, 6), (std::vector<std::string>{"JKS"}));
  EXPECT_TRUE(scopeTagsForType(tags, 5).empty());
}

}  // namespace
}  // namespace selvanor::stats
