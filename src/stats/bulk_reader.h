// Bulk reads of one database of a file, for the statistics code that reads every record.
#pragma once

#include <db.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "store/engine/file_lock.h"
#include "store/engine/storage.h"

namespace selvanor::stats {

// One database of a file (a document, or one tag database of a statistics file), read
// many records per call: a statistics build or run reads every record, and per-record
// cursor calls cost more than the counting. Configured as every file of the system is
// (DB_RECNUM, 4096-byte pages); checked and locked as every file is before it is read.
class BulkReader {
 public:
  BulkReader() = default;
  BulkReader(const BulkReader&) = delete;
  BulkReader& operator=(const BulkReader&) = delete;
  ~BulkReader() {
    if (cursor_) cursor_->close(cursor_);
    if (db_) db_->close(db_, 0);  // also after a failed open, as Berkeley DB requires
  }

  // `subDatabase`: a tag database's name, or nullptr for the file's one database.
  [[nodiscard]] bool open(const std::string& path, const char* subDatabase) {
    // Checked and locked as every database file is before it is read.
    auto lock = Storage::admitReader(path);
    if (!lock) return false;
    lock_ = std::move(*lock);
    if (db_create(&db_, nullptr, 0) != 0) {
      db_ = nullptr;
      return false;
    }
    db_->set_errfile(db_, stderr);
    db_->set_errpfx(db_, "Selvanor:DB관련 오류!\n");
    return db_->set_flags(db_, DB_RECNUM) == 0 && db_->set_pagesize(db_, Storage::kPageSize) == 0 &&
           db_->open(db_, nullptr, path.c_str(), subDatabase, DB_BTREE, DB_RDONLY, 0) == 0 &&
           db_->cursor(db_, nullptr, &cursor_, 0) == 0;
  }

  // Number of records, from the tree's counts (no walk); 0 when not known.
  [[nodiscard]] std::uint32_t recordCount() {
    DB_BTREE_STAT* st = nullptr;
    if (!db_ || db_->stat(db_, nullptr, &st, DB_FAST_STAT) != 0 || !st) return 0;
    const std::uint32_t n = st->bt_nkeys;
    std::free(st);
    return n;
  }

  // Calls fn(key, value) for every record in key order; false on a read error. A `fn`
  // that returns bool stops the walk by returning false (the walk then returns true).
  template <class Fn>
  [[nodiscard]] bool forEach(Fn&& fn) {
    for (;;) {
      DBT key{}, data{};
      data.flags = DB_DBT_USERMEM;
      data.data = buffer_.data();
      data.ulen = static_cast<u_int32_t>(buffer_.size());
      const int rc = cursor_->get(cursor_, &key, &data, DB_NEXT | DB_MULTIPLE_KEY);
      if (rc == DB_NOTFOUND) return true;
      if (rc == DB_BUFFER_SMALL) {  // one record larger than the buffer
        buffer_.resize((data.size / 1024 + 1) * 1024 * 2);
        continue;
      }
      if (rc != 0) return false;
      void* at = nullptr;
      DB_MULTIPLE_INIT(at, &data);
      for (;;) {
        void *k = nullptr, *v = nullptr;
        u_int32_t kl = 0, vl = 0;
        DB_MULTIPLE_KEY_NEXT(at, &data, k, kl, v, vl);
        if (at == nullptr) break;
        const std::string_view key(static_cast<const char*>(k), kl);
        const std::string_view value(static_cast<const char*>(v), vl);
        if constexpr (std::is_same_v<decltype(fn(key, value)), bool>) {
          if (!fn(key, value)) return true;
        } else {
          fn(key, value);
        }
      }
    }
  }

 private:
  FileLock lock_;  // held while reading
  DB* db_ = nullptr;
  DBC* cursor_ = nullptr;
  std::vector<char> buffer_ = std::vector<char>(1 << 20);
};

}  // namespace selvanor::stats
