// The auto-correction list, its working file (.fix) and the correction run.
#include "lexicon/auto_correction.h"

#include <db.h>

#include <algorithm>
#include <deque>

#include "common/cp949.h"
#include "common/derived_paths.h"
#include "common/diagnostics.h"
#include "common/encoding.h"
#include "common/text_kind.h"
#include "store/engine/codecs.h"
#include "store/engine/database_replacement.h"
#include "store/engine/integrity.h"
#include "store/engine/storage.h"

namespace selvanor {
namespace correction {

using ListError = Outcome::ListError;

const char* outcomeMessage(ResultCode result) {
  if (result == result::kOk) return msg::kDone;
  if (result == result::kListFormatError) return msg::kBadFormat;
  if (result == result::kOpenError) return msg::kCannotOpenDocument;
  if (result == result::kInsertError) return msg::kCannotWrite;
  return msg::kCannotOpen;
}

std::string formatErrorDetail(const Outcome& outcome) {
  const char* why = "";
  switch (outcome.listError) {
    case ListError::None: return std::string();
    case ListError::NoReplacement: why = "탭 뒤에 바꿀 말이 없습니다"; break;
    case ListError::EmptySearch: why = "찾을 말이 비어 있습니다"; break;
    case ListError::NotCp949: why = "CP949 글자가 아닌 바이트가 있습니다"; break;
  }
  return text::withHint("[" + std::to_string(outcome.errorLine) + "]번째 줄: " + why + ": [" +
                            encoding::cp949Excerpt(outcome.errorText) + "]",
                        outcome.foreignText);
}

std::optional<Pair> splitLine(std::string_view line) {
  const std::size_t tab = cp949::findChar(line, '\t');
  if (tab == std::string_view::npos) return std::nullopt;
  std::size_t start = tab;
  while (start < line.size() && line[start] == '\t') ++start;
  if (start == line.size()) return std::nullopt;
  const std::size_t end = cp949::findChar(line, '\t', start);
  return Pair{std::string(line.substr(0, tab)), std::string(line.substr(start, end - start))};
}

std::string searchText(std::string_view from) {
  std::string out = cp949::without(from, "\t\n");
  if (!out.empty() && out.front() == '*') out.erase(0, 1);
  return out;
}

std::string_view replacementText(std::string_view to) {
  if (!to.empty() && to.front() == '*') to.remove_prefix(1);
  return to;
}

ListReader::ListReader(const std::string& path) : lines_(path) {
  if (auto foreign = text::describeForeignFile(path)) foreignText_ = std::move(*foreign);
}

std::optional<Pair> ListReader::next() {
  if (error_ != ListError::None) return std::nullopt;
  while (auto line = lines_.next()) {
    ++lineNumber_;
    const std::string_view trimmed = cp949::trim(*line);
    if (trimmed.empty()) continue;
    auto fail = [&](ListError why) {
      error_ = why;
      errorText_.assign(trimmed);
      return std::nullopt;
    };
    // A list in another encoding would otherwise turn into pairs that split characters.
    // The check is structural, as for documents: iconv leaves out code points documents hold.
    if (!foreignText_.empty() || !cp949::isWellFormed(trimmed)) return fail(ListError::NotCp949);
    std::optional<Pair> pair = splitLine(trimmed);
    if (!pair) return fail(ListError::NoReplacement);
    if (searchText(pair->from).empty()) return fail(ListError::EmptySearch);
    return pair;
  }
  return std::nullopt;
}

// ---- Corrector ------------------------------------------------------------------------

Corrector::Corrector(const std::vector<Pair>& pairs) {
  search_.reserve(pairs.size());
  replacement_.reserve(pairs.size());
  for (const Pair& p : pairs) {
    search_.push_back(searchText(p.from));
    replacement_.emplace_back(replacementText(p.to));
  }
  TrieEdges edges = buildTrie();
  flattenEdges(edges);
  linkFailures(edges);
}

// The trie, with per-node edge lists while it grows.
Corrector::TrieEdges Corrector::buildTrie() {
  TrieEdges edges(1);
  depth_.assign(1, 0);
  ends_.assign(1, {});
  for (std::uint32_t id = 0; id < search_.size(); ++id) {
    std::int32_t node = 0;
    for (char ch : search_[id]) {
      const auto byte = static_cast<unsigned char>(ch);
      auto& list = edges[static_cast<std::size_t>(node)];
      auto it = std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.first == byte; });
      if (it != list.end()) {
        node = it->second;
        continue;
      }
      const auto made = static_cast<std::int32_t>(edges.size());
      list.emplace_back(byte, made);
      edges.emplace_back();
      depth_.push_back(depth_[static_cast<std::size_t>(node)] + 1);
      ends_.emplace_back();
      node = made;
    }
    ends_[static_cast<std::size_t>(node)].push_back(id);  // ids arrive ascending
  }
  return edges;
}

