// The one sink for the store's English diagnostic lines ("DBWrap::op => ... error\n").
// Standard output by default; the CLI routes it to standard error so that its standard
// output carries only results; tests capture it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "common/result_codes.h"

namespace selvanor {

using DiagnosticSink = std::function<void(std::string_view line)>;

// Writes one finished diagnostic line (the caller includes the trailing "\n").
void writeDiagnostic(std::string_view line);

// "DBWrap::" + operation + " => " + what + "\n", e.g. what = "DB insert error".
void reportStoreError(std::string_view operation, std::string_view what);

// A failure in one statement: reports it as reportStoreError / writeDiagnostic do and
// gives back `code`, so that a failing path reads `return failWith(kOpenError, op, what);`.
[[nodiscard]] ResultCode failWith(ResultCode code, std::string_view operation, std::string_view what);
[[nodiscard]] ResultCode failWithLine(ResultCode code, std::string_view line);

// Replaces the sink; returns the previous one. An empty function restores standard output.
DiagnosticSink setDiagnosticSink(DiagnosticSink sink);

// Collects diagnostics for as long as it lives (tests, and dialogs that want to show them).
class DiagnosticCapture {
 public:
  DiagnosticCapture();
  ~DiagnosticCapture();
  DiagnosticCapture(const DiagnosticCapture&) = delete;
  DiagnosticCapture& operator=(const DiagnosticCapture&) = delete;

  const std::string& text() const { return text_; }
  void clear() { text_.clear(); }

 private:
  std::string text_;
  DiagnosticSink previous_;
};

}  // namespace selvanor
