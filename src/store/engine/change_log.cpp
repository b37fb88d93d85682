#include "store/engine/change_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "common/diagnostics.h"
#include "common/files.h"

namespace selvanor::changelog {

namespace fs = std::filesystem;

namespace {

const char kErrorPrefix[] = "Selvanor:DB관련 오류!\n";
constexpr char kLockName[] = "lock";
constexpr char kOpenMarker[] = "open";
constexpr char kFileIdName[] = "file-id";

// The unique id Berkeley DB writes into a file's meta page when it creates the file:
// 20 bytes at offset 52 of the first page.
constexpr std::size_t kUidOffset = 52;
constexpr std::size_t kUidSize = 20;
constexpr std::size_t kPageSize = 4096;

std::optional<std::string> readWhole(const std::string& path, std::size_t limit) {
  FilePtr f = openFile(path, "rb");
  if (!f) return std::nullopt;
  std::string bytes(limit, '\0');
  bytes.resize(std::fread(bytes.data(), 1, limit, f.get()));
  return bytes;
}

std::optional<std::string> fileUid(const std::string& file) {
  auto head = readWhole(file, kUidOffset + kUidSize);
  if (!head || head->size() < kUidOffset + kUidSize) return std::nullopt;
  return head->substr(kUidOffset);
}

bool writeSmallFile(const std::string& path, const std::string& bytes) {
  FilePtr f = openFile(path, "wb");
  return f && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size() &&
         std::fflush(f.get()) == 0 && ::fsync(::fileno(f.get())) == 0;
}

bool syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

std::vector<fs::path> logFiles(const std::string& folder) {
  std::vector<fs::path> logs;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string().rfind("log.", 0) == 0) logs.push_back(it->path());
  }
  return logs;
}

// True when some page of the file carries a log sequence number: it was last changed
// under a log that is not this folder's, and its numbers must be cleared before a new log
// starts at the beginning (recovery compares them with the log's).
bool anyPageLogged(const std::string& file) {
  FilePtr f = openFile(file, "rb");
  if (!f) return false;
  std::vector<char> block(256 * kPageSize);
  std::size_t got;
  while ((got = std::fread(block.data(), 1, block.size(), f.get())) > 0) {
    for (std::size_t page = 0; page + 8 <= got; page += kPageSize) {
      for (std::size_t i = 0; i < 8; ++i) {
        if (block[page + i] != 0) return true;
      }
    }
  }
  return false;
}

