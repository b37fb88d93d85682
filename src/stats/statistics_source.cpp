#include "stats/statistics_source.h"

#include <db.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unordered_set>

#include "common/derived_paths.h"
#include "common/files.h"
#include "stats/statistics_file.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"

namespace selvanor::stats {
namespace {

ReadFailure failed(std::string path, std::string message) {
  return RunOutcome::failed(result::kOpenError, std::move(message), std::move(path));
}

// The count of a statistics record: TextIntValue(key, count) with a count of at least 1.
std::optional<std::int32_t> countOf(std::string_view key, std::string_view value) {
  std::uint32_t length = 0, number = 0;
  if (value.size() != 8 + key.size() || !codec::readU32(value, length) || length != key.size() ||
      value.substr(0, length) != key) {
    return std::nullopt;
  }
  value.remove_prefix(length);
  if (!codec::readU32(value, number)) return std::nullopt;
  const auto count = static_cast<std::int32_t>(number);
  if (count < 1) return std::nullopt;
  return count;
}

// One tag database of a statistics file, read many records per call: a run reads every
// record of every file it names, and the per-record cursor calls cost more than the
// counting. Configured as every file of the system is (DB_RECNUM, 4096-byte pages).
class BulkReader {
 public:
  BulkReader() = default;
  BulkReader(const BulkReader&) = delete;
  BulkReader& operator=(const BulkReader&) = delete;
  ~BulkReader() {
    if (cursor_) cursor_->close(cursor_);
    if (db_) db_->close(db_, 0);  // also after a failed open, as Berkeley DB requires
  }

  [[nodiscard]] bool open(const std::string& path, const std::string& tag) {
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
           db_->open(db_, nullptr, path.c_str(), tag.c_str(), DB_BTREE, DB_RDONLY, 0) == 0 &&
           db_->cursor(db_, nullptr, &cursor_, 0) == 0;
  }

  // Calls fn(key, value) for every record in key order; false on a read error.
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
        fn(std::string_view(static_cast<const char*>(k), kl),
           std::string_view(static_cast<const char*>(v), vl));
      }
    }
  }

 private:
  FileLock lock_;  // held while reading
  DB* db_ = nullptr;
  DBC* cursor_ = nullptr;
  std::vector<char> buffer_ = std::vector<char>(1 << 20);
};

// Calls fn(tag, morpheme, count) for every record of the listed tags' databases of the
// document's statistics file, tag by tag in list order and in key order within a tag;
// `progress` is told the tags done of the list.
template <class Fn>
ReadFailure forEachRecord(const std::string& document, const std::vector<std::string>& tags,
                          Fn&& fn, const selvanor::ProgressFn& progress) {
  const std::string path = derived::statisticsFile(document);
  if (path.empty()) return failed(document, std::string(msg::kNoStatisticsPath) + " " + document);
  if (!fileExists(path)) return failed(path, msg::kMakeStatisticsFirst + document + "]");
  const std::optional<std::vector<std::string>> present = tagDatabaseNames(path);
  if (!present) return failed(path, msg::kStatisticsUnreadable + path);
  std::uint64_t done = 0;
  for (const std::string& tag : tags) {
    if (progress && !progress(done++, tags.size())) {
      return RunOutcome::failed(kRunCancelled, msg::kCancelled);
    }
    if (std::find(present->begin(), present->end(), tag) == present->end()) continue;
    BulkReader reader;
    bool valid = true;
    const bool read = reader.open(path, tag) &&
                      reader.forEach([&](std::string_view morpheme, std::string_view value) {
                        const std::optional<std::int32_t> count = countOf(morpheme, value);
                        if (!count) {
                          valid = false;
                        } else if (valid) {
                          fn(tag, morpheme, *count);
                        }
                      });
    if (!read || !valid) return failed(path, msg::kStatisticsUnreadable + path);
  }
  if (progress && !progress(done, tags.size())) {
    return RunOutcome::failed(kRunCancelled, msg::kCancelled);
  }
  return std::nullopt;
}

}  // namespace

ReadFailure getUhweTong(const std::string& document, const std::vector<std::string>& scopeTags,
                        CountTable& target, const selvanor::ProgressFn& progress) {
  Column& column = target.column(kVocabularyColumn);
  return forEachRecord(document, scopeTags,
                       [&](const std::string&, std::string_view morpheme, std::int32_t count) {
                         column[morpheme].count += count;
                       },
                       progress);
}

ReadFailure mergeTongDB(CountTable& target, const std::string& document,
                        const std::vector<std::string>& tags, const selvanor::ProgressFn& progress) {
  const std::string* currentTag = nullptr;
  Column* column = nullptr;
  return forEachRecord(document, tags,
                       [&](const std::string& tag, std::string_view morpheme, std::int32_t count) {
                         if (currentTag != &tag) {
                           currentTag = &tag;
                           column = &target.column(tag);
                         }
                         (*column)[morpheme].count += count;
                       },
                       progress);
}

std::vector<std::string> documentsOf(const std::vector<RunEntry>& entries) {
  std::vector<std::string> out;
  std::unordered_set<std::string> seen;
  for (const RunEntry& e : entries) {
    if (e.kind == RunEntry::Document && seen.insert(e.name).second) out.push_back(e.name);
  }
  return out;
}

std::vector<StatisticsProblem> checkStatisticsFiles(const std::vector<std::string>& documents) {
  namespace fs = std::filesystem;
  std::vector<StatisticsProblem> problems;
  for (const std::string& document : documents) {
    const std::string path = derived::statisticsFile(document);
    if (path.empty()) {
      problems.push_back({document, StatisticsState::NoPath});
      continue;
    }
    std::error_code statsError, documentError;
    const auto statsTime = fs::last_write_time(path, statsError);
    if (statsError) {
      problems.push_back({document, StatisticsState::Missing});
      continue;
    }
    const auto documentTime = fs::last_write_time(document, documentError);
    if (!documentError && statsTime < documentTime) {
      problems.push_back({document, StatisticsState::Older});
    }
  }
  return problems;
}

std::string statisticsProblemsMessage(const std::vector<StatisticsProblem>& problems) {
  std::string out;
  const auto section = [&](StatisticsState state, const char* heading) {
    bool first = true;
    for (const StatisticsProblem& p : problems) {
      if (p.state != state) continue;
      if (first) {
        if (!out.empty()) out += '\n';
        out += heading;
        first = false;
      }
      out += "\n  " + p.document;
    }
  };
  section(StatisticsState::Missing, msg::kStatisticsMissing);
  section(StatisticsState::Older, msg::kStatisticsOlder);
  section(StatisticsState::NoPath, msg::kNoStatisticsPath);
  return out;
}

std::vector<corpus::JobFailure> buildStatisticsFiles(const std::vector<StatisticsProblem>& problems,
                                                     const StatisticsBuilder& build) {
  std::vector<corpus::JobFailure> failures;
  for (const StatisticsProblem& p : problems) {
    const ResultCode rc =
        p.state == StatisticsState::NoPath || !build ? result::kOpenError : build(p.document);
    if (rc != result::kOk) failures.push_back({p.document, rc});
  }
  return failures;
}

}  // namespace selvanor::stats
