// The undo history of the grid edits made on the open document.
//
// Each entry is one stored edit as the records it removed and added, byte for byte
// (RecordChange). Undo writes the inverse change through the row cache, redo the change
// again, each as a remove and add of whole records, like the edit itself. Before writing,
// the document must still hold exactly what the entry expects; when another operation
// changed those records the step is refused (Stale) and the history is of no more use.
#pragma once

#include <cstddef>
#include <deque>

#include "store/grid/record_change.h"

namespace selvanor {

class RowCache;

class EditHistory {
 public:
  static constexpr std::size_t kDefaultDepth = 200;

  explicit EditHistory(std::size_t depth = kDefaultDepth) : depth_(depth == 0 ? 1 : depth) {}

  // A new edit: it becomes the one undone next; whatever was undone can no longer be
  // redone. The oldest entry goes once more than `depth` are held. Empty changes are
  // not recorded.
  void record(RecordChange change);
  void clear();

  [[nodiscard]] bool canUndo() const { return !undo_.empty(); }
  [[nodiscard]] bool canRedo() const { return !redo_.empty(); }
  [[nodiscard]] std::size_t undoCount() const { return undo_.size(); }
  [[nodiscard]] std::size_t redoCount() const { return redo_.size(); }

  enum class Outcome {
    Done,
    Nothing,  // there was nothing to undo or redo
    Stale,    // the document no longer matches: nothing written, the history is cleared
    Failed,   // a write failed: nothing changed, the entry stays for another try
  };
  struct Step {
    Outcome outcome;
    int row;  // the edit's row (where the grid should stand), -1 with Nothing
  };
  [[nodiscard]] Step undo(RowCache& cache);
  [[nodiscard]] Step redo(RowCache& cache);

 private:
  // Writes the change on top of `from` (inverted for undo) and moves it to `to`.
  Step step(RowCache& cache, std::deque<RecordChange>& from, std::deque<RecordChange>& to,
            bool invert);

  std::size_t depth_;
  std::deque<RecordChange> undo_;  // back() is the latest edit
  std::deque<RecordChange> redo_;  // back() is the edit undone last
};

}  // namespace selvanor
