// Helpers shared by the tests: scratch folders, CP949 literals, whole-file reads.
#pragma once

#include <string>
#include <string_view>

namespace selvanor::test {

// A fresh empty folder, removed with everything in it when the object dies.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(std::string_view name) const;

 private:
  std::string path_;
};

// CP949 bytes of a UTF-8 literal (test data is written readable in the sources).
std::string k(std::string_view utf8);
// UTF-8 of CP949 bytes, for readable assertion messages.
std::string u(std::string_view cp949);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);

}  // namespace selvanor::test
