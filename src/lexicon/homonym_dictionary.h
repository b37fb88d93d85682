// The homonym dictionary (.dic): its source text, the build from it, and the texts the
// dialogs and the command line show, and the operations on a dictionary file, free of any
// toolkit. Messages are UTF-8; dictionary text is CP949.
//
// Source text: one record per "#" line plus the continuation lines after it that do not
// begin with "#". Lines are trimmed of blanks, tabs, CRs and LFs and joined with nothing
// between them. A record is "#1headword#2numberedForm#3hanja#5meaning" ("#$" may stand for
// "#5"; "#3hanja" may be left out, the hanja then being one blank); runs of "#" count as
// one, so no field can hold a "#". Lines and records may be of any length.
#pragma once

#include <optional>
#include <string>
#include <memory>
#include <string_view>
#include <vector>

#include "common/files.h"
#include "common/progress.h"
#include "common/result_codes.h"
#include "lexicon/homonym_sense.h"

namespace selvanor {
class Storage;
}

namespace selvanor::homonym {

// Where and what the last makeDongumDB format error was: the number of physical lines
// read when the bad record ended, and the record's joined text (CP949).
struct FormatError {
  unsigned long line = 0;
  std::string record;
  std::string foreignText;  // a source that looks like UTF-8, UTF-16 or binary data: what
                            // it looks like (UTF-8 hint); the first record is `record`
};

// makeDongumDB's result when a source record is malformed (formatError() says where), and
// getDongum's when the dictionary cannot be opened or read.
using result::kDongumFormatError;
using result::kDongumUnavailable;

// The operations on homonym dictionary files. One object keeps the dictionary of its last
// look-up open, so that homonym correction, which looks up every morpheme, opens it once;
// its own changes to that file let the kept handle go first. Single-threaded.
class HomonymDictionary {
 public:
  HomonymDictionary();
  ~HomonymDictionary();
  HomonymDictionary(const HomonymDictionary&) = delete;
  HomonymDictionary& operator=(const HomonymDictionary&) = delete;

  // Builds the dictionary `dictionary` from the source text `source` (the record format
  // above). Built beside its path and renamed over it only on success: any failure leaves
  // the previous dictionary as it was. kOk; kDongumFormatError; kTextFileError (source
  // unreadable); kOpenError (the dictionary cannot be made, or would replace the source);
  // kInsertError (an entry or the finished file cannot be written); kCancelled (`progress`,
  // told the bytes of the source read, asked to stop: the previous dictionary stays).
  [[nodiscard]] ResultCode makeDongumDB(const std::string& source, const std::string& dictionary,
                                        const ProgressFn& progress = {});
  [[nodiscard]] const FormatError& formatError() const { return formatError_; }

  // The senses of `headword` in stored order; the dictionary stays open for later
  // look-ups of the same path. An existing file only. kOk; kNothingToRead (the head word
  // is absent; `senses` is empty); kDongumUnavailable.
  [[nodiscard]] ResultCode getDongum(const std::string& dictionary, std::string_view headword,
                                     std::vector<HomonymSense>& senses);

  // Adds `sense` under its head word, after the senses already there; the file is created
  // when missing. kOk; kAlreadyExists (the head word already has this numbered form: the
  // sense is dropped); kOpenError (cannot be opened, or is not a homonym dictionary);
  // kInsertError.
  [[nodiscard]] ResultCode addDongumRec(const std::string& dictionary, const HomonymSense& sense);

  // Removes the sense `numberedForm` of `headword`; the head word goes when it was its
  // last sense. An existing file only. kOk; kOpenError (missing, unreadable or foreign
  // file); kKeyNotFound (no such head word or sense: nothing changes); kInsertError /
  // kRemoveError (the shortened list could not be written / the key removed).
  [[nodiscard]] ResultCode removeDongumRec(const std::string& dictionary,
                                           std::string_view headword,
                                           std::string_view numberedForm);

  // Replaces the sense `old` by `edited` in one step: the old sense is removed (if still
  // there) and the new one appended to its head word's list, both or neither. kOk;
  // kAlreadyExists when the head word already holds the new numbered form (nothing
  // changed); kOpenError; kInsertError / kRemoveError when a write failed (nothing changed).
  [[nodiscard]] ResultCode replaceDongumRec(const std::string& dictionary, const HomonymSense& old,
                                            const HomonymSense& edited);

