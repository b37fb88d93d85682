// One Berkeley DB B-tree with the system's fixed configuration and one cursor.
//
// Every file of the system is a B-tree with record numbers (DB_RECNUM), 4096-byte pages,
// no duplicates and the default byte-order key comparison; that is the file format and
// never changes. The cache size is a runtime choice (1 MB unless set before opening).
// Keys and values are raw bytes; the value codecs (store/engine/codecs.h) give them meaning.
#pragma once

#include <db.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/engine/change_log.h"
#include "store/engine/file_lock.h"

namespace selvanor {

enum class OpenMode {
  CreateIfMissing,  // DB_CREATE: a missing file is created empty
  ExistingOnly,     // a missing file is an open failure (readers, exports, checks)
};

// How long a handle holds the file's lock (store/engine/file_lock.h).
enum class Holding {
  // From open to close: shared for reading, alone for changing. Commands and dialogs.
  WholeTime,
  // Only while it is used (Storage::use(), and each change group alone): a handle kept
  // open between commands (the grid), so that other programs may read and change the
  // file meanwhile. Each use first checks that the file is still the one opened and
  // reopens it when another program changed or replaced it.
  PerUse,
};

class Storage {
 public:
  static constexpr std::uint32_t kPageSize = 4096;
  static constexpr std::uint32_t kDefaultCacheBytes = 1024 * 1024;

  Storage();
  ~Storage();  // closes cursor and database
  Storage(const Storage&) = delete;
  Storage& operator=(const Storage&) = delete;

  // Cache size for the next configure(); call before opening.
  void setCacheSize(std::uint32_t bytes) { cacheBytes_ = bytes; }
  // Lock holding for the next open; call before opening.
  void setHolding(Holding holding) { holding_ = holding; }

  // The three open forms. configure() creates and configures the handle; the caller then
  // opens it (openConfigured, e.g. with a sub-database name). open() does both;
  // openWithCursor() also opens the cursor, whose failure counts as a failed open.
  // A handle whose open failed is closed at once; the object can be opened again.
  [[nodiscard]] bool configure();
  [[nodiscard]] bool openConfigured(const std::string& file, const char* subDatabase = nullptr,
                                    OpenMode mode = OpenMode::CreateIfMissing);
  [[nodiscard]] bool open(const std::string& file, const char* subDatabase = nullptr,
                          OpenMode mode = OpenMode::CreateIfMissing);
  [[nodiscard]] bool openCursor();
  [[nodiscard]] bool openWithCursor(const std::string& file, const char* subDatabase = nullptr,
                                    OpenMode mode = OpenMode::CreateIfMissing);

  // Every open of an existing file takes its lock (waiting a short while for a change
  // under way in another program: lastResult() EBUSY), replays what a killed change left
  // in its log and refuses a damaged file (lastResult() DB_VERIFY_BAD), each with a
  // diagnostic and the reason for the user (common/refusal.h), so that nothing walks or
  // writes into damage or into a change half made. A file that cannot be opened for
  // writing (mode 444, a read-only file system) is opened read-only.
  //
  // Opens a file to change it in place (merges, dictionary edits, grid edits): in the file's
  // own logged environment (store/engine/change_log.h), so that each put and del, or each group
  // between beginChange() and commitChange(), reaches the file whole or not at all, even
  // across a kill or a full disk. The cursor reads outside any group. Falls back to a plain
  // False when the file cannot be opened, no log can be kept beside it (a read-only folder:
  // a change never runs unlogged), or another process reads or changes it.
  [[nodiscard]] bool openForChange(const std::string& file, OpenMode mode = OpenMode::CreateIfMissing);
  [[nodiscard]] bool openForChangeWithCursor(const std::string& file,
                                             OpenMode mode = OpenMode::CreateIfMissing);
  [[nodiscard]] bool logged() const { return static_cast<bool>(env_); }

  // A use of a PerUse handle: holds the shared lock while it lives. False when the lock
  // could not be had, or the file is gone or damaged (the handle is then closed).
  // reopened(): the file was changed or replaced by another program since the last use,
  // and the handle now reads the file as it is (the cursor is unpositioned).
  class Use {
   public:
    Use() = default;
    explicit operator bool() const { return ok_; }
    [[nodiscard]] bool reopened() const { return reopened_; }

   private:
    friend class Storage;
    FileLock lock_;
    bool ok_ = false;
    bool reopened_ = false;
  };
  [[nodiscard]] Use use();
  // True when the last use or change group found the file changed by another program.
  [[nodiscard]] bool changedOutside() const { return changedOutside_; }

