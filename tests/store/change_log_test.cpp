// Changes in place survive a kill and a full disk: the file holds the old or the new content.
#include "store/engine/change_log.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <string>

#include "common/files.h"
#include "store/engine/storage.h"
#include "support/file_size_limit.h"
#include "support/stored_records.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

namespace fs = std::filesystem;
using Model = test::StoredRecords;

Model contents(const std::string& file) { return test::storedRecords(file); }
bool verifies(const std::string& file) { return test::verifiesWithBerkeleyDb(file); }

std::string keyOf(int i) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "K%07d", i);
  return buf;
}
std::string valueOf(int i, int generation) {
  return std::string(40 + i % 200, static_cast<char>('a' + generation % 26)) + std::to_string(i);
}



Model writeGeneration(const std::string& file, int generation, int records) {
  Model m;
  Storage s;
  EXPECT_TRUE(s.openForChange(file));
  EXPECT_TRUE(s.logged());
  EXPECT_TRUE(s.beginChange());
  for (int i = 0; i < records; ++i) {
    EXPECT_TRUE(s.put(keyOf(i), valueOf(i, generation)));
    m[keyOf(i)] = valueOf(i, generation);
  }
  EXPECT_TRUE(s.commitChange());
  EXPECT_TRUE(s.close());
  return m;
}

// Runs `child` in a forked process that SIGKILLs itself at its end (no destructor, no
// close, as a killed program); returns once it is gone.
template <class F>
void runKilled(F child) {
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    child();
    ::kill(::getpid(), SIGKILL);
    ::_exit(3);  // not reached
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status)) << "child ended with " << status;
}

TEST(ChangeLog, CommittedGroupsStayAndTheFileIsPlainAfterAFinishedChange) {
  test::ScratchDir dir;
  const std::string file = dir.file("doc.id");
  const Model first = writeGeneration(file, 0, 300);
  EXPECT_EQ(contents(file), first);
  EXPECT_TRUE(verifies(file));
  EXPECT_FALSE(fileExists(changelog::folderFor(file) + "/open"));

  {  // an aborted group and one undone by close leave nothing behind
    Storage s;
    ASSERT_TRUE(s.openForChange(file, OpenMode::ExistingOnly));
    ASSERT_TRUE(s.beginChange());
    ASSERT_TRUE(s.put("new", "value"));
    ASSERT_TRUE(s.del(keyOf(5)));
    ASSERT_TRUE(s.get("new"));  // the group reads its own writes
    s.abortChange();
    EXPECT_FALSE(s.get("new"));
    ASSERT_TRUE(s.beginChange());
    ASSERT_TRUE(s.put("new", "value"));
    EXPECT_TRUE(s.close());
  }
  EXPECT_EQ(contents(file), first);

  {  // single writes outside a group commit one by one
    Storage s;
    ASSERT_TRUE(s.openForChangeWithCursor(file, OpenMode::ExistingOnly));
    ASSERT_TRUE(s.del(keyOf(7)));
    ASSERT_TRUE(s.put("zz", "last"));
    ASSERT_TRUE(s.last());
    EXPECT_EQ(s.key(), "zz");
  }
  Model expected = first;
  expected.erase(keyOf(7));
  expected["zz"] = "last";
  EXPECT_EQ(contents(file), expected);
}

TEST(ChangeLog, AKillLeavesTheLastCommittedGroupAndNothingOfTheOpenOne) {
  test::ScratchDir dir;
  const std::string file = dir.file("dic.mdj");
  const Model first = writeGeneration(file, 0, 2000);
  for (int round = 1; round <= 3; ++round) {
    // Round 1 kills inside an open group; 2 after a commit whose pages were never written
    // (no close); 3 between two committed groups and an open third.
    runKilled([&] {
      Storage s;
      if (!s.openForChange(file, OpenMode::ExistingOnly)) ::_exit(4);
      const int groups = round == 1 ? 0 : round - 1;
      for (int g = 0; g < groups; ++g) {
        if (!s.beginChange()) ::_exit(5);
        for (int i = 0; i < 2000; ++i) (void)s.put(keyOf(i), valueOf(i, 10 + g));
        if (!s.commitChange()) ::_exit(6);
      }
      if (round != 2) {
        (void)s.beginChange();
        for (int i = 0; i < 4000; i += 2) (void)s.put(keyOf(i * 3), valueOf(i, 20));
        (void)s.del(keyOf(1));
        (void)s.sync();
      }
    });
    Model expected = first;
    if (round >= 2) {
      for (int i = 0; i < 2000; ++i) expected[keyOf(i)] = valueOf(i, 10 + round - 2);
    }
    EXPECT_EQ(contents(file), expected) << "round " << round;
    EXPECT_TRUE(verifies(file)) << "round " << round;
    EXPECT_FALSE(fileExists(changelog::folderFor(file) + "/open"));
  }
}

