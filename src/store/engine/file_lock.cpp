#include "store/engine/file_lock.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>
#include <utility>

namespace selvanor {

struct FileLock::Entry {
  int fd = -1;
  std::uint64_t device = 0, inode = 0;
  int shared = 0, exclusive = 0;  // holders in this process
  int held = 0;                   // LOCK_SH, LOCK_EX or 0: what the process has now
  ~Entry() {
    if (fd >= 0) ::close(fd);
  }
};

namespace {

using Key = std::pair<std::uint64_t, std::uint64_t>;

struct Registry {
  std::mutex mutex;
  std::map<Key, std::weak_ptr<FileLock::Entry>> entries;
};

Registry& registry() {
  static Registry* r = [] {
    auto* made = new Registry;
    // A forked child is another process: the locks it inherited are its parent's, so it
    // starts with none of its own (the inherited descriptors are left alone, and close when
    // it starts a program or ends).
    ::pthread_atfork(nullptr, nullptr, [] {
      Registry& reg = registry();
      new (&reg.mutex) std::mutex;
      for (auto& [key, weak] : reg.entries) {
        if (auto entry = weak.lock()) {
          entry->fd = -1;
          new std::shared_ptr<FileLock::Entry>(entry);  // kept alive: the parent's holders
        }
      }
      reg.entries.clear();
    });
    return made;
  }();
  return *r;
}

int wanted(const FileLock::Entry& e, LockKind extra) {
  return e.exclusive > 0 || extra == LockKind::Exclusive ? LOCK_EX : LOCK_SH;
}

// "program, PID" of another process holding an flock on the file, read from /proc/locks.
std::pair<std::string, bool> findHolder(std::uint64_t device, std::uint64_t inode) {
  std::ifstream locks("/proc/locks");
  char id[64];
  std::snprintf(id, sizeof id, "%02x:%02x:%llu", major(static_cast<dev_t>(device)),
                minor(static_cast<dev_t>(device)), static_cast<unsigned long long>(inode));
  std::string line;
  while (std::getline(locks, line)) {
    if (line.find("->") != std::string::npos) continue;  // a waiter, not a holder
    std::istringstream in(line);
    std::string number, type, advisory, mode, file;
    long pid = 0;
    if (!(in >> number >> type >> advisory >> mode >> pid >> file)) continue;
    if (type != "FLOCK" || file != id || pid == ::getpid()) continue;
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return {(name.empty() ? std::string("?") : name) + ", PID " + std::to_string(pid),
            mode == "WRITE"};
  }
  return {{}, false};
}

}  // namespace

int lockWaitMilliseconds() {
  if (const char* v = std::getenv("SELVANOR_LOCK_WAIT_MS"); v && *v) {
    const long ms = std::strtol(v, nullptr, 10);
    if (ms >= 0 && ms < 600000) return static_cast<int>(ms);
  }
  return 3000;
}

FileLock::~FileLock() { release(); }

FileLock::FileLock(FileLock&& other) noexcept
    : entry_(std::move(other.entry_)), kind_(other.kind_) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    release();
    entry_ = std::move(other.entry_);
    kind_ = other.kind_;
  }
  return *this;
}

std::uint64_t FileLock::device() const { return entry_ ? entry_->device : 0; }
std::uint64_t FileLock::inode() const { return entry_ ? entry_->inode : 0; }

bool FileLock::stillNamedBy(const std::string& path) const {
  struct stat st {};
  return entry_ && ::stat(path.c_str(), &st) == 0 &&
         static_cast<std::uint64_t>(st.st_dev) == entry_->device &&
         static_cast<std::uint64_t>(st.st_ino) == entry_->inode;
}

void FileLock::release() {
  if (!entry_) return;
  std::lock_guard<std::mutex> guard(registry().mutex);
  Entry& e = *entry_;
  (kind_ == LockKind::Exclusive ? e.exclusive : e.shared) -= 1;
  if (e.exclusive == 0 && e.shared > 0 && e.held == LOCK_EX) {
    // The readers left in this process keep a shared lock; a downgrade never waits.
    if (::flock(e.fd, LOCK_SH) == 0) e.held = LOCK_SH;
  }
  const Key key{e.device, e.inode};
  entry_.reset();  // the last holder closes the descriptor, which drops the lock
  const auto it = registry().entries.find(key);
  if (it != registry().entries.end() && it->second.expired()) registry().entries.erase(it);
}

