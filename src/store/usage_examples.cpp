// Usage-example search (사용 예 검색): every record whose word or analysis contains a text,
// written with its neighbouring records (block layout in store/reference_file.h).
#include <db.h>

#include <cstdio>
#include <deque>

#include "common/cp949.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "store/codecs.h"
#include "store/reference_file.h"
#include "store/storage.h"

namespace selvanor {
namespace {

constexpr std::size_t kBefore = 5;  // records shown before a hit
constexpr std::size_t kAfter = 5;   // and after it
constexpr std::string_view kSeparator = "-------------------------------\r\n";

std::string exampleLine(const AnalysisRecord& r, std::string_view tail) {
  std::string line = "\t";
  line += recordLine(r, ":\t", tail);
  return line;
}

// A block waiting for the records after its hit. The document is read once, front to
// back: the following records are added to the open blocks as the walk reaches them, so
// the walk never steps back.
struct OpenBlock {
  std::string text;
  std::size_t missing = kAfter;
};

}  // namespace

ResultCode reference::searchSayongye(const std::string& document, std::string_view text,
                                  ExampleField field, const std::string& output,
                                  std::size_t* hits) {
  static constexpr std::string_view kOp = "searchSayongye";
  if (hits) *hits = 0;
  // The document first: one that cannot be read leaves no empty output behind.
  // Blocks appended to the document itself would corrupt it.
  if (sameFile(document, output)) {
    return failWith(result::kTextFileError, kOp, "the output is the document");
  }
  Storage doc;
  if (!doc.openWithCursor(document, nullptr, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  FilePtr out = openFile(output, "ab");
  if (!out) {
    return failWith(result::kTextFileError, kOp, "open error of write file");
  }
  std::deque<AnalysisRecord> window;  // the current record and up to five before it
  std::deque<OpenBlock> open;
  bool written = true;
  auto write = [&](const std::string& block) {
    written = written && std::fwrite(block.data(), 1, block.size(), out.get()) == block.size();
  };
  bool damaged = false;
  for (bool more = doc.first(); more && written; more = doc.next()) {
    auto record = codec::decodeRecord(doc.value());
    if (!record) {
      damaged = true;
      break;
    }
    if (!open.empty()) {
      const std::string line = exampleLine(*record, "\r\n");
      for (OpenBlock& b : open) {
        b.text += line;
        --b.missing;
      }
      while (!open.empty() && open.front().missing == 0) {
        open.front().text += kSeparator;
        write(open.front().text);
        open.pop_front();
      }
    }
    if (window.size() > kBefore) window.pop_front();
    window.push_back(std::move(*record));
    const AnalysisRecord& current = window.back();
    const std::string_view searched = field == ExampleField::Word ? current.word : current.analysis;
    if (cp949::find(searched, text) == std::string_view::npos) continue;
    OpenBlock block;
    block.text = kSeparator;
    for (std::size_t i = 0; i + 1 < window.size(); ++i) block.text += exampleLine(window[i], "\r\n");
    block.text += exampleLine(current, "\t<===========\r\n");
    open.push_back(std::move(block));
    if (hits) ++*hits;
  }
  // Blocks near the end have fewer following records.
  for (OpenBlock& b : open) {
    b.text += kSeparator;
    write(b.text);
  }
  // A walk that stopped before the end (not for a failed write) is a damaged document.
  if (written && !damaged && doc.lastResult() != DB_NOTFOUND) damaged = true;
  doc.close();
  if (!written || std::fclose(out.release()) != 0) {
    return failWith(result::kTextFileError, kOp, "write error of write file");
  }
  if (damaged) {
    return failWith(result::kOpenError, kOp, "DB value error");
  }
  return result::kOk;
}

}  // namespace selvanor
