// Usage-example search (사용 예 검색): every record whose word or analysis contains a text,
// written with its neighbouring records (block layout in store/reference/reference_file.h).
#include <db.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <deque>

#include "common/cp949.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "store/reference/reference_file.h"
#include "store/engine/storage.h"
#include "store/document/analysis_record.h"

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

// The blocks of one search: a window of the records before the current one, the blocks
// still waiting for their following records, and the output they go to once complete.
// `out` is unbuffered and `size` its length when opened: a block is written whole, or
// the file is cut back to where the block began, so no partial block is ever left.
class BlockWriter {
 public:
  BlockWriter(std::FILE* out, off_t size, std::string_view text, reference::ExampleField field,
              std::size_t* hits)
      : out_(out), size_(size), text_(text), field_(field), hits_(hits) {}

  // The next record of the walk: it follows the open blocks, then may start one itself.
  void take(AnalysisRecord record) {
    if (!open_.empty()) extendOpenBlocks(record);
    if (window_.size() > kBefore) window_.pop_front();
    window_.push_back(std::move(record));
    openBlockIfHit();
  }

  // Blocks near the end have fewer following records.
  void flushRest() {
    for (OpenBlock& b : open_) {
      b.text += kSeparator;
      write(b.text);
    }
  }

  // False once a write failed; later writes are skipped.
  bool written() const { return written_; }

 private:
  void extendOpenBlocks(const AnalysisRecord& record) {
    const std::string line = exampleLine(record, "\r\n");
    for (OpenBlock& b : open_) {
      b.text += line;
      --b.missing;
    }
    while (!open_.empty() && open_.front().missing == 0) {
      open_.front().text += kSeparator;
      write(open_.front().text);
      open_.pop_front();
    }
  }

  void openBlockIfHit() {
    const AnalysisRecord& current = window_.back();
    const std::string_view searched =
        field_ == reference::ExampleField::Word ? current.word : current.analysis;
    if (cp949::find(searched, text_) == std::string_view::npos) return;
    OpenBlock block;
    block.text = kSeparator;
    for (std::size_t i = 0; i + 1 < window_.size(); ++i) {
      block.text += exampleLine(window_[i], "\r\n");
    }
    block.text += exampleLine(current, "\t<===========\r\n");
    open_.push_back(std::move(block));
    if (hits_) ++*hits_;
  }

  void write(const std::string& block) {
    if (!written_) return;
    if (std::fwrite(block.data(), 1, block.size(), out_) == block.size()) {
      size_ += static_cast<off_t>(block.size());
      return;
    }
    written_ = false;
    // Whatever part of the block reached the file goes again.
    (void)::ftruncate(::fileno(out_), size_);
  }

  std::FILE* out_;
  off_t size_;  // the output's length after the last whole block
  std::string_view text_;
  reference::ExampleField field_;
  std::size_t* hits_;
  std::deque<AnalysisRecord> window_;  // the current record and up to five before it
  std::deque<OpenBlock> open_;
  bool written_ = true;
};

// Feeds every record of `doc` to `blocks`, stopping at a failed write. True when the walk
// found a record it cannot decode, or stopped before the end for another reason than a
// failed write: a damaged document.
bool walkDocument(Storage& doc, BlockWriter& blocks) {
  for (bool more = doc.first(); more && blocks.written(); more = doc.next()) {
    auto record = codec::decodeRecord(doc.value());
    if (!record) return true;
    blocks.take(std::move(*record));
  }
  return blocks.written() && doc.lastResult() != DB_NOTFOUND;
}

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
  struct stat st {};
  // Unbuffered: each block goes out in one write, so a failed one can be cut off whole.
  if (!out || ::fstat(::fileno(out.get()), &st) != 0 ||
      std::setvbuf(out.get(), nullptr, _IONBF, 0) != 0) {
    return failWith(result::kTextFileError, kOp, "open error of write file");
  }
  BlockWriter blocks(out.get(), st.st_size, text, field, hits);
  const bool damaged = walkDocument(doc, blocks);
  blocks.flushRest();
  doc.close();
  if (!blocks.written() || std::fclose(out.release()) != 0) {
    return failWith(result::kInsertError, kOp, "write error of write file");
  }
  if (damaged) {
    return failWith(result::kOpenError, kOp, "DB value error");
  }
  return result::kOk;
}

}  // namespace selvanor
