// Shared pieces of the benchmarks: generated corpora, timing and peak memory of a run
// measured in a child process (so each size reports its own peak).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace selvanor::bench {

struct Token {
  std::string word;
  std::string analysis;
};

// Word tokens of a numbered or unnumbered analysed text (CP949), to cycle through.
std::vector<Token> loadTokens(const std::string& path);

// Writes `count` numbered lines cycling through `tokens`, serials PREFIX + %06d + "0".
void writeNumberedText(const std::string& path, const std::vector<Token>& tokens, long count);

struct RunStats {
  double seconds = 0;
  long peakKiB = 0;
  bool ok = false;
};

// Runs `work` in a forked child; wall time of the work and the child's peak resident size.
RunStats runMeasured(const std::function<bool()>& work);

// One full walk over a document, decoding every record: true when it held `expected`.
bool walkDocument(const std::string& file, long expected);

void printRow(const std::string& what, long tokens, const RunStats& s);

// Mean wall time of one call of `work` in milliseconds, over at least `minCalls` calls and
// at least `minSeconds` (quick calls are repeated until the total is measurable).
double msPerCall(const std::function<void()>& work, long minCalls = 1, double minSeconds = 0.2);

}  // namespace selvanor::bench
