// Setup.exe run under Wine from distributions, one row a case; in-process, with the seam table, what Wine cannot do.
#include <gtest/gtest.h>

#include <map>

#include "file_info.h"
#include "handles.h"
#include "jaws_config.h"
#include "run_setup.h"
#include "startup_log.h"
#include "test_support.h"
#include "wrappers.h"

#include <sddl.h>  // after <windows.h>

namespace {

// Short form lower-cased, as the launcher names folders on command lines.
std::string ShortLower(const std::string& path) { return LowerLocale(ShortPath(path)); }

const std::string kWindows = std::string(getenv("SystemRoot")) + "\\";

std::string LauncherTempDir() {
  char buffer[MAX_PATH];
  return ShortLower(std::string(buffer, GetTempPathA(sizeof buffer, buffer)));
}

std::string DropLast(const std::string& dir) { return dir.substr(0, dir.size() - 1); }

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPending[] = "PendingFileRenameOperations";
// What Windows renames or deletes at the next restart, as it records it: each path, then its new name ("" deletes it).
std::string PendingRenames(std::string data = std::string(16384, '\0')) {
  DWORD n = static_cast<DWORD>(data.size());  // the list's closing 0 left out
  LSTATUS got = RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPending, RRF_RT_ANY, nullptr, &data[0], &n);
  return got ? "" : data.substr(0, n - 1);
}

std::string Fill(std::string text, char mark, const std::string& with) {
  for (size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, 1, with);
  return text;
}

void CopyBin(const std::string& name, const std::string& to) { CopyFileW(W(BinFile(name)).c_str(), W(to).c_str(), 0); }

// "#n" stores the number n; "@" stands for dir without its backslash.
void SetValue(HKEY root, const std::string& key, const char* name, const std::string& value,
              const std::string& dir) {
  if (value[0] == '#') return SetRegDword(root, key, name, std::stoul(value.substr(1)));
  SetRegString(root, key, name, Fill(value, '@', DropLast(dir)));
}

// JAWS registered for ".jcf" with this open command; "" removes it.
void RegisterJaws(const std::string& command, const std::string& dir = "") {
  DeleteRegTree(HKEY_CLASSES_ROOT, ".jcf");
  DeleteRegTree(HKEY_CLASSES_ROOT, "VrbTestJawsConfig");
  if (command.empty()) return;
  SetRegString(HKEY_CLASSES_ROOT, ".jcf", "", "VrbTestJawsConfig");
  SetValue(HKEY_CLASSES_ROOT, "VrbTestJawsConfig\\shell\\open\\command", "", command, dir);
}

// The distribution's files (Vrb.Exe is the stand-in, Vrb.Ex_ its SZDD form); its files in vrb\win32\ (a CD); modules
// among look-alikes; an installed Vrb.Exe with an earlier AutoLoad.Lst (a folder with kListDir); a folder "Language"; a
// DLL planted as LZ32 beside the launcher and, with a Vrb.exe, in TEMP and the machine's (where the main program is
// expanded: the prefix has no SystemTemp but with kSystemTemp); the
// distribution at the root of R:; a Startup.Log from an earlier run, or a folder of that name (the log cannot be
// written); a folder named Install.Msg; the distribution, and the temporary folder, in a folder
// named in Cyrillic, which the code page cannot spell, or 16 folders deep; a current JAWS's settings in application data.
enum : unsigned {
  kVrbExe = 1, kVrbEx_ = 2, kInstallMsg = 4, kCommon801 = 8, kLang801 = 16, kVrbJcf = 32,
  kCd = 1 << 8, kMods = 1 << 9, kInstalled = 1 << 10, kListDir = 1 << 11, kLangDir = 1 << 12,
  kSystemTemp = 1 << 13, kPlanted = 1 << 14, kDriveRoot = 1 << 15, kOldLog = 1 << 16, kLogDir = 1 << 17,
  kMsgDir = 1 << 18, kCyrillic = 1 << 19, kDeep = 1 << 20, kSharedJaws = 1 << 21,
  kFiles = kInstallMsg | kCommon801 | kLang801 | kVrbJcf, kComplete = kVrbExe | kFiles,
  kModsOnly = kFiles | kMods | kInstalled, kCurrent = kComplete | kInstalled
};

// Each file holds its own name; dir ends in a backslash.
void MakeDistribution(const std::string& dir, unsigned files) {
  if (files & kVrbExe) CopyBin("Vrb.exe", dir + "Vrb.Exe");
  if (files & kVrbEx_) CopyBin("Vrb.ex_", dir + "Vrb.Ex_");
  const char* names[] = {"Install.Msg", "Common.801", "Lang.801", "Vrb.Jcf"};
  for (unsigned i = 0; i < 4; ++i)
    if (files & (kInstallMsg << i)) WriteBytes(dir + names[i], names[i]);
}

