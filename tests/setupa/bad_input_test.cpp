// Hostile input to setup mode: what the user sees and what is left behind.
#include <gtest/gtest.h>

#include <algorithm>

#include "file_info.h"
#include "jaws_config.h"
#include "setupa_test_util.h"
#include "startup_log.h"

namespace {

constexpr size_t kAbsurd = 100000;

// The disk fills up during the first block the copy writes and has room
// again afterwards; the log's own small writes are not touched.
int g_blocks = 0;
BOOL WINAPI FirstBlockHitsAFullDisk(HANDLE h, LPCVOID data, DWORD size, LPDWORD put,
                                    LPOVERLAPPED overlapped) {
  if (size == 16384 && ++g_blocks == 1) {
    *put = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  return WriteFile(h, data, size, put, overlapped);
}

}  // namespace

class BadInputProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    JawsRegistration::Remove();
    MakeDir(dist);
    MakeDistribution(dist, kCompleteWithExe);
    CopyFileA(BinFile("Setup.exe").c_str(), (dist + "Setup.exe").c_str(), FALSE);
    SetEnv("VRB_STUB_LOG", stubLog);
  }
  void TearDown() override {
    SetEnv("VRB_STUB_LOG", "");
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  }
  BoxRun Run(const std::string& arguments = "") {
    DeleteFileA(stubLog.c_str());
    return RunProgram(dist + "Setup.exe", arguments);
  }
  // The main program was started for an installation from the distribution.
  bool MainProgramStarted() {
    std::vector<std::string> trace = WaitForStub(stubLog);
    std::string source = ShortLower(dist);
    return trace.size() >= 2 && trace[1] == "cmdline=" + source + "VRB.EXE \"" + source + "\"";
  }

  ScratchDir root;
  std::string dist = root / "dist\\";
  std::string stubLog = root / "stub.log";
};

// A distribution on a read-only medium. Wine running as root writes through
// read-only attributes, so two things stand in for the medium: a folder
// named Startup.Log (the file cannot be created), and a Startup.Log that
// another program holds open for reading only (it can be read, not rewritten).
// Either way logging stays off without a word and setup goes on.
TEST_F(BadInputProgram, AStartupLogThatCannotBeWrittenIsSkippedSilently) {
  MakeDir(dist + "Startup.Log");
  std::vector<std::string> before = ListNames(dist);
  BoxRun run = Run();
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(BoxSummary(run).empty());
  EXPECT_TRUE(MainProgramStarted());
  EXPECT_EQ(GetFileAttributesA((dist + "Startup.Log").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(ListNames(dist), before);

  RemoveTree(dist + "Startup.Log");
  WriteBytes(dist + "Startup.Log", "an earlier trace\r\n");
  HANDLE held = CreateFileA((dist + "Startup.Log").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  run = Run();
  CloseHandle(held);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(BoxSummary(run).empty());
  EXPECT_TRUE(MainProgramStarted());
  EXPECT_EQ(ReadBytes(dist + "Startup.Log"), "an earlier trace\r\n");
}

// With a current installed copy only the word "autorun" ends a start silently;
// an empty argument, or one past the 4096-character limit, is an ordinary start.
TEST_F(BadInputProgram, EmptyAndOverlongArgumentsAreOrdinaryStarts) {
  std::string installDir = root / "inst\\";
  MakeDir(installDir);
  ASSERT_TRUE(CopyFileA(BinFile("Vrb.exe").c_str(), (installDir + "Vrb.Exe").c_str(), FALSE));
  SetUninstallEntry("Verbalis 8.10.0.204", installDir);
  SetLocalWriteTime(dist + "Vrb.Exe", 2020, 5, 4, 10, 0, 0);
  SetLocalWriteTime(installDir + "Vrb.Exe", 2020, 5, 4, 10, 0, 0);

  const std::string blanks(5000, ' ');
  for (const std::string& arguments :
       {std::string("\"\""), std::string(5000, 'a'), "autorun" + std::string(4993, 'x'),
        "\"autorun" + blanks + "\"", "\"\"" + blanks + "\"\""}) {
    BoxRun run = Run(arguments);
    EXPECT_EQ(run.exitCode, 0u) << arguments.size();
    EXPECT_TRUE(BoxSummary(run).empty()) << arguments.size();
    EXPECT_TRUE(MainProgramStarted()) << arguments.size();
  }
}

// 100 000 characters in each value: the version has too many digits to be a
// number (version 0), the install folder cannot exist. Setup from a complete
// distribution goes on, also for an automatic start; the key is left alone.
TEST_F(BadInputProgram, AbsurdlyLongRegistryValuesDoNotStopSetup) {
  std::string displayName = "Verbalis " + std::string(kAbsurd, '9');
  std::string installPath = "c:\\" + std::string(kAbsurd, 'x') + "\\";
  SetUninstallEntry(displayName, installPath);
  for (const char* arguments : {"", "autorun"}) {
    BoxRun run = Run(arguments);
    EXPECT_EQ(run.exitCode, 0u) << arguments;
    EXPECT_TRUE(BoxSummary(run).empty()) << arguments;
    EXPECT_TRUE(MainProgramStarted()) << arguments;
  }
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "InstallPath", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, installPath.size() + 1);
  RegCloseKey(key);
}

// A full disk while the JAWS configuration is copied into a settings folder:
// the log names the failed copy, the next folder is still served, nothing is
// shown and the operation returns normally, so setup goes on to the main program.
TEST(BadInputJaws, AFullDiskDuringTheCopyIsLoggedAndTheNextFolderIsStillServed) {
  ScratchDir root;
  std::string settings = root / "JAWS\\Settings\\";
  std::string source = root / "dist\\";
  for (const std::string& dir : {root / "JAWS", settings, settings + "a", settings + "b", source})
    MakeDir(dir);
  WriteBytes(source + "Vrb.Jcf", std::string(20000, 'c'));
  SetLocalWriteTime(source + "Vrb.Jcf", 2021, 3, 4, 5, 6, 8);
  JawsRegistration registration(root / "JAWS\\JConfig.exe %1");
  StartLog(root.path());
  FakeBoxes boxes;
  g_blocks = 0;
  Sys().WriteFile = FirstBlockHitsAFullDisk;

  EXPECT_NO_THROW(InstallJawsConfig(source));
  ReleaseLog();

  std::vector<std::string> names = InListingOrder(settings, {"a", "b"});
  ASSERT_EQ(names.size(), 2u);
  std::vector<std::string> log = FileLines(root / "Startup.Log");
  ASSERT_FALSE(log.empty());
  std::string failed = settings + names[0] + "\\Vrb.Jcf";
  std::string served = settings + names[1] + "\\Vrb.Jcf";
  EXPECT_NE(std::find(log.begin(), log.end(), "  JAWS: Copy failed to " + failed), log.end());
  EXPECT_EQ(log.back(), "  JAWS: Installing in " + served);
  EXPECT_TRUE(boxes.Summary().empty());
  EXPECT_EQ(ReadBytes(served), std::string(20000, 'c'));
  // No half copy is left that a later setup would take for current...
  EXPECT_FALSE(PathExists(failed));
  // ...so once there is room again, the next setup installs it there.
  Sys().WriteFile = ::WriteFile;
  StartLog(root.path());
  InstallJawsConfig(source);
  ReleaseLog();
  log = FileLines(root / "Startup.Log");
  EXPECT_NE(std::find(log.begin(), log.end(), "  JAWS: Installing in " + failed), log.end());
  EXPECT_EQ(ReadBytes(failed), std::string(20000, 'c'));
}
