// Registry reads against Wine's real registry: types, raw bytes, log lines.
#include <gtest/gtest.h>

#include "failure.h"
#include "folders.h"
#include "registry.h"
#include "startup_log.h"
#include "test_support.h"
#include "text.h"
#include "wrappers.h"

namespace {

const char kTestKey[] = "Software\\VrbTests\\Registry";

class RegistryRead : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteRegTree(HKEY_CURRENT_USER, kTestKey);
    StartLog(dir.path());
  }
  void TearDown() override {
    ReleaseLog();
    DeleteRegTree(HKEY_CURRENT_USER, "Software\\VrbTests");
  }
  std::string Log() { return ReadBytes(dir / "Startup.Log"); }
  std::string Read(const std::string& name, const std::string& key = std::string("\\") + kTestKey) {
    std::string value = "stale";
    ReadRegString(name, key, HKEY_CURRENT_USER, value);
    return value;
  }
  ScratchDir dir;
};

}  // namespace

TEST_F(RegistryRead, StringsAreReadAndLoggedExpandableOnesUnexpanded) {
  SetRegString(HKEY_CURRENT_USER, kTestKey, "InstallPath", "C:\\Program Files\\Verbalis\\");
  SetRegString(HKEY_CURRENT_USER, kTestKey, "Expand", "%WINDIR%\\x", REG_EXPAND_SZ);
  SetRegString(HKEY_CURRENT_USER, kTestKey, "", "default");
  EXPECT_EQ(Read("InstallPath"), "C:\\Program Files\\Verbalis\\");
  EXPECT_EQ(Read("Expand"), "%WINDIR%\\x");
  EXPECT_EQ(Read(""), "default");
  EXPECT_EQ(Log(),
            "Registry Read for Key: InstallPath Value: \"C:\\Program Files\\Verbalis\\\"\r\n"
            "Registry Read for Key: Expand Value: \"%WINDIR%\\x\"\r\n"
            "Registry Read for Key:  Value: \"default\"\r\n");
}

TEST_F(RegistryRead, AKeyPathWithoutLeadingBackslashWorksToo) {
  SetRegString(HKEY_CURRENT_USER, kTestKey, "A", "1");
  EXPECT_EQ(Read("A", kTestKey), "1");
}

TEST_F(RegistryRead, AMissingKeyReadsEmptyAndLogsTheOpenFailure) {
  EXPECT_EQ(Read("InstallPath"), "");
  EXPECT_EQ(Log(), "Registry Open Failed for Key: InstallPath\r\n");
}

TEST_F(RegistryRead, MissingAndEmptyValuesReadEmptyWhateverTheirType) {
  SetRegString(HKEY_CURRENT_USER, kTestKey, "Other", "x");
  HKEY h;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
  RegSetValueExA(h, "EmptyBinary", 0, REG_BINARY, nullptr, 0);
  RegCloseKey(h);
  EXPECT_EQ(Read("Missing"), "");
  EXPECT_EQ(Read("EmptyBinary"), "");
  EXPECT_EQ(Log(),
            "Registry Read for Key: Missing Value: \"\"\r\n"
            "Registry Read for Key: EmptyBinary Value: \"\"\r\n");
}

TEST_F(RegistryRead, ANumberKeepsItsRawBytesAndRaisesInvalidDataType) {
  SetRegDword(HKEY_CURRENT_USER, kTestKey, "DisplayName", 0x00003837);  // "78\0\0"
  std::string value;
  try {
    ReadRegString("DisplayName", std::string("\\") + kTestKey, HKEY_CURRENT_USER, value);
    FAIL() << "nothing raised";
  } catch (const Failure& f) {
    EXPECT_EQ(f.kind, FailureKind::RegistryException);
    EXPECT_EQ(f.message, "Invalid data type for 'DisplayName'");
  }
  EXPECT_EQ(value, std::string("78\0\0", 4));
  EXPECT_EQ(Log(), "");  // nothing logged for a failed read
}

