// The installed-version gate and the module hand-off, in-process: boxes are
// recorded and the start of the installed copy is recorded instead of made.
#include <gtest/gtest.h>

#include "failure.h"
#include "module_handoff.h"
#include "setupa_test_util.h"
#include "version_gate.h"

namespace {

struct Start {
  std::string commandLine;
  std::string currentDirectory;
  UINT show;
};
std::vector<Start> g_starts;

UINT WINAPI RecordWinExec(LPCSTR commandLine, UINT show) {
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  g_starts.push_back({commandLine, cwd, show});
  return 33;
}

const char kDamaged[] =
    "Check Startup|Verbalis Program install files damaged or missing. Download latest program "
    "from www.verbalis.example and reinstall.";
const char kTooOld[] =
    "Check Startup|Current Verbalis Program too old to install modules. Download latest program "
    "from www.verbalis.example and reinstall.";
const char kNotInstalled[] =
    "Check Startup|Verbalis program not properly installed. Download latest program from "
    "www.verbalis.example and reinstall.";
const char kRegistryBox[] = "Setup Error|Error accessing VRB Windows' Registry";

}  // namespace

class GateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_starts.clear();
    Sys().WinExec = RecordWinExec;
    MakeDir(installDir);
    MakeDir(sourceDir);
    WriteBytes(installDir + "Vrb.Exe", "installed");
    MakeDistribution(sourceDir, kInstallMsg | kCommon801 | kLang801 | kVrbJcf);
    WriteBytes(sourceDir + "Text1.801", "module");
  }
  void TearDown() override { DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey); }
  void Complete() { WriteBytes(sourceDir + "Vrb.Exe", "program"); }

  ScratchDir root;
  FakeBoxes boxes;  // restores the whole table, WinExec too
  std::string installDir = root / "inst\\";
  std::string sourceDir = root / "dist\\";
};

TEST_F(GateTest, NoInstalledCopy) {
  DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  EXPECT_FALSE(CheckInstalledVersion(sourceDir));
  EXPECT_EQ(boxes.Summary(), std::vector<std::string>{kDamaged});
  Complete();
  EXPECT_TRUE(CheckInstalledVersion(sourceDir));
  EXPECT_EQ(boxes.Summary().size(), 1u);
  EXPECT_TRUE(g_starts.empty());
}

TEST_F(GateTest, ModulesNeedVersion8100204) {
  SetUninstallEntry("Verbalis 8.10.0.203", installDir);
  EXPECT_FALSE(CheckInstalledVersion(sourceDir));
  EXPECT_EQ(boxes.Summary(), std::vector<std::string>{kTooOld});
  EXPECT_TRUE(g_starts.empty());
  EXPECT_FALSE(PathExists(installDir + "AutoLoad.Lst"));

  SetUninstallEntry("Verbalis 8.10.0.204", installDir);
  EXPECT_FALSE(CheckInstalledVersion(sourceDir));
  EXPECT_EQ(boxes.Summary().size(), 1u);
  ASSERT_EQ(g_starts.size(), 1u);
  EXPECT_EQ(g_starts[0].commandLine, installDir + "Vrb.Exe");
  EXPECT_EQ(g_starts[0].currentDirectory, DropLast(installDir));
  EXPECT_EQ(g_starts[0].show, static_cast<UINT>(SW_SHOWNORMAL));
  EXPECT_EQ(ReadBytes(installDir + "AutoLoad.Lst"), sourceDir + "text1.801\r\n");
}

TEST_F(GateTest, BelowVersion8100000TheProgramFileIsNotLookedAt) {
  DeleteFileA((installDir + "Vrb.Exe").c_str());
  SetUninstallEntry("Verbalis 8.09.99.99", installDir);  // 8099999
  EXPECT_FALSE(CheckInstalledVersion(sourceDir));
  SetUninstallEntry("Verbalis 8.10", installDir);  // 8100000
  EXPECT_FALSE(CheckInstalledVersion(sourceDir));
  EXPECT_EQ(boxes.Summary(), (std::vector<std::string>{kTooOld, kNotInstalled}));
  EXPECT_TRUE(g_starts.empty());
}

