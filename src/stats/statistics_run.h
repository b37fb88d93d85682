// A statistics run: the statistics files of the selected documents are read and their
// counts summed per folder and over the selection, in memory; the optional re-analysis
// and marker passes rewrite the total; the report is written to the result file.
//
// Counting rules: a document listed twice in one folder counts once there; a document in
// two folders counts in each folder and once in the total; repeated tags in the tag lists
// are dropped (first place kept); folders with the same name are separate columns; there
// is no limit on the number of entries. Vocabulary runs sum each morpheme over the scope
// tags; tagged runs keep every tag of the full and scope lists.
//
// No scratch file is made anywhere. The report is written beside the result file and
// renamed over it only when the run succeeded: a failed or cancelled run leaves whatever
// was there. Statistics files are only read; a missing one fails the run (check with
// checkStatisticsFiles first, statistics_source.h).
#pragma once

#include <cstddef>
#include <functional>

#include "stats/statistics_request.h"

namespace selvanor::stats {

struct RunProgress {
  std::size_t done = 0;             // entries handled so far
  std::size_t total = 0;            // entries of the request
  const RunEntry* entry = nullptr;  // the entry just handled
};
// Called after each entry; returning false cancels the run (kRunCancelled, no report).
using ProgressFn = std::function<bool(const RunProgress&)>;

// Types 1, 3, 6 go to uhweTongStat, 2, 4, 5, 7 to pumsaTongStat; any other type does
// nothing and gives kUnknownRunType. The outcome names what failed: -1 a request that
// cannot run (options, tags, range, entries, an output that is one of the run's inputs,
// a path CP949 cannot hold), -700 a statistics or re-analysis file that cannot be read,
// -600 a report that cannot be written.
[[nodiscard]] RunOutcome runTongStat(const RunRequest& request, const ProgressFn& progress = {});

// The vocabulary pipeline (TongTextView report) and the tagged pipeline (printUHWEPUMSA
// report). Each refuses a request of the other kind with kUnknownRunType.
[[nodiscard]] RunOutcome uhweTongStat(const RunRequest& request, const ProgressFn& progress = {});
[[nodiscard]] RunOutcome pumsaTongStat(const RunRequest& request, const ProgressFn& progress = {});

}  // namespace selvanor::stats
