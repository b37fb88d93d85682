// The counts of one tag (or of the vocabulary) in a statistics run: item -> Cell.
//
// Items are held end to end in one byte arena and found through an open-addressing index,
// so counting a million distinct items costs a few large allocations rather than one per
// item, and walking or freeing the column touches memory in order. Removal marks the
// entry gone (it may come back later); walks skip removed entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace selvanor::stats {

// Indexes of documents in the run's order of first appearance, ascending and distinct.
using DocumentIds = std::vector<std::uint32_t>;

struct Cell {
  std::int64_t count = 0;
  DocumentIds documents;  // empty unless the run tracks document ranges
};

// One entry as walks and sorts see it. The item view stays valid until the column next
// gains an item.
struct ColumnEntry {
  std::string_view item;
  const Cell* cell = nullptr;
};

class Column {
 public:
  class Iterator;

  // The cell of `item`, created with count 0 when missing. The reference stays valid
  // until the column next gains an item.
  [[nodiscard]] Cell& operator[](std::string_view item);
  // The cell of `item`, or nullptr when the column does not hold it.
  [[nodiscard]] const Cell* find(std::string_view item) const;
  // Removes `item`; false when it was not there.
  bool erase(std::string_view item);

  [[nodiscard]] std::size_t size() const { return size_; }
  [[nodiscard]] bool empty() const { return size_ == 0; }
  // Room for `items` entries without growing the index.
  void reserve(std::size_t items);

  // Calls fn(Cell&) on every present entry, in the order of begin()..end().
  template <class Fn>
  void updateCells(Fn&& fn) {
    for (Slot& s : slots_) {
      if (s.present) fn(s.cell);
    }
  }

  void swap(Column& other) noexcept {
    keys_.swap(other.keys_);
    slots_.swap(other.slots_);
    index_.swap(other.index_);
    std::swap(size_, other.size_);
  }

  // The entries in the order their items first came (removed ones left out).
  [[nodiscard]] Iterator begin() const;
  [[nodiscard]] Iterator end() const;

 private:
  struct Slot {
    std::size_t offset = 0;  // of the item in keys_
    std::uint32_t length = 0;
    std::uint32_t hash = 0;
    bool present = true;
    Cell cell;
  };

  [[nodiscard]] std::string_view itemOf(const Slot& s) const {
    return std::string_view(keys_).substr(s.offset, s.length);
  }
  // The index position holding `item`, or the free position where it would go.
  [[nodiscard]] std::size_t probe(std::string_view item, std::uint32_t hash) const;
  void grow();

  std::string keys_;
  std::vector<Slot> slots_;
  std::vector<std::uint32_t> index_;  // slot number + 1; 0 = free
  std::size_t size_ = 0;              // present entries

  friend class Iterator;
};

class Column::Iterator {
 public:
  Iterator(const Column* column, std::size_t slot) : column_(column), slot_(slot) { skip(); }
  ColumnEntry operator*() const {
    const Slot& s = column_->slots_[slot_];
    return {column_->itemOf(s), &s.cell};
  }
  Iterator& operator++() {
    ++slot_;
    skip();
    return *this;
  }
  bool operator!=(const Iterator& other) const { return slot_ != other.slot_; }

 private:
  void skip() {
    while (slot_ < column_->slots_.size() && !column_->slots_[slot_].present) ++slot_;
  }
  const Column* column_;
  std::size_t slot_;
};

inline Column::Iterator Column::begin() const { return Iterator(this, 0); }
inline Column::Iterator Column::end() const { return Iterator(this, slots_.size()); }

}  // namespace selvanor::stats
