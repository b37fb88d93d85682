#include "stats/report_order.h"

#include <algorithm>

namespace selvanor::stats {
namespace {

std::uint64_t prefixOf(std::string_view item) {
  std::uint64_t p = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    p = p << 8 | (i < item.size() ? static_cast<unsigned char>(item[i]) : 0u);
  }
  return p;
}

// Byte order of two items, decided by their prefixes unless those are equal.
bool itemBefore(const ReportRow& a, const ReportRow& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix;
  return a.item < b.item;
}

void appendColumn(std::vector<ReportRow>& rows, const Column& column, std::size_t tag,
                  bool countedOnly) {
  for (const ColumnEntry e : column) {
    if (countedOnly && e.cell->count < 1) continue;
    rows.push_back({e.item, tag, e.cell, e.cell->count, prefixOf(e.item)});
  }
}

// Frequency order: counts in the asked direction; within a count the order is fixed.
bool frequencyBefore(const ReportRow& a, const ReportRow& b, bool descending) {
  if (a.count != b.count) return descending ? a.count > b.count : a.count < b.count;
  if (a.tag != b.tag) return a.tag < b.tag;  // kNoTag == kNoTag in vocabulary rows
  return itemBefore(a, b);
}

}  // namespace

std::vector<ReportRow> vocabularyRows(const Column& column, SortKey key, bool descending) {
  std::vector<ReportRow> rows;
  if (key == SortKey::Tag) return rows;
  const bool byFrequency = key == SortKey::Frequency;
  rows.reserve(column.size());
  appendColumn(rows, column, kNoTag, byFrequency);
  if (byFrequency) {
    std::sort(rows.begin(), rows.end(), [descending](const ReportRow& a, const ReportRow& b) {
      return frequencyBefore(a, b, descending);
    });
  } else {
    std::sort(rows.begin(), rows.end(), [descending](const ReportRow& a, const ReportRow& b) {
      return descending ? itemBefore(b, a) : itemBefore(a, b);
    });
  }
  return rows;
}

std::vector<ReportRow> taggedRows(const CountTable& counts,
                                  const std::vector<std::string>& scopeTags, SortKey key,
                                  bool descending) {
  std::vector<ReportRow> rows;
  const bool byFrequency = key == SortKey::Frequency;
  for (std::size_t t = 0; t < scopeTags.size(); ++t) {
    if (const Column* column = counts.find(scopeTags[t])) {
      appendColumn(rows, *column, t, byFrequency);
    }
  }
  switch (key) {
    case SortKey::Frequency:
      std::sort(rows.begin(), rows.end(), [descending](const ReportRow& a, const ReportRow& b) {
        return frequencyBefore(a, b, descending);
      });
      break;
    case SortKey::Item:
      std::sort(rows.begin(), rows.end(), [descending](const ReportRow& a, const ReportRow& b) {
        if (a.item != b.item) return descending ? itemBefore(b, a) : itemBefore(a, b);
        return a.tag < b.tag;
      });
      break;
    case SortKey::Tag:
      std::sort(rows.begin(), rows.end(),
                [descending, &scopeTags](const ReportRow& a, const ReportRow& b) {
                  const std::string& ta = scopeTags[a.tag];
                  const std::string& tb = scopeTags[b.tag];
                  if (ta != tb) return descending ? tb < ta : ta < tb;
                  return itemBefore(a, b);
                });
      break;
  }
  return rows;
}

}  // namespace selvanor::stats
