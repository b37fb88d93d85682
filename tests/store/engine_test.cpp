// The storage engine at the level users meet it: each file verified once, logs only while
// a change runs, one lock that readers share and changes hold alone, and handles kept
// between commands that notice what other programs did.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <filesystem>
#include <fstream>
#include <functional>

#include "common/files.h"
#include "common/refusal.h"
#include "store/document/document_merge.h"
#include "store/document/document_writer.h"
#include "store/engine/change_log.h"
#include "store/engine/codecs.h"
#include "store/engine/integrity.h"
#include "store/engine/io_seam.h"
#include "store/engine/storage.h"
#include "store/grid/grid_edits.h"
#include "store/grid/row_cache.h"
#include "support/stored_records.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

namespace fs = std::filesystem;

std::string serial(int i) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "ENGT%08d0", i);
  return buf;
}

void writeDocument(const std::string& file, int first, int count, const std::string& tail = "") {
  DocumentWriter writer(file);
  ASSERT_TRUE(writer.open());
  for (int i = first; i < first + count; ++i) {
    ASSERT_TRUE(writer.put({serial(i), test::k("먹었다"), test::k("먹/VV + 었/EP + 다/EF") + tail}));
  }
  ASSERT_TRUE(writer.finish());
}

// Counts the runs of the verifying program through a wrapper that logs each one.
class VerifierCount {
 public:
  explicit VerifierCount(const test::ScratchDir& dir) : log_(dir.file("verifications")) {
    const std::string wrapper = dir.file("verify-wrapper");
    std::ofstream(wrapper) << "#!/bin/sh\necho \"$1\" >> '" << log_ << "'\nexec '"
                           << realVerifier() << "' \"$@\"\n";
    fs::permissions(wrapper, fs::perms::owner_all);
    ::setenv("SELVANOR_VERIFY", wrapper.c_str(), 1);
  }
  ~VerifierCount() { ::unsetenv("SELVANOR_VERIFY"); }
  int runs() const {
    std::ifstream in(log_);
    int n = 0;
    for (std::string line; std::getline(in, line);) ++n;
    return n;
  }

 private:
  static std::string realVerifier() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return fs::path(std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0)).parent_path() /
           "selvanor-verify";
  }
  std::string log_;
};

bool readable(const std::string& file) {
  Storage s;
  return s.openWithCursor(file, nullptr, OpenMode::ExistingOnly) && s.first();
}

