#include "common/derived_paths.h"

#include <filesystem>
#include <string_view>

#include "common/files.h"

namespace selvanor::derived {
namespace {

// The file name's extension is ".id" (in any case, as names made on other systems are).
bool isIdDocument(const std::string& document) {
  const std::string ext = std::filesystem::path(document).extension().string();
  return ext.size() == 3 && ext[0] == '.' && (ext[1] == 'i' || ext[1] == 'I') &&
         (ext[2] == 'd' || ext[2] == 'D');
}

// `path` with its extension replaced, or empty when it names no file.
std::string withExtension(const std::string& path, std::string_view extension) {
  if (path.empty() || path.back() == '/') return {};
  return replaceExtension(path, extension);
}

}  // namespace

std::string referenceFile(const std::string& document) {
  // Appending keeps the names every existing "*.id" reference file has.
  return isIdDocument(document) ? document + "x" : withExtension(document, ".idx");
}

std::string statisticsFile(const std::string& document) {
  return withExtension(document, ".stt");
}

std::string documentTextFile(const std::string& document) {
  return withExtension(document, ".txt");
}

std::string documentExportFile(const std::string& document, std::string_view extension) {
  return withExtension(document, extension);
}

std::string referenceTextFile(const std::string& reference) {
  return withExtension(reference, ".txt");
}

std::string documentOfReference(const std::string& reference) {
  return withExtension(reference, ".id");
}

std::string builtDocument(const std::string& analysedText) {
  return withExtension(analysedText, ".id");
}

std::string numberedCopy(const std::string& analysedText) {
  const std::string bare = withExtension(analysedText, "");
  return bare.empty() ? bare : bare + "_new.txt";
}

std::string correctionWorkingFile(const std::string& correctionList) {
  return withExtension(correctionList, ".fix");
}

std::string homonymDictionary(const std::string& source) {
  return withExtension(source, ".dic");
}

}  // namespace selvanor::derived
