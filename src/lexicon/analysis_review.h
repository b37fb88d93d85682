// Analysis review (분석 재검토): the same word analysed differently in different places,
// written as a text report (review_report.h gives the line) and handed to a list window
// group by group. Neither review changes a document or a reference file.
//
// Review within the work file (작업 파일 내 재검토): every word of a document whose later
// occurrences, in key order, carry an analysis different from its first occurrence. The
// report starts with one empty line when it has any group; each group is the first
// occurrence's line followed by the lines of the differing later occurrences; groups
// follow in the order of their first occurrences without separating lines. A later
// occurrence that agrees with the first is not listed, even when it differs from a listed
// one. Analyses are compared without blanks, tabs and line feeds.
//
// Comparison with a reference file (참조 파일과 비교): for every word of the reference file
// that the compared reference file also holds, the items of the compared file whose
// analysis differs from the word's first item in the reference file. Each group (the
// reference item's line, then the differing items' lines, in stored order) is followed by
// one empty line; words are in byte order. Item lines take serial, word and analysis from
// the reference files and the context words from the files' documents (the reference path
// with its extension replaced by ".id"); an item whose serial is not in its document is
// written without context words.
//
// Cost and memory. The work-file review reads the document once to find the groups,
// keeping per distinct word its first record number and its analysis without blanks, and
// 8 bytes per differing occurrence (sorted once at the end): O(n log n). The comparison
// walks both reference files together in key order (a merge join) instead of searching the
// compared file per word. Report lines need the context of records met long before they
// are written, so the wanted records are collected by a forward walk over their documents
// (review_context.h) in passes of at most `ReviewLimits::contextsPerPass` records (or one
// group, when a single group is larger). Memory is therefore bounded by the vocabulary of
// the document (work-file review), the reported occurrences' record numbers, and one pass
// of contexts; a report larger than one pass costs one more walk per pass.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/result_codes.h"
#include "lexicon/review_report.h"

namespace selvanor::review {

namespace msg {
// View command 작업 파일 내 재검토 without an open document (ends in a blank).
inline constexpr const char* kOpenDocument = "문헌 파일을 열어 주세요 ";
inline constexpr const char* kWorkReviewSaved = "분석 결과가 텍스트로 저장되었습니다.";
inline constexpr const char* kWorkReviewFailed = "분석 재검토를 하지 못했습니다.";
// Dialog 참조 파일과 비교: its field checks (each ends in a blank) and outcomes.
inline constexpr const char* kChooseReference = "참조 파일을 선택해 주세요 ";
inline constexpr const char* kChooseCompared = "비교 참조 파일을 선택해 주세요 ";
inline constexpr const char* kChooseReport = "재검토 결과 저장 파일을 선택해 주세요 ";
inline constexpr const char* kCompareSaved = "참조파일 비교 결과가 저장되었습니다.";
inline constexpr const char* kCompareFailed = "참조파일 비교 결과가 저장에 실패 했습니다.";
// Failure details; each is followed by a blank and the file's path.
inline constexpr const char* kDocumentMissing = "분석 문헌 파일이 없습니다:";
inline constexpr const char* kDocumentUnreadable = "분석 문헌 파일을 열 수 없습니다:";
inline constexpr const char* kDocumentDamaged = "분석 문헌 파일이 손상되었거나 분석 문헌이 아닙니다:";
inline constexpr const char* kReferenceMissing = "참조 파일이 없습니다:";
inline constexpr const char* kReferenceUnreadable = "참조 파일을 열 수 없습니다:";
inline constexpr const char* kNotReference = "참조 파일이 손상되었거나 참조 파일이 아닙니다:";
inline constexpr const char* kSiblingMissing = "참조 파일의 분석 문헌 파일이 없습니다:";
inline constexpr const char* kReportNotWritten = "재검토 결과 파일을 저장할 수 없습니다:";
inline constexpr const char* kReportOverInput = "재검토하는 파일에 결과를 저장할 수는 없습니다:";
}  // namespace msg

// What a review did. On failure `message` names what could not be read or written and
// `file` is that file; no report was written (an earlier one at the path is kept).
struct ReviewOutcome {
  ResultCode code = result::kOk;  // kOk; kOpenError (an input cannot be opened, is damaged,
                                  // is not of its kind, or a sibling document is missing);
                                  // kTextFileError (the report cannot be written, or would
                                  // replace an input)
  std::string message;            // UTF-8: the dialog's and the command line's text
  std::string file;               // the file a failure is about
  std::size_t groups = 0;         // words reported
  std::size_t lines = 0;          // record lines written
  std::size_t withoutContext = 0; // comparison: items whose serial is not in their document
  explicit operator bool() const { return code == result::kOk; }
};

struct ReviewLimits {
  // Records collected per walk; each costs some 250-350 bytes with its context.
  std::size_t contextsPerPass = std::size_t{1} << 17;
};


// 작업 파일 내 재검토 (bunsukDBReview) of `document` into `report`. `sink`, when given,
// receives each group as it is written. Words already reported are remembered in memory
// for this run only.
[[nodiscard]] ReviewOutcome reviewWorkFile(const std::string& report, const std::string& document,
                                           const GroupSink& sink = {},
                                           const ReviewLimits& limits = {});

// 참조 파일과 비교 (reviewWonmunDB, reviewWonDBPrintRlt) of `compared` against `reference`
// into `report`. Both reference files and both sibling documents must exist and be what
// they claim; anything else is a failure naming the file, never an empty report.
[[nodiscard]] ReviewOutcome compareReferenceFiles(const std::string& report,
                                                  const std::string& reference,
                                                  const std::string& compared,
                                                  const GroupSink& sink = {},
                                                  const ReviewLimits& limits = {});

// The outcome of a failed review: the review's failure title, then `detail`, a blank and
// `file` (the comparison's title is msg::kCompareFailed).
[[nodiscard]] ReviewOutcome failedReview(ResultCode code, const char* detail,
                                         const std::string& file, bool comparison);

// "재검토" of the dialog: the refusal for the first empty field (reference, compared,
// report), or nullopt when the comparison may run.
[[nodiscard]] std::optional<std::string> checkCompareFields(const std::string& reference,
                                                            const std::string& compared,
                                                            const std::string& report);

}  // namespace selvanor::review
