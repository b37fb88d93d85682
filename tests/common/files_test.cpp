#include "common/files.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace selvanor {
namespace {

using test::readFile;
using test::writeFile;

TEST(LineReader, SplitsLfAndCrLfAndKeepsLongLinesWhole) {
  test::ScratchDir dir;
  const std::string longLine(5000, 'x');
  writeFile(dir.file("a.txt"), "one\r\ntwo\n\n" + longLine + "\nlast");
  LineReader r(dir.file("a.txt"));
  ASSERT_TRUE(r.isOpen());
  std::vector<std::string> lines;
  while (auto l = r.next()) lines.emplace_back(*l);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", longLine, "last"}));
  EXPECT_FALSE(r.failed());
  EXPECT_FALSE(LineReader(dir.file("missing")).isOpen());
}

TEST(FileReplacement, TargetChangesOnlyOnCommit) {
  test::ScratchDir dir;
  const std::string target = dir.file("doc.id");
  writeFile(target, "old");
  {
    FileReplacement r(target);
    writeFile(r.temporaryPath(), "new");
    EXPECT_EQ(readFile(target), "old");
  }  // not committed: temporary removed, target kept
  EXPECT_EQ(readFile(target), "old");
  {
    FileReplacement r(target);
    writeFile(r.temporaryPath(), "new");
    ASSERT_TRUE(r.commit());
    EXPECT_FALSE(fileExists(r.temporaryPath()));
  }
  EXPECT_EQ(readFile(target), "new");
}

TEST(FileReplacement, FailedCommitKeepsTarget) {
  test::ScratchDir dir;
  FileReplacement r(dir.file("no-such-folder/doc.id"));
  EXPECT_FALSE(r.commit());
}

TEST(SameFile, ComparesByIdentity) {
  test::ScratchDir dir;
  writeFile(dir.file("a"), "x");
  EXPECT_TRUE(sameFile(dir.file("a"), dir.path() + "/./a"));
  EXPECT_FALSE(sameFile(dir.file("a"), dir.file("b")));
  EXPECT_TRUE(sameFile(dir.file("b"), dir.file("b")));
}

}  // namespace
}  // namespace selvanor
