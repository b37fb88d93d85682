// The one lock every opener of a database file honours: readers share it, a change or a
// rebuild holds it alone.
//
// It is an flock on the database file itself, so every process of this system (and any
// other program that takes flock on the file) sees it, and the kernel drops it with a
// killed process. Inside one process the holders are counted per file (device and inode):
// the process holds the strongest kind any of its holders asked for, so a reader and a
// change of the same file in one process never wait for each other (the process keeps its
// own handles in step). The descriptor is close-on-exec: a started program never inherits it.
//
// A file replaced by a rename while a holder waited is not the file the path names any
// more: acquire() then locks the new file instead.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace selvanor {

enum class LockKind { Shared, Exclusive };

// Why a lock was not had.
struct LockRefusal {
  enum class Reason { Busy, Missing, Error } reason = Reason::Error;
  bool holderChanges = false;  // Busy: another process holds it alone (a change under way)
  std::string holder;          // Busy: "program, PID" of a holder when it can be found
  int error = 0;               // Error: the errno
};

class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock of the existing regular file `file`, waiting up to the lock wait
  // (lockWaitMilliseconds()) while another process holds it in a conflicting way.
  // An empty lock and *refusal filled when it cannot be had.
  [[nodiscard]] static FileLock acquire(const std::string& file, LockKind kind,
                                        LockRefusal* refusal = nullptr);
  // The same, without waiting.
  [[nodiscard]] static FileLock tryAcquire(const std::string& file, LockKind kind,
                                           LockRefusal* refusal = nullptr);

  explicit operator bool() const { return static_cast<bool>(entry_); }
  [[nodiscard]] LockKind kind() const { return kind_; }
  // Device and inode of the locked file: the file this lock protects, whatever the path
  // names now.
  [[nodiscard]] std::uint64_t device() const;
  [[nodiscard]] std::uint64_t inode() const;
  // True while the path still names the locked file (not replaced or removed since).
  [[nodiscard]] bool stillNamedBy(const std::string& path) const;

  // Lets go (the process-wide lock is downgraded or dropped when no holder needs it).
  void release();

  struct Entry;

 private:
  std::shared_ptr<Entry> entry_;
  LockKind kind_ = LockKind::Shared;
};

// How long acquire() waits for another process: 3 seconds, or SELVANOR_LOCK_WAIT_MS.
[[nodiscard]] int lockWaitMilliseconds();

// "다른 프로그램이 이 파일을 고치고 있습니다: FILE" (or "... 읽고 있습니다" when the holders
// only read), with the holder on a second line when known. UTF-8.
[[nodiscard]] std::string describeRefusal(const std::string& file, const LockRefusal& refusal,
                                          LockKind wanted);

}  // namespace selvanor
