#include "common/scratch.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <limits>

namespace selvanor {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kScratchPrefix = "selvanor-";
constexpr std::string_view kReplacementInfix = ".new-";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal number at the front of `text` up to `stop` (consumed), or nullopt.
std::optional<long long> leadingNumber(std::string_view& text, char stop) {
  std::size_t n = 0;
  long long value = 0;
  while (n < text.size() && isDigit(text[n])) {
    if (n >= 18) return std::nullopt;  // beyond any process id; never overflows
    value = value * 10 + (text[n] - '0');
    ++n;
  }
  if (n == 0 || n >= text.size() || text[n] != stop) return std::nullopt;
  text.remove_prefix(n + 1);
  return value;
}

bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!isDigit(c)) return false;
  }
  return true;
}

// A file or folder of this user, seen without following a link.
bool ownedByMe(const std::string& path, bool folder) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || st.st_uid != ::geteuid()) return false;
  return folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

}  // namespace

bool processRuns(long long pid) {
  if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return true;
  // Signal 0 checks existence only; EPERM means it exists but is another user's.
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string temporaryFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? std::string(tmp) : std::string("/tmp");
}

std::string makeScratchFolder(const std::string& root, std::string_view purpose) {
  std::string pattern = (root.empty() ? temporaryFolder() : root) + "/" +
                        std::string(kScratchPrefix) + std::string(purpose) + "-" +
                        std::to_string(::getpid()) + "-XXXXXX";
  if (!::mkdtemp(pattern.data())) return {};
  return pattern;
}

std::optional<long long> scratchFolderOwner(std::string_view name) {
  if (name.substr(0, kScratchPrefix.size()) != kScratchPrefix) return std::nullopt;
  name.remove_prefix(kScratchPrefix.size());
  std::size_t letters = 0;
  while (letters < name.size() && name[letters] >= 'a' && name[letters] <= 'z') ++letters;
  if (letters == 0 || letters >= name.size() || name[letters] != '-') return std::nullopt;
  name.remove_prefix(letters + 1);
  const std::optional<long long> pid = leadingNumber(name, '-');
  if (!pid || name.size() != 6) return std::nullopt;  // mkdtemp's six characters
  return pid;
}

std::optional<long long> replacementOwner(std::string_view name, std::string_view targetName) {
  if (targetName.empty() || name.size() <= targetName.size() + kReplacementInfix.size() ||
      name.substr(0, targetName.size()) != targetName) {
    return std::nullopt;
  }
  name.remove_prefix(targetName.size());
  if (name.substr(0, kReplacementInfix.size()) != kReplacementInfix) return std::nullopt;
  name.remove_prefix(kReplacementInfix.size());
  const std::optional<long long> pid = leadingNumber(name, '-');
  if (!pid || !allDigits(name)) return std::nullopt;
  return pid;
}

std::size_t removeStaleScratchFolders(const std::string& root) {
  const std::string folder = root.empty() ? temporaryFolder() : root;
  std::size_t removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const std::optional<long long> pid = scratchFolderOwner(name);
    if (!pid || processRuns(*pid) || !ownedByMe(it->path().string(), true)) continue;
    std::error_code removeError;
    fs::remove_all(it->path(), removeError);  // links inside are removed, not followed
    if (!removeError) ++removed;
  }
  return removed;
}

std::size_t removeStaleReplacements(const std::string& target) {
  const fs::path path(target);
  const std::string name = path.filename().string();
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::size_t removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::optional<long long> pid = replacementOwner(it->path().filename().string(), name);
    if (!pid || processRuns(*pid) || !ownedByMe(it->path().string(), false)) continue;
    if (::unlink(it->path().c_str()) == 0) ++removed;
  }
  return removed;
}

void removeStaleScratch() { removeStaleScratchFolders(); }

}  // namespace selvanor
