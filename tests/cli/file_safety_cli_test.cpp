// Where the command line's outputs land: standard output for "-", through links, never
// over what is not a regular file; and what killed runs left behind is removed.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "cli_fixture.h"
#include "common/files.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;

class CliOutputs : public Cli {
 protected:
  void SetUp() override {
    // Three lines: serial numbers are recognised by the first three.
    writeFile(dir.file("in.txt"), k("TESTDOC0000010 책을 책/NNG+을/JKO\n"
                                    "TESTDOC0000020 책을 책/NNG+을/JKO\n"
                                    "TESTDOC0000030 책을 책/NNG+을/JKO\n"));
    ASSERT_EQ(run("build " + q("in.txt") + " " + q("in.id")).exitCode, 0);
  }
  const std::string text = k("TESTDOC0000010\t책을\t책/NNG + 을/JKO\n"
                             "TESTDOC0000020\t책을\t책/NNG + 을/JKO\n"
                             "TESTDOC0000030\t책을\t책/NNG + 을/JKO\n");
};

TEST_F(CliOutputs, DashExportsToStandardOutputAndOnlyTheText) {
  const CliRun r = run("export document " + q("in.id") + " -");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, text);
  EXPECT_NE(r.err.find("분석 문헌을 텍스트로 저장했습니다."), std::string::npos) << r.err;
  EXPECT_FALSE(fileExists(dir.file("-")));
  EXPECT_EQ(run("export reference " + q("in.id") + " -").exitCode, 1);  // not a reference file
  ASSERT_EQ(run("reference build " + q("in.id")).exitCode, 0);
  const CliRun ref = run("export reference " + q("in.idx") + " -");
  EXPECT_EQ(ref.exitCode, 0) << ref.err;
  EXPECT_EQ(ref.out, text);
}

TEST_F(CliOutputs, ExportWritesThroughALinkAndRefusesAFifo) {
  writeFile(dir.file("real.txt"), "old");
  ASSERT_EQ(::symlink("real.txt", dir.file("link.txt").c_str()), 0);
  CliRun r = run("export document " + q("in.id") + " " + q("link.txt"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(dir.file("real.txt")), text);
  struct stat st {};
  ASSERT_EQ(::lstat(dir.file("link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));

  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
  r = run("export document " + q("in.id") + " " + q("pipe"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
  ASSERT_EQ(::lstat(dir.file("pipe").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// The id of a process that has ended (a child that exited and was reaped).
pid_t endedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

TEST_F(CliOutputs, LeftoversOfKilledRunsAreRemoved) {
  const std::string dead = std::to_string(endedProcess());
  // A killed build's temporary beside its output goes when the output is built again.
  writeFile(dir.file("in.id.new-" + dead + "-0"), "half a document");
  ASSERT_EQ(run("build " + q("in.txt") + " " + q("in.id")).exitCode, 0);
  EXPECT_FALSE(fileExists(dir.file("in.id.new-" + dead + "-0")));
  // A killed reference build's scratch folder goes at the next start.
  const std::string scratch = dir.file("selvanor-reference-" + dead + "-Ab12Cd");
  ASSERT_EQ(::mkdir(scratch.c_str(), 0700), 0);
  writeFile(scratch + "/run-0", "runs");
  const char* previous = std::getenv("TMPDIR");
  const std::string saved = previous ? previous : "";
  ::setenv("TMPDIR", dir.path().c_str(), 1);
  const CliRun r = run("--version");
  previous ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_FALSE(fileExists(scratch));
}

}  // namespace
}  // namespace selvanor
