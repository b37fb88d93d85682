// reference subcommands (not built yet).
#include "cli/commands.h"

namespace selvanor::cli {

void registerReferenceCommands(CLI::App& app, CLI::App& exportCommand, int& exitCode) {
  (void)app;
  (void)exportCommand;
  (void)exitCode;
}

}  // namespace selvanor::cli
