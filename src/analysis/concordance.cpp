#include "analysis/concordance.h"

#include <algorithm>

#include "analysis/document_scan.h"
#include "common/cp949.h"

namespace selvanor::analysis {
namespace {

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out.append(separator);
    out.append(parts[i]);
  }
  return out;
}

const std::string kNone;

// The sort key of a hit: a word of its context or the hit itself.
const std::string& contextWord(const Hit& h, SortKey key) {
  auto leftAt = [&](std::size_t n) -> const std::string& {
    return h.left.size() >= n ? h.left[h.left.size() - n] : kNone;
  };
  auto rightAt = [&](std::size_t n) -> const std::string& { return h.right.size() >= n ? h.right[n - 1] : kNone; };
  switch (key) {
    case SortKey::Left1: return leftAt(1);
    case SortKey::Left2: return leftAt(2);
    case SortKey::Left3: return leftAt(3);
    case SortKey::Right1: return rightAt(1);
    case SortKey::Right2: return rightAt(2);
    case SortKey::Right3: return rightAt(3);
    default: return kNone;
  }
}

int compareWords(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (int c = compareCp949(a[i], b[i])) return c;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// Strict order of two hits under `key`, ties broken by document order.
struct HitOrder {
  SortKey key;
  bool operator()(const Hit& a, const Hit& b) const {
    int c = 0;
    if (key == SortKey::Hit) c = compareWords(a.words, b.words);
    else if (key != SortKey::Document) c = compareCp949(contextWord(a, key), contextWord(b, key));
    if (c != 0) return c < 0;
    return a.order < b.order;
  }
};

// Keeps the first `limit` hits in sort order with memory for about twice as many.
class HitKeeper {
 public:
  HitKeeper(SortKey key, std::size_t limit) : order_{key}, limit_(limit) {}
  void add(Hit&& hit) {
    if (limit_ != 0 && order_.key == SortKey::Document && hits_.size() >= limit_) return;
    hits_.push_back(std::move(hit));
    if (limit_ != 0 && hits_.size() >= 2 * limit_) trim();
  }
  std::vector<Hit> take() {
    std::sort(hits_.begin(), hits_.end(), order_);  // the order makes it stable
    if (limit_ != 0 && hits_.size() > limit_) hits_.resize(limit_);
    return std::move(hits_);
  }

 private:
  void trim() {
    std::nth_element(hits_.begin(), hits_.begin() + static_cast<std::ptrdiff_t>(limit_), hits_.end(), order_);
    hits_.resize(limit_);
  }
  HitOrder order_;
  std::size_t limit_;
  std::vector<Hit> hits_;
};

void wordsOf(const std::vector<const RecordSlot*>& records, std::vector<std::string>& out) {
  out.reserve(records.size());
  for (const RecordSlot* r : records) out.push_back(r->record().word);
}

}  // namespace

std::string Hit::leftText() const { return joined(left, " "); }
std::string Hit::hitText() const { return joined(words, " "); }
std::string Hit::rightText() const { return joined(right, " "); }
std::string Hit::analysisText() const { return joined(analyses, " | "); }

std::optional<SortKey> sortKeyNamed(std::string_view name) {
  if (name == "hit") return SortKey::Hit;
  if (name == "doc") return SortKey::Document;
  if (name == "L1") return SortKey::Left1;
  if (name == "L2") return SortKey::Left2;
  if (name == "L3") return SortKey::Left3;
  if (name == "R1") return SortKey::Right1;
  if (name == "R2") return SortKey::Right2;
  if (name == "R3") return SortKey::Right3;
  return std::nullopt;
}

int compareCp949(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::size_t la = cp949::charLength(a, i), lb = cp949::charLength(b, j);
    // A character's code: one byte, or lead byte * 256 + trail byte.
    const unsigned ca = la == 2 ? static_cast<unsigned char>(a[i]) * 256u + static_cast<unsigned char>(a[i + 1])
                                : static_cast<unsigned char>(a[i]);
    const unsigned cb = lb == 2 ? static_cast<unsigned char>(b[j]) * 256u + static_cast<unsigned char>(b[j + 1])
                                : static_cast<unsigned char>(b[j]);
    if (ca != cb) return ca < cb ? -1 : 1;
    i += la;
    j += lb;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

void sortHits(std::vector<Hit>& hits, SortKey key) { std::sort(hits.begin(), hits.end(), HitOrder{key}); }

double DocumentCount::perMillion() const {
  return tokens == 0 ? 0.0 : static_cast<double>(hits) * 1e6 / static_cast<double>(tokens);
}

double ConcordanceResult::perMillion() const {
  return totalTokens == 0 ? 0.0 : static_cast<double>(totalHits) * 1e6 / static_cast<double>(totalTokens);
}

bool ConcordanceResult::anyFailed() const {
  return std::any_of(documents.begin(), documents.end(), [](const DocumentCount& d) { return !d.failure.empty(); });
}

ConcordanceResult runConcordance(const ConcordanceRequest& request, const ProgressFn& progress) {
  ConcordanceResult result;
  ScanProgress scanProgress(progress, progress ? recordsOf(request.documents) : 0);
  ScanRequest scan;
  scan.query = &request.query;
  scan.left = request.context;
  scan.right = request.context;
  scan.useReference = request.useReference;
  HitKeeper keeper(request.sort, request.limit);
  std::uint64_t order = 0;
  const HitHandler onHit = [&](const HitView& view) {
    Hit hit;
    hit.document = static_cast<std::uint32_t>(view.document);
    hit.record = view.hit.front()->recordNumber();
    hit.order = order++;
    hit.serial = view.hit.front()->record().serial;
    wordsOf(view.left, hit.left);
    wordsOf(view.hit, hit.words);
    wordsOf(view.right, hit.right);
    hit.analyses.reserve(view.hit.size());
    for (const RecordSlot* r : view.hit) hit.analyses.push_back(r->record().analysis);
    keeper.add(std::move(hit));
  };
  for (std::size_t d = 0; d < request.documents.size(); ++d) {
    const DocumentScan s = scanDocument(scan, request.documents[d], d, onHit, scanProgress);
    DocumentCount count;
    count.path = request.documents[d];
    count.hits = s.hits;
    count.tokens = s.tokens;
    count.throughReference = s.throughReference;
    count.failure = s.failure;
    result.totalHits += s.hits;
    result.totalTokens += s.tokens;
    result.documents.push_back(std::move(count));
    if (scanProgress.stopped()) {
      result.cancelled = true;
      break;
    }
  }
  result.hits = keeper.take();
  return result;
}

}  // namespace selvanor::analysis
