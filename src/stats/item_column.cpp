#include "stats/item_column.h"

#include <algorithm>
#include <functional>

namespace selvanor::stats {
namespace {

std::uint32_t hashOf(std::string_view item) {
  const std::uint64_t full = std::hash<std::string_view>()(item);
  return static_cast<std::uint32_t>(full >> 32 ^ full);
}

}  // namespace

std::size_t Column::probe(std::string_view item, std::uint32_t hash) const {
  const std::size_t mask = index_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const std::uint32_t slot = index_[i];
    if (slot == 0) return i;
    const Slot& s = slots_[slot - 1];
    if (s.hash == hash && itemOf(s) == item) return i;
  }
}

Cell& Column::operator[](std::string_view item) {
  if (index_.empty()) grow();
  const std::uint32_t hash = hashOf(item);
  const std::size_t at = probe(item, hash);
  if (index_[at] != 0) {
    Slot& s = slots_[index_[at] - 1];
    if (!s.present) {
      s.present = true;
      ++size_;
    }
    return s.cell;
  }
  Slot s;
  s.offset = keys_.size();
  s.length = static_cast<std::uint32_t>(item.size());
  s.hash = hash;
  keys_.append(item);
  slots_.push_back(std::move(s));
  index_[at] = static_cast<std::uint32_t>(slots_.size());
  ++size_;
  // Linear probing stays short up to half full; growing rehashes from the stored hashes.
  if (slots_.size() * 2 > index_.size()) grow();
  return slots_.back().cell;
}

const Cell* Column::find(std::string_view item) const {
  if (index_.empty()) return nullptr;
  const std::uint32_t slot = index_[probe(item, hashOf(item))];
  if (slot == 0 || !slots_[slot - 1].present) return nullptr;
  return &slots_[slot - 1].cell;
}

bool Column::erase(std::string_view item) {
  if (index_.empty()) return false;
  const std::uint32_t slot = index_[probe(item, hashOf(item))];
  if (slot == 0 || !slots_[slot - 1].present) return false;
  // The entry keeps its place in the index, so probes past it still find later items.
  Slot& s = slots_[slot - 1];
  s.present = false;
  s.cell = Cell{};
  --size_;
  return true;
}

void Column::reserve(std::size_t items) {
  // Geometric, so that reserving a little more on every merge does not copy every time.
  if (slots_.capacity() < items) slots_.reserve(std::max(items, slots_.capacity() * 2));
  while (index_.size() < items * 2) grow();
}

void Column::grow() {
  std::vector<std::uint32_t> bigger(index_.empty() ? 16 : index_.size() * 2, 0);
  const std::size_t mask = bigger.size() - 1;
  for (std::size_t n = 0; n < slots_.size(); ++n) {
    std::size_t i = slots_[n].hash & mask;
    while (bigger[i] != 0) i = (i + 1) & mask;
    bigger[i] = static_cast<std::uint32_t>(n + 1);
  }
  index_.swap(bigger);
}

}  // namespace selvanor::stats
