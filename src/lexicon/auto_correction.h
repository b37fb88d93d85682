// The auto-correction list (자동 수정 목록, morpheme to word): its text format, the pair
// matcher behind autoSujung, the run itself and the texts the dialog and the command line show.
// Messages are UTF-8; list and document text is CP949.
//
// List text: one pair per line, "search<TAB>replacement[<TAB>ignored...]". Lines are
// trimmed of blanks, tabs, CRs and LFs; empty lines are skipped; runs of tabs count as one
// separator; blanks belong to the fields. One leading "*" on either field is not part of
// the text. Lines may be of any length. A line without a replacement, with a search text
// that is only "*", or that is not CP949 is a format error (kListFormatError). "CP949" is
// what documents accept: every byte above 0x7F pairs as lead and second byte, including
// code points iconv does not map (the user-defined area such as 0xC9A1).
//
// The run's order: pairs in the byte order of their search texts as written (the working
// file is a B-tree keyed by them), each applied to the whole document before the next.
// Applying all pairs in that order to each record gives the same document, so autoSujung
// walks the document once. The safe-write scheme: the document is never changed in place.
// At the first changed record the file is copied beside itself, each changed record is
// put into the copy under its key, and the copy is renamed over the document at the end
// (FileReplacement). Any failure removes the copy; a run that changes nothing writes
// nothing. A byte copy plus puts of the changed records is cheaper than re-inserting
// every record into a new tree. Because a changed document is a new file, a grid that
// has it open must reopen it after the run. The working file (.fix) is removed when the
// run ends, however it ends.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/files.h"
#include "common/progress.h"
#include "common/result_codes.h"

namespace selvanor::correction {

// What a correction run did, and where its list was malformed (kListFormatError).
struct Outcome {
  enum class ListError {
    None,
    NoReplacement,  // a line without a tab-separated second field
    EmptySearch,    // the search text is only "*": it would prefix every analysis
    NotCp949,       // the line is not CP949 text (a foreign or binary file)
  };
  std::size_t changedRecords = 0;  // records whose analysis was rewritten
  ListError listError = ListError::None;
  unsigned long errorLine = 0;  // 1-based physical line of the list
  std::string errorText;        // that line, trimmed, as read
  std::string foreignText;      // NotCp949 on a whole list that looks like UTF-8, UTF-16 or
                                // binary data: what it looks like (UTF-8 hint)
};

// Builds the working file of the correction list `list` and sets `fixPath` to it
// (derived::correctionWorkingFile): key = the search text as written, value = PairValue(search,
// replacement); a later line with the same search text wins. Built beside its path and
// renamed over it on success, so a failure leaves no half-built file. kOk;
// kListFormatError (`outcome` says which line); kTextFileError (the list cannot be read);
// kOpenError (the working file cannot be made, or would replace the list); kInsertError
// (a pair or the finished file cannot be written).
[[nodiscard]] ResultCode makeSujungDB(std::string& fixPath, const std::string& list,
                                      Outcome* outcome = nullptr);

// Applies the correction list to every record of `document` (the run's order and the
// safe-write scheme above). kOk; any failure of makeSujungDB (the document is not
// opened); kOpenError (the document is missing, unreadable or not a document, or the
// working file cannot be read or would replace the document); kInsertError (the copy
// cannot be made or written).
// `progress` is told the records looked at; asked to stop, kCancelled with the document
// as it was (the changed copy is removed).
[[nodiscard]] ResultCode autoSujung(const std::string& document, const std::string& list,
                                    Outcome* outcome = nullptr, const ProgressFn& progress = {});

namespace msg {
inline constexpr const char* kDialogTitle = "자동 수정 목록 ";
inline constexpr const char* kOpenDocument = "문헌 파일을 열어 주세요 ";
inline constexpr const char* kChooseList = "자동 수정 목록 파일을 선택해 주세요";
inline constexpr const char* kDone = "자동 목록 수정이 완료되었습니다.";
inline constexpr const char* kBadFormat = "자동 수정 목록 파일에 형식이 잘못되었습니다.";
inline constexpr const char* kCannotOpen = "자동 수정 목록 파일을 열 수가 없습니다.";
inline constexpr const char* kCannotOpenDocument =
    "분석 문헌 파일이나 자동 수정 작업 파일(.fix)을 열 수 없습니다. 문헌은 바뀌지 않았습니다.";
inline constexpr const char* kCannotWrite =
    "자동 수정 결과를 쓸 수 없습니다(디스크가 가득 찼거나 쓰기가 허용되지 않습니다). "
    "문헌은 바뀌지 않았습니다.";
}  // namespace msg

// The dialog's message after autoSujung returned `result`: done; bad format; the list
// cannot be read (kTextFileError); the document or working file cannot be opened
// (kOpenError); the working file or the corrected document cannot be written
// (kInsertError, e.g. a full disk).
[[nodiscard]] const char* outcomeMessage(ResultCode result);

// Which line of the list is malformed and why (UTF-8), for kListFormatError.
[[nodiscard]] std::string formatErrorDetail(const Outcome& outcome);


// One line of the list, as written (a leading "*" kept: it is part of the working key).
struct Pair {
  std::string from;
  std::string to;
};

// The pair of a trimmed, non-empty line; nullopt when it has no second field.
[[nodiscard]] std::optional<Pair> splitLine(std::string_view line);

// The texts a pair searches for and writes: the search text without tabs and LFs, and
// either field without its leading "*".
[[nodiscard]] std::string searchText(std::string_view from);
[[nodiscard]] std::string_view replacementText(std::string_view to);

// Reads a list line by line, stopping at the first malformed line.
class ListReader {
 public:
  // A list that looks like UTF-8, UTF-16 or binary data as a whole is refused at its
  // first line (NotCp949, foreignText() says what it looks like).
  explicit ListReader(const std::string& path);

