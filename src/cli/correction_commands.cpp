// correction subcommands (not built yet).
#include "cli/commands.h"

namespace selvanor::cli {

void registerCorrectionCommands(CLI::App& app, int& exitCode) {
  (void)app;
  (void)exitCode;
}

}  // namespace selvanor::cli
