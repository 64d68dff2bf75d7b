// The JAWS configuration copy and its trace in Startup.Log.
#include <gtest/gtest.h>

#include "failure.h"
#include "file_info.h"
#include "jaws_config.h"
#include "setupa_test_util.h"
#include "startup_log.h"

class JawsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    JawsRegistration::Remove();
    MakeDir(root / "Program Files");
    MakeDir(jaws);
    MakeDir(settings);
    MakeDir(source);
    WriteBytes(source + "Vrb.Jcf", "configuration");
    SetLocalWriteTime(source + "Vrb.Jcf", 2021, 3, 4, 5, 6, 8);
    MakeDir(logDir);
    StartLog(logDir);
  }
  void TearDown() override {
    ReleaseLog();
    JawsRegistration::Remove();
  }
  std::vector<std::string> Log() { return FileLines(logDir + "Startup.Log"); }
  // The command as JAWS registers it, for a folder with a blank in it.
  std::string Command() { return jaws + "JConfig.exe %1"; }

  ScratchDir root;
  std::string jaws = root / "Program Files\\JAWS\\";
  std::string settings = jaws + "Settings\\";
  std::string source = root / "dist\\";
  std::string logDir = root / "log\\";
};

TEST_F(JawsTest, NotInstalledIsOneLineAndNoBox) {
  FakeBoxes boxes;
  InstallJawsConfig(source);
  EXPECT_EQ(Log(), std::vector<std::string>{"  JAWS: Not Installed"});
  EXPECT_FALSE(JawsConfigRegistered());
  EXPECT_TRUE(boxes.Summary().empty());
}

TEST_F(JawsTest, AnEmptyFileTypeOrNoCommandKeyEndsQuietly) {
  SetRegString(HKEY_CLASSES_ROOT, ".jcf", "Other", "value");  // no default value
  InstallJawsConfig(source);
  EXPECT_TRUE(JawsConfigRegistered());
  SetRegString(HKEY_CLASSES_ROOT, ".jcf", "", "VrbTestJawsConfig");
  InstallJawsConfig(source);
  EXPECT_EQ(Log(), (std::vector<std::string>{"  JAWS: Config File Type = \"\"",
                                             "  JAWS: Config File Type = \"VrbTestJawsConfig\""}));
}

TEST_F(JawsTest, CopiesIntoEverySettingsFolderLackingACurrentCopy) {
  JawsRegistration registration(Command());
  MakeDir(settings + "a");
  MakeDir(settings + "b");
  MakeDir(settings + "c");
  WriteBytes(settings + "readme.txt", "x");
  WriteBytes(settings + "b\\Vrb.Jcf", "newer");
  SetLocalWriteTime(settings + "b\\Vrb.Jcf", 2022, 1, 1);
  MakeDir(settings + "c\\Vrb.Jcf");  // a folder in the way: the copy is refused

  InstallJawsConfig(source);

  std::vector<std::string> expected = {
      "  JAWS: Config File Type = \"VrbTestJawsConfig\"",
      "  JAWS: Command Path = \"" + Command() + "\"",
      "  JAWS: Settings Path = " + settings,
  };
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((settings + "*.*").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do {
    std::string name = data.cFileName;
    expected.push_back("  JAWS: Settings Directory " + name);
    std::string target = settings + name + "\\Vrb.Jcf";
    if (name == "a") expected.push_back("  JAWS: Installing in " + target);
    if (name == "b") expected.push_back("  JAWS: Already Installed in " + target);
    if (name == "c") expected.push_back("  JAWS: Copy failed to " + target);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  EXPECT_EQ(Log(), expected);

  EXPECT_EQ(ReadBytes(settings + "a\\Vrb.Jcf"), "configuration");
  EXPECT_EQ(GetFileDate(settings + "a\\Vrb.Jcf"), GetFileDate(source + "Vrb.Jcf"));
  EXPECT_EQ(ReadBytes(settings + "b\\Vrb.Jcf"), "newer");
  EXPECT_FALSE(PathExists(settings + "readme.txt\\Vrb.Jcf"));
}

TEST_F(JawsTest, ASecondRunFindsTheCopiesCurrent) {
  JawsRegistration registration(Command());
  MakeDir(settings + "a");
  InstallJawsConfig(source);
  InstallJawsConfig(source);
  std::vector<std::string> log = Log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "  JAWS: Already Installed in " + settings + "a\\Vrb.Jcf");
  // An older copy is replaced.
  SetLocalWriteTime(settings + "a\\Vrb.Jcf", 2021, 3, 4, 5, 6, 6);
  InstallJawsConfig(source);
  EXPECT_EQ(Log().back(), "  JAWS: Installing in " + settings + "a\\Vrb.Jcf");
}

TEST_F(JawsTest, AQuotedCommandGivesAQuotedPathThatListsNothing) {
  JawsRegistration registration("\"" + jaws + "jconfig.exe\" \"%1\"");
  MakeDir(settings + "a");
  InstallJawsConfig(source);
  EXPECT_EQ(Log().size(), 3u);
  EXPECT_EQ(Log().back(), "  JAWS: Settings Path = \"" + settings);
  EXPECT_FALSE(PathExists(settings + "a\\Vrb.Jcf"));
}

TEST_F(JawsTest, ACommandWithoutTheMarkerStopsAfterItsLine) {
  JawsRegistration registration("jconfig.exe %1");
  InstallJawsConfig(source);
  EXPECT_EQ(Log().size(), 2u);
}

TEST_F(JawsTest, ACommandStoredAsANumberRaisesAfterTheFileTypeLine) {
  SetRegString(HKEY_CLASSES_ROOT, ".jcf", "", "VrbTestJawsConfig");
  SetRegDword(HKEY_CLASSES_ROOT, "VrbTestJawsConfig\\shell\\open\\command", "", 7);
  try {
    InstallJawsConfig(source);
    FAIL() << "no failure raised";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind, FailureKind::RegistryException);
    EXPECT_EQ(failure.message, "Invalid data type for ''");
  }
  EXPECT_EQ(Log(), std::vector<std::string>{"  JAWS: Config File Type = \"VrbTestJawsConfig\""});
  EXPECT_TRUE(JawsConfigRegistered());
}
