// The item range of a part-of-speech-tag run (품사표지): two consonant choices turned into
// two CP949 syllable bounds, the byte test a morpheme's first syllable must pass, and the
// tag collection of the tag picker. Shared by the picker dialog, the single-document
// listings and the command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace selvanor {
class TagManager;
}

namespace selvanor::stats {

// Two two-byte CP949 syllables; a morpheme is in the range when its first two bytes lie
// between them (inSyllableRange).
struct SyllableRange {
  std::string lower;
  std::string upper;
  [[nodiscard]] bool empty() const { return lower.empty() && upper.empty(); }
};

// Number of consonants in the upper pick list (ㄱ ㄴ ㄷ ㄹ ㅁ ㅂ ㅅ ㅇ ㅈ ㅊ ㅋ ㅌ ㅍ ㅎ).
inline constexpr int kConsonantCount = 14;
// Index of "전체" in the lower list; lower index i (1..14) is upper index i - 1.
inline constexpr int kWholeRange = 0;

// The pick lists as CP949 text: lower "전체" then the consonants (15), upper the consonants.
[[nodiscard]] const std::vector<std::string>& lowerRangeChoices();
[[nodiscard]] const std::vector<std::string>& upperRangeChoices();

// Index of a CP949 choice name in the lower / upper list; nullopt when it is not there.
[[nodiscard]] std::optional<int> lowerChoiceIndex(std::string_view cp949);
[[nodiscard]] std::optional<int> upperChoiceIndex(std::string_view cp949);

// The upper choice the picker shows after a change: an upper consonant before the lower
// one moves to the lower one. With "전체" below, the upper choice is left as it is.
[[nodiscard]] int adjustedUpperChoice(int lowerChoice, int upperChoice);

// The bounds of a choice pair: "전체" gives 가..힝 whatever the upper choice; otherwise the
// first syllable of the lower consonant and the last syllable before the consonant after
// the upper one (tense consonants go with their plain ones). Out-of-range indexes are
// clamped to the lists.
[[nodiscard]] SyllableRange consonantRange(int lowerChoice, int upperChoice);

// The byte test of the range: the lower bound compared over two bytes is not greater than
// the morpheme and the upper bound not smaller (strncmp semantics, bytes unsigned, a
// one-byte morpheme compared with its end as the smallest byte). Digits, Latin letters
// and symbols thus fall outside every Hangul range.
[[nodiscard]] bool inSyllableRange(std::string_view morpheme, const SyllableRange& range);

// The picker's "작업 시작": the tags of every named entry at `level` (1 class, 2 item,
// 3 sub-item), collected with TagManager::CollectTags in the given order, with repeats
// dropped (first place kept).
[[nodiscard]] std::vector<std::string> tagsForClasses(const TagManager& tags,
                                                      const std::vector<std::string>& names,
                                                      int level);

}  // namespace selvanor::stats
