// Auto-correction over generated documents: one autoSujung run with a list of P pairs,
// beside one plain pass over the same document (first/next and decode), which is the
// least any run that looks at every record costs.
//
//   bench_autocorrect [--tokens N]... [--pairs P] [--corpus FILE] [--dir DIR]
//
// Default 10^6 tokens and 1,000 pairs; text cycles through the bundled sample (or FILE).
// About one pair in ten joins two morphemes that occur in the corpus (so some records
// are rewritten); the rest are texts of the same shape that occur nowhere, as most lines
// of a long list do in any one document.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/cp949.h"
#include "common/diagnostics.h"
#include "common/encoding.h"
#include "common/files.h"
#include "facade/dbwrap.h"
#include "store/engine/document_cursor.h"

using namespace selvanor;
using namespace selvanor::bench;

namespace {

// "form/TAG + form/TAG" runs of two morphemes found in the document's analyses.
std::vector<std::string> morphemePairs(const std::string& file, std::size_t maxRecords) {
  static constexpr std::string_view kJoin = " + ";
  std::set<std::string> found;
  DocumentCursor c;
  if (c.open(file, OpenMode::ExistingOnly) != result::kOk) return {};
  std::size_t seen = 0;
  for (auto s = c.first(); s == DocumentCursor::kRead && seen < maxRecords; s = c.next(), ++seen) {
    const std::string& a = c.current().analysis;
    std::size_t start = 0;
    for (;;) {
      const std::size_t mid = cp949::find(a, kJoin, start);
      if (mid == std::string::npos) break;
      std::size_t end = cp949::find(a, kJoin, mid + kJoin.size());
      if (end == std::string::npos) end = a.size();
      found.insert(a.substr(start, end - start));
      start = mid + kJoin.size();
    }
  }
  return {found.begin(), found.end()};
}

// The list: joins of real morpheme pairs ("나/NP + 는/JX" -> "나는/NP"), then look-alikes
// that never occur (a syllable and a number put before a real pair).
bool writeList(const std::string& path, const std::vector<std::string>& real, long pairs) {
  std::set<std::string> used;
  std::string text;
  auto add = [&](const std::string& from, const std::string& to) {
    if (!used.insert(from).second) return;
    text += from + "\t" + to + "\n";
  };
  const long realWanted = std::max<long>(1, pairs / 10);
  for (long i = 0; i < realWanted && i < static_cast<long>(real.size()); ++i) {
    const std::string& from = real[static_cast<std::size_t>(i) * real.size() /
                                   static_cast<std::size_t>(realWanted) % real.size()];
    const std::size_t slash = cp949::findChar(from, '/');
    const std::size_t plus = cp949::find(from, " + ");
    const std::size_t slash2 = cp949::findChar(from, '/', plus);
    if (slash == std::string::npos || slash2 == std::string::npos) continue;
    add(from, from.substr(0, slash) + from.substr(plus + 3, slash2 - plus - 3) +
                  from.substr(slash, plus - slash));
  }
  const std::string syllable = encoding::cp949Literal("갂");
  for (long i = 0; static_cast<long>(used.size()) < pairs; ++i) {
    const std::string& base = real[static_cast<std::size_t>(i) % real.size()];
    add(syllable + std::to_string(i) + base, base);
  }
  FilePtr out = openFile(path, "wb");
  return out && std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes;
  long pairs = 1000;
  std::string corpus = SELVANOR_SAMPLE_TEXT;
  std::string dir = "/tmp";
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--tokens") && i + 1 < argc) sizes.push_back(std::atol(argv[++i]));
    else if (!std::strcmp(argv[i], "--pairs") && i + 1 < argc) pairs = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--corpus") && i + 1 < argc) corpus = argv[++i];
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else {
      std::fprintf(stderr, "usage: %s [--tokens N]... [--pairs P] [--corpus FILE] [--dir DIR]\n",
                   argv[0]);
      return 2;
    }
  }
  if (sizes.empty()) sizes = {1000000};
  const std::vector<Token> tokens = loadTokens(corpus);
  if (tokens.empty() || pairs < 1) {
    std::fprintf(stderr, "no tokens in %s, or no pairs\n", corpus.c_str());
    return 1;
  }
  setDiagnosticSink([](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
  std::printf("corpus: %s (%zu distinct lines cycled), %ld pairs\n", corpus.c_str(), tokens.size(),
              pairs);
  std::fflush(stdout);  // the measured runs are forked: nothing buffered may be printed twice
  const std::string base = dir + "/selvanor-bench-ac-" + std::to_string(getpid());
  for (long n : sizes) {
    const std::string text = base + ".txt", doc = base + ".id", list = base + "-list.txt";
    writeNumberedText(text, tokens, n);
    DBWrap db;
    if (db.makeBunsukDB(text, doc, "", SerialMode::Numbered, true) != result::kOk) return 1;
    removeFile(text);
    const std::vector<std::string> real = morphemePairs(doc, tokens.size());
    if (real.empty() || !writeList(list, real, pairs)) return 1;

    const RunStats walkRun = runMeasured([&] { return walkDocument(doc, n); });
    printRow("walk (first/next, decode)", n, walkRun);
    const RunStats runRun = runMeasured([&] {
      DBWrap wrap;
      DBWrap::SujungOutcome outcome;
      const bool ok = wrap.autoSujung(doc, list, &outcome) == result::kOk;
      std::printf("  (records rewritten: %zu of %ld)\n", outcome.changedRecords, n);
      std::fflush(stdout);
      return ok;
    });
    printRow("autoSujung (" + std::to_string(pairs) + " pairs)", n, runRun);
    if (walkRun.seconds > 0) std::printf("autoSujung / walk = %.2f\n\n", runRun.seconds / walkRun.seconds);
    removeFile(doc);
    removeFile(list);
  }
  return 0;
}
