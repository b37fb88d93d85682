// Statistics files: for every tag of a document, how often each morpheme occurs with it.
//
// A statistics file (a.id -> a.stt) holds one named Berkeley DB sub-database per tag, the
// name being the tag as written in the analyses; in each, key = morpheme (marker included)
// and value = TextIntValue(morpheme, count).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/progress.h"
#include "common/result_codes.h"

namespace selvanor::stats {

// Builds the statistics file of `document` (derived::statisticsFile: a.id -> a.stt):
// one sub-database per tag, morpheme -> TextIntValue(morpheme, count). Counts in memory
// (bounded by the distinct morpheme/tag pairs) and writes each key once, into a file
// beside the target renamed over it on success: a failed build leaves the previous
// statistics file as it was. A document without any countable piece leaves no file.
// kOk; kOpenError (the document cannot be opened or read, or has no statistics path);
// kInsertError (the statistics file cannot be written); kRemoveError (an old statistics
// file cannot be removed for an empty document).
// `progress` is told the records counted; asked to stop, kCancelled and the old file kept.
[[nodiscard]] ResultCode makeTongDB(const std::string& document, const ProgressFn& progress = {});

// Adds 1 to the count of `morpheme` in the sub-database `tag` of `file` (both created
// when missing). kOk; kOpenError (open failed, the tag cannot name a sub-database, or the
// stored value is not a count); kInsertError (the count cannot be stored or would overflow).
[[nodiscard]] ResultCode writeTongRec(const std::string& file, std::string_view morpheme,
                                      std::string_view tag);

// Adds `count` to `item` in the main database of the vocabulary count file `file`.
// Results as writeTongRec.
[[nodiscard]] ResultCode writeTongRec2(const std::string& file, std::string_view item, int count);

namespace msg {
// Shown by the view when "통계 파일 생성" is chosen with no document open (ends in a blank).
inline constexpr const char* kOpenDocumentFirst = "문헌 파일을 열어 주세요 ";
inline constexpr const char* kBuilt = "통계용 파일을 만들었습니다.";
inline constexpr const char* kDocumentUnreadable =
    "분석 문헌 파일을 읽을 수 없어 통계용 파일을 만들지 못했습니다.";
inline constexpr const char* kNotWritten =
    "통계용 파일을 저장할 수 없습니다. 이전 통계용 파일이 있으면 그대로 남아 있습니다.";
inline constexpr const char* kOldNotRemoved = "이전 통계용 파일을 지울 수 없습니다.";
inline constexpr const char* kNoStatisticsPath = "통계용 파일 이름을 만들 수 없는 문헌 파일입니다.";
}  // namespace msg

// The message of the dialog "통계 파일 만들기" after makeTongDB(document) returned
// `result` (UTF-8): the completion message only on success, otherwise what went wrong.
[[nodiscard]] std::string outcomeMessage(ResultCode result, const std::string& document);

// One morpheme/tag piece of an analysis, as makeTongDB counts it. Blanks, tabs and line
// feeds are removed, the text is cut at every "+"; a piece without "/" gets one before its
// first ASCII letter (서울NNP reads as 서울/NNP); the morpheme runs to the first "/" after
// the first character, the tag is the rest. An empty piece followed by one that starts
// with "/" is the morpheme "+" itself (1/SN++/SW gives 1 SN and + SW). Pieces left without
// a morpheme or a tag, or with a NUL in the tag (it names a sub-database), are skipped and
// counted. The views point into `scratch`, valid until it changes.
struct PieceCounts {
  std::size_t pieces = 0;   // pieces handed to the callback
  std::size_t skipped = 0;  // non-empty pieces that gave no morpheme/tag pair
};
PieceCounts forEachPiece(
    std::string_view analysis, std::string& scratch,
    const std::function<void(std::string_view morpheme, std::string_view tag)>& fn);

// Content of a statistics (or tagged count) file: tag -> morpheme -> count. nullopt when
// the file cannot be opened or holds a value that is not a TextIntValue whose text equals
// its key. Meant for checks and small files: it holds the whole file in memory.
// The tag databases a statistics (or tagged count) file holds, read from its main
// database, which is Berkeley DB's own list of sub-databases (name -> 4-byte page number)
// and so is read with a bare handle rather than a Storage. nullopt when the file cannot be
// opened or its main database holds anything else (no statistics file). Reading the list
// first spares opening a tag database the file lacks, which would create it.
[[nodiscard]] std::optional<std::vector<std::string>> tagDatabaseNames(const std::string& path);

using StatisticsContent = std::map<std::string, std::map<std::string, std::int32_t>>;
[[nodiscard]] std::optional<StatisticsContent> readStatisticsFile(const std::string& path);

}  // namespace selvanor::stats
