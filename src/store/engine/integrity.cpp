#include "store/engine/integrity.h"

#include <db.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>

#include "common/files.h"
#include "store/engine/io_seam.h"

extern char** environ;

namespace selvanor::integrity {

namespace fs = std::filesystem;

namespace {

// The file as the verdict knew it. Device and inode survive a rename.
struct Identity {
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modified = 0, changed = 0;  // nanoseconds
  bool operator==(const Identity& o) const {
    return std::tie(device, inode, size, modified, changed) ==
           std::tie(o.device, o.inode, o.size, o.modified, o.changed);
  }
};

struct Remembered {
  Identity id;
  std::optional<std::uint32_t> lastLogFile;
};

std::int64_t nanoseconds(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

std::optional<Identity> identify(const std::string& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return Identity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                  static_cast<std::uint64_t>(st.st_size), nanoseconds(st.st_mtim),
                  nanoseconds(st.st_ctim)};
}

std::int64_t now() {
  timespec t{};
  ::clock_gettime(CLOCK_REALTIME, &t);
  return nanoseconds(t);
}

constexpr std::int64_t kRacyNanoseconds = 2'000'000'000;
constexpr std::uint32_t kBtreeMagic = 0x053162;
constexpr std::size_t kPageSize = 4096;

bool looksLikeBtree(const std::string& file) {
  FilePtr f = openFile(file, "rb");
  unsigned char head[16];
  if (!f || std::fread(head, 1, sizeof head, f.get()) != sizeof head) return false;
  const std::uint32_t little = head[12] | head[13] << 8 | head[14] << 16 |
                               static_cast<std::uint32_t>(head[15]) << 24;
  const std::uint32_t big = head[15] | head[14] << 8 | head[13] << 16 |
                            static_cast<std::uint32_t>(head[12]) << 24;
  return little == kBtreeMagic || big == kBtreeMagic;
}

// ---- remembered verdicts ---------------------------------------------------------------

// Kept in memory and appended to "<cache>/selvanor/verified", one line per verdict:
// "device inode size modified changed lastlogfile" (a later line wins). Appends are single
// small writes, so processes that write at once never tear a line; the file is rewritten
// whole, beside and renamed, when it has grown to several lines per file.
class Memory {
 public:
  static constexpr std::size_t kMostRemembered = 20000;

  std::optional<Remembered> find(const Identity& id) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (auto hit = lookUp(id)) return hit;
    readNewLines();  // another process may have vouched for it since
    return lookUp(id);
  }

  void remember(const Identity& id, std::optional<std::uint32_t> lastLogFile) {
    std::lock_guard<std::mutex> guard(mutex_);
    readNewLines();
    while (sound_.size() >= kMostRemembered) sound_.erase(sound_.begin());
    sound_[{id.device, id.inode}] = Remembered{id, lastLogFile};
    append(Remembered{id, lastLogFile});
  }

  // As a new process: only what the cache file holds.
  void forget() {
    std::lock_guard<std::mutex> guard(mutex_);
    sound_.clear();
    readTo_ = 0;
    lines_ = 0;
  }

 private:
  std::optional<Remembered> lookUp(const Identity& id) const {
    const auto it = sound_.find({id.device, id.inode});
    if (it == sound_.end() || !(it->second.id == id)) return std::nullopt;
    return it->second;
  }

