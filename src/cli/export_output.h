// Text exports may go to standard output ("-" as the output path). Their outcome
// message then goes to standard error, so that standard output carries only the text.
#pragma once

#include <string_view>

#include "cli/terminal.h"
#include "common/files.h"

namespace selvanor::cli {

// report() for an export into `output`.
inline int reportExport(bool ok, std::string_view utf8, std::string_view output) {
  if (ok && isStandardOutput(output)) {
    printMessage(utf8);
    return kExitOk;
  }
  return report(ok, utf8);
}

}  // namespace selvanor::cli
