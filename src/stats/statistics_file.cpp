// Statistics files: building them from a document, and the two counting writes.
#include "stats/statistics_file.h"

#include <db.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <vector>

#include "common/cp949.h"
#include "common/derived_paths.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "stats/bulk_reader.h"
#include "store/engine/database_replacement.h"
#include "store/engine/codecs.h"
#include "store/corpus/document_list.h"
#include "store/engine/storage.h"

namespace selvanor {
namespace {

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMinCount = std::numeric_limits<std::int32_t>::min();

// The analysis field of an encoded analysis record, read in place (the build walks every
// record and needs nothing else). nullopt when the value is not exactly three strings.
std::optional<std::string_view> analysisOf(std::string_view value) {
  std::uint32_t len = 0;
  for (int field = 0; field < 2; ++field) {
    if (!codec::readU32(value, len) || len > value.size()) return std::nullopt;
    value.remove_prefix(len);
  }
  if (!codec::readU32(value, len) || len != value.size()) return std::nullopt;
  return value;
}

// A tag names a sub-database, which Berkeley DB takes as a C string.
bool usableTag(std::string_view tag) {
  return !tag.empty() && tag.find('\0') == std::string_view::npos;
}

// The pieces of an analysis (see stats::forEachPiece), found in one walk over its
// characters; a template so that the build's per-piece call is inlined.
template <class Fn>
stats::PieceCounts cutPieces(std::string_view analysis, std::string& scratch, Fn&& fn) {
  static constexpr std::string_view kPlus = "+";
  constexpr std::size_t npos = std::string_view::npos;
  // Blanks, tabs and line feeds go, wherever they stand.
  scratch.clear();
  cp949::appendWithout(analysis, cp949::kAnalysisSpacing, scratch);
  const std::string_view text = scratch;

  stats::PieceCounts counts;
  bool afterEmpty = false;  // the previous piece was empty: a "+" that may be a form
  std::size_t start = 0, firstSlash = npos, formSlash = npos, firstLetter = npos;
  for (std::size_t i = 0;;) {
    const bool atEnd = i >= text.size();
    const std::size_t length = atEnd ? 0 : cp949::charLength(text, i);
    if (!atEnd && !(length == 1 && text[i] == '+')) {
      if (length == 1) {
        const char c = text[i];
        if (c == '/') {
          if (firstSlash == npos) firstSlash = i;
          // The slash that ends the form is the first one after the first character.
          if (formSlash == npos && i > start) formSlash = i;
        } else if (firstLetter == npos && cp949::isAsciiLetter(c)) {
          firstLetter = i;
        }
      }
      i += length;
      continue;
    }
    if (i == start) {
      afterEmpty = true;
    } else {
      std::string_view morpheme, tag;
      if (afterEmpty && text[start] == '/') {
        morpheme = kPlus;
        tag = text.substr(start + 1, i - start - 1);
      } else if (firstSlash == npos) {
        // 서울NNP: the tag starts at the first ASCII letter.
        if (firstLetter != npos) {
          morpheme = text.substr(start, firstLetter - start);
          tag = text.substr(firstLetter, i - firstLetter);
        }
      } else if (formSlash != npos) {
        morpheme = text.substr(start, formSlash - start);
        tag = text.substr(formSlash + 1, i - formSlash - 1);
      }
      if (!morpheme.empty() && usableTag(tag)) {
        fn(morpheme, tag);
        ++counts.pieces;
      } else {
        ++counts.skipped;
      }
      afterEmpty = false;
    }
    if (atEnd) break;
    start = ++i;
    firstSlash = formSlash = firstLetter = npos;
  }
  return counts;
}

// Adds `amount` to the TextIntValue count of `key` in the open `store`.
ResultCode addToCount(Storage& store, std::string_view op, std::string_view key,
                      std::int64_t amount) {
  std::int64_t count = amount;
  if (store.get(key)) {
    const std::optional<codec::TextInt> stored = codec::decodeTextInt(store.value());
    if (!stored) {
      return failWith(result::kOpenError, op, "DB value error");
    }
    count += stored->number;
  } else if (store.lastResult() != DB_NOTFOUND) {
    return failWith(result::kOpenError, op, "DB read error");
  }
  // The stored count is replaced by one put, so a failure keeps the old one.
  if (count > kMaxCount || count < kMinCount ||
      !store.put(key, codec::encodeTextInt(key, static_cast<std::int32_t>(count)))) {
    return failWith(result::kInsertError, op, "DB insert error");
  }
  if (!store.close()) {
    return failWith(result::kInsertError, op, "DB write error");
  }
  return result::kOk;
}

// Occurrences per (tag, morpheme), keyed by tag + NUL + morpheme: tags hold no NUL, so
// the byte order of the keys is the order of tags, then of morphemes within a tag. Memory
// grows with the distinct pairs only. Each pair is one record in a byte arena (count,
// key length, key bytes), so a hit reads one slot of the open-addressing table and one
// record; a slot keeps the key's 32-bit hash, so a probe rarely reads a record that does
// not match and growing the table never reads a key again.
class PairCounter {
 public:
  PairCounter() : slots_(1024) {}