  // A group of puts and deletes that reaches the file as one: commitChange() makes it
  // durable (log on disk, then the file's pages); abortChange(), a failed commit, close()
  // or the destructor before the commit undo every write of the group. On a plain handle
  // the writes go straight to the file and commitChange() only syncs it. Beginning and
  // ending a group leave the cursor unpositioned. On a PerUse handle a group holds the
  // file alone from begin to end; the first group moves the handle into the file's
  // logged environment, which it keeps until close. A group on a file changed or
  // replaced by another program since the last use is refused (changedOutside(), the
  // handle reopened on the file as it is), so nothing is written into a file the user has
  // not seen.
  [[nodiscard]] bool beginChange();
  [[nodiscard]] bool commitChange();
  void abortChange();
  [[nodiscard]] bool inChange() const { return txn_ != nullptr || plainGroup_; }

  // For readers that open Berkeley DB handles of their own (bulk reads of statistics
  // files): takes the file's shared lock, recovers and checks the file as an open does.
  // nullopt (the reason noted) when it may not be read; otherwise hold the lock while
  // reading (it is empty for a missing file, whose own open then fails).
  [[nodiscard]] static std::optional<FileLock> admitReader(const std::string& file);

  bool isOpen() const { return opened_; }
  const std::string& fileName() const { return file_; }

  // Record operations. put replaces an existing value. get and the cursor moves make the
  // record readable through key()/value().
  [[nodiscard]] bool put(std::string_view key, std::string_view value);
  [[nodiscard]] bool get(std::string_view key);
  [[nodiscard]] bool del(std::string_view key);

  // Cursor moves; false when there is no such record (or the cursor is not open).
  [[nodiscard]] bool first();
  [[nodiscard]] bool next();
  [[nodiscard]] bool last();
  [[nodiscard]] bool prev();
  // Positions on the first record whose key is `key` or follows it in key order
  // (DB_SET_RANGE); false when every key comes before it. The empty key finds the first.
  [[nodiscard]] bool seekRange(std::string_view key);
  // Positions on the 1-based record number `recno` in key order (DB_SET_RECNO).
  [[nodiscard]] bool seekRecord(std::uint32_t recno);
  // Record number of the cursor's record, if the cursor stands on one.
  [[nodiscard]] std::optional<std::uint32_t> currentRecordNumber();
  // Exact number of records, read from the tree's record counts (no walk).
  [[nodiscard]] std::optional<std::uint32_t> recordCount();

  // Key and value of the record last read by get() or a cursor move. The bytes stay valid
  // until the next get/move, or close.
  std::string_view key() const { return {static_cast<const char*>(key_.data), key_.size}; }
  std::string_view value() const { return {static_cast<const char*>(value_.data), value_.size}; }

  // Writes the file's changed pages to disk (inside a change group: nothing, the commit
  // does it).
  bool sync();
  // Closes the cursor, then the database (which writes out its cache). False when that
  // write failed. An open change group is undone first. Safe to call twice.
  bool close();

  // Berkeley DB return code of the last call (0 = success).
  int lastResult() const { return lastResult_; }

 private:
  bool cursorGet(std::uint32_t flag);
  // Copies `key` into the key buffer, for the calls that read their key from it.
  bool loadKey(std::string_view key);

  bool create(DB_ENV* env);  // db_create with the fixed configuration
  bool closeCursor();        // true when there was one
  // Takes the file's lock, recovers the file from its change log if a killed change left
  // one, and refuses a damaged file (store/engine/integrity.h). False, with lastResult()
  // set and the reason noted, when it may not be opened.
  bool readyToOpen(const std::string& file, LockKind kind, OpenMode mode,
                   const char* subDatabase = nullptr);
  bool refuse(int code, const std::string& text);
  // Opens the handle in the file's logged environment (the lock already held alone).
  bool openInEnvironment(const std::string& file, OpenMode mode);
  bool openPlain(const std::string& file, const char* subDatabase, OpenMode mode);
  // PerUse: the file as last seen by this handle is still what the path names.
  bool unchangedSinceSeen() const;
  void noteSeen();
  bool reopenAsSeenNow();
  bool closeHandles();  // database, cursor and environment; the WholeTime lock stays
  void endGroup(bool fileWhole);
  bool readyToWrite();
  template <typename Write>
  bool write(Write&& op);

  struct Seen {
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modified = 0, changed = 0;
  };

  changelog::EnvironmentRef env_;  // set while opened for change with a log
  FileLock lock_;                  // WholeTime: held from open to close
  FileLock groupLock_;             // PerUse: held alone through a change group
  Holding holding_ = Holding::WholeTime;
  Seen seen_;
  bool wrote_ = false;             // a write reached the file: vouch for it at close
  std::optional<std::uint32_t> lastLog_;  // log positions the file's pages may carry
  bool readOnly_ = false;
  bool forChange_ = false;
  bool changedOutside_ = false;
  DB_TXN* txn_ = nullptr;          // the open change group of a logged handle
  bool plainGroup_ = false;        // a change group on a plain handle
  DB* db_ = nullptr;
  DBC* cursor_ = nullptr;
  DBT key_{};    // realloc'ed buffers owned by this object
  DBT value_{};
  std::string file_;
  std::uint32_t cacheBytes_ = kDefaultCacheBytes;
  int lastResult_ = 0;
  bool opened_ = false;
};

}  // namespace selvanor