  // Adds every sense of `other` to `base` (created when missing) in key and stored order,
  // after the base's own; a sense whose numbered form the base already has under that
  // head word keeps the base's. `other` must exist and is not changed; merging a
  // dictionary into itself changes nothing. kOk; kOpenError (either cannot be opened or
  // is not a homonym dictionary: nothing is written); kInsertError (a write failed: nothing
  // is merged); kCancelled (`progress` asked to stop: nothing is merged). `progress` is told
  // the head words of `other` checked and then written (total: twice its head words).
  [[nodiscard]] ResultCode mergeDongumDB(const std::string& base, const std::string& other,
                                         const ProgressFn& progress = {});

 private:
  // Closes the kept look-up dictionary when an operation is about to change `path`.
  void releaseLookup(const std::string& path);

  std::unique_ptr<Storage> lookup_;
  FormatError formatError_;
};

namespace msg {
inline constexpr const char* kBuilt = "동음어 사전이 만들어 졌습니다.";
inline constexpr const char* kBuildFailed = "동음어 사전 생성시 오류가 발생했습니다.";
inline constexpr const char* kSetDictionary = "환경 설정에서 동음이의어 사전을 설정해 주십시요.";
inline constexpr const char* kSelectToModify = "수정할 동음어를 선택해 주세요";
inline constexpr const char* kSelectToDelete = "삭제할 동음어를 선택해 주세요";
inline constexpr const char* kChooseDictionary = "동음어 사전을 선택해 주세요 ";
inline constexpr const char* kSaved = "동음어 사전이 텍스트로 저장되었습니다.";
inline constexpr const char* kSaveFailed = "동음어 사전을 텍스트로 저장하지 못했습니다.";
inline constexpr const char* kMergeMode = "동음어 사전";
inline constexpr const char* kAdded = "동음어를 추가했습니다.";
inline constexpr const char* kDuplicate = "같은 음번호가 이미 있어 추가하지 않았습니다.";
inline constexpr const char* kRemoved = "동음어를 삭제했습니다.";
inline constexpr const char* kNotFound = "사전에 없는 동음어입니다.";
inline constexpr const char* kCannotOpen = "동음어 사전을 열 수 없습니다.";
inline constexpr const char* kCannotWrite = "동음어 사전에 저장할 수 없습니다.";
inline constexpr const char* kCannotPutBack =
    "동음어 사전에 저장할 수 없고, 지운 동음어도 되돌려 놓지 못했습니다. 사전을 확인해 주세요.";
}  // namespace msg


// One record of a source file.
struct SourceRecord {
  std::string text;            // the joined, trimmed lines (CP949)
  unsigned long lineCount = 0;  // physical lines read when the record ended: the line that
                                // began the next record, or the last line of the file
};

// Reads a source file record by record, holding one line of look-ahead.
class SourceReader {
 public:
  explicit SourceReader(const std::string& path) : lines_(path) {}

  bool isOpen() const { return lines_.isOpen(); }
  // The next non-empty record; nullopt at the end of the file or on a read error.
  std::optional<SourceRecord> next();
  bool failed() const { return lines_.failed(); }
  // Bytes of the file read so far (the look-ahead line included), for progress.
  std::uint64_t bytesRead() const { return lines_.bytesRead(); }

 private:
  LineReader lines_;
  std::string pending_;  // the "#" line that ended the previous record
  bool hasPending_ = false;
  bool atEnd_ = false;
  unsigned long lineCount_ = 0;
};

// The entry of one record, or nullopt when it is malformed: a missing or misplaced field
// code, no meaning, or a field after the meaning. Field text is kept byte for byte.
[[nodiscard]] std::optional<HomonymSense> splitRecord(std::string_view record);

// The message box text of a malformed source record (UTF-8, lines joined by CR LF).
[[nodiscard]] std::string formatErrorMessage(const FormatError& error);

// What the merge dialog shows after a merge in `mode` (msg::kMergeMode or the
// unregistered-word mode): the merge is reported done only when it succeeded, and a stop
// as kCancelledMessage.
[[nodiscard]] std::string mergeOutcomeMessage(std::string_view mode, ResultCode result);

// What the save-as-text command shows after printDBcont.
[[nodiscard]] std::string saveOutcomeMessage(ResultCode result);

}  // namespace selvanor::homonym