  void add(std::string_view morpheme, std::string_view tag) {
    key_.assign(tag);
    key_ += '\0';
    key_.append(morpheme);
    const std::uint64_t full = std::hash<std::string_view>()(key_);
    const auto h = static_cast<std::uint32_t>(full >> 32 ^ full);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (slot.record == 0) {
        slot = {h, arena_.size() + 1};
        const std::int64_t one = 1;
        const auto length = static_cast<std::uint32_t>(key_.size());
        arena_.append(reinterpret_cast<const char*>(&one), sizeof one);
        arena_.append(reinterpret_cast<const char*>(&length), sizeof length);
        arena_ += key_;
        // Linear probing stays short up to three quarters full (the hash in the slot
        // rejects most foreign keys without reading them).
        if (++size_ * 4 > slots_.size() * 3) grow();
        return;
      }
      if (slot.hash == h && key(slot.record - 1) == key_) {
        char* count = &arena_[slot.record - 1];
        std::int64_t n;
        std::memcpy(&n, count, sizeof n);
        ++n;
        std::memcpy(count, &n, sizeof n);
        return;
      }
    }
  }

  bool empty() const { return size_ == 0; }

  // The key and count of the record at `offset`.
  std::string_view key(std::size_t offset) const {
    std::uint32_t length;
    std::memcpy(&length, arena_.data() + offset + kCountBytes, sizeof length);
    return std::string_view(arena_).substr(offset + kHeaderBytes, length);
  }
  std::int64_t count(std::size_t offset) const {
    std::int64_t n;
    std::memcpy(&n, arena_.data() + offset, sizeof n);
    return n;
  }

  struct Item {
    std::uint64_t high, low;  // the first sixteen key bytes, big-endian
    std::size_t offset;       // of the record
  };

  // Record offsets in key order; counting ends here (the table is released first, so the
  // order costs no more memory than the table did). The first sixteen key bytes decide
  // most comparisons without reading the arena again.
  std::vector<Item> takeSorted() {
    std::vector<Slot>().swap(slots_);
    std::vector<Item> items;
    items.reserve(size_);
    for (std::size_t offset = 0; offset < arena_.size();) {
      const std::string_view k = key(offset);
      Item item{0, 0, offset};
      for (std::size_t i = 0; i < 16; ++i) {
        std::uint64_t& part = i < 8 ? item.high : item.low;
        part = part << 8 | (i < k.size() ? static_cast<unsigned char>(k[i]) : 0u);
      }
      items.push_back(item);
      offset += kHeaderBytes + k.size();
    }
    std::sort(items.begin(), items.end(), [this](const Item& a, const Item& b) {
      if (a.high != b.high) return a.high < b.high;
      if (a.low != b.low) return a.low < b.low;
      return key(a.offset) < key(b.offset);
    });
    return items;
  }

 private:
  static constexpr std::size_t kCountBytes = sizeof(std::int64_t);
  static constexpr std::size_t kHeaderBytes = kCountBytes + sizeof(std::uint32_t);

  struct Slot {
    std::uint32_t hash;
    std::size_t record;  // offset of the record + 1; 0 for a free slot
  };

  void grow() {
    std::vector<Slot> bigger(slots_.size() * 2);
    const std::size_t mask = bigger.size() - 1;
    for (const Slot& s : slots_) {
      if (s.record == 0) continue;
      std::size_t i = s.hash & mask;
      while (bigger[i].record != 0) i = (i + 1) & mask;
      bigger[i] = s;
    }
    slots_.swap(bigger);
  }

