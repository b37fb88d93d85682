// Subcommand registration. Each register function adds its subcommands to the app (and
// its text exports under `exportCommand`) and sets `exitCode` when one of them runs.
#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

namespace selvanor::cli {

// The serial prefix a build or an import needs for unnumbered text, from `--prefix`
// (UTF-8) as CP949; nullopt, with the reason printed, when it is missing or refused.
[[nodiscard]] std::optional<std::string> serialPrefixArgument(const std::string& prefix);

void registerDocumentCommands(CLI::App& app, CLI::App& exportCommand, int& exitCode);
void registerTagCommands(CLI::App& app, int& exitCode);
// homonym ..., unregistered ..., export homonym|unregistered
void registerDictionaryCommands(CLI::App& app, CLI::App& exportCommand, int& exitCode);
// autocorrect
void registerCorrectionCommands(CLI::App& app, int& exitCode);
// merge, reference ..., examples, export reference
void registerReferenceCommands(CLI::App& app, CLI::App& exportCommand, int& exitCode);
// stats-file, list show
void registerCorpusCommands(CLI::App& app, int& exitCode);
// stats, stats-listing
void registerStatisticsCommands(CLI::App& app, int& exitCode);
// review, batch autocorrect|check
void registerReviewCommands(CLI::App& app, int& exitCode);
// import
void registerInterchangeCommands(CLI::App& app, int& exitCode);
// concordance, collocates
void registerAnalysisCommands(CLI::App& app, int& exitCode);

}  // namespace selvanor::cli