TEST_F(GateTest, AnInstalledCopyNeverStopsACompleteDistribution) {
  Complete();
  DeleteFileA((installDir + "Vrb.Exe").c_str());
  for (const char* name : {"Verbalis", "Verbalis 7", "Verbalis 8.10", "Verbalis 8.10.0.204"}) {
    SetUninstallEntry(name, installDir);
    EXPECT_TRUE(CheckInstalledVersion(sourceDir)) << name;
  }
  EXPECT_TRUE(boxes.Summary().empty());
  EXPECT_TRUE(g_starts.empty());
}

TEST_F(GateTest, AnInstallPathWithoutBackslashMissesTheProgram) {
  SetUninstallEntry("Verbalis 8.10.0.204", DropLast(installDir));
  EXPECT_FALSE(CheckInstalledVersion(sourceDir));
  EXPECT_EQ(boxes.Summary(), std::vector<std::string>{kNotInstalled});
}

TEST_F(GateTest, ADisplayNameStoredAsANumberReadsAsVersionZero) {
  DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  SetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", 8100204);
  SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallPath", installDir);
  EXPECT_FALSE(CheckInstalledVersion(sourceDir));
  EXPECT_EQ(boxes.Summary(), (std::vector<std::string>{kRegistryBox, kTooOld}));
  Complete();
  EXPECT_TRUE(CheckInstalledVersion(sourceDir));
  EXPECT_EQ(boxes.Summary().size(), 3u);
  EXPECT_EQ(boxes.Summary()[2], kRegistryBox);
}

TEST_F(GateTest, AnInstallPathStoredAsANumberIsReportedAndTheGateGoesOn) {
  SetUninstallEntry("Verbalis 8.10.0.204", "");
  SetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallPath", 1);
  EXPECT_FALSE(CheckInstalledVersion(sourceDir));
  EXPECT_EQ(boxes.Summary(), (std::vector<std::string>{kRegistryBox, kNotInstalled}));
}

TEST_F(GateTest, VersionDigitsTooLargeForANumberReadAsVersionZero) {
  SetUninstallEntry("Verbalis 81002040000", installDir);
  bool result = true;
  EXPECT_NO_THROW(result = CheckInstalledVersion(sourceDir));
  EXPECT_FALSE(result);
  EXPECT_EQ(boxes.Summary(), std::vector<std::string>{kTooOld});
  EXPECT_TRUE(g_starts.empty());
  Complete();
  EXPECT_NO_THROW(result = CheckInstalledVersion(sourceDir));
  EXPECT_TRUE(result);
  EXPECT_EQ(boxes.Summary().size(), 1u);
}

