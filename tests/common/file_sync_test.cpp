// The order of the system calls a replacement makes: the new file's bytes are synced
// before the rename, the folder after it. fsync and rename are interposed here (the
// definitions in this program take the place of the C library's) and recorded while a
// test asks for it; each forwards to the real call.
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/files.h"
#include "support/test_support.h"

namespace {

bool recording = false;
std::vector<std::string> calls;

std::string pathOf(int fd) {
  char buffer[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string("?");
}

}  // namespace

extern "C" int fsync(int fd) {
  if (recording) calls.push_back("fsync " + pathOf(fd));
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

extern "C" int rename(const char* from, const char* to) {
  if (recording) calls.push_back(std::string("rename ") + from + " " + to);
  return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}

namespace selvanor {
namespace {

TEST(FileReplacementSync, SyncsTheFileBeforeTheRenameAndTheFolderAfter) {
  test::ScratchDir dir;
  // The folder as the kernel names it (the scratch folder may lie behind a link).
  const std::string folder = std::filesystem::canonical(dir.path()).string();
  const std::string target = folder + "/doc.id";
  test::writeFile(target, "old");
  FileReplacement r(target);
  test::writeFile(r.temporaryPath(), "new");
  calls.clear();
  recording = true;
  const bool committed = r.commit();
  recording = false;
  ASSERT_TRUE(committed);
  EXPECT_EQ(calls, (std::vector<std::string>{"fsync " + r.temporaryPath(),
                                             "rename " + r.temporaryPath() + " " + target,
                                             "fsync " + folder}));
  EXPECT_EQ(test::readFile(target), "new");
}

}  // namespace
}  // namespace selvanor
