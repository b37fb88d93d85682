#include "store/grid/row_cache.h"

#include <algorithm>
#include <climits>

#include "common/cp949.h"
#include "common/diagnostics.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"

namespace selvanor {
namespace {

// True when `end` is a character boundary of `s`, walking from `from` (a known boundary).
bool boundaryAt(std::string_view s, std::size_t from, std::size_t end) {
  std::size_t i = from;
  while (i < end) i = cp949::nextChar(s, i);
  return i == end;
}

// `needle` occurs in `s` beginning and ending at character boundaries.
bool containsWhole(std::string_view s, std::string_view needle) {
  if (needle.empty()) return true;
  for (std::size_t i = 0; i + needle.size() <= s.size(); i = cp949::nextChar(s, i)) {
    if (s.compare(i, needle.size(), needle) == 0 && boundaryAt(s, i, i + needle.size())) {
      return true;
    }
  }
  return false;
}

// True when matchesPattern is plain equality: no '*' opens or closes the pattern.
bool isPlain(std::string_view pattern) {
  return pattern.empty() || (pattern.front() != '*' && pattern.back() != '*');
}

int clampCount(std::uint32_t n) {
  return n > static_cast<std::uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

}  // namespace

bool matchesPattern(std::string_view field, std::string_view pattern) {
  // '*' (0x2A) is never the second byte of a two-byte character, so the stars can be found
  // by looking at the end bytes.
  const bool lead = !pattern.empty() && pattern.front() == '*';
  const bool trail = pattern.size() >= (lead ? 2u : 1u) && pattern.back() == '*';
  if (!lead && trail) {
    const std::string_view prefix = pattern.substr(0, pattern.size() - 1);
    return cp949::startsWith(field, prefix) && boundaryAt(field, 0, prefix.size());
  }
  if (!lead) return field == pattern;
  if (trail) return containsWhole(field, pattern.substr(1, pattern.size() - 2));
  return cp949::endsWith(field, pattern.substr(1));
}

std::string_view fieldOf(const AnalysisRecord& r, GridColumn c) {
  switch (c) {
    case GridColumn::Serial: return r.serial;
    case GridColumn::Word: return r.word;
    case GridColumn::Analysis: return r.analysis;
  }
  return {};
}

int RowCache::open(const std::string& path) {
  close();
  path_ = path;
  // The grid changes the document record by record: each change goes through its log,
  // taken at the first edit; between uses other programs may work on the file.
  cursor_.setHolding(Holding::PerUse);
  if (cursor_.openForChange(path, OpenMode::ExistingOnly) != result::kOk) return -1;
  count_ = clampCount(cursor_.recordCount());
  if (count_ <= 0) {
    close();
    return -1;
  }
  recentre(0);
  return count_;
}

void RowCache::close() {
  cursor_.close();
  slots_.clear();
  count_ = 0;
  first_ = 0;
}

bool RowCache::isOpen() const { return cursor_.isOpen(); }
int RowCache::recordCount() const { return count_; }
const std::string& RowCache::path() const { return path_; }
int RowCache::windowFirst() const { return first_; }
int RowCache::windowRows() const { return static_cast<int>(slots_.size()); }
DocumentCursor& RowCache::cursor() { return cursor_; }

int RowCache::recount() {
  if (!isOpen()) return count_ = 0;
  const Storage::Use u = use();
  count_ = isOpen() ? clampCount(cursor_.recordCount()) : 0;
  return count_;
}

Storage::Use RowCache::use() {
  Storage::Use u = cursor_.use();
  if (u.reopened()) {
    count_ = clampCount(cursor_.recordCount());
    slots_.clear();
    first_ = 0;
    outsidePending_ = true;
    if (outsideListener_) outsideListener_();
  }
  return u;
}

bool RowCache::checkOutside() {
  if (!isOpen()) return false;
  const Storage::Use u = use();
  return u.reopened();
}

const AnalysisRecord* RowCache::record(int row) {
  if (!isOpen() || row < 0 || row >= count_) return nullptr;
  if (row < first_ || row >= first_ + windowRows()) recentre(row);
  if (row < first_ || row >= first_ + windowRows()) return nullptr;  // the store ran short
  return &slots_[static_cast<std::size_t>(row - first_)];
}

void RowCache::recentre(int row) {
  slots_.clear();
  first_ = 0;
  if (!isOpen() || count_ <= 0) return;
  const Storage::Use u = use();
  if (!u || count_ <= 0) return;
  row = std::clamp(row, 0, count_ - 1);
  int last = 0;
  if (row >= 251) {
    first_ = row - 250;
    last = std::min(row + 250, count_);
  } else {
    last = std::min(count_, kWindowRows);
  }
  const int want = last - first_;
  slots_.reserve(static_cast<std::size_t>(want));
  DocumentCursor::Step step = cursor_.seekRecord(static_cast<std::uint32_t>(first_) + 1);
  while (static_cast<int>(slots_.size()) < want) {
    if (step == DocumentCursor::kRead) {
      slots_.push_back(cursor_.current());
    } else if (cursor_.lastMoveCorrupt()) {
      slots_.emplace_back();  // keeps the following rows on their record numbers
    } else {
      break;  // the end came early: the document shrank under us
    }
    if (static_cast<int>(slots_.size()) < want) step = cursor_.next();
  }
}

std::optional<AnalysisRecord> RowCache::readRecord(int row) {
  if (!isOpen() || row < 0 || row >= count_) return std::nullopt;
  const Storage::Use u = use();
  if (!u || row >= count_) return std::nullopt;
  if (cursor_.seekRecord(static_cast<std::uint32_t>(row) + 1) != DocumentCursor::kRead) {
    return std::nullopt;
  }
  return cursor_.current();
}

bool RowCache::contains(std::string_view serial) {
  if (!isOpen()) return false;
  // A keyed read on the document's own handle: it sees an edit's writes so far and leaves
  // the cursor where it is.
  const Storage::Use u = use();
  return u && cursor_.holds(serial);
}

std::optional<AnalysisRecord> RowCache::storedRecord(std::string_view serial) {
  if (!isOpen()) return std::nullopt;
  Storage probe;
  if (!probe.open(path_, nullptr, OpenMode::ExistingOnly) || !probe.get(serial)) {
    return std::nullopt;
  }
  std::optional<AnalysisRecord> r = codec::decodeRecord(probe.value());
  if (!r || r->serial != serial) return std::nullopt;
  return r;
}

bool RowCache::injectedFailure() {
  if (failAt_ <= 0) return false;
  return --failAt_ == 0;
}

bool RowCache::beginChange() {
  if (!isOpen() || outsidePending_) return false;
  if (cursor_.beginChange()) return true;
  if (cursor_.changedOutside()) {
    count_ = clampCount(cursor_.recordCount());
    slots_.clear();
    first_ = 0;
    outsidePending_ = true;
    if (outsideListener_) outsideListener_();
  }
  return false;
}

bool RowCache::commitChange() {
  const bool ok = cursor_.commitChange();
  recount();
  return ok;
}

void RowCache::abortChange() {
  cursor_.abortChange();
  recount();
}

ResultCode RowCache::remove(std::string_view serial) {
  if (!isOpen() || outsidePending_) return result::kOpenError;
  if (injectedFailure()) {
    return failWith(result::kRemoveError, "removeLine", "DB remove error");
  }
  const ResultCode rc = cursor_.removeLine(serial);
  if (rc == result::kOk) recount();
  return rc;
}

ResultCode RowCache::add(std::string_view serial, std::string_view word,
                         std::string_view analysis) {
  if (!isOpen() || outsidePending_) return result::kOpenError;
  if (injectedFailure()) {
    return failWith(result::kInsertError, "addLine", "DB insert error");
  }
  const ResultCode rc = cursor_.addLine(serial, word, analysis);
  if (rc == result::kOk) recount();
  return rc;
}

RowCache::FindResult RowCache::find(GridColumn column, std::string_view pattern, int start,
                                    SearchDirection direction) {
  if (!isOpen() || count_ <= 0) return {FindStatus::NoRecords, -1};
  const Storage::Use u = use();
  if (!u || count_ <= 0) return {FindStatus::NoRecords, -1};
  const FindResult none{FindStatus::NotFound, -1};
  if (start < 0 || start >= count_) return none;
  DocumentCursor::Step step = cursor_.seekRecord(static_cast<std::uint32_t>(start) + 1);
  const bool down = direction == SearchDirection::Down;
  for (int i = start;;) {
    if (step == DocumentCursor::kRead) {
      if (matchesPattern(fieldOf(cursor_.current(), column), pattern)) {
        return {FindStatus::Found, i};
      }
    } else if (!cursor_.lastMoveCorrupt()) {
      return none;  // past the end
    }
    if (down) {
      step = cursor_.next();
      ++i;
    } else {
      if (i == 0) return none;
      step = cursor_.prev();
      --i;
    }
  }
}

bool RowCache::holdsSerial(std::string_view pattern) {
  if (!isOpen() || count_ <= 0) return false;
  if (!isPlain(pattern)) {
    return find(GridColumn::Serial, pattern, 0, SearchDirection::Down).status == FindStatus::Found;
  }
  // Only the record under this key can match; like the walk, it counts when it decodes.
  const Storage::Use u = use();
  if (!u) return false;
  const std::optional<AnalysisRecord> r = cursor_.lookUp(pattern);
  return r && r->serial == pattern;
}

bool RowCache::matches(GridColumn column, std::string_view pattern, int row) {
  const std::optional<AnalysisRecord> r = readRecord(row);
  return r && matchesPattern(fieldOf(*r, column), pattern);
}

}  // namespace selvanor
