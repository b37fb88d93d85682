// The corpus manager's document list, free of any toolkit: groups of analysis documents,
// each document with the status of its reference and statistics files, loaded from and
// saved to the document list file ("dblist.dat"). The dialog "분석 문헌 관리" only turns
// clicks into calls on this model and shows the messages named here.
//
// Document list file (CP949 text), one node per line in tree order:
//   "1" + group name     a group; the document lines after it belong to it
//   "2" + document path  a document of the current group
// Paths are native (UTF-8) strings in memory and CP949 in the file; group names are CP949
// text like every other text of the core.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result_codes.h"

namespace selvanor::corpus {

namespace msg {
inline constexpr const char* kNoGroupSelected = "선택된 그룹이 없습니다.";
inline constexpr const char* kCleanUpQuestion =
    "컴퓨터에 파일이 없으면 자동으로 목록에서 삭제됩니다. 계속 할까요 ?";
inline constexpr const char* kCleanUpDone = "파일정리가 끝났습니다.";
inline constexpr const char* kReferenceQuestion =
    "선택한 파일들에 대해 참조파일을 새로 생성하시겠습니까?";
inline constexpr const char* kReferenceDone = "참조 파일 생성작업을 완료했습니다.";
inline constexpr const char* kStatisticsQuestion =
    "선택한 파일들에 대해 통계파일을 새로 생성하시겠습니까?";
inline constexpr const char* kStatisticsDone = "통계 파일 생성작업을 완료했습니다.";
inline constexpr const char* kTextExists = "텍스트 파일이 존재합니다. 새로 만드시겠습니까 ? ";
inline constexpr const char* kTextDone = "텍스트 만들기 작업을 종료 했습니다.";
// An output that is a document of the job (it would be deleted or written into).
inline constexpr const char* kOutputInUse = "선택된 곳에 지정된 파일이 현재 사용중입니다.";
inline constexpr const char* kExamplesDone = "사용예 검색 작업을 종료 했습니다.";
inline constexpr const char* kFailedDocuments = "다음 문헌은 처리하지 못했습니다:";
}  // namespace msg

// Status image of a document: which of its reference and statistics files can be opened
// (named by common/derived_paths.h, as the builds name them).
enum class DocumentStatus : int {
  None = 1,        // neither
  Reference = 2,   // reference file only
  Statistics = 3,  // statistics file only
  ReferenceAndStatistics = 4,
};
[[nodiscard]] DocumentStatus documentStatus(const std::string& document);

struct ListDocument {
  std::string path;  // native file-system path
  DocumentStatus status = DocumentStatus::None;
  bool selected = false;
  // The line's bytes when they were not CP949 (a foreign or damaged list): `path` then
  // holds them as they stand and saving writes them back unchanged.
  std::optional<std::string> undecodedBytes;
};

struct ListGroup {
  std::string name;  // CP949
  std::vector<ListDocument> documents;
  bool expanded = true;
  bool selected = false;
};

// A node of the tree: a group, or a document of a group.
struct NodeRef {
  std::size_t group = 0;
  std::optional<std::size_t> document;
  bool isGroup() const { return !document; }
  friend bool operator==(const NodeRef& a, const NodeRef& b) {
    return a.group == b.group && a.document == b.document;
  }
};

enum class ListStatus {
  kOk,
  kCannotOpen,       // the list file cannot be opened (or created) for reading
  kCannotWrite,      // the list file cannot be written; the previous one is kept
  kUnencodablePath,  // a path CP949 cannot hold; nothing was written
};

struct ListResult {
  ListStatus status = ListStatus::kOk;
  std::string path;       // kUnencodablePath: the refused document path
  std::string offending;  // kUnencodablePath: its first character CP949 lacks (UTF-8)
  explicit operator bool() const { return status == ListStatus::kOk; }
};

// What loading noticed besides the nodes it made.
struct LoadReport {
  std::size_t droppedBeforeFirstGroup = 0;  // document lines before any group line
  std::size_t unmarkedLines = 0;   // lines starting with neither "1" nor "2" (read as documents)
  std::size_t undecodedLines = 0;  // lines that are not CP949 (kept byte for byte)
  std::string foreignText;  // kCannotOpen for a list that looks like UTF-8, UTF-16 or binary
                            // data: what it looks like (UTF-8 hint)
};

struct RefusedPath {
  std::string path;
  std::string offending;  // its first character CP949 lacks (UTF-8)
};

struct AddReport {
  std::vector<std::string> added;
  std::vector<std::string> alreadyListed;  // skipped: the exact path is in the tree already
  std::vector<RefusedPath> unencodable;    // refused: CP949 cannot hold the path
};

struct JobFailure {
  std::string path;
  ResultCode result = result::kOk;
};

class DocumentList {
 public:
  // Replaces the tree with the file's content and computes every document's status. An
  // absent file is created empty when `createIfMissing` (the dialog's way). Lines may be
  // of any length; empty lines are skipped. A list that looks like UTF-8, UTF-16 or binary
  // data is kCannotOpen with an empty tree (loadReport().foreignText says why).
  ListResult load(const std::string& listFile, bool createIfMissing = true);
  const LoadReport& loadReport() const { return report_; }

