// The documents a batch subcommand works on: a document list (all of it, or the groups
// named with --group) or the paths on the command line.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "lexicon/batch_modification.h"

namespace selvanor::cli {

struct SelectionArgs {
  std::string listFile;
  std::vector<std::string> groups;  // UTF-8 names
  std::vector<std::string> documents;
};

// The documents the arguments select, or the exit code when they select nothing usable.
struct Selection {
  std::vector<batch::BatchDocument> documents;
  int exitCode = 0;
  [[nodiscard]] std::vector<std::string> paths() const;
};

// Prints why and sets exitCode when the arguments are unusable.
[[nodiscard]] Selection selectDocuments(const SelectionArgs& a);

// --list, --group and DOC... on `command`.
void addSelectionOptions(CLI::App& command, SelectionArgs& a);

}  // namespace selvanor::cli
