#include "store/grid/edit_history.h"

#include "store/grid/grid_edits.h"
#include "store/grid/row_cache.h"

namespace selvanor {

void EditHistory::record(RecordChange change) {
  if (change.empty()) return;
  redo_.clear();
  undo_.push_back(std::move(change));
  while (undo_.size() > depth_) undo_.pop_front();
}

void EditHistory::clear() {
  undo_.clear();
  redo_.clear();
}

EditHistory::Step EditHistory::undo(RowCache& cache) { return step(cache, undo_, redo_, true); }

EditHistory::Step EditHistory::redo(RowCache& cache) { return step(cache, redo_, undo_, false); }

EditHistory::Step EditHistory::step(RowCache& cache, std::deque<RecordChange>& from,
                                    std::deque<RecordChange>& to, bool invert) {
  if (from.empty()) return {Outcome::Nothing, -1};
  const RecordChange& entry = from.back();
  const int row = entry.row;
  switch (gridedit::applyChange(cache, invert ? entry.inverse() : entry)) {
    case gridedit::ApplyOutcome::Applied:
      to.push_back(std::move(from.back()));
      from.pop_back();
      return {Outcome::Done, row};
    case gridedit::ApplyOutcome::Stale:
      // Entries further back rest on this one: none of them can be written either.
      clear();
      return {Outcome::Stale, row};
    case gridedit::ApplyOutcome::Failed:
      break;
  }
  return {Outcome::Failed, row};
}

}  // namespace selvanor
