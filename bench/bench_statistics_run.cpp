// Statistics runs over generated statistics files:
//  (a) a tagged run (type 2, every tag of the tag file, folder columns on) over many
//      documents, timed alone;
//  (b) a vocabulary run over one large document in frequency order, descending, beside
//      its peer `LC_ALL=C sort | uniq -c | sort -rn` over the same morpheme pieces, with
//      the ratio of the two.
//
//   bench_statistics_run [--documents N] [--tokens N] [--big N] [--vocabulary V]
//                        [--corpus FILE] [--tags FILE] [--dir DIR]
//
// Defaults: 100 documents of 10^4 tokens, a big document of 10^6 tokens, vocabulary 10^5.
// Tokens cycle through the bundled sample; the first morpheme of every token gets one of
// V numbered variants drawn log-uniformly (many rare items, few frequent ones), as in a
// real vocabulary. The statistics files are made beforehand from the same pieces the
// statistics build counts, and are not part of any timing.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "stats/statistics_file.h"
#include "stats/statistics_run.h"
#include "stats/tag_manager.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"

using namespace selvanor;
using namespace selvanor::bench;

namespace {

using Counts = std::map<std::string, std::map<std::string, std::int32_t>>;  // tag -> morpheme

struct Generator {
  const std::vector<Token>& tokens;
  long vocabulary;
  std::mt19937 rng{12345};

  // The analysis of token i with its first morpheme varied.
  std::string analysis(long i) {
    const Token& t = tokens[static_cast<std::size_t>(i) % tokens.size()];
    const std::size_t slash = t.analysis.find('/');
    if (vocabulary <= 0 || slash == std::string::npos || slash == 0) return t.analysis;
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const long variant = static_cast<long>(std::pow(static_cast<double>(vocabulary), u(rng))) - 1;
    return t.analysis.substr(0, slash) + std::to_string(variant) + t.analysis.substr(slash);
  }
};

// Counts `count` tokens; every piece's morpheme is also written to `pieces` when given.
Counts countTokens(Generator& g, long first, long count, std::ofstream* pieces) {
  Counts counts;
  std::string scratch;
  for (long i = first; i < first + count; ++i) {
    stats::forEachPiece(g.analysis(i), scratch, [&](std::string_view m, std::string_view t) {
      ++counts[std::string(t)][std::string(m)];
      if (pieces) pieces->write(m.data(), static_cast<std::streamsize>(m.size())).put('\n');
    });
  }
  return counts;
}

bool writeStatistics(const std::string& path, const Counts& counts) {
  removeFile(path);
  for (const auto& [tag, records] : counts) {
    Storage s;
    s.setCacheSize(16u << 20);
    if (!s.open(path, tag.c_str())) return false;
    for (const auto& [morpheme, n] : records) {
      if (!s.put(morpheme, codec::encodeTextInt(morpheme, n))) return false;
    }
    if (!s.close()) return false;
  }
  return true;
}

struct Options {
  long documents = 100, tokens = 10000, big = 1000000, vocabulary = 100000;
  std::string corpus = SELVANOR_SAMPLE_TEXT, tags = SELVANOR_TAG_FILE, dir = "/tmp";
};

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const bool more = i + 1 < argc;
    if (!std::strcmp(argv[i], "--documents") && more)
      o.documents = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--tokens") && more)
      o.tokens = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--big") && more)
      o.big = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--vocabulary") && more)
      o.vocabulary = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--corpus") && more)
      o.corpus = argv[++i];
    else if (!std::strcmp(argv[i], "--tags") && more)
      o.tags = argv[++i];
    else if (!std::strcmp(argv[i], "--dir") && more)
      o.dir = argv[++i];
    else
      return false;
  }
  return true;
}

stats::RunOutcome run(stats::RunRequest request) {
  stats::RunOutcome o = stats::runTongStat(request);
  if (!o.ok()) std::fprintf(stderr, "run failed: %s\n", o.message.c_str());
  return o;
}

// (a): documents in four folders, type 2 over every tag, folder columns on.
void taggedRun(const Options& o, Generator& g, TagManager& tags, const std::string& folder) {
  stats::RunRequest r;
  r.type = 2;
  r.fullTags = r.scopeTags = tags.AllTags();
  r.options = "11110001100";
  r.resultPath = folder + "/tagged-report.txt";
  for (long d = 0; d < o.documents; ++d) {
    if (d % 25 == 0) r.entries.push_back({stats::RunEntry::Folder, "F" + std::to_string(d / 25)});
    const std::string doc = folder + "/doc" + std::to_string(d) + ".id";
    writeStatistics(folder + "/doc" + std::to_string(d) + ".stt",
                    countTokens(g, d * o.tokens, o.tokens, nullptr));
    r.entries.push_back({stats::RunEntry::Document, doc});
  }
  const RunStats s = runMeasured([&] { return run(r).ok(); });
  printRow("(a) tagged run, " + std::to_string(o.documents) + " documents", o.documents * o.tokens,
           s);
  std::printf("(a) %.3f s (target < 5 s)\n\n", s.seconds);
}

// (b): one big document, vocabulary in frequency order descending, against its peer.
void vocabularyRun(const Options& o, Generator& g, TagManager& tags, const std::string& folder) {
  const std::string pieces = folder + "/pieces.txt";
  {
    std::ofstream out(pieces, std::ios::binary);
    writeStatistics(folder + "/big.stt", countTokens(g, 0, o.big, &out));
  }
  stats::RunRequest r;
  r.type = 1;
  r.fullTags = r.scopeTags = tags.AllTags();
  r.options = "11010000310";
  r.resultPath = folder + "/vocabulary-report.txt";
  r.entries = {{stats::RunEntry::Folder, "F"}, {stats::RunEntry::Document, folder + "/big.id"}};
  const std::string peer =
      "LC_ALL=C sort '" + pieces + "' | uniq -c | sort -rn >'" + folder + "/peer.txt'";
  const RunStats peerRun = runMeasured([&] { return std::system(peer.c_str()) == 0; });
  const RunStats ours = runMeasured([&] { return run(r).ok(); });
  printRow("(b) peer: sort | uniq -c | sort -rn", o.big, peerRun);
  printRow("(b) vocabulary run, frequency desc", o.big, ours);
  long items = -1;
  {
    std::ifstream in(folder + "/peer.txt");
    std::string line;
    for (items = 0; std::getline(in, line);) ++items;
  }
  std::printf("(b) distinct morphemes %ld; run / peer = %.2f (target <= 0.5)\n", items,
              peerRun.seconds > 0 ? ours.seconds / peerRun.seconds : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: %s [--documents N] [--tokens N] [--big N] [--vocabulary V] "
                 "[--corpus FILE] [--tags FILE] [--dir DIR]\n",
                 argv[0]);
    return 2;
  }
  const std::vector<Token> tokens = loadTokens(o.corpus);
  TagManager tags;
  if (tokens.empty() || !tags.Load(o.tags)) {
    std::fprintf(stderr, "cannot read %s or %s\n", o.corpus.c_str(), o.tags.c_str());
    return 1;
  }
  setDiagnosticSink(
      [](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
  std::string folder = o.dir + "/selvanor-bench-run-XXXXXX";
  if (!::mkdtemp(folder.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  std::printf("corpus %s, vocabulary variants %ld, tags %zu\n", o.corpus.c_str(), o.vocabulary,
              tags.AllTags().size());
  Generator g{tokens, o.vocabulary};
  if (o.documents > 0) taggedRun(o, g, tags, folder);
  if (o.big > 0) vocabularyRun(o, g, tags, folder);
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return 0;
}
