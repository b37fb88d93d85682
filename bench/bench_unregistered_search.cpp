// The unregistered-word dictionary's prefix search (FindMideungjae) on a generated
// dictionary, beside its floor: a bare cursor loop that opens the file, positions with
// DB_SET_RANGE and reads the same entries. The search as first written (a walk from the
// first key) runs on the same dictionary as the "before".
//
//   bench_unregistered_search [--keys N] [--dir DIR]
//
// Default 10^6 words of three Hangul syllables; each one-syllable prefix matches about
// N/2350 of them.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "lexicon/unregistered_dictionary.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"

using namespace selvanor;
using namespace selvanor::bench;

namespace {

constexpr long kSyllables = 25 * 94;  // the Hangul block of KS X 1001: 0xB0A1..0xC8FE

std::string syllable(long n) {
  n %= kSyllables;
  return {static_cast<char>(0xB0 + n / 94), static_cast<char>(0xA1 + n % 94)};
}

// Word i: a scattered first syllable, then two that make it unique.
std::string wordOf(long i) {
  return syllable(i * 7919 + i / kSyllables) + syllable(i) + syllable(i / kSyllables);
}

bool writeDictionary(const std::string& file, long keys) {
  Storage s;
  if (!s.open(file)) return false;
  for (long i = 0; i < keys; ++i) {
    if (!s.put(wordOf(i), codec::encodeText("note " + std::to_string(i)))) return false;
  }
  return s.close();
}

using Entries = std::vector<unregistered::Entry>;

// The floor: position on the prefix and read while the keys begin with it.
bool rangeLoop(const std::string& file, std::string_view prefix, Entries& out) {
  out.clear();
  Storage dic;
  if (!dic.openWithCursor(file, nullptr, OpenMode::ExistingOnly)) return false;
  for (bool more = dic.seekRange(prefix); more && dic.key().substr(0, prefix.size()) == prefix;
       more = dic.next()) {
    out.push_back({std::string(dic.key()), std::string(dic.value())});
  }
  return true;
}

// The search as first written: from the first key, stopping after the prefix's words.
bool walkFromFirst(const std::string& file, std::string_view prefix, Entries& out) {
  out.clear();
  Storage dic;
  if (!dic.openWithCursor(file, nullptr, OpenMode::ExistingOnly)) return false;
  for (bool more = dic.first(); more; more = dic.next()) {
    const std::string_view word = dic.key();
    if (unregistered::beginsWithWhole(word, prefix)) {
      out.push_back({std::string(word), std::string(dic.value())});
    } else if (word.substr(0, prefix.size()) > prefix) {
      break;
    }
  }
  return true;
}

bool same(const Entries& a, const Entries& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].word != b[i].word || a[i].note != b[i].note) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  long keys = 1000000;
  std::string dir = "/tmp";
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--keys") && i + 1 < argc) keys = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else {
      std::fprintf(stderr, "usage: %s [--keys N] [--dir DIR]\n", argv[0]);
      return 2;
    }
  }
  setDiagnosticSink([](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
  const std::string file = dir + "/selvanor-bench-mdj-" + std::to_string(getpid()) + ".mdj";
  if (keys < 1 || !writeDictionary(file, keys)) {
    std::fprintf(stderr, "could not write the dictionary\n");
    return 1;
  }
  std::printf("dictionary of %ld words\n", keys);
  const struct {
    const char* what;
    std::string prefix;
  } cases[] = {{"first syllable", syllable(0)},
               {"middle syllable", syllable(kSyllables / 2)},
               {"last syllable", syllable(kSyllables - 1)},
               {"two syllables", wordOf(keys - 1).substr(0, 4)}};
  for (const auto& c : cases) {
    Entries now, floor, old;
    const double nowMs = msPerCall(
        [&] { (void)unregistered::FindMideungjae(file, c.prefix, now); }, 20);
    const double floorMs = msPerCall([&] { (void)rangeLoop(file, c.prefix, floor); }, 20);
    const double oldMs = msPerCall([&] { (void)walkFromFirst(file, c.prefix, old); });
    std::printf("%-22s %5zu entries: search %.3f ms; range loop %.3f ms (search x%.2f); "
                "before %.3f ms (%.1fx the time); entries %s\n",
                c.what, now.size(), nowMs, floorMs, nowMs / floorMs, oldMs, oldMs / nowMs,
                same(now, floor) && same(now, old) ? "identical" : "DIFFER");
    std::fflush(stdout);
  }
  removeFile(file);
  return 0;
}
