// Setup.exe started under Wine from distributions, one row a case, with the stand-in Vrb.exe recording how
// it was started; in-process, with one entry of the seam table swapped, what Wine cannot be made to do.
#include <gtest/gtest.h>

#include <regex>

#include "file_info.h"
#include "jaws_config.h"
#include "module_handoff.h"
#include "run_setup.h"
#include "startup_log.h"
#include "temp_space.h"
#include "test_support.h"
#include "wrappers.h"

namespace {

// Short form lower-cased, as the launcher names folders on command lines.
std::string ShortLower(const std::string& path) {
  char buffer[MAX_PATH];
  DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
  return LowerLocale(n > 0 && n < sizeof buffer ? std::string(buffer, n) : path);
}

std::string LauncherTempDir() {
  char buffer[MAX_PATH];
  std::string dir(buffer, GetTempPathA(sizeof buffer, buffer));
  return ShortLower(dir.back() == '\\' ? dir : dir + '\\');
}

enum : unsigned { kVrbExe = 1, kVrbEx_ = 2, kInstallMsg = 4, kCommon801 = 8, kLang801 = 16, kVrbJcf = 32,
                  kFiles = kInstallMsg | kCommon801 | kLang801 | kVrbJcf, kComplete = kVrbExe | kFiles };

// Vrb.Exe is the stand-in, Vrb.Ex_ its SZDD form; dir ends in a backslash.
void MakeDistribution(const std::string& dir, unsigned files) {
  if (files & kVrbExe) CopyFileA(BinFile("Vrb.exe").c_str(), (dir + "Vrb.Exe").c_str(), FALSE);
  if (files & kVrbEx_) CopyFileA(BinFile("Vrb.ex_").c_str(), (dir + "Vrb.Ex_").c_str(), FALSE);
  const char* names[] = {"Install.Msg", "Common.801", "Lang.801", "Vrb.Jcf"};
  for (unsigned i = 0; i < 4; ++i)
    if (files & (kInstallMsg << i)) WriteBytes(dir + names[i], i == 3 ? "jaws configuration" : "x");
}

// JAWS registered for ".jcf" with this open command ("#n": stored as a number); "" removes it.
void RegisterJaws(const std::string& command) {
  const char key[] = "VrbTestJawsConfig\\shell\\open\\command";
  DeleteRegTree(HKEY_CLASSES_ROOT, ".jcf"), DeleteRegTree(HKEY_CLASSES_ROOT, "VrbTestJawsConfig");
  if (command.empty()) return;
  SetRegString(HKEY_CLASSES_ROOT, ".jcf", "", "VrbTestJawsConfig");
  if (command[0] == '#') SetRegDword(HKEY_CLASSES_ROOT, key, "", std::stoul(command.substr(1)));
  else SetRegString(HKEY_CLASSES_ROOT, key, "", command);
}


enum Start { kNone, kSource, kTemp, kHandOff };
// Beside the distribution's files: the files in vrb\win32\ below the launcher (a CD); modules among files
// that only look like modules; an installed Vrb.Exe beside an earlier AutoLoad.Lst (a folder with kListDir);
// a folder "Language"; a folder "Startup.Log" (the log cannot be written); a DLL planted under LZ32's name.
// A distribution at the root of drive R:, started from R:\sub.
enum : unsigned { kCd = 1 << 8, kMods = 1 << 9, kInstalled = 1 << 10, kListDir = 1 << 11, kLangDir = 1 << 12,
                  kLogDir = 1 << 13, kPlanted = 1 << 14, kDriveRoot = 1 << 15, kModsOnly = kFiles | kMods | kInstalled, kCurrent = kComplete | kInstalled };
const std::string kAdvice = ". Download latest program from www.verbalis.example and reinstall.";
const std::string kDamaged = "Check Startup|Verbalis Program install files damaged or missing" + kAdvice;
const std::string kTooOld = "Check Startup|Current Verbalis Program too old to install modules" + kAdvice;
const std::string kNotInstalled = "Check Startup|Verbalis program not properly installed" + kAdvice;
const std::string kRegistry = "Setup Error|Error accessing VRB Windows' Registry", kRecent = "Verbalis 8.10.0.204";
const std::string kJaws = "@\\JConfig.exe %1", kOldList = "c:\\old.801\r\n", kLong(100000, 'x');
const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\Setup.exe";

// displayName: "" no uninstall key; "#n" a number. In installPath
// and jaws (the JAWS open command), "@" is the installed copy's or JAWS's folder without backslash.
struct Row {
  const char* name;
  unsigned files;
  std::string displayName, installPath = "@\\", args = "";
  std::vector<std::string> boxes = {};
  Start start = kSource;
  int installedSeconds = 0;  // the installed Vrb.Exe's date against the distribution's
  std::string jaws = "";
};
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

std::string DropLast(const std::string& dir) { return dir.substr(0, dir.size() - 1); }
std::string Fill(std::string text, const std::string& dir) {
  return text.find('@') == std::string::npos ? text : text.replace(text.find('@'), 1, DropLast(dir));
}
void SetValue(const std::string& name, const std::string& v, const std::string& dir) {
  if (v.empty()) return;
  if (v[0] == '#') return SetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, name, std::stoul(v.substr(1)));
  SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, name, Fill(v, dir));
}

