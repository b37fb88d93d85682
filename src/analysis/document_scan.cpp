#include "analysis/document_scan.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/derived_paths.h"
#include "common/encoding.h"
#include "store/engine/codecs.h"
#include "store/engine/document_cursor.h"
#include "store/engine/storage.h"
#include "store/reference/reference_file.h"

namespace selvanor::analysis {
namespace {

std::string unreadable(const std::string& path) { return "분석 문헌 파일을 열 수 없습니다: " + path; }
std::string damagedAt(const std::string& path, std::uint64_t record) {
  return "분석 문헌 파일의 " + std::to_string(record) + "번째 기록을 읽을 수 없어 그 앞까지만 찾았습니다: " + path;
}

// The records of a walk, kept in a ring as long as the context and the longest hit.
class RecordRing : public RecordSequence {
 public:
  explicit RecordRing(std::size_t needed) {
    std::size_t size = 1;
    while (size < needed) size <<= 1;
    slots_.resize(size);
    mask_ = size - 1;
  }
  const RecordSlot* at(std::size_t index) const override {
    return index < loaded_ && index + slots_.size() >= loaded_ ? &slots_[index & mask_] : nullptr;
  }
  RecordSlot& push() { return slots_[loaded_++ & mask_]; }
  [[nodiscard]] std::size_t loaded() const { return loaded_; }

 private:
  std::vector<RecordSlot> slots_;
  std::size_t mask_ = 0;
  std::size_t loaded_ = 0;
};

// A run of records read around one candidate: index `first` is the first one held.
class RecordRun : public RecordSequence {
 public:
  const RecordSlot* at(std::size_t index) const override {
    return index >= first_ && index - first_ < count_ ? &slots_[index - first_] : nullptr;
  }
  void reset(std::size_t first) {
    first_ = first;
    count_ = 0;
  }
  RecordSlot& push() {
    if (count_ == slots_.size()) slots_.emplace_back();
    return slots_[count_++];
  }

