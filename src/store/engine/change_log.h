// Write-ahead logging for files changed in place (merges, dictionary edits, grid edits).
//
// Such a file is opened in a Berkeley DB environment of its own whose log lives in a hidden
// folder beside it, "<folder>/.<name>.log/". Every change is a transaction: its log reaches
// the disk before the commit returns, the file's pages follow. After a kill, a full disk or
// a power loss, the next open of the file by either program replays the committed changes
// and drops the others (recovery), so the file holds the old or the new content.
//
// The folder holds
//   "lock"     flock'ed while an environment is open on the file, so that recovery never
//              runs under a living process (the kernel drops the lock of a killed one);
//   "open"     present while the file may lack pages that only the log holds;
//   "file-id"  Berkeley DB's unique id of the file the log belongs to: a file replaced
//              since (a rebuild renamed over it) starts a fresh log;
//   "log.*"    the log itself, trimmed at each clean close.
// When no change is under way the file is an ordinary B-tree that db5.3_dump reads without
// the folder, and the folder may be removed.
#pragma once

#include <db.h>

#include <cstdint>
#include <memory>
#include <string>

namespace selvanor::changelog {

// The log folder of a file: "<folder>/.<name>.log" of the file the path names (links
// resolved).
[[nodiscard]] std::string folderFor(const std::string& file);

class Environment;

// A file's environment, shared by every handle this process opens on the file for
// changing. It is opened (and recovered) by the first and closed by the last.
class EnvironmentRef {
 public:
  EnvironmentRef() = default;
  ~EnvironmentRef();
  EnvironmentRef(EnvironmentRef&&) noexcept;
  EnvironmentRef& operator=(EnvironmentRef&&) noexcept;

  explicit operator bool() const { return env_ != nullptr; }
  // The environment handle; valid while this reference lives.
  [[nodiscard]] DB_ENV* handle() const;
  // The name to open the file under inside the environment (its name in its folder).
  [[nodiscard]] const std::string& fileName() const;
  // A close or write of the file failed: the folder keeps its "open" marker, so that the
  // next open recovers the file from the log.
  void markUnclean();
  // Lets go of the environment (the last reference closes it). Safe to call twice.
  void release();

 private:
  friend EnvironmentRef acquire(const std::string&, std::uint32_t, int*);
  explicit EnvironmentRef(std::shared_ptr<Environment> env);
  std::shared_ptr<Environment> env_;
};

// Opens the environment of `file` (or shares the one this process has open). An empty
// reference when it cannot be opened: another process is changing the file, the folder
// cannot be made, or recovery failed (*result, when given, then holds the Berkeley DB code,
// or EBUSY / the errno). `cacheBytes` sizes the first opener's cache.
[[nodiscard]] EnvironmentRef acquire(const std::string& file, std::uint32_t cacheBytes,
                                     int* result = nullptr);

// True while this process has the file's environment open (a change is under way here).
[[nodiscard]] bool inUse(const std::string& file);

enum class Recovery { NotNeeded, Recovered, Busy, Failed };
// Before a plain open of `file`: when a killed process left changes in the log, replays
// them. Busy when a running process (this one included) holds the file's environment: its
// owner keeps the file whole. Failed when recovery could not write the file (a full disk).
[[nodiscard]] Recovery recoverIfNeeded(const std::string& file);

}  // namespace selvanor::changelog
