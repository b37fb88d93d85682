// One word token and the analysed-text line format it arrives in.
#pragma once

#include <string>
#include <string_view>

#include "common/result_codes.h"
#include "store/engine/record.h"

namespace selvanor {

struct ParsedLine {
  ResultCode status = result::kOk;  // kOk or kFormatError
  AnalysisRecord record;            // on kFormatError: serial holds the first field as read
};

// Takes apart one line of the numbered form "serial word analysis..." (fields separated
// by runs of blanks and tabs; everything after the word is the analysis). The analysis
// is normalised and its ASCII letters upper-cased. Any missing field is a format error.
[[nodiscard]] ParsedLine parseLine(std::string_view line, bool attachDa);

// Same, for an unnumbered line "word analysis..." whose serial is given.
[[nodiscard]] ParsedLine parseUnnumberedLine(std::string serial, std::string_view line,
                                             bool attachDa);

// Normalises an analysis: blanks removed, split at '+', a missing '/' inserted before the
// first ASCII letter (or "/?" appended), the optional attach-다 rule on V-tagged forms,
// morphemes joined with " + ". Case is left as typed.
[[nodiscard]] std::string normalizeAnalysis(std::string_view analysis, bool attachDa);

// serial, word and analysis joined by `separator`, followed by `lineEnd` (text exports
// and error log lines).
[[nodiscard]] std::string recordLine(const AnalysisRecord& r, std::string_view separator,
                                     std::string_view lineEnd);

// The attach-다 rule on the form of one V-tagged morpheme.
[[nodiscard]] std::string attachDaToForm(std::string_view form);

}  // namespace selvanor
