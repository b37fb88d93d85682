// Documents handed to the tools of today: the text export in UTF-8, CoNLL-U for parsers
// and UD tools, and TSV for spreadsheets and pandas. Every format walks the records as
// the text export does (store/interchange/document_export.h) and writes UTF-8.
#pragma once

#include <cstddef>
#include <string>

#include "common/result_codes.h"

namespace selvanor::interchange {

enum class DocumentFormat {
  Text,      // "serial\tword\tanalysis\n" per record, CP949 (printDBcont)
  TextUtf8,  // the same lines in UTF-8
  Conllu,    // one token per record; sentences end after an SF-tagged record
  Tsv,       // a header row "serial\tword\tanalysis", then one row per record
};

// The extension of a document's export in `format`: ".txt", ".conllu" or ".tsv".
[[nodiscard]] const char* exportExtension(DocumentFormat format);

struct ExportOutcome {
  ResultCode code = result::kOk;  // as printDBcont
  std::size_t records = 0;
  std::size_t sentences = 0;      // CoNLL-U only
  std::size_t replaced = 0;       // characters without a Unicode mapping, written as U+FFFD
};

// Writes the document `source` to `output` ("-": standard output) in `format`, with the
// output rules of printDBcont.
//
// CoNLL-U: "# sent_id = " the serial of the sentence's first record and "# text = " its
// words joined by blanks, then ID (1..n in the sentence), FORM = word, LEMMA and XPOS
// rebuilt from the analysis (store/interchange/conllu_format.h), every other column "_", and a blank
// line after each sentence, in Unicode NFC (duplicate Hanja become their unified
// ideographs). TSV and UTF-8 text keep each character as CP949 maps it. TSV: a field holding a double quote, tab or line end is put in
// double quotes, its quotes doubled, as spreadsheets and pandas read it.
[[nodiscard]] ExportOutcome exportDocument(DocumentFormat format, const std::string& source,
                                           const std::string& output);

}  // namespace selvanor::interchange