  static std::string cacheFile() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && *xdg) return std::string(xdg) + "/selvanor/verified";
    if (home && *home) return std::string(home) + "/.cache/selvanor/verified";
    return {};
  }

  std::uint64_t fileSize() const {
    struct stat st {};
    const std::string path = cacheFile();
    return !path.empty() && ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size)
                                                           : 0;
  }

  void readNewLines() {
    const std::string path = cacheFile();
    if (path.empty()) return;
    std::ifstream in(path, std::ios::binary);
    if (!in) return;
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::uint64_t>(in.tellg());
    if (size < readTo_) readTo_ = 0;  // rewritten by another process: read it again
    in.seekg(static_cast<std::streamoff>(readTo_));
    std::string line;
    std::uint64_t at = readTo_;
    while (std::getline(in, line)) {
      if (in.eof()) break;  // a line still being written
      at += line.size() + 1;
      std::istringstream fields(line);
      Remembered r;
      std::int64_t log = -1;
      if (fields >> r.id.device >> r.id.inode >> r.id.size >> r.id.modified >> r.id.changed) {
        if (fields >> log && log >= 0 && log <= UINT32_MAX) r.lastLogFile = static_cast<std::uint32_t>(log);
        sound_[{r.id.device, r.id.inode}] = r;
        ++lines_;
      }
    }
    readTo_ = at;
  }

  static std::string lineOf(const Remembered& r) {
    char line[160];
    std::snprintf(line, sizeof line, "%llu %llu %llu %lld %lld %lld\n",
                  static_cast<unsigned long long>(r.id.device),
                  static_cast<unsigned long long>(r.id.inode),
                  static_cast<unsigned long long>(r.id.size), static_cast<long long>(r.id.modified),
                  static_cast<long long>(r.id.changed),
                  r.lastLogFile ? static_cast<long long>(*r.lastLogFile) : -1LL);
    return line;
  }

  void append(const Remembered& r) {
    const std::string path = cacheFile();
    if (path.empty()) return;
    if (lines_ > 4 * sound_.size() + 1000) {
      rewrite(path);
      return;
    }
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;  // only costs verifications again
    const std::string line = lineOf(r);
    if (::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size())) ++lines_;
    ::close(fd);
  }

  void rewrite(const std::string& path) {
    FileReplacement target(path);
    std::string text;
    for (const auto& [key, r] : sound_) text += lineOf(r);
    {
      FilePtr out = openFile(target.temporaryPath(), "wb");
      if (!out || std::fwrite(text.data(), 1, text.size(), out.get()) != text.size() ||
          std::fflush(out.get()) != 0) {
        return;
      }
    }
    if (target.commit()) {
      lines_ = sound_.size();
      readTo_ = text.size();
    }
  }

  std::mutex mutex_;
  std::uint64_t readTo_ = 0;  // bytes of the cache file taken in
  std::size_t lines_ = 0;
  std::map<std::pair<std::uint64_t, std::uint64_t>, Remembered> sound_;
};

Memory& memory() {
  static Memory m;
  return m;
}

// ---- the verifying program ---------------------------------------------------------------

std::mutex watcherMutex;
Watcher& watcher() {
  static Watcher w;
  return w;
}

std::string selfFolder() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return fs::path(std::string(buf, static_cast<std::size_t>(n))).parent_path().string();
}

bool executable(const std::string& path) { return !path.empty() && ::access(path.c_str(), X_OK) == 0; }

// selvanor-verify: named by SELVANOR_VERIFY, beside the running program (as built), in
// ../libexec/selvanor/ from it (as installed), or in the build's program folder (tests run
// from elsewhere).
std::string verifierPath() {
  if (const char* named = std::getenv("SELVANOR_VERIFY"); named && executable(named)) return named;
  const std::string beside = selfFolder() + "/selvanor-verify";
  if (executable(beside)) return beside;
  const std::string installed = selfFolder() + "/../libexec/selvanor/selvanor-verify";
  if (executable(installed)) return installed;
#ifdef SELVANOR_BUILD_BIN_DIR
  const std::string built = std::string(SELVANOR_BUILD_BIN_DIR) + "/selvanor-verify";
  if (executable(built)) return built;
#endif
  return {};
}

// Bytes the child has read so far, for progress.
std::uint64_t bytesRead(pid_t pid) {
  std::ifstream io("/proc/" + std::to_string(pid) + "/io");
  std::string key;
  std::uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

struct Outcome {
  Verdict verdict = Verdict::Damaged;
  std::optional<std::uint32_t> lastLogFile;
};

// Waits for the child under the time limit, telling the watcher how far it has read.
Outcome awaitChild(pid_t pid, int output, const std::string& file, std::uint64_t size) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const auto limit = std::chrono::seconds(timeLimitSeconds(size));
  Watcher watch;
  {
    std::lock_guard<std::mutex> guard(watcherMutex);
    watch = watcher();
  }
  int status = 0;
  bool cancelled = false, overtime = false;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      status = -1;
      break;
    }
    const auto elapsed = Clock::now() - start;
    if (elapsed > limit) overtime = true;
    // The verifier reads the file about twice (structure, then key order), and its page
    // stamps are read once beside it.
    if (!overtime && watch && elapsed > std::chrono::milliseconds(300)) {
      const double fraction =
          size ? std::min(0.99, static_cast<double>(bytesRead(pid)) / (3.0 * size)) : 0.0;
      if (!watch(file, fraction)) cancelled = true;
    }
    if (cancelled || overtime) {
      ::kill(pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (watch) (void)watch(file, 1.0);
  Outcome outcome;
  if (cancelled) {
    outcome.verdict = Verdict::Cancelled;
  } else if (!overtime && status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    outcome.verdict = Verdict::Sound;
    char buf[64] = {};
    const ssize_t n = ::read(output, buf, sizeof buf - 1);
    unsigned long log = 0;
    if (n > 0 && std::sscanf(buf, "lsn %lu", &log) == 1 && log <= UINT32_MAX) {
      outcome.lastLogFile = static_cast<std::uint32_t>(log);
    }
  }
  return outcome;
}

Outcome verifyInChild(const std::string& file, std::uint64_t size) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return {};
  const std::string helper = verifierPath();
  pid_t pid = -1;
  if (!helper.empty()) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    const char* argv[] = {helper.c_str(), file.c_str(), nullptr};
    if (::posix_spawn(&pid, helper.c_str(), &actions, nullptr, const_cast<char**>(argv),
                      environ) != 0) {
      pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
  }
  if (pid < 0) {
    // No verifying program installed: a forked copy of this one does the same work.
    pid = ::fork();
    if (pid == 0) {
      ::alarm(timeLimitSeconds(size));
      const bool sound = verifyHere(file);
      const auto log = sound ? scanLastLogFile(file) : std::nullopt;
      if (sound && log) ::dprintf(pipeFds[1], "lsn %u\n", *log);
      ::_exit(sound ? 0 : 1);
    }
  }
  ::close(pipeFds[1]);
  Outcome outcome;
  if (pid > 0) outcome = awaitChild(pid, pipeFds[0], file, size);
  ::close(pipeFds[0]);
  return outcome;
}

}  // namespace

