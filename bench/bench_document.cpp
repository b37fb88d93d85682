// Document build and full walk over generated documents, beside the floor for this file
// format: a bare Berkeley DB loop that stores the same records without any parsing.
//
//   bench_document [--tokens N]... [--corpus FILE] [--dir DIR]
//
// Default sizes 10^5 and 10^6 tokens; text cycles through the bundled sample (or FILE).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "store/engine/codecs.h"
#include "facade/dbwrap.h"
#include "store/engine/storage.h"

using namespace selvanor;
using namespace selvanor::bench;

namespace {

// The floor: the same keys and values put into the same configuration, no text parsed.
bool floorBuild(const std::vector<Token>& tokens, long count, const std::string& file) {
  removeFile(file);
  Storage s;
  if (!s.openWithCursor(file)) return false;
  char serial[32];
  // Values are pre-encoded per distinct token, the serial spliced in front.
  std::vector<std::string> tails;
  tails.reserve(tokens.size());
  for (const auto& t : tokens) {
    std::string tail;
    codec::appendString(tail, t.word);
    codec::appendString(tail, t.analysis);
    tails.push_back(std::move(tail));
  }
  std::string value;
  for (long i = 0; i < count; ++i) {
    const int n = std::snprintf(serial, sizeof serial, "BENCH01%06ld0", i + 1);
    value.clear();
    codec::appendString(value, std::string_view(serial, static_cast<std::size_t>(n)));
    value += tails[static_cast<std::size_t>(i) % tails.size()];
    if (!s.put(std::string_view(serial, static_cast<std::size_t>(n)), value)) return false;
  }
  return s.close();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes;
  std::string corpus = SELVANOR_SAMPLE_TEXT;
  std::string dir = "/tmp";
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--tokens") && i + 1 < argc) sizes.push_back(std::atol(argv[++i]));
    else if (!std::strcmp(argv[i], "--corpus") && i + 1 < argc) corpus = argv[++i];
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else {
      std::fprintf(stderr, "usage: %s [--tokens N]... [--corpus FILE] [--dir DIR]\n", argv[0]);
      return 2;
    }
  }
  if (sizes.empty()) sizes = {100000, 1000000};
  const std::vector<Token> tokens = loadTokens(corpus);
  if (tokens.empty()) {
    std::fprintf(stderr, "no tokens in %s\n", corpus.c_str());
    return 1;
  }
  setDiagnosticSink([](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
  std::printf("corpus: %s (%zu distinct lines cycled)\n", corpus.c_str(), tokens.size());
  const std::string base = dir + "/selvanor-bench-" + std::to_string(getpid());
  for (long n : sizes) {
    const std::string text = base + ".txt", doc = base + ".id", floorDoc = base + "-floor.id";
    writeNumberedText(text, tokens, n);
    const RunStats floorRun = runMeasured([&] { return floorBuild(tokens, n, floorDoc); });
    const RunStats buildRun = runMeasured([&] {
      DBWrap db;
      return db.makeBunsukDB(text, doc, "", SerialMode::Numbered, true) == result::kOk;
    });
    const RunStats walkRun = runMeasured([&] { return walkDocument(doc, n); });
    printRow("floor: bare put loop", n, floorRun);
    printRow("makeBunsukDB (read, parse, put)", n, buildRun);
    printRow("walk (first/next, decode)", n, walkRun);
    if (floorRun.seconds > 0) std::printf("build / floor = %.2f\n\n", buildRun.seconds / floorRun.seconds);
    removeFile(text);
    removeFile(doc);
    removeFile(floorDoc);
  }
  return 0;
}
