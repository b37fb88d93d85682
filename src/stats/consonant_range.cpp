#include "stats/consonant_range.h"

#include <algorithm>

#include "common/encoding.h"
#include "stats/statistics_request.h"
#include "stats/tag_manager.h"

namespace selvanor::stats {
namespace {

struct ConsonantRow {
  const char* consonant;
  const char* first;  // first syllable beginning with the consonant
  const char* last;   // last syllable before the next consonant's first
};

// In code order; the syllables are KS X 1001 ones, so each is two CP949 bytes.
constexpr ConsonantRow kRows[kConsonantCount] = {
    {"ㄱ", "가", "낑"}, {"ㄴ", "나", "닢"}, {"ㄷ", "다", "띵"}, {"ㄹ", "라", "링"},
    {"ㅁ", "마", "밑"}, {"ㅂ", "바", "삥"}, {"ㅅ", "사", "씽"}, {"ㅇ", "아", "잎"},
    {"ㅈ", "자", "찧"}, {"ㅊ", "차", "칭"}, {"ㅋ", "카", "킹"}, {"ㅌ", "타", "팅"},
    {"ㅍ", "파", "핑"}, {"ㅎ", "하", "힝"},
};

int clampUpper(int i) { return std::clamp(i, 0, kConsonantCount - 1); }

std::optional<int> indexIn(const std::vector<std::string>& list, std::string_view name) {
  const auto it = std::find(list.begin(), list.end(), name);
  if (it == list.end()) return std::nullopt;
  return static_cast<int>(it - list.begin());
}

// The first two bytes of `s` against a bound, as strncmp(bound, s, 2) would compare them.
int compareTwoBytes(std::string_view bound, std::string_view s) {
  return bound.substr(0, 2).compare(s.substr(0, 2));
}

}  // namespace

const std::vector<std::string>& upperRangeChoices() {
  static const std::vector<std::string> list = [] {
    std::vector<std::string> out;
    for (const ConsonantRow& r : kRows) out.push_back(encoding::cp949Literal(r.consonant));
    return out;
  }();
  return list;
}

const std::vector<std::string>& lowerRangeChoices() {
  static const std::vector<std::string> list = [] {
    std::vector<std::string> out{encoding::cp949Literal("전체")};
    const auto& consonants = upperRangeChoices();
    out.insert(out.end(), consonants.begin(), consonants.end());
    return out;
  }();
  return list;
}

std::optional<int> lowerChoiceIndex(std::string_view cp949) {
  return indexIn(lowerRangeChoices(), cp949);
}

std::optional<int> upperChoiceIndex(std::string_view cp949) {
  return indexIn(upperRangeChoices(), cp949);
}

int adjustedUpperChoice(int lowerChoice, int upperChoice) {
  if (lowerChoice <= kWholeRange) return clampUpper(upperChoice);
  return std::max(clampUpper(upperChoice), clampUpper(lowerChoice - 1));
}

SyllableRange consonantRange(int lowerChoice, int upperChoice) {
  const int lower = std::clamp(lowerChoice, kWholeRange, kConsonantCount);
  if (lower == kWholeRange) {
    return {encoding::cp949Literal(kRows[0].first),
            encoding::cp949Literal(kRows[kConsonantCount - 1].last)};
  }
  return {encoding::cp949Literal(kRows[lower - 1].first),
          encoding::cp949Literal(kRows[clampUpper(upperChoice)].last)};
}

bool inSyllableRange(std::string_view morpheme, const SyllableRange& range) {
  return compareTwoBytes(range.lower, morpheme) <= 0 && compareTwoBytes(range.upper, morpheme) >= 0;
}

std::vector<std::string> tagsForClasses(const TagManager& tags, const std::vector<std::string>& names,
                                        int level) {
  std::vector<std::string> collected;
  for (const std::string& name : names) tags.CollectTags(name, level, collected);
  return uniqueTags(collected);
}

}  // namespace selvanor::stats
