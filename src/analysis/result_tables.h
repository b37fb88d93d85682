// The concordance's results as UTF-8 TSV, the same for the command line and the window's
// export and copy: a header row, then one line per hit, collocate or document.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/collocations.h"
#include "analysis/concordance.h"

namespace selvanor::analysis {

inline constexpr std::string_view kConcordanceHeader = "document\tserial\tleft\thit\tright\tanalysis\n";
inline constexpr std::string_view kCountsHeader = "document\thits\tper_million\twords\n";
inline constexpr std::string_view kCollocatesHeader = "collocate\tO\tf\tE\tMI\tt\tLL\tlogDice\n";

// One TSV field from CP949 text: UTF-8, tabs and line ends as blanks.
[[nodiscard]] std::string tsvField(std::string_view cp949);
// A number with four decimals.
[[nodiscard]] std::string decimal(double value);

// `document` is the hit's document path (native, UTF-8). Each line ends in "\n". Paths
// keep their bytes (tabs and line ends as blanks).
[[nodiscard]] std::string concordanceLine(const Hit& hit, const std::string& document);
[[nodiscard]] std::string countsTable(const ConcordanceResult& result);
[[nodiscard]] std::string collocateLine(const Collocate& collocate);

// Writes `text` to `path` through a file beside it renamed over it once written whole, so
// that a failed write leaves what was there. False when it could not be written.
[[nodiscard]] bool writeTextFile(const std::string& path, std::string_view text);

}  // namespace selvanor::analysis
