#include "store/engine/storage.h"

#include "common/diagnostics.h"
#include "store/engine/integrity.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace selvanor {
namespace {

// Berkeley DB's own error reports go to standard error behind this prefix.
const char kErrorPrefix[] = "Selvanor:DB관련 오류!\n";

DBT inputDbt(std::string_view bytes) {
  DBT d{};
  d.data = const_cast<char*>(bytes.data());
  d.size = static_cast<u_int32_t>(bytes.size());
  return d;
}

}  // namespace

Storage::Storage() {
  key_.flags = DB_DBT_REALLOC;
  value_.flags = DB_DBT_REALLOC;
}

Storage::~Storage() {
  close();
  std::free(key_.data);
  std::free(value_.data);
}

bool Storage::configure() { return create(nullptr); }

bool Storage::create(DB_ENV* env) {
  close();
  lastResult_ = db_create(&db_, env, 0);
  if (lastResult_ != 0) {
    std::fprintf(stderr, "db_create:%s\n", db_strerror(lastResult_));
    db_ = nullptr;
    return false;
  }
  if ((lastResult_ = db_->set_flags(db_, DB_RECNUM)) != 0 ||
      (db_->set_errfile(db_, stderr), db_->set_errpfx(db_, kErrorPrefix),
       (lastResult_ = db_->set_pagesize(db_, kPageSize)) != 0) ||
      (!env && (lastResult_ = db_->set_cachesize(db_, 0, cacheBytes_, 1)) != 0)) {
    db_->close(db_, 0);
    db_ = nullptr;
    return false;
  }
  return true;
}

bool Storage::openConfigured(const std::string& file, const char* subDatabase, OpenMode mode) {
  if (!db_) return false;
  if (!readyToOpen(file)) {
    db_->close(db_, 0);
    db_ = nullptr;
    return false;
  }
  const u_int32_t flags = mode == OpenMode::CreateIfMissing ? DB_CREATE : 0;
  lastResult_ = db_->open(db_, nullptr, file.c_str(), subDatabase, DB_BTREE, flags, 0644);
  if (lastResult_ != 0) {
    db_->err(db_, lastResult_, "%s", file.c_str());
    db_->close(db_, 0);  // a failed open still closes the handle
    db_ = nullptr;
    return false;
  }
  file_ = file;
  opened_ = true;
  return true;
}

bool Storage::open(const std::string& file, const char* subDatabase, OpenMode mode) {
  return configure() && openConfigured(file, subDatabase, mode);
}

bool Storage::readyToOpen(const std::string& file) {
  // A file this process is changing was checked when the change began, and its pages may
  // be ahead of the disk until the change ends.
  if (changelog::inUse(file)) return true;
  // What a killed change left in the file's log is replayed before the file is read.
  if (changelog::recoverIfNeeded(file) == changelog::Recovery::Failed) {
    lastResult_ = DB_RUNRECOVERY;
    return false;
  }
  if (integrity::check(file) == integrity::Verdict::Damaged) {
    writeDiagnostic(file + ": damaged (it fails Berkeley DB's verification); not opened, not changed\n");
    lastResult_ = DB_VERIFY_BAD;
    return false;
  }
  return true;
}

bool Storage::openForChange(const std::string& file, OpenMode mode) {
  close();
  if (!readyToOpen(file)) return false;
  int why = 0;
  changelog::EnvironmentRef env = changelog::acquire(file, cacheBytes_, &why);
  if (!env) {
    lastResult_ = why;
    // Where no folder can be made beside the file (a read-only folder, a file system that
    // refuses it) the change goes to the file directly, as it always could. Anything else
    // (another process changing the file, a full disk, a failed recovery) is refused.
    if (why != EACCES && why != EROFS && why != EPERM) return false;
    return open(file, nullptr, mode);
  }
  if (!create(env.handle())) return false;
  env_ = std::move(env);
  u_int32_t flags = DB_AUTO_COMMIT;
  if (mode == OpenMode::CreateIfMissing) flags |= DB_CREATE;
  lastResult_ = db_->open(db_, nullptr, env_.fileName().c_str(), nullptr, DB_BTREE, flags, 0644);
  if (lastResult_ != 0) {
    db_->err(db_, lastResult_, "%s", file.c_str());
    db_->close(db_, 0);
    db_ = nullptr;
    env_.release();
    return false;
  }
  file_ = file;
  opened_ = true;
  return true;
}

bool Storage::openForChangeWithCursor(const std::string& file, OpenMode mode) {
  if (!openForChange(file, mode)) return false;
  if (!openCursor()) {
    close();
    return false;
  }
  return true;
}

bool Storage::beginChange() {
  if (!opened_ || inChange()) return false;
  if (!env_) {
    plainGroup_ = true;
    return true;
  }
  // A cursor opened outside the group must not stand on pages the group changes (an
  // abort would undo them under it): the cursor moves into the group and back out after.
  const bool hadCursor = closeCursor();
  lastResult_ = env_.handle()->txn_begin(env_.handle(), nullptr, &txn_, 0);
  if (lastResult_ != 0) txn_ = nullptr;
  if (hadCursor) (void)openCursor();
  return lastResult_ == 0;
}