// Runs `body` in a child process; the child tells the parent through `ready` (a byte on
// the pipe) that it holds what it holds, and waits for a byte on `go` before it goes on.
struct Child {
  pid_t pid = -1;
  int ready[2] = {-1, -1};
  int go[2] = {-1, -1};
  explicit Child(const std::function<void(Child&)>& body) {
    if (::pipe(ready) != 0 || ::pipe(go) != 0) return;
    pid = ::fork();
    if (pid == 0) {
      body(*this);
      ::_exit(0);
    }
  }
  void signalReady() { (void)!::write(ready[1], "r", 1); }
  void awaitGo() {
    char c;
    (void)!::read(go[0], &c, 1);
  }
  void awaitReady() {
    char c;
    (void)!::read(ready[0], &c, 1);
  }
  int finish() {
    (void)!::write(go[1], "g", 1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
  }
};

TEST(Engine, EachFileIsVerifiedOnceAndTheProgramsOwnWritesNotAtAll) {
  test::ScratchDir dir;
  VerifierCount verifier(dir);
  const std::string doc = dir.file("a.id");
  writeDocument(doc, 0, 500);
  writeDocument(dir.file("b.id"), 400, 300);
  // A file from elsewhere, brought in now: a verdict is kept only for a file that had not
  // changed in the two seconds before it (a later change in the same clock tick would
  // leave size and times as they were).
  const std::string foreign = dir.file("foreign.id");
  ASSERT_TRUE(copyFile(doc, foreign));
  const auto broughtIn = std::chrono::steady_clock::now();

  // Built, merged into, edited in the grid, rebuilt: never verified.
  EXPECT_EQ(integrity::check(doc), integrity::Verdict::Sound);
  EXPECT_EQ(merge::mergeBunsukDB(doc, dir.file("b.id")), result::kOk);
  EXPECT_TRUE(readable(doc));
  {
    RowCache grid;
    ASSERT_GT(grid.open(doc), 0);
    ASSERT_TRUE(gridedit::removeRow(grid, 3));
  }
  EXPECT_TRUE(readable(doc));
  EXPECT_EQ(verifier.runs(), 0);

  // The file from elsewhere is verified by the verifying program, once: the verdict holds
  // in this process and, for the next one, in the cache folder.
  std::this_thread::sleep_until(broughtIn + std::chrono::milliseconds(2100));
  EXPECT_TRUE(readable(foreign));
  EXPECT_TRUE(readable(foreign));
  EXPECT_EQ(verifier.runs(), 1);
  integrity::forgetAll();
  EXPECT_TRUE(readable(foreign));
  EXPECT_EQ(verifier.runs(), 1) << "the remembered verdict was not read back";

  // Changed by another program: verified again.
  {
    std::ofstream(foreign, std::ios::app) << std::string(4096, '\0');
  }
  (void)readable(foreign);
  EXPECT_EQ(verifier.runs(), 2);
}

TEST(Engine, ALogExistsOnlyWhileAChangeRunsAndStartsPastEveryPageStamp) {
  test::ScratchDir dir;
  const std::string doc = dir.file("a.id");
  writeDocument(doc, 0, 2000);
  writeDocument(dir.file("b.id"), 1000, 50, "x");
  // A freshly built file carries no log position ("not logged" stamps).
  EXPECT_EQ(integrity::scanLastLogFile(doc), 0u);

  // The first change of a built document writes what it changes, not every page.
  seam::resetCounts();
  ASSERT_EQ(merge::mergeBunsukDB(doc, dir.file("b.id")), result::kOk);
  EXPECT_LT(seam::count(seam::Call::PageWrite), 30);
  seam::disarm();

  for (int round = 0; round < 3; ++round) {
    writeDocument(dir.file("b.id"), 3000 + round * 10, 10, std::to_string(round));
    ASSERT_EQ(merge::mergeBunsukDB(doc, dir.file("b.id")), result::kOk) << round;
    EXPECT_FALSE(fs::exists(changelog::folderFor(doc))) << round;
  }
  const auto stamped = integrity::scanLastLogFile(doc);
  ASSERT_TRUE(stamped && *stamped >= 3u);

  // The same pages under a new name nobody vouched for (a copy renamed into place), and a
  // process that remembers nothing: the next change reads the stamps and logs past them.
  const std::string copy = dir.file("copy.id");
  ASSERT_TRUE(copyFile(doc, copy));
  ASSERT_EQ(std::rename(copy.c_str(), doc.c_str()), 0);
  integrity::forgetAll();
  const auto before = test::storedRecords(doc);
  for (int round = 0; round < 2; ++round) {
    writeDocument(dir.file("b.id"), 5000 + round * 10, 10, "y");
    ASSERT_EQ(merge::mergeBunsukDB(doc, dir.file("b.id")), result::kOk) << round;
  }
  EXPECT_EQ(test::storedRecords(doc).size(), before.size() + 20);
  EXPECT_TRUE(test::verifiesWithBerkeleyDb(doc));
}

TEST(Engine, AReaderWaitsForAChangeInAnotherProgramAndNeverReadsItHalfDone) {
  test::ScratchDir dir;
  const std::string doc = dir.file("a.id");
  writeDocument(doc, 0, 100);
  ::setenv("SELVANOR_LOCK_WAIT_MS", "200", 1);
  Child changer([&](Child& self) {
    Storage s;
    if (!s.openForChange(doc, OpenMode::ExistingOnly) || !s.beginChange()) ::_exit(1);
    for (int i = 100; i < 200; ++i) (void)s.put(serial(i), codec::encodeTriple(serial(i), "w", "a/NNG"));
    self.signalReady();
    self.awaitGo();
    if (!s.commitChange() || !s.close()) ::_exit(1);
  });
  changer.awaitReady();
  Storage reader;
  (void)takeRefusal();
  EXPECT_FALSE(reader.open(doc, nullptr, OpenMode::ExistingOnly));
  const std::string said = takeRefusal();
  EXPECT_NE(said.find("다른 프로그램이 이 파일을 고치고 있습니다: " + doc), std::string::npos) << said;
  EXPECT_NE(said.find("PID"), std::string::npos) << said;
  // A rebuild does not rename over it either, and leaves nothing beside it.
  {
    DocumentWriter rebuild(doc);
    EXPECT_FALSE(rebuild.open());
  }
  const int status = changer.finish();
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(test::storedRecords(doc).size(), 200u);
  ::unsetenv("SELVANOR_LOCK_WAIT_MS");
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    EXPECT_EQ(entry.path().filename().string().find(".new-"), std::string::npos);
  }
}

TEST(Engine, ARebuildIsRefusedWhileAnotherProgramReadsTheFile) {
  test::ScratchDir dir;
  const std::string doc = dir.file("a.id");
  writeDocument(doc, 0, 10);
  ::setenv("SELVANOR_LOCK_WAIT_MS", "100", 1);
  Child reader([&](Child& self) {
    Storage s;
    if (!s.open(doc, nullptr, OpenMode::ExistingOnly)) ::_exit(1);
    self.signalReady();
    self.awaitGo();
  });
  reader.awaitReady();
  const auto inode = fs::status(doc).type() == fs::file_type::regular ? test::readFile(doc) : "";
  {
    DocumentWriter rebuild(doc);
    EXPECT_FALSE(rebuild.open());
  }
  EXPECT_NE(takeRefusal().find("다른 프로그램이 이 파일을 읽고 있습니다"), std::string::npos);
  EXPECT_EQ(test::readFile(doc), inode);
  // An in-place change waits for readers too.
  writeDocument(dir.file("b.id"), 50, 5);
  EXPECT_NE(merge::mergeBunsukDB(doc, dir.file("b.id")), result::kOk);
  reader.finish();
  EXPECT_EQ(merge::mergeBunsukDB(doc, dir.file("b.id")), result::kOk);
  ::unsetenv("SELVANOR_LOCK_WAIT_MS");
}

