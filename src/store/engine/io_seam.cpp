#include "store/engine/io_seam.h"

#include <db.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace selvanor::seam {
namespace {

struct State {
  std::mutex mutex;
  bool counting = false;  // classification costs a readlink per write: only while tested
  bool armed = false;
  bool fired = false;
  Fault fault;
  int counts[4] = {0, 0, 0, 0};
};

State& state() {
  static State s;
  return s;
}

std::string pathOf(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[4096];
  const ssize_t n = ::readlink(link, target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

// Berkeley DB names its log files "log." followed by ten digits.
bool isLogFile(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  if (name.size() != 14 || name.compare(0, 4, "log.") != 0) return false;
  for (std::size_t i = 4; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
  }
  return true;
}

// Counts the call and applies an armed fault; false when the call must fail (errno set).
bool pass(Call call) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  if (!s.counting) return true;
  const int n = ++s.counts[static_cast<int>(call)];
  if (!s.armed || s.fault.call != call) return true;
  if (n < s.fault.nth || (n > s.fault.nth && !s.fault.sticky)) return true;
  if (s.fault.effect == Effect::Die) ::_exit(137);
  s.fired = true;
  errno = s.fault.error;
  return false;
}

bool counting() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.counting;
}

Call writeKind(int fd) { return isLogFile(pathOf(fd)) ? Call::LogWrite : Call::PageWrite; }

bool allZero(const void* buf, std::size_t n) {
  const auto* p = static_cast<const unsigned char*>(buf);
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

// The extension of a fresh log file: zeros written past its end, through seek and write.
bool isLogExtension(int fd, const void* buf, std::size_t n) {
  if (n == 0 || n > 8192 || !allZero(buf, n)) return false;
  struct stat st {};
  const off_t at = ::lseek(fd, 0, SEEK_CUR);
  return at >= 0 && ::fstat(fd, &st) == 0 && at > st.st_size && isLogFile(pathOf(fd));
}

ssize_t hookWrite(int fd, const void* buf, std::size_t n) {
  if (isLogExtension(fd, buf, n)) return static_cast<ssize_t>(n);
  if (counting() && !pass(writeKind(fd))) return -1;
  return ::write(fd, buf, n);
}

ssize_t hookPwrite(int fd, const void* buf, std::size_t n, off_t offset) {
  if (counting() && !pass(writeKind(fd))) return -1;
  return ::pwrite(fd, buf, n, offset);
}

int hookFsync(int fd) {
  if (!pass(Call::Sync)) return -1;
  return ::fdatasync(fd);
}

int hookRename(const char* from, const char* to) {
  if (!pass(Call::Rename)) return -1;
  return std::rename(from, to);
}

}  // namespace

void install() {
  static std::once_flag once;
  std::call_once(once, [] {
    (void)db_env_set_func_write(hookWrite);
    (void)db_env_set_func_pwrite(hookPwrite);
    (void)db_env_set_func_fsync(hookFsync);
    (void)db_env_set_func_rename(hookRename);
  });
}

void arm(const Fault& fault) {
  install();
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.fault = fault;
  s.armed = true;
  s.fired = false;
  s.counting = true;
  std::memset(s.counts, 0, sizeof s.counts);
}

void disarm() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.armed = false;
  s.fired = false;
  s.counting = true;
  std::memset(s.counts, 0, sizeof s.counts);
}

void resetCounts() { disarm(); }

int count(Call call) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.counts[static_cast<int>(call)];
}

bool fired() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.fired;
}

}  // namespace selvanor::seam