bool Storage::commitChange() {
  if (plainGroup_) {
    plainGroup_ = false;
    return sync();
  }
  if (!txn_) return false;
  const bool hadCursor = closeCursor();
  DB_TXN* txn = txn_;
  txn_ = nullptr;
  // The commit writes and syncs the group's log; a failed commit undoes the group.
  lastResult_ = txn->commit(txn, 0);
  const int committed = lastResult_;
  if (hadCursor) (void)openCursor();
  if (committed != 0) {
    lastResult_ = committed;
    return false;
  }
  // The pages follow, so that plain readers see the change. Should that write fail, the
  // change still stands: the log holds it and recovery finishes the pages.
  (void)sync();
  return true;
}

void Storage::abortChange() {
  plainGroup_ = false;
  if (!txn_) return;
  const bool hadCursor = closeCursor();
  DB_TXN* txn = txn_;
  txn_ = nullptr;
  lastResult_ = txn->abort(txn);
  // A group may have shortened the file (a freed last page); the pages written back make
  // it whole again for readers without the log.
  if (lastResult_ == 0) (void)sync();
  if (hadCursor) (void)openCursor();
}

bool Storage::closeCursor() {
  if (!cursor_) return false;
  cursor_->close(cursor_);
  cursor_ = nullptr;
  return true;
}

bool Storage::openCursor() {
  if (!opened_) return false;
  if (cursor_) return true;
  lastResult_ = db_->cursor(db_, txn_, &cursor_, 0);
  if (lastResult_ != 0) {
    cursor_ = nullptr;
    return false;
  }
  return true;
}

bool Storage::openWithCursor(const std::string& file, const char* subDatabase, OpenMode mode) {
  if (!open(file, subDatabase, mode)) return false;
  if (!openCursor()) {
    close();
    return false;
  }
  return true;
}

bool Storage::put(std::string_view key, std::string_view value) {
  if (!opened_) return false;
  DBT k = inputDbt(key);
  DBT v = inputDbt(value);
  lastResult_ = db_->put(db_, txn_, &k, &v, 0);
  return lastResult_ == 0;
}

bool Storage::get(std::string_view key) {
  if (!opened_) return false;
  // The key is copied into our own buffer so that key() names the record read.
  if (!loadKey(key)) return false;
  lastResult_ = db_->get(db_, txn_, &key_, &value_, 0);
  if (lastResult_ != 0) value_.size = 0;
  return lastResult_ == 0;
}

bool Storage::del(std::string_view key) {
  if (!opened_) return false;
  DBT k = inputDbt(key);
  lastResult_ = db_->del(db_, txn_, &k, 0);
  return lastResult_ == 0;
}

bool Storage::loadKey(std::string_view key) {
  key_.data = std::realloc(key_.data, key.size() + 1);
  if (!key_.data) return false;
  if (!key.empty()) std::memcpy(key_.data, key.data(), key.size());
  key_.size = static_cast<u_int32_t>(key.size());
  return true;
}

bool Storage::cursorGet(std::uint32_t flag) {
  if (!cursor_) return false;
  lastResult_ = cursor_->get(cursor_, &key_, &value_, flag);
  return lastResult_ == 0;
}

bool Storage::first() { return cursorGet(DB_FIRST); }
bool Storage::next() { return cursorGet(DB_NEXT); }
bool Storage::last() { return cursorGet(DB_LAST); }
bool Storage::prev() { return cursorGet(DB_PREV); }

bool Storage::seekRange(std::string_view key) {
  // DB_SET_RANGE reads the key from our buffer and writes the key found back into it.
  return cursor_ && loadKey(key) && cursorGet(DB_SET_RANGE);
}

bool Storage::seekRecord(std::uint32_t recno) {
  if (!cursor_ || recno == 0) return false;
  // DB_SET_RECNO reads the record number from the key buffer.
  key_.data = std::realloc(key_.data, sizeof(db_recno_t));
  if (!key_.data) return false;
  db_recno_t r = recno;
  std::memcpy(key_.data, &r, sizeof r);
  key_.size = sizeof r;
  return cursorGet(DB_SET_RECNO);
}

std::optional<std::uint32_t> Storage::currentRecordNumber() {
  if (!cursor_) return std::nullopt;
  DBT k{};
  DBT d{};
  db_recno_t r = 0;
  d.data = &r;
  d.ulen = sizeof r;
  d.flags = DB_DBT_USERMEM;
  lastResult_ = cursor_->get(cursor_, &k, &d, DB_GET_RECNO);
  if (lastResult_ != 0) return std::nullopt;
  return r;
}

std::optional<std::uint32_t> Storage::recordCount() {
  if (!opened_) return std::nullopt;
  DB_BTREE_STAT* st = nullptr;
  // With record numbers kept in the tree, the fast statistics are exact.
  lastResult_ = db_->stat(db_, nullptr, &st, DB_FAST_STAT);
  if (lastResult_ != 0 || !st) return std::nullopt;
  const std::uint32_t n = st->bt_nkeys;
  std::free(st);
  return n;
}

bool Storage::sync() {
  if (!opened_) return false;
  if (inChange()) return true;
  lastResult_ = db_->sync(db_, 0);
  return lastResult_ == 0;
}

bool Storage::close() {
  abortChange();
  opened_ = false;
  bool ok = true;
  if (cursor_) {
    ok = cursor_->close(cursor_) == 0;
    cursor_ = nullptr;
  }
  if (db_) {
    const int rc = db_->close(db_, 0);
    if (rc != 0) {
      lastResult_ = rc;
      ok = false;
    }
    db_ = nullptr;
  }
  // A file whose pages could not all be written is recovered from its log at next open.
  if (!ok) env_.markUnclean();
  env_.release();
  key_.size = 0;
  value_.size = 0;
  return ok;
}

}  // namespace selvanor
