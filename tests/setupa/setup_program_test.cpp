// Setup.exe started from distributions under Wine, with the stand-in Vrb.exe
// recording how it was started.
#include <gtest/gtest.h>

#include "file_info.h"
#include "setupa_test_util.h"
#include "wrappers.h"

namespace {

const char kRegistryBox[] = "Setup Error|Error accessing VRB Windows' Registry";

std::string SystemText(DWORD code) {
  char text[256] = "";
  FormatMessageA(0x10FF, nullptr, code, 0, text, 255, nullptr);
  return text;
}

std::string Install(const std::string& source) {
  return source + "VRB.EXE \"" + source + "\"";
}

}  // namespace

class SetupProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    JawsRegistration::Remove();
    MakeDir(dist);
    MakeDir(installDir);
    SetEnv("VRB_STUB_LOG", stubLog);
  }
  void TearDown() override {
    SetEnv("VRB_STUB_LOG", "");
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    JawsRegistration::Remove();
  }
  BoxRun Run(const std::string& launcherDir, const std::string& arguments = "") {
    CopyFileA(BinFile("Setup.exe").c_str(), (launcherDir + "Setup.exe").c_str(), FALSE);
    return RunProgram(launcherDir + "Setup.exe", arguments);
  }
  BoxRun Run() { return Run(dist); }
  // After a silent end: give a start that should not have happened time to show.
  bool NothingStarted() {
    Sleep(1000);
    return !PathExists(stubLog);
  }
  void InstallCopy(const std::string& displayName) {
    ASSERT_TRUE(CopyFileA(BinFile("Vrb.exe").c_str(), (installDir + "Vrb.Exe").c_str(), FALSE));
    SetUninstallEntry(displayName, installDir);
  }

  ScratchDir root;
  std::string dist = root / "dist\\";
  std::string installDir = root / "inst\\";
  std::string stubLog = root / "stub.log";
};

TEST_F(SetupProgram, ACompleteDistributionStartsItsMainProgramAndInstallsTheJawsConfiguration) {
  MakeDistribution(dist, kCompleteWithExe);
  std::string settings = root / "JAWS\\Settings\\";
  MakeDir(root / "JAWS");
  MakeDir(settings);
  MakeDir(settings + "enu");
  MakeDir(settings + "deu");
  WriteBytes(settings + "deu\\Vrb.Jcf", "kept");
  SetLocalWriteTime(settings + "deu\\Vrb.Jcf", 2030, 1, 1);
  JawsRegistration jaws(root / "JAWS\\JConfig.exe %1");

  BoxRun run = Run();
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(BoxSummary(run).empty());
  std::string source = ShortLower(dist);
  EXPECT_EQ(WaitForStub(stubLog),
            (std::vector<std::string>{"start", "cmdline=" + Install(source), "cwd=" + DropLast(source),
                                      "end"}));
  EXPECT_EQ(ReadBytes(settings + "enu\\Vrb.Jcf"), "jaws configuration");
  EXPECT_EQ(GetFileDate(settings + "enu\\Vrb.Jcf"), GetFileDate(dist + "Vrb.Jcf"));
  EXPECT_EQ(ReadBytes(settings + "deu\\Vrb.Jcf"), "kept");
  // The log is started in the new current folder but stays off: an empty file.
  EXPECT_EQ(ReadBytes(dist + "Startup.Log"), "");
}

TEST_F(SetupProgram, ACdWithTheCompressedProgramInVrbWin32ExpandsItIntoTheTemporaryFolder) {
  std::string win32 = dist + "vrb\\win32\\";
  MakeDir(dist + "vrb");
  MakeDir(win32);
  MakeDistribution(win32, kCompleteWithEx_);
  std::string temp = LauncherTempDir();
  DeleteFileA((temp + "Vrb.exe").c_str());
  DeleteFileA((temp + "Startup.Log").c_str());

  BoxRun run = Run();
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(BoxSummary(run).empty());
  EXPECT_EQ(WaitForStub(stubLog),
            (std::vector<std::string>{"start", "cmdline=" + temp + "VRB.EXE \"" + ShortLower(win32) + "\"",
                                      "cwd=" + DropLast(temp), "end"}));
  EXPECT_EQ(ReadBytes(temp + "Vrb.exe"), ReadBytes(BinFile("Vrb.exe")));
  EXPECT_TRUE(PathExists(temp + "Startup.Log"));
  EXPECT_FALSE(PathExists(dist + "Startup.Log"));
  Sleep(200);  // the stand-in has written its trace; let it end before removing it
  DeleteFileA((temp + "Vrb.exe").c_str());
  DeleteFileA((temp + "Startup.Log").c_str());
}

TEST_F(SetupProgram, AnIncompleteDistributionWithoutAnInstalledCopyGetsTheAdvice) {
  MakeDistribution(dist, kCompleteWithExe & ~kInstallMsg);
  BoxRun run = Run();
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(BoxSummary(run),
            std::vector<std::string>{
                "Check Startup|Verbalis Program install files damaged or missing. Download latest "
                "program from www.verbalis.example and reinstall."});
  EXPECT_TRUE(NothingStarted());
  EXPECT_FALSE(PathExists(dist + "Startup.Log"));
}