  // Writes the tree in tree order ("1name\n", then "2path\n" per document); an empty tree
  // writes an empty file. Written beside the file and renamed over it, so a failure
  // (including a path CP949 cannot hold) leaves the previous list as it was.
  [[nodiscard]] ListResult save(const std::string& listFile) const;

  const std::vector<ListGroup>& groups() const { return groups_; }
  bool empty() const { return groups_.empty(); }
  const ListGroup& group(std::size_t g) const { return groups_.at(g); }
  const ListDocument& document(const NodeRef& n) const {
    return groups_.at(n.group).documents.at(*n.document);
  }
  bool contains(std::string_view path) const;

  // "폴더 생성": a group at the end of the tree (names need not be unique). Its index.
  std::size_t addGroup(std::string nameCp949);

  // The group "파일 추가" adds to: the first selected node if it is a group, or the group
  // of that document; nullopt when nothing is selected (show msg::kNoGroupSelected).
  [[nodiscard]] std::optional<std::size_t> targetGroup() const;
  // Appends the paths, in the given order, to group `g` and expands it; a path already
  // anywhere in the tree (or earlier in `paths`) is skipped, one CP949 cannot hold refused.
  AddReport addDocuments(std::size_t g, const std::vector<std::string>& paths);

  // "삭제" / Delete key: removes every node of selectedNodes() (a group with its
  // documents) from the list; nothing is deleted on disk. The number of nodes removed.
  std::size_t removeSelected();

  // "목록 정리" (after the question): sorts each group's documents by path ignoring the
  // case of ASCII letters, expands every group, drops documents whose file does not exist
  // and recomputes the status of the others. The dropped paths, in tree order.
  std::vector<std::string> cleanUp();

  // Recomputes the status of one document (after its reference or statistics file was
  // built) / of every document.
  void refreshStatus(const NodeRef& document);
  void refreshAllStatus();

  void setExpanded(std::size_t g, bool expanded);
  void expandAll();

  // Selection.
  void select(const NodeRef& node, bool selected = true);
  void clearSelection();
  // Selected nodes in display order: each group, then its documents if it is expanded
  // (the selected documents of a collapsed group are not visited).
  [[nodiscard]] std::vector<NodeRef> selectedNodes() const;
  [[nodiscard]] std::optional<NodeRef> firstSelected() const;
  // The document "확 인" or a double-click opens: the first selected node's path if it is a
  // document.
  [[nodiscard]] std::optional<std::string> documentToOpen() const;
  // Documents a build job ("참조 파일 생성", "통계 파일 생성") processes, in order: a
  // selected document itself, a selected group each of its documents (so a document
  // selected together with its group comes twice).
  [[nodiscard]] std::vector<NodeRef> jobDocuments() const;
  // Documents "텍스트 저장" and "사용 예 검색" process: selected document nodes only.
  [[nodiscard]] std::vector<NodeRef> selectedDocuments() const;

  // Runs `process` on every document of jobDocuments(), recomputing each one's status
  // after it; documents whose result is not kOk are returned, none skipped in silence.
  std::vector<JobFailure> runBuildJob(const std::function<ResultCode(const std::string&)>& process);

 private:
  ListDocument makeDocument(std::string path) const;

  std::vector<ListGroup> groups_;
  LoadReport report_;
};

// "%s 생성 실패" / "%s 저장 실패" with the list file's path; for a refused path, the
// unencodable-text message naming the path.
[[nodiscard]] std::string loadFailedMessage(const std::string& listFile);
// The same, followed by what the list looked like when it was refused as not CP949.
[[nodiscard]] std::string loadFailedMessage(const std::string& listFile, const LoadReport& report);
[[nodiscard]] std::string refusedPathMessage(const RefusedPath& refused);
// What a load passed over, one notice per kind (none when the file was clean).
[[nodiscard]] std::vector<std::string> loadNotices(const LoadReport& report);
[[nodiscard]] std::string saveFailedMessage(const std::string& listFile, const ListResult& r);
// The job's closing message, followed by the documents that failed, one per line.
[[nodiscard]] std::string jobOutcomeMessage(std::string_view closing,
                                            const std::vector<JobFailure>& failures);

}  // namespace selvanor::corpus
