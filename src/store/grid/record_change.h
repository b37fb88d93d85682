// What one grid edit did to the open document, byte for byte: the records it took away
// and the records it left in their place. Undoing the edit is writing the inverse change.
#pragma once

#include <vector>

#include "store/document/analysis_record.h"

namespace selvanor {

struct RecordChange {
  int row = 0;                          // the grid row the edit was made on
  std::vector<AnalysisRecord> removed;  // as stored before the edit, in serial order
  std::vector<AnalysisRecord> added;    // as stored after it, in serial order

  [[nodiscard]] bool empty() const { return removed.empty() && added.empty(); }
  // The change that takes this one back.
  [[nodiscard]] RecordChange inverse() const { return {row, added, removed}; }
};

}  // namespace selvanor
