#include "store/engine/integrity.h"

#include <db.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <algorithm>
#include <map>
#include <mutex>
#include <sstream>
#include <tuple>

#include "common/files.h"

namespace selvanor::integrity {

namespace fs = std::filesystem;

namespace {

// The file as the verdict knew it. Device and inode survive a rename (a rebuilt file is
// verified under its temporary name's inode only if it was opened there).
struct Identity {
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modified = 0, changed = 0;  // nanoseconds
  bool operator==(const Identity& o) const {
    return std::tie(device, inode, size, modified, changed) ==
           std::tie(o.device, o.inode, o.size, o.modified, o.changed);
  }
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

// A verdict given within this much of the file's last change might not see a later change
// in the same clock tick: it is not remembered.
constexpr std::int64_t kRacyNanoseconds = 2'000'000'000;

// The first page of a B-tree file carries this magic number (in the file's byte order).
constexpr std::uint32_t kBtreeMagic = 0x053162;

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

bool verifiesHere(const std::string& file) {
  DB* db = nullptr;
  if (db_create(&db, nullptr, 0) != 0) return false;
  db->set_errfile(db, nullptr);  // the verdict is reported by the caller, once
  // The sort-order pass can go round for ever on some damaged pages; the structure pass
  // (page types, links, counts, overflow chains) is what a walk relies on.
  return db->verify(db, file.c_str(), nullptr, nullptr, DB_NOORDERCHK) == 0;  // frees the handle
}

// The verifier itself reads the damage, so it runs in a child process under a time limit:
// a crash or a hang there is a verdict, not the end of the program.
bool verifies(const std::string& file, std::uint64_t size) {
  const pid_t pid = ::fork();
  if (pid < 0) return verifiesHere(file);
  if (pid == 0) {
    ::alarm(static_cast<unsigned>(30 + size / (2u << 20)));
    ::_exit(verifiesHere(file) ? 0 : 1);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Sound verdicts, kept in memory and in "<cache>/selvanor/verified", one line per file:
// "device inode size modified changed".
class Memory {
 public:
  static constexpr std::size_t kMostRemembered = 20000;

  bool knows(const Identity& id) {
    std::lock_guard<std::mutex> guard(mutex_);
    load();
    const auto it = sound_.find({id.device, id.inode});
    return it != sound_.end() && it->second == id;
  }
  void remember(const Identity& id) {
    std::lock_guard<std::mutex> guard(mutex_);
    load();
    // Verdicts on files long gone would pile up: past the bound, some are let go (they
    // only cost a verification again).
    while (sound_.size() >= kMostRemembered) sound_.erase(sound_.begin());
    sound_[{id.device, id.inode}] = id;
    save();
  }
  void forget() {
    std::lock_guard<std::mutex> guard(mutex_);
    loaded_ = true;
    sound_.clear();
  }

 private:
  static std::string cacheFile() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && *xdg) return std::string(xdg) + "/selvanor/verified";
    if (home && *home) return std::string(home) + "/.cache/selvanor/verified";
    return {};
  }
  void load() {
    if (loaded_) return;
    loaded_ = true;
    const std::string path = cacheFile();
    if (path.empty()) return;
    LineReader lines(path);
    while (auto line = lines.next()) {
      std::istringstream in{std::string(*line)};
      Identity id;
      if (in >> id.device >> id.inode >> id.size >> id.modified >> id.changed) {
        sound_[{id.device, id.inode}] = id;
      }
    }
  }
  // Rewritten whole (a few hundred bytes per file), beside and renamed: a broken cache file
  // only costs verifications again.
  void save() {
    const std::string path = cacheFile();
    if (path.empty()) return;
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    FileReplacement target(path);
    {
      FilePtr out = openFile(target.temporaryPath(), "wb");
      if (!out) return;
      for (const auto& [key, id] : sound_) {
        std::fprintf(out.get(), "%llu %llu %llu %lld %lld\n",
                     static_cast<unsigned long long>(id.device),
                     static_cast<unsigned long long>(id.inode),
                     static_cast<unsigned long long>(id.size),
                     static_cast<long long>(id.modified), static_cast<long long>(id.changed));
      }
      if (std::fflush(out.get()) != 0) return;
    }
    (void)target.commit();
  }

  std::mutex mutex_;
  bool loaded_ = false;
  std::map<std::pair<std::uint64_t, std::uint64_t>, Identity> sound_;
};

Memory& memory() {
  static Memory m;
  return m;
}

}  // namespace

Verdict check(const std::string& file) {
  const auto before = identify(file);
  if (!before || before->size == 0 || !looksLikeBtree(file)) return Verdict::NotADatabase;
  if (memory().knows(*before)) return Verdict::Sound;
  if (!verifies(file, before->size)) return Verdict::Damaged;
  // Remembered only when the file held still while it was verified and had not just changed.
  const auto after = identify(file);
  if (after && *after == *before && now() - std::max(before->modified, before->changed) > kRacyNanoseconds) {
    memory().remember(*before);
  }
  return Verdict::Sound;
}

void forgetAll() { memory().forget(); }

}  // namespace selvanor::integrity
