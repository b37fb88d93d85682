// Walks documents for the hits of a query, with the records around each hit: the one
// pass the concordance and the collocations share. Streaming: a document is read once
// through a ring of records as long as the context and the longest hit, so memory does
// not grow with the document.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/concordance_query.h"
#include "analysis/record_matcher.h"
#include "common/progress.h"

namespace selvanor::analysis {

// One hit and what surrounds it. The pointers are valid during the handler's call only.
// `left` and `right` stop at the document's edges and never hold the hit's own records.
struct HitView {
  std::size_t document = 0;  // index in the scanned list
  std::vector<const RecordSlot*> left;  // document order: the last one is next to the hit
  std::vector<const RecordSlot*> hit;
  std::vector<const RecordSlot*> right;
};
using HitHandler = std::function<void(const HitView&)>;
// Called for every record read by a walk (collocations count the scope with it); the
// record is the cursor's own, valid during the call.
using RecordHandler = std::function<void(const AnalysisRecord&)>;

struct ScanRequest {
  const Query* query = nullptr;
  std::size_t left = 5;   // records wanted before each hit
  std::size_t right = 5;  // and after it
  // A query that starts with an exact word looks its candidates up in the document's
  // reference file (a.id -> a.idx) when one at least as new as the document exists.
  bool useReference = true;
  // Called for every record a walk reads, in document order (not for the records a
  // reference-file look-up reads around its candidates).
  std::function<void(const RecordSlot&)> onRead;
};

struct DocumentScan {
  std::uint64_t tokens = 0;  // records of the document
  std::uint64_t hits = 0;
  bool throughReference = false;
  std::string failure;  // UTF-8; empty when the document was read whole
};

// Counts records read (or, through a reference file, the document's records at once)
// towards `progress`; false once the user asked to stop.
class ScanProgress {
 public:
  ScanProgress(const ProgressFn& fn, std::uint64_t total) : reporter_(fn, total) {}
  bool advance(std::uint64_t records) {
    done_ += records;
    if (done_ - reported_ < 4096 && records < 4096) return !reporter_.stopped();
    reported_ = done_;
    return reporter_.report(done_);
  }
  [[nodiscard]] bool stopped() const { return reporter_.stopped(); }

 private:
  ProgressReporter reporter_;
  std::uint64_t done_ = 0, reported_ = 0;
};

// Scans one document (index `document` of the caller's list).
[[nodiscard]] DocumentScan scanDocument(const ScanRequest& request, const std::string& path,
                                        std::size_t document, const HitHandler& onHit,
                                        ScanProgress& progress);

// Walks every record of a document (no query); the failure, if any, as DocumentScan's.
[[nodiscard]] DocumentScan walkDocument(const std::string& path, const RecordHandler& onRecord,
                                        ScanProgress& progress);

// Records of the documents together, read from each file's record count (no walk).
[[nodiscard]] std::uint64_t recordsOf(const std::vector<std::string>& documents);

}  // namespace selvanor::analysis
