#include "store/interchange/markup_lines.h"

#include "common/cp949.h"

namespace selvanor::interchange {
namespace {

// '<', '>' and '/' are below 0x41: they are never the second byte of a character.
bool isNameChar(char c) {
  return cp949::isAsciiLetter(c) || cp949::isAsciiDigit(c) || c == '.' || c == '_' || c == '-' ||
         c == ':';
}

struct Tag {
  bool closing = false;
  bool selfClosing = false;
  std::string_view name;
};

Tag readTag(std::string_view t) {
  Tag tag;
  std::size_t i = 1;
  if (i < t.size() && t[i] == '/') {
    tag.closing = true;
    ++i;
  }
  const std::size_t start = i;
  while (i < t.size() && isNameChar(t[i])) ++i;
  tag.name = t.substr(start, i - start);
  tag.selfClosing = t.size() >= 3 && t[t.size() - 2] == '/';
  return tag;
}

// teiHeader, header, ...: a name ending in "header", in any case.
bool isHeaderName(std::string_view name) {
  constexpr std::string_view kHeader = "header";
  if (name.size() < kHeader.size()) return false;
  const std::string_view tail = name.substr(name.size() - kHeader.size());
  for (std::size_t i = 0; i < kHeader.size(); ++i) {
    if ((tail[i] | 0x20) != kHeader[i]) return false;
  }
  return true;
}

}  // namespace

bool isSingleTag(std::string_view t) {
  if (t.size() < 2 || t.front() != '<' || t.back() != '>') return false;
  return t.substr(1, t.size() - 2).find_first_of("<>") == std::string_view::npos;
}

bool MarkupFilter::skip(std::string_view trimmed, std::size_t lineNumber) {
  const bool tag = isSingleTag(trimmed);
  if (openHeader_ != 0) {
    ++markupLines_;
    if (tag) {
      const Tag t = readTag(trimmed);
      if (t.closing && isHeaderName(t.name)) openHeader_ = 0;
    }
    return true;
  }
  if (!tag) return false;
  ++markupLines_;
  const Tag t = readTag(trimmed);
  if (!t.closing && !t.selfClosing && isHeaderName(t.name)) {
    openHeader_ = lineNumber;
    ++headerBlocks_;
  }
  return true;
}

}  // namespace selvanor::interchange
