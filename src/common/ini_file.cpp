#include "common/ini_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

#include "common/cp949.h"
#include "common/files.h"

namespace selvanor {
namespace {

// One line of the file and its own line end ("\n", "\r\n", or "" for a last line without
// one), so untouched lines are written back exactly as read.
struct Line {
  std::string text;
  std::string eol;
};

enum class LoadResult { kRead, kMissing, kFailed };

LoadResult readWhole(const std::string& path, std::string& out) {
  FilePtr f = openFile(path, "rb");
  if (!f) return errno == ENOENT ? LoadResult::kMissing : LoadResult::kFailed;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) out.append(buf, n);
  return std::ferror(f.get()) ? LoadResult::kFailed : LoadResult::kRead;
}

std::vector<Line> splitLines(const std::string& bytes) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t nl = bytes.find('\n', pos);  // 0x0A is never part of a CP949 character
    if (nl == std::string::npos) {
      lines.push_back({bytes.substr(pos), ""});
      break;
    }
    std::size_t end = nl;
    if (end > pos && bytes[end - 1] == '\r') --end;
    lines.push_back({bytes.substr(pos, end - pos), bytes.substr(end, nl + 1 - end)});
    pos = nl + 1;
  }
  return lines;
}

std::size_t skipSpaces(std::string_view s, std::size_t pos) {
  while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
  return pos;
}

// The section name of a header line, or nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
  const std::size_t open = skipSpaces(line, 0);
  if (open >= line.size() || line[open] != '[') return std::nullopt;
  const std::size_t close = cp949::findChar(line, ']', open + 1);
  if (close == std::string_view::npos) return std::nullopt;
  return cp949::trim(line.substr(open + 1, close - open - 1));
}

// Where the key and the value of a key line lie.
struct KeyLine {
  std::string_view key;
  std::size_t valueBegin;
  std::size_t valueEnd;
};

std::optional<KeyLine> keyLine(std::string_view line) {
  const std::size_t first = skipSpaces(line, 0);
  if (first < line.size() && (line[first] == ';' || line[first] == '[')) return std::nullopt;
  const std::size_t eq = cp949::findChar(line, '=');
  if (eq == std::string_view::npos) return std::nullopt;
  const std::string_view key = cp949::trim(line.substr(0, eq));
  if (key.empty()) return std::nullopt;
  // The value starts after every byte trim() would drop, a lone CR included: set() must
  // replace exactly the bytes get() reads.
  std::size_t valueBegin = eq + 1;
  while (valueBegin < line.size() && cp949::isBlank(line[valueBegin])) ++valueBegin;
  const std::string_view value = cp949::trim(line.substr(valueBegin));
  return KeyLine{key, valueBegin, valueBegin + value.size()};
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && cp949::upperAscii(a) == cp949::upperAscii(b);
}

// The first key line for section/key, and where a new key of that section would go.
struct Location {
  std::optional<std::size_t> keyIndex;
  std::optional<KeyLine> key;
  std::optional<std::size_t> sectionLast;  // last non-blank line of the first matching section
};

Location locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Location loc;
  bool inMatching = false;
  bool inFirstMatching = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = lines[i].text;
    if (const auto name = sectionName(text)) {
      inMatching = sameName(*name, section);
      inFirstMatching = inMatching && !loc.sectionLast;
      if (inFirstMatching) loc.sectionLast = i;
      continue;
    }
    if (!inMatching) continue;
    if (inFirstMatching && !cp949::trim(text).empty()) loc.sectionLast = i;
    if (auto kl = keyLine(text); kl && sameName(kl->key, key)) {
      loc.keyIndex = i;
      loc.key = kl;
      return loc;
    }
  }
  return loc;
}

bool hasLineBreak(std::string_view s) {
  return s.find('\n') != std::string_view::npos || s.find('\r') != std::string_view::npos;
}

bool readsBackAsWritten(std::string_view section, std::string_view key, std::string_view value) {
  if (section.empty() || cp949::trim(section).size() != section.size() || hasLineBreak(section) ||
      cp949::findChar(section, ']') != std::string_view::npos) {
    return false;
  }
  if (key.empty() || cp949::trim(key).size() != key.size() || hasLineBreak(key) ||
      cp949::findChar(key, '=') != std::string_view::npos || key[0] == ';' || key[0] == '[') {
    return false;
  }
  return cp949::trim(value).size() == value.size() && !hasLineBreak(value);
}

// The line end new lines get: the file's first one, LF for a new file.
std::string lineEndOf(const std::vector<Line>& lines) {
  for (const Line& l : lines) {
    if (!l.eol.empty()) return l.eol;
  }
  return "\n";
}

bool writeReplacing(const std::string& path, const std::vector<Line>& lines) {
  FileReplacement out(path);
  {
    FilePtr f = openFile(out.temporaryPath(), "wb");
    if (!f) return false;
    bool ok = true;
    for (const Line& l : lines) {
      ok = ok && std::fwrite(l.text.data(), 1, l.text.size(), f.get()) == l.text.size();
      ok = ok && std::fwrite(l.eol.data(), 1, l.eol.size(), f.get()) == l.eol.size();
    }
    // Keep the permissions a user gave the file.
    struct stat st {};
    if (ok && ::stat(path.c_str(), &st) == 0) ::chmod(out.temporaryPath().c_str(), st.st_mode & 07777);
    ok = ok && std::fflush(f.get()) == 0;
    if (std::fclose(f.release()) != 0) ok = false;
    if (!ok) return false;
  }
  return out.commit();
}

}  // namespace

bool IniFile::exists() const { return fileExists(path_); }

std::string IniFile::get(std::string_view section, std::string_view key,
                         std::string_view fallback) const {
  std::string bytes;
  if (readWhole(path_, bytes) != LoadResult::kRead) return std::string(fallback);
  const std::vector<Line> lines = splitLines(bytes);
  const Location loc = locate(lines, section, key);
  if (!loc.key) return std::string(fallback);
  const std::string& text = lines[*loc.keyIndex].text;
  return text.substr(loc.key->valueBegin, loc.key->valueEnd - loc.key->valueBegin);
}

bool IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
  if (!readsBackAsWritten(section, key, value)) return false;
  std::string bytes;
  if (readWhole(path_, bytes) == LoadResult::kFailed) return false;  // never overwrite unread text
  std::vector<Line> lines = splitLines(bytes);
  const std::string eol = lineEndOf(lines);
  const Location loc = locate(lines, section, key);

  if (loc.key) {
    std::string& text = lines[*loc.keyIndex].text;
    text.replace(loc.key->valueBegin, loc.key->valueEnd - loc.key->valueBegin, value);
  } else {
    std::string entry = std::string(key) + "=" + std::string(value);
    if (loc.sectionLast) {
      const std::size_t after = *loc.sectionLast;
      if (lines[after].eol.empty()) lines[after].eol = eol;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after + 1), Line{std::move(entry), eol});
    } else {
      if (!lines.empty() && lines.back().eol.empty()) lines.back().eol = eol;
      lines.push_back({"[" + std::string(section) + "]", eol});
      lines.push_back({std::move(entry), eol});
    }
  }
  return writeReplacing(path_, lines);
}

}  // namespace selvanor
