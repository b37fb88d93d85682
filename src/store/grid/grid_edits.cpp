#include "store/grid/grid_edits.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "common/cp949.h"

namespace selvanor::gridedit {
namespace {

// The writes of one edit, with what is needed to take them back: the old records that were
// removed or replaced, and the serials the edit created. It also knows the edit's net
// change (what the document held before and holds after, per serial) for the undo history.
//
// The writes go to the document as one change (RowCache::beginChange): a kill or a full disk
// in the middle of an edit leaves the document as it was before the edit.
class EditLog {
 public:
  explicit EditLog(RowCache& cache) : cache_(cache), grouped_(cache.beginChange()) {}
  ~EditLog() {
    if (grouped_) cache_.abortChange();
  }
  EditLog(const EditLog&) = delete;
  EditLog& operator=(const EditLog&) = delete;

  // Ends the edit: on success the change is committed (false when even that fails: the
  // document is then as before); on failure every write is taken back.
  [[nodiscard]] bool end(bool ok) {
    if (!ok) undo();
    if (!grouped_) return ok;
    grouped_ = false;
    if (ok) return cache_.commitChange();
    cache_.abortChange();
    return false;
  }

  [[nodiscard]] bool remove(const AnalysisRecord& old) {
    if (cache_.remove(old.serial) != result::kOk) return false;
    touched_.push_back(old);
    slot(old.serial, old).after.reset();
    return true;
  }
  // The edits check before writing that a new serial names no other record, so a serial
  // first seen here was absent before.
  [[nodiscard]] bool add(const AnalysisRecord& r) {
    if (cache_.add(r.serial, r.word, r.analysis) != result::kOk) return false;
    if (!wasTouched(r.serial)) created_.push_back(r.serial);
    slot(r.serial, std::nullopt).after = r;
    return true;
  }
  // Best effort: the store has already reported any write it refuses.
  void undo() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) (void)cache_.remove(*it);
    for (auto it = touched_.rbegin(); it != touched_.rend(); ++it) {
      (void)cache_.add(it->serial, it->word, it->analysis);
    }
    created_.clear();
    touched_.clear();
    net_.clear();
  }
  // Serials whose record came out as it went in are left out.
  [[nodiscard]] RecordChange change(int row) const {
    RecordChange c;
    c.row = row;
    for (const auto& [serial, s] : net_) {
      if (s.before == s.after) continue;
      if (s.before) c.removed.push_back(*s.before);
      if (s.after) c.added.push_back(*s.after);
    }
    return c;
  }

 private:
  struct States {
    std::optional<AnalysisRecord> before, after;
  };
  States& slot(const std::string& serial, const std::optional<AnalysisRecord>& before) {
    auto it = net_.find(serial);
    if (it == net_.end()) it = net_.emplace(serial, States{before, before}).first;
    return it->second;
  }
  bool wasTouched(std::string_view serial) const {
    return std::any_of(touched_.begin(), touched_.end(),
                       [&](const AnalysisRecord& r) { return r.serial == serial; });
  }

  RowCache& cache_;
  bool grouped_;
  std::vector<AnalysisRecord> touched_;
  std::vector<std::string> created_;
  std::map<std::string, States> net_;  // ordered by serial, as the records are stored
};

// Ends an edit that wrote: undo on failure, tell the cache's listener what was stored on
// success, and leave the window on the edited row.
bool finish(RowCache& cache, EditLog& log, int row, bool ok) {
  ok = log.end(ok);
  cache.recentre(row);
  if (ok) cache.noteChange(log.change(row));
  return ok;
}

bool isChainPart(char letter) { return letter >= 'a' && letter <= 'y'; }

}  // namespace

char chainLetter(std::string_view serial) {
  const std::size_t at = cp949::lastCharStart(serial);
  if (at == std::string_view::npos || cp949::charLength(serial, at) != 1) return '\0';
  return serial[at];
}

std::string withChainLetter(std::string_view serial, char letter) {
  const std::size_t at = cp949::lastCharStart(serial);
  if (at == std::string_view::npos) return {};
  std::string out(serial.substr(0, at));
  out.push_back(letter);
  return out;
}

bool continuesChain(std::string_view current, std::string_view next) {
  // Compared byte by byte: a digit-weighted sum over the serial would overflow on long ones.
  if (current.empty() || current.size() != next.size()) return false;
  const std::size_t last = current.size() - 1;
  return current.substr(0, last) == next.substr(0, last) &&
         static_cast<unsigned char>(next[last]) == static_cast<unsigned char>(current[last]) + 1u;
}

bool join(RowCache& cache, int row) {
  if (row < 0 || row + 1 >= cache.recordCount()) return false;
  const std::optional<AnalysisRecord> a = cache.readRecord(row);
  const std::optional<AnalysisRecord> b = cache.readRecord(row + 1);
  if (!a || !b) return false;
  AnalysisRecord joined{withChainLetter(a->serial, 'z'), a->word + b->word,
                        a->analysis + " + " + b->analysis};
  if (joined.serial.empty()) return false;
  if (joined.serial != a->serial && joined.serial != b->serial && cache.contains(joined.serial)) {
    return false;  // it would overwrite an unrelated record
  }
  EditLog log(cache);
  return finish(cache, log, row, log.remove(*a) && log.remove(*b) && log.add(joined));
}

