// Text exports of the system's database files.
#include <cstdio>
#include <optional>

#include "common/diagnostics.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "store/interchange/document_export.h"
#include "store/interchange/dictionary_dump.h"
#include "store/engine/storage.h"
#include "store/document/analysis_record.h"

namespace selvanor {
namespace {

// Text is handed to the stream in blocks of about this size.
constexpr std::size_t kFlushBytes = 64 * 1024;

bool isKnownKind(ExportKind kind) {
  switch (kind) {
    case ExportKind::Document:
    case ExportKind::Reference:
    case ExportKind::Homonym:
    case ExportKind::Unregistered:
      return true;
  }
  return false;
}

// Console banner written before a document or reference export; none for dictionaries.
const char* bannerOf(ExportKind kind) {
  if (kind == ExportKind::Document) return "\n\nbunsuk result file \n\n";
  if (kind == ExportKind::Reference) return "\n\nwonmun result file \n\n";
  return nullptr;
}

// Appends the export lines of one stored record; false when its value is not of `kind`
// (a foreign or damaged file).
bool appendLines(ExportKind kind, std::string_view key, std::string_view value,
                 std::string& out) {
  switch (kind) {
    case ExportKind::Document: {
      auto record = codec::decodeRecord(value);
      if (!record) return false;
      out += recordLine(*record, "\t", "\n");
      return true;
    }
    case ExportKind::Reference: {
      auto items = codec::decodeRecordList(value);
      if (!items) return false;
      for (const auto& item : *items) out += recordLine(item, "\t", "\n");
      return true;
    }
    case ExportKind::Homonym: {
      auto items = codec::decodeQuadList(value);
      if (!items) return false;
      for (const auto& item : *items) out += dump::homonymLine(item);
      return true;
    }
    case ExportKind::Unregistered:
      out += dump::unregisteredLine(key, value);
      return true;
  }
  return false;
}

// printDBcont's formatter: the kind's lines per stored record.
class KindFormatter final : public RecordFormatter {
 public:
  explicit KindFormatter(ExportKind kind) : kind_(kind) {}
  bool append(std::string_view key, std::string_view value, std::string& out) override {
    return appendLines(kind_, key, value, out);
  }

 private:
  ExportKind kind_;
};

}  // namespace

ResultCode printDBcont(ExportKind kind, const std::string& source, const std::string& output) {
  if (!isKnownKind(kind)) {
    return failWith(result::kOpenError, "printDBcont", "unknown kind error");
  }
  KindFormatter formatter(kind);
  return writeRecordExport("printDBcont", source, output, formatter, bannerOf(kind));
}

ResultCode writeRecordExport(std::string_view kOp, const std::string& source,
                             const std::string& output, RecordFormatter& formatter,
                             const char* banner) {
  // The text is renamed over its target: aimed at the database itself (any spelling of
  // its path, or a link to it), it would replace the database with its own dump.
  if (sameFile(source, output)) {
    return failWith(result::kTextFileError, kOp, "the output is the database");
  }
  // "-" writes to standard output; a file is rebuilt beside itself and renamed over.
  std::optional<FileReplacement> target;
  FilePtr file;
  std::FILE* out = stdout;
  if (!isStandardOutput(output)) {
    target.emplace(output);
    if (const std::string refused = target->refusal(); !refused.empty()) {
      return failWith(result::kTextFileError, kOp, "write file " + refused);
    }
    file = openFile(target->temporaryPath(), "wb");
    if (!file) {
      return failWith(result::kTextFileError, kOp, "open error of write file");
    }
    out = file.get();
  }
  Storage db;
  if (!db.openWithCursor(source, nullptr, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  if (banner) writeDiagnostic(banner);
  std::string lines;
  formatter.begin(lines);
  bool written = true;
  for (bool more = db.first(); more && written; more = db.next()) {
    if (!formatter.append(db.key(), db.value(), lines)) {
      return failWith(result::kOpenError, kOp, "DB value error");
    }
    if (lines.size() >= kFlushBytes) {
      written = std::fwrite(lines.data(), 1, lines.size(), out) == lines.size();
      lines.clear();
    }
  }
  if (db.lastResult() != DB_NOTFOUND && db.lastResult() != 0) {
    return failWith(result::kOpenError, kOp, "DB read error");
  }
  formatter.end(lines);
  written = written && std::fwrite(lines.data(), 1, lines.size(), out) == lines.size();
  // Committed only when every line was written.
  const bool finished = written && (target ? std::fclose(file.release()) == 0 && target->commit()
                                           : std::fflush(out) == 0);
  if (!finished) {
    return failWith(result::kTextFileError, kOp, "write error of write file");
  }
  return result::kOk;
}

}  // namespace selvanor
