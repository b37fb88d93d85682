// Where the programs find what is shipped with them. An installed program lives in
// <prefix>/bin and finds its tag file, sample workspace and user guide in
// <prefix>/share/selvanor/; a program run from a build or a workspace folder has no such
// folder and keeps everything beside itself, as before.
#pragma once

#include <string>
#include <vector>

namespace selvanor {

// "<prefix>/share/selvanor/" for a program folder "<prefix>/bin/" (with or without the
// trailing "/"); "" when the folder is not named bin. Touches no disk.
[[nodiscard]] std::string sharedDataFolder(const std::string& programFolder);

// sharedDataFolder(programFolder) when that folder holds the bundled tag file (the program
// is installed), else "".
[[nodiscard]] std::string installedDataFolder(const std::string& programFolder);

// The first of `folders` (empty entries skipped) in which `name` exists, joined with it;
// "" when none holds it.
[[nodiscard]] std::string firstFolderHolding(const std::vector<std::string>& folders,
                                             const std::string& name);

}  // namespace selvanor
