// stats-file, list show.
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "common/derived_paths.h"
#include "common/files.h"
#include "stats/statistics_file.h"
#include "facade/dbwrap.h"
#include "store/corpus/document_list.h"

namespace selvanor::cli {
namespace {

int runStatisticsFile(const std::string& document) {
  const std::string target = derived::statisticsFile(document);
  DBWrap db;
  const ResultCode rc = db.makeTongDB(document);
  const std::string message = stats::outcomeMessage(rc, document);
  if (rc != result::kOk) {
    printMessage(message);
    return kExitFailed;
  }
  printResult("저장 파일 이름: " + target);
  printResult(message);
  return kExitOk;
}

const char* statusText(corpus::DocumentStatus s) {
  switch (s) {
    case corpus::DocumentStatus::Reference:
      return "참조";
    case corpus::DocumentStatus::Statistics:
      return "통계";
    case corpus::DocumentStatus::ReferenceAndStatistics:
      return "참조+통계";
    case corpus::DocumentStatus::None:
      break;
  }
  return "-";
}

// One line per node: "1 name" for a group, "2 [status] path" for a document (status 1-4
// as the manager's images, then what exists beside it), as the list file orders them.
int runListShow(const std::string& listFile) {
  corpus::DocumentList list;
  if (!list.load(listFile, /*createIfMissing=*/false)) {
    printMessage(corpus::loadFailedMessage(listFile, list.loadReport()));
    return kExitFailed;
  }
  for (const std::string& notice : corpus::loadNotices(list.loadReport())) printMessage(notice);
  std::size_t missing = 0;
  for (const corpus::ListGroup& g : list.groups()) {
    printResult("1 " + display(g.name));
    for (const corpus::ListDocument& d : g.documents) {
      std::string line = "2 [" + std::to_string(static_cast<int>(d.status)) + "] " +
                         (d.undecodedBytes ? display(d.path) : d.path) + "  (" +
                         statusText(d.status) + ")";
      if (!fileExists(d.path)) {
        line += " 문헌 파일 없음";
        ++missing;
      }
      printResult(line);
    }
  }
  if (missing > 0) {
    printMessage("문헌 파일이 없는 항목 " + std::to_string(missing) + "개가 있습니다.");
  }
  return kExitOk;
}

}  // namespace

void registerCorpusCommands(CLI::App& app, int& exitCode) {
  auto document = std::make_shared<std::string>();
  CLI::App* s = app.add_subcommand(
      "stats-file", "Build the statistics file of an analysis document (a.id -> a.stt)");
  s->add_option("DOC", *document,
                "analysis document (.id); its statistics file is replaced "
                "only when the build succeeds")
      ->required();
  s->callback([document, &exitCode] { exitCode = runStatisticsFile(*document); });

  CLI::App* l = app.add_subcommand("list", "The corpus manager's document list");
  l->require_subcommand(1);
  auto listFile = std::make_shared<std::string>();
  CLI::App* show =
      l->add_subcommand("show",
                        "Show groups (1 NAME) and documents (2 [STATUS] PATH); status 1 none, "
                        "2 reference file, 3 statistics file, 4 both");
  show->add_option("LISTFILE", *listFile, "document list file (CP949), e.g. dblist.dat")
      ->required();
  show->callback([listFile, &exitCode] { exitCode = runListShow(*listFile); });
}

}  // namespace selvanor::cli