struct Bench {
  ScratchDir root;
  // A program at the first blank of the installed copy's path, which Windows would start instead of an unquoted one.
  std::string dist = root / "vrbdelta\\", source = dist + "vrb\\win32\\", installDir = root / "Program Files\\Verbalis\\";
  std::string jawsDir = root / "JAWS 2020\\", settings = jawsDir + "Settings\\", stubLog = root / "stub.log";
  std::string temp = LauncherTempDir(), marker = root / "planted-dll-was-loaded";

  Bench() { Clean(), SetEnv("VRB_STUB_LOG", stubLog); }
  ~Bench() {  // the stand-in has written its trace; let it end first
    Sleep(200), Clean();
    for (const std::string& name : ListNames("R:\\")) RemoveTree("R:\\" + name);
  }
  void Clean() {
    SetEnv("VRB_STUB_LOG", ""), SetEnv("VRB_PLANTED_MARKER", ""), RegisterJaws("");
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey), DeleteRegTree(HKEY_CURRENT_USER, kAppDefaults);
    for (const char* name : {"Vrb.exe", "Startup.Log"}) DeleteFileA((temp + name).c_str());
  }
  BoxRun Run(const Row& row) {
    if (row.files & kDriveRoot) dist = source = "R:\\";
    for (const std::string& dir : {dist, dist + "vrb", source, dist + "sub", root / "Program Files", installDir}) MakeDir(dir);
    CopyFileA(BinFile("boxbot.exe").c_str(), (root / "Program.exe").c_str(), FALSE);
    if (!(row.files & kCd)) source = dist;
    MakeDistribution(source, row.files);
    for (const char* name : {"Vrb.Exe", "Vrb.Ex_"})
      if (PathExists(source + name)) SetLocalWriteTime(source + name, 2020, 5, 4, 10);
    if (row.files & kLangDir) MakeDir(source + "Language");
    if (row.files & kLogDir) MakeDir(source + "Startup.Log");
    for (const char* name : {"Text1.801", "Atlas101.dat", "Install.801", "common2.101", "BetaEng.801", "Install.8010",
                             "language101.txt", "readme.txt", ".hidden801", "Mods801\\"})
      if (row.files & kMods) *name == 'M' ? MakeDir(source + name) : WriteBytes(source + name, "x");
    if (row.files & kInstalled) {
      CopyFileA(BinFile("Vrb.exe").c_str(), (installDir + "Vrb.Exe").c_str(), FALSE);
      int t = 36000 + row.installedSeconds;
      SetLocalWriteTime(installDir + "Vrb.Exe", 2020, 5, 4, t / 3600, t / 60 % 60, t % 60);
      (row.files & kListDir) ? MakeDir(installDir + "AutoLoad.Lst") : WriteBytes(installDir + "AutoLoad.Lst", kOldList);
    }
    if (!row.displayName.empty())
      SetValue("DisplayName", row.displayName, installDir), SetValue("InstallPath", row.installPath, installDir);
    if (!row.jaws.empty()) {
      for (const std::string& d : {jawsDir, settings, settings + "enu", settings + "deu", settings + "fra"}) MakeDir(d);
      for (const char* d : {"deu", "fra"})  // a newer copy and an older one
        WriteBytes(settings + d + "\\Vrb.Jcf", d), SetLocalWriteTime(settings + d + "\\Vrb.Jcf", *d == 'd' ? 2030 : 2010, 1, 1);
      RegisterJaws(Fill(row.jaws, jawsDir));
    }
    if (row.files & kPlanted) {  // Wine prefers a file on disk only when told, as Windows does for unknown DLLs
      CopyFileA(BinFile("planted\\lz32.dll").c_str(), (dist + "lz32.dll").c_str(), FALSE);
      SetRegString(HKEY_CURRENT_USER, std::string(kAppDefaults) + "\\DllOverrides", "lz32", "native,builtin");
      SetEnv("VRB_PLANTED_MARKER", marker);
    }
    CopyFileA(BinFile("Setup.exe").c_str(), (dist + "Setup.exe").c_str(), FALSE);
    return RunProgram(dist + "Setup.exe", row.args, "", dist + "sub");
  }
  // The stand-in's trace once it has ended; after a second, when it should not start at all.
  std::vector<std::string> Trace(bool started) {
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < (started ? 15000 : 1000); Sleep(50))
      if (!FileLines(stubLog).empty() && FileLines(stubLog).back() == "end") break;
    return FileLines(stubLog);
  }
};

