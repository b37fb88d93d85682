// File handles and the build-beside-then-rename rule for rebuilt files.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace selvanor {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens with fopen semantics ("rb", "wb", ...); null on failure.
[[nodiscard]] FilePtr openFile(const std::string& path, const char* mode);

// Reads a text file line by line. A line is everything up to LF (a CR before the LF is
// part of the line end); lines have no length limit, so a long line is never cut in two.
class LineReader {
 public:
  explicit LineReader(const std::string& path);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool isOpen() const { return file_ != nullptr; }

  // The next line without its line end, or nullopt at the end of the file (or on a read
  // error, see failed()). The view stays valid until the next call.
  std::optional<std::string_view> next();

  // True when reading stopped because of an I/O error rather than the end of the file.
  bool failed() const { return failed_; }

 private:
  FilePtr file_;
  char* buffer_ = nullptr;  // getline's buffer, grown as needed
  std::size_t capacity_ = 0;
  bool failed_ = false;
};

// A file rebuilt beside its target: the work goes to a fresh temporary path in the same
// folder, and commit() renames it over the target. Until then the target is untouched;
// an uncommitted temporary is removed when this object dies.
class FileReplacement {
 public:
  explicit FileReplacement(std::string target);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  const std::string& target() const { return target_; }
  const std::string& temporaryPath() const { return temp_; }

  // Renames the temporary over the target. False (and the temporary removed) on failure.
  [[nodiscard]] bool commit();

 private:
  std::string target_;
  std::string temp_;
  bool done_ = false;
};

[[nodiscard]] bool fileExists(const std::string& path);
// Removes a file; a missing file counts as removed.
bool removeFile(const std::string& path);

// Two paths name the same file (same device and inode), or are equal as given when
// either does not exist.
[[nodiscard]] bool sameFile(const std::string& a, const std::string& b);

// A byte copy of `source` at `target` (replaced if present) with the same permissions.
[[nodiscard]] bool copyFile(const std::string& source, const std::string& target);

// `path` with the extension of its file name (from the last ".", a leading "." of a
// hidden file not counting) replaced by `extension` (".fix"), or with `extension` added
// when the name has none: a/b.txt -> a/b.fix, a/b -> a/b.fix, a/.b -> a/.b.fix.
[[nodiscard]] std::string replaceExtension(const std::string& path, std::string_view extension);
// `path` without the extension of its file name, by the same rule.
[[nodiscard]] std::string withoutExtension(const std::string& path);

}  // namespace selvanor
