#include "app_core/settings.h"

#include "app_core/install_layout.h"

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

const auto kWritable = [](const std::string&) { return true; };

TEST(StartupPaths, SettingsFileIsTheExecutablePathWithIni) {
  StartupPaths p = computeStartupPaths("/opt/selvanor/bin/selvanor", "/home/u", kWritable, "/cfg");
  EXPECT_EQ(p.programFolder, "/opt/selvanor/bin/");
  EXPECT_EQ(p.settingsFile, "/opt/selvanor/bin/selvanor.INI");
  EXPECT_EQ(p.documentFolder, "/opt/selvanor/bin/분석문헌/");

  EXPECT_EQ(computeStartupPaths("/opt/sel/selvanor.exe", "/", kWritable, "").settingsFile,
            "/opt/sel/selvanor.INI");
  // Only a dot in the file name is an extension.
  EXPECT_EQ(computeStartupPaths("/opt/v2.0/selvanor", "/", kWritable, "").settingsFile,
            "/opt/v2.0/selvanor.INI");
  // A relative executable path is taken from the working directory.
  p = computeStartupPaths("bin/selvanor", "/home/u/", kWritable, "");
  EXPECT_EQ(p.programFolder, "/home/u/bin/");
  EXPECT_EQ(p.settingsFile, "/home/u/bin/selvanor.INI");
}

TEST(StartupPaths, UnwritableProgramFolderUsesTheUserConfigFolder) {
  std::string asked;
  const StartupPaths p = computeStartupPaths(
      "/usr/lib/selvanor/selvanor", "/home/u",
      [&](const std::string& folder) {
        asked = folder;
        return false;
      },
      "/home/u/.config/Selvanor");
  EXPECT_EQ(asked, "/usr/lib/selvanor/");
  EXPECT_EQ(p.settingsFile, "/home/u/.config/Selvanor/selvanor.INI");
  // The program folder still names where the program's own files are.
  EXPECT_EQ(p.programFolder, "/usr/lib/selvanor/");
  EXPECT_EQ(p.documentFolder, "/usr/lib/selvanor/분석문헌/");
}

class SettingsFile : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  std::string programFolder = dir.path() + "/셀바노르/";
  std::string workingDirectory = dir.path() + "/작업";

  void SetUp() override {
    std::filesystem::create_directory(programFolder);
    std::filesystem::create_directory(workingDirectory);
  }
  StartupPaths start() {
    return computeStartupPaths(programFolder + "selvanor", workingDirectory, folderIsWritable, "");
  }
};

TEST_F(SettingsFile, FirstStartInAFreshFolderWritesThePathSection) {
  const StartupPaths paths = start();
  Settings settings(paths.settingsFile);
  EXPECT_FALSE(settings.exists());
  ASSERT_TRUE(settings.writeStartupPaths(paths.programFolder, paths.documentFolder));

  EXPECT_EQ(readFile(paths.settingsFile),
            "[PATH]\n" + k("프로그램=" + programFolder + "\n분석문헌=" + programFolder + "분석문헌/\n"));
  EXPECT_EQ(settings.programFolder(), programFolder);
  EXPECT_EQ(settings.documentFolder(), programFolder + "분석문헌/");

  const WorkingContext c = loadWorkingContext(settings, workingDirectory);
  EXPECT_EQ(c.tagFile, programFolder + "tag.txt");
  EXPECT_EQ(c.documentListFile, workingDirectory + "/dblist.dat");
  EXPECT_EQ(c.homonymDictionary, "");
  EXPECT_EQ(c.unregisteredDictionary, "");
  EXPECT_EQ(c.referenceFile, "");
}