namespace {

enum class Attempt { Locked, Busy, Failed };

}  // namespace

FileLock FileLock::tryAcquire(const std::string& file, LockKind kind, LockRefusal* refusal) {
  LockRefusal local;
  LockRefusal& why = refusal ? *refusal : local;
  for (int replaced = 0; replaced < 8; ++replaced) {
    // O_NONBLOCK: a FIFO in the file's place must not block the open.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      why.reason = errno == ENOENT ? LockRefusal::Reason::Missing : LockRefusal::Reason::Error;
      why.error = errno;
      return {};
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      why.reason = LockRefusal::Reason::Error;
      why.error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
      ::close(fd);
      return {};
    }
    const Key key{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};

    std::shared_ptr<Entry> entry;
    Attempt attempt = Attempt::Failed;
    {
      std::lock_guard<std::mutex> guard(registry().mutex);
      entry = registry().entries[key].lock();
      if (entry) {
        ::close(fd);
      } else {
        entry = std::make_shared<Entry>();
        entry->fd = fd;
        entry->device = key.first;
        entry->inode = key.second;
        registry().entries[key] = entry;
      }
      const int need = wanted(*entry, kind);
      if (entry->held == need || (entry->held == LOCK_EX && need == LOCK_SH)) {
        attempt = Attempt::Locked;
      } else if (::flock(entry->fd, need | LOCK_NB) == 0) {
        entry->held = need;
        attempt = Attempt::Locked;
      } else if (errno == EWOULDBLOCK) {
        // A failed conversion may have dropped what this process held: take it back.
        if (entry->held != 0 && ::flock(entry->fd, entry->held | LOCK_NB) != 0) entry->held = 0;
        attempt = Attempt::Busy;
      } else {
        why.error = errno;
      }
      if (attempt == Attempt::Locked) {
        (kind == LockKind::Exclusive ? entry->exclusive : entry->shared) += 1;
      }
    }
    if (attempt == Attempt::Busy) {
      why.reason = LockRefusal::Reason::Busy;
      auto [holder, writes] = findHolder(key.first, key.second);
      why.holder = std::move(holder);
      why.holderChanges = writes || kind == LockKind::Shared;
      return {};
    }
    if (attempt == Attempt::Failed) {
      why.reason = LockRefusal::Reason::Error;
      return {};
    }
    FileLock lock;
    lock.entry_ = std::move(entry);
    lock.kind_ = kind;
    // Replaced while we looked (a rebuild renamed over it): lock what the path names now.
    if (lock.stillNamedBy(file)) return lock;
    lock.release();
  }
  why.reason = LockRefusal::Reason::Busy;
  return {};
}

FileLock FileLock::acquire(const std::string& file, LockKind kind, LockRefusal* refusal) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(lockWaitMilliseconds());
  for (;;) {
    LockRefusal why;
    FileLock lock = tryAcquire(file, kind, &why);
    if (lock || why.reason != LockRefusal::Reason::Busy ||
        std::chrono::steady_clock::now() >= deadline) {
      if (!lock && refusal) *refusal = why;
      return lock;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
}

std::string describeRefusal(const std::string& file, const LockRefusal& refusal,
                            LockKind wanted) {
  switch (refusal.reason) {
    case LockRefusal::Reason::Busy: {
      const bool changing = refusal.holderChanges || wanted == LockKind::Shared;
      std::string text = std::string(changing ? "다른 프로그램이 이 파일을 고치고 있습니다: "
                                              : "다른 프로그램이 이 파일을 읽고 있습니다: ") +
                         file;
      if (!refusal.holder.empty()) text += "\n(" + refusal.holder + ")";
      return text;
    }
    case LockRefusal::Reason::Missing:
      return "파일이 없습니다: " + file;
    case LockRefusal::Reason::Error:
      break;
  }
  if (refusal.error == EISDIR || refusal.error == EINVAL) return "보통 파일이 아닙니다: " + file;
  return "파일을 열 수 없습니다: " + file + " (" + std::strerror(refusal.error) + ")";
}

}  // namespace selvanor
