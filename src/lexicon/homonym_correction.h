// Homonym correction: walk every record of the open document and, for each morpheme the
// homonym dictionary knows, let the linguist choose its sense; the chosen numbered form is
// written in place of that morpheme and the record is stored back at once.
//
// The walk is toolkit-free: the windows (progress list, selection window) are behind
// HomonymCorrectionListener, and the dictionary behind HomonymLookup.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lexicon/homonym_sense.h"

namespace selvanor {

class RowCache;


class HomonymLookup {
 public:
  virtual ~HomonymLookup() = default;
  // The senses of `headword` in stored order; empty when the word is absent or the
  // dictionary cannot be opened.
  [[nodiscard]] virtual std::vector<HomonymSense> senses(std::string_view headword) = 0;
  // True once a look-up found the dictionary unopenable or unreadable: its empty answer
  // did not mean the word is absent.
  [[nodiscard]] virtual bool failed() const { return false; }
};

enum class SenseChoice { Chosen, Skip, Stop };

struct ChoiceResult {
  SenseChoice choice = SenseChoice::Skip;
  std::string numberedForm;  // with Chosen: the numbered form to write (empty: no change)
};

class HomonymCorrectionListener {
 public:
  virtual ~HomonymCorrectionListener() = default;
  // Row `row` is being looked at.
  virtual void showRow(int row) = 0;
  // Ask which sense `morpheme` has.
  [[nodiscard]] virtual ChoiceResult choose(std::string_view morpheme,
                                            const std::vector<HomonymSense>& senses) = 0;
  // Row `row` was rewritten in the store.
  virtual void rowChanged(int row) = 0;
  // Asked before each row: false ends the run as Stopped (records already rewritten stay).
  [[nodiscard]] virtual bool keepGoing() { return true; }
};

// DictionaryFailed: a look-up could not read the dictionary, so the run stopped there
// rather than pass every later word over as if it had no homonyms.
enum class CorrectionOutcome { Completed, Stopped, DictionaryFailed };

// The correction run over every row of `cache`. Exempt morphemes (by tag) are passed over;
// a trailing one of "~!@#$%^&*" is dropped from the morpheme before the look-up. The chosen
// form replaces the morpheme at its own place in the analysis (never a byte match inside
// another morpheme or a character), so the rewritten analysis may have any length.
[[nodiscard]] CorrectionOutcome runHomonymCorrection(RowCache& cache, HomonymLookup& lookup,
                                                     HomonymCorrectionListener& listener);

// The analysis with the `length` bytes at `offset` replaced by `form`, when they are the
// bytes of `morpheme`; otherwise the first occurrence of `morpheme` at a character boundary
// is replaced; nullopt when it does not occur at all.
[[nodiscard]] std::optional<std::string> replaceMorpheme(std::string_view analysis,
                                                         std::size_t offset,
                                                         std::string_view morpheme,
                                                         std::string_view form);

// The look-up key of a morpheme: without a trailing "~!@#$%^&*" when longer than one byte.
[[nodiscard]] std::string homonymKey(std::string_view morpheme);

namespace homonymmsg {
inline constexpr const char* kDone = "동음어 수정이 완료되었습니다.";
inline constexpr const char* kConfirmCaption = "동음어 수정 확인";
inline constexpr const char* kDictionaryFailed =
    "동음어 사전을 읽을 수 없어 동음어 수정을 멈추었습니다. 그때까지 고른 수정은 저장되어 "
    "있습니다.";
}  // namespace homonymmsg

}  // namespace selvanor
