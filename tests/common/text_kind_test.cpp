#include "common/text_kind.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;

TEST(TextKind, Cp949AndAsciiArePlausible) {
  EXPECT_EQ(text::classify(""), text::Kind::Cp949);
  EXPECT_EQ(text::classify("S0000010 a a/NN\r\n\t\x1a"), text::Kind::Cp949);
  EXPECT_EQ(text::classify(k("S0000010 먹었다 먹/VV + 었/EP + 다/EF\n")), text::Kind::Cp949);
  // Stray lead bytes and the user-defined area are CP949's own business.
  EXPECT_EQ(text::classify("\xb0/NNG \xc9\xa1\n"), text::Kind::Cp949);
  EXPECT_EQ(text::describeForeignText(k("가나다")), std::nullopt);
  // One stray control byte in a long line is damage for the reader, not a binary file.
  EXPECT_EQ(text::classify(std::string(100, 'a') + "\x1b"), text::Kind::Cp949);
}

TEST(TextKind, RecognisesUnicodeText) {
  EXPECT_EQ(text::classify("S1 \xEB\xA8\xB9 \xEB\xA8\xB9/VV\n"), text::Kind::Utf8);  // 먹
  EXPECT_EQ(text::classify("\xEF\xBB\xBFS1 a a/NN"), text::Kind::Utf8Bom);
  EXPECT_EQ(text::classify("\xFF\xFES\0001\0"), text::Kind::Utf16Le);
  EXPECT_EQ(text::classify(std::string("\xFE\xFF\0S", 4)), text::Kind::Utf16Be);
  EXPECT_EQ(text::classify(std::string("S\0001\0 \0a\0", 8)), text::Kind::Utf16Le);
  EXPECT_EQ(text::classify(std::string("\0S\0001\0 \0a", 8)), text::Kind::Utf16Be);
  // A sequence cut by the end of a sample counts only when the sample is a file's start.
  EXPECT_EQ(text::classify("a\xEB\xA8\xB9\xEB\xA8", true), text::Kind::Utf8);
  EXPECT_EQ(text::classify("a\xEB\xA8\xB9\xEB\xA8", false), text::Kind::Cp949);
  EXPECT_EQ(*text::describeForeignText("\xEB\xA8\xB9"),
            "UTF-8로 된 파일로 보입니다. CP949로 바꾸어 주십시오.");
}

TEST(TextKind, RecognisesBinaryFiles) {
  EXPECT_EQ(text::classify(std::string(16, '\0')), text::Kind::Binary);
  EXPECT_EQ(text::classify(std::string("ab\0\0cd", 6)), text::Kind::Binary);
  EXPECT_EQ(text::classify("\x01\x02\x03\x04\x05\x06\x07\x08\x0e\x0f abc"), text::Kind::Binary);
  EXPECT_EQ(text::classify("\x1b]0;title\x07 \x1b[2J"), text::Kind::Cp949);  // a few: damage
  EXPECT_NE(text::describeForeignText(std::string(1, '\0')), std::nullopt);
}

TEST(TextKind, FilesAreJudgedByTheirStart) {
  test::ScratchDir dir;
  test::writeFile(dir.file("u.txt"), "\xEF\xBB\xBFS1 a a/NN\n");
  test::writeFile(dir.file("c.txt"), k("S1 가 가/NNG\n"));
  EXPECT_EQ(*text::describeForeignFile(dir.file("u.txt")),
            "UTF-8(BOM 있음)로 된 파일로 보입니다. CP949로 바꾸어 주십시오.");
  EXPECT_EQ(text::describeForeignFile(dir.file("c.txt")), std::nullopt);
  EXPECT_EQ(text::describeForeignFile(dir.file("missing.txt")), std::nullopt);
  // A long UTF-8 file cut inside a character at the sample's end is still UTF-8.
  std::string longUtf8 = "\xEB\xA8\xB9" + std::string(text::kSampleBytes - 4, 'a');
  longUtf8 += "\xEB\xA8\xB9";
  test::writeFile(dir.file("long.txt"), longUtf8);
  EXPECT_NE(text::describeForeignFile(dir.file("long.txt")), std::nullopt);
  EXPECT_EQ(text::withHint("a.", "b"), "a. b");
  EXPECT_EQ(text::withHint("a.", ""), "a.");
}

}  // namespace
}  // namespace selvanor