TEST_F(SetupProgram, AutorunStaysSilentOnlyForTheWordAndACurrentInstalledCopy) {
  MakeDistribution(dist, kCompleteWithExe);
  InstallCopy("Verbalis 8.10.0.204");
  SetLocalWriteTime(dist + "Vrb.Exe", 2020, 5, 4, 10, 0, 0);
  SetLocalWriteTime(installDir + "Vrb.Exe", 2020, 5, 4, 10, 0, 0);

  BoxRun run = Run(dist, "AUTORUN");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(BoxSummary(run).empty());
  EXPECT_TRUE(NothingStarted());
  EXPECT_FALSE(PathExists(dist + "Startup.Log"));

  std::string source = ShortLower(dist);
  run = Run(dist, "/autorun");
  EXPECT_TRUE(BoxSummary(run).empty());
  std::vector<std::string> trace = WaitForStub(stubLog);
  ASSERT_GE(trace.size(), 2u);
  EXPECT_EQ(trace[1], "cmdline=" + Install(source));

  DeleteFileA(stubLog.c_str());
  SetLocalWriteTime(installDir + "Vrb.Exe", 2020, 5, 4, 9, 59, 58);  // two seconds older
  run = Run(dist, "autorun");
  EXPECT_TRUE(BoxSummary(run).empty());
  trace = WaitForStub(stubLog);
  ASSERT_GE(trace.size(), 2u);
  EXPECT_EQ(trace[1], "cmdline=" + Install(source));
}

TEST_F(SetupProgram, AnIncompleteDistributionHandsItsModulesToARecentInstalledCopy) {
  for (const char* name : {"Text1.801", "Atlas101.dat", "Install.801", "COMMON.801", "common2.101",
                           "BetaEng.801", "Lang.801", "language101.txt", "readme.txt"})
    WriteBytes(dist + name, "x");
  MakeDistribution(dist, kVrbEx_);
  MakeDir(dist + "Mods801");
  InstallCopy("Verbalis 8.10.0.204");
  WriteBytes(installDir + "AutoLoad.Lst", "c:\\old.801\r\nc:\\older.801\r\nc:\\oldest.801\r\nx\r\n");

  BoxRun run = Run();
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(BoxSummary(run).empty());

  // The three modules in the order the folder lists them.
  std::string source = ShortLower(dist);
  std::vector<std::string> modules;
  for (const std::string& name : InListingOrder(dist, {"Text1.801", "Atlas101.dat", "Mods801"}))
    modules.push_back(source + LowerLocale(name));
  ASSERT_EQ(modules.size(), 3u);

  std::vector<std::string> expected = {"start", "cmdline=" + installDir + "Vrb.Exe",
                                       "cwd=" + DropLast(installDir)};
  for (const std::string& module : modules) expected.push_back("module=" + module);
  expected.push_back("end");
  EXPECT_EQ(WaitForStub(stubLog), expected);
  EXPECT_EQ(ReadBytes(installDir + "AutoLoad.Lst"),
            modules[0] + "\r\n" + modules[1] + "\r\n" + modules[2] + "\r\n");
  EXPECT_FALSE(PathExists(dist + "Startup.Log"));
}

TEST_F(SetupProgram, NumbersWhereNamesBelongAreReportedAndSetupGoesOn) {
  MakeDistribution(dist, kCompleteWithExe);
  SetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", 8100204);
  SetRegString(HKEY_CLASSES_ROOT, ".jcf", "", "VrbTestJawsConfig");
  SetRegDword(HKEY_CLASSES_ROOT, "VrbTestJawsConfig\\shell\\open\\command", "", 1);

  BoxRun run = Run();
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(BoxSummary(run), (std::vector<std::string>{
                                 kRegistryBox, "Setup Error|Error accessing Jaws Windows' Registry"}));
  std::vector<std::string> trace = WaitForStub(stubLog);
  ASSERT_GE(trace.size(), 2u);
  EXPECT_EQ(trace[1], "cmdline=" + Install(ShortLower(dist)));
}

TEST_F(SetupProgram, AnInstallPathThatIsANumberDoesNotEndAnAutorunStart) {
  MakeDistribution(dist, kCompleteWithExe);
  SetUninstallEntry("Verbalis 8.10.0.204", "");
  SetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallPath", 0x5C3A63);  // "c:\" as bytes

  BoxRun run = Run(dist, "autorun");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(BoxSummary(run), std::vector<std::string>{kRegistryBox});
  std::vector<std::string> trace = WaitForStub(stubLog);
  ASSERT_GE(trace.size(), 2u);
  EXPECT_EQ(trace[1], "cmdline=" + Install(ShortLower(dist)));
}

TEST_F(SetupProgram, AMainProgramThatCannotStartIsReportedTwice) {
  MakeDistribution(dist, kCompleteWithExe);
  // Held open without sharing, the program cannot be loaded.
  HANDLE held = CreateFileA((dist + "Vrb.Exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  BoxRun run = Run();
  CloseHandle(held);
  EXPECT_EQ(run.exitCode, 0u);
  std::vector<std::string> boxes = BoxSummary(run);
  // Wine says "not found"; the table's text names the temporary folder even so.
  EXPECT_EQ(boxes, (std::vector<std::string>{
                       "Windows Error: 36|" + SystemText(ERROR_FILE_NOT_FOUND),
                       "WinExec|2-File was not found. " + LauncherTempDir() + "VRB.EXE"}));
  EXPECT_TRUE(NothingStarted());
}