TEST_F(SettingsFile, DocumentListComesFromTheWorkingDirectoryAndTagsFromTheProgramFolder) {
  const StartupPaths paths = start();
  writeFile(paths.settingsFile, k("[PATH]\r\n프로그램=/old/place/\r\n"
                                  "[사전이름]\r\nTag파일=태그.txt\r\nDbList=목록.dat\r\n"
                                  "동음어=/사전/동음.dic\r\n미등재어=") +
                                 "\xFF\xFF\r\n");
  Settings settings(paths.settingsFile);
  // Every start rewrites [PATH], so a moved program folder is picked up.
  ASSERT_TRUE(settings.writeStartupPaths(paths.programFolder, paths.documentFolder));

  const WorkingContext c = loadWorkingContext(settings, workingDirectory);
  EXPECT_EQ(c.tagFile, programFolder + "태그.txt");
  EXPECT_EQ(c.documentListFile, workingDirectory + "/목록.dat");
  EXPECT_EQ(c.homonymDictionary, "/사전/동음.dic");
  EXPECT_EQ(c.unregisteredDictionary, "");  // not CP949: no path rather than a wrong one
  EXPECT_EQ(c.currentDocument, "");
}

TEST_F(SettingsFile, DialogWritesAllThreeDictionaryKeysInOrder) {
  const std::string file = start().settingsFile;
  writeFile(file, k("[사전이름]\nTag파일=tag.txt\n\n[폰트]\n크기=20\n"));
  Settings settings(file);
  ASSERT_TRUE(settings.writeDictionaryPaths("/d/미등재.mdj", "", ""));
  const std::string expected = k("[사전이름]\nTag파일=tag.txt\n미등재어=/d/미등재.mdj\n동음어=\n참조파일=\n\n"
                                 "[폰트]\n크기=20\n");
  EXPECT_EQ(readFile(file), expected);

  // Only the homonym path changed: the other two are written again, in place.
  ASSERT_TRUE(settings.writeDictionaryPaths("/d/미등재.mdj", "/d/동음.dic", ""));
  EXPECT_EQ(readFile(file), k("[사전이름]\nTag파일=tag.txt\n미등재어=/d/미등재.mdj\n동음어=/d/동음.dic\n"
                              "참조파일=\n\n[폰트]\n크기=20\n"));
  EXPECT_EQ(settings.homonymDictionary(), "/d/동음.dic");
  EXPECT_EQ(settings.referenceFile(), "");
}

TEST_F(SettingsFile, GridFontFallsBackFieldByField) {
  const std::string file = start().settingsFile;
  Settings settings(file);
  GridFont f = settings.gridFont();
  EXPECT_EQ(f.face, "신명조체");
  EXPECT_EQ(f.height, 16);
  EXPECT_EQ(f.weight, 600);

  writeFile(file, k("[폰트]\n크기=abc\n이름=나눔명조\n진하기=7OO\n"));
  f = settings.gridFont();
  EXPECT_EQ(f.face, "나눔명조");
  EXPECT_EQ(f.height, 16);
  EXPECT_EQ(f.weight, 600);

  writeFile(file, k("[폰트]\n크기= 20 \n진하기=1200\n"));
  f = settings.gridFont();
  EXPECT_EQ(f.height, 20);
  EXPECT_EQ(f.weight, 600);  // beyond the 0-1000 weight scale

  writeFile(file, k("[폰트]\n크기=99999999999\n진하기=400\n"));
  f = settings.gridFont();
  EXPECT_EQ(f.height, 16);
  EXPECT_EQ(f.weight, 400);
}

TEST_F(SettingsFile, PathCp949CannotHoldIsRefusedWithoutWriting) {
  const std::string file = start().settingsFile;
  Settings settings(file);
  EXPECT_FALSE(settings.writeStartupPaths("/opt/😀/", "/opt/😀/분석문헌/"));
  EXPECT_FALSE(settings.exists());

  writeFile(file, "[PATH]\r\n");
  // The bad path is the last one: the two before it must not be written either.
  EXPECT_FALSE(settings.writeDictionaryPaths("/d/a.mdj", "/d/a.dic", "/d/•.idx"));
  EXPECT_EQ(readFile(file), "[PATH]\r\n");
}