// An exclusive flock on the folder's lock file, dropped with the object (or the process).
class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock() { unlock(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // 0, EBUSY when another holder has it, or the errno of opening the lock file.
  int tryLock(const std::string& folder) {
    fd_ = ::open((folder + "/" + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return errno;
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      const int err = errno == EWOULDBLOCK ? EBUSY : errno;
      unlock();
      return err;
    }
    return 0;
  }
  void unlock() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

// Opens (and recovers) the environment in `folder`; the Berkeley DB code.
int openEnvironment(const std::string& folder, std::uint32_t cacheBytes, DB_ENV** out) {
  *out = nullptr;
  DB_ENV* env = nullptr;
  int rc = db_env_create(&env, 0);
  if (rc != 0) return rc;
  env->set_errfile(env, stderr);
  env->set_errpfx(env, kErrorPrefix);
  // The file sits beside the folder; naming it relative keeps folder and file movable
  // together.
  if ((rc = env->set_cachesize(env, 0, cacheBytes, 1)) != 0 ||
      (rc = env->add_data_dir(env, "..")) != 0 || (rc = env->set_create_dir(env, "..")) != 0 ||
      (rc = env->log_set_config(env, DB_LOG_AUTO_REMOVE, 1)) != 0) {
    env->close(env, 0);
    return rc;
  }
  // One process changes a file at a time (the folder lock), so the environment is private
  // to it and needs no locking subsystem; recovery runs at every open and costs nothing
  // after a clean close.
  const u_int32_t flags =
      DB_CREATE | DB_INIT_LOG | DB_INIT_MPOOL | DB_INIT_TXN | DB_PRIVATE | DB_RECOVER;
  rc = env->open(env, folder.c_str(), flags, 0);
  if (rc != 0) {
    env->close(env, 0);
    return rc;
  }
  *out = env;
  return 0;
}

// Clears the log sequence numbers of the file's pages, in an environment without a log:
// one with a log refuses a file whose numbers lie past its end.
int clearPageNumbers(const std::string& folder, const std::string& name) {
  DB_ENV* env = nullptr;
  int rc = db_env_create(&env, 0);
  if (rc != 0) return rc;
  env->set_errfile(env, stderr);
  env->set_errpfx(env, kErrorPrefix);
  if ((rc = env->add_data_dir(env, "..")) == 0 &&
      (rc = env->open(env, folder.c_str(), DB_CREATE | DB_INIT_MPOOL | DB_PRIVATE, 0)) == 0) {
    rc = env->lsn_reset(env, name.c_str(), 0);
  }
  const int closed = env->close(env, 0);
  return rc != 0 ? rc : closed;
}

// The folder describes an older file that a rebuild has since replaced.
bool describesAnotherFile(const std::string& folder, const std::string& file) {
  const auto recorded = readWhole(folder + "/" + kFileIdName, kUidSize + 1);
  const auto current = fileUid(file);
  return recorded && recorded->size() == kUidSize && current && *recorded != *current;
}

void removeLogs(const std::string& folder) {
  std::error_code ec;
  for (const fs::path& log : logFiles(folder)) fs::remove(log, ec);
  fs::remove(folder + "/" + kFileIdName, ec);
}

bool markerPresent(const std::string& folder) {
  std::error_code ec;
  return fs::exists(folder + "/" + kOpenMarker, ec);
}

}  // namespace

std::string folderFor(const std::string& file) {
  const fs::path real(realPath(file));
  return (real.parent_path() / ("." + real.filename().string() + ".log")).string();
}

class Environment {
 public:
  Environment(std::string real, std::string folder)
      : real_(std::move(real)), folder_(std::move(folder)),
        name_(fs::path(real_).filename().string()) {}
  ~Environment() { close(); }
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;

  int open(std::uint32_t cacheBytes);
  void close();

  DB_ENV* handle() const { return env_; }
  const std::string& name() const { return name_; }
  void markUnclean() { unclean_ = true; }

 private:
  std::string real_, folder_, name_;
  FolderLock lock_;
  DB_ENV* env_ = nullptr;
  bool unclean_ = false;
};

int Environment::open(std::uint32_t cacheBytes) {
  std::error_code ec;
  fs::create_directory(folder_, ec);
  if (ec) return ec.value();
  if (const int err = lock_.tryLock(folder_); err != 0) return err;

  const bool fresh = logFiles(folder_).empty() || describesAnotherFile(folder_, real_);
  if (fresh) removeLogs(folder_);
  if (const auto uid = fileUid(real_); uid && !fileExists(folder_ + "/" + kFileIdName)) {
    if (!writeSmallFile(folder_ + "/" + kFileIdName, *uid)) return errno ? errno : EIO;
  }
  // The marker must be on disk before any page of the file can be written from the log.
  if (!writeSmallFile(folder_ + "/" + kOpenMarker, {}) || !syncFolder(folder_)) {
    return errno ? errno : EIO;
  }
  if (fresh && fileExists(real_) && anyPageLogged(real_)) {
    if (const int rc = clearPageNumbers(folder_, name_); rc != 0) return rc;
  }
  return openEnvironment(folder_, cacheBytes, &env_);
}

void Environment::close() {
  if (!env_) return;
  // Every handle on the file is closed (their pages written); a checkpoint lets the next
  // recovery start here, and the log before it is trimmed.
  if (env_->txn_checkpoint(env_, 0, 0, DB_FORCE) != 0) unclean_ = true;
  if (env_->close(env_, 0) != 0) unclean_ = true;
  env_ = nullptr;
  if (unclean_) return;
  if (const auto uid = fileUid(real_); uid && !fileExists(folder_ + "/" + kFileIdName)) {
    (void)writeSmallFile(folder_ + "/" + kFileIdName, *uid);
  }
  std::error_code ec;
  fs::remove(folder_ + "/" + kOpenMarker, ec);
}

namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<Environment>> open;
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

EnvironmentRef::EnvironmentRef(std::shared_ptr<Environment> env) : env_(std::move(env)) {}
EnvironmentRef::~EnvironmentRef() { release(); }
EnvironmentRef::EnvironmentRef(EnvironmentRef&& other) noexcept = default;
EnvironmentRef& EnvironmentRef::operator=(EnvironmentRef&& other) noexcept {
  if (this != &other) {
    release();
    env_ = std::move(other.env_);
  }
  return *this;
}

DB_ENV* EnvironmentRef::handle() const { return env_ ? env_->handle() : nullptr; }

const std::string& EnvironmentRef::fileName() const {
  static const std::string none;
  return env_ ? env_->name() : none;
}

void EnvironmentRef::markUnclean() {
  if (env_) env_->markUnclean();
}

void EnvironmentRef::release() {
  if (!env_) return;
  std::lock_guard<std::mutex> guard(registry().mutex);
  env_.reset();  // the last reference closes the environment under the registry's lock
}

EnvironmentRef acquire(const std::string& file, std::uint32_t cacheBytes, int* result) {
  const std::string real = realPath(file);
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.mutex);
  if (auto shared = reg.open[real].lock()) {
    if (result) *result = 0;
    return EnvironmentRef(std::move(shared));
  }
  auto env = std::make_shared<Environment>(real, folderFor(real));
  const int rc = env->open(cacheBytes);
  if (result) *result = rc;
  if (rc != 0) {
    writeDiagnostic(file + ": cannot open its change log (" +
                    (rc == EBUSY ? std::string("in use by another process") : db_strerror(rc)) +
                    ")\n");
    return {};
  }
  reg.open[real] = env;
  return EnvironmentRef(std::move(env));
}

bool inUse(const std::string& file) {
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.mutex);
  const auto it = reg.open.find(realPath(file));
  return it != reg.open.end() && !it->second.expired();
}

Recovery recoverIfNeeded(const std::string& file) {
  const std::string folder = folderFor(file);
  if (!markerPresent(folder)) return Recovery::NotNeeded;
  const std::string real = realPath(file);
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.mutex);
  if (!reg.open[real].expired()) return Recovery::Busy;
  FolderLock lock;
  if (lock.tryLock(folder) != 0) return Recovery::Busy;
  if (!markerPresent(folder)) return Recovery::NotNeeded;  // finished while we looked
  std::error_code ec;
  if (describesAnotherFile(folder, real)) {
    fs::remove(folder + "/" + kOpenMarker, ec);
    return Recovery::NotNeeded;
  }
  DB_ENV* env = nullptr;
  int rc = openEnvironment(folder, 1024 * 1024, &env);
  if (rc == 0) {
    rc = env->txn_checkpoint(env, 0, 0, DB_FORCE);
    if (env->close(env, 0) != 0 && rc == 0) rc = EIO;
  }
  if (rc != 0) {
    writeDiagnostic(file + ": recovery from its change log failed (" +
                    std::string(db_strerror(rc)) + ")\n");
    return Recovery::Failed;
  }
  fs::remove(folder + "/" + kOpenMarker, ec);
  return Recovery::Recovered;
}

}  // namespace selvanor::changelog
