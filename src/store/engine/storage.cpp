#include "store/engine/storage.h"

#include "common/diagnostics.h"
#include "common/files.h"
#include "common/refusal.h"
#include "store/engine/integrity.h"
#include "store/engine/io_seam.h"

#include <sys/stat.h>

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

bool Storage::configure() {
  close();
  return create(nullptr);
}

bool Storage::create(DB_ENV* env) {
  if (db_) {
    db_->close(db_, 0);
    db_ = nullptr;
  }
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

bool Storage::refuse(int code, const std::string& text) {
  lastResult_ = code;
  noteRefusal(text);
  return false;
}

bool Storage::readyToOpen(const std::string& file, LockKind kind, OpenMode mode,
                          const char* subDatabase) {
  seam::install();
  changedOutside_ = false;
  lastLog_.reset();
  if (!fileExists(file)) {
    if (mode == OpenMode::ExistingOnly) return true;  // the open fails and says so
    // A file of named databases is made by its first open (it cannot take names later);
    // it is new and the program's own, so no one else is waiting for it.
    if (subDatabase) {
      lastLog_ = 0;
      return true;
    }
    // A new file is made empty first, so that it can be locked like any other.
    Storage maker;
    if (!maker.openPlain(file, nullptr, OpenMode::CreateIfMissing) || !maker.close()) {
      return refuse(maker.lastResult(), "파일을 만들 수 없습니다: " + file);
    }
    integrity::vouch(file, 0);
  }
  const bool here = changelog::inUse(file);  // this process changes it: in step already
  LockRefusal why;
  FileLock lock = FileLock::acquire(file, kind, &why);
  if (!lock) {
    writeDiagnostic(file + ": not opened (" +
                    (why.reason == LockRefusal::Reason::Busy ? std::string("in use by another process")
                                                             : std::string(std::strerror(why.error))) +
                    ")\n");
    return refuse(why.reason == LockRefusal::Reason::Busy ? EBUSY : (why.error ? why.error : EIO),
                  describeRefusal(file, why, kind));
  }
  if (!here && changelog::needsRecovery(file)) {
    // Recovery writes the file: it needs the file alone for as long as it runs.
    FileLock alone = kind == LockKind::Exclusive ? FileLock() : FileLock::acquire(file, LockKind::Exclusive, &why);
    if (kind != LockKind::Exclusive && !alone) {
      return refuse(EBUSY, describeRefusal(file, why, LockKind::Exclusive));
    }
    if (changelog::recoverIfNeeded(file) == changelog::Recovery::Failed) {
      return refuse(DB_RUNRECOVERY, "변경 기록으로 파일을 되살리지 못했습니다(디스크 공간을 확인해 "
                                    "주세요). 아무것도 고치지 않았습니다: " + file);
    }
  }
  if (!here) {
    switch (integrity::check(file)) {
      case integrity::Verdict::Damaged:
        writeDiagnostic(file + ": damaged (it fails Berkeley DB's verification); not opened, not changed\n");
        return refuse(DB_VERIFY_BAD, "손상된 파일입니다(Berkeley DB 검사에 실패했습니다). 열지도 "
                                     "고치지도 않았습니다: " + file);
      case integrity::Verdict::Cancelled:
        return refuse(ECANCELED, "파일 검사를 멈추어 열지 않았습니다: " + file);
      case integrity::Verdict::Sound:
      case integrity::Verdict::NotADatabase:
        break;
    }
  }
  lastLog_ = integrity::lastLogFile(file);
  if (holding_ == Holding::WholeTime) lock_ = std::move(lock);
  return true;
}

std::optional<FileLock> Storage::admitReader(const std::string& file) {
  Storage s;
  if (!s.readyToOpen(file, LockKind::Shared, OpenMode::ExistingOnly)) return std::nullopt;
  return std::move(s.lock_);
}

bool Storage::openPlain(const std::string& file, const char* subDatabase, OpenMode mode) {
  if (!db_ && !create(nullptr)) return false;
  const u_int32_t flags = mode == OpenMode::CreateIfMissing ? DB_CREATE : 0;
  lastResult_ = db_->open(db_, nullptr, file.c_str(), subDatabase, DB_BTREE, flags, 0644);
  if (lastResult_ == EACCES || lastResult_ == EROFS) {
    // Reading needs read permission only: a file this user may not write is read as it is.
    db_->close(db_, 0);
    db_ = nullptr;
    if (!create(nullptr)) return false;
    lastResult_ = db_->open(db_, nullptr, file.c_str(), subDatabase, DB_BTREE, DB_RDONLY, 0644);
    readOnly_ = lastResult_ == 0;
  }
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

bool Storage::openConfigured(const std::string& file, const char* subDatabase, OpenMode mode) {
  if (!db_) return false;
  if (!readyToOpen(file, LockKind::Shared, mode, subDatabase)) {
    db_->close(db_, 0);
    db_ = nullptr;
    return false;
  }
  if (!openPlain(file, subDatabase, mode)) {
    lock_.release();
    return false;
  }
  noteSeen();
  return true;
}

bool Storage::open(const std::string& file, const char* subDatabase, OpenMode mode) {
  return configure() && openConfigured(file, subDatabase, mode);
}

bool Storage::openInEnvironment(const std::string& file, OpenMode mode) {
  int why = 0;
  changelog::EnvironmentRef env = changelog::acquire(file, cacheBytes_, &why);
  if (!env) {
    if (why == EBUSY) {
      const std::string who = changelog::holder(file);
      return refuse(EBUSY, "다른 프로그램이 이 파일을 고치고 있습니다: " + file +
                               (who.empty() ? std::string() : "\n(" + who + ")"));
    }
    if (why == ENOSPC || why == EDQUOT) {
      return refuse(ENOSPC, "디스크 공간이 부족해 변경 기록을 남길 수 없습니다. 아무것도 고치지 "
                            "않았습니다: " + file);
    }
    if (why == EACCES || why == EROFS || why == EPERM) {
      // A change never runs without its log: where none can be kept, nothing is changed.
      return refuse(why, "이 파일 옆에 변경 기록을 둘 수 없어(폴더에 쓸 수 없습니다) 고치지 "
                         "않았습니다: " + file);
    }
    return refuse(why ? why : EIO, "변경 기록을 열 수 없어 고치지 않았습니다: " + file);
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
  forChange_ = true;
  return true;
}

bool Storage::openForChange(const std::string& file, OpenMode mode) {
  close();
  if (!readyToOpen(file, LockKind::Exclusive, mode)) return false;
  if (holding_ == Holding::PerUse) {
    // The grid: read now, take the environment at the first change.
    if (!openPlain(file, nullptr, OpenMode::ExistingOnly)) return false;
    forChange_ = true;
    noteSeen();
    return true;
  }
  if (!openInEnvironment(file, mode)) {
    lock_.release();
    return false;
  }
  noteSeen();
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

void Storage::noteSeen() {
  struct stat st {};
  if (::stat(file_.c_str(), &st) != 0) {
    seen_ = {};
    return;
  }
  seen_ = Seen{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
               static_cast<std::uint64_t>(st.st_size),
               static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
               static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

bool Storage::unchangedSinceSeen() const {
  struct stat st {};
  if (::stat(file_.c_str(), &st) != 0) return false;
  return seen_.device == static_cast<std::uint64_t>(st.st_dev) &&
         seen_.inode == static_cast<std::uint64_t>(st.st_ino) &&
         seen_.size == static_cast<std::uint64_t>(st.st_size) &&
         seen_.modified == static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec &&
         seen_.changed == static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
}

bool Storage::reopenAsSeenNow() {
  const std::string file = file_;
  const bool hadCursor = cursor_ != nullptr;
  const bool forChange = forChange_;
  closeHandles();
  if (!readyToOpen(file, LockKind::Shared, OpenMode::ExistingOnly) ||
      !openPlain(file, nullptr, OpenMode::ExistingOnly)) {
    file_ = file;
    return false;
  }
  forChange_ = forChange;
  noteSeen();
  return !hadCursor || openCursor();
}

Storage::Use Storage::use() {
  Use u;
  if (!opened_) return u;
  // Within its own change group the handle holds the file alone and its pages move.
  if (holding_ != Holding::PerUse || inChange()) {
    u.ok_ = true;
    return u;
  }
  LockRefusal why;
  u.lock_ = FileLock::acquire(file_, LockKind::Shared, &why);
  if (!u.lock_) {
    refuse(EBUSY, describeRefusal(file_, why, LockKind::Shared));
    return u;
  }
  if (!unchangedSinceSeen()) {
    changedOutside_ = true;
    if (!reopenAsSeenNow()) return u;
    u.reopened_ = true;
  }
  u.ok_ = true;
  return u;
}

bool Storage::beginChange() {
  if (!opened_ || inChange()) return false;
  if (holding_ == Holding::PerUse) {
    if (!forChange_) return false;
    LockRefusal why;
    groupLock_ = FileLock::acquire(file_, LockKind::Exclusive, &why);
    if (!groupLock_) return refuse(EBUSY, describeRefusal(file_, why, LockKind::Exclusive));
    if (!unchangedSinceSeen()) {
      // Written or replaced by another program since the user last saw it: nothing is
      // written into what the user has not seen (or into a file no longer named).
      changedOutside_ = true;
      (void)reopenAsSeenNow();
      groupLock_.release();
      return refuse(ESTALE, "다른 프로그램이 문헌을 바꾸어 다시 읽었습니다. 고친 내용은 저장하지 "
                            "않았습니다: " + file_);
    }
    if (!env_) {
      const std::string file = file_;
      const bool hadCursor = cursor_ != nullptr;
      FileLock alone = std::move(groupLock_);  // closing the plain handles keeps the file alone
      closeHandles();
      groupLock_ = std::move(alone);
      if (!openInEnvironment(file, OpenMode::ExistingOnly)) {
        const std::string why = peekRefusal();
        const int code = lastResult_;
        (void)reopenAsSeenNow();
        file_ = file;
        groupLock_.release();
        noteRefusal(why);
        lastResult_ = code;
        return false;
      }
      if (hadCursor && !openCursor()) {
        groupLock_.release();
        return false;
      }
    }
  }
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
  if (lastResult_ != 0) groupLock_.release();
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
    if (committed == ENOSPC) noteRefusal("디스크 공간이 부족해 고치지 못했습니다: " + file_);
    lastResult_ = committed;
    endGroup(false);
    return false;
  }
  // The pages follow, so that plain readers see the change. Should that write fail, the
  // change still stands: the log holds it and recovery finishes the pages; the file is
  // kept alone until then.
  endGroup(sync());
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
  const bool whole = lastResult_ == 0 && sync();
  if (hadCursor) (void)openCursor();
  endGroup(whole);
}

void Storage::endGroup(bool fileWhole) {
  if (holding_ != Holding::PerUse || !groupLock_) return;
  if (!fileWhole) {
    // Pages only the log holds: readers must not see the file until recovery.
    env_.markUnclean();
    return;
  }
  noteSeen();
  integrity::vouch(file_, env_.currentLogFile());
  groupLock_.release();
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

bool Storage::readyToWrite() {
  if (readOnly_) {
    lastResult_ = EACCES;
    return false;
  }
  // A plain handle opened to read holds the file shared: its first write takes it alone.
  if (holding_ == Holding::WholeTime && !forChange_ && lock_ && lock_.kind() == LockKind::Shared) {
    LockRefusal why;
    FileLock alone = FileLock::acquire(file_, LockKind::Exclusive, &why);
    if (!alone) return refuse(EBUSY, describeRefusal(file_, why, LockKind::Exclusive));
    lock_ = std::move(alone);
  }
  return true;
}

template <typename Write>
bool Storage::write(Write&& op) {
  if (!opened_ || !readyToWrite()) return false;
  // A write on a handle kept between commands is a change group of its own.
  const bool single = holding_ == Holding::PerUse && !inChange();
  if (single && !beginChange()) return false;
  lastResult_ = op();
  if (lastResult_ != 0) {
    const int failed = lastResult_;
    if (single) abortChange();
    lastResult_ = failed;
    return false;
  }
  if (!env_) wrote_ = true;
  return !single || commitChange();
}

bool Storage::put(std::string_view key, std::string_view value) {
  return write([&] {
    DBT k = inputDbt(key);
    DBT v = inputDbt(value);
    return db_->put(db_, txn_, &k, &v, 0);
  });
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
  return write([&] {
    DBT k = inputDbt(key);
    return db_->del(db_, txn_, &k, 0);
  });
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

bool Storage::closeHandles() {
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
  // A file whose pages could not all be written is recovered from its log at next open;
  // a clean last close makes it whole, vouches for it and removes the log.
  if (!ok) env_.markUnclean();
  env_.release();
  groupLock_.release();
  // Written without a log: the pages carry the log positions they had.
  if (ok && wrote_ && lastLog_ && !file_.empty()) integrity::vouch(file_, *lastLog_);
  wrote_ = false;
  readOnly_ = false;
  forChange_ = false;
  return ok;
}

bool Storage::close() {
  const bool ok = closeHandles();
  lock_.release();
  key_.size = 0;
  value_.size = 0;
  return ok;
}

}  // namespace selvanor
