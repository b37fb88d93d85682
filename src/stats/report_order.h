// The order of a statistics report's rows, by sort key and direction. Each order is one
// sort whose output equals that of walking the count files the way the reports were first
// specified (frequency: one pass per count value; item: the distinct morphemes in key
// order; tag: the scope tags in key order).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "stats/count_table.h"
#include "stats/statistics_request.h"

namespace selvanor::stats {

inline constexpr std::size_t kNoTag = static_cast<std::size_t>(-1);

struct ReportRow {
  std::string_view item;     // valid while the counts are not changed
  std::size_t tag = kNoTag;  // index in the scope tag list; kNoTag in vocabulary rows
  const Cell* cell = nullptr;
  std::int64_t count = 0;    // the cell's, kept here so that sorting stays in the rows
  std::uint64_t prefix = 0;  // the item's first eight bytes, big-endian: most comparisons
};

// Rows of a vocabulary report over one column:
//  Item: ascending item order, or its exact reverse when descending;
//  Frequency: by count (rising, or falling when descending), equal counts always in
//    ascending item order; counts below 1 are never printed;
//  Tag: no rows (a vocabulary report has no tags).
[[nodiscard]] std::vector<ReportRow> vocabularyRows(const Column& column, SortKey key,
                                                    bool descending);

// Rows of a tagged report over the scope tags' columns (`scopeTags` without repeats):
//  Item: items ascending (descending: falling), and one item's tags in scope-list order;
//  Tag: the scope tags in byte order (descending: reversed), each tag's items ascending;
//  Frequency: by count (rising or falling), then scope-list order, then ascending item;
//    counts below 1 are never printed.
[[nodiscard]] std::vector<ReportRow> taggedRows(const CountTable& counts,
                                                const std::vector<std::string>& scopeTags,
                                                SortKey key, bool descending);

}  // namespace selvanor::stats