TEST(UninstallKey, IsReadFromTheMachineKeyAndDeletedWithItsSubkeys) {
  DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Verbalis 8.10.0.204");
  SetRegString(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\A\\B\\C", "x", "1");
  SetRegString(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\A\\D", "x", "1");
  SetRegString(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\E", "x", "1");
  SetRegString(HKEY_LOCAL_MACHINE, "Software\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\\Other", "x", "1");
  std::string name;
  ReadUninstallValue("DisplayName", name);
  EXPECT_EQ(name, "Verbalis 8.10.0.204");
  DeleteUninstallKey();
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\\Other"));
  DeleteRegTree(HKEY_LOCAL_MACHINE, "Software\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\\Other");
  DeleteUninstallKey();  // a missing key is no failure
}

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The prefix's real shell folders: put back as they were after the test.
class SavedShellFolders {
 public:
  SavedShellFolders() {
    for (const char* name : {"DeskTop", "Programs"}) {
      char value[MAX_PATH] = "";
      DWORD size = sizeof value;
      bool present = RegGetValueA(HKEY_CURRENT_USER, kShellFolders, name, RRF_RT_REG_SZ, nullptr,
                                  value, &size) == ERROR_SUCCESS;
      saved_.push_back({name, present, value});
    }
  }
  ~SavedShellFolders() {
    for (const Saved& s : saved_) {
      if (s.present) {
        SetRegString(HKEY_CURRENT_USER, kShellFolders, s.name, s.value);
      } else {
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
          RegDeleteValueA(h, s.name.c_str());
          RegCloseKey(h);
        }
      }
    }
  }

 private:
  struct Saved {
    std::string name;
    bool present;
    std::string value;
  };
  std::vector<Saved> saved_;
};

}  // namespace

TEST(ShellFolders, FallBackToTheWindowsFolderWithTheSuffixAsWritten) {
  SavedShellFolders restore;
  SetRegString(HKEY_CURRENT_USER, kShellFolders, "DeskTop", "C:\\Users\\Me\\Desktop");
  SetRegString(HKEY_CURRENT_USER, kShellFolders, "Programs", "");
  EXPECT_EQ(DesktopFolder(), "c:\\users\\me\\desktop\\");
  EXPECT_EQ(ProgramsFolder(), WindowsFolder() + "Start Menu\\Programs\\");
  HKEY h;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
  RegDeleteValueA(h, "DeskTop");
  RegCloseKey(h);
  EXPECT_EQ(DesktopFolder(), "c:\\windows\\Desktop\\");
}

TEST(SystemFolders, AreNormalizedLowerCaseDirectories) {
  EXPECT_EQ(WindowsFolder(), "c:\\windows\\");
  std::string temp = TempFolder();
  EXPECT_EQ(temp, NormalizeDir(temp));
  EXPECT_TRUE(PathExists(temp));
}

TEST(ShortLowerPath, ShortensAnExistingLongPathAndLowersAMissingOne) {
  ScratchDir dir;
  MakeDir(dir / "Long Folder Name");
  std::string shortPath = ShortLowerPath(dir / "Long Folder Name\\");
  char expected[MAX_PATH];
  DWORD n = GetShortPathNameA((dir / "Long Folder Name\\").c_str(), expected, MAX_PATH);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(shortPath, LowerLocale(expected));
  EXPECT_EQ(shortPath.find(' '), std::string::npos);
  EXPECT_EQ(shortPath.back(), '\\');
  EXPECT_EQ(ShortLowerPath("C:\\No Such\\\xC9T\xC9\\"), "c:\\no such\\\xE9t\xE9\\");
}

TEST(ShortLowerPath, AnAnswerLongerThan255CharactersIsAskedForAgain) {
  // Names that are already short keep the short form as long as the path.
  std::string top = "C:\\vrbtests\\sp255";
  RemoveTree(top);
  MakeDir(top);
  std::string path = top + "\\";
  while (path.size() + 9 <= 258) {
    path += "abcdefgh\\";
    MakeDir(path);
  }
  path += std::string(257 - path.size(), 'x') + "\\";
  MakeDir(path);
  ASSERT_GT(path.size(), 255u);
  EXPECT_EQ(ShortLowerPath(path), path.substr(0, 2) == "C:" ? "c:" + path.substr(2) : path);
  RemoveTree(top);
}
