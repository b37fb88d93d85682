// The two report writers of a statistics run: TongTextView for vocabulary runs (1, 3, 6)
// and printUHWEPUMSA for tagged runs (2, 4, 5, 7). Both produce the report text, byte for
// byte as the workbench has always laid it out; writing it to the result file is
// writeReportFile's job.
//
// Layout of TongTextView (header lines end in CR LF, rows in LF, then a final CR LF):
//   # 작업 날짜 : DATE / # 파일 이름 : PATH / # 대상 문헌 : FOLDER␠␠... / # 통계 범위 : 어휘
//   # 폴더/문헌 명칭 with "\r\n NAME : " per folder and " \r\n\tPATH " per document, "\r\n\r\n"
//   60 dashes, the column heads (then every folder's name, whatever option 7 says), 60 dashes
// printUHWEPUMSA: the same with "* " and LF line ends, "* 통계 범위 : 품사표지" for type 5,
// "* 통계 범위 : 어휘 + 품사표지" otherwise, and no final line.
//
// A row holds, tab after each, the columns switched on: running number, item, tag (tagged
// reports), count, percentage ("%f" of a single-precision value), cumulative count,
// cumulative percentage, one count per folder, then the extras: per-million rate
// ("%.2f") and document range. Type 5 prints only items in the syllable range; the others
// still count in the total, not in the running number or the cumulative values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "stats/count_table.h"
#include "stats/statistics_request.h"

namespace selvanor::stats {

struct ReportInput {
  int type = 1;
  std::string date;
  std::string resultPath;         // CP949, as printed in the header
  std::vector<RunEntry> entries;  // folders and documents, names in CP949
  ReportOptions options;
  SyllableRange range;  // type 5
  bool perMillion = false;
  bool docRange = false;
  std::vector<std::string> scopeTags;                // without repeats
  const CountTable* total = nullptr;                 // after the passes
  const std::vector<CountTable>* folders = nullptr;  // one per folder entry, in order
};

// Column heads of the extras.
inline constexpr const char* kPerMillionHead = "백만당빈도";
inline constexpr const char* kDocRangeHead = "출현문헌수";

// part / whole x 100 as the reports and listings have always computed it, in single
// precision: 1 of 3 gives 33.333332 printed with "%f".
[[nodiscard]] float singlePrecisionPercent(long long part, long long whole);

// The reports (CP949). `input.total` and `input.folders` must be set.
[[nodiscard]] std::string TongTextView(const ReportInput& input);
[[nodiscard]] std::string printUHWEPUMSA(const ReportInput& input);

// Writes `text` beside `path` and renames it over `path` once it is complete and on disk,
// so a failure leaves whatever was there; `path` "-" writes it to standard output. False
// when any step failed.
[[nodiscard]] bool writeReportFile(const std::string& path, std::string_view text);

}  // namespace selvanor::stats
