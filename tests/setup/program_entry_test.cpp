// The program as a whole: the role chosen from its own file name, the
// generic fatal-error report, and DLLs planted beside it.
#include <gtest/gtest.h>

#include <regex>

#include "../setupa/setupa_test_util.h"
#include "test_support.h"

namespace {

const char kQuestion[] =
    "Uninstall|You do not have to uninstall the Verbalis program to install a new version. Do "
    "you wish to uninstall the program? ";
const char kDamaged[] =
    "Check Startup|Verbalis Program install files damaged or missing. Download latest program "
    "from www.verbalis.example and reinstall.";

std::string CopyLauncher(const std::string& dir, const std::string& name) {
  std::string path = dir + name;
  EXPECT_TRUE(CopyFileA(BinFile("Setup.exe").c_str(), path.c_str(), FALSE));
  return path;
}

}  // namespace

TEST(ProgramEntry, TheUninstallerIsChosenByItsFileNameInAnyLetterCase) {
  ScratchDir dir;
  std::string exe = CopyLauncher(dir.path(), "VRBDEL.EXE");
  WriteBytes(dir / "data.dat", "kept");
  BoxRun run = RunProgram(exe, "Group Name", "C");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(BoxSummary(run), std::vector<std::string>{kQuestion});
  EXPECT_EQ(ListNames(dir.path()), (std::vector<std::string>{"VRBDEL.EXE", "data.dat"}));
}

TEST(ProgramEntry, AFolderNamedLikeTheUninstallerOrAnotherNameMeansSetup) {
  ScratchDir dir;
  DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  MakeDir(dir / "vrbdelta");
  // A download folder holding a distribution: Cancel would be the only safe answer
  // if this were taken for the uninstaller.
  MakeDistribution(dir / "vrbdelta\\", kInstallMsg | kCommon801);
  for (const std::string& exe : {CopyLauncher(dir / "vrbdelta\\", "setup.exe"),
                                 CopyLauncher(dir.path(), "remove.exe")}) {
    BoxRun run = RunProgram(exe, "", "O");
    EXPECT_EQ(run.exitCode, 0u) << exe;
    EXPECT_EQ(BoxSummary(run), std::vector<std::string>{kDamaged}) << exe;
  }
  EXPECT_TRUE(PathExists(dir / "vrbdelta\\Install.Msg"));
}

TEST(ProgramEntry, AnUncaughtFailureEndsInTheApplicationErrorBoxWithExitCode1) {
  ScratchDir dir;
  // An installed copy that takes modules, whose module list cannot be written.
  MakeDir(dir / "installed");
  ASSERT_TRUE(CopyFileA(BinFile("Vrb.exe").c_str(), (dir / "installed\\Vrb.Exe").c_str(), FALSE));
  MakeDir(dir / "installed\\AutoLoad.Lst");
  SetUninstallEntry("Verbalis 8.10.0.204", dir / "installed\\");
  MakeDir(dir / "modules");
  WriteBytes(dir / "modules\\Maps801.dat", "module");
  std::string exe = CopyLauncher(dir / "modules\\", "Setup.exe");
  SetEnv("VRB_STUB_LOG", dir / "stub.log");
  BoxRun run = RunProgram(exe, "");
  DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  EXPECT_EQ(run.exitCode, 1u);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].caption, "Application Error");
  std::regex expected("Exception EFCreateError in module Setup\\.exe at [0-9A-F]{8}\\.\n"
                      "Cannot create file " + std::regex_replace(dir.path(), std::regex("\\\\"), "\\\\") +
                      "installed\\\\AutoLoad\\.Lst\\.");
  EXPECT_TRUE(std::regex_match(run.boxes[0].text, expected)) << run.boxes[0].text;
  // The installed copy was not started.
  Sleep(300);
  EXPECT_FALSE(PathExists(dir / "stub.log"));
}

TEST(ProgramEntry, ADllPlantedBesideTheLauncherIsNeverLoaded) {
  ScratchDir dir;
  DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  MakeDistribution(dir.path(), kCompleteWithEx_);
  std::string exe = CopyLauncher(dir.path(), "Setup.exe");
  ASSERT_TRUE(CopyFileA(BinFile("planted\\lz32.dll").c_str(), (dir / "lz32.dll").c_str(), FALSE));
  SetEnv("VRB_PLANTED_MARKER", dir / "planted-dll-was-loaded");
  SetEnv("VRB_STUB_LOG", dir / "stub.log");
  // Wine would take its own LZ32 over any file of that name; make it prefer a
  // file on disk for Setup.exe, as Windows does for a library that is not a known DLL.
  const char appDefaults[] = "Software\\Wine\\AppDefaults\\Setup.exe";
  SetRegString(HKEY_CURRENT_USER, std::string(appDefaults) + "\\DllOverrides", "lz32", "native,builtin");
  BoxRun run = RunProgram(exe, "");
  DeleteRegTree(HKEY_CURRENT_USER, appDefaults);
  std::vector<std::string> started = WaitForStub(dir / "stub.log");
  SetEnv("VRB_PLANTED_MARKER", "");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(BoxSummary(run).empty());
  EXPECT_FALSE(PathExists(dir / "planted-dll-was-loaded"));
  // The system's LZ32 expanded the main program, which then started.
  ASSERT_GE(started.size(), 2u);
  EXPECT_EQ(started[1], "cmdline=" + LauncherTempDir() + "VRB.EXE \"" + ShortLower(dir.path()) + "\"");
  DeleteFileA((LauncherTempDir() + "Vrb.exe").c_str());
}
