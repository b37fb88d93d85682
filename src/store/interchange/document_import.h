// Importing analysed corpora as they are distributed: analysed text with markup in UTF-8,
// UTF-16 or CP949, and CoNLL-U treebanks. Either becomes the document a build of the same
// tokens as CP949 text would make (store/document/document_writer.h), written beside the target
// and renamed over it only when every line was read: a failed import changes nothing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/result_codes.h"
#include "store/document/document_writer.h"
#include "store/interchange/import_source.h"

namespace selvanor::interchange {

enum class ImportFormat { Auto, Text, Conllu };

// Why an import (or its inspection) stopped.
enum class ImportProblem {
  None,
  InputUnreadable,  // cannot be opened or read
  Undecodable,      // a line that is no text in the file's encoding
  Truncated,        // UTF-16 cut inside a character
  Unmappable,       // a character CP949 cannot hold
  TooFewLines,      // analysed text with fewer than three token lines
  FormatError,      // an analysed-text line without its fields
  UnclosedHeader,   // a header block that never ends
  ColumnCount,      // a CoNLL-U token line without 10 columns
  BadId,            // a CoNLL-U ID that is no number, range or empty node
  EmptyForm,        // a CoNLL-U word without FORM
  NoTokens,         // nothing to import
  OutputOpen,       // the document cannot be created
  OutputWrite,      // a record or the finished document cannot be written
};

// What was skipped or changed on the way; the messages name each.
struct ImportCounts {
  std::size_t records = 0;       // token lines stored
  std::size_t markupLines = 0;   // tag lines and the lines of header blocks
  std::size_t headerBlocks = 0;
  std::size_t ranges = 0;        // CoNLL-U multiword-token ranges
  std::size_t emptyNodes = 0;    // CoNLL-U empty nodes
  std::size_t mismatches = 0;    // LEMMA and XPOS with different piece counts
  std::size_t firstMismatchLine = 0;
  std::size_t formBlanks = 0;    // FORMs that held blanks (taken out)
  std::size_t replaced = 0;      // characters CP949 cannot hold, written as □
};

struct ImportOutcome {
  ResultCode code = result::kOk;
  ImportProblem problem = ImportProblem::None;
  std::size_t line = 0;     // 1-based line of the problem
  std::string detail;       // the character or bytes (UTF-8), the serial (CP949), the ID
                            // (CP949) or the column count
  ImportCounts counts;
};

// How a source is read: found by inspectSource.
struct SourcePlan {
  Decoding decoding = Decoding::Cp949;
  bool detected = true;                      // the decoding was found, not asked for
  ImportFormat format = ImportFormat::Text;  // Text or Conllu
  SerialMode mode = SerialMode::Numbered;    // Generate: a serial prefix is needed
};

struct Inspection {
  std::optional<SourcePlan> plan;
  ImportOutcome failure;  // when there is no plan
};

// Decides the encoding, the format (Auto: ".conllu"/".conll", else a first token line of
// ten tab-separated columns with a CoNLL-U ID) and, for analysed text, whether its token
// lines carry serials (the first three agree in their first 7 bytes, as a build tests).
[[nodiscard]] Inspection inspectSource(const std::string& input, ImportFormat format,
                                       Encoding encoding);

struct ImportRequest {
  std::string input;
  std::string output;
  std::string prefix;          // CP949, 7 characters; used when the plan generates serials
  bool attachDa = true;        // the build's "[-다] 붙이기"
  bool replaceUnmappable = false;
};

[[nodiscard]] ImportOutcome importDocument(const ImportRequest& request, const SourcePlan& plan);

}  // namespace selvanor::interchange
