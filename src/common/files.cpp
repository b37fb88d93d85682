#include "common/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "common/diagnostics.h"
#include "common/scratch.h"

namespace selvanor {

namespace fs = std::filesystem;

FilePtr openFile(const std::string& path, const char* mode) {
  return FilePtr(std::fopen(path.c_str(), mode));
}

LineReader::LineReader(const std::string& path) : file_(openFile(path, "rb")) {}

LineReader::~LineReader() { std::free(buffer_); }

std::uint64_t fileSizeOf(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  return ec ? 0 : static_cast<std::uint64_t>(size);
}

std::optional<std::string_view> LineReader::next() {
  if (!file_) return std::nullopt;
  const ssize_t n = getline(&buffer_, &capacity_, file_.get());
  if (n < 0) {
    failed_ = std::ferror(file_.get()) != 0;
    return std::nullopt;
  }
  std::size_t len = static_cast<std::size_t>(n);
  read_ += len;
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
    std::error_code ec;  // a name too long to look up is taken: its writing fails
    if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
  }
}

}  // namespace

std::string realPath(const std::string& target) {
  std::error_code ec;
  fs::path p(target);
  for (int hops = 0; hops < 40; ++hops) {  // as many as the kernel follows
    if (!fs::is_symlink(fs::symlink_status(p, ec)) || ec) break;
    const fs::path link = fs::read_symlink(p, ec);
    if (ec) break;
    p = link.is_absolute() ? link : p.parent_path() / link;
  }
  const fs::path real = fs::weakly_canonical(p, ec);
  return ec || real.empty() ? p.string() : real.string();
}

namespace {

// fsync of a path opened read-only (enough for a file's data and a folder's entries).
bool syncPath(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

std::string folderOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

}  // namespace

FileReplacement::FileReplacement(std::string target)
    : target_(std::move(target)), real_(realPath(target_)) {
  removeStaleReplacements(real_);  // what killed runs left beside this target
  temp_ = temporaryNameFor(real_);
}

FileReplacement::~FileReplacement() {
  if (!done_) ::unlink(temp_.c_str());
}

std::string FileReplacement::refusal() const {
  struct stat st {};
  if (::stat(real_.c_str(), &st) != 0) return {};  // a new file
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  // Renaming needs only the folder's permission; the file's own decides, as an in-place
  // write would.
  if (::access(real_.c_str(), W_OK) != 0) return "not writable";
  return {};
}

bool FileReplacement::commit() {
  done_ = true;
  const std::string refused = refusal();
  if (!refused.empty()) {
    writeDiagnostic(target_ + ": " + refused + "; not replaced\n");
    ::unlink(temp_.c_str());
    return false;
  }
  struct stat old {};
  const bool replacing = ::stat(real_.c_str(), &old) == 0;
  bool ok = syncPath(temp_, 0);
  if (ok && replacing) {
    ok = ::chmod(temp_.c_str(), old.st_mode & 07777) == 0;
    // Only root can give a file away; keeping the owner matters only then.
    if (ok && ::geteuid() == 0) ok = ::chown(temp_.c_str(), old.st_uid, old.st_gid) == 0;
  }
  if (!ok || std::rename(temp_.c_str(), real_.c_str()) != 0) {
    ::unlink(temp_.c_str());
    return false;
  }
  // The new name is durable only once the folder is synced; the content already is.
  if (!syncPath(folderOf(real_), O_DIRECTORY)) {
    writeDiagnostic(target_ + ": folder sync error after replacing\n");
  }
  return true;
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