unsigned timeLimitSeconds(std::uint64_t size) {
  return static_cast<unsigned>(5 + size / (4u << 20));
}

bool verifyHere(const std::string& file) {
  // A private environment whose scratch files go where TMPDIR says (the verifier sorts
  // keys in a scratch database), not to a fixed /var/tmp.
  DB_ENV* env = nullptr;
  if (db_env_create(&env, 0) != 0) return false;
  env->set_errfile(env, nullptr);
  const char* tmp = std::getenv("TMPDIR");
  const std::string scratch = tmp && *tmp ? tmp : "/tmp";
  (void)env->set_tmp_dir(env, scratch.c_str());
  (void)env->set_cachesize(env, 0, 8u << 20, 1);
  if (env->open(env, scratch.c_str(), DB_CREATE | DB_INIT_MPOOL | DB_PRIVATE, 0) != 0) {
    env->close(env, 0);
    return false;
  }
  DB* db = nullptr;
  bool sound = false;
  if (db_create(&db, env, 0) == 0) {
    db->set_errfile(db, nullptr);  // the verdict is reported by the caller, once
    const std::string path = fs::absolute(file).string();
    sound = db->verify(db, path.c_str(), nullptr, nullptr, 0) == 0;  // frees the handle
  }
  env->close(env, 0);
  return sound;
}

std::optional<std::uint32_t> scanLastLogFile(const std::string& file) {
  FilePtr f = openFile(file, "rb");
  if (!f) return std::nullopt;
  std::vector<unsigned char> block(256 * kPageSize);
  std::uint32_t most = 0;
  std::size_t got;
  while ((got = std::fread(block.data(), 1, block.size(), f.get())) > 0) {
    for (std::size_t page = 0; page + 8 <= got; page += kPageSize) {
      // The page's log sequence number opens it: log file, then offset (host order).
      std::uint32_t logFile = 0;
      std::memcpy(&logFile, &block[page], sizeof logFile);
      most = std::max(most, logFile);
    }
  }
  if (std::ferror(f.get())) return std::nullopt;
  return most;
}

Verdict check(const std::string& file) {
  const auto before = identify(file);
  if (!before || before->size == 0 || !looksLikeBtree(file)) return Verdict::NotADatabase;
  if (memory().find(*before)) return Verdict::Sound;
  const Outcome outcome = verifyInChild(file, before->size);
  if (outcome.verdict != Verdict::Sound) return outcome.verdict;
  // Remembered only when the file held still while it was verified and had not just changed.
  const auto after = identify(file);
  if (after && *after == *before &&
      now() - std::max(before->modified, before->changed) > kRacyNanoseconds) {
    memory().remember(*before, outcome.lastLogFile);
  }
  return Verdict::Sound;
}

void vouch(const std::string& file, std::uint32_t lastLogFile) {
  if (const auto id = identify(file)) memory().remember(*id, lastLogFile);
}

std::optional<std::uint32_t> lastLogFile(const std::string& file) {
  const auto id = identify(file);
  if (!id) return std::nullopt;
  const auto hit = memory().find(*id);
  return hit ? hit->lastLogFile : std::nullopt;
}

void setWatcher(Watcher w) {
  std::lock_guard<std::mutex> guard(watcherMutex);
  watcher() = std::move(w);
}

void forgetAll() { memory().forget(); }

}  // namespace selvanor::integrity
