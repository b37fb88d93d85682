#include "common/diagnostics.h"

#include <cstdio>
#include <utility>

namespace selvanor {
namespace {

DiagnosticSink& currentSink() {
  static DiagnosticSink sink;
  return sink;
}

}  // namespace

void writeDiagnostic(std::string_view line) {
  if (const DiagnosticSink& sink = currentSink()) {
    sink(line);
    return;
  }
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

void reportStoreError(std::string_view operation, std::string_view what) {
  std::string line = "DBWrap::";
  line += operation;
  line += " => ";
  line += what;
  line += '\n';
  writeDiagnostic(line);
}

DiagnosticSink setDiagnosticSink(DiagnosticSink sink) {
  return std::exchange(currentSink(), std::move(sink));
}

DiagnosticCapture::DiagnosticCapture()
    : previous_(setDiagnosticSink([this](std::string_view line) { text_ += line; })) {}

DiagnosticCapture::~DiagnosticCapture() { setDiagnosticSink(std::move(previous_)); }

ResultCode failWith(ResultCode code, std::string_view operation, std::string_view what) {
  reportStoreError(operation, what);
  return code;
}

ResultCode failWithLine(ResultCode code, std::string_view line) {
  writeDiagnostic(line);
  return code;
}

}  // namespace selvanor
