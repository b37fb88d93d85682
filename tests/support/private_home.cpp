// Linked into every test program: HOME and XDG_CACHE_HOME point at a fresh folder for the
// program's lifetime, so that no test reads or writes the real ones (the verifier's cache
// of sound files, settings written in ~/.config).
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

class PrivateHome {
 public:
  PrivateHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "selvanor-home-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return;
    path_ = pattern;
    ::setenv("HOME", path_.c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (path_ + "/.cache").c_str(), 1);
  }
  ~PrivateHome() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }

 private:
  std::string path_;
};

const PrivateHome home;

}  // namespace
