// Counts of a statistics run, held in memory: per tag, per item, a count and (when the
// run reports document ranges) the documents the item was counted in. One table per
// folder and one for the whole selection; memory grows with the distinct items only.
//
// Merging tables keeps the name of the count-file merge it replaces (mergeTmpTongDB) and
// gives the same sums; statistics_source.h reads statistics files into tables.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stats/item_column.h"

namespace selvanor::stats {

// The column name of vocabulary tables, whose items are summed over the scope tags.
inline const std::string kVocabularyColumn;

class CountTable {
 public:
  // The column of `tag`, created empty when missing.
  [[nodiscard]] Column& column(const std::string& tag) { return columns_[tag]; }
  // The column of `tag`, or nullptr when the table has none.
  [[nodiscard]] const Column* find(const std::string& tag) const;
  // The count of (tag, item); 0 when absent.
  [[nodiscard]] std::int64_t count(const std::string& tag, std::string_view item) const;

  // Adds the count and the documents of `cell` to (tag, item).
  void add(const std::string& tag, std::string_view item, const Cell& cell);

  [[nodiscard]] const std::map<std::string, Column>& columns() const { return columns_; }
  [[nodiscard]] bool empty() const;

 private:
  std::map<std::string, Column> columns_;
};

// Adds `count` and `documents` into `cell` (documents as a set union).
void addInto(Cell& cell, std::int64_t count, const DocumentIds& documents);
// Records that the cell's item occurs in `document` (ids come in ascending order).
void addDocument(Cell& cell, std::uint32_t document);

// The entries of a column in ascending byte order of their items.
[[nodiscard]] std::vector<ColumnEntry> sortedEntries(const Column& column);

// Adds every count of `source` into `target`, column by column. When `document` is given,
// each cell touched also records that document. The second form may take the source's
// columns over whole (a first document's counts become the total without copying).
void mergeTmpTongDB(CountTable& target, const CountTable& source,
                    std::optional<std::uint32_t> document = std::nullopt);
void mergeTmpTongDB(CountTable& target, CountTable&& source,
                    std::optional<std::uint32_t> document = std::nullopt);

}  // namespace selvanor::stats