  std::vector<Slot> slots_;
  std::string arena_;
  std::size_t size_ = 0;
  std::string key_;
};

// Writes the counted pairs into a new statistics file at `file`, one sub-database per tag.
// The tag databases share one private cache and are written out together at the end: the
// file is new and not yet in its place (the rename syncs it whole), so closing each tag's
// database need not sync the file, as a plain handle's close would, once per tag.
bool writeStatistics(PairCounter& counts, const std::string& file) {
  static constexpr std::string_view kOp = "makeTongDB";
  struct Handles {
    DB_ENV* env = nullptr;
    DB* db = nullptr;
    ~Handles() {
      if (db) db->close(db, DB_NOSYNC);
      if (env) env->close(env, 0);
    }
  } h;
  const std::filesystem::path path = std::filesystem::absolute(file);
  const std::string folder = path.parent_path().string();
  const std::string name = path.filename().string();
  if (db_env_create(&h.env, 0) != 0) {
    h.env = nullptr;
    reportStoreError(kOp, "DB open error of statistics file");
    return false;
  }
  h.env->set_errfile(h.env, stderr);
  h.env->set_errpfx(h.env, "Selvanor:DB관련 오류!\n");
  if (h.env->set_cachesize(h.env, 0, 8u << 20, 1) != 0 ||
      h.env->open(h.env, folder.c_str(), DB_CREATE | DB_INIT_MPOOL | DB_PRIVATE, 0) != 0) {
    reportStoreError(kOp, "DB open error of statistics file");
    return false;
  }
  const auto closeTag = [&]() {
    const int rc = h.db ? h.db->close(h.db, DB_NOSYNC) : 0;
    h.db = nullptr;
    return rc == 0;
  };
  std::string tag;
  std::string value;
  for (const PairCounter::Item& item : counts.takeSorted()) {
    const std::string_view key = counts.key(item.offset);
    const std::int64_t count = counts.count(item.offset);
    const std::size_t nul = key.find('\0');
    const std::string_view entryTag = key.substr(0, nul);
    const std::string_view morpheme = key.substr(nul + 1);
    if (!h.db || entryTag != tag) {
      if (!closeTag()) {
        reportStoreError(kOp, "DB write error");
        return false;
      }
      tag.assign(entryTag);
      // The fixed configuration of every file of the system.
      if (db_create(&h.db, h.env, 0) != 0 || h.db->set_flags(h.db, DB_RECNUM) != 0 ||
          h.db->set_pagesize(h.db, Storage::kPageSize) != 0 ||
          h.db->open(h.db, nullptr, name.c_str(), tag.c_str(), DB_BTREE, DB_CREATE, 0644) != 0) {
        reportStoreError(kOp, "DB open error of statistics file");
        return false;
      }
    }
    if (count > kMaxCount) {
      reportStoreError(kOp, "count overflow error");
      return false;
    }
    value.clear();
    codec::appendString(value, morpheme);
    codec::appendU32(value, static_cast<std::uint32_t>(count));
    DBT k{const_cast<char*>(morpheme.data()), static_cast<u_int32_t>(morpheme.size())};
    DBT v{value.data(), static_cast<u_int32_t>(value.size())};
    if (h.db->put(h.db, nullptr, &k, &v, 0) != 0) {
      reportStoreError(kOp, "DB insert error");
      return false;
    }
  }
  // Every page written out once (the rename that follows syncs the file).
  if (!closeTag() || h.env->memp_sync(h.env, nullptr) != 0) {
    reportStoreError(kOp, "DB write error");
    return false;
  }
  const int closed = h.env->close(h.env, 0);
  h.env = nullptr;
  if (closed != 0) {
    reportStoreError(kOp, "DB write error");
    return false;
  }
  return true;
}

}  // namespace

