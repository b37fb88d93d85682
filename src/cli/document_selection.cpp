#include "cli/document_selection.h"

#include "cli/terminal.h"
#include "store/corpus/document_list.h"

namespace selvanor::cli {

std::vector<std::string> Selection::paths() const {
  std::vector<std::string> out;
  out.reserve(documents.size());
  for (const batch::BatchDocument& d : documents) out.push_back(d.path);
  return out;
}

Selection selectDocuments(const SelectionArgs& a) {
  Selection s;
  if (a.listFile.empty() == a.documents.empty()) {
    printMessage("--list LISTFILE 또는 DOC... 가운데 하나를 주세요.");
    s.exitCode = kExitUsage;
    return s;
  }
  if (a.listFile.empty()) {
    s.documents = batch::documentsOfPaths(a.documents);
    return s;
  }
  corpus::DocumentList list;
  if (!list.load(a.listFile, /*createIfMissing=*/false)) {
    printMessage(corpus::loadFailedMessage(a.listFile));
    s.exitCode = kExitFailed;
    return s;
  }
  std::vector<corpus::NodeRef> nodes;
  for (const std::string& name : a.groups) {
    const auto cp949 = argumentToCp949(name);
    if (!cp949) {
      s.exitCode = kExitUsage;
      return s;
    }
    const std::size_t before = nodes.size();
    for (std::size_t g = 0; g < list.groups().size(); ++g) {
      if (list.group(g).name == *cp949) nodes.push_back({g, std::nullopt});
    }
    if (nodes.size() == before) {
      printMessage("문헌 목록에 없는 그룹입니다: " + name);
      s.exitCode = kExitUsage;
      return s;
    }
  }
  if (a.groups.empty()) {
    for (std::size_t g = 0; g < list.groups().size(); ++g) nodes.push_back({g, std::nullopt});
  }
  s.documents = batch::documentsOfSelection(list, nodes);
  return s;
}

void addSelectionOptions(CLI::App& command, SelectionArgs& a) {
  CLI::Option* list = command.add_option(
      "--list", a.listFile, "document list file (CP949, e.g. dblist.dat): its documents");
  command.add_option("--group", a.groups,
                     "only the documents of this group of the list (repeatable, in this order)")
      ->needs(list);
  command.add_option("DOC", a.documents, "analysis documents (.id), in this order")->excludes(list);
}

}  // namespace selvanor::cli
