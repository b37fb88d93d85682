#include "fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace selvanor::fuzz {
namespace {

// Removed when the process ends normally; a crashed run leaves it for inspection.
struct ScratchFolder {
  std::string path;
  ScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/selvanor-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

std::string scratchPath(std::string_view name) {
  static const ScratchFolder folder;
  return folder.path + "/" + std::string(name);
}

std::string writeScratch(std::string_view name, std::string_view content) {
  const std::string path = scratchPath(name);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (std::fwrite(content.data(), 1, content.size(), f) != content.size()) std::abort();
  if (std::fclose(f) != 0) std::abort();
  return path;
}

}  // namespace selvanor::fuzz
