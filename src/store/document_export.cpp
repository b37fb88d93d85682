// Text exports of the system's database files.
#include <cstdio>

#include "common/diagnostics.h"
#include "common/files.h"
#include "store/codecs.h"
#include "store/dbwrap.h"
#include "store/storage.h"

namespace selvanor {
namespace {

bool writeRecordLine(std::FILE* out, const AnalysisRecord& r) {
  const std::string line = recordLine(r, "\t", "\n");
  return std::fwrite(line.data(), 1, line.size(), out) == line.size();
}

}  // namespace

ResultCode DBWrap::printDBcont(ExportKind kind, const std::string& source,
                               const std::string& output) {
  static constexpr std::string_view kOp = "printDBcont";
  if (kind != ExportKind::Document && kind != ExportKind::Reference) {
    reportStoreError(kOp, "unknown kind error");
    return result::kOpenError;
  }
  FileReplacement target(output);
  FilePtr out = openFile(target.temporaryPath(), "wb");
  if (!out) {
    reportStoreError(kOp, "open error of write file");
    return result::kTextFileError;
  }
  Storage db;
  if (!db.openWithCursor(source, nullptr, OpenMode::ExistingOnly)) {
    reportStoreError(kOp, "DB open error");
    return result::kOpenError;
  }
  writeDiagnostic(kind == ExportKind::Document ? "\n\nbunsuk result file \n\n"
                                               : "\n\nwonmun result file \n\n");
  bool written = true;
  for (bool more = db.first(); more && written; more = db.next()) {
    if (kind == ExportKind::Document) {
      auto record = codec::decodeRecord(db.value());
      if (!record) {
        reportStoreError(kOp, "DB value error");
        return result::kOpenError;
      }
      written = writeRecordLine(out.get(), *record);
    } else {
      auto items = codec::decodeRecordList(db.value());
      if (!items) {
        reportStoreError(kOp, "DB value error");
        return result::kOpenError;
      }
      for (const auto& item : *items) written = written && writeRecordLine(out.get(), item);
    }
  }
  if (db.lastResult() != DB_NOTFOUND && db.lastResult() != 0) {
    reportStoreError(kOp, "DB read error");
    return result::kOpenError;
  }
  if (!written || std::fclose(out.release()) != 0 || !target.commit()) {
    reportStoreError(kOp, "write error of write file");
    return result::kTextFileError;
  }
  return result::kOk;
}

}  // namespace selvanor
