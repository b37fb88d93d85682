#include "lexicon/review_context.h"

#include <array>

namespace selvanor::review {
namespace {

constexpr std::uint32_t kWindow = 5;  // two before, the record, two after

// The last five records read, by record number modulo five.
class Window {
 public:
  void put(std::uint32_t recordNumber, const AnalysisRecord& record) {
    slots_[recordNumber % kWindow] = record;  // assignment keeps the strings' capacity
  }
  const AnalysisRecord& at(std::uint32_t recordNumber) const {
    return slots_[recordNumber % kWindow];
  }

  // Fills `slot` for the centre `c`; every record in [c-2, lastRead] is in the window.
  void complete(std::uint32_t c, std::uint32_t lastRead, bool withRecord, RecordContext& slot) const {
    slot.recordNumber = c;
    if (withRecord) slot.record = at(c);
    slot.before.clear();
    for (std::uint32_t k = c > 2 ? c - 2 : 1; k < c; ++k) {
      slot.before += ' ';
      slot.before += at(k).word;
    }
    slot.after.clear();
    for (std::uint32_t k = c + 1; k <= lastRead && k <= c + 2; ++k) {
      slot.after += ' ';
      slot.after += at(k).word;
    }
  }

 private:
  std::array<AnalysisRecord, kWindow> slots_;
};

}  // namespace

bool collectContexts(DocumentCursor& document, std::uint32_t first, std::uint32_t last,
                     const WantContext& want, bool withRecord) {
  if (first == 0) first = 1;
  if (last < first) return true;
  // Two records before the stretch give the context of its first records.
  const std::uint32_t start = first > 2 ? first - 2 : 1;
  Window window;
  std::uint32_t centre = first;  // the next record whose context is to be completed
  std::uint32_t lastRead = 0;
  const auto completeUpTo = [&](std::uint32_t limit) {
    for (; centre <= limit && centre <= last; ++centre) {
      if (RecordContext* slot = want(centre, window.at(centre).serial)) {
        window.complete(centre, lastRead, withRecord, *slot);
      }
    }
  };
  for (auto step = document.seekRecord(start); step == DocumentCursor::kRead;
       step = document.next()) {
    lastRead = lastRead == 0 ? start : lastRead + 1;
    window.put(lastRead, document.current());
    if (lastRead >= 3) completeUpTo(lastRead - 2);  // those centres have both successors
    if (centre > last) return true;
  }
  if (document.lastMoveCorrupt()) return false;
  completeUpTo(lastRead);  // the document ended: the last centres have fewer successors
  return true;
}

}  // namespace selvanor::review
