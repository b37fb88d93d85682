// Start-up paths, the settings file with its keys and defaults, and the working context
// the view keeps for the whole run. Plain C++: the Qt application builds on it, and the
// tests run it without a display.
//
// Paths are native file-system strings (UTF-8) in this interface and CP949 inside the
// settings file; conversion happens here, in both directions.
#pragma once

#include <functional>
#include <string>

#include "common/ini_file.h"

namespace selvanor {

struct StartupPaths {
  std::string programFolder;   // the executable's folder, ending in "/"
  std::string settingsFile;    // <program folder or user config folder>/<name>.INI
  std::string documentFolder;  // programFolder + "분석문헌/"
};

// executablePath: the running executable (absolute, or relative to workingDirectory).
// The settings file is the executable's path with its extension replaced by ".INI", or
// with ".INI" added when the name has none (/opt/selvanor/bin/selvanor ->
// /opt/selvanor/bin/selvanor.INI). Where isWritable(programFolder) is false, the file of
// the same name inside userConfigFolder is used instead (an empty userConfigFolder keeps
// the program folder). The caller creates that folder; nothing here touches the disk.
[[nodiscard]] StartupPaths computeStartupPaths(const std::string& executablePath,
                                               const std::string& workingDirectory,
                                               std::function<bool(const std::string& folder)> isWritable,
                                               const std::string& userConfigFolder);

// The isWritable the application passes: the current user may create files in `folder`.
[[nodiscard]] bool folderIsWritable(const std::string& folder);

struct GridFont {
  std::string face;  // UTF-8
  int height = 16;
  int weight = 600;  // 0-1000
};

// The keys of the settings file with their defaults. Reads go to the file each time (the
// file is read at start-up and by the settings dialog only).
//
// A path value that is not valid CP949 (a file saved in another encoding) reads as its
// default rather than as a wrong path. Writers convert every path before writing any, and
// return false with nothing written when one cannot be held in CP949; they also return
// false when the file cannot be written, and then the old file stays as it was.
class Settings {
 public:
  explicit Settings(std::string settingsFile) : ini_(std::move(settingsFile)) {}

  const std::string& file() const { return ini_.path(); }
  [[nodiscard]] bool exists() const { return ini_.exists(); }

  // [PATH]
  [[nodiscard]] std::string programFolder() const;   // 프로그램, default "" (working directory)
  [[nodiscard]] std::string documentFolder() const;  // 분석문헌, default ""

  // [사전이름]
  [[nodiscard]] std::string unregisteredDictionary() const;  // 미등재어, default ""
  [[nodiscard]] std::string homonymDictionary() const;       // 동음어, default ""
  [[nodiscard]] std::string referenceFile() const;           // 참조파일, default ""
  [[nodiscard]] std::string tagFileName() const;             // Tag파일, default "tag.txt"
  [[nodiscard]] std::string documentListName() const;        // DbList, default "dblist.dat"

  // [폰트] 크기 (16), 이름 (신명조체), 진하기 (600). A size that is not a positive decimal
  // number, or a weight that is not a decimal number within 0-1000, gives the default.
  [[nodiscard]] GridFont gridFont() const;

  // Every start-up: [PATH] 프로그램, then 분석문헌.
  [[nodiscard]] bool writeStartupPaths(const std::string& programFolder,
                                       const std::string& documentFolder);

  // The settings dialog's 확 인: [사전이름] 미등재어, 동음어, 참조파일, in that order, all
  // three even when only one changed.
  [[nodiscard]] bool writeDictionaryPaths(const std::string& unregistered,
                                          const std::string& homonym,
                                          const std::string& reference);

 private:
  std::string readPath(const std::string& section, const std::string& key,
                       const std::string& fallback) const;

  IniFile ini_;
};

// The paths the view holds for the whole run (UTF-8, empty when unset).
struct WorkingContext {
  std::string unregisteredDictionary;  // .mdj
  std::string homonymDictionary;       // .dic
  std::string referenceFile;           // .idx
  std::string documentListFile;        // working directory + "/" + DbList
  std::string tagFile;                 // [PATH] 프로그램 + Tag파일
  std::string currentDocument;         // .id, set when a document is chosen
  std::string currentReference;        // derived::referenceFile(currentDocument) while the grid is loaded
  std::string currentStatistics;       // derived::statisticsFile(currentDocument) while the grid is loaded
};

// Where a tag file named by a relative Tag파일 is looked for besides the program folder:
// the user's own folder first (a tag set of one's own), the installed share folder last.
struct TagFileFolders {
  std::string user;    // the user's configuration folder, or ""
  std::string shared;  // <prefix>/share/selvanor/ of an installed program, or ""
};

// Read at the view's first update. The document list is looked for in the working
// directory; the tag file in folders.user, then the program folder, then folders.shared,
// and where none holds it the program folder's path is given (the message then names
// it). A DbList or Tag파일 value that is an absolute path is used as it stands.
[[nodiscard]] WorkingContext loadWorkingContext(const Settings& settings,
                                                const std::string& workingDirectory,
                                                const TagFileFolders& folders = {});


}  // namespace selvanor
