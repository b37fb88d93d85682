// build, export document.
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/export_output.h"
#include "cli/terminal.h"
#include "store/build_decisions.h"
#include "facade/dbwrap.h"

namespace selvanor::cli {
namespace {

struct BuildOptions {
  std::string input;
  std::string output;
  std::string prefix;
  bool noDa = false;
};

int runBuild(const BuildOptions& o) {
  const build::BuildPlan plan = build::planDocumentBuild(o.input, o.output, std::string());
  if (plan.refusal) {
    printMessage(*plan.refusal);
    return kExitFailed;
  }
  std::string prefix;
  if (plan.needsPrefix) {
    if (o.prefix.empty()) {
      printMessage(build::msg::kNoSerials);
      printMessage(std::string(build::msg::kAskPrefix) + " (--prefix)");
      return kExitFailed;
    }
    auto converted = argumentToCp949(o.prefix);
    if (!converted) return kExitFailed;
    if (auto refusal = build::checkSerialPrefix(*converted)) {
      printMessage(*refusal);
      return kExitFailed;
    }
    prefix = std::move(*converted);
  }
  DBWrap db;
  const ResultCode rc = db.makeBunsukDB(o.input, o.output, prefix, plan.mode(), !o.noDa);
  const std::string message = build::outcomeMessage(rc, db.lastSerial(), db.foreignText());
  if (rc != result::kOk) {
    printMessage(message);
    return kExitFailed;
  }
  printResult(message);
  return kExitOk;
}

}  // namespace

void registerDocumentCommands(CLI::App& app, CLI::App& exportCommand, int& exitCode) {
  auto build = std::make_shared<BuildOptions>();
  CLI::App* b = app.add_subcommand("build", "Build an analysis document (.id) from analysed text");
  b->add_option("INPUT", build->input, "analysed text file (CP949), numbered or not")->required();
  b->add_option("OUTPUT", build->output, "document to create (replaced only on success)")->required();
  b->add_option("--prefix", build->prefix,
                "7-character serial prefix, needed when the input has no serial numbers");
  b->add_flag("--no-da", build->noDa, "do not attach 다 to verb stems");
  b->callback([build, &exitCode] { exitCode = runBuild(*build); });

  CLI::App* e = &exportCommand;
  auto doc = std::make_shared<std::pair<std::string, std::string>>();
  CLI::App* ed = e->add_subcommand("document", "Analysis document: serial<TAB>word<TAB>analysis per record");
  ed->add_option("DOC", doc->first, "analysis document (.id)")->required()->check(CLI::ExistingFile);
  ed->add_option("OUTPUT", doc->second, "text file to write (CP949); - for standard output")
      ->required();
  ed->callback([doc, &exitCode] {
    DBWrap db;
    const ResultCode rc = db.printDBcont(ExportKind::Document, doc->first, doc->second);
    exitCode = reportExport(rc == result::kOk,
                            rc == result::kOk ? "분석 문헌을 텍스트로 저장했습니다."
                            : rc == result::kTextFileError ? "출력 파일을 저장할 수 없습니다."
                                                           : "분석 문헌 파일을 읽을 수 없습니다.",
                            doc->second);
  });
}

}  // namespace selvanor::cli