TEST(InstallLayout, SharedFolderSitsBesideTheBinFolderOfAnInstalledProgram) {
  EXPECT_EQ(sharedDataFolder("/usr/bin/"), "/usr/share/selvanor/");
  EXPECT_EQ(sharedDataFolder("/usr/local/bin"), "/usr/local/share/selvanor/");
  EXPECT_EQ(sharedDataFolder("/bin/"), "/share/selvanor/");
  EXPECT_EQ(sharedDataFolder("/home/u/build/bin2/"), "");
  EXPECT_EQ(sharedDataFolder("/home/u/workspace/"), "");
  EXPECT_EQ(sharedDataFolder(""), "");

  // Installed only when the share folder holds the bundled tag file.
  test::ScratchDir dir;
  std::filesystem::create_directories(dir.path() + "/prefix/bin");
  EXPECT_EQ(installedDataFolder(dir.path() + "/prefix/bin/"), "");
  std::filesystem::create_directories(dir.path() + "/prefix/share/selvanor");
  writeFile(dir.path() + "/prefix/share/selvanor/tag.txt", "");
  EXPECT_EQ(installedDataFolder(dir.path() + "/prefix/bin/"), dir.path() + "/prefix/share/selvanor/");
}

TEST_F(SettingsFile, TagFileIsTheUsersThenBesideTheProgramThenTheSharedOne) {
  const StartupPaths paths = start();
  Settings settings(paths.settingsFile);
  ASSERT_TRUE(settings.writeStartupPaths(paths.programFolder, paths.documentFolder));
  const std::string user = dir.path() + "/설정";
  const std::string shared = dir.path() + "/share/";
  std::filesystem::create_directory(user);
  std::filesystem::create_directory(shared);
  const TagFileFolders folders{user, shared};

  // None holds it: the program folder's path, which the message then names.
  EXPECT_EQ(loadWorkingContext(settings, workingDirectory, folders).tagFile, programFolder + "tag.txt");
  writeFile(shared + "tag.txt", "");
  EXPECT_EQ(loadWorkingContext(settings, workingDirectory, folders).tagFile, shared + "tag.txt");
  writeFile(programFolder + "tag.txt", "");
  EXPECT_EQ(loadWorkingContext(settings, workingDirectory, folders).tagFile, programFolder + "tag.txt");
  writeFile(user + "/tag.txt", "");
  EXPECT_EQ(loadWorkingContext(settings, workingDirectory, folders).tagFile, user + "/tag.txt");
  // An absolute Tag파일 is used as it stands, held or not.
  writeFile(paths.settingsFile, readFile(paths.settingsFile) + k("[사전이름]\nTag파일=/없는/태그.txt\n"));
  EXPECT_EQ(loadWorkingContext(settings, workingDirectory, folders).tagFile, "/없는/태그.txt");
}

TEST_F(SettingsFile, FailedWriteReportsFalseAndKeepsTheOldFile) {
  const StartupPaths paths = start();
  Settings settings(paths.settingsFile);
  std::filesystem::remove_all(programFolder);
  EXPECT_FALSE(settings.writeStartupPaths(paths.programFolder, paths.documentFolder));
  EXPECT_FALSE(settings.writeDictionaryPaths("/a.mdj", "/a.dic", "/a.idx"));
  EXPECT_EQ(loadWorkingContext(settings, workingDirectory).tagFile, "tag.txt");

  // A name at the file-system limit leaves no room for the file written beside it.
  const std::string atLimit = dir.file(std::string(250, 's') + ".INI");
  writeFile(atLimit, "[PATH]\n");
  EXPECT_FALSE(Settings(atLimit).writeDictionaryPaths("/a.mdj", "/a.dic", "/a.idx"));
  EXPECT_EQ(readFile(atLimit), "[PATH]\n");

  if (::geteuid() != 0) {  // root writes into read-only folders
    std::filesystem::create_directory(programFolder);
    writeFile(paths.settingsFile, "[PATH]\n");
    ::chmod(programFolder.c_str(), 0555);
    EXPECT_FALSE(settings.writeDictionaryPaths("/a.mdj", "/a.dic", "/a.idx"));
    ::chmod(programFolder.c_str(), 0755);
    EXPECT_EQ(readFile(paths.settingsFile), "[PATH]\n");
  }
}

}  // namespace
}  // namespace selvanor