// Hostile values, with an incomplete distribution (modules only).
class BadInputGate : public GateTest {
 protected:
  void SetUp() override {
    GateTest::SetUp();
    // An empty InstallPath looks for "Vrb.Exe" in the current folder.
    GetCurrentDirectoryA(sizeof savedCwd, savedCwd);
    SetCurrentDirectoryA(root.path().c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryA(savedCwd);
    GateTest::TearDown();
  }
  // Nothing was handed off: no list anywhere and no start.
  bool NothingHandedOff() {
    return g_starts.empty() && !PathExists(installDir + "AutoLoad.Lst") &&
           !PathExists(root / "AutoLoad.Lst");
  }
  char savedCwd[MAX_PATH] = "";
};

constexpr size_t kAbsurd = 100000;

TEST_F(BadInputGate, AbsurdlyLongValuesGetTheAdviceAndHandNothingOff) {
  // A recent version buried in 100 000 letters, and a folder name no system takes.
  SetUninstallEntry("Verbalis " + std::string(kAbsurd, 'x') + " 8.10.0.204",
                    installDir + std::string(kAbsurd, 'x') + "\\");
  EXPECT_FALSE(CheckInstalledVersion(sourceDir));
  // 100 000 digits are no version at all.
  SetUninstallEntry("Verbalis " + std::string(kAbsurd, '8'), installDir);
  EXPECT_FALSE(CheckInstalledVersion(sourceDir));
  EXPECT_EQ(boxes.Summary(), (std::vector<std::string>{kNotInstalled, kTooOld}));
  EXPECT_TRUE(NothingHandedOff());
  EXPECT_EQ(ReadBytes(installDir + "Vrb.Exe"), "installed");
}

// Text stored as binary data or as a string list is not a string value: the
// registry box, then the gate goes on with the raw bytes as DisplayName and
// no InstallPath, so the installed program is looked for in the current folder.
TEST_F(BadInputGate, TextOfTheWrongTypeIsReportedAndNothingIsHandedOff) {
  const std::string text("Verbalis 8.10.0.204\0", 20);
  for (DWORD type : {DWORD(REG_BINARY), DWORD(REG_MULTI_SZ)}) {
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", text, type);
    SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallPath", installDir);
    EXPECT_FALSE(CheckInstalledVersion(sourceDir)) << type;
  }
  EXPECT_EQ(boxes.Summary(),
            (std::vector<std::string>{kRegistryBox, kNotInstalled, kRegistryBox, kNotInstalled}));
  EXPECT_TRUE(NothingHandedOff());
}


class HandOffTest : public GateTest {};

TEST_F(HandOffTest, ListsModulesInEnumerationOrderWithFullLowerCasePaths) {
  RemoveTree(DropLast(sourceDir));
  MakeDir(sourceDir);
  for (const char* name : {"Text1.801", "Atlas101.dat", "Install.801", "COMMON.801", "common2.101",
                           "BetaEng.801", "Lang.801", "language101.txt", "readme.txt", "Vrb.Ex_",
                           ".hidden801"})
    WriteBytes(sourceDir + name, "x");
  MakeDir(sourceDir + "Mods801");
  std::string expected;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((sourceDir + "*.*").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do {
    std::string name = data.cFileName;
    if (name == "Text1.801" || name == "Atlas101.dat" || name == "Mods801") {
      CharLowerBuffA(&name[0], static_cast<DWORD>(name.size()));
      expected += sourceDir + name + "\r\n";
    }
  } while (FindNextFileA(find, &data));
  FindClose(find);

  HandOffModules(sourceDir, installDir);
  EXPECT_EQ(ReadBytes(installDir + "AutoLoad.Lst"), expected);
  EXPECT_EQ(FileLines(installDir + "AutoLoad.Lst").size(), 3u);
  ASSERT_EQ(g_starts.size(), 1u);
  EXPECT_EQ(g_starts[0].commandLine, installDir + "Vrb.Exe");
}

TEST_F(HandOffTest, NoModuleRemovesAnEarlierListAndStillStartsTheCopy) {
  WriteBytes(installDir + "AutoLoad.Lst", "c:\\old.801\r\n");
  DeleteFileA((sourceDir + "Text1.801").c_str());
  HandOffModules(sourceDir, installDir);
  EXPECT_FALSE(PathExists(installDir + "AutoLoad.Lst"));
  ASSERT_EQ(g_starts.size(), 1u);
  EXPECT_TRUE(boxes.Summary().empty());
}

TEST_F(HandOffTest, AListThatCannotBeWrittenEndsTheRunBeforeTheStart) {
  std::string gone = root / "gone\\";
  try {
    HandOffModules(sourceDir, gone);
    FAIL() << "no failure raised";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind, FailureKind::FCreateError);
    EXPECT_EQ(failure.message, "Cannot create file " + gone + "AutoLoad.Lst");
  }
  EXPECT_TRUE(g_starts.empty());
}

TEST_F(HandOffTest, AStartThatFailsIsShownAsAWindowsError) {
  Sys().WinExec = ::WinExec;
  DeleteFileA((installDir + "Vrb.Exe").c_str());
  HandOffModules(sourceDir, installDir);
  ASSERT_EQ(boxes.Summary().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Windows Error: 36");
  EXPECT_EQ(ReadBytes(installDir + "AutoLoad.Lst"), sourceDir + "text1.801\r\n");
}