const std::string kAdvice = ". Download latest program from www.verbalis.example and reinstall.";
const std::string kDamaged = "Check Startup|Verbalis Program install files damaged or missing" + kAdvice;
const std::string kTooOld = "Check Startup|Current Verbalis Program too old to install modules" + kAdvice;
const std::string kNotInstalled = "Check Startup|Verbalis program not properly installed" + kAdvice;
const std::string kRegistry = "Setup Error|Error accessing VRB Windows' Registry";
const std::string kRecent = "Verbalis 8.10.0.204", kJaws = "@\\JConfig.exe %1", kOldList = "c:\\old.801\r\n";
const std::string kLong(100000, 'x');
const std::vector<std::string> kModules = {"Text1.801", "Atlas101.dat", "Install.8010", "Mods801"};  // a folder too
const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\Setup.exe";

// Current JAWS versions: the settings all users share, language folders (holding default.jcf) beside others, a user's
// own; a Vrb.Jcf older (<), as new as (=), newer (>) than the distribution's; "\\" ends a folder, "~" links elsewhere.
const std::vector<std::string> kSharedLayout = {"2025\\Settings\\enu\\default.jcf", "2025\\Settings\\enu\\Vrb.Jcf<",
    "2025\\Settings\\ita\\default.jcf", "2025\\Settings\\ita\\Vrb.Jcf<", "2025\\Settings\\deu\\default.jcf",
    "2025\\Settings\\deu\\Vrb.Jcf=", "2025\\Settings\\VoiceProfiles\\Vrb.Jcf<", "2025\\Settings\\Init\\",
    "2025\\Scripts\\esn\\default.jcf", "17.0\\Settings\\esn\\default.jcf", "17.0\\Settings\\fra\\default.jcf",
    "17.0\\Settings\\fra\\Vrb.Jcf>", "2025\\Settings\\fin~", "16.0\\Settings~", "2026~"};
const std::vector<std::string> kElsewhere = {"default.jcf", "enu\\default.jcf", "Settings\\enu\\default.jcf"};
const std::vector<std::string> kUserLayout = {"2025\\Settings\\enu\\default.jcf", "2025\\Settings\\enu\\Vrb.Jcf<"};
const std::vector<std::string> kServed = {"2025\\Settings\\enu\\", "2025\\Settings\\ita\\", "17.0\\Settings\\esn\\"};

enum Start { kNone, kSource, kTemp, kHandOff };  // how the stand-in is started, if at all

// displayName: "" no uninstall key. In installPath and jaws (the JAWS open command), "@" is the installed copy's or
// JAWS's folder without backslash, and "#n" the number n.
struct Row {
  const char* name; unsigned files; std::string displayName, installPath = "@\\", args = "";
  std::vector<std::string> boxes = {}; Start start = kSource; std::string jaws = "";
};
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

struct Bench {
  ScratchDir root;
  std::string dist = root / "vrbdelta\\", source, installDir = root / "Program Files\\Verbalis\\";
  std::string jawsDir = root / "JAWS 2020\\", settings = jawsDir + "Settings\\", stubLog = root / "stub.log";
  std::string temp = LauncherTempDir(), marker = root / "planted-dll-was-loaded", savedTmp = getenv("TMP");
  std::string sharedJaws = std::string(getenv("ProgramData")) + "\\Freedom Scientific\\JAWS\\", refused;
  std::string userJaws = std::string(getenv("APPDATA")) + "\\Freedom Scientific\\JAWS\\";
  std::string machineTemp = kWindows + "Temp\\";
  // Every folder and link laid out here, and all left outside the scratch, removed after.
  std::vector<std::string> made, links, tempBefore;
  std::map<std::string, std::string> jawsBefore;

