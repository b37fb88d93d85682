#include "stats/count_table.h"

#include <algorithm>
#include <iterator>

namespace selvanor::stats {

const Column* CountTable::find(const std::string& tag) const {
  const auto it = columns_.find(tag);
  return it == columns_.end() ? nullptr : &it->second;
}

std::int64_t CountTable::count(const std::string& tag, std::string_view item) const {
  const Column* c = find(tag);
  const Cell* cell = c == nullptr ? nullptr : c->find(item);
  return cell == nullptr ? 0 : cell->count;
}

void CountTable::add(const std::string& tag, std::string_view item, const Cell& cell) {
  addInto(column(tag)[item], cell.count, cell.documents);
}

bool CountTable::empty() const {
  return std::all_of(columns_.begin(), columns_.end(),
                     [](const auto& c) { return c.second.empty(); });
}

void addInto(Cell& cell, std::int64_t count, const DocumentIds& documents) {
  cell.count += count;
  if (documents.empty()) return;
  if (cell.documents.empty()) {
    cell.documents = documents;
    return;
  }
  DocumentIds merged;
  merged.reserve(cell.documents.size() + documents.size());
  std::set_union(cell.documents.begin(), cell.documents.end(), documents.begin(), documents.end(),
                 std::back_inserter(merged));
  cell.documents.swap(merged);
}

void addDocument(Cell& cell, std::uint32_t document) {
  if (cell.documents.empty() || cell.documents.back() < document) {
    cell.documents.push_back(document);
  } else if (!std::binary_search(cell.documents.begin(), cell.documents.end(), document)) {
    cell.documents.insert(std::lower_bound(cell.documents.begin(), cell.documents.end(), document),
                          document);
  }
}

std::vector<ColumnEntry> sortedEntries(const Column& column) {
  std::vector<ColumnEntry> out;
  out.reserve(column.size());
  for (const ColumnEntry e : column) out.push_back(e);
  std::sort(out.begin(), out.end(),
            [](const ColumnEntry& a, const ColumnEntry& b) { return a.item < b.item; });
  return out;
}

namespace {

void mergeColumn(Column& into, const Column& from, std::optional<std::uint32_t> document) {
  into.reserve(into.size() + from.size());
  for (const auto [item, cell] : from) {
    Cell& target = into[item];
    addInto(target, cell->count, cell->documents);
    if (document) addDocument(target, *document);
  }
}

}  // namespace

void mergeTmpTongDB(CountTable& target, const CountTable& source,
                    std::optional<std::uint32_t> document) {
  for (const auto& [tag, column] : source.columns()) {
    mergeColumn(target.column(tag), column, document);
  }
}

void mergeTmpTongDB(CountTable& target, CountTable&& source,
                    std::optional<std::uint32_t> document) {
  for (const auto& [tag, column] : source.columns()) {
    Column& into = target.column(tag);
    if (!into.empty()) {
      mergeColumn(into, column, document);
      continue;
    }
    // Nothing to add to: the source column becomes the target's as it is.
    into.swap(source.column(tag));
    if (document) {
      into.updateCells([&](Cell& cell) { addDocument(cell, *document); });
    }
  }
}

}  // namespace selvanor::stats
