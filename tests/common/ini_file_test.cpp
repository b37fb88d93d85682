#include "common/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::writeFile;

TEST(IniFile, RewritesOnlyTheValueAndKeepsEverythingElseByteForByte) {
  test::ScratchDir dir;
  const std::string path = dir.file("selvanor.INI");
  const std::string head = "; hand-written notes\r\n\r\n[Other]\r\nx = 1 ; stays\r\n\r\n";
  writeFile(path, head + "[PATH]\r\n  Program =  old value  \r\nNext=2\r\n\r\n[Tail]\r\nz=9");
  IniFile ini(path);

  ASSERT_TRUE(ini.set("PATH", "Program", "new"));
  EXPECT_EQ(readFile(path), head + "[PATH]\r\n  Program =  new  \r\nNext=2\r\n\r\n[Tail]\r\nz=9");

  // A new key goes after the section's last line, before the blank separator, in CR LF.
  ASSERT_TRUE(ini.set("path", "Added", "3"));
  // A new section goes at the end; the unterminated last line gets its line end first.
  ASSERT_TRUE(ini.set("New", "k", "v"));
  EXPECT_EQ(readFile(path), head +
                                "[PATH]\r\n  Program =  new  \r\nNext=2\r\nAdded=3\r\n\r\n"
                                "[Tail]\r\nz=9\r\n[New]\r\nk=v\r\n");
}

// A lone CR after "=" is trimmed off the value by get(); set() replaces the same bytes
// (found by the settings fuzz target: "K=\rold" became "K=newd" and read back wrong).
TEST(IniFile, SetReplacesExactlyTheValueGetReads) {
  test::ScratchDir dir;
  const std::string path = dir.file("s.INI");
  writeFile(path, "[S]\nK=\rold\nL= \r\t x \n");
  IniFile ini(path);
  EXPECT_EQ(ini.get("S", "K"), "old");
  ASSERT_TRUE(ini.set("S", "K", "new"));
  EXPECT_EQ(ini.get("S", "K"), "new");
  ASSERT_TRUE(ini.set("S", "L", "y"));
  EXPECT_EQ(ini.get("S", "L"), "y");
  EXPECT_EQ(readFile(path), "[S]\nK=\rnew\nL= \r\t y \n");
}

TEST(IniFile, CreatesAMissingFileWithLfAndKeepsAnLfFileLf) {
  test::ScratchDir dir;
  IniFile ini(dir.file("new.INI"));
  EXPECT_FALSE(ini.exists());
  EXPECT_EQ(ini.get("PATH", "a", "dflt"), "dflt");
  ASSERT_TRUE(ini.set("PATH", "a", "1"));
  ASSERT_TRUE(ini.set("PATH", "b", "2"));
  EXPECT_TRUE(ini.exists());
  EXPECT_EQ(readFile(ini.path()), "[PATH]\na=1\nb=2\n");
}

TEST(IniFile, KoreanNamesAreCp949BytesAndOnlyAsciiLettersIgnoreCase) {
  test::ScratchDir dir;
  IniFile ini(dir.file("s.INI"));
  ASSERT_TRUE(ini.set(k("사전이름"), k("동음어"), k("/말뭉치/동음.dic")));
  ASSERT_TRUE(ini.set(k("사전이름"), k("Tag파일"), "tag.txt"));
  EXPECT_EQ(readFile(ini.path()), k("[사전이름]\n동음어=/말뭉치/동음.dic\nTag파일=tag.txt\n"));

  EXPECT_EQ(ini.get(k("사전이름"), k("TAG파일")), "tag.txt");
  // 갂 is 0x81 0x41 and 갵 0x81 0x61: folding the second byte as a letter would merge them.
  ASSERT_TRUE(ini.set(k("갂"), k("갂"), "A"));
  EXPECT_EQ(ini.get(k("갵"), k("갂"), "none"), "none");
  EXPECT_EQ(ini.get(k("갂"), k("갵"), "none"), "none");
  ASSERT_TRUE(ini.set(k("갂"), k("갵"), "a"));
  EXPECT_EQ(ini.get(k("갂"), k("갂")), "A");
  EXPECT_EQ(ini.get(k("갂"), k("갵")), "a");
}

