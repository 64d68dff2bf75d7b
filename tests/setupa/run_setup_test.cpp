// The setup driver in-process, for what Wine cannot produce: short temporary
// space, start failures other than Wine's, a distribution that goes away.
#include <gtest/gtest.h>

#include "run_setup.h"
#include "setupa_test_util.h"
#include "startup_log.h"
#include "temp_space.h"

namespace {

std::vector<std::string> g_queried;
std::vector<std::string> g_started;
std::string g_vanishing;  // deleted at the free-space query
ULONGLONG g_freeOnC = 0, g_freeElsewhere = 0;

BOOL WINAPI FakeFreeSpace(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total,
                          PULARGE_INTEGER totalFree) {
  g_queried.push_back(root ? root : "<current>");
  if (!g_vanishing.empty()) DeleteFileA(g_vanishing.c_str());
  ULONGLONG bytes = root && root[0] == 'C' ? g_freeOnC : g_freeElsewhere;
  available->QuadPart = total->QuadPart = totalFree->QuadPart = bytes;
  return TRUE;
}

UINT WINAPI OutOfMemoryStart(LPCSTR commandLine, UINT) {
  g_started.push_back(commandLine);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return 8;
}

UINT WINAPI NotFoundStart(LPCSTR commandLine, UINT) {
  g_started.push_back(commandLine);
  SetLastError(ERROR_FILE_NOT_FOUND);
  return 2;
}

std::string SystemText(DWORD code) {
  char text[256] = "";
  FormatMessageA(0x10FF, nullptr, code, 0, text, 255, nullptr);
  return text;
}

const char kWarning[] = "Setup Warning|Warning: 4 Megs of temporary space needed for Setup";

}  // namespace

class TempSpaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_queried.clear();
    g_vanishing.clear();
    Sys().GetDiskFreeSpaceExA = FakeFreeSpace;
  }
  FakeBoxes boxes;
};

TEST_F(TempSpaceTest, AShortDriveFallsBackToCWithoutWarningWhenCHasRoom) {
  g_freeElsewhere = 1024 * 1024;
  g_freeOnC = 10 * 1024 * 1024;
  EXPECT_EQ(EnsureTempSpace("d:\\temp\\"), "c:\\");
  EXPECT_EQ(g_queried, (std::vector<std::string>{"D:\\", "C:\\"}));
  EXPECT_TRUE(boxes.Summary().empty());
}

TEST_F(TempSpaceTest, WarnsAndGoesOnWhenCIsShortToo) {
  g_freeElsewhere = 1024 * 1024;
  g_freeOnC = 4096 * 1024 - 1;  // 4095 KB
  EXPECT_EQ(EnsureTempSpace("d:\\temp\\"), "c:\\");
  EXPECT_EQ(boxes.Summary(), std::vector<std::string>{kWarning});
}

TEST_F(TempSpaceTest, ATempFolderOnCStaysWhereItIs) {
  g_freeOnC = 1024;
  EXPECT_EQ(EnsureTempSpace("c:\\users\\me\\temp\\"), "c:\\users\\me\\temp\\");
  EXPECT_EQ(g_queried, std::vector<std::string>{"C:\\"});
  EXPECT_EQ(boxes.Summary(), std::vector<std::string>{kWarning});
  g_freeOnC = 4096 * 1024;  // exactly 4 MB is enough
  EXPECT_EQ(EnsureTempSpace("c:\\users\\me\\temp\\"), "c:\\users\\me\\temp\\");
  EXPECT_EQ(boxes.Summary().size(), 1u);
}

TEST_F(TempSpaceTest, AFolderWithoutDriveLetterMeasuresTheCurrentDrive) {
  g_freeElsewhere = 8192 * 1024;
  EXPECT_EQ(EnsureTempSpace("\\\\server\\temp\\"), "\\\\server\\temp\\");
  EXPECT_EQ(g_queried, std::vector<std::string>{"<current>"});
}

class RunSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    JawsRegistration::Remove();
    g_started.clear();
    g_queried.clear();
    g_vanishing.clear();
    MakeDistribution(dist.path(), kCompleteWithExe);
  }
  void TearDown() override { ReleaseLog(); }
  ScratchDir dist;
  FakeBoxes boxes;
};

TEST_F(RunSetupTest, AFailedStartIsShownTwiceInTheSystemsWordsAndByTheTable) {
  Sys().WinExec = OutOfMemoryStart;
  RunSetup(dist / "Setup.exe", "");
  std::string source = ShortLower(dist.path());
  EXPECT_EQ(g_started, std::vector<std::string>{source + "VRB.EXE \"" + source + "\""});
  EXPECT_EQ(boxes.Summary(),
            (std::vector<std::string>{
                "Windows Error: 36|" + SystemText(ERROR_NOT_ENOUGH_MEMORY),
                "WinExec|8-There was insufficient memory to start the application."}));
}

TEST_F(RunSetupTest, FileNotFoundNamesTheTemporaryFolderEvenForAProgramOnTheDistribution) {
  Sys().WinExec = NotFoundStart;
  RunSetup(dist / "Setup.exe", "");
  ASSERT_EQ(boxes.Summary().size(), 2u);
  EXPECT_EQ(boxes.Summary()[1], "WinExec|2-File was not found. " + LauncherTempDir() + "VRB.EXE");
}

TEST_F(RunSetupTest, ADistributionThatGoesAwayDuringSetupGetsTheFileCheckBox) {
  Sys().WinExec = OutOfMemoryStart;
  Sys().GetDiskFreeSpaceExA = FakeFreeSpace;
  g_freeOnC = 1ull << 30;
  g_vanishing = dist / "Install.Msg";  // e.g. the CD was taken out
  RunSetup(dist / "Setup.exe", "");
  EXPECT_EQ(boxes.Summary(),
            std::vector<std::string>{
                "FileCheck|Verbalis Program install files damaged or missing. Download latest "
                "copy from www.verbalis.example and reinstall."});
  EXPECT_TRUE(g_started.empty());
  EXPECT_FALSE(PathExists(dist / "Startup.Log"));
}
