// Shared by the fuzz targets: the entry point's signature, a check that stops the run,
// and a scratch file for readers that take a path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// A broken property is a crash for the fuzzer and a failure for the replay.
#define FUZZ_CHECK(cond)                                                              \
  do {                                                                                \
    if (!(cond)) {                                                                    \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                   \
    }                                                                                 \
  } while (false)

namespace selvanor::fuzz {

inline std::string_view bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A path in this process's own scratch folder (made once, under $TMPDIR or /tmp).
std::string scratchPath(std::string_view name);

// `content` written to scratchPath(name); the path.
std::string writeScratch(std::string_view name, std::string_view content);

}  // namespace selvanor::fuzz