class SetupProgram : public ::testing::TestWithParam<Row> {};

}  // namespace

TEST_P(SetupProgram, Run) {
  const Row& row = GetParam();
  Bench t;
  BoxRun run = t.Run(row);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(BoxSummary(run), row.boxes);
  EXPECT_FALSE(PathExists(t.marker));

  std::string s = ShortLower(t.source), program = row.start == kTemp ? t.temp : s, list;
  std::vector<std::string> expected = {"start", "cmdline=" + program + "VRB.EXE \"" + s + "\"",
                                       "cwd=" + (program.size() == 3 ? program : DropLast(program))};
  if (row.start == kHandOff) {  // the modules in the order the folder lists them
    expected = {"start", "cmdline=\"" + t.installDir + "Vrb.Exe\"", "cwd=" + DropLast(t.installDir)};
    for (const std::string& name : InListingOrder(t.source, {"Text1.801", "Atlas101.dat", "Install.8010", "Mods801"}))
      list += s + LowerLocale(name) + "\r\n", expected.push_back("module=" + s + LowerLocale(name));
    if (list.empty()) expected.push_back("autoload=missing");
  }
  expected.push_back("end");
  EXPECT_EQ(t.Trace(row.start != kNone), row.start == kNone ? std::vector<std::string>{} : expected);
  if (row.files & kInstalled)
    EXPECT_EQ(ReadBytes(t.installDir + "AutoLoad.Lst"), row.start != kHandOff ? kOldList : list.empty() ? "<missing>" : list);
  // Startup.Log is begun, and stays empty, where the main program is started to install.
  bool installing = row.start == kSource || row.start == kTemp;
  EXPECT_EQ(ReadBytes(program + "Startup.Log"), installing && !(row.files & kLogDir) ? "" : "<missing>");
  EXPECT_FALSE(row.start == kTemp && PathExists(t.dist + "Startup.Log"));
  // The JAWS configuration goes, with its date, where no copy as new is, and only to install.
  if (row.jaws.empty()) return;
  bool copies = installing && row.jaws.find('@') != std::string::npos;
  EXPECT_EQ(ReadBytes(t.settings + "enu\\Vrb.Jcf"), copies ? "jaws configuration" : "<missing>");
  EXPECT_EQ(ReadBytes(t.settings + "fra\\Vrb.Jcf"), copies ? "jaws configuration" : "fra");
  EXPECT_EQ(ReadBytes(t.settings + "deu\\Vrb.Jcf"), "deu");
  if (copies) EXPECT_EQ(GetFileDate(t.settings + "enu\\Vrb.Jcf"), GetFileDate(t.source + "Vrb.Jcf"));
  EXPECT_FALSE(PathExists(t.dist + "sub\\Vrb.Jcf"));
}

