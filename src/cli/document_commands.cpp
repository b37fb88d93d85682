// build, export document (text, UTF-8 text, CoNLL-U, TSV).
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/export_output.h"
#include "cli/terminal.h"
#include "store/document/build_decisions.h"
#include "store/interchange/import_decisions.h"
#include "facade/dbwrap.h"

namespace selvanor::cli {
namespace {

struct BuildOptions {
  std::string input;
  std::string output;
  std::string prefix;
  bool noDa = false;
};

struct ExportOptions {
  std::string document;
  std::string output;
  std::string format = "text";
  bool utf8 = false;
};

int runExport(const ExportOptions& o) {
  const std::optional<interchange::DocumentFormat> format =
      interchange::documentFormatNamed(o.format, o.utf8);
  if (!format) {
    printMessage("--format는 text, conllu, tsv 가운데 하나여야 합니다.");
    return kExitUsage;
  }
  DBWrap db;
  const interchange::ExportOutcome outcome = db.exportBunsukDB(*format, o.document, o.output);
  return reportExport(outcome.code == result::kOk, interchange::exportMessage(outcome, *format),
                      o.output);
}

}  // namespace

std::optional<std::string> serialPrefixArgument(const std::string& prefix) {
  if (prefix.empty()) {
    printMessage(build::msg::kNoSerials);
    printMessage(std::string(build::msg::kAskPrefix) + " (--prefix)");
    return std::nullopt;
  }
  auto converted = argumentToCp949(prefix);
  if (!converted) return std::nullopt;
  if (auto refusal = build::checkSerialPrefix(*converted)) {
    printMessage(*refusal);
    return std::nullopt;
  }
  return converted;
}

namespace {

int runBuild(const BuildOptions& o) {
  const build::BuildPlan plan = build::planDocumentBuild(o.input, o.output, std::string());
  if (plan.refusal) {
    printMessage(*plan.refusal);
    return kExitFailed;
  }
  std::string prefix;
  if (plan.needsPrefix) {
    auto converted = serialPrefixArgument(o.prefix);
    if (!converted) return kExitFailed;
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
  auto doc = std::make_shared<ExportOptions>();
  CLI::App* ed = e->add_subcommand(
      "document", "Analysis document: serial<TAB>word<TAB>analysis per record, CoNLL-U or TSV");
  ed->add_option("DOC", doc->document, "analysis document (.id)")->required()->check(CLI::ExistingFile);
  ed->add_option("OUTPUT", doc->output,
                 "file to write (text: CP949 unless --utf8; conllu, tsv: UTF-8); - for "
                 "standard output")
      ->required();
  ed->add_option("--format", doc->format,
                 "text (default), conllu (one token per record, sentences end after SF), tsv "
                 "(header row serial, word, analysis)")
      ->check(CLI::IsMember({"text", "conllu", "tsv"}));
  ed->add_flag("--utf8", doc->utf8, "write the text format in UTF-8");
  ed->callback([doc, &exitCode] { exitCode = runExport(*doc); });
}

}  // namespace selvanor::cli
