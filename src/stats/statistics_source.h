// The statistics files a run reads: reading one document's file into a count table
// (never creating it, nor a missing tag database in it), and the check before a run that
// names documents whose file is missing or older than the document, with a way to build
// those first.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/progress.h"
#include "common/result_codes.h"
#include "stats/count_table.h"
#include "stats/statistics_request.h"
#include "store/corpus/document_list.h"

namespace selvanor::stats {

// Reading failures carry -700, the file in `path` and the message of the cause: for a
// missing file "통계용 파일을 먼저 만드십시요 [DOCUMENT]"; for a file that is not a
// statistics file or is damaged (a value that is not TextIntValue(key, count), a count
// below 1) "통계용 파일을 읽을 수 없습니다: PATH". Tags the file lacks add nothing.
using ReadFailure = std::optional<RunOutcome>;

// `progress` of the two readers below is told the tags read of those listed; asked to stop,
// they return kRunCancelled with msg::kCancelled (the table then holds part of the counts).

// One document's vocabulary counts: every morpheme of the scope tags' databases of the
// document's statistics file, summed over those tags, into the vocabulary column.
[[nodiscard]] ReadFailure getUhweTong(const std::string& document,
                                      const std::vector<std::string>& scopeTags,
                                      CountTable& target,
                                      const selvanor::ProgressFn& progress = {});

// One document's tagged counts: the records of every listed tag's database of the
// document's statistics file, added into the same tag's column.
[[nodiscard]] ReadFailure mergeTongDB(CountTable& target, const std::string& document,
                                      const std::vector<std::string>& tags,
                                      const selvanor::ProgressFn& progress = {});

enum class StatisticsState {
  Missing,  // no statistics file
  Older,    // the statistics file is older than its document
  NoPath,   // the document's name gives no statistics file name
};

struct StatisticsProblem {
  std::string document;
  StatisticsState state = StatisticsState::Missing;
};

// The document paths of a selection, each once, in order of first appearance.
[[nodiscard]] std::vector<std::string> documentsOf(const std::vector<RunEntry>& entries);

// Every document of `documents` whose statistics file a run could not use as it stands,
// in the given order. A statistics file whose document is gone is not a problem (the
// run reads only the statistics file).
[[nodiscard]] std::vector<StatisticsProblem> checkStatisticsFiles(
    const std::vector<std::string>& documents);

// The Korean message naming the problems (UTF-8; paths as given), one document a line
// under a heading per kind.
[[nodiscard]] std::string statisticsProblemsMessage(const std::vector<StatisticsProblem>& problems);

// How a statistics file is built; the caller supplies it (the application's statistics
// build), so the statistics run itself depends on no façade.
using StatisticsBuilder = std::function<ResultCode(const std::string& document)>;

// Builds the statistics file of every Missing and Older document with `build`; NoPath
// documents cannot be built and are returned as failures with -700, as are documents
// whose build did not return 0.
[[nodiscard]] std::vector<corpus::JobFailure> buildStatisticsFiles(
    const std::vector<StatisticsProblem>& problems, const StatisticsBuilder& build);

}  // namespace selvanor::stats