TEST(ChangeLog, AFullDiskFailsTheGroupAndKeepsTheOldContent) {
  test::ScratchDir dir;
  const std::string file = dir.file("doc.id");
  const Model first = writeGeneration(file, 0, 500);
  // The document's size sets the caps, so that the disk fills at different points of the
  // group and of the commit. The log grows with the group (about 14 MB of records): with a
  // large cache the disk fills in the commit or the page writes after it; with the small
  // default one also while pages are evicted in the middle of the group (where Berkeley DB
  // waits a few seconds for a buffer before it gives up).
  const std::uintmax_t largest = fs::file_size(file);
  int failedGroups = 0;
  Model expected = first;
  const std::pair<rlim_t, std::uint32_t> runs[] = {
      {rlim_t(largest / 2), 32u << 20},
      {rlim_t(largest + 4096), 32u << 20},
      {rlim_t(largest + 65536), 32u << 20},
      {rlim_t(largest + 4 * 1024 * 1024), 32u << 20},
      {rlim_t(largest + 4096), Storage::kDefaultCacheBytes}};
  for (const auto& [cap, cache] : runs) {
    Model grown = expected;
    bool committed = false;
    {
      test::PanicLeaksAllowed panic;
      test::FileSizeLimit limit(cap);
      Storage s;
      s.setCacheSize(cache);
      if (s.openForChange(file, OpenMode::ExistingOnly) && s.beginChange()) {
        bool stored = true;
        for (int i = 0; i < 20000 && stored; ++i) {
          const std::string value(600 + i % 200, static_cast<char>('a' + cap % 7));
          stored = s.put(keyOf(100000 + i), value);
          grown[keyOf(100000 + i)] = value;
        }
        committed = stored && s.commitChange();
        failedGroups += committed ? 0 : 1;
      }
    }
    // Whole or nothing: never a part of the group, never a damaged file.
    if (committed) expected = grown;
    EXPECT_EQ(contents(file), expected) << "cap " << cap << (committed ? " committed" : "");
    EXPECT_TRUE(verifies(file));
  }
  // The small cache's run fails inside the group; the others may commit (the log fits)
  // and then fail writing the pages, which the next open finishes from the log.
  EXPECT_GE(failedGroups, 1);
}

TEST(ChangeLog, ARunningChangeIsNeitherRecoveredNorJoinedByAnotherProcess) {
  test::ScratchDir dir;
  const std::string file = dir.file("doc.id");
  const Model first = writeGeneration(file, 0, 50);
  int ready[2], done[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(done), 0);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    Storage s;
    char c = s.openForChange(file, OpenMode::ExistingOnly) && s.put("child", "x") ? 'y' : 'n';
    (void)!::write(ready[1], &c, 1);
    (void)!::read(done[0], &c, 1);
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  ::setenv("SELVANOR_LOCK_WAIT_MS", "100", 1);
  Storage other;
  EXPECT_FALSE(other.openForChange(file, OpenMode::ExistingOnly));
  EXPECT_EQ(other.lastResult(), EBUSY);
  EXPECT_EQ(changelog::recoverIfNeeded(file), changelog::Recovery::Busy);
  ::unsetenv("SELVANOR_LOCK_WAIT_MS");
  (void)!::write(done[1], "x", 1);
  int status = 0;
  ::waitpid(pid, &status, 0);
  Model expected = first;
  expected["child"] = "x";
  EXPECT_EQ(contents(file), expected);
  for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
}

TEST(ChangeLog, AReplacedFileOrALostFolderStartsAFreshLog) {
  test::ScratchDir dir;
  const std::string file = dir.file("doc.id");
  (void)writeGeneration(file, 0, 400);
  (void)writeGeneration(file, 1, 400);
  // A rebuild renames a new file over the old one: the old log must not be replayed on it.
  {
    FileReplacement rebuilt(file);
    Storage s;
    ASSERT_TRUE(s.open(rebuilt.temporaryPath()));
    ASSERT_TRUE(s.put("only", "one"));
    ASSERT_TRUE(s.close());
    ASSERT_TRUE(rebuilt.commit());
  }
  runKilled([&] {
    Storage s;
    if (!s.openForChange(file, OpenMode::ExistingOnly)) ::_exit(4);
    (void)s.put("second", "two");
  });
  EXPECT_EQ(contents(file), (Model{{"only", "one"}, {"second", "two"}}));

  // The folder removed while the file carries the old log's numbers: a change after it
  // and a kill still recover to the committed state.
  fs::remove_all(changelog::folderFor(file));
  const Model third = writeGeneration(file, 2, 1500);
  fs::remove_all(changelog::folderFor(file));
  runKilled([&] {
    Storage s;
    if (!s.openForChange(file, OpenMode::ExistingOnly) || !s.beginChange()) ::_exit(4);
    for (int i = 0; i < 1500; ++i) (void)s.put(keyOf(i), valueOf(i, 3));
    if (!s.commitChange()) ::_exit(5);
  });
  Model expected;
  for (int i = 0; i < 1500; ++i) expected[keyOf(i)] = valueOf(i, 3);
  expected["only"] = "one";
  expected["second"] = "two";
  EXPECT_EQ(contents(file), expected);
  EXPECT_TRUE(verifies(file));
}

TEST(ChangeLog, TwoHandlesOfOneProcessShareTheFilesLog) {
  test::ScratchDir dir;
  const std::string file = dir.file("doc.id");
  (void)writeGeneration(file, 0, 10);
  Storage grid;
  ASSERT_TRUE(grid.openForChangeWithCursor(file, OpenMode::ExistingOnly));
  {
    Storage merge;  // a second change of the same file while the grid holds it
    ASSERT_TRUE(merge.openForChange(dir.path() + "/./doc.id", OpenMode::ExistingOnly));
    ASSERT_TRUE(merge.put("merged", "m"));
  }
  ASSERT_TRUE(grid.get("merged"));
  // A plain reader meanwhile neither recovers nor waits.
  EXPECT_EQ(changelog::recoverIfNeeded(file), changelog::Recovery::Busy);
  EXPECT_EQ(contents(file).count("merged"), 1u);
}

}  // namespace
}  // namespace selvanor
