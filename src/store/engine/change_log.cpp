#include "store/engine/change_log.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "common/diagnostics.h"
#include "common/files.h"
#include "store/engine/file_lock.h"
#include "store/engine/integrity.h"
#include "store/engine/io_seam.h"

namespace selvanor::changelog {

namespace fs = std::filesystem;

namespace {

const char kErrorPrefix[] = "Selvanor:DB관련 오류!\n";
constexpr char kLockName[] = "lock";
constexpr char kOpenMarker[] = "open";
constexpr char kFileIdName[] = "file-id";
constexpr char kStartFolder[] = "start";

// The unique id Berkeley DB writes into a file's meta page when it creates the file:
// 20 bytes at offset 52 of the first page.
constexpr std::size_t kUidOffset = 52;
constexpr std::size_t kUidSize = 20;

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

int writeSmallFile(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return errno;
  int err = 0;
  if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
      ::fsync(fd) != 0) {
    err = errno ? errno : EIO;
  }
  if (::close(fd) != 0 && err == 0) err = errno;
  return err;
}

int syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int err = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return err;
}

std::string logName(std::uint32_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "log.%010u", number);
  return name;
}

std::vector<fs::path> logFiles(const std::string& folder) {
  std::vector<fs::path> logs;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string().rfind("log.", 0) == 0) logs.push_back(it->path());
  }
  return logs;
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

DB_ENV* newEnvironment(int* rc) {
  seam::install();
  DB_ENV* env = nullptr;
  *rc = db_env_create(&env, 0);
  if (*rc != 0) return nullptr;
  env->set_errfile(env, stderr);
  env->set_errpfx(env, kErrorPrefix);
  return env;
}