 private:
  std::vector<RecordSlot> slots_;
  std::size_t first_ = 0, count_ = 0;
};

// Fills `view` for the hit [start, end) of `records`, whose records from `lowest` on exist.
void frame(HitView& view, const RecordSequence& records, std::size_t lowest, std::size_t start,
           std::size_t end, const ScanRequest& request) {
  view.left.clear();
  view.hit.clear();
  view.right.clear();
  for (std::size_t i = start > lowest + request.left ? start - request.left : lowest; i < start; ++i) {
    view.left.push_back(records.at(i));
  }
  for (std::size_t i = start; i < end; ++i) view.hit.push_back(records.at(i));
  for (std::size_t i = end; i < end + request.right; ++i) {
    const RecordSlot* r = records.at(i);
    if (!r) break;
    view.right.push_back(r);
  }
}

constexpr std::uint32_t kReferenceCacheBytes = 32u * 1024 * 1024;

bool referenceIsCurrent(const std::string& document, const std::string& reference) {
  std::error_code e1, e2;
  const auto doc = std::filesystem::last_write_time(document, e1);
  const auto ref = std::filesystem::last_write_time(reference, e2);
  return !e1 && !e2 && ref >= doc;
}

// The hits of a query that starts with an exact word, from the candidates the reference
// file lists: each is read with the records around it by record number.
std::optional<DocumentScan> scanThroughReference(const ScanRequest& request, const std::string& path,
                                                 std::size_t document, const HitHandler& onHit,
                                                 ScanProgress& progress) {
  const std::optional<std::string> word = request.query->leadingExactWord();
  if (!word || !request.useReference) return std::nullopt;
  const std::string reference = derived::referenceFile(path);
  if (reference.empty() || !referenceIsCurrent(path, reference)) return std::nullopt;
  std::vector<AnalysisRecord> items;
  if (reference::getWonmun2(reference, *word, items) != result::kOk) return std::nullopt;

  Storage store;
  // Candidates lie all over the file: a larger cache keeps the upper levels of the tree.
  store.setCacheSize(kReferenceCacheBytes);
  if (!store.openWithCursor(path, nullptr, OpenMode::ExistingOnly)) return std::nullopt;
  DocumentScan scan;
  scan.throughReference = true;
  scan.tokens = store.recordCount().value_or(0);
  std::vector<std::string> serials;
  serials.reserve(items.size());
  for (AnalysisRecord& item : items) serials.push_back(std::move(item.serial));
  std::sort(serials.begin(), serials.end());  // key order is document order
  serials.erase(std::unique(serials.begin(), serials.end()), serials.end());

  RecordRun run;
  HitView view;
  view.document = document;
  const std::size_t span = request.left + request.query->maxLength() + request.right;
  for (const std::string& serial : serials) {
    // A merged reference file may list records this document does not hold.
    if (!store.seekRange(serial) || store.key() != serial) continue;
    const std::optional<std::uint32_t> recno = store.currentRecordNumber();
    if (!recno) continue;
    const std::size_t start = *recno - 1;  // 0-based
    // Back over the left context from where the key put the cursor (neighbours share pages).
    std::size_t back = 0;
    while (back < request.left && back < start && store.prev()) ++back;
    if (back < request.left && back < start) continue;  // a record that did not read
    const std::size_t first = start - back;
    run.reset(first);
    bool moved = true;
    for (std::size_t i = 0; moved && i < span; ++i) {
      const std::optional<AnalysisRecord> record = codec::decodeRecord(store.value());
      if (!record) break;
      run.push().assign(*record, static_cast<std::uint32_t>(first + i + 1));
      moved = store.next();
    }
    if (const std::optional<std::size_t> end = matchAt(*request.query, run, start)) {
      frame(view, run, first, start, *end, request);
      onHit(view);
      ++scan.hits;
    }
  }
  progress.advance(scan.tokens);
  return scan;
}

}  // namespace

DocumentScan scanDocument(const ScanRequest& request, const std::string& path, std::size_t document,
                          const HitHandler& onHit, ScanProgress& progress) {
  if (std::optional<DocumentScan> fast = scanThroughReference(request, path, document, onHit, progress)) {
    return *fast;
  }
  DocumentScan scan;
  DocumentCursor cursor;
  if (cursor.open(path, OpenMode::ExistingOnly) != result::kOk) {
    scan.failure = unreadable(path);
    return scan;
  }
  const Query& query = *request.query;
  const std::size_t longest = query.maxLength();
  RecordRing ring(request.left + longest + request.right + 1);
  HitView view;
  view.document = document;
  bool more = cursor.first() == DocumentCursor::kRead;
  std::size_t start = 0;
  while (true) {
    // Read ahead as far as the longest hit at `start` and its right context reach.
    while (more && ring.loaded() < start + longest + request.right) {
      const auto recordNumber = static_cast<std::uint32_t>(ring.loaded() + 1);
      RecordSlot& slot = ring.push();
      slot.assign(cursor.current(), recordNumber);
      if (request.onRead) request.onRead(slot);
      if (!progress.advance(1)) {
        scan.tokens = ring.loaded();
        return scan;
      }
      more = cursor.next() == DocumentCursor::kRead;
    }
    if (start >= ring.loaded()) break;
    if (const std::optional<std::size_t> end = matchAt(query, ring, start)) {
      frame(view, ring, 0, start, *end, request);
      onHit(view);
      ++scan.hits;
    }
    ++start;
  }
  scan.tokens = ring.loaded();
  if (cursor.lastMoveCorrupt()) scan.failure = damagedAt(path, scan.tokens + 1);
  return scan;
}

DocumentScan walkDocument(const std::string& path, const RecordHandler& onRecord, ScanProgress& progress) {
  DocumentScan scan;
  DocumentCursor cursor;
  if (cursor.open(path, OpenMode::ExistingOnly) != result::kOk) {
    scan.failure = unreadable(path);
    return scan;
  }
  for (auto step = cursor.first(); step == DocumentCursor::kRead; step = cursor.next()) {
    ++scan.tokens;
    onRecord(cursor.current());
    if (!progress.advance(1)) return scan;
  }
  if (cursor.lastMoveCorrupt()) scan.failure = damagedAt(path, scan.tokens + 1);
  return scan;
}

std::uint64_t recordsOf(const std::vector<std::string>& documents) {
  std::uint64_t n = 0;
  for (const std::string& d : documents) n += countRecords(d);
  return n;
}

}  // namespace selvanor::analysis