ResultCode stats::makeTongDB(const std::string& document, const ProgressFn& progress) {
  static constexpr std::string_view kOp = "makeTongDB";
  const std::string target = derived::statisticsFile(document);
  if (target.empty()) {
    return failWith(result::kOpenError, kOp, "statistics file name error");
  }
  PairCounter counts;
  {
    BulkReader doc;
    if (!doc.open(document, nullptr)) {
      return failWith(result::kOpenError, kOp, "DB open error");
    }
    std::string scratch;
    std::size_t skipped = 0;
    std::string firstSkipped;
    bool cancelled = false, foreign = false;
    const auto count = [&counts](std::string_view m, std::string_view t) { counts.add(m, t); };
    ProgressReporter reporter(progress, doc.recordCount());
    const bool read = doc.forEach([&](std::string_view key, std::string_view value) {
      if (!reporter.step()) {
        cancelled = true;
        return false;
      }
      const std::optional<std::string_view> analysis = analysisOf(value);
      if (!analysis) {
        // A foreign or damaged file: counting only part of it would look like a result.
        foreign = true;
        return false;
      }
      const stats::PieceCounts pieces = cutPieces(*analysis, scratch, count);
      if (pieces.skipped > 0 && skipped == 0) firstSkipped.assign(key);
      skipped += pieces.skipped;
      return true;
    });
    if (cancelled) return result::kCancelled;
    if (foreign) return failWith(result::kOpenError, kOp, "DB value error");
    if (!read) return failWith(result::kOpenError, kOp, "DB read error");
    if (skipped > 0) {
      writeDiagnostic("DBWrap::makeTongDB => " + std::to_string(skipped) +
                      " piece(s) without morpheme or tag not counted, first in record " +
                      firstSkipped + "\n");
    }
  }
  if (counts.empty()) {
    // Nothing to count leaves no statistics file, as counting piece by piece would.
    if (!removeFile(target)) {
      return failWith(result::kRemoveError, kOp, "DB remove error");
    }
    return result::kOk;
  }
  DatabaseReplacement replacement(target);
  if (replacement.inUse()) {
    return failWith(result::kInsertError, kOp, "in use by another program");
  }
  if (!writeStatistics(counts, replacement.temporaryPath())) return result::kInsertError;
  if (!replacement.commit()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

ResultCode stats::writeTongRec(const std::string& file, std::string_view morpheme,
                                std::string_view tag) {
  static constexpr std::string_view kOp = "writeTongRec";
  Storage store;
  if (!usableTag(tag) || !store.open(file, std::string(tag).c_str())) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  return addToCount(store, kOp, morpheme, 1);
}

ResultCode stats::writeTongRec2(const std::string& file, std::string_view item, int count) {
  static constexpr std::string_view kOp = "writeTongRec2";
  Storage store;
  if (!store.open(file)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  return addToCount(store, kOp, item, count);
}

namespace stats {

std::string outcomeMessage(ResultCode result, const std::string& document) {
  if (result == result::kOk) return msg::kBuilt;
  if (derived::statisticsFile(document).empty()) return msg::kNoStatisticsPath;
  switch (result) {
    case result::kOpenError:
      return msg::kDocumentUnreadable;
    case result::kRemoveError:
      return msg::kOldNotRemoved;
    default:
      return msg::kNotWritten;
  }
}

PieceCounts forEachPiece(std::string_view analysis, std::string& scratch,
                         const std::function<void(std::string_view, std::string_view)>& fn) {
  return cutPieces(analysis, scratch, fn);
}

std::optional<StatisticsContent> readStatisticsFile(const std::string& path) {
  std::optional<std::vector<std::string>> tags = tagDatabaseNames(path);
  if (!tags) return std::nullopt;
  StatisticsContent content;
  for (const std::string& tag : *tags) {
    if (!usableTag(tag)) return std::nullopt;
    Storage store;
    if (!store.openWithCursor(path, tag.c_str(), OpenMode::ExistingOnly)) return std::nullopt;
    auto& entries = content[tag];
    for (bool more = store.first(); more; more = store.next()) {
      const std::optional<codec::TextInt> v = codec::decodeTextInt(store.value());
      if (!v || v->text != store.key()) return std::nullopt;
      entries.emplace(std::string(store.key()), v->number);
    }
    if (store.lastResult() != DB_NOTFOUND) return std::nullopt;
  }
  return content;
}

std::optional<std::vector<std::string>> tagDatabaseNames(const std::string& path) {
  // Checked and locked as every database file is before it is read.
  const auto lock = Storage::admitReader(path);
  if (!lock) return std::nullopt;
  DB* db = nullptr;
  if (db_create(&db, nullptr, 0) != 0) return std::nullopt;
  struct Closer {
    DB* db;
    DBC* cursor = nullptr;
    ~Closer() {
      if (cursor) cursor->close(cursor);
      db->close(db, 0);
    }
  } closer{db};
  if (db->open(db, nullptr, path.c_str(), nullptr, DB_BTREE, DB_RDONLY, 0) != 0 ||
      db->cursor(db, nullptr, &closer.cursor, 0) != 0) {
    return std::nullopt;
  }
  std::vector<std::string> names;
  DBT key{}, value{};
  int rc;
  while ((rc = closer.cursor->get(closer.cursor, &key, &value, DB_NEXT)) == 0) {
    if (value.size != sizeof(db_pgno_t)) return std::nullopt;
    names.emplace_back(static_cast<const char*>(key.data), key.size);
  }
  if (rc != DB_NOTFOUND) return std::nullopt;
  return names;
}

}  // namespace stats
}  // namespace selvanor
