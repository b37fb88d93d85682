// corpus subcommands (not built yet).
#include "cli/commands.h"

namespace selvanor::cli {

void registerCorpusCommands(CLI::App& app, int& exitCode) {
  (void)app;
  (void)exitCode;
}

}  // namespace selvanor::cli
