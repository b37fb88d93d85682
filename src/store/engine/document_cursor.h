// Record access to an open analysis document: the one database handle that stays open
// between commands (the grid view's), plus the record changes made from the UI.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/result_codes.h"
#include "store/engine/record.h"
#include "store/engine/storage.h"

namespace selvanor {

class DocumentCursor {
 public:
  enum Step { kRead = 0, kNone = 1 };

  DocumentCursor() = default;
  virtual ~DocumentCursor();
  DocumentCursor(const DocumentCursor&) = delete;
  DocumentCursor& operator=(const DocumentCursor&) = delete;

  // Opens the document and its cursor. kOk, or kOpenError (diagnostic written).
  [[nodiscard]] ResultCode open(const std::string& file, OpenMode mode = OpenMode::CreateIfMissing);
  // The same, for changing the document record by record (the grid, reviews): every
  // addLine/removeLine, or every group of them between beginChange() and commitChange(),
  // reaches the file whole or not at all (Storage::openForChange).
  [[nodiscard]] ResultCode openForChange(const std::string& file,
                                         OpenMode mode = OpenMode::ExistingOnly);
  // A group of record changes that reaches the file as one (Storage::beginChange). A failed
  // commit, or close() before it, undoes the group; so does abortChange().
  [[nodiscard]] bool beginChange();
  [[nodiscard]] bool commitChange();
  void abortChange();
  void close();
  bool isOpen() const { return open_; }

  // Lock holding for the next open (Storage::setHolding); the grid keeps its document
  // open PerUse and brackets each use with use().
  void setHolding(Holding holding) { store_.setHolding(holding); }
  // A use of a PerUse document (Storage::use): reopened() when another program changed or
  // replaced the file since the last use; the cursor then stands nowhere.
  [[nodiscard]] Storage::Use use();
  // The last use or change group found the file changed by another program.
  [[nodiscard]] bool changedOutside() const { return store_.changedOutside(); }
  const std::string& fileName() const { return store_.fileName(); }

  // Moves; kRead when a record was read into current(), kNone otherwise (end, not open,
  // or a value that does not decode as an analysis record: see lastMoveCorrupt()).
  [[nodiscard]] Step first();
  [[nodiscard]] Step next();
  [[nodiscard]] Step prev();
  [[nodiscard]] Step last();
  // Positions on the 1-based record number (key order) without walking.
  [[nodiscard]] Step seekRecord(std::uint32_t recno);
  // 1-based record number of the current record.
  [[nodiscard]] std::optional<std::uint32_t> currentRecordNumber();

  // The record last read. Valid while the cursor is open; replaced by the next move.
  const AnalysisRecord& current() const { return current_; }
  // True when the last move stood on a record whose value did not decode.
  bool lastMoveCorrupt() const { return corrupt_; }

  // Stores (or replaces) a record and re-reads the current position. kOk or kInsertError.
  [[nodiscard]] ResultCode addLine(std::string_view serial, std::string_view word,
                                   std::string_view analysis);
  // Deletes a record and re-reads the current position. kOk or kRemoveError.
  [[nodiscard]] ResultCode removeLine(std::string_view serial);

  // The record stored under `serial`, read by key without moving the cursor (inside a
  // change group it sees the group's own writes); nullopt when there is none, it does not
  // decode, or the document is not open.
  [[nodiscard]] std::optional<AnalysisRecord> lookUp(std::string_view serial);
  // True when some value is stored under `serial`, decodable or not.
  [[nodiscard]] bool holds(std::string_view serial) { return open_ && store_.get(serial); }

  // Number of records of the open document (0 when not open), without walking.
  [[nodiscard]] std::uint32_t recordCount();

 private:
  Step afterMove(bool moved);
  void standOnCurrent();
  void reread();

  Storage store_;
  AnalysisRecord current_;
  bool open_ = false;
  bool corrupt_ = false;
};

// Number of records in the document at `file` (0 when it is empty, cannot be opened or
// does not exist; a missing file is not created).
[[nodiscard]] std::uint32_t countRecords(const std::string& file);

}  // namespace selvanor