INSTANTIATE_TEST_SUITE_P(Rows, SetupProgram, ::testing::ValuesIn(std::vector<Row>{
  // What the distribution holds.
  {"CompleteStartsInItsFolderAndServesJaws", kComplete, "", "", "", {}, kSource, 0, kJaws},
  {"CdExpandsIntoTheTemporaryFolder", kCd | kVrbEx_ | kFiles, "", "", "", {}, kTemp, 0, kJaws},
  {"CompressedBesideTheLauncher", kVrbEx_ | kFiles, "", "", "", {}, kTemp},
  {"ALanguageFolderCounts", (kComplete & ~kLang801) | kLangDir, ""},
  {"NoProgram", kFiles, "", "", "", {kDamaged}, kNone},
  {"NoInstallMsg", kComplete & ~kInstallMsg, "", "", "", {kDamaged}, kNone, 0, kJaws},
  {"NoCommon801", kComplete & ~kCommon801, "", "", "", {kDamaged}, kNone},
  {"NoLang801", kComplete & ~kLang801, "", "", "", {kDamaged}, kNone},
  {"NoVrbJcf", kComplete & ~kVrbJcf, "", "", "", {kDamaged}, kNone},
  // An incomplete distribution: its modules go to a recent installed copy.
  {"HandOff", kModsOnly, kRecent, "@\\", "", {}, kHandOff},
  {"HandOffWithoutModulesRemovesTheOldList", kFiles | kInstalled, kRecent, "@\\", "", {}, kHandOff},
  {"HandOffToVersion8_1", kModsOnly, "Verbalis 8.1", "@\\", "", {}, kHandOff},
  {"HandOffToVersion8_10_020", kModsOnly, "Verbalis 8.10.020", "@\\", "", {}, kHandOff},
  {"HandOffToTheLargestVersion", kModsOnly, "Verbalis 2147483647", "@\\", "", {}, kHandOff},
  {"SuperscriptsAreNoDigits", kModsOnly, "Verbalis \xB2 8.10.0.204", "@\\", "", {}, kHandOff},
  {"Version8_10_0_203", kModsOnly, "Verbalis 8.10.0.203", "@\\", "", {kTooOld}, kNone},
  {"Version8_10_02", kModsOnly, "Verbalis 8.10.02", "@\\", "", {kTooOld}, kNone},
  {"NoVersion", kModsOnly, "Verbalis", "@\\", "", {kTooOld}, kNone},
  {"VersionTooLargeForANumber", kModsOnly, "Verbalis 2147483648", "@\\", "", {kTooOld}, kNone},
  {"OldVersionWithoutProgram", kFiles | kMods, "Verbalis 8.09.99.99", "@\\", "", {kTooOld}, kNone},
  {"Version8_10WithoutProgram", kFiles | kMods, "Verbalis 8.10", "@\\", "", {kNotInstalled}, kNone},
  {"InstallPathWithoutBackslash", kModsOnly, kRecent, "@", "", {kNotInstalled}, kNone},
  {"AbsurdInstallPath", kModsOnly, "Verbalis " + kLong + " 8.10.0.204", "@\\" + kLong + "\\", "", {kNotInstalled}, kNone},
  {"AbsurdVersion", kModsOnly, "Verbalis " + std::string(100000, '8'), "@\\", "", {kTooOld}, kNone},
  {"DisplayNameANumber", kModsOnly, "#8100204", "@\\", "", {kRegistry, kTooOld}, kNone},
  {"InstallPathANumber", kModsOnly, kRecent, "#1", "", {kRegistry, kNotInstalled}, kNone},
  // A complete distribution installs whatever the installed copy.
  {"NumbersWhereNamesBelong", kComplete, "#8100204", "@\\", "", {kRegistry, "Setup Error|Error accessing Jaws Windows' Registry"}, kSource, 0, "#1"},
  {"InstalledCopyWithoutProgram", kComplete, kRecent},
  {"AbsurdValuesAutorun", kComplete, "Verbalis " + std::string(100000, '9'), "c:\\" + kLong + "\\", "autorun"},
  // An automatic start is silent only for the word "autorun" and an installed copy at least as new.
  {"AutorunCurrent", kCurrent, kRecent, "@\\", "AUTORUN", {}, kNone, 0, kJaws},
  {"AutorunCurrentCd", kCd | kVrbEx_ | kFiles | kInstalled, kRecent, "@\\", "AutoRun", {}, kNone},
  {"AutorunNewer", kCurrent, kRecent, "@\\", "autorun", {}, kNone, 2},
  {"AutorunTwoSecondsOlder", kCurrent, kRecent, "@\\", "autorun", {}, kSource, -2},
  {"AutorunWithoutInstalledProgram", kComplete, kRecent, "@\\", "autorun"},
  {"AutorunInstallPathWithoutBackslash", kCurrent, kRecent, "@", "autorun"},
  {"AutorunInstallPathANumber", kCurrent, kRecent, "#6044259", "autorun", {kRegistry}},  // "c:\" as bytes
  {"SlashAutorun", kCurrent, kRecent, "@\\", "/autorun"},
  {"AutorunAndMore", kCurrent, kRecent, "@\\", "autorun" + std::string(4993, 'x')},
  {"EmptyArgument", kCurrent, kRecent, "@\\", "\"\""},
  {"QuotedAutorunAndBlanks", kCurrent, kRecent, "@\\", "\"autorun" + std::string(5000, ' ') + "\""},
  // The JAWS command as registered, and what the system lets the launcher do.
  {"JawsQuotedCommand", kComplete, "", "", "", {}, kSource, 0, "\"@\\JConfig.exe\" \"%1\""},
  {"JawsCommandWithoutSettings", kComplete, "", "", "", {}, kSource, 0, "jconfig.exe %1"},
  {"StartupLogCannotBeWritten", kComplete | kLogDir, ""},
  {"AtADriveRootStartsThere", kComplete | kDriveRoot, ""},
  {"DllPlantedBesideTheLauncher", kVrbEx_ | kFiles | kPlanted, "", "", "", {}, kTemp},
}));

