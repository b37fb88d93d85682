// Subcommand registration. Each register function adds its subcommands to the app and
// sets `exitCode` when one of them runs.
#pragma once

#include <CLI/CLI.hpp>

namespace selvanor::cli {

void registerDocumentCommands(CLI::App& app, int& exitCode);
void registerTagCommands(CLI::App& app, int& exitCode);

}  // namespace selvanor::cli