bool split(RowCache& cache, int row) {
  const std::optional<AnalysisRecord> rec = cache.readRecord(row);
  if (!rec) return false;
  const char letter = chainLetter(rec->serial);
  EditLog log(cache);

  if (letter == '0' || letter == 'z') {
    const AnalysisRecord partA{withChainLetter(rec->serial, 'a'), rec->word, rec->analysis};
    const AnalysisRecord partB{withChainLetter(rec->serial, 'b'), rec->word, rec->analysis};
    if (cache.contains(partA.serial) || cache.contains(partB.serial)) return false;
    return finish(cache, log, row, log.remove(*rec) && log.add(partA) && log.add(partB));
  }
  if (!isChainPart(letter) || row + 1 >= cache.recordCount()) return false;

  // Plan the whole shift before writing, so a refusal leaves the document untouched.
  std::vector<AnalysisRecord> chain{*rec};
  for (int r = row + 1; r < cache.recordCount(); ++r) {
    std::optional<AnalysisRecord> next = cache.readRecord(r);
    if (!next || !continuesChain(chain.back().serial, next->serial)) break;
    chain.push_back(std::move(*next));
  }
  const AnalysisRecord& tail = chain.back();
  const char tailLetter = chainLetter(tail.serial);
  if (tailLetter < 'a' || tailLetter >= 'y') return false;  // no letter left for the new last part
  const AnalysisRecord moved{withChainLetter(tail.serial, static_cast<char>(tailLetter + 1)),
                             tail.word, tail.analysis};
  if (cache.contains(moved.serial)) return false;

  bool ok = true;
  for (std::size_t k = 1; ok && k < chain.size(); ++k) {
    ok = log.remove(chain[k]) &&
         log.add({chain[k].serial, chain[k - 1].word, chain[k - 1].analysis});
  }
  return finish(cache, log, row, ok && log.add(moved));
}

bool removeRow(RowCache& cache, int row) {
  const std::optional<AnalysisRecord> rec = cache.readRecord(row);
  if (!rec) return false;
  EditLog log(cache);
  return finish(cache, log, row, log.remove(*rec));
}

ReplaceOutcome replace(RowCache& cache, int row, GridColumn target, std::string_view pattern,
                       std::string_view replacement) {
  if (pattern.empty() || replacement.empty()) return ReplaceOutcome::Invalid;
  if (target == GridColumn::Serial) return ReplaceOutcome::SerialNotSupported;
  if (target != GridColumn::Word && target != GridColumn::Analysis) return ReplaceOutcome::Invalid;
  const std::optional<AnalysisRecord> rec = cache.readRecord(row);
  if (!rec) return ReplaceOutcome::Invalid;
  if (!matchesPattern(fieldOf(*rec, target), pattern)) return ReplaceOutcome::NotMatching;

  AnalysisRecord changed = *rec;
  (target == GridColumn::Word ? changed.word : changed.analysis) = std::string(replacement);
  return rewrite(cache, row, *rec, changed) ? ReplaceOutcome::Replaced : ReplaceOutcome::Invalid;
}

bool rewrite(RowCache& cache, int row, const AnalysisRecord& old, const AnalysisRecord& edited) {
  if (edited.serial.empty()) return false;
  if (edited.serial != old.serial && cache.contains(edited.serial)) return false;
  EditLog log(cache);
  return finish(cache, log, row, log.remove(old) && log.add(edited));
}

ApplyOutcome applyChange(RowCache& cache, const RecordChange& change) {
  if (!cache.isOpen()) return ApplyOutcome::Failed;
  // The document must hold what the change takes away, byte for byte, and nothing under
  // a serial the change brings in (unless that record is one it takes away first).
  for (const AnalysisRecord& r : change.removed) {
    if (cache.storedRecord(r.serial) != r) return ApplyOutcome::Stale;
  }
  for (const AnalysisRecord& r : change.added) {
    const bool freed = std::any_of(change.removed.begin(), change.removed.end(),
                                   [&](const AnalysisRecord& g) { return g.serial == r.serial; });
    if (!freed && cache.contains(r.serial)) return ApplyOutcome::Stale;
  }
  EditLog log(cache);
  bool ok = true;
  for (auto it = change.removed.begin(); ok && it != change.removed.end(); ++it) ok = log.remove(*it);
  for (auto it = change.added.begin(); ok && it != change.added.end(); ++it) ok = log.add(*it);
  ok = log.end(ok);
  cache.recentre(change.row);
  return ok ? ApplyOutcome::Applied : ApplyOutcome::Failed;
}

}  // namespace selvanor::gridedit