// An installed copy whose module list cannot be written: the generic report, exit code 1.
TEST(SetupFailure, AnUncaughtFailureEndsInTheApplicationErrorBox) {
  Bench t;
  BoxRun run = t.Run({"", kModsOnly | kListDir, kRecent});
  EXPECT_EQ(run.exitCode, 1u);
  std::regex expected("Application Error\\|Exception EFCreateError in module Setup\\.exe at [0-9A-F]{8}\\.\nCannot create "
                      "file " + std::regex_replace(t.installDir, std::regex("\\\\"), "\\\\") + "AutoLoad\\.Lst\\.");
  EXPECT_TRUE(BoxSummary(run).size() == 1 && std::regex_match(BoxSummary(run)[0], expected)) << BoxSummary(run)[0];
  EXPECT_EQ(t.Trace(false), std::vector<std::string>{});
}

TEST(SetupFailure, TheUninstallerIsChosenByItsFileNameInAnyLetterCase) {
  Bench t;
  MakeDir(t.dist);
  for (const char* name : {"VRBDEL.EXE", "remove.exe"}) CopyFileA(BinFile("Setup.exe").c_str(), (t.dist + name).c_str(), FALSE);
  EXPECT_EQ(BoxSummary(RunProgram(t.dist + "VRBDEL.EXE", "Group Name", "C")), std::vector<std::string>{"Uninstall|You do "
            "not have to uninstall the Verbalis program to install a new version. Do you wish to uninstall the program? "});
  EXPECT_EQ(BoxSummary(RunProgram(t.dist + "remove.exe", "")), std::vector<std::string>{kDamaged});
}

namespace {

UINT g_result;
std::vector<std::string> g_started;
UINT WINAPI FakeWinExec(LPCSTR commandLine, UINT show) {
  g_started.push_back(std::string(commandLine) + (show == SW_SHOWNORMAL ? "" : " (not shown normally)"));
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return g_result;
}
std::string g_queried, g_vanishing;  // g_vanishing is deleted at the query
ULONGLONG g_freeOnC, g_freeElsewhere;
BOOL WINAPI FakeFreeSpace(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER, PULARGE_INTEGER) {
  g_queried += std::string(root ? root : "<current>") + " ";
  if (!g_vanishing.empty()) DeleteFileA(g_vanishing.c_str());
  available->QuadPart = root && root[0] == 'C' ? g_freeOnC : g_freeElsewhere;
  return available->QuadPart != 1;  // 1: the query fails
}
LONG WINAPI CopyFails(INT, INT) { return -5; }  // LZERROR_WRITE: the disk is full

enum Fault { kNoFault, kVanishes, kNoLz32, kNoTempFolder, kCopyFails };
struct SetupRow { const char* name; unsigned files; Fault fault; UINT result; std::vector<std::string> boxes; };
void PrintTo(const SetupRow& row, std::ostream* os) { *os << row.name; }
class SetupInProcess : public ::testing::TestWithParam<SetupRow> {};

}  // namespace

