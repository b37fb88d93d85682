// autocorrect.
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "lexicon/auto_correction.h"
#include "facade/dbwrap.h"

namespace selvanor::cli {
namespace {

struct AutocorrectArgs {
  std::string document;
  std::string list;
};

int runAutocorrect(const AutocorrectArgs& a) {
  DBWrap db;
  DBWrap::SujungOutcome outcome;
  const ResultCode rc = db.autoSujung(a.document, a.list, &outcome);
  const char* message = correction::outcomeMessage(rc);
  if (rc == result::kOk) {
    printResult(message);
    return kExitOk;
  }
  // The dialog's message alone would not say which line to mend.
  if (rc == result::kListFormatError) printMessage(correction::formatErrorDetail(outcome));
  printMessage(message);
  return kExitFailed;
}

}  // namespace

void registerCorrectionCommands(CLI::App& app, int& exitCode) {
  auto args = std::make_shared<AutocorrectArgs>();
  CLI::App* c = app.add_subcommand(
      "autocorrect",
      "Apply an auto-correction list (morpheme to word) to an analysis document");
  c->add_option("DOC", args->document, "analysis document (.id), changed in place")->required();
  c->add_option("LIST", args->list,
                "correction list (CP949): search<TAB>replacement per line; its working file "
                "(LIST with extension .fix) is made beside it and removed after the run")
      ->required();
  c->footer(
      "Pairs are applied in the byte order of their search texts, each to the first "
      "occurrence in every analysis. The document is replaced only when the whole run "
      "succeeds.\n");
  c->callback([args, &exitCode] { exitCode = runAutocorrect(*args); });
}

}  // namespace selvanor::cli
