// The grid's window of records over the open analysis document, and the search over it.
//
// The grid is virtual: it asks this cache for the record of each row it paints. The cache
// keeps up to 500 consecutive records, read through the document's one long-lived
// DocumentCursor. Slots hold whole AnalysisRecords: a long serial, word or analysis is
// shown and edited byte for byte, never cut to a fixed slot width.
//
// Leaving the window costs one positioning by record number (the document keeps record
// numbers) and a read of at most 500 records; the cursor never walks from the first record.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result_codes.h"
#include "store/document/analysis_record.h"
#include "store/engine/document_cursor.h"
#include "store/grid/record_change.h"

namespace selvanor {

enum class GridColumn { Serial = 0, Word = 1, Analysis = 2 };
enum class SearchDirection { Down = 0, Up = 1 };

// Search pattern rule: "ab*" the field starts with ab, "*ab" ends with ab, "*ab*" contains
// ab, "ab" equals ab. A match starts and ends at CP949 character boundaries of the field, so
// "a" never matches the second byte of a two-byte character. "*" alone (and "**") matches
// every field; the empty pattern matches only the empty field.
[[nodiscard]] bool matchesPattern(std::string_view field, std::string_view pattern);
// The field of `r` shown in column `c` (empty for a column that does not exist).
[[nodiscard]] std::string_view fieldOf(const AnalysisRecord& r, GridColumn c);

class RowCache {
 public:
  static constexpr int kWindowRows = 500;

  RowCache() = default;
  RowCache(const RowCache&) = delete;
  RowCache& operator=(const RowCache&) = delete;

  // Opens the document (a missing file is not created) and fills the window from the first
  // record. Returns the record count, or -1 when the document cannot be opened or has no
  // records; the cache is then closed (path() still names the document).
  [[nodiscard]] int open(const std::string& path);
  void close();
  [[nodiscard]] bool isOpen() const;
  [[nodiscard]] int recordCount() const;
  [[nodiscard]] const std::string& path() const;
  // Re-reads the record count from the store (after another operation changed the open
  // document) and returns it; 0 when not open. The caller recentres.
  int recount();

  // The document is kept open between uses without holding it: other programs may read,
  // change or replace it meanwhile. Every read and edit first looks whether the file is
  // still as this cache last saw it; when it is not, the document is read again (count
  // and window anew), the listener is told, and an edit begun on the old content is
  // refused. checkOutside() makes that look now (the window calls it from a timer);
  // true when the document was read again.
  using OutsideChangeListener = std::function<void()>;
  void setOutsideChangeListener(OutsideChangeListener listener) {
    outsideListener_ = std::move(listener);
  }
  bool checkOutside();
  // After an outside change every edit is refused (an edit is based on what the user saw)
  // until the caller has shown the document again and says so here.
  void acknowledgeOutsideChange() { outsidePending_ = false; }
  [[nodiscard]] bool outsideChangePending() const { return outsidePending_; }

  // The full record at 0-based `row`, recentring when the row is outside the filled window;
  // nullptr when not open or out of range. Valid until the next call that may recentre or
  // change the document. A record whose value does not decode shows as an empty record, so
  // that rows keep their record numbers.
  [[nodiscard]] const AnalysisRecord* record(int row);
  // Rows >= 251: window [row-250, min(row+250, count)); otherwise [0, min(count, 500)).
  // A row outside [0, count) is first clamped into it.
  void recentre(int row);
  [[nodiscard]] int windowFirst() const;
  [[nodiscard]] int windowRows() const;  // slots filled

  // The record at `row` read fresh from the store (not from the window, which is left
  // alone); nullopt when not open, out of range or undecodable.
  [[nodiscard]] std::optional<AnalysisRecord> readRecord(int row);
  // True when a record with this serial is stored (a keyed read that leaves the cursor
  // where it is).
  [[nodiscard]] bool contains(std::string_view serial);
  // The record stored under `serial`, read the same way; nullopt when there is none or its
  // value does not decode.
  [[nodiscard]] std::optional<AnalysisRecord> storedRecord(std::string_view serial);

  // removeLine / addLine through the cursor; on success the count is re-read from the store,
  // so an add that replaces an existing serial leaves it unchanged. The slots are not
  // patched: the caller recentres. kOpenError when not open.
  [[nodiscard]] ResultCode remove(std::string_view serial);
  [[nodiscard]] ResultCode add(std::string_view serial, std::string_view word,
                               std::string_view analysis);

  // A group of removes and adds that reaches the document as one
  // (DocumentCursor::beginChange); the count is re-read after a commit or an abort.
  // Refused (false) when another program changed the document since it was last read:
  // the document is then read again and the listener told.
  [[nodiscard]] bool beginChange();
  [[nodiscard]] bool commitChange();
  void abortChange();

  enum class FindStatus { Found, NotFound, NoRecords };
  struct FindResult {
    FindStatus status;
    int row;  // the match when Found, else -1
  };
  // Searches the store (not the window) from record index `start`: Down tests and steps
  // forward until a match or the end; Up tests and steps back until a match or index 0 has
  // been tested. NotFound also when `start` is outside [0, count). NoRecords when not open or
  // the count is 0 or less. Undecodable records never match and do not stop the walk.
  [[nodiscard]] FindResult find(GridColumn column, std::string_view pattern, int start,
                                SearchDirection direction);
  // True when find(GridColumn::Serial, pattern, 0, SearchDirection::Down) would be Found:
  // some record's serial matches `pattern` (the grid editor's duplicate check). A plain
  // serial (no '*' at either end) costs one keyed read, as every record is stored under
  // its own serial; only a pattern walks the document.
  [[nodiscard]] bool holdsSerial(std::string_view pattern);
  // True when the record at `row` (read fresh) matches `pattern` in `column`.
  [[nodiscard]] bool matches(GridColumn column, std::string_view pattern, int row);

  [[nodiscard]] DocumentCursor& cursor();

  // Told of every grid edit (gridedit) that was stored through this cache, with what it
  // removed and added; the view keeps them for undo. Cleared by setting an empty function.
  using ChangeListener = std::function<void(const RecordChange&)>;
  void setChangeListener(ChangeListener listener) { listener_ = std::move(listener); }
  // Called by the edits once a change is stored; an empty change is not passed on.
  void noteChange(const RecordChange& change) {
    if (listener_ && !change.empty()) listener_(change);
  }

  // Makes the n-th store write from now (remove or add, counting from 1) fail as the store
  // would, without touching the file; 0 switches it off. For tests of the edits' undo: a
  // real write failure cannot be provoked on demand.
  void failWriteAfter(int nthWrite) { failAt_ = nthWrite; }

 private:
  bool injectedFailure();
  // Takes a use of the document (Storage::use) and reads it again when it changed outside.
  [[nodiscard]] Storage::Use use();

  DocumentCursor cursor_;
  std::vector<AnalysisRecord> slots_;
  std::string path_;
  int count_ = 0;
  int first_ = 0;
  int failAt_ = 0;
  ChangeListener listener_;
  OutsideChangeListener outsideListener_;
  bool outsidePending_ = false;
};

}  // namespace selvanor