// What the user sees when the main program does not start (the result from WinExec) or cannot be
// made ready; in the boxes "@" is the temporary folder, "$" the distribution's.
TEST_P(SetupInProcess, ShowsTheBoxesInOrder) {
  const SetupRow& row = GetParam();
  ScratchDir dist;
  MakeDistribution(dist.path(), row.files);
  char tmp[MAX_PATH] = "";
  GetEnvironmentVariableA("TMP", tmp, MAX_PATH);
  if (row.fault == kNoTempFolder) SetEnv("TMP", dist / "gone");
  std::string source = ShortLower(dist.path()), temp = LauncherTempDir();
  FakeBoxes boxes;
  Sys().WinExec = FakeWinExec, Sys().GetDiskFreeSpaceExA = FakeFreeSpace;
  if (row.fault == kNoLz32) Sys().LZOpenFileA = nullptr;
  if (row.fault == kCopyFails) Sys().LZCopy = CopyFails;
  g_result = row.result, g_freeOnC = g_freeElsewhere = 1ull << 30, g_started.clear();
  g_vanishing = row.fault == kVanishes ? dist / "Install.Msg" : "";
  RunSetup(dist / "Setup.exe", "");
  ReleaseLog();
  SetEnv("TMP", tmp);
  std::vector<std::string> expected = row.boxes;
  for (std::string& box : expected)
    for (size_t at; (at = box.find_first_of("@$")) != std::string::npos;) box.replace(at, 1, box[at] == '@' ? temp : source);
  char text[300] = "Windows Error: 36|";
  FormatMessageA(0x10FF, nullptr, ERROR_NOT_ENOUGH_MEMORY, 0, text + 18, 255, nullptr);
  if (row.result < 32) expected.insert(expected.begin(), text);
  EXPECT_EQ(boxes.Summary(), expected);
  std::string program = row.files & kVrbExe ? source : temp;
  EXPECT_EQ(g_started, std::vector<std::string>(row.fault == kNoFault, program + "VRB.EXE \"" + source + "\""));
  EXPECT_EQ(PathExists(dist / "Startup.Log"), row.fault == kNoFault);
  if (row.files & kVrbEx_) EXPECT_TRUE(DeleteFileA((dist / "Vrb.Ex_").c_str()));  // no handle left open
}

INSTANTIATE_TEST_SUITE_P(Rows, SetupInProcess, ::testing::ValuesIn(std::vector<SetupRow>{
  {"Result0", kComplete, kNoFault, 0, {"WinExec|0-System was out of memory, executable file was corrupt, or relocations were invalid."}},
  {"Result1", kComplete, kNoFault, 1, {"WinExec|Failed to run SETUP1.EXE. Error code: 1"}},
  {"Result2", kComplete, kNoFault, 2, {"WinExec|2-File was not found. @VRB.EXE"}},
  {"Result11", kComplete, kNoFault, 11, {"WinExec|11-Executable file was invalid. Either it was not a Windows application or there was an error in the .EXE image."}},
  {"Result21", kComplete, kNoFault, 21, {"WinExec|21-Application requires 32-bit extensions."}},
  {"Result31", kComplete, kNoFault, 31, {"WinExec|Failed to run SETUP1.EXE. Error code: 31"}},
  {"Result32", kComplete, kNoFault, 32, {}},
  {"DistributionGoesAway", kComplete, kVanishes, 33, {"FileCheck|Verbalis Program install files damaged or missing. Download latest copy from www.verbalis.example and reinstall."}},
  {"NoLz32", kVrbEx_ | kFiles, kNoLz32, 33, {"CopyFile|Error opening source file \"$Vrb.Ex_\""}},
  {"NoTemporaryFolder", kVrbEx_ | kFiles, kNoTempFolder, 33, {"CopyFile|Error opening destination file \"@Vrb.exe\""}},
  {"ExpansionFails", kVrbEx_ | kFiles, kCopyFails, 33, {"CopyFile|Error copying file \"$Vrb.Ex_\" to \"@Vrb.exe\""}},
}));

// The installed copy is started shown normally, like the installation.
TEST(HandOffInProcess, StartsTheInstalledCopyShownNormally) {
  ScratchDir dir;
  FakeBoxes boxes;
  Sys().WinExec = FakeWinExec;
  g_result = 33, g_started.clear();
  HandOffModules(dir.path(), dir.path());
  EXPECT_EQ(g_started, std::vector<std::string>{dir / "Vrb.Exe"});
}

