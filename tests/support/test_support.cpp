#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/encoding.h"

namespace selvanor::test {

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "selvanor-test-XXXXXX").string();
  if (char* made = ::mkdtemp(pattern.data())) {
    path_ = made;
  } else {
    ADD_FAILURE() << "cannot create a scratch folder";
  }
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::string ScratchDir::file(std::string_view name) const { return path_ + "/" + std::string(name); }

std::string k(std::string_view utf8) { return encoding::cp949Literal(utf8); }

std::string u(std::string_view cp949) { return encoding::cp949ToUtf8Lossy(cp949); }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace selvanor::test
