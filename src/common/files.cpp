#include "common/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace selvanor {

namespace fs = std::filesystem;

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
  std::error_code ec;
  return fs::exists(path, ec);
}

bool removeFile(const std::string& path) {
  std::error_code ec;
  // A folder in the file's place is not a file to remove (fs::remove would take an
  // empty one).
  if (fs::is_directory(fs::symlink_status(path, ec))) return false;
  fs::remove(path, ec);
  return !ec;
}

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = fs::equivalent(a, b, ec);
  return ec ? a == b : same;
}

bool copyFile(const std::string& source, const std::string& target) {
  std::error_code ec;
  return fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec) && !ec;
}

std::string replaceExtension(const std::string& path, std::string_view extension) {
  return withoutExtension(path) + std::string(extension);
}

std::string withoutExtension(const std::string& path) {
  // '/' and '.' are never the second byte of a CP949 or UTF-8 character.
  const fs::path p(path);
  if (!p.has_filename() || !p.has_extension()) return path;
  return path.substr(0, path.size() - p.extension().native().size());
}

}  // namespace selvanor