// 4 MB of temporary space, else drive C:, else a warning and on.
TEST(TempSpace, FallsBackToDriveCAndWarnsWhenThatIsShortToo) {
  const ULONGLONG kMB = 1024 * 1024;
  const struct { const char* dir; ULONGLONG c, other; const char* result, *queried; bool warn; } rows[] = {
    {"d:\\temp\\", 4 * kMB - 1, kMB, "c:\\", "D:\\ C:\\ ", true},
    {"d:\\temp\\", 0, 4 * kMB, "d:\\temp\\", "D:\\ ", false},
    {"c:\\me\\temp\\", 4 * kMB - 1, 0, "c:\\me\\temp\\", "C:\\ ", true},
    {"c:\\me\\temp\\", 4 * kMB, 0, "c:\\me\\temp\\", "C:\\ ", false},
    {"c:\\me\\temp\\", ~0ull, 0, "c:\\me\\temp\\", "C:\\ ", false},
    {"c:\\me\\temp\\", 1, 0, "c:\\me\\temp\\", "C:\\ ", true},  // the query fails
    {"\\\\server\\temp\\", 0, 8 * kMB, "\\\\server\\temp\\", "<current> ", false},
  };
  for (const auto& row : rows) {
    FakeBoxes boxes;
    Sys().GetDiskFreeSpaceExA = FakeFreeSpace;
    g_freeOnC = row.c, g_freeElsewhere = row.other, g_queried.clear();
    EXPECT_EQ(EnsureTempSpace(row.dir), row.result) << row.dir << row.c;
    EXPECT_EQ(g_queried, row.queried) << row.dir << row.c;
    EXPECT_EQ(boxes.Summary(), std::vector<std::string>(row.warn, "Setup Warning|Warning: 4 Megs of temporary space "
                                                        "needed for Setup")) << row.dir << row.c;
  }
}

namespace {
// The disk is full for the first block the copy writes and has room again afterwards.
int g_blocks = 0;
BOOL WINAPI FirstBlockHitsAFullDisk(HANDLE h, LPCVOID data, DWORD size, LPDWORD put, LPOVERLAPPED o) {
  if (size != 16384 || ++g_blocks != 1) return WriteFile(h, data, size, put, o);
  SetLastError(ERROR_DISK_FULL);
  return *put = 0, FALSE;
}
}  // namespace

// The log (written when logging is on) names the folder the full disk hit; the next setup serves it.
TEST(JawsConfig, AFullDiskIsLoggedAndTheNextSetupServesTheFolder) {
  ScratchDir root;
  std::string settings = root / "JAWS\\Settings\\", command = root / "JAWS\\JConfig.exe %1";
  for (const char* dir : {"JAWS", "JAWS\\Settings", "JAWS\\Settings\\a", "JAWS\\Settings\\b"}) MakeDir(root / dir);
  WriteBytes(root / "Vrb.Jcf", std::string(20000, 'c'));
  WriteBytes(settings + "readme.txt", "no folder");
  FakeBoxes boxes;
  RegisterJaws(command);
  StartLog(root.path());
  Sys().WriteFile = FirstBlockHitsAFullDisk;
  InstallJawsConfig(root.path());
  InstallJawsConfig(root.path());
  ReleaseLog();
  RegisterJaws("");
  std::vector<std::string> order = InListingOrder(settings, {"a", "b"}), expected;
  for (const std::string& first : {"Copy failed to ", "Installing in "}) {
    expected.insert(expected.end(), {"  JAWS: Config File Type = \"VrbTestJawsConfig\"",
                                     "  JAWS: Command Path = \"" + command + "\"", "  JAWS: Settings Path = " + settings});
    for (const std::string& name : InListingOrder(settings, {".", "..", "a", "b", "readme.txt"})) {
      std::string outcome = name == order[0] ? first : first[0] == 'C' ? "Installing in " : "Already Installed in ";
      expected.push_back("  JAWS: Settings Directory " + name);
      if (name.size() == 1 && name != ".") expected.push_back("  JAWS: " + outcome + settings + name + "\\Vrb.Jcf");
    }
  }
  EXPECT_EQ(FileLines(root / "Startup.Log"), expected);
  EXPECT_TRUE(boxes.Summary().empty());
  for (const std::string& name : order) EXPECT_EQ(ReadBytes(settings + name + "\\Vrb.Jcf"), std::string(20000, 'c'));
}
