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

namespace selvanor {

enum class OpenMode {
  CreateIfMissing,  // DB_CREATE: a missing file is created empty
  ExistingOnly,     // a missing file is an open failure (readers, exports, checks)
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

  // Every open of an existing file first replays what a killed change left in its log and
  // refuses a damaged file (lastResult() DB_VERIFY_BAD, a diagnostic naming it), so that
  // nothing walks or writes into damage.
  //
  // Opens a file to change it in place (merges, dictionary edits, grid edits): in the file's
  // own logged environment (store/engine/change_log.h), so that each put and del, or each group
  // between beginChange() and commitChange(), reaches the file whole or not at all, even
  // across a kill or a full disk. The cursor reads outside any group. Falls back to a plain
  // open, with a diagnostic, where no log can be kept beside the file (a read-only folder).
  // False when the file cannot be opened or another process is changing it.
  [[nodiscard]] bool openForChange(const std::string& file, OpenMode mode = OpenMode::CreateIfMissing);
  [[nodiscard]] bool openForChangeWithCursor(const std::string& file,
                                             OpenMode mode = OpenMode::CreateIfMissing);
  [[nodiscard]] bool logged() const { return static_cast<bool>(env_); }

  // A group of puts and deletes that reaches the file as one: commitChange() makes it
  // durable (log on disk, then the file's pages); abortChange(), a failed commit, close()
  // or the destructor before the commit undo every write of the group. On a plain handle
  // the writes go straight to the file and commitChange() only syncs it. Beginning and
  // ending a group leave the cursor unpositioned.
  [[nodiscard]] bool beginChange();
  [[nodiscard]] bool commitChange();
  void abortChange();
  [[nodiscard]] bool inChange() const { return txn_ != nullptr || plainGroup_; }

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
  // Recovers the file from its change log if a killed change left one, and refuses a
  // damaged file (store/engine/integrity.h). False, with lastResult() set, when it may not be opened.
  bool readyToOpen(const std::string& file);

  changelog::EnvironmentRef env_;  // set while opened for change with a log
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