  bool isOpen() const { return lines_.isOpen(); }
  // The next pair; nullopt at the end, at a malformed line (error() != None) or on a read
  // error (failed()).
  std::optional<Pair> next();

  Outcome::ListError error() const { return error_; }
  unsigned long lineNumber() const { return lineNumber_; }
  const std::string& errorText() const { return errorText_; }
  bool failed() const { return lines_.failed(); }
  const std::string& foreignText() const { return foreignText_; }

 private:
  LineReader lines_;
  std::string foreignText_;
  unsigned long lineNumber_ = 0;
  Outcome::ListError error_ = Outcome::ListError::None;
  std::string errorText_;
};

// Applies pairs, in the order given, to one analysis at a time. The search texts are held
// in one multi-pattern automaton, so a record costs a scan of its analysis per applied
// pair (plus one), not one search per pair.
class Corrector {
 public:
  explicit Corrector(const std::vector<Pair>& pairs);

  // `out` becomes `analysis` without tabs and LFs, with each pair in turn replacing the
  // first occurrence of its search text that starts at a character boundary. True when
  // some pair matched and the result differs from `analysis`: only then is the record
  // written back.
  bool apply(std::string_view analysis, std::string& out);

  std::size_t pairCount() const { return search_.size(); }

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  // Per node of the growing trie: its edges as (byte, child node).
  using TrieEdges = std::vector<std::vector<std::pair<unsigned char, std::int32_t>>>;

  // The constructor's steps: the trie of the search texts, its edges flattened (each
  // node's sorted), then the failure links and output chains over them.
  TrieEdges buildTrie();
  void flattenEdges(TrieEdges& edges);
  void linkFailures(const TrieEdges& edges);

  // The smallest pair index >= `from` whose search text occurs in `text` at a character
  // boundary, or kNone.
  std::uint32_t firstOccurring(std::string_view text, std::uint32_t from);
  std::int32_t child(std::int32_t node, unsigned char byte) const;
  std::int32_t step(std::int32_t node, unsigned char byte) const;

  std::vector<std::string> search_;
  std::vector<std::string> replacement_;

  // Automaton: node 0 is the root, whose moves are a full table; other nodes keep sorted
  // edges in one flat array.
  std::int32_t rootMove_[256];
  std::vector<std::uint32_t> edgeBegin_;  // per node, into edgeByte_/edgeTarget_; one extra
  std::vector<unsigned char> edgeByte_;
  std::vector<std::int32_t> edgeTarget_;
  std::vector<std::int32_t> fail_;
  std::vector<std::int32_t> output_;      // this node or the nearest suffix ending a text, -1
  std::vector<std::int32_t> nextOutput_;  // the next shorter suffix ending a text, -1
  std::vector<std::uint32_t> depth_;
  std::vector<std::vector<std::uint32_t>> ends_;  // pair indices ending here, ascending
  std::vector<unsigned char> charStart_;           // scratch: character starts of the text
};

}  // namespace selvanor::correction
