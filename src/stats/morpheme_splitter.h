// Reads an analysis result ("먹/VV + 었/EP + 다/EF") into morpheme records, and checks
// its tags against the tag set.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace selvanor {

class TagManager;

// One morpheme of an analysis. All text is CP949 bytes.
struct Morpheme {
  std::string text;     // the form, without its marker
  std::string tag;      // ASCII letters upper-cased
  char marker = '\0';   // one of MorphemeSplitter::kMarkers, or '\0' for none
  bool hasTag = false;  // false: the token had no "/" (then text and tag are empty)
  std::size_t offset = 0;  // byte offset of `text` in the split text (edits in place)
};

// One per use, on the caller's stack. Delimiter sets are sets of one-byte characters;
// tokens are cut only at character boundaries, so a second byte that looks like a
// delimiter or "+" "/" never splits a two-byte character.
class MorphemeSplitter {
 public:
  // Characters that may end a form just before its "/".
  static constexpr std::string_view kMarkers = "*#&%@";

  MorphemeSplitter() = default;

  // Copies `text`, remembers `delimiters` as the default set and starts at the beginning.
  // The const char* form returns false (and changes nothing) for a null text.
  bool SetText(std::string_view text, std::string_view delimiters = " ");
  bool SetText(const char* text, std::string_view delimiters = " ");

  // The next run of non-delimiter characters (with `delimiters`, or the default set when
  // none is given), or nullopt at the end. The delimiter that ends a token is used up,
  // so a following call with another set starts after it. The view points into the
  // splitter's copy of the text and stays valid until the next SetText or CheckTags.
  [[nodiscard]] std::optional<std::string_view> NextToken(
      std::optional<std::string_view> delimiters = std::nullopt);

  // True while a character outside the default delimiter set remains.
  [[nodiscard]] bool HasMoreTokens() const;

  // The next morpheme record, or nullptr at the end. A token (default delimiters) is cut
  // at a "+" after its first character, the rest being read next. A token starting with
  // "+" drops it unless "/" follows (so "+" can itself be a form); a lone "+" is skipped
  // and the next token taken whole (an empty record when none is left). A token without
  // "/" after its first character gives a record with hasTag false. The last character
  // of the form, if a marker, moves to `marker`. "1/SN++/SW" gives (1, SN), (+, SW).
  // The record is owned by the splitter and valid until the next call.
  [[nodiscard]] const Morpheme* NextMorpheme();

  // The tag set CheckTags looks tags up in; it must outlive the splitter's use of it.
  void AttachTagSet(const TagManager& tags) { tags_ = &tags; }
  [[nodiscard]] bool HasTagSet() const { return tags_ != nullptr; }

  // True when every morpheme of `analysis` (blank-delimited) has a tag that the attached
  // tag set knows; false without a tag set, for a null text, or at the first morpheme
  // without a "/" or with an unknown tag. An empty analysis passes. Replaces the
  // splitter's text and default delimiters.
  [[nodiscard]] bool CheckTags(std::string_view analysis);
  [[nodiscard]] bool CheckTags(const char* analysis);

 private:
  [[nodiscard]] bool isDelimiter(std::size_t pos, std::string_view delimiters) const;

  std::string text_;
  std::string delimiters_ = " ";
  std::size_t pos_ = 0;
  Morpheme current_;
  const TagManager* tags_ = nullptr;
};

// One row of the analysis editor: a morpheme as the linguist left it (CP949).
struct MorphemeRow {
  bool apply = true;   // "적용": rows switched off are left out
  std::string text;    // the form
  std::string marker;  // empty or one marker character
  std::string tag;
};

// The analysis the editor's rows stand for, the inverse of NextMorpheme: each applied row
// as form, marker, "/", tag; every applied row after the first row is preceded by " + ",
// also when the first row is switched off (so the text then begins with " + ").
[[nodiscard]] std::string joinMorphemes(const std::vector<MorphemeRow>& rows);

}  // namespace selvanor
