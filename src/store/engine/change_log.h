// Write-ahead logging for files changed in place (merges, dictionary edits, grid edits).
//
// While a change can be under way, the file is opened in a Berkeley DB environment of its
// own whose log lives in a hidden folder beside it, "<folder>/.<name>.log/". Every change
// is a transaction: its log reaches the disk before the commit returns, the file's pages
// follow. After a kill, a full disk or a power loss, the next open of the file by either
// program replays the committed changes and drops the others (recovery), so the file holds
// the old or the new content.
//
// The folder exists only while an environment is open on the file, or after a kill until
// the next open recovers the file: a clean close makes the file whole and removes the
// folder. It holds
//   "lock"     flock'ed while an environment is open on the file, so that recovery never
//              runs under a living process and no second process changes the file;
//   "open"     present while the file may lack pages that only the log holds;
//   "file-id"  Berkeley DB's unique id of the file the log belongs to: a file replaced
//              since (renamed over) does not take the old log;
//   "log.*"    the log, no longer than the changes it holds (no preallocation).
// Removing the folder while it holds "open" loses the changes that only the log holds, and
// may leave the file unreadable.
//
// Pages carry the position in the log of their last logged change. A new log must start
// past every position a page carries (Berkeley DB refuses pages "past the end of the log",
// and recovery compares positions): it starts at the log file after the highest one the
// file's pages carry, which the integrity memory keeps per file (store/engine/integrity.h)
// or a read of the page stamps finds.
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
  // The log file the environment writes now: every page it changed carries at most this.
  [[nodiscard]] std::uint32_t currentLogFile() const;
  // A close or write of the file failed: the folder keeps its "open" marker, so that the
  // next open recovers the file from the log.
  void markUnclean();
  // Lets go of the environment (the last reference closes it and, when clean, removes
  // the folder). Safe to call twice.
  void release();

 private:
  friend EnvironmentRef acquire(const std::string&, std::uint32_t, int*);
  explicit EnvironmentRef(std::shared_ptr<Environment> env);
  std::shared_ptr<Environment> env_;
};

// Opens the environment of `file` (or shares the one this process has open). The caller
// holds the file's exclusive lock (store/engine/file_lock.h). An empty reference when it
// cannot be opened: another process has an environment open on the file (EBUSY), the
// folder cannot be made, space is short (ENOSPC), or recovery failed (*result, when given,
// then holds the errno or the Berkeley DB code). `cacheBytes` sizes the first opener's
// cache.
[[nodiscard]] EnvironmentRef acquire(const std::string& file, std::uint32_t cacheBytes,
                                     int* result = nullptr);

// True while this process has the file's environment open (a change is under way here).
[[nodiscard]] bool inUse(const std::string& file);

// True when a killed change may have left the file short of pages its log holds.
[[nodiscard]] bool needsRecovery(const std::string& file);

// "program, PID" of the process that has an environment open on the file, when another
// one has.
[[nodiscard]] std::string holder(const std::string& file);

enum class Recovery { NotNeeded, Recovered, Busy, Failed };
// Before a plain open of `file` (the caller holds its exclusive lock): when a killed
// process left changes in the log, replays them and removes the folder. Busy when a
// running process (this one included) holds the file's environment: its owner keeps the
// file whole. Failed when recovery could not write the file (a full disk).
[[nodiscard]] Recovery recoverIfNeeded(const std::string& file);

}  // namespace selvanor::changelog
