// One record of an analysis document: a word token (eojeol) and its analysis.
#pragma once

#include <string>

namespace selvanor {

// One word token (eojeol) with its analysis; every field is owned CP949 bytes.
struct AnalysisRecord {
  std::string serial;    // record key; no blanks or tabs
  std::string word;      // the word as it stands in the source text
  std::string analysis;  // normalised: "form/TAG + form/TAG ..."

  friend bool operator==(const AnalysisRecord& a, const AnalysisRecord& b) {
    return a.serial == b.serial && a.word == b.word && a.analysis == b.analysis;
  }
  friend bool operator!=(const AnalysisRecord& a, const AnalysisRecord& b) { return !(a == b); }
};

}  // namespace selvanor