TEST(IniFile, ReadsPrivateProfileLines) {
  test::ScratchDir dir;
  const std::string longValue(200000, 'v');
  writeFile(dir.file("r.INI"),
            "top=before any section\n"
            "[ S ] trailing text\n"
            ";c=comment\n"
            "no equals sign here\n"
            "\t eq =  a=b=c \t\n"
            "empty=\n"
            "dup=first\n"
            "long=" + longValue + "\n"
            "[s]\n"
            "dup=second\n"
            "late=from the repeated section\n"
            "[broken\n"
            "dup=third\n");
  IniFile ini(dir.file("r.INI"));
  EXPECT_EQ(ini.get("S", "eq"), "a=b=c");
  EXPECT_EQ(ini.get("S", "empty", "dflt"), "");
  EXPECT_EQ(ini.get("S", "c", "dflt"), "dflt");
  EXPECT_EQ(ini.get("S", ";c", "dflt"), "dflt");
  EXPECT_EQ(ini.get("S", "top", "dflt"), "dflt");
  EXPECT_EQ(ini.get("S", "dup"), "first");
  EXPECT_EQ(ini.get("S", "late"), "from the repeated section");
  EXPECT_EQ(ini.get("S", "long"), longValue);

  // Writing changes the occurrence that reading sees.
  ASSERT_TRUE(ini.set("s", "DUP", "changed"));
  EXPECT_EQ(ini.get("S", "dup"), "changed");
  EXPECT_NE(readFile(ini.path()).find("dup=second\n"), std::string::npos);
  EXPECT_NE(readFile(ini.path()).find("long=" + longValue + "\n"), std::string::npos);
}

TEST(IniFile, RefusesTextThatWouldNotReadBackAndLeavesTheFile) {
  test::ScratchDir dir;
  const std::string path = dir.file("s.INI");
  writeFile(path, "[A]\r\nk=v\r\n");
  IniFile ini(path);
  EXPECT_FALSE(ini.set("A", "k", "two\nlines"));
  EXPECT_FALSE(ini.set("A", "k", " padded"));
  EXPECT_FALSE(ini.set("A", "k=x", "v"));
  EXPECT_FALSE(ini.set("A]", "k", "v"));
  EXPECT_EQ(readFile(path), "[A]\r\nk=v\r\n");
}

TEST(IniFile, FailedReadOrWriteReportsFalseAndKeepsTheOldFile) {
  test::ScratchDir dir;

  // The folder is gone: nothing to write into.
  std::filesystem::create_directory(dir.file("gone"));
  IniFile inGone(dir.file("gone") + "/s.INI");
  std::filesystem::remove(dir.file("gone"));
  EXPECT_FALSE(inGone.set("A", "k", "v"));

  // Something that cannot be read as a file is never overwritten.
  std::filesystem::create_directory(dir.file("folder.INI"));
  IniFile notAFile(dir.file("folder.INI"));
  EXPECT_EQ(notAFile.get("A", "k", "dflt"), "dflt");
  EXPECT_FALSE(notAFile.set("A", "k", "v"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.INI")));

  // A name at the file-system limit leaves no room for the file written beside it.
  const std::string longName = dir.file(std::string(250, 'n') + ".INI");
  writeFile(longName, "[A]\nk=old\n");
  IniFile atLimit(longName);
  EXPECT_FALSE(atLimit.set("A", "k", "new"));
  EXPECT_EQ(readFile(longName), "[A]\nk=old\n");

  // A read-only folder (root writes anyway, so only as another user).
  if (::geteuid() != 0) {
    std::filesystem::create_directory(dir.file("ro"));
    const std::string roFile = dir.file("ro") + "/s.INI";
    writeFile(roFile, "[A]\nk=old\n");
    ::chmod(dir.file("ro").c_str(), 0555);
    EXPECT_FALSE(IniFile(roFile).set("A", "k", "new"));
    ::chmod(dir.file("ro").c_str(), 0755);
    EXPECT_EQ(readFile(roFile), "[A]\nk=old\n");
  }
}

}  // namespace
}  // namespace selvanor
