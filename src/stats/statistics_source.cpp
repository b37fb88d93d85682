#include "stats/bulk_reader.h"
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
    const bool read = reader.open(path, tag.c_str()) &&
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
