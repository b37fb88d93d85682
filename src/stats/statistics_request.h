// What a statistics run is asked to do: the selection of folders and documents, the run
// type, the tag lists, the presentation options and where the report goes; with the
// messages a dialog or the command line shows about it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result_codes.h"
#include "stats/consonant_range.h"

namespace selvanor::stats {

namespace msg {
inline constexpr const char* kChooseResultFile = "결과 저장 파일명을 선택해 주세요";
// Followed by the document entry and "]" (the single-document commands' message).
inline constexpr const char* kMakeStatisticsFirst = "통계용 파일을 먼저 만드십시요 [";
inline constexpr const char* kUnknownType = "통계 종류는 1에서 7 사이여야 합니다.";
inline constexpr const char* kBadOptions =
    "결과 제시 문자열이 잘못되었습니다. 11자리로, 정렬 기준(9번째)은 1·2·3, 나머지는 "
    "0이나 1이어야 합니다: ";
inline constexpr const char* kNoLeadingFolder = "통계 대상 목록이 폴더로 시작하지 않습니다.";
inline constexpr const char* kNoRange = "품사 표지 통계의 어휘 범위가 없습니다.";
inline constexpr const char* kNoScopeTags = "통계를 낼 품사 표지가 없습니다.";
inline constexpr const char* kStatisticsUnreadable = "통계용 파일을 읽을 수 없습니다: ";
inline constexpr const char* kReanalysisUnreadable = "재분석 파일을 열 수 없습니다: ";
inline constexpr const char* kReportNotWritten = "통계 결과 파일을 쓸 수 없습니다: ";
inline constexpr const char* kCancelled =
    "통계 작업을 취소했습니다. 결과 파일은 만들지 않았습니다.";
inline constexpr const char* kDone = "통계 작업을 마쳤습니다.";
inline constexpr const char* kStatisticsMissing = "통계용 파일이 없는 문헌:";
inline constexpr const char* kStatisticsOlder = "통계용 파일이 문헌보다 오래된 문헌:";
inline constexpr const char* kBuildFirstQuestion = "이 문헌들의 통계용 파일을 먼저 만드시겠습니까?";
}  // namespace msg

// One line of the selection. Every document belongs to the nearest folder before it.
struct RunEntry {
  enum Kind { Folder = 1, Document = 2 };
  Kind kind = Folder;
  std::string name;  // Folder: display name (CP949). Document: document path (native).
};

enum class SortKey { Item = 1, Tag = 2, Frequency = 3 };

// The 11-character option string of the presentation step, decoded. Positions: 0 running
// number, 1 item, 2 tag, 3 frequency, 4 percentage, 5 cumulative frequency, 6 cumulative
// percentage, 7 folder columns, 8 sort key "1" item / "2" tag / "3" frequency, 9 "0"
// ascending / "1" descending, 10 ignore marker symbols (특수기호무시).
struct ReportOptions {
  bool number = false;
  bool item = false;
  bool tag = false;
  bool frequency = false;
  bool percent = false;
  bool cumulativeFrequency = false;
  bool cumulativePercent = false;
  bool folderColumns = false;
  SortKey sortKey = SortKey::Item;
  bool descending = false;
  bool ignoreMarkers = false;

  // Exactly 11 characters, positions 0-7, 9 and 10 "0" or "1", position 8 "1"-"3";
  // nullopt for anything else.
  [[nodiscard]] static std::optional<ReportOptions> parse(std::string_view text);
  [[nodiscard]] std::string text() const;
};

// Vocabulary runs (1 전체, 3 실질어, 6 형식어) count morphemes over the scope tags; tagged
// runs (2, 4, 7 and 5 품사표지) count morpheme + tag.
[[nodiscard]] bool isVocabularyRun(int type);
[[nodiscard]] bool isTaggedRun(int type);

// The presentation step's defaults: running number, item, tag (tagged runs only) and
// frequency, item order ascending: "11110000100" tagged, "11010000100" vocabulary.
[[nodiscard]] std::string defaultOptionString(int type);

struct RunRequest {
  std::vector<RunEntry> entries;       // in order, starting with a folder; no limit
  int type = 1;                        // 1-7
  std::vector<std::string> fullTags;   // AllTags: what folder and total counts keep
  std::vector<std::string> scopeTags;  // what the run counts and prints
  std::string resultPath;              // native path of the report
  SyllableRange range;                 // type 5 only
  std::string options;                 // see ReportOptions; empty: defaultOptionString
  std::string reanalysisPath;          // empty: no re-analysis pass
  std::string date;                    // header date; empty: today as MM/DD/YY
  // Extras after the usual columns, off so that the usual report stays as it is.
  bool perMillion = false;  // count / total x 10^6, "%.2f"
  bool docRange = false;    // number of documents in which the item occurs
  bool utf8 = false;        // write the report as UTF-8 instead of CP949
};

// The tags of a list as a run uses them: blanks, tabs, CRs and line feeds removed, empty
// ones dropped, and a tag listed twice kept at its first place only.
[[nodiscard]] std::vector<std::string> uniqueTags(const std::vector<std::string>& tags);

// Codes of a run besides the store's (0, -600 report not written, -700 a statistics or
// re-analysis file not read, -1 a request that cannot run).
using result::kRunCancelled;    // stopped through the progress callback
using result::kUnknownRunType;  // type outside 1-7: nothing done

// What a run or a listing came to. Failed and cancelled runs leave no report behind.
struct RunOutcome {
  ResultCode code = result::kOk;
  std::string path;                  // the file that could not be read or written
  std::string message;               // Korean (UTF-8) for the dialog or terminal
  std::vector<std::string> notices;  // what was passed over (UTF-8), also on success
  [[nodiscard]] bool ok() const { return code == result::kOk; }

  [[nodiscard]] static RunOutcome failed(ResultCode code, std::string message,
                                         std::string path = {}) {
    RunOutcome out;
    out.code = code;
    out.message = std::move(message);
    out.path = std::move(path);
    return out;
  }
};

// Today's local date as MM/DD/YY.
[[nodiscard]] std::string todayText();

}  // namespace selvanor::stats