  Bench() { Clean(); }
  ~Bench() {
    Sleep(200);  // the stand-in has written its trace; let it end first
    Clean();
    SetEnv("TMP", savedTmp);
    for (const std::string& name : ListNames("R:\\")) RemoveTree("R:\\" + name);
    if (!links.empty()) Unix("Z:\\bin\\rm", links, true);
    for (const std::string& dir : made) RemoveTree(dir);
  }
  void LayOut(const std::string& base, std::vector<std::string> entries) {
    for (std::string& entry : entries) {
      const size_t mark = std::string("<=>~").find(entry.back());
      if (mark != std::string::npos) entry.pop_back();
      const std::string path = base + entry;
      for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        if (!PathExists(path.substr(0, at))) MakeDir(made.emplace_back(path.substr(0, at)));
      if (mark == 3) Unix("Z:\\bin\\ln -s", {root / "elsewhere", links.emplace_back(path)}, false);
      else if (entry.back() != '\\') WriteBytes(path, entry);
      if (mark < 3) SetLocalWriteTime(path, 2010 + 10 * static_cast<int>(mark), 5, 4);
    }
  }
  void Clean() {
    RegisterJaws("");
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    DeleteRegTree(HKEY_CURRENT_USER, kAppDefaults);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPending);
  }

  static std::string Entry(const std::string& path) { return ReadBytes(path) + "|" + std::to_string(FileAge(path)); }
  std::map<std::string, std::string> JawsTree() {  // below the versions laid out: folders, and files' content and age
    std::map<std::string, std::string> tree;
    std::vector<std::string> dirs = {sharedJaws + "2025\\", sharedJaws + "17.0\\", userJaws + "2025\\"};
    for (size_t i = 0; i < dirs.size(); ++i)
      for (const std::string& name : ListNames(dirs[i]))
        if (name.back() == '\\') tree[dirs.emplace_back(dirs[i] + name)];
        else tree[dirs[i] + name] = Entry(dirs[i] + name);
    return tree;
  }
  BoxRun Run(const Row& row) {
    SetEnv("VRB_STUB_LOG", stubLog);
    if (row.files & kDriveRoot) dist = "R:\\";
    std::string tmp = row.files & kCyrillic ? root / "???????\\Temp\\" : root / "Temp\\";
    if (row.files & kCyrillic) dist = root / "??????? Setup\\", installDir = root / "Program Files\\????????\\";
    for (int i = 0; i < 16 && (row.files & kDeep); ++i) dist += "deepdeep\\", tmp = dist + "temp\\";
    source = row.files & kCd ? dist + "vrb\\win32\\" : dist;
    for (size_t at = root.path().size(); at < dist.size(); at = dist.find('\\', at) + 1) MakeDir(dist.substr(0, at));
    for (const std::string& dir : {dist, dist + "vrb", source, dist + "sub", root / "Program Files", installDir,
                                   root / "???????", tmp})
      MakeDir(dir);
    SetEnv("TMP", tmp), temp = ShortLower(tmp);
    if (row.files & kSystemTemp) MakeDir(made.emplace_back(machineTemp = kWindows + "SystemTemp\\"));
    // At the first blank of the installed copy's path: Windows would start it for an unquoted path.
    CopyBin("boxbot.exe", root / "Program.exe");
    MakeDistribution(source, row.files);
    // An installed copy is as new as the distribution's Vrb.Exe and two seconds newer than its Vrb.Ex_.
    if (row.files & kVrbExe) SetLocalWriteTime(source + "Vrb.Exe", 2020, 5, 4, 10, 0, 2);
    if (row.files & kVrbEx_) SetLocalWriteTime(source + "Vrb.Ex_", 2020, 5, 4, 10, 0, 0);
    for (auto [flag, name] : {std::pair{kLangDir, "Language"}, {kLogDir, "Startup.Log"}, {kMsgDir, "Install.Msg"}})
      if (row.files & flag) MakeDir(source + name);
    if (row.files & kOldLog) WriteBytes(source + "Startup.Log", "one\r\ntwo\nthree\r\r\nfour");
    if (row.files & kMods) {
      MakeDir(source + "Mods801");
      for (const char* name : {"Text1.801", "Atlas101.dat", "Install.8010", "Install.801", "common2.101",
                               "BetaEng.801", "language101.txt", "readme.txt", ".hidden801"})
        WriteBytes(source + name, name);
    }
    if (row.files & kInstalled) {
      CopyBin("Vrb.exe", installDir + "Vrb.Exe");
      SetLocalWriteTime(installDir + "Vrb.Exe", 2020, 5, 4, 10, 0, 2);
      if (row.files & kListDir) MakeDir(installDir + "AutoLoad.Lst");
      else WriteBytes(installDir + "AutoLoad.Lst", kOldList);
    }
    if (!row.displayName.empty()) {
      SetValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", row.displayName, installDir);
      SetValue(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallPath", row.installPath, installDir);
    }
    if (!row.jaws.empty() || row.files & kSharedJaws) SetLocalWriteTime(source + "Vrb.Jcf", 2020, 5, 4);
    if (row.files & kSharedJaws) {
      LayOut(root / "elsewhere\\", kElsewhere);
      LayOut(sharedJaws, kSharedLayout);
      LayOut(userJaws, kUserLayout);
      // JAWS reads the copy in the language folder judged first, letting others only read: it is not replaced.
      refused = "2025\\Settings\\" + InListingOrder(sharedJaws + "2025\\Settings\\", {"enu", "ita"})[0] + "\\";
      jawsBefore = JawsTree();
    }
    if (!row.jaws.empty()) {
      for (const std::string& dir : {jawsDir, settings, settings + "deu", settings + "fra"}) MakeDir(dir);
      for (const char* name : {"deu", "fra"}) WriteBytes(settings + name + "\\Vrb.Jcf", name);
      if (row.files & kSharedJaws)  // a link among them too, to where the shared folders' links go
        Unix("Z:\\bin\\ln -s", {root / "elsewhere", links.emplace_back(settings + "ita")}, false);
      SetLocalWriteTime(settings + "deu\\Vrb.Jcf", 2020, 5, 4);  // as new as the distribution's
      SetLocalWriteTime(settings + "fra\\Vrb.Jcf", 2010, 1, 1);  // older
      RegisterJaws(row.jaws, jawsDir);
    }
    if (row.files & kPlanted) {  // Wine prefers a file on disk only when told, as Windows does for unknown DLLs
      CopyBin("planted\\lz32.dll", dist + "lz32.dll");
      SetRegString(HKEY_CURRENT_USER, std::string(kAppDefaults) + "\\DllOverrides", "lz32", "native,builtin");
      SetEnv("VRB_PLANTED_MARKER", marker);
      for (const std::string& dir : {temp, machineTemp}) {
        CopyBin("planted\\lz32.dll", made.emplace_back(dir + "vrbplug.dll"));
        WriteBytes(made.emplace_back(dir + "Vrb.exe"), "planted");
      }
    }
    tempBefore = ListNames(temp);
    CopyBin("Setup.exe", dist + "Setup.exe");
    FileHandle held(CreateFileA((sharedJaws + refused + "Vrb.Jcf").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
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
  std::vector<std::string> boxes = BoxSummary(run), fatal = {"Application Error|Exception EFCreateError in module "
      "Setup.exe at <address>.\nCannot create file " + t.installDir + "AutoLoad.Lst."};
  for (std::string& box : boxes)  // where the failure was raised changes with the build
    if (box.rfind("Application Error|", 0) == 0) box.replace(box.find(" at ") + 4, 8, "<address>");
  EXPECT_EQ(boxes, row.files & kListDir ? fatal : row.boxes);
  EXPECT_EQ(run.exitCode, row.files & kListDir ? 1u : 0u);
  EXPECT_FALSE(PathExists(t.marker));

  // Into a folder of its own right below the machine's temporary folder, put down for deletion at restart after what it
  // holds; nothing added to the user's TEMP, and what was planted left alone.
  const std::vector<std::string> trace = t.Trace(row.start != kNone);
  std::string s = ShortLower(t.source), program = s, list, pending;
  if (row.start == kTemp) program = trace.size() > 2 ? trace[2].substr(4) + "\\" : "";
  for (const std::string& in : {program + "Vrb.exe", program + "Startup.Log", DropLast(program)})
    if (row.start == kTemp) pending += "\\??\\" + in + '\0' + '\0';
  EXPECT_EQ(PendingRenames(), pending);
  if (row.start == kTemp) EXPECT_EQ(program.substr(0, program.rfind('\\', program.size() - 2) + 1), ShortLower(t.machineTemp));
  if (row.start == kTemp) t.made.push_back(DropLast(program));
  EXPECT_EQ(ListNames(t.temp), t.tempBefore);
  for (const std::string& dir : {t.temp, t.machineTemp})
    EXPECT_EQ(ReadBytes(dir + "Vrb.exe"), row.files & kPlanted ? "planted" : "<missing>");
  std::vector<std::string> expected = {"start", "cmdline=" + program + "VRB.EXE \"" + s + "\"",
      "cwd=" + (program.size() == 3 ? program : DropLast(program)), "show=1", "plugin=none", "end"};
  if (row.start == kHandOff) {  // the modules in the order the folder lists them
    const std::string in = Reachable(t.installDir), q = in.find(" ") != std::string::npos ? "\"" : "";
    expected = {"start", "cmdline=" + q + in + "Vrb.Exe" + q, "cwd=" + DropLast(in), "show=1"};
    for (const std::string& name : InListingOrder(t.source, kModules)) {
      list += s + LowerLocale(name) + "\r\n";
      expected.push_back("module=" + s + LowerLocale(name));
    }
    if (list.empty()) expected.push_back("autoload=missing");
    expected.push_back("end");
  }
  if (row.start == kNone) expected.clear();
  EXPECT_EQ(trace, expected);
  if (row.start == kHandOff) EXPECT_EQ(ReadBytes(t.installDir + "AutoLoad.Lst"), list.empty() ? "<missing>" : list);
  else if ((row.files & (kInstalled | kListDir)) == kInstalled)
    EXPECT_EQ(ReadBytes(t.installDir + "AutoLoad.Lst"), kOldList);
  // Startup.Log is begun where the main program is started to install: an earlier one is rewritten as it was.
  bool installing = row.start == kSource || row.start == kTemp;
  std::string log = row.files & kOldLog ? "one\r\ntwo\r\nthree\r\n\r\nfour\r\n" : "";
  EXPECT_EQ(ReadBytes(program + "Startup.Log"), installing && !(row.files & kLogDir) ? log : "<missing>");

  // The JAWS configuration replaces an older copy, with its date, never a newer one, and only to install. A current
  // JAWS gets it in its shared language folders only, also with no JConfig registered: nothing else is written or made.
  std::map<std::string, std::string> served = t.jawsBefore;
  for (const std::string& dir : installing && row.files & kSharedJaws ? kServed : decltype(kServed)())
    if (dir != t.refused) served[t.sharedJaws + dir + "Vrb.Jcf"] = t.Entry(t.source + "Vrb.Jcf");
  EXPECT_EQ(t.JawsTree(), served);
  if (row.jaws.empty()) return;
  bool copies = installing && row.jaws.find('@') != std::string::npos;
  EXPECT_EQ(ReadBytes(t.settings + "fra\\Vrb.Jcf"), copies ? "Vrb.Jcf" : "fra");
  EXPECT_EQ(ReadBytes(t.settings + "deu\\Vrb.Jcf"), "deu");
  if (copies) EXPECT_EQ(GetFileDate(t.settings + "fra\\Vrb.Jcf"), GetFileDate(t.source + "Vrb.Jcf"));
}

INSTANTIATE_TEST_SUITE_P(Rows, SetupProgram, ::testing::ValuesIn(std::vector<Row>{
  // What the distribution holds.
  {"CdExpandsIntoAFolderOfItsOwnPastDllsPlanted", kCd | kVrbEx_ | kFiles | kPlanted, "", "", "", {}, kTemp, kJaws},
  {"ALanguageFolderCounts", (kComplete & ~kLang801) | kLangDir, ""},
  {"NoProgram", kFiles, "", "", "", {kDamaged}, kNone},
  {"NoInstallMsg", kComplete & ~kInstallMsg, "", "", "", {kDamaged}, kNone, kJaws},
  {"AFolderNamedInstallMsgIsNoFile", (kComplete & ~kInstallMsg) | kMsgDir, "", "", "", {kDamaged}, kNone},
  {"NoCommon801", kComplete & ~kCommon801, "", "", "", {kDamaged}, kNone},
  {"NoLang801", kComplete & ~kLang801, "", "", "", {kDamaged}, kNone},
  {"NoVrbJcf", kComplete & ~kVrbJcf, "", "", "", {kDamaged}, kNone},
  // An incomplete distribution: its modules go to a recent installed copy.
  {"HandOff", kModsOnly, kRecent, "@\\", "", {}, kHandOff},
  {"HandOffWithoutModulesRemovesTheOldList", kFiles | kInstalled, kRecent, "@\\", "", {}, kHandOff},
  {"HandOffToVersion8_10_020", kModsOnly, "Verbalis 8.10.020", "@\\", "", {}, kHandOff},
  {"Version8_10_0_203", kModsOnly, "Verbalis 8.10.0.203", "@\\", "", {kTooOld}, kNone},
  {"Version8_10WithoutProgram", kFiles | kMods, "Verbalis 8.10", "@\\", "", {kNotInstalled}, kNone},
  {"InstallPathWithoutBackslash", kModsOnly, kRecent, "@", "", {kNotInstalled}, kNone},
  {"AbsurdInstallPath", kModsOnly, "Verbalis " + kLong + " 8.10.0.204", "@\\" + kLong + "\\", "",
   {kNotInstalled}, kNone},
  {"AbsurdVersion", kModsOnly, "Verbalis " + std::string(100000, '8'), "@\\", "", {kTooOld}, kNone},
  // A module list that cannot be written ends the program with the generic report and exit code 1.
  {"AModuleListThatCannotBeWrittenEndsTheProgram", kModsOnly | kListDir, kRecent, "@\\", "", {}, kNone},
  {"InstallPathANumber", kModsOnly, kRecent, "#1", "", {kRegistry, kNotInstalled}, kNone},
  // A complete distribution installs whatever the installed copy.
  {"NumbersWhereNamesBelong", kComplete | kSharedJaws, "#8100204", "@\\", "",
   {kRegistry, "Setup Error|Error accessing Jaws Windows' Registry"}, kSource, "#1"},
  {"AbsurdValuesAutorun", kComplete, "Verbalis " + std::string(100000, '9'), "c:\\" + kLong + "\\", "autorun"},
  // An automatic start is silent only for the word "autorun" and an installed copy at least as new.
  {"AutorunCurrent", kCurrent | kSharedJaws, kRecent, "@\\", "AUTORUN", {}, kNone, kJaws},
  {"AutorunCurrentCd", kCd | kVrbEx_ | kFiles | kInstalled, kRecent, "@\\", "AutoRun", {}, kNone},
  {"AutorunInstallPathWithoutBackslash", kCurrent, kRecent, "@", "autorun"},
  {"AutorunInstallPathANumber", kCurrent, kRecent, "#6044259", "autorun", {kRegistry}},  // "c:\" as bytes
  {"SlashAutorun", kCurrent, kRecent, "@\\", "/autorun"},
  {"QuotedAutorunAndBlanks", kCurrent, kRecent, "@\\", "\"autorun" + std::string(5000, ' ') + "\""},
  // The JAWS command as registered, and what the system lets the launcher do.
  {"JawsQuotedCommand", kComplete, "", "", "", {}, kSource, "\"@\\JConfig.exe\" \"%1\""},
  {"CurrentJawsWithoutJConfig", kComplete | kSharedJaws, ""},
  {"EarlyAndCurrentJawsSideBySide", kComplete | kSharedJaws, "", "", "", {}, kSource, kJaws},
  {"AtADriveRootStartsThere", kComplete | kDriveRoot, ""},
  {"AnEarlierStartupLogIsRewrittenLineByLine", kComplete | kOldLog, ""},
  // Logging stays off without a word; a screen-reader line would otherwise fail and bring a box.
  {"StartupLogCannotBeWritten", kComplete | kLogDir, "", "", "", {}, kSource, kJaws},
  // Folders the code page cannot spell are named by their short forms; LZ32 takes paths of 128 characters and more.
  {"HandOffFromACyrillicFolderToACyrillicFolder", kModsOnly | kCyrillic, kRecent, "@\\", "", {}, kHandOff},
  {"CdInACyrillicFolderWithACyrillicTempExpands", kCyrillic | kCd | kVrbEx_ | kFiles, "", "", "", {}, kTemp},
  {"SystemTempIsPreferred", kSystemTemp | kVrbEx_ | kFiles, "", "", "", {}, kTemp},
  {"SixteenFoldersDeepExpands", kDeep | kVrbEx_ | kFiles, "", "", "", {}, kTemp},
}));

namespace {

UINT g_result;
std::vector<std::string> g_started;
UINT WINAPI FakeWinExec(LPCSTR commandLine, UINT) {  // how it is shown, the stand-in tells in whole runs
  g_started.push_back(commandLine);
  SetLastError(0);  // the wrapper's own box for a failed call is checked with the wrapper
  return g_result;
}
std::string g_queried;
ULONGLONG g_freeOnC, g_freeElsewhere;
BOOL WINAPI FakeFreeSpace(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER, PULARGE_INTEGER) {
  g_queried += std::string(root ? root : "<current>") + " ";
  available->QuadPart = root && root[0] == 'C' ? g_freeOnC : g_freeElsewhere;
  return available->QuadPart != 1;  // 1: the query fails
}
LONG WINAPI CopyFails(INT, INT) { return -5; }  // LZERROR_WRITE: the disk is full
DWORD WINAPI NoShortName(LPCWSTR, LPWSTR, DWORD) { return 0; }  // a volume that keeps no 8.3 names
std::vector<std::string> g_folders, g_security;  // asked for, and the descriptors asked with; the first name is taken
BOOL WINAPI RecordCreateDirectory(LPCSTR path, LPSECURITY_ATTRIBUTES security) {
  char* sddl = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorA(security ? security->lpSecurityDescriptor : nullptr,
      SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &sddl, nullptr);
  g_folders.push_back(path), g_security.push_back(sddl ? sddl : "<none>"), LocalFree(sddl);
  if (g_folders.size() == 1) return SetLastError(ERROR_ALREADY_EXISTS), FALSE;
  return CreateDirectoryA(path, security);
}

bool g_machineTemp;  // else setup may not make folders in the machine's temporary folders, as when not elevated
HANDLE WINAPI MachineTempRefused(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD how, DWORD flags,
                                 HANDLE model) {
  if (!g_machineTemp && LowerLocale(path).rfind(LowerLocale(kWindows), 0) == 0) return SetLastError(5), HANDLE(-1);
  return CreateFileA(path, access, share, sa, how, flags, model);
}
DWORD g_renamed;  // a rename of the folder by another handle while setup expands into it
LONG(WINAPI* g_lzCopy)(INT, INT);
LONG WINAPI CopyPastARename(INT in, INT out) {
  g_renamed = MoveFileA(g_folders.back().c_str(), (g_folders.back() + "x").c_str()) ? 0 : GetLastError();
  return g_lzCopy(in, out);
}

// Both language folders become links to the third once the first is checked: one after its check, one after listing.
const std::string kFs = std::string(getenv("ProgramData")) + "\\Freedom Scientific\\", kIn = "JAWS\\2025\\Settings\\";
const std::string kSwapped[] = {kFs + kIn + "enu", kFs + kIn + "ita", kFs + "elsewhere"};
void SwapForLinks(const char*) {
  static int swaps = 0;
  for (const std::string* name = kSwapped; name < kSwapped + 2 && swaps++ < 2; ++name)
    Unix("Z:\\bin\\mv", {*name, *name + "~"}, false), Unix("Z:\\bin\\ln -s", {kSwapped[2], *name}, false);
}

enum Fault { kNoFault, kNoLz32, kNoTempFolder, kCopyFails, kNoShortNames, kUnspelled, kJawsSwapped };
// The temporary folder from TMP (when given), free space on C: and elsewhere, and the drives asked (when given).
struct SetupRow {
  const char* name; unsigned files; Fault fault; UINT result; std::vector<std::string> boxes;
  const char* tmp = nullptr; ULONGLONG freeOnC = 1ull << 30, freeElsewhere = 1ull << 30; const char* queried = nullptr;
  bool machineTemp = false;
};
void PrintTo(const SetupRow& row, std::ostream* os) { *os << row.name; }
class SetupInProcess : public ::testing::TestWithParam<SetupRow> {};

}  // namespace

// What the user sees when the main program does not start (the result from WinExec) or cannot be made ready; in the
// boxes "@" is the temporary folder, "$" the distribution's, "%" the last folder of its own the launcher asked for.
// The temporary folder is the user's TEMP (from TMP), or the machine's where a row lets setup make folders there.
TEST_P(SetupInProcess, ShowsTheBoxesInOrder) {
  const SetupRow& row = GetParam();
  ScratchDir dist;
  MakeDistribution(dist.path(), row.files);
  const std::string tmp = getenv("TMP");
  SetEnv("TMP", row.tmp ? row.tmp : dist / (row.fault == kNoTempFolder ? "gone" : ""));  // its own folder in dist
  std::string source = ShortLower(dist.path()), temp = row.machineTemp ? ShortLower(kWindows + "Temp\\")
                                                                       : LauncherTempDir();
  FakeBoxes boxes;
  Sys().WinExec = FakeWinExec;
  Sys().GetDiskFreeSpaceExA = FakeFreeSpace;
  if (row.fault == kNoLz32) Sys().LZInit = nullptr;
  g_lzCopy = Sys().LZCopy, Sys().LZCopy = row.fault == kCopyFails ? CopyFails : CopyPastARename, g_renamed = 1;
  g_machineTemp = row.machineTemp, Sys().CreateFileA = MachineTempRefused;
  if (row.fault == kNoShortNames) Sys().GetShortPathNameW = NoShortName;
  Sys().CreateDirectoryA = RecordCreateDirectory, g_folders.clear(), g_security.clear();
  Sys().SetProcessMitigationPolicy = RefusePolicy, askedPolicies.clear();
  if (row.fault == kJawsSwapped) {
    Unix("Z:\\bin\\mkdir -p", {kSwapped, kSwapped + 3}, false);
    for (const std::string& dir : kSwapped) WriteBytes(dir + "\\default.jcf", "");
    Sys().JawsFolderChecked = SwapForLinks;
  }
  g_result = row.result;
  g_freeOnC = row.freeOnC;
  g_freeElsewhere = row.freeElsewhere;
  g_queried.clear();
  RunSetup(row.fault == kUnspelled ? "D:\\???????\\Setup.exe" : dist / "Setup.exe", "");
  ReleaseLog();
  SetEnv("TMP", tmp);
  // The compressed program's folder: another name after a taken one, the first error of any other kind the end; only
  // SYSTEM and the Administrators let in. Kept once the program is started, else removed.
  const bool starts = row.fault == kNoFault || row.fault == kNoShortNames || row.fault == kJawsSwapped;
  EXPECT_EQ(g_security, std::vector<std::string>(row.files & kVrbExe || row.fault == kUnspelled ? 0 : 2,
                                                 "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"));
  const std::string folder = g_folders.size() == 2 && g_folders[0] != g_folders[1] ? g_folders[1] + "\\" : "";
  EXPECT_EQ(PathExists(folder), !folder.empty() && starts);
  if (!folder.empty()) EXPECT_EQ(folder.substr(0, folder.rfind('\\', folder.size() - 2) + 1), LowerLocale(temp));
  EXPECT_EQ(g_renamed, row.fault == kNoFault && row.files & kVrbEx_ ? ERROR_SHARING_VIOLATION : 1u);
  RemoveTree(DropLast(folder));
  std::vector<std::string> expected;
  for (const std::string& box : row.boxes)
    expected.push_back(Fill(Fill(Fill(box, '@', temp), '$', source), '%', folder));
  EXPECT_EQ(boxes.Summary(), expected);
  const std::string program = row.files & kVrbExe ? source : folder;
  EXPECT_EQ(g_started, std::vector<std::string>(starts, program + "VRB.EXE \"" + source + "\""));
  if (row.files & kVrbEx_) EXPECT_TRUE(DeleteFileA((dist / "Vrb.Ex_").c_str()));  // no handle left open
  if (row.queried) EXPECT_EQ(g_queried, row.queried);
  EXPECT_EQ(askedPolicies, "16:1 ");  // links only administrators made, refused quietly
  if (row.fault == kJawsSwapped) EXPECT_EQ(ListNames(kSwapped[2]), std::vector<std::string>{"default.jcf"});
  Unix("Z:\\bin\\rm -rf", {kFs}, true);  // what a row laid out, links too
}

const ULONGLONG kMB = 1024 * 1024;
const std::string kShort = "Setup Warning|Warning: 4 Megs of temporary space needed for Setup";
INSTANTIATE_TEST_SUITE_P(Rows, SetupInProcess, ::testing::ValuesIn(std::vector<SetupRow>{
  {"Result2", kVrbEx_ | kFiles, kNoFault, 2, {"WinExec|2-File was not found. %VRB.EXE"}},  // the folder of its own
  // Below the machine's temporary folder, whose drive alone is measured, and warned about only when short.
  {"IntoTheMachinesTemporaryFolder", kVrbEx_ | kFiles, kNoFault, 2, {"WinExec|2-File was not found. %VRB.EXE"},
   "d:\\temp", 4 * kMB, 0, "C:\\ ", true},
  {"TheMachinesTemporaryDriveShort", kComplete, kNoFault, 2, {kShort, "WinExec|2-File was not found. @VRB.EXE"},
   "d:\\temp", 4 * kMB - 1, 1ull << 30, "C:\\ ", true},
  {"Result31", kComplete, kNoFault, 31, {"WinExec|Failed to run SETUP1.EXE. Error code: 31"}},
  {"Result32", kComplete, kNoFault, 32, {}},
  {"NoLz32", kVrbEx_ | kFiles, kNoLz32, 33, {"CopyFile|Error opening source file \"$Vrb.Ex_\""}},
  {"NoTemporaryFolder", kVrbEx_ | kFiles, kNoTempFolder, 33, {"CopyFile|Error opening destination file \"%Vrb.exe\""}},
  // 4 MB of temporary space, else drive C:, else a warning and on.
  {"TemporarySpaceFallsBackToDriveC", kComplete, kNoFault, 2, {kShort, "WinExec|2-File was not found. c:\\VRB.EXE"},
   "d:\\temp", 4 * kMB - 1, kMB, "D:\\ C:\\ "},
  {"TemporarySpaceOnItsOwnDrive", kComplete, kNoFault, 2, {"WinExec|2-File was not found. d:\\temp\\VRB.EXE"},
   "d:\\temp", 0, 4 * kMB, "D:\\ "},
  {"FourMegabytesOnDriveCAreEnough", kComplete, kNoFault, 33, {}, "c:\\me\\temp", 4 * kMB, 0, "C:\\ "},
  {"TwoTebibytesOrMoreAreEnough", kComplete, kNoFault, 33, {}, "c:\\me\\temp", ~0ull, 0, "C:\\ "},
  {"AFailedFreeSpaceQueryWarns", kComplete, kNoFault, 33, {kShort}, "c:\\me\\temp", 1, 0, "C:\\ "},
  {"ExpansionFails", kVrbEx_ | kFiles, kCopyFails, 33, {"CopyFile|Error copying file \"$Vrb.Ex_\" to \"%Vrb.exe\""}},
  {"JawsFoldersSwappedForLinksAfterTheirCheckAreNotWrittenThrough", kComplete, kJawsSwapped, 33, {}},
  // A temporary folder that no A call can name is none: c:\ stands in, as for no folder at all.
  {"ATemporaryFolderWithoutAShortNameIsNone", kComplete, kNoShortNames, 2,
   {"WinExec|2-File was not found. c:\\VRB.EXE"}, "c:\\users\\????\\temp"},
  {"AFolderWithoutAShortFormIsNamedAndNothingDone", kComplete, kUnspelled, 33,
   {"Setup Error|The folder D:\\???????\\ has a name that Setup cannot use. Move the Verbalis distribution to a "
    "folder with a plain name, such as C:\\Verbalis, and start Setup there."}},
}));