// Sorts each node's edges in place as it copies them into the flat arrays, so the
// breadth-first walk that follows visits them in the same order.
void Corrector::flattenEdges(TrieEdges& edges) {
  const std::size_t nodes = edges.size();
  edgeBegin_.assign(nodes + 1, 0);
  for (std::size_t n = 0; n < nodes; ++n) {
    auto& list = edges[n];
    std::sort(list.begin(), list.end());
    edgeBegin_[n + 1] = edgeBegin_[n] + static_cast<std::uint32_t>(list.size());
    for (const auto& [byte, target] : list) {
      edgeByte_.push_back(byte);
      edgeTarget_.push_back(target);
    }
  }
  for (int b = 0; b < 256; ++b) {
    const std::int32_t c = child(0, static_cast<unsigned char>(b));
    rootMove_[b] = c < 0 ? 0 : c;
  }
}

// Failure links and output chains, breadth first.
void Corrector::linkFailures(const TrieEdges& edges) {
  const std::size_t nodes = edges.size();
  fail_.assign(nodes, 0);
  output_.assign(nodes, -1);
  nextOutput_.assign(nodes, -1);
  std::deque<std::int32_t> queue;
  for (const auto& [byte, target] : edges[0]) queue.push_back(target);
  while (!queue.empty()) {
    const std::int32_t node = queue.front();
    queue.pop_front();
    const auto n = static_cast<std::size_t>(node);
    const std::int32_t f = fail_[n];
    nextOutput_[n] = output_[static_cast<std::size_t>(f)];
    output_[n] = ends_[n].empty() ? nextOutput_[n] : node;
    for (const auto& [byte, target] : edges[n]) {
      fail_[static_cast<std::size_t>(target)] = step(f, byte);
      queue.push_back(target);
    }
  }
}

std::int32_t Corrector::child(std::int32_t node, unsigned char byte) const {
  const auto n = static_cast<std::size_t>(node);
  for (std::uint32_t e = edgeBegin_[n]; e < edgeBegin_[n + 1]; ++e) {
    if (edgeByte_[e] == byte) return edgeTarget_[e];
  }
  return -1;
}

std::int32_t Corrector::step(std::int32_t node, unsigned char byte) const {
  while (node != 0) {
    const std::int32_t c = child(node, byte);
    if (c >= 0) return c;
    node = fail_[static_cast<std::size_t>(node)];
  }
  return rootMove_[byte];
}

std::uint32_t Corrector::firstOccurring(std::string_view text, std::uint32_t from) {
  if (from >= search_.size()) return kNone;
  charStart_.assign(text.size() + 1, 0);
  for (std::size_t i = 0; i < text.size(); i = cp949::nextChar(text, i)) charStart_[i] = 1;

  std::uint32_t best = kNone;
  std::int32_t state = 0;
  for (std::size_t p = 0; p < text.size(); ++p) {
    state = step(state, static_cast<unsigned char>(text[p]));
    for (std::int32_t o = output_[static_cast<std::size_t>(state)]; o >= 0;
         o = nextOutput_[static_cast<std::size_t>(o)]) {
      const auto node = static_cast<std::size_t>(o);
      // A byte match that starts on the second byte of a character is no match.
      if (!charStart_[p + 1 - depth_[node]]) continue;
      const auto& ids = ends_[node];
      const auto it = std::lower_bound(ids.begin(), ids.end(), from);
      if (it != ids.end() && *it < best) {
        best = *it;
        if (best == from) return best;
      }
    }
  }
  return best;
}

bool Corrector::apply(std::string_view analysis, std::string& out) {
  out.clear();
  cp949::appendWithout(analysis, "\t\n", out);
  bool matched = false;
  std::uint32_t from = 0;
  for (std::uint32_t id; (id = firstOccurring(out, from)) != kNone; from = id + 1) {
    const std::size_t at = cp949::find(out, search_[id]);
    out.replace(at, search_[id].size(), replacement_[id]);
    matched = true;
  }
  return matched && out != analysis;
}

}  // namespace correction

// ---- the run ----------------------------------------------------------------------------

