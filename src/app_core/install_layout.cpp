#include "app_core/install_layout.h"

#include "common/files.h"

namespace selvanor {
namespace {

std::string withSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string sharedDataFolder(const std::string& programFolder) {
  std::string folder = withSlash(programFolder);
  // '/' never occurs inside a multibyte UTF-8 character, so byte searches are safe.
  const std::string bin = "/bin/";
  if (folder.size() < bin.size() || folder.compare(folder.size() - bin.size(), bin.size(), bin) != 0) {
    return "";
  }
  return folder.substr(0, folder.size() - bin.size()) + "/share/selvanor/";
}

std::string installedDataFolder(const std::string& programFolder) {
  const std::string shared = sharedDataFolder(programFolder);
  return !shared.empty() && fileExists(shared + "tag.txt") ? shared : "";
}

std::string firstFolderHolding(const std::vector<std::string>& folders, const std::string& name) {
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    const std::string path = withSlash(folder) + name;
    if (fileExists(path)) return path;
  }
  return "";
}

}  // namespace selvanor
