// Reference files (참조 파일, ".idx"): for every word of a document, the records that hold
// it. Key = the word's CP949 bytes; value = EncapList of TripleValue items (serial, word,
// analysis) in the order they were appended; built from one document that is serial
// order. This header holds the operations on reference files, the usage-example search,
// the build with explicit limits and the decisions and messages of the dialogs, free of
// any toolkit. Messages are UTF-8.
//
// Usage-example output (text appended to, CP949), one block per hit, each line ending in
// CR LF:
//   -------------------------------
//   \t<serial>:\t<word>:\t<analysis>                  up to five records before the hit
//   \t<serial>:\t<word>:\t<analysis>\t<===========    the hit
//   \t<serial>:\t<word>:\t<analysis>                  up to five records after it
//   -------------------------------
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/progress.h"
#include "common/result_codes.h"
#include "store/document/analysis_record.h"
#include "store/reference/reference_grouping.h"

namespace selvanor::reference {

// Builds the reference file of `document` (derived::referenceFile: a.id -> a.idx): for every
// word, the records that hold it in serial order. Occurrences are grouped with bounded
// memory and each word is written once, into a file beside the reference file that is
// renamed over it on success: a failed build leaves the previous one as it was. kOk;
// kOpenError (the document is missing, unreadable or not a document); kInsertError (the
// reference file or its scratch files cannot be written).
// `progress` is told the records read (then, while the groups are written, the whole
// again); asked to stop, the build returns kCancelled and leaves the old file.
[[nodiscard]] ResultCode makeWonmunDB(const std::string& document, const ProgressFn& progress = {});

// The items of `word` in stored order (one keyed get). An existing file only. kOk (the
// file has records; `items` is empty when the word is absent); kNothingToRead (the file
// is empty); kOpenError (it cannot be opened, or the entry is not a reference entry).
[[nodiscard]] ResultCode getWonmun2(const std::string& reference, std::string_view word,
                                    std::vector<AnalysisRecord>& items);

// Appends the items of every word of `added` after those `base` (created when missing)
// already holds; duplicates are kept, so merging a file into itself doubles every entry.
// `added` must exist and is not changed. Both are read as reference files before
// anything is written; the base is changed as one logged group, so that it holds all of
// the merge or none of it. kOk; kOpenError (either cannot be opened or is not a reference
// file, or an entry would outgrow its list: nothing is written); kInsertError (a word
// could not be stored: nothing is merged); kCancelled (`progress` asked to stop: nothing
// is merged). `progress` is told the words of `added` checked and then written (total:
// twice its words).
[[nodiscard]] ResultCode mergeWonmunDB(const std::string& base, const std::string& added,
                                       const ProgressFn& progress = {});

// The field the usage-example search (사용 예 검색) looks in.
enum class ExampleField { Word, Analysis };

// Appends one block per record of `document` whose word (or analysis) contains `text`
// (whole CP949 characters) to `output`: the record with up to five records before and
// after it (the block layout above). `hits`, when given, receives the number of blocks
// written. Each block is written whole or not at all: a failed write cuts the output back
// to where that block began. kOk; kTextFileError (the output cannot be opened);
// kInsertError (the output cannot be written, e.g. a full disk; the whole blocks before
// the failure stay); kOpenError (the document cannot be opened or read; the blocks of the
// records before a damaged one are written).
[[nodiscard]] ResultCode searchSayongye(const std::string& document, std::string_view text,
                                        ExampleField field, const std::string& output,
                                        std::size_t* hits = nullptr);

namespace msg {
// Reference page with no reference file (no document loaded).
inline constexpr const char* kOpenDocumentFirst = "문헌을 열어야 작업을 할 수 있습니다.";
// "참조 파일 만들기"
inline constexpr const char* kBuilt = "분석 참조 검색 파일이 만들어 졌습니다.";
inline constexpr const char* kBuildDocumentUnreadable =
    "분석 문헌 파일을 읽을 수 없어 분석 참조 검색 파일을 만들지 못했습니다.";
inline constexpr const char* kBuildNotWritten =
    "분석 참조 검색 파일을 저장할 수 없습니다. 이전 참조 파일이 있으면 그대로 남아 있습니다.";
// "참조 파일 합치기"
inline constexpr const char* kEnterAdded = "합칠 파일명을 입력해 주세요";
inline constexpr const char* kEnterBase = "기본 파일명을 입력해 주세요";
inline constexpr const char* kMerged = "참조 파일 합치기를 완료하였습니다.";
inline constexpr const char* kMergeFailed = "참조 파일 합치기를 실패하였습니다.";
inline constexpr const char* kMergeUnreadable =
    "열 수 없거나 참조 파일이 아닌 파일이 있어 아무것도 합치지 않았습니다.";
inline constexpr const char* kMergePartial =
    "저장하지 못한 어절이 있습니다. 그 앞의 어절까지만 합쳐졌습니다.";
// Reference text export
inline constexpr const char* kExported = "참조 파일이 텍스트로 저장되었습니다.";
inline constexpr const char* kExportUnreadable = "참조 파일을 읽을 수 없습니다.";
inline constexpr const char* kExportNotWritten = "텍스트 파일을 저장할 수 없습니다.";
inline constexpr const char* kExportOverSource = "참조 파일 자신에 텍스트를 저장할 수는 없습니다.";
// Look-up
inline constexpr const char* kLookupUnreadable = "참조 파일을 열 수 없습니다.";
inline constexpr const char* kLookupEmpty = "참조 파일이 비어 있습니다.";
inline constexpr const char* kLookupNotFound = "참조 파일에 없는 어절입니다.";
// Usage-example search
inline constexpr const char* kExamplesOutputUnwritable = "사용 예를 저장할 파일을 열 수 없습니다:";
inline constexpr const char* kExamplesOutputNotWritten =
    "사용 예를 파일에 쓸 수 없습니다(디스크가 가득 찼거나 쓰기가 허용되지 않습니다). "
    "끝까지 쓴 사용 예만 남겼습니다:";
inline constexpr const char* kExamplesDocumentUnreadable = "분석 문헌 파일을 읽을 수 없습니다:";
}  // namespace msg

// makeWonmunDB with the grouping limits given (tests and benchmarks use small budgets)
// and the reference path given; `reference` must not be the document. Diagnostics and
// results as makeWonmunDB.
[[nodiscard]] ResultCode buildReferenceFile(const std::string& document, const std::string& reference,
                                            const GroupingLimits& limits,
                                            const ProgressFn& progress = {});

// Message of "참조 파일 만들기" for makeWonmunDB's result.
[[nodiscard]] std::string buildOutcomeMessage(ResultCode result);

// "확 인" of "참조 파일 합치기": the refusal for empty fields (the file to merge is checked
// first), or nullopt when mergeWonmunDB may run.
[[nodiscard]] std::optional<std::string> checkMergeFields(const std::string& base,
                                                          const std::string& added);
// Message for mergeWonmunDB's result (kCancelledMessage for a stop); the dialog closes
// only on kOk.
[[nodiscard]] std::string mergeOutcomeMessage(ResultCode result);

// The refusal when `text` would overwrite the reference file itself, else nullopt.
[[nodiscard]] std::optional<std::string> checkExportTarget(const std::string& reference,
                                                           const std::string& text);
// Message for printDBcont(Reference)'s result.
[[nodiscard]] std::string exportOutcomeMessage(ResultCode result);

// Message naming a document the usage-example search could not process (its result was
// kTextFileError: the output cannot be opened; kInsertError: it cannot be written;
// kOpenError: the document).
[[nodiscard]] std::string examplesFailureMessage(const std::string& document,
                                                 const std::string& output, ResultCode result);

}  // namespace selvanor::reference
