#include "store/engine/document_cursor.h"

#include "common/diagnostics.h"
#include "store/engine/codecs.h"

namespace selvanor {

DocumentCursor::~DocumentCursor() { close(); }

ResultCode DocumentCursor::open(const std::string& file, OpenMode mode) {
  close();
  if (!store_.openWithCursor(file, nullptr, mode)) return result::kOpenError;
  open_ = true;
  return result::kOk;
}

ResultCode DocumentCursor::openForChange(const std::string& file, OpenMode mode) {
  close();
  if (!store_.openForChangeWithCursor(file, mode)) return result::kOpenError;
  open_ = true;
  return result::kOk;
}

bool DocumentCursor::beginChange() {
  if (!open_ || !store_.beginChange()) return false;
  standOnCurrent();
  return true;
}

bool DocumentCursor::commitChange() {
  const bool ok = store_.commitChange();
  standOnCurrent();
  return ok;
}

void DocumentCursor::abortChange() {
  store_.abortChange();
  standOnCurrent();
}

Storage::Use DocumentCursor::use() {
  Storage::Use u = store_.use();
  if (u.reopened()) current_ = {};
  if (!u && !store_.isOpen()) {
    open_ = false;
    current_ = {};
  }
  return u;
}

void DocumentCursor::standOnCurrent() {
  // Back on the record read last, or the one after it when it is gone.
  if (current_.serial.empty()) return;
  const std::string serial = current_.serial;
  if (afterMove(store_.seekRange(serial)) != kRead) (void)last();
}

void DocumentCursor::close() {
  open_ = false;
  current_ = {};
  store_.close();
}

DocumentCursor::Step DocumentCursor::afterMove(bool moved) {
  corrupt_ = false;
  if (!moved) return kNone;
  auto record = codec::decodeRecord(store_.value());
  if (!record) {
    corrupt_ = true;
    return kNone;
  }
  current_ = std::move(*record);
  return kRead;
}

DocumentCursor::Step DocumentCursor::first() { return open_ ? afterMove(store_.first()) : kNone; }
DocumentCursor::Step DocumentCursor::next() { return open_ ? afterMove(store_.next()) : kNone; }
DocumentCursor::Step DocumentCursor::prev() { return open_ ? afterMove(store_.prev()) : kNone; }
DocumentCursor::Step DocumentCursor::last() { return open_ ? afterMove(store_.last()) : kNone; }

DocumentCursor::Step DocumentCursor::seekRecord(std::uint32_t recno) {
  return open_ ? afterMove(store_.seekRecord(recno)) : kNone;
}

std::optional<std::uint32_t> DocumentCursor::currentRecordNumber() {
  return open_ ? store_.currentRecordNumber() : std::nullopt;
}

void DocumentCursor::reread() {
  // Step back and forward again so the cursor stands on fresh data: the same record if it
  // still exists, else the one after the removed record (or before it, at the end).
  if (prev() == kRead) {
    (void)next();
  } else if (next() == kRead) {
    (void)prev();
  }
}

ResultCode DocumentCursor::addLine(std::string_view serial, std::string_view word,
                                   std::string_view analysis) {
  if (!store_.put(serial, codec::encodeTriple(serial, word, analysis))) {
    return failWith(result::kInsertError, "addLine", "DB insert error");
  }
  (void)store_.sync();  // a failed sync is not a failed change
  reread();
  return result::kOk;
}

ResultCode DocumentCursor::removeLine(std::string_view serial) {
  if (!store_.del(serial)) {
    return failWith(result::kRemoveError, "removeLine", "DB remove error");
  }
  (void)store_.sync();
  reread();
  return result::kOk;
}

std::optional<AnalysisRecord> DocumentCursor::lookUp(std::string_view serial) {
  if (!open_ || !store_.get(serial)) return std::nullopt;
  return codec::decodeRecord(store_.value());
}

std::uint32_t DocumentCursor::recordCount() {
  if (!open_) return 0;
  return store_.recordCount().value_or(0);
}

std::uint32_t countRecords(const std::string& file) {
  Storage s;
  if (!s.open(file, nullptr, OpenMode::ExistingOnly)) return 0;
  return s.recordCount().value_or(0);
}

}  // namespace selvanor
