// Shared set-up of the UI tests: a document on disk, a view or frame with a scripted seam.
#pragma once

#include <QStandardPaths>
#include <QString>

#include <string>
#include <vector>

#include "store/document/analysis_record.h"
#include "store/engine/document_cursor.h"

namespace selvanor::test {

// Writes the records into a fresh document at `path`.
inline void writeDocument(const std::string& path, const std::vector<AnalysisRecord>& records) {
  DocumentCursor c;
  if (c.open(path) != result::kOk) return;
  for (const auto& r : records) (void)c.addLine(r.serial, r.word, r.analysis);
}

// Every record of the document at `path`, in key order.
inline std::vector<AnalysisRecord> readDocument(const std::string& path) {
  std::vector<AnalysisRecord> out;
  DocumentCursor c;
  if (c.open(path, OpenMode::ExistingOnly) != result::kOk) return out;
  for (auto s = c.first(); s == DocumentCursor::kRead; s = c.next()) out.push_back(c.current());
  return out;
}

inline std::vector<std::string> serialsOf(const std::vector<AnalysisRecord>& records) {
  std::vector<std::string> out;
  for (const auto& r : records) out.push_back(r.serial);
  return out;
}

}  // namespace selvanor::test
