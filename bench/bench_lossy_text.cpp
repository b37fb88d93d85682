// The display conversion of CP949 text that may be broken (cp949ToUtf8Lossy, behind every
// grid cell and every line the command line prints), beside its floor: a plain iconv of
// valid text of the same size. The conversion as first written (it converted the rest of
// the text again after every bad byte) runs on the same inputs as the "before".
//
//   bench_lossy_text [--bytes N] [--corpus FILE]
//
// Default 400,000 bytes; the text cycles through the bundled sample (or FILE). The broken
// inputs: that text saved as UTF-8 and read as CP949 (the usual accident), and a text of
// bytes that start no character at all.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/cp949.h"
#include "common/encoding.h"
#include "support/restarting_conversion.h"

using namespace selvanor;
using namespace selvanor::bench;

namespace {

using Restarting = selvanor::test::RestartingModel;

// CP949 lines of the corpus, cycled up to `bytes` and cut at a character boundary.
std::string validText(const std::vector<Token>& tokens, std::size_t bytes) {
  std::string text;
  for (std::size_t i = 0; text.size() < bytes; ++i) {
    const Token& t = tokens[i % tokens.size()];
    text += t.word + ' ' + t.analysis + '\n';
  }
  std::size_t cut = 0;
  while (cp949::nextChar(text, cut) <= bytes) cut = cp949::nextChar(text, cut);
  text.resize(cut);
  return text;
}

std::size_t replacements(const std::string& utf8) {
  std::size_t n = 0;
  for (std::size_t at = utf8.find("\xEF\xBF\xBD"); at != std::string::npos;
       at = utf8.find("\xEF\xBF\xBD", at + 3)) {
    ++n;
  }
  return n;
}

void compare(const char* what, const std::string& text, double floorMs) {
  Restarting before;
  std::string now;
  std::string old;
  const double nowMs = msPerCall([&] { now = encoding::cp949ToUtf8Lossy(text); }, 3);
  const double oldMs = msPerCall([&] { old = before(text); });
  std::printf("%-34s %8zu bad bytes: lossy %9.2f ms (x%.2f the floor); before %9.1f ms "
              "(%.1fx the time); output %s\n",
              what, replacements(now), nowMs, nowMs / floorMs, oldMs, oldMs / nowMs,
              now == old ? "identical" : "DIFFERS");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t bytes = 400000;
  std::string corpus = SELVANOR_SAMPLE_TEXT;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--bytes") && i + 1 < argc) bytes = std::strtoul(argv[++i], nullptr, 0);
    else if (!std::strcmp(argv[i], "--corpus") && i + 1 < argc) corpus = argv[++i];
    else {
      std::fprintf(stderr, "usage: %s [--bytes N] [--corpus FILE]\n", argv[0]);
      return 2;
    }
  }
  const std::vector<Token> tokens = loadTokens(corpus);
  if (tokens.empty() || bytes == 0) {
    std::fprintf(stderr, "no tokens in %s, or no bytes\n", corpus.c_str());
    return 1;
  }
  const std::string valid = validText(tokens, bytes);
  const encoding::Conversion asUtf8 = encoding::cp949ToUtf8(validText(tokens, bytes * 2));
  if (!asUtf8) {
    std::fprintf(stderr, "the corpus is not valid CP949\n");
    return 1;
  }
  const std::string misread = asUtf8.text->substr(0, valid.size());
  const std::string stray(valid.size(), '\x80');

  std::string floorOut;
  const double floorMs = msPerCall([&] { floorOut = *encoding::cp949ToUtf8(valid).text; }, 3);
  std::printf("text of %zu bytes; floor: plain iconv of the valid text %.2f ms (%.0f MB/s)\n",
              valid.size(), floorMs, static_cast<double>(valid.size()) / floorMs / 1000.0);
  compare("valid CP949", valid, floorMs);
  compare("UTF-8 read as CP949", misread, floorMs);
  compare("0x80 bytes only", stray, floorMs);
  return 0;
}