namespace {

// The pairs of the working file in key order; the list is small beside the document.
ResultCode readPairs(const std::string& fixPath, std::vector<correction::Pair>& pairs,
                     std::string_view op) {
  Storage fix;
  if (!fix.openWithCursor(fixPath, nullptr, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, op, "DB open error");
  }
  for (bool more = fix.first(); more; more = fix.next()) {
    auto pair = codec::decodePair(fix.value());
    if (!pair) {
      return failWith(result::kOpenError, op, "DB value error");
    }
    pairs.push_back({std::move((*pair)[0]), std::move((*pair)[1])});
  }
  if (fix.lastResult() != DB_NOTFOUND) {
    return failWith(result::kOpenError, op, "DB read error");
  }
  return result::kOk;
}

// The byte copy of `document` that changed records go into, opened as `copy`.
// The copy carries the document's pages as they are, log positions included, and is the
// program's own from the start: it is vouched for rather than verified again.
bool startCopy(const std::string& document, std::optional<DatabaseReplacement>& target,
               Storage& copy, std::optional<std::uint32_t> lastLogFile) {
  target.emplace(document);
  if (target->inUse() || !copyFile(document, target->temporaryPath())) return false;
  if (lastLogFile) integrity::vouch(target->temporaryPath(), *lastLogFile);
  return copy.open(target->temporaryPath(), nullptr, OpenMode::ExistingOnly);
}

// Runs `corrector` over every record of `document` and renames the copy over it when
// some record changed; `changed` is set only when all went well.
ResultCode correctDocument(const std::string& document, correction::Corrector& corrector,
                           std::size_t& changed, std::string_view op, const ProgressFn& progress) {
  Storage doc;
  if (!doc.openWithCursor(document, nullptr, OpenMode::ExistingOnly)) {
    return failWith(result::kOpenError, op, "DB open error");
  }
  // Made at the first change, so a run that changes nothing leaves the file alone.
  std::optional<DatabaseReplacement> target;
  const std::optional<std::uint32_t> lastLogFile = integrity::lastLogFile(document);
  Storage copy;
  std::string corrected;
  std::string value;
  std::size_t count = 0;
  ProgressReporter reporter(progress, doc.recordCount().value_or(0));
  for (bool more = doc.first(); more; more = doc.next()) {
    if (!reporter.step()) return result::kCancelled;
    std::optional<AnalysisRecord> record = codec::decodeRecord(doc.value());
    if (!record) {
      return failWith(result::kOpenError, op, "DB value error");
    }
    if (!corrector.apply(record->analysis, corrected)) continue;
    if (!target && !startCopy(document, target, copy, lastLogFile)) {
      return failWith(result::kInsertError, op, "DB insert error");
    }
    record->analysis.swap(corrected);
    value = codec::encodeRecord(*record);
    if (!copy.put(doc.key(), value)) {
      return failWith(result::kInsertError, op, "DB insert error");
    }
    ++count;
  }
  if (doc.lastResult() != DB_NOTFOUND) {
    return failWith(result::kOpenError, op, "DB read error");
  }
  doc.close();
  if (target && (!copy.close() || !target->commit(lastLogFile))) {
    return failWith(result::kInsertError, op, "DB insert error");
  }
  changed = count;
  return result::kOk;
}

}  // namespace

ResultCode correction::makeSujungDB(std::string& fixPath, const std::string& list,
                                    Outcome* outcome) {
  static constexpr std::string_view kOp = "makeSujungDB";
  Outcome local;
  Outcome& report = outcome ? *outcome : local;
  report = Outcome{};
  fixPath = derived::correctionWorkingFile(list);
  if (sameFile(fixPath, list)) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  DatabaseReplacement target(fixPath);
  Storage fix;
  if (!fix.openWithCursor(target.temporaryPath())) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  correction::ListReader reader(list);
  if (!reader.isOpen()) {
    return failWith(result::kTextFileError, kOp, "open error of read file");
  }
  std::string value;
  while (auto pair = reader.next()) {
    value = codec::encodePair(pair->from, pair->to);
    if (!fix.put(pair->from, value)) {
      return failWith(result::kInsertError, kOp, "DB insert error");
    }
  }
  if (reader.error() != Outcome::ListError::None) {
    report.listError = reader.error();
    report.errorLine = reader.lineNumber();
    report.errorText = reader.errorText();
    report.foreignText = reader.foreignText();
    return result::kListFormatError;
  }
  if (reader.failed()) {
    return failWith(result::kTextFileError, kOp, "read error of read file");
  }
  if (!fix.close() || !target.commit()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

ResultCode correction::autoSujung(const std::string& document, const std::string& list,
                                  Outcome* outcome, const ProgressFn& progress) {
  static constexpr std::string_view kOp = "autoSujung";
  Outcome local;
  Outcome& report = outcome ? *outcome : local;
  if (sameFile(derived::correctionWorkingFile(list), document)) {
    report = Outcome{};
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  std::string fixPath;
  if (const ResultCode rc = makeSujungDB(fixPath, list, &report); rc != result::kOk) return rc;
  // The working file lives for this run only, whatever its end: the next run rebuilds it.
  struct RemovedAtEnd {
    const std::string& path;
    ~RemovedAtEnd() { removeFile(path); }
  } working{fixPath};

  std::vector<correction::Pair> pairs;
  if (const ResultCode rc = readPairs(fixPath, pairs, kOp); rc != result::kOk) return rc;
  correction::Corrector corrector(pairs);
  pairs.clear();
  pairs.shrink_to_fit();

  std::size_t changed = 0;
  if (const ResultCode rc = correctDocument(document, corrector, changed, kOp, progress);
      rc != result::kOk) {
    return rc;
  }
  report.changedRecords = changed;
  return result::kOk;
}

}  // namespace selvanor