TEST(Engine, TheGridNoticesAnotherProgramsChangeAndNeverWritesIntoAReplacedFile) {
  test::ScratchDir dir;
  const std::string doc = dir.file("a.id");
  writeDocument(doc, 0, 300);
  RowCache grid;
  ASSERT_EQ(grid.open(doc), 300);
  int told = 0;
  grid.setOutsideChangeListener([&] { ++told; });
  EXPECT_FALSE(grid.checkOutside());

  // While the grid only shows the document, other programs may change it.
  writeDocument(dir.file("b.id"), 1000, 5);
  Child merger([&](Child&) {
    if (merge::mergeBunsukDB(doc, dir.file("b.id")) != result::kOk) ::_exit(1);
  });
  ASSERT_EQ(merger.finish(), 0);
  EXPECT_TRUE(grid.checkOutside());
  EXPECT_EQ(told, 1);
  EXPECT_EQ(grid.recordCount(), 305);
  EXPECT_FALSE(gridedit::removeRow(grid, 0)) << "an edit before the user saw the change";
  grid.acknowledgeOutsideChange();

  // Once the grid has changed it, it keeps the change log: others are refused.
  ASSERT_TRUE(gridedit::removeRow(grid, 0));
  ASSERT_TRUE(fs::exists(changelog::folderFor(doc) + "/lock"));
  ::setenv("SELVANOR_LOCK_WAIT_MS", "100", 1);
  Child refused([&](Child&) {
    if (merge::mergeBunsukDB(doc, dir.file("b.id")) == result::kOk) ::_exit(1);
    DocumentWriter w(doc);
    if (w.open()) ::_exit(2);
  });
  EXPECT_EQ(refused.finish(), 0);
  ::unsetenv("SELVANOR_LOCK_WAIT_MS");

  // A program that minds no lock renames another file over it: the next edit, begun on
  // what the user saw, is refused, and the grid reads the new file.
  ASSERT_TRUE(copyFile(dir.file("b.id"), dir.file("c.id")));
  ASSERT_EQ(std::rename(dir.file("c.id").c_str(), doc.c_str()), 0);
  EXPECT_FALSE(gridedit::removeRow(grid, 2));
  EXPECT_EQ(told, 2);
  EXPECT_EQ(grid.recordCount(), 5);
  EXPECT_EQ(test::storedRecords(doc).size(), 5u);
  grid.acknowledgeOutsideChange();
  ASSERT_TRUE(gridedit::removeRow(grid, 0));
  grid.close();
  EXPECT_EQ(test::storedRecords(doc).size(), 4u);
  EXPECT_FALSE(fs::exists(changelog::folderFor(doc)));
}

TEST(Engine, DescriptorsOnDatabaseFilesCloseWhenAProgramIsStarted) {
  test::ScratchDir dir;
  const std::string doc = dir.file("a.id");
  writeDocument(doc, 0, 10);
  Storage reader;
  ASSERT_TRUE(reader.open(doc, nullptr, OpenMode::ExistingOnly));
  Storage changer;
  writeDocument(dir.file("b.id"), 0, 10);
  ASSERT_TRUE(changer.openForChange(dir.file("b.id"), OpenMode::ExistingOnly));
  int seen = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(entry.path(), ec);
    if (ec || target.string().rfind(dir.path(), 0) != 0) continue;
    const int fd = std::stoi(entry.path().filename().string());
    EXPECT_TRUE(::fcntl(fd, F_GETFD) & FD_CLOEXEC) << target;
    ++seen;
  }
  EXPECT_GE(seen, 3);  // the lock and Berkeley DB's own descriptors
}

TEST(Engine, ChangesGoOnOnAVolumeOfAFewMegabytes) {
  test::ScratchDir dir;
  const std::string mount = dir.file("small");
  fs::create_directories(mount);
  if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=4m") != 0) {
    GTEST_SKIP() << "cannot mount a small file system here (needs root)";
  }
  {
    const std::string doc = mount + "/a.id";
    writeDocument(doc, 0, 8000);  // about 1 MiB
    for (int round = 0; round < 3; ++round) {
      writeDocument(mount + "/b.id", 9000 + round * 100, 100);
      EXPECT_EQ(merge::mergeBunsukDB(doc, mount + "/b.id"), result::kOk) << round;
      EXPECT_FALSE(fs::exists(changelog::folderFor(doc))) << round;
    }
    EXPECT_EQ(test::storedRecords(doc).size(), 8300u);
  }
  ::umount2(mount.c_str(), MNT_DETACH);
}

}  // namespace
}  // namespace selvanor
