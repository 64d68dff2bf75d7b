// The uninstaller's guards and its wait, called in-process.
#include <gtest/gtest.h>

#include "failure.h"
#include "own_folder_check.h"
#include "run_and_wait.h"
#include "run_uninstall.h"
#include "vrbdel_test_util.h"

using Names = std::vector<std::string>;

namespace {

std::string WindowsDir() {
  char buffer[MAX_PATH];
  GetWindowsDirectoryA(buffer, sizeof buffer);
  return buffer;
}

std::string ProgramFilesDir() {
  char value[MAX_PATH] = "";
  DWORD size = sizeof value;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                    KEY_READ, &key) == ERROR_SUCCESS) {
    RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
  }
  return value;
}

}  // namespace

TEST(IsSharedFolder, RootsWindowsProgramFilesDesktopAndProgramsButNotAnAppFolder) {
  ScratchDir dir;
  MakeTree(dir.path(), {"Desk Top\\", "Start Programs\\", "My App\\"});
  ScopedShellFolders folders(dir / "Desk Top", dir / "Start Programs\\");
  ASSERT_FALSE(ProgramFilesDir().empty());
  for (const std::string& folder :
       {std::string("C:\\"), std::string("Z:\\"), WindowsDir() + "\\", ProgramFilesDir() + "\\",
        dir / "Desk Top\\", dir / "Start Programs\\"})
    EXPECT_TRUE(IsSharedFolder(ShortLower(folder))) << folder;
  EXPECT_FALSE(IsSharedFolder(ShortLower(dir / "My App\\")));
  EXPECT_TRUE(IsSharedFolder(ShortLower(ProgramFilesDir() + "\\Common Files\\")));
}

TEST(RunAndWait, WaitsUntilTheProcessHasEnded) {
  ScratchDir dir;
  SetEnv("VRB_STUB_LOG", dir / "stub.log");
  SetEnv("VRB_STUB_DELAY_MS", "500");
  FakeBoxes boxes;
  EXPECT_TRUE(RunAndWait("\"" + BinFile("Vrb.exe") + "\" /unregserver"));
  // The stand-in writes its trace only as it ends.
  Names lines = StubLines(dir / "stub.log");
  SetEnv("VRB_STUB_LOG", "");
  SetEnv("VRB_STUB_DELAY_MS", "");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "end");
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST(RunAndWait, AProgramThatCannotStartIsReportedWith4) {
  ScratchDir dir;
  FakeBoxes boxes;
  EXPECT_FALSE(RunAndWait(dir / "\\Vrb.exe /unregserver"));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Windows Error: 4");
}

// A box that fails (no interactive desktop) is no consent: nothing changes.
TEST(RunUninstall, AQuestionThatCannotBeShownChangesNothing) {
  ScratchDir dir;
  MakeTree(dir.path(), {"vrbdel.exe", "Install.Msg", "data.dat", "lib\\", "lib\\x.dat"});
  SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Verbalis 3.0");
  const Names before = TreeNames(dir.path());
  FakeBoxes boxes({0}, ERROR_ACCESS_DENIED);
  RunUninstall(dir / "vrbdel.exe", "Verbalis", "Verbalis");
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Uninstall");
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OKCANCEL));
  EXPECT_EQ(boxes.boxes()[1].caption, "Windows Error: 24");
  EXPECT_EQ(TreeNames(dir.path()), before);
  EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
}

TEST(RunUninstall, AFolderThatCannotBeEnteredFailsBeforeTheQuestion) {
  ScratchDir dir;
  FakeBoxes boxes;
  try {
    RunUninstall(dir / "gone\\vrbdel.exe", "", "");
    ADD_FAILURE() << "no failure raised";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind, FailureKind::InOutError);
    EXPECT_EQ(failure.message, "File not found");  // error 2
  }
  EXPECT_TRUE(boxes.boxes().empty());
}
