// File handles and the build-beside-then-rename rule for rebuilt files.
#pragma once

#include <cstdint>
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

// Size in bytes of the file at `path`; 0 when it cannot be read (a progress total).
[[nodiscard]] std::uint64_t fileSizeOf(const std::string& path);

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
  // Bytes of the file consumed so far, line ends included (for progress).
  std::uint64_t bytesRead() const { return read_; }

 private:
  FilePtr file_;
  char* buffer_ = nullptr;  // getline's buffer, grown as needed
  std::size_t capacity_ = 0;
  bool failed_ = false;
  std::uint64_t read_ = 0;
};

// A file rebuilt beside its target: the work goes to a fresh temporary path in the same
// folder, and commit() renames it over the target. Until then the target is untouched;
// an uncommitted temporary is removed when this object dies.
//
// A link is written through: the temporary sits beside the file the target resolves to,
// and that file is replaced while the link stays. A target that exists but is not a
// regular file (folder, FIFO, device, socket) or that this user could not write in place
// is refused: commit() fails and leaves it as it was (see refusal()). The new file keeps
// the permission bits of the one it replaces. commit() syncs the temporary's bytes before
// the rename and the folder after it, so that after a power loss the name holds either
// the old or the whole new content.
//
// Temporaries are named "<real target>.new-<PID>-<N>"; those of processes that no longer
// run (a killed build) are removed when a new replacement of the same target is made.
class FileReplacement {
 public:
  explicit FileReplacement(std::string target);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  const std::string& target() const { return target_; }
  // The file the rename replaces: the target with every link resolved.
  const std::string& realTarget() const { return real_; }
  const std::string& temporaryPath() const { return temp_; }

  // Why the target may not be replaced ("not a regular file", "not writable"); empty when
  // it may. Callers can check it before doing the work.
  [[nodiscard]] std::string refusal() const;

  // Syncs the temporary (written and closed by the caller, a Berkeley DB file included),
  // keeps the target's permission bits, renames it over the target and syncs the folder.
  // False (the temporary removed, the target as it was) on failure or refusal.
  [[nodiscard]] bool commit();

 private:
  std::string target_;
  std::string real_;
  std::string temp_;
  bool done_ = false;
};

// "-" as an output path: the text goes to standard output instead of a file.
inline constexpr std::string_view kStandardOutputPath = "-";
[[nodiscard]] inline bool isStandardOutput(std::string_view path) {
  return path == kStandardOutputPath;
}

// The file `target` names, links followed (a dangling link to where it points) and the
// folders resolved: a rename beside it replaces the file and not a link to it, and two
// spellings of one file give one name.
[[nodiscard]] std::string realPath(const std::string& target);

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
