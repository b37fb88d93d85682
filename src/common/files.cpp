#include "common/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace selvanor {

FilePtr openFile(const std::string& path, const char* mode) {
  return FilePtr(std::fopen(path.c_str(), mode));
}

LineReader::LineReader(const std::string& path) : file_(openFile(path, "rb")) {}

LineReader::~LineReader() { std::free(buffer_); }

std::optional<std::string_view> LineReader::next() {
  if (!file_) return std::nullopt;
  const ssize_t n = getline(&buffer_, &capacity_, file_.get());
  if (n < 0) {
    failed_ = std::ferror(file_.get()) != 0;
    return std::nullopt;
  }
  std::size_t len = static_cast<std::size_t>(n);
  if (len > 0 && buffer_[len - 1] == '\n') {
    --len;
    if (len > 0 && buffer_[len - 1] == '\r') --len;
  }
  return std::string_view(buffer_, len);
}

namespace {

std::string temporaryNameFor(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  for (;;) {
    std::string candidate = target + ".new-" + std::to_string(::getpid()) + "-" +
                            std::to_string(counter.fetch_add(1));
    if (!fileExists(candidate)) return candidate;
  }
}

}  // namespace

FileReplacement::FileReplacement(std::string target)
    : target_(std::move(target)), temp_(temporaryNameFor(target_)) {}

FileReplacement::~FileReplacement() {
  if (!done_) ::unlink(temp_.c_str());
}

bool FileReplacement::commit() {
  done_ = true;
  if (std::rename(temp_.c_str(), target_.c_str()) == 0) return true;
  ::unlink(temp_.c_str());
  return false;
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool removeFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0) {
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }
  return a == b;
}

}  // namespace selvanor
