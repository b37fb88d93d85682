// Result codes of the file operations. 0 is success; each failure also writes one English
// diagnostic line through the diagnostics sink. Nothing is thrown across subsystems.
#pragma once

namespace selvanor {

using ResultCode = int;

namespace result {
inline constexpr ResultCode kOk = 0;
inline constexpr ResultCode kFormatError = -1;          // malformed input line
inline constexpr ResultCode kListFormatError = -99;     // malformed auto-correction list
inline constexpr ResultCode kAlreadyExists = -510;      // entry exists and was kept
inline constexpr ResultCode kTextFileError = -600;      // text file could not be opened
inline constexpr ResultCode kOpenError = -700;          // database or cursor could not be opened
inline constexpr ResultCode kInsertError = -710;        // record could not be stored
inline constexpr ResultCode kRemoveError = -720;        // record or file could not be removed
inline constexpr ResultCode kNothingToRead = -730;      // empty file, or the get failed
inline constexpr ResultCode kKeyNotFound = -810;        // key looked up is not in the file

// Results of single operations outside the shared table. Each has a value of its own, so
// that no two can be taken for one another (success of one operation is never the failure
// of another).
inline constexpr ResultCode kDongumFormatError = 1;     // makeDongumDB: a malformed source record
inline constexpr ResultCode kDongumUnavailable = 2;     // getDongum: dictionary unreadable
inline constexpr ResultCode kMideungjaeFound = 3;       // FindMideungjae: success
inline constexpr ResultCode kMideungjaeNotDeleted = 4;  // delMideungjae: the delete failed
inline constexpr ResultCode kUnknownRunType = 5;        // runTongStat: a type outside 1-7
inline constexpr ResultCode kRunCancelled = 6;          // a statistics run stopped by the user
// A build or rewrite stopped by the user through its progress callback; the old file is
// kept and the temporary removed (common/progress.h).
inline constexpr ResultCode kCancelled = kRunCancelled;
}  // namespace result

}  // namespace selvanor
