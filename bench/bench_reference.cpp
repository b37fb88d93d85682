// Reference-file build beside the document build it derives from, the look-up, and the
// one-append-per-token build for comparison (quadratic in a word's frequency).
//
//   bench_reference [--tokens N]... [--naive N]... [--lookups M] [--budget MiB]
//                   [--corpus FILE] [--dir DIR]
//
// Default sizes 10^5 and 10^6 tokens; the per-token build runs only at the --naive sizes
// (default 10^4 and 3*10^4; --naive 0 for none) and its file is checked to be the same as
// the grouped build's.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "common/derived_paths.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "facade/dbwrap.h"
#include "store/reference/reference_file.h"
#include "store/engine/storage.h"

using namespace selvanor;
using namespace selvanor::bench;

namespace {

bool naiveBuild(const std::string& document, const std::string& reference) {
  removeFile(reference);
  DBWrap db;
  Storage doc, ref;
  if (!doc.openWithCursor(document, nullptr, OpenMode::ExistingOnly) || !ref.open(reference)) return false;
  for (bool more = doc.first(); more; more = doc.next()) {
    const auto r = codec::decodeRecord(doc.value());
    if (!r || db.writeEncapRec(ref, DBWrap::kRecordItem, r->word, doc.value()) != result::kOk) return false;
  }
  return ref.close();
}

bool sameContent(const std::string& a, const std::string& b) {
  Storage x, y;
  if (!x.openWithCursor(a, nullptr, OpenMode::ExistingOnly) ||
      !y.openWithCursor(b, nullptr, OpenMode::ExistingOnly)) {
    return false;
  }
  bool mx = x.first(), my = y.first();
  for (; mx && my; mx = x.next(), my = y.next()) {
    if (x.key() != y.key() || x.value() != y.value()) return false;
  }
  return !mx && !my;
}

// Look-ups of words drawn from the text (some absent), each a whole getWonmun2 (open, one
// keyed get, close) as the reference page makes it.
bool lookups(const std::string& reference, const std::vector<Token>& tokens, long count,
             double& microsEach, double& itemsEach) {
  std::mt19937 rng(7);
  DBWrap db;
  std::vector<AnalysisRecord> items;
  std::size_t found = 0;
  const auto t0 = std::chrono::steady_clock::now();
  for (long i = 0; i < count; ++i) {
    std::string word = tokens[rng() % tokens.size()].word;
    if (i % 10 == 0) word += "#";  // absent
    if (db.getWonmun2(reference, word, items) != result::kOk) return false;
    found += items.size();
  }
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  microsEach = secs * 1e6 / static_cast<double>(count);
  itemsEach = static_cast<double>(found) / static_cast<double>(count);
  return true;
}

// The bare keyed get the look-up rests on, in a file kept open.
double keyedGets(const std::string& reference, const std::vector<Token>& tokens, long count) {
  std::mt19937 rng(7);
  Storage ref;
  if (!ref.open(reference, nullptr, OpenMode::ExistingOnly)) return 0;
  std::size_t bytes = 0;
  const auto t0 = std::chrono::steady_clock::now();
  for (long i = 0; i < count; ++i) {
    if (ref.get(tokens[rng() % tokens.size()].word)) bytes += ref.value().size();
  }
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return bytes > 0 ? secs * 1e6 / static_cast<double>(count) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes, naiveSizes;
  std::string corpus = SELVANOR_SAMPLE_TEXT;
  std::string dir = "/tmp";
  long lookupCount = 2000;
  long budgetMiB = 4;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--tokens") && i + 1 < argc) sizes.push_back(std::atol(argv[++i]));
    else if (!std::strcmp(argv[i], "--naive") && i + 1 < argc) naiveSizes.push_back(std::atol(argv[++i]));
    else if (!std::strcmp(argv[i], "--lookups") && i + 1 < argc) lookupCount = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--budget") && i + 1 < argc) budgetMiB = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--corpus") && i + 1 < argc) corpus = argv[++i];
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else {
      std::fprintf(stderr,
                   "usage: %s [--tokens N]... [--naive N]... [--lookups M] [--budget MiB] "
                   "[--corpus FILE] [--dir DIR]\n",
                   argv[0]);
      return 2;
    }
  }
  if (sizes.empty()) sizes = {100000, 1000000};
  if (naiveSizes.empty()) naiveSizes = {10000, 30000};
  const std::vector<Token> tokens = loadTokens(corpus);
  if (tokens.empty() || lookupCount <= 0 || budgetMiB <= 0) {
    std::fprintf(stderr, "no tokens in %s, or a count that is not positive\n", corpus.c_str());
    return 1;
  }
  setDiagnosticSink([](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
  std::printf("corpus: %s (%zu distinct lines cycled)\n", corpus.c_str(), tokens.size());
  const std::string base = dir + "/selvanor-bench-ref-" + std::to_string(getpid());
  const std::string text = base + ".txt", doc = base + ".id", ref = derived::referenceFile(doc);
  const std::string small = base + "-budget.idx";

  for (long n : sizes) {
    writeNumberedText(text, tokens, n);
    const RunStats buildRun = runMeasured([&] {
      DBWrap db;
      return db.makeBunsukDB(text, doc, "", SerialMode::Numbered, true) == result::kOk;
    });
    const RunStats refRun = runMeasured([&] {
      DBWrap db;
      return db.makeWonmunDB(doc) == result::kOk;
    });
    reference::GroupingLimits limits;
    limits.memoryBytes = static_cast<std::size_t>(budgetMiB) << 20;
    limits.scratchRoot = dir;
    const RunStats smallRun = runMeasured([&] {
      return reference::buildReferenceFile(doc, small, limits) == result::kOk;
    });
    printRow("makeBunsukDB (document build)", n, buildRun);
    printRow("makeWonmunDB (16 MiB budget)", n, refRun);
    printRow("makeWonmunDB (" + std::to_string(budgetMiB) + " MiB budget, runs)", n, smallRun);
    if (buildRun.seconds > 0) {
      std::printf("reference / document build = %.2f (%ld MiB budget: %.2f); same file content: %s\n",
                  refRun.seconds / buildRun.seconds, budgetMiB, smallRun.seconds / buildRun.seconds,
                  sameContent(small, ref) ? "yes" : "NO");
    }
    double micros = 0, items = 0;
    const bool looked = lookups(ref, tokens, lookupCount, micros, items);
    std::printf("getWonmun2: %ld look-ups, %.1f us each (open + one keyed get + decode + close), "
                "%.0f items per answer%s\n",
                lookupCount, micros, items, looked ? "" : "  FAILED");
    std::printf("keyed get alone in the open file: %.1f us each\n\n", keyedGets(ref, tokens, lookupCount));
    std::fflush(stdout);
    removeFile(text);
    removeFile(doc);
    removeFile(ref);
    removeFile(small);
  }

  for (long n : naiveSizes) {
    if (n <= 0) continue;  // --naive 0: none
    writeNumberedText(text, tokens, n);
    DBWrap db;
    if (db.makeBunsukDB(text, doc, "", SerialMode::Numbered, true) != result::kOk) return 1;
    const RunStats refRun = runMeasured([&] { return db.makeWonmunDB(doc) == result::kOk; });
    const RunStats naiveRun = runMeasured([&] { return naiveBuild(doc, small); });
    printRow("makeWonmunDB", n, refRun);
    printRow("one writeEncapRec per token", n, naiveRun);
    std::printf("same content: %s; per-token / grouped = %.1f\n\n", sameContent(ref, small) ? "yes" : "NO",
                refRun.seconds > 0 ? naiveRun.seconds / refRun.seconds : 0.0);
    std::fflush(stdout);
    removeFile(text);
    removeFile(doc);
    removeFile(ref);
    removeFile(small);
  }
  return 0;
}
