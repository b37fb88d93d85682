// The one place that names the files derived from another file. Every caller that
// builds, looks for or shows a derived file asks here, so that the file a build writes
// is the file the corpus manager, the grid and the statistics runs look for.
//
// For an analysis document named "*.id" the names are the program's traditional ones:
//   a.id -> a.idx (reference file), a.stt (statistics file), a.txt (text export)
// Any other name has its extension replaced by the rule of replaceExtension
// (common/files.h): corpus.db -> corpus.idx, corpus.stt, corpus.txt; corpus -> corpus.idx.
// Every function gives an empty path for a path that names no file (empty, or ending in
// "/"): there is nothing to derive a name from.
#pragma once

#include <string>
#include <string_view>

namespace selvanor::derived {

// The reference file (참조 파일) of an analysis document. "*.id" gets "x" appended, as
// it always has (a.id -> a.idx, a.ID -> a.IDx); other names get the extension ".idx".
[[nodiscard]] std::string referenceFile(const std::string& document);

// The statistics file (통계 파일) of an analysis document: a.id -> a.stt.
[[nodiscard]] std::string statisticsFile(const std::string& document);

// The text export of an analysis document ("텍스트 저장"): a.id -> a.txt.
[[nodiscard]] std::string documentTextFile(const std::string& document);
// An export of a document in another format, by that format's extension ("텍스트 저장" as
// CoNLL-U or TSV): a.id, ".conllu" -> a.conllu.
[[nodiscard]] std::string documentExportFile(const std::string& document, std::string_view extension);

// The text export a reference file's export offers: a.idx -> a.txt, ref -> ref.txt.
[[nodiscard]] std::string referenceTextFile(const std::string& reference);

// The analysis document a reference file belongs to, for the review: a.idx -> a.id.
[[nodiscard]] std::string documentOfReference(const std::string& reference);

// The document a build makes from an analysed text when no output is named: a.txt -> a.id.
[[nodiscard]] std::string builtDocument(const std::string& analysedText);

// The numbered copy of an analysed text without serial numbers: a.txt -> a_new.txt.
[[nodiscard]] std::string numberedCopy(const std::string& analysedText);

// The working file of an auto-correction run beside its correction list: a.txt -> a.fix.
[[nodiscard]] std::string correctionWorkingFile(const std::string& correctionList);

// The homonym dictionary built from its source text: a.txt -> a.dic.
[[nodiscard]] std::string homonymDictionary(const std::string& source);

}  // namespace selvanor::derived
