// The grid editor's check that a changed serial names no other record
// (RowCache::holdsSerial), on a generated document, beside its peer: one keyed get on an
// open handle, and the open-and-get the check makes through its own short-lived handle.
// The check as first written (a search over the serial column from the first row) runs
// on the same document as the "before".
//
//   bench_serial_check [--tokens N] [--corpus FILE] [--dir DIR]
//
// Default 10^6 records; text cycles through the bundled sample (or FILE).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "facade/dbwrap.h"
#include "store/grid/row_cache.h"
#include "store/engine/storage.h"

using namespace selvanor;
using namespace selvanor::bench;

namespace {

struct Case {
  const char* what;
  std::string serial;
};

// The check as first written: a serial-column search from the first row.
bool searchedFromFirstRow(RowCache& cache, const std::string& serial) {
  return cache.find(GridColumn::Serial, serial, 0, SearchDirection::Down).status ==
         RowCache::FindStatus::Found;
}

}  // namespace

int main(int argc, char** argv) {
  long tokens = 1000000;
  std::string corpus = SELVANOR_SAMPLE_TEXT;
  std::string dir = "/tmp";
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--tokens") && i + 1 < argc) tokens = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--corpus") && i + 1 < argc) corpus = argv[++i];
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else {
      std::fprintf(stderr, "usage: %s [--tokens N] [--corpus FILE] [--dir DIR]\n", argv[0]);
      return 2;
    }
  }
  const std::vector<Token> words = loadTokens(corpus);
  if (words.empty() || tokens < 2) {
    std::fprintf(stderr, "no tokens in %s, or fewer than 2 records\n", corpus.c_str());
    return 1;
  }
  setDiagnosticSink([](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
  const std::string base = dir + "/selvanor-bench-serial-" + std::to_string(getpid());
  writeNumberedText(base + ".txt", words, tokens);
  DBWrap db;
  if (db.makeBunsukDB(base + ".txt", base + ".id", "", SerialMode::Numbered, false) != result::kOk) {
    std::fprintf(stderr, "could not build the document\n");
    return 1;
  }
  removeFile(base + ".txt");
  RowCache cache;
  Storage peer;
  if (cache.open(base + ".id") != tokens ||
      !peer.open(base + ".id", nullptr, OpenMode::ExistingOnly)) {
    std::fprintf(stderr, "could not open the document\n");
    return 1;
  }

  char middle[32];
  std::snprintf(middle, sizeof middle, "BENCH01%06ld0", tokens / 2);
  const Case cases[] = {{"new serial (after the last)", "BENCH01999999a"},
                        {"taken serial (middle row)", middle}};
  std::printf("document of %ld records\n", tokens);
  for (const Case& c : cases) {
    bool now = false, old = false, got = false;
    const double nowMs = msPerCall([&] { now = cache.holdsSerial(c.serial); }, 100);
    const double oldMs = msPerCall([&] { old = searchedFromFirstRow(cache, c.serial); });
    const double getMs = msPerCall([&] { got = peer.get(c.serial); }, 1000);
    const double openGetMs = msPerCall([&] {
      Storage probe;
      got = probe.open(base + ".id", nullptr, OpenMode::ExistingOnly) && probe.get(c.serial);
    }, 100);
    std::printf("%-28s check %.4f ms; keyed get %.4f ms (check x%.1f); open and get %.4f ms "
                "(check x%.2f); before %.1f ms (%.0fx the time); answer %s\n",
                c.what, nowMs, getMs, nowMs / getMs, openGetMs, nowMs / openGetMs, oldMs,
                oldMs / nowMs, now == old && now == got ? "identical" : "DIFFERS");
    std::fflush(stdout);
  }
  // A pattern still searches the document, as before.
  const double patternMs = msPerCall([&] { (void)cache.holdsSerial("*a"); });
  std::printf("%-28s check %.1f ms (searches every record)\n", "pattern \"*a\"", patternMs);
  cache.close();
  (void)peer.close();
  removeFile(base + ".id");
  return 0;
}
