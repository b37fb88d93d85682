// Statistics-file build over generated documents, beside the floor for counting the same
// pieces: `LC_ALL=C sort | uniq -c` over the morpheme/tag pieces written out as text. A
// small run of the per-occurrence way (one counting write per piece) shows what counting
// in memory saves.
//
//   bench_statistics [--tokens N]... [--vocabulary V] [--slow N] [--corpus FILE] [--dir DIR]
//
// Default sizes 10^5 and 10^6 tokens; text cycles through the bundled sample (or FILE).
// --vocabulary V gives the first morpheme of every token one of V numbered variants, so
// the number of distinct morpheme/tag pairs (what bounds the build's memory) grows with V
// instead of staying at the sample's. --slow N sets the per-occurrence run (default 10^4,
// 0 for none).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "stats/statistics_file.h"
#include "store/engine/codecs.h"
#include "facade/dbwrap.h"
#include "store/engine/storage.h"

using namespace selvanor;
using namespace selvanor::bench;

namespace {

// The analysis of token i: the sample's, its first morpheme varied when asked.
std::string analysisOf(const std::vector<Token>& tokens, long i, long vocabulary) {
  const Token& t = tokens[static_cast<std::size_t>(i) % tokens.size()];
  if (vocabulary <= 0) return t.analysis;
  const std::size_t slash = t.analysis.find('/');
  if (slash == std::string::npos || slash == 0) return t.analysis;
  return t.analysis.substr(0, slash) + std::to_string(i % vocabulary) + t.analysis.substr(slash);
}

bool writeDocument(const std::string& file, const std::vector<Token>& tokens, long count,
                   long vocabulary) {
  removeFile(file);
  Storage s;
  s.setCacheSize(64u << 20);
  if (!s.open(file)) return false;
  char serial[32];
  for (long i = 0; i < count; ++i) {
    const int n = std::snprintf(serial, sizeof serial, "BENCH01%08ld0", i + 1);
    const std::string_view key(serial, static_cast<std::size_t>(n));
    const Token& t = tokens[static_cast<std::size_t>(i) % tokens.size()];
    if (!s.put(key, codec::encodeTriple(key, t.word, analysisOf(tokens, i, vocabulary))))
      return false;
  }
  return s.close();
}

// The pieces as "tag TAB morpheme" lines; the number of pieces.
long writePieces(const std::string& file, const std::vector<Token>& tokens, long count,
                 long vocabulary) {
  std::ofstream out(file, std::ios::binary);
  std::string scratch, line;
  long pieces = 0;
  for (long i = 0; i < count; ++i) {
    stats::forEachPiece(analysisOf(tokens, i, vocabulary), scratch,
                        [&](std::string_view m, std::string_view t) {
                          line.assign(t);
                          line += '\t';
                          line.append(m);
                          line += '\n';
                          out << line;
                          ++pieces;
                        });
  }
  return out ? pieces : -1;
}

long countLines(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  long n = 0;
  std::string line;
  while (std::getline(in, line)) ++n;
  return n;
}

// Distinct pairs and total count of a statistics file.
std::pair<long, long> summarize(const std::string& file) {
  const auto content = stats::readStatisticsFile(file);
  if (!content) return {-1, -1};
  long distinct = 0, total = 0;
  for (const auto& [tag, entries] : *content) {
    distinct += static_cast<long>(entries.size());
    for (const auto& [m, n] : entries) total += n;
  }
  return {distinct, total};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes;
  std::string corpus = SELVANOR_SAMPLE_TEXT;
  std::string dir = "/tmp";
  long vocabulary = 0;
  long slow = 10000;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--tokens") && i + 1 < argc)
      sizes.push_back(std::atol(argv[++i]));
    else if (!std::strcmp(argv[i], "--vocabulary") && i + 1 < argc)
      vocabulary = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--slow") && i + 1 < argc)
      slow = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--corpus") && i + 1 < argc)
      corpus = argv[++i];
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc)
      dir = argv[++i];
    else {
      std::fprintf(
          stderr,
          "usage: %s [--tokens N]... [--vocabulary V] [--slow N] [--corpus FILE] [--dir DIR]\n",
          argv[0]);
      return 2;
    }
  }
  if (sizes.empty()) sizes = {100000, 1000000};
  const std::vector<Token> tokens = loadTokens(corpus);
  if (tokens.empty()) {
    std::fprintf(stderr, "no tokens in %s\n", corpus.c_str());
    return 1;
  }
  setDiagnosticSink(
      [](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
  std::printf("corpus: %s (%zu distinct lines cycled), vocabulary variants: %ld\n", corpus.c_str(),
              tokens.size(), vocabulary);

  // Scratch files of the run live in a private folder.
  std::string folder = dir + "/selvanor-bench-stats-XXXXXX";
  if (!::mkdtemp(folder.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string doc = folder + "/doc.id", stt = folder + "/doc.stt";
  const std::string pieces = folder + "/pieces.txt", counted = folder + "/counted.txt";

  if (slow > 0) {
    if (!writeDocument(doc, tokens, slow, vocabulary)) return 1;
    const std::string slowStt = folder + "/slow.stt";
    const RunStats perOccurrence = runMeasured([&] {
      DBWrap db;
      std::string scratch;
      bool ok = true;
      for (long i = 0; i < slow; ++i) {
        stats::forEachPiece(analysisOf(tokens, i, vocabulary), scratch,
                            [&](std::string_view m, std::string_view t) {
                              ok = db.writeTongRec(slowStt, m, t) == result::kOk && ok;
                            });
      }
      return ok;
    });
    const RunStats inMemory = runMeasured([&] { return DBWrap().makeTongDB(doc) == result::kOk; });
    printRow("per occurrence (writeTongRec)", slow, perOccurrence);
    printRow("makeTongDB (count in memory)", slow, inMemory);
    const auto a = summarize(slowStt), b = summarize(stt);
    std::printf("same content: %s (%ld pairs, %ld pieces); per occurrence / makeTongDB = %.1f\n\n",
                a == b ? "yes" : "NO", b.first, b.second,
                inMemory.seconds > 0 ? perOccurrence.seconds / inMemory.seconds : 0.0);
    removeFile(slowStt);
  }

  for (long n : sizes) {
    if (!writeDocument(doc, tokens, n, vocabulary)) {
      std::fprintf(stderr, "cannot write the document\n");
      return 1;
    }
    const long pieceCount = writePieces(pieces, tokens, n, vocabulary);
    const std::string command = "LC_ALL=C sort '" + pieces + "' | uniq -c >'" + counted + "'";
    const RunStats floorRun = runMeasured([&] { return std::system(command.c_str()) == 0; });
    const RunStats buildRun = runMeasured([&] { return DBWrap().makeTongDB(doc) == result::kOk; });
    printRow("floor: LC_ALL=C sort | uniq -c", n, floorRun);
    printRow("makeTongDB (walk, count, write)", n, buildRun);
    const long uniqLines = countLines(counted);
    const auto [distinct, total] = summarize(stt);
    std::printf("pieces %ld, distinct pairs %ld (uniq -c lines %ld), counts sum %ld%s\n",
                pieceCount, distinct, uniqLines, total,
                distinct == uniqLines && total == pieceCount ? "" : "  MISMATCH");
    if (floorRun.seconds > 0)
      std::printf("makeTongDB / floor = %.2f\n\n", buildRun.seconds / floorRun.seconds);
    std::fflush(stdout);
  }
  removeFile(doc);
  removeFile(stt);
  removeFile(pieces);
  removeFile(counted);
  ::rmdir(folder.c_str());
  return 0;
}
