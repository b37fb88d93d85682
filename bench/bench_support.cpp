#include "bench_support.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "common/cp949.h"
#include "common/files.h"
#include "store/engine/document_cursor.h"

namespace selvanor::bench {

std::vector<Token> loadTokens(const std::string& path) {
  std::vector<Token> tokens;
  LineReader reader(path);
  while (auto line = reader.next()) {
    std::string_view rest = cp949::trim(*line);
    if (rest.empty()) continue;
    // Numbered lines start with a serial followed by the word; drop the serial when the
    // line has three fields separated by blanks.
    auto cut = [](std::string_view& r) {
      const std::size_t e = r.find_first_of(" \t");
      std::string_view f = r.substr(0, e);
      r = e == std::string_view::npos ? std::string_view() : cp949::trim(r.substr(e));
      return f;
    };
    std::string_view first = cut(rest);
    std::string_view second = cut(rest);
    if (rest.find('/') == std::string_view::npos && second.find('/') != std::string_view::npos) {
      tokens.push_back({std::string(first), std::string(second) + (rest.empty() ? "" : " ") + std::string(rest)});
    } else {
      tokens.push_back({std::string(second), std::string(rest)});
    }
  }
  return tokens;
}

void writeNumberedText(const std::string& path, const std::vector<Token>& tokens, long count) {
  std::ofstream out(path, std::ios::binary);
  char serial[32];
  for (long i = 0; i < count; ++i) {
    const Token& t = tokens[static_cast<std::size_t>(i) % tokens.size()];
    std::snprintf(serial, sizeof serial, "BENCH01%06ld0", i + 1);
    out << serial << ' ' << t.word << ' ' << t.analysis << '\n';
  }
}

RunStats runMeasured(const std::function<bool()>& work) {
  RunStats stats;
  int pipeFd[2];
  if (pipe(pipeFd) != 0) return stats;
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipeFd[0]);
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = work();
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double msg[2] = {secs, ok ? 1.0 : 0.0};
    (void)!write(pipeFd[1], msg, sizeof msg);
    _exit(0);
  }
  close(pipeFd[1]);
  double msg[2] = {0, 0};
  (void)!read(pipeFd[0], msg, sizeof msg);
  close(pipeFd[0]);
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  stats.seconds = msg[0];
  stats.ok = msg[1] != 0.0 && WIFEXITED(status);
  stats.peakKiB = usage.ru_maxrss;
  return stats;
}

void printRow(const std::string& what, long tokens, const RunStats& s) {
  std::printf("%-34s %10ld tokens %8.3f s %12.0f tokens/s  peak %7ld KiB%s\n", what.c_str(), tokens,
              s.seconds, s.seconds > 0 ? static_cast<double>(tokens) / s.seconds : 0.0, s.peakKiB,
              s.ok ? "" : "  FAILED");
  std::fflush(stdout);
}

double msPerCall(const std::function<void()>& work, long minCalls, double minSeconds) {
  using Clock = std::chrono::steady_clock;
  const auto t0 = Clock::now();
  long calls = 0;
  double elapsed = 0;
  do {
    work();
    ++calls;
    elapsed = std::chrono::duration<double>(Clock::now() - t0).count();
  } while (calls < minCalls || elapsed < minSeconds);
  return elapsed * 1000.0 / static_cast<double>(calls);
}

bool walkDocument(const std::string& file, long expected) {
  DocumentCursor c;
  if (c.open(file, OpenMode::ExistingOnly) != result::kOk) return false;
  long n = 0;
  std::size_t bytes = 0;
  for (auto s = c.first(); s == DocumentCursor::kRead; s = c.next()) {
    ++n;
    bytes += c.current().analysis.size();
  }
  return n == expected && bytes > 0;
}

}  // namespace selvanor::bench
