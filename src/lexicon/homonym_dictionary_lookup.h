// The homonym correction's look-up over a homonym dictionary file (.dic). One HomonymDictionary
// keeps the dictionary open from the first look-up to the end of the run, so a document's worth
// of morphemes costs one open.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lexicon/homonym_correction.h"
#include "lexicon/homonym_dictionary.h"

namespace selvanor {

class DongumLookup final : public HomonymLookup {
 public:
  explicit DongumLookup(std::string dictionary) : dictionary_(std::move(dictionary)) {}

  // Opens the dictionary for the look-ups that follow; false when the file is missing or
  // cannot be opened as a database. Without it every look-up would come back empty and a
  // run would end "completed" having asked nothing.
  [[nodiscard]] bool open();

  // The senses of `headword` in stored order; empty when it is absent or the dictionary
  // cannot be read (unavailable() then turns true).
  [[nodiscard]] std::vector<HomonymSense> senses(std::string_view headword) override;

  // Some look-up found the dictionary unopenable or a stored value unreadable.
  [[nodiscard]] bool unavailable() const { return unavailable_; }
  [[nodiscard]] bool failed() const override { return unavailable_; }
  const std::string& dictionary() const { return dictionary_; }

 private:
  std::string dictionary_;
  homonym::HomonymDictionary db_;
  bool unavailable_ = false;
};

}  // namespace selvanor
