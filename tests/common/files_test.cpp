#include "common/files.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "common/scratch.h"
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

TEST(FileReplacement, WritesThroughALinkAndKeepsTheLink) {
  test::ScratchDir dir;
  ASSERT_EQ(::mkdir(dir.file("real").c_str(), 0755), 0);
  const std::string real = dir.file("real/doc.id");
  writeFile(real, "old");
  ASSERT_EQ(::symlink("real/doc.id", dir.file("link.id").c_str()), 0);
  {
    FileReplacement r(dir.file("link.id"));
    EXPECT_EQ(r.refusal(), "");
    // Beside the real file, so that the rename stays in its folder.
    EXPECT_EQ(r.temporaryPath().rfind(dir.file("real/doc.id.new-"), 0), 0u) << r.temporaryPath();
    writeFile(r.temporaryPath(), "new");
    ASSERT_TRUE(r.commit());
  }
  struct stat st {};
  ASSERT_EQ(::lstat(dir.file("link.id").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(readFile(real), "new");
}

TEST(FileReplacement, RefusesWhatIsNotARegularFile) {
  test::ScratchDir dir;
  const std::string fifo = dir.file("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::mkdir(dir.file("folder").c_str(), 0755), 0);
  for (const std::string& target : {fifo, dir.file("folder"), std::string("/dev/null")}) {
    FileReplacement r(target);
    EXPECT_EQ(r.refusal(), "not a regular file") << target;
    if (target != "/dev/null") writeFile(r.temporaryPath(), "new");
    EXPECT_FALSE(r.commit()) << target;
    EXPECT_FALSE(fileExists(r.temporaryPath())) << target;
  }
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(::lstat(dir.file("folder").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  ASSERT_EQ(::lstat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(FileReplacement, KeepsThePermissionBits) {
  test::ScratchDir dir;
  const std::string target = dir.file("doc.id");
  writeFile(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0604), 0);
  FileReplacement r(target);
  writeFile(r.temporaryPath(), "new");
  ASSERT_EQ(::chmod(r.temporaryPath().c_str(), 0600), 0);
  ASSERT_TRUE(r.commit());
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  EXPECT_EQ(readFile(target), "new");
}

// What a user who could not write the target in place sees: a refusal, the target kept.
// Root may write anything, so as root the check runs in a child that became "nobody".
TEST(FileReplacement, RefusesATargetTheUserCouldNotWrite) {
  test::ScratchDir dir;
  const std::string target = dir.file("theirs.id");
  writeFile(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
  // The folder is open to all, so a rename would succeed: only the check stops it.
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  const auto attempt = [&target] {
    FileReplacement r(target);
    FilePtr f = openFile(r.temporaryPath(), "wb");
    const bool wrote = f && std::fputs("new", f.get()) >= 0 && std::fclose(f.release()) == 0;
    return wrote && r.refusal() == "not writable" && !r.commit();
  };
  if (::geteuid() != 0) {
    EXPECT_TRUE(attempt());
  } else {
    const struct passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const bool dropped = ::setgid(nobody->pw_gid) == 0 && ::setuid(nobody->pw_uid) == 0;
      ::_exit(dropped && attempt() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(std::filesystem::directory_iterator(dir.path())->path().filename(), "theirs.id");
}

// The id of a process that has ended (a child that exited and was reaped).
pid_t endedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

TEST(FileReplacement, RemovesTheTemporariesOfEndedProcessesBesideItsTarget) {
  test::ScratchDir dir;
  const std::string dead = std::to_string(endedProcess());
  const std::string alive = std::to_string(::getpid());
  const std::string target = dir.file("out.id");
  writeFile(dir.file("out.id.new-" + dead + "-0"), "left by a killed build");
  writeFile(dir.file("out.id.new-" + alive + "-999"), "in use");
  writeFile(dir.file("other.id.new-" + dead + "-0"), "another target's");
  writeFile(dir.file("out.id.new-" + dead + "-x"), "not a temporary's name");
  FileReplacement r(target);
  EXPECT_FALSE(fileExists(dir.file("out.id.new-" + dead + "-0")));
  EXPECT_TRUE(fileExists(dir.file("out.id.new-" + alive + "-999")));
  EXPECT_TRUE(fileExists(dir.file("other.id.new-" + dead + "-0")));
  EXPECT_TRUE(fileExists(dir.file("out.id.new-" + dead + "-x")));
}

TEST(ScratchFolders, EndedProcessesFoldersAreRemovedOthersKept) {
  test::ScratchDir dir;
  const std::string made = makeScratchFolder(dir.path(), "reference");
  ASSERT_FALSE(made.empty());
  EXPECT_EQ(scratchFolderOwner(std::filesystem::path(made).filename().string()), ::getpid());
  const std::string dead = std::to_string(endedProcess());
  const std::string stale = dir.file("selvanor-reference-" + dead + "-a1B2c3");
  ASSERT_EQ(::mkdir(stale.c_str(), 0700), 0);
  writeFile(stale + "/run-0", "runs of a killed reference build");
  const std::string foreign = dir.file("selvanor-test-" + dead + "-a1B2c3x");
  ASSERT_EQ(::mkdir(foreign.c_str(), 0700), 0);
  EXPECT_EQ(removeStaleScratchFolders(dir.path()), 1u);
  EXPECT_FALSE(fileExists(stale));
  EXPECT_TRUE(fileExists(made));
  EXPECT_TRUE(fileExists(foreign));
}

TEST(ScratchFolders, OnlyNamesTheProgramMakesCarryAnOwner) {
  EXPECT_EQ(scratchFolderOwner("selvanor-reference-123-AbC9x0"), 123);
  EXPECT_EQ(scratchFolderOwner("selvanor-test-AbC9x0"), std::nullopt);
  EXPECT_EQ(scratchFolderOwner("selvanor-reference-123-AbC9x"), std::nullopt);
  EXPECT_EQ(scratchFolderOwner("other-reference-123-AbC9x0"), std::nullopt);
  EXPECT_EQ(replacementOwner("a.id.new-123-0", "a.id"), 123);
  EXPECT_EQ(replacementOwner("a.id.new-123-", "a.id"), std::nullopt);
  EXPECT_EQ(replacementOwner("ba.id.new-123-0", "a.id"), std::nullopt);
  EXPECT_EQ(replacementOwner("a.id.new-123-0", "a.i"), std::nullopt);
  EXPECT_TRUE(processRuns(::getpid()));
  EXPECT_FALSE(processRuns(endedProcess()));
  EXPECT_TRUE(isStandardOutput("-"));
  EXPECT_FALSE(isStandardOutput("./-"));
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
