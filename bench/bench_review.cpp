// Analysis review over generated documents: the review within a document and the
// comparison of two reference files, each beside the least any such run costs (a bare walk
// of the same files, decoding every record or entry) timed in the same run.
//
//   bench_review [--tokens N]... [--vary K] [--corpus FILE] [--dir DIR]
//
// Default 10^6 tokens cycled through the bundled sample (or FILE). The reference document
// holds the text as it is; the compared document is the same text with every K-th token
// (default 37) analysed differently and every (K+4)-th written without blanks (equal once
// blanks are ignored), so both reviews have many words to report and to compare.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/derived_paths.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "lexicon/analysis_review.h"
#include "store/engine/codecs.h"
#include "store/engine/document_cursor.h"
#include "store/reference/reference_file.h"
#include "store/engine/storage.h"

using namespace selvanor;
using namespace selvanor::bench;

namespace {

std::string withoutBlanks(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c != ' ') out += c;
  }
  return out;
}

// A document of `count` records cycling through `tokens`, written in key order.
bool writeDocument(const std::string& file, const std::vector<Token>& tokens, long count, long vary) {
  removeFile(file);
  Storage s;
  if (!s.open(file)) return false;
  char serial[32];
  for (long i = 0; i < count; ++i) {
    const Token& t = tokens[static_cast<std::size_t>(i) % tokens.size()];
    std::snprintf(serial, sizeof serial, "BENCH01%07ld0", i + 1);
    std::string analysis = t.analysis;
    if (vary > 0 && i % vary == vary - 1) analysis += " + ./SF";
    else if (vary > 0 && i % (vary + 4) == vary + 3) analysis = withoutBlanks(analysis);
    if (!s.put(serial, codec::encodeTriple(serial, t.word, analysis))) return false;
  }
  return s.close();
}

// The floor of a reference comparison: both reference files walked with every entry's
// items decoded, and both documents walked with every record decoded.
bool walkReferences(const std::string& a, const std::string& b, long documentRecords) {
  for (const std::string* file : {&a, &b}) {
    Storage s;
    if (!s.openWithCursor(*file, nullptr, OpenMode::ExistingOnly)) return false;
    long items = 0;
    for (bool more = s.first(); more; more = s.next()) {
      auto list = codec::decodeRecordList(s.value());
      if (!list) return false;
      items += static_cast<long>(list->size());
    }
    if (items != documentRecords) return false;
  }
  return true;
}

long fileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

void printRatio(const char* what, const RunStats& run, const RunStats& floor) {
  std::printf("%s / floor = %.2f (target: under 10 s: %s)\n\n", what,
              floor.seconds > 0 ? run.seconds / floor.seconds : 0.0, run.seconds < 10 ? "met" : "MISSED");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes;
  std::string corpus = SELVANOR_SAMPLE_TEXT;
  std::string dir = "/tmp";
  long vary = 37;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--tokens") && i + 1 < argc) sizes.push_back(std::atol(argv[++i]));
    else if (!std::strcmp(argv[i], "--vary") && i + 1 < argc) vary = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--corpus") && i + 1 < argc) corpus = argv[++i];
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else {
      std::fprintf(stderr, "usage: %s [--tokens N]... [--vary K] [--corpus FILE] [--dir DIR]\n", argv[0]);
      return 2;
    }
  }
  if (sizes.empty()) sizes = {1000000};
  const std::vector<Token> tokens = loadTokens(corpus);
  if (tokens.empty()) {
    std::fprintf(stderr, "no tokens in %s\n", corpus.c_str());
    return 1;
  }
  setDiagnosticSink([](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
  std::printf("corpus: %s (%zu distinct lines cycled), every %ld-th token analysed differently\n\n",
              corpus.c_str(), tokens.size(), vary);
  std::fflush(stdout);  // before the children inherit the buffer
  const std::string base = dir + "/selvanor-bench-review-" + std::to_string(getpid());
  const std::string refDoc = base + "-ref.id", cmpDoc = base + "-cmp.id", report = base + ".txt";
  const std::string refIdx = derived::referenceFile(refDoc), cmpIdx = derived::referenceFile(cmpDoc);

  for (long n : sizes) {
    // Files are made in children, so that this process stays small for the peaks below.
    const RunStats made = runMeasured([&] {
      return writeDocument(refDoc, tokens, n, 0) && writeDocument(cmpDoc, tokens, n, vary) &&
             reference::buildReferenceFile(refDoc, refIdx, {}) == result::kOk &&
             reference::buildReferenceFile(cmpDoc, cmpIdx, {}) == result::kOk;
    });
    if (!made.ok) {
      std::fprintf(stderr, "could not make the documents in %s\n", dir.c_str());
      return 1;
    }

    const RunStats walk = runMeasured([&] { return walkDocument(cmpDoc, n); });
    const RunStats work = runMeasured([&] {
      const review::ReviewOutcome outcome = review::reviewWorkFile(report, cmpDoc);
      std::printf("  reported words %zu, lines %zu, report %ld bytes\n", outcome.groups, outcome.lines,
                  fileSize(report));
      std::fflush(stdout);
      return static_cast<bool>(outcome);
    });
    printRow("floor: walk of the document", n, walk);
    printRow("review within the document", n, work);
    printRatio("review within the document", work, walk);

    const RunStats walkAll = runMeasured([&] {
      return walkReferences(refIdx, cmpIdx, n) && walkDocument(refDoc, n) && walkDocument(cmpDoc, n);
    });
    const RunStats compare = runMeasured([&] {
      const review::ReviewOutcome o = review::compareReferenceFiles(report, refIdx, cmpIdx);
      std::printf("  reported words %zu, lines %zu, report %ld bytes\n", o.groups, o.lines,
                  fileSize(report));
      std::fflush(stdout);
      return static_cast<bool>(o);
    });
    printRow("floor: walk of both .idx and .id", n, walkAll);
    printRow("comparison of two reference files", n, compare);
    printRatio("comparison", compare, walkAll);

    for (const std::string* f : {&refDoc, &cmpDoc, &refIdx, &cmpIdx, &report}) removeFile(*f);
  }
  return 0;
}
