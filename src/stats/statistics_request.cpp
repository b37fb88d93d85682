#include "stats/statistics_request.h"

#include <algorithm>
#include <ctime>

#include "common/cp949.h"

namespace selvanor::stats {

std::optional<ReportOptions> ReportOptions::parse(std::string_view text) {
  if (text.size() != 11) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool valid = i == 8 ? (c >= '1' && c <= '3') : (c == '0' || c == '1');
    if (!valid) return std::nullopt;
  }
  ReportOptions o;
  bool* const flags[] = {&o.number,
                         &o.item,
                         &o.tag,
                         &o.frequency,
                         &o.percent,
                         &o.cumulativeFrequency,
                         &o.cumulativePercent,
                         &o.folderColumns};
  for (std::size_t i = 0; i < 8; ++i) *flags[i] = text[i] == '1';
  o.sortKey = static_cast<SortKey>(text[8] - '0');
  o.descending = text[9] == '1';
  o.ignoreMarkers = text[10] == '1';
  return o;
}

std::string ReportOptions::text() const {
  std::string out;
  for (bool flag : {number, item, tag, frequency, percent, cumulativeFrequency, cumulativePercent,
                    folderColumns}) {
    out += flag ? '1' : '0';
  }
  out += static_cast<char>('0' + static_cast<int>(sortKey));
  out += descending ? '1' : '0';
  out += ignoreMarkers ? '1' : '0';
  return out;
}

bool isVocabularyRun(int type) { return type == 1 || type == 3 || type == 6; }

bool isTaggedRun(int type) { return type == 2 || type == 4 || type == 5 || type == 7; }

std::string defaultOptionString(int type) {
  return isTaggedRun(type) ? "11110000100" : "11010000100";
}

std::vector<std::string> uniqueTags(const std::vector<std::string>& tags) {
  std::vector<std::string> out;
  out.reserve(tags.size());
  for (const std::string& raw : tags) {
    std::string tag = cp949::removeBlanks(raw);
    // Tag lists are short (tens of tags), so a linear look keeps the first place simply.
    if (!tag.empty() && std::find(out.begin(), out.end(), tag) == out.end()) {
      out.push_back(std::move(tag));
    }
  }
  return out;
}

std::string todayText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buffer[16];
  const std::size_t n = std::strftime(buffer, sizeof buffer, "%m/%d/%y", &local);
  return std::string(buffer, n);
}

}  // namespace selvanor::stats
