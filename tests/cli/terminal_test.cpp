// The terminal side of selvanor-cli: control bytes escaped, exceptions stopped at the edge.
#include "cli/terminal.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "cli_fixture.h"
#include "common/encoding.h"

namespace selvanor {
namespace {

TEST(TerminalText, ControlBytesAreShownEscaped) {
  EXPECT_EQ(cli::escapeControls(std::string("a\0b", 3)), "a\\x00b");
  EXPECT_EQ(cli::escapeControls("\x1b[31mred\x1b[0m"), "\\x1b[31mred\\x1b[0m");
  EXPECT_EQ(cli::escapeControls("x\ry\x7f\x01\x1f"), "x\\x0dy\\x7f\\x01\\x1f");
  EXPECT_EQ(cli::escapeControls("\xC2\x9B" "2J"), "\\u009b2J");  // C1 CSI
  // Tabs and line feeds lay results out; Hangul and other text are kept as they are.
  EXPECT_EQ(cli::escapeControls("S1\t하나\n\xC2\xA0"), "S1\t하나\n\xC2\xA0");
}

TEST(TerminalText, EchoedFieldsAreCut) {
  const std::string field(1000000, 'x');
  const std::string shown = encoding::cp949Excerpt(field);
  EXPECT_EQ(shown, std::string(200, 'x') + "\xE2\x80\xA6");
  EXPECT_EQ(encoding::cp949Excerpt("short"), "short");
  // Never inside a character.
  std::string hangul;
  for (int i = 0; i < 300; ++i) hangul += "\xB0\xA1";  // 가
  const std::string cut = encoding::cp949Excerpt(hangul);
  std::string expected;
  for (int i = 0; i < 200; ++i) expected += "가";
  EXPECT_EQ(cut, expected + "…");
}

TEST(TerminalBoundary, EscapingExceptionsBecomeAMessageAndExitOne) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(cli::runGuarded([]() -> int { throw std::bad_alloc(); }), cli::kExitFailed);
  EXPECT_EQ(cli::runGuarded([]() -> int { throw std::out_of_range("basic_string::substr"); }),
            cli::kExitFailed);
  EXPECT_EQ(cli::runGuarded([]() -> int { throw 42; }), cli::kExitFailed);
  EXPECT_EQ(cli::runGuarded([] { return cli::kExitUsage; }), cli::kExitUsage);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("메모리가 모자라"), std::string::npos) << err;
  EXPECT_NE(err.find("예기치 못한 오류로 작업을 마치지 못했습니다: basic_string::substr"),
            std::string::npos) << err;
}

// From the outside: exit codes are 1, never a signal, and the terminal sees no raw
// control byte from a file.
TEST_F(Cli, EndlessOrBinaryTagFilesFailCleanly) {
  const CliRun zero = run("tags /dev/zero");
  EXPECT_EQ(zero.exitCode, 1) << zero.err;
  EXPECT_NE(zero.err.find("이진 파일"), std::string::npos) << zero.err;
  test::writeFile(dir.file("empty.txt"), "");
  const CliRun empty = run("tags " + q("empty.txt"));
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_NE(empty.err.find("태그 파일이 비어 있습니다"), std::string::npos) << empty.err;
}

TEST_F(Cli, ControlBytesFromFilesReachTheTerminalEscaped) {
  test::writeFile(dir.file("list.txt"), "1group\x1b]0;title\x07\n2/tmp/a\x1b[2J.id\n");
  const CliRun r = run("list show " + q("list.txt"));
  EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find('\x07'), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("group\\x1b]0;title\\x07"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("/tmp/a\\x1b[2J.id"), std::string::npos) << r.out;
}

TEST_F(Cli, AHugeFirstFieldIsEchoedCut) {
  std::string text(1000000, 'S');
  text += "\n";
  test::writeFile(dir.file("in.txt"), text + text + text);
  const CliRun r = run("build " + q("in.txt") + " " + q("out.id"));
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_LT(r.err.size(), 2000u);
  EXPECT_NE(r.err.find("…] 일련번호에서 형식오류가 발생했습니다."), std::string::npos) << r.err;
}

}  // namespace
}  // namespace selvanor
