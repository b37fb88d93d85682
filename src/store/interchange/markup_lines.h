// Markup in analysed text as corpora are distributed: tag lines such as <head>, <p>, </p>
// and <s> around the token lines, and header blocks (<teiHeader> ... </teiHeader>) before
// them. None of it is a token; the filter says which lines to skip and counts them.
#pragma once

#include <cstddef>
#include <string_view>

namespace selvanor::interchange {

// A line (trimmed, CP949) that is one tag and nothing else: "<" ... ">" with no other
// "<" or ">" between (comments and processing instructions included).
[[nodiscard]] bool isSingleTag(std::string_view trimmed);

class MarkupFilter {
 public:
  // True when the trimmed, non-empty line is markup or lies inside a header block; such
  // lines are counted. `lineNumber` is remembered for a header block left open.
  [[nodiscard]] bool skip(std::string_view trimmed, std::size_t lineNumber);

  [[nodiscard]] std::size_t markupLines() const { return markupLines_; }
  [[nodiscard]] std::size_t headerBlocks() const { return headerBlocks_; }
  // The line a header block began on while it is still open (0 when none is).
  [[nodiscard]] std::size_t openHeaderLine() const { return openHeader_; }

 private:
  std::size_t markupLines_ = 0;
  std::size_t headerBlocks_ = 0;
  std::size_t openHeader_ = 0;
};

}  // namespace selvanor::interchange