// Opens (and recovers) the environment in `folder`; the Berkeley DB code.
int openEnvironment(const std::string& folder, std::uint32_t cacheBytes, DB_ENV** out) {
  *out = nullptr;
  int rc = 0;
  DB_ENV* env = newEnvironment(&rc);
  if (!env) return rc;
  // The file sits beside the folder; naming it relative keeps folder and file movable
  // together.
  if ((rc = env->set_cachesize(env, 0, cacheBytes, 1)) != 0 ||
      (rc = env->add_data_dir(env, "..")) != 0 || (rc = env->set_create_dir(env, "..")) != 0 ||
      (rc = env->log_set_config(env, DB_LOG_AUTO_REMOVE, 1)) != 0) {
    env->close(env, 0);
    return rc;
  }
  // One process changes a file at a time (the file's exclusive lock and the folder lock),
  // so the environment is private to it and needs no locking subsystem; recovery runs at
  // every open and costs nothing on a fresh log.
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

// Lays a log file numbered `number` in `folder` that holds only its header, so that the
// environment opened next writes on in that file: every position it gives lies past the
// log files before it. Berkeley DB makes the file (in a folder of its own) and it is
// renamed into place: a log file's header does not name its number.
int layStartOfLog(const std::string& folder, std::uint32_t number) {
  const std::string start = folder + "/" + kStartFolder;
  std::error_code ec;
  fs::remove_all(start, ec);
  fs::create_directory(start, ec);
  if (ec) return ec.value();
  int rc = 0;
  DB_ENV* env = newEnvironment(&rc);
  if (!env) return rc;
  rc = env->open(env, start.c_str(), DB_CREATE | DB_INIT_LOG | DB_INIT_MPOOL | DB_INIT_TXN | DB_PRIVATE, 0);
  if (rc == 0) rc = env->log_flush(env, nullptr);
  const int closed = env->close(env, 0);
  if (rc == 0) rc = closed;
  if (rc == 0 && std::rename((start + "/" + logName(1)).c_str(),
                             (folder + "/" + logName(number)).c_str()) != 0) {
    rc = errno;
  }
  fs::remove_all(start, ec);
  return rc;
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
  fs::remove_all(folder + "/" + kStartFolder, ec);
}

bool markerPresent(const std::string& folder) {
  std::error_code ec;
  return fs::exists(folder + "/" + kOpenMarker, ec);
}

// Removes a folder whose file is whole: the marker first (synced), so that a kill part
// way leaves a folder the next open takes for stale, never a marker over a partial log.
void removeFolder(const std::string& folder) {
  std::error_code ec;
  if (markerPresent(folder)) {
    fs::remove(folder + "/" + kOpenMarker, ec);
    if (ec || syncFolder(folder) != 0) return;
  }
  removeLogs(folder);
  fs::remove(folder + "/" + kLockName, ec);
  fs::remove(folder, ec);
  (void)syncFolder(fs::path(folder).parent_path().string());
}

std::string lockHolder(const std::string& folder) {
  LockRefusal why;
  // The folder lock is an flock like the file lock: the same look-up names its holder.
  FileLock probe = FileLock::tryAcquire(folder + "/" + kLockName, LockKind::Shared, &why);
  return probe ? std::string() : why.holder;
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
  std::uint32_t currentLogFile() const;

 private:
  std::string real_, folder_, name_;
  std::pair<dev_t, ino_t> opened_{};  // the file the environment was opened on
  FolderLock lock_;
  DB_ENV* env_ = nullptr;
  bool unclean_ = false;
};

std::uint32_t Environment::currentLogFile() const {
  if (!env_) return 0;
  DB_LOG_STAT* st = nullptr;
  if (env_->log_stat(env_, &st, 0) != 0 || !st) return 0;
  const std::uint32_t file = st->st_cur_file;
  std::free(st);
  return file;
}

int Environment::open(std::uint32_t cacheBytes) {
  std::error_code ec;
  fs::create_directory(folder_, ec);
  if (ec) return ec.value();
  if (const int err = lock_.tryLock(folder_); err != 0) return err;

  // A log is taken over only where a killed change left one for this very file; anything
  // else in the folder is what a clean close did not finish removing.
  const bool recovering = markerPresent(folder_) && !logFiles(folder_).empty() &&
                          !describesAnotherFile(folder_, real_);
  if (!recovering) {
    removeLogs(folder_);
    std::optional<std::uint32_t> last = integrity::lastLogFile(real_);
    if (!last && fileExists(real_)) last = integrity::scanLastLogFile(real_);
    if (!last) return EIO;
    if (*last > 0) {
      if (const int rc = layStartOfLog(folder_, *last + 1); rc != 0) return rc;
    }
    if (const auto uid = fileUid(real_)) {
      if (const int err = writeSmallFile(folder_ + "/" + kFileIdName, *uid); err != 0) return err;
    }
  }
  struct stat st {};
  if (::stat(real_.c_str(), &st) == 0) opened_ = {st.st_dev, st.st_ino};
  // The marker must be on disk before any page of the file can be written from the log.
  if (const int err = writeSmallFile(folder_ + "/" + kOpenMarker, {}); err != 0) return err;
  if (const int err = syncFolder(folder_); err != 0) return err;
  return openEnvironment(folder_, cacheBytes, &env_);
}

void Environment::close() {
  if (!env_) return;
  // Every handle on the file is closed (their pages written); the checkpoint makes the
  // file whole on disk, so the log is no longer needed.
  if (env_->txn_checkpoint(env_, 0, 0, DB_FORCE) != 0) unclean_ = true;
  const std::uint32_t lastLog = currentLogFile();
  if (env_->close(env_, 0) != 0) unclean_ = true;
  env_ = nullptr;
  if (unclean_) return;  // the next open recovers the file from the log
  // Only the file this environment changed is vouched for, not one renamed over it since.
  struct stat st {};
  if (::stat(real_.c_str(), &st) == 0 && std::make_pair(st.st_dev, st.st_ino) == opened_) {
    integrity::vouch(real_, lastLog);
  }
  removeFolder(folder_);
}

namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<Environment>> open;
};

Registry& registry() {
  static Registry* r = [] {
    auto* made = new Registry;
    // A forked child is another process: it must not use (or close) its parent's
    // environments, so it starts with none.
    ::pthread_atfork(nullptr, nullptr, [] {
      Registry& reg = registry();
      new (&reg.mutex) std::mutex;
      for (auto& [file, weak] : reg.open) {
        if (auto env = weak.lock()) new std::shared_ptr<Environment>(env);  // never closed here
      }
      reg.open.clear();
    });
    return made;
  }();
  return *r;
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

std::uint32_t EnvironmentRef::currentLogFile() const { return env_ ? env_->currentLogFile() : 0; }

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

bool needsRecovery(const std::string& file) { return markerPresent(folderFor(file)); }

std::string holder(const std::string& file) { return lockHolder(folderFor(file)); }

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
  if (describesAnotherFile(folder, real) || logFiles(folder).empty()) {
    removeFolder(folder);  // nothing of it belongs to this file
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
  // The recovered file is verified like any other before it is read, and a later log
  // finds the positions its pages carry by reading their stamps.
  lock.unlock();
  removeFolder(folder);
  return Recovery::Recovered;
}

}  // namespace selvanor::changelog
