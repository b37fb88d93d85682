// Running selvanor-cli from the tests: exit code, standard output and standard error.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/test_support.h"

namespace selvanor {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class Cli : public ::testing::Test {
 protected:
  CliRun run(const std::string& args) {
    const std::string cmd = std::string("'") + SELVANOR_CLI + "' " + args + " >'" +
                            dir.file("stdout") + "' 2>'" + dir.file("stderr") + "' </dev/null";
    const int status = std::system(cmd.c_str());
    CliRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = test::readFile(dir.file("stdout"));
    r.err = test::readFile(dir.file("stderr"));
    return r;
  }
  std::string q(const std::string& name) { return "'" + dir.file(name) + "'"; }

  test::ScratchDir dir;
};

}  // namespace selvanor
