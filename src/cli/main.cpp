// selvanor-cli: every batch operation of the workbench from a terminal.
#include <cstdio>

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "common/diagnostics.h"
#include "common/refusal.h"
#include "common/scratch.h"

int main(int argc, char** argv) {
  using namespace selvanor;
  removeStaleScratch();  // what killed runs left in the temporary folder
  // Standard output carries results only; the store's diagnostics go to standard error,
  // escaped like every other text that reaches the terminal.
  setDiagnosticSink([](std::string_view line) {
    const std::string shown = cli::escapeControls(line);
    std::fwrite(shown.data(), 1, shown.size(), stderr);
  });

  CLI::App app{"Selvanor command line: build, check and export analysed Korean corpus files.\n"
               "Arguments and terminal output are UTF-8; files are CP949."};
  app.set_version_flag("--version", "selvanor-cli 0.1.0");
  app.require_subcommand(1);
  int exitCode = cli::kExitOk;
  CLI::App* exportCommand = app.add_subcommand("export", "Write a database file out as text");
  exportCommand->require_subcommand(1);
  cli::registerDocumentCommands(app, *exportCommand, exitCode);
  cli::registerInterchangeCommands(app, exitCode);
  cli::registerTagCommands(app, exitCode);
  cli::registerDictionaryCommands(app, *exportCommand, exitCode);
  cli::registerCorrectionCommands(app, exitCode);
  cli::registerReferenceCommands(app, *exportCommand, exitCode);
  cli::registerCorpusCommands(app, exitCode);
  cli::registerStatisticsCommands(app, exitCode);
  cli::registerReviewCommands(app, exitCode);
  cli::registerAnalysisCommands(app, exitCode);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int rc = app.exit(e);
    return rc == 0 ? cli::kExitOk : cli::kExitUsage;
  } catch (...) {
    // Whatever escapes a subcommand (out of memory, anything else) ends as a message and
    // exit 1, never an abort.
    return cli::reportEscapedException();
  }
  // The store's reason for the user (another program holds the file, a damaged file, no
  // space) under the operation's own message.
  if (exitCode != cli::kExitOk) {
    if (std::string reason = takeRefusal(); !reason.empty()) {
      for (char& c : reason) if (c == '\n') c = ' ';
      const std::string shown = cli::escapeControls(reason) + "\n";
      std::fwrite(shown.data(), 1, shown.size(), stderr);
    }
  }
  return exitCode;
}
