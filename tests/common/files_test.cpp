#include "common/files.h"

#include <sys/stat.h>

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

TEST(Extensions, OneRuleForEveryDerivedName) {
  struct Case {
    const char* path;
    const char* replaced;  // with ".fix"
    const char* bare;
  };
  const Case cases[] = {
      {"a/sujeong.txt", "a/sujeong.fix", "a/sujeong"},
      {"a/sujeong", "a/sujeong.fix", "a/sujeong"},
      {"a.d/sujeong", "a.d/sujeong.fix", "a.d/sujeong"},  // a dot in a folder is no extension
      {"a/.hidden", "a/.hidden.fix", "a/.hidden"},       // nor is a hidden file's leading dot
      {"a/b.c.txt", "a/b.c.fix", "a/b.c"},
      {"/x/\xb0\xa1.id", "/x/\xb0\xa1.fix", "/x/\xb0\xa1"},  // CP949 or UTF-8 names alike
      {"name.", "name.fix", "name"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(replaceExtension(c.path, ".fix"), c.replaced) << c.path;
    EXPECT_EQ(withoutExtension(c.path), c.bare) << c.path;
  }
}

TEST(CopyFile, CopiesBytesAndPermissionsOverAnExistingTarget) {
  test::ScratchDir dir;
  test::writeFile(dir.file("a"), std::string("x\0y", 3));
  ASSERT_EQ(::chmod(dir.file("a").c_str(), 0640), 0);
  test::writeFile(dir.file("b"), "longer old content");
  ASSERT_TRUE(copyFile(dir.file("a"), dir.file("b")));
  EXPECT_EQ(test::readFile(dir.file("b")), std::string("x\0y", 3));
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("b").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_FALSE(copyFile(dir.file("missing"), dir.file("c")));
  EXPECT_FALSE(fileExists(dir.file("c")));
}

TEST(RemoveFile, MissingCountsAsRemovedButAFolderIsNoFile) {
  test::ScratchDir dir;
  EXPECT_TRUE(removeFile(dir.file("missing")));
  ASSERT_EQ(::mkdir(dir.file("folder").c_str(), 0755), 0);
  EXPECT_FALSE(removeFile(dir.file("folder")));
  EXPECT_TRUE(fileExists(dir.file("folder")));
}

}  // namespace
}  // namespace selvanor
