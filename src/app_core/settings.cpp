#include "app_core/settings.h"

#include <unistd.h>

#include <optional>
#include <string_view>
#include <utility>

#include "app_core/install_layout.h"
#include "common/cp949.h"
#include "common/encoding.h"
#include "common/files.h"

namespace selvanor {
namespace {

// Section and key names as they stand in the file (CP949).
struct Names {
  std::string path = "PATH";
  std::string program = encoding::cp949Literal("프로그램");
  std::string documents = encoding::cp949Literal("분석문헌");
  std::string dictionaries = encoding::cp949Literal("사전이름");
  std::string unregistered = encoding::cp949Literal("미등재어");
  std::string homonym = encoding::cp949Literal("동음어");
  std::string reference = encoding::cp949Literal("참조파일");
  std::string tagFile = encoding::cp949Literal("Tag파일");
  std::string dbList = "DbList";
  std::string font = encoding::cp949Literal("폰트");
  std::string fontSize = encoding::cp949Literal("크기");
  std::string fontName = encoding::cp949Literal("이름");
  std::string fontWeight = encoding::cp949Literal("진하기");
};

const Names& names() {
  static const Names n;
  return n;
}

constexpr int kDefaultFontHeight = 16;
constexpr int kDefaultFontWeight = 600;
constexpr const char* kDefaultFontFace = "신명조체";

// folder + "/" + name, without doubling a separator; an absolute name stands alone.
std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || (!name.empty() && name[0] == '/')) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// A whole decimal integer, as a hand-edited file may hold it ("16", " -3 "); nullopt for
// anything else, including numbers beyond int.
std::optional<int> parseDecimal(std::string_view text) {
  text = cp949::trim(text);
  std::size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  if (pos == text.size()) return std::nullopt;
  long long value = 0;
  for (; pos < text.size(); ++pos) {
    if (!cp949::isAsciiDigit(text[pos])) return std::nullopt;
    value = value * 10 + (text[pos] - '0');
    if (value > 2147483647LL) return std::nullopt;
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace

StartupPaths computeStartupPaths(const std::string& executablePath,
                                 const std::string& workingDirectory,
                                 std::function<bool(const std::string& folder)> isWritable,
                                 const std::string& userConfigFolder) {
  // '/' and '.' never occur inside a multibyte UTF-8 character, so byte searches are safe.
  const std::string executable = (!executablePath.empty() && executablePath[0] == '/')
                                     ? executablePath
                                     : joinPath(workingDirectory, executablePath);
  const std::size_t slash = executable.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;

  StartupPaths paths;
  paths.programFolder = executable.substr(0, nameStart);
  const std::string name = executable.substr(nameStart);
  const std::string iniName = replaceExtension(name, ".INI");

  const bool useProgramFolder = userConfigFolder.empty() || !isWritable || isWritable(paths.programFolder);
  paths.settingsFile = useProgramFolder ? paths.programFolder + iniName : joinPath(userConfigFolder, iniName);
  paths.documentFolder = paths.programFolder + "분석문헌/";
  return paths;
}

bool folderIsWritable(const std::string& folder) {
  return ::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0;
}

std::string Settings::readPath(const std::string& section, const std::string& key,
                               const std::string& fallback) const {
  auto utf8 = encoding::cp949ToUtf8(ini_.get(section, key, encoding::cp949Literal(fallback)));
  return utf8 ? std::move(*utf8.text) : fallback;
}

std::string Settings::programFolder() const { return readPath(names().path, names().program, ""); }
std::string Settings::documentFolder() const { return readPath(names().path, names().documents, ""); }
std::string Settings::unregisteredDictionary() const {
  return readPath(names().dictionaries, names().unregistered, "");
}
std::string Settings::homonymDictionary() const {
  return readPath(names().dictionaries, names().homonym, "");
}
std::string Settings::referenceFile() const {
  return readPath(names().dictionaries, names().reference, "");
}
std::string Settings::tagFileName() const {
  return readPath(names().dictionaries, names().tagFile, "tag.txt");
}
std::string Settings::documentListName() const {
  return readPath(names().dictionaries, names().dbList, "dblist.dat");
}

GridFont Settings::gridFont() const {
  GridFont font;
  const auto height = parseDecimal(ini_.get(names().font, names().fontSize));
  font.height = height && *height > 0 ? *height : kDefaultFontHeight;
  const auto weight = parseDecimal(ini_.get(names().font, names().fontWeight));
  font.weight = weight && *weight >= 0 && *weight <= 1000 ? *weight : kDefaultFontWeight;
  const std::string face = ini_.get(names().font, names().fontName);
  auto utf8 = encoding::cp949ToUtf8(face);
  font.face = utf8 && !utf8.text->empty() ? std::move(*utf8.text) : kDefaultFontFace;
  return font;
}

bool Settings::writeStartupPaths(const std::string& programFolder,
                                 const std::string& documentFolder) {
  const auto program = encoding::utf8ToCp949(programFolder);
  const auto documents = encoding::utf8ToCp949(documentFolder);
  if (!program || !documents) return false;
  const bool wroteProgram = ini_.set(names().path, names().program, *program.text);
  return ini_.set(names().path, names().documents, *documents.text) && wroteProgram;
}

bool Settings::writeDictionaryPaths(const std::string& unregistered, const std::string& homonym,
                                    const std::string& reference) {
  const auto u = encoding::utf8ToCp949(unregistered);
  const auto h = encoding::utf8ToCp949(homonym);
  const auto r = encoding::utf8ToCp949(reference);
  if (!u || !h || !r) return false;
  // Each key is written even when an earlier one failed, as the dialog's three writes are.
  bool ok = ini_.set(names().dictionaries, names().unregistered, *u.text);
  ok = ini_.set(names().dictionaries, names().homonym, *h.text) && ok;
  return ini_.set(names().dictionaries, names().reference, *r.text) && ok;
}

WorkingContext loadWorkingContext(const Settings& settings, const std::string& workingDirectory,
                                  const TagFileFolders& folders) {
  WorkingContext c;
  c.unregisteredDictionary = settings.unregisteredDictionary();
  c.homonymDictionary = settings.homonymDictionary();
  c.referenceFile = settings.referenceFile();
  c.documentListFile = joinPath(workingDirectory, settings.documentListName());
  const std::string tagName = settings.tagFileName();
  const std::string programFolder = settings.programFolder();
  c.tagFile = joinPath(programFolder, tagName);
  if (!tagName.empty() && tagName[0] != '/') {
    const std::string found = firstFolderHolding({folders.user, programFolder, folders.shared}, tagName);
    if (!found.empty()) c.tagFile = found;
  }
  return c;
}

}  // namespace selvanor
