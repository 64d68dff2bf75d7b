// The uninstaller started as the uninstall entry starts it, on a table of cases and on randomised
// trees judged by the rules as a user states them; in-process only what a whole run cannot reach.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

#include "failure.h"
#include "own_folder_check.h"
#include "run_uninstall.h"
#include "test_support.h"

using Names = std::vector<std::string>;
// Relative path (folders end in "\") -> flags: R, H, S attributes; O a file dated 1979; L a link to
// the folder Outside; B a file held open during the run; P<name> a copy of that built program.
using Tree = std::map<std::string, std::string>;
const char kShellKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const kShell[] = {"DeskTop", "Programs", "Personal"}, *const kShellDirs[] = {"Shell\\Desktop", "Shell\\Programs", "Documents"};

bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }
bool Begins(const std::string& s, const std::string& head) { return s.rfind(head, 0) == 0; }
bool Ends(const std::string& s, const std::string& t) { return s.size() >= t.size() && s.substr(s.size() - t.size()) == t; }
std::string Lower(std::string s) {  // letter case never matters, accented letters of 1252 too
  for (char& c : s) c += (c >= 'A' && c <= 'Z') || (c >= '\xC0' && c <= '\xDE' && c != '\xD7') ? 0x20 : 0;
  return s;
}
Tree Parse(const std::string& spec, Tree tree = {}) {  // "name:flags name ..."
  std::istringstream words(spec);
  for (std::string w; words >> w;) tree[w.substr(0, w.find(':'))] = Has(w, ":") ? w.substr(w.find(':') + 1) : "";
  return tree;
}
Tree Disk(const std::string& root, const std::string& rel = "", Tree out = {}) {  // links are listed, not entered
  for (const std::string& name : ListNames(root + rel)) {
    const std::string path = root + (out[rel + name], rel) + name.substr(0, name.size() - 1);
    if (name.back() == '\\' && !(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT))
      for (const auto& below : Disk(root, rel + name)) out.insert(below);
  }
  return out;
}

// ---- What survives, as a user states the rules ----------------------------------------------
std::string ParentOf(const std::string& rel) { return rel.substr(0, rel.rfind('\\', rel.size() - 2) + 1); }
std::string NameOf(const std::string& r) {
  return Lower(r.substr(ParentOf(r).size(), r.size() - ParentOf(r).size() - (r.back() == '\\')));
}
bool UsersFolder(const std::string& n) { return n == "fonts" || Begins(n, "notes") || Begins(n, "2"); }
// Whether an entry stays with all it holds: dot names, busy files, links (never entered; Wine keeps the link),
// the user's folders, the uninstaller, desktops but the scratch ones, the daily desktop, list and system files,
// notes.map beside notes; a module "<stem>00" with a V03000 or T03000 from 1980 on: "<stem>??", "<stem>*.map".
bool StaysWhole(const Tree& tree, const std::string& rel) {
  const std::string name = NameOf(rel), flags = tree.at(rel);
  const bool folder = rel.back() == '\\';
  if (Begins(name, ".") || Has(flags, "L") || Has(flags, "B") || (folder && UsersFolder(name)) ||
      (!folder && (Has(flags, "S") || name == "vrbdel.exe" || name == "daily.dtp" || Ends(name, ".lst") ||
                   (Begins(name, "desktop.") && name != "desktop.998" && name != "desktop.999"))))
    return true;
  bool notes = false;
  for (const auto& [other, otherFlags] : tree) {
    const std::string o = NameOf(other);
    if (ParentOf(other) != ParentOf(rel) || other.back() != '\\') continue;
    notes = notes || Begins(o, "notes");
    if (!Ends(o, "00") || Has(otherFlags, "L") || Begins(o, ".") || UsersFolder(o)) continue;
    bool marker = false;
    for (const auto& [in, inFlags] : tree)
      marker |= ParentOf(in) == other && in.back() != '\\' && !Has(inFlags, "O") &&
                (NameOf(in) == "v03000" || NameOf(in) == "t03000");
    const std::string stem = o.substr(0, o.size() - 2);
    if (marker && Begins(name, stem) && (folder ? name.size() == stem.size() + 2 : Ends(name, ".map"))) return true;
  }
  return !folder && name == "notes.map" && notes;
}
// What stays whole, what lies in it, and the folders above it survive; the rest goes.
Tree Survivors(const Tree& tree) {
  Tree whole, out;
  for (const auto& [rel, flags] : tree)  // a folder comes before what it holds
    if (whole.count(ParentOf(rel)) || StaysWhole(tree, rel))
      for (std::string up = whole[rel] = rel; !up.empty(); up = ParentOf(up)) out[up];
  return out;
}

std::string UnixPath(std::string path) {
  for (char& c : path) c = c == '\\' ? '/' : c;
  return "\"" + std::string(getenv("WINEPREFIX")) + "/drive_c" + path.substr(2) + "\"";
}
// Wine starts a Unix program but hands back nothing to wait on: wait until path is there, or gone.
void Unix(std::string line, const std::string& path, bool gone) {
  STARTUPINFOA startup{sizeof startup}; PROCESS_INFORMATION process;
  ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, 0, 0, nullptr, "C:\\", &startup, &process));
  for (int i = 0; i < 100 && (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) != gone; ++i) Sleep(50);
}
// Scratch folder: Shell\Desktop, Shell\Programs and Documents are the user's while it lives; Outside is every link's target.
struct Bench {
  Bench() {
    for (int i : {0, 1, 2}) RegGetValueA(HKEY_CURRENT_USER, kShellKey, kShell[i], RRF_RT_REG_SZ, 0, saved[i], &size[i]),
        SetRegString(HKEY_CURRENT_USER, kShellKey, kShell[i], dir / kShellDirs[i]);
    Make(dir / "", Parse("Documents\\ Outside\\ Outside\\data.dat Outside\\V03000 Shell\\ Shell\\Desktop\\ Shell\\Desktop\\.Lnk "
                         "Shell\\Desktop\\Verbalis.Lnk Shell\\Programs\\ Shell\\Programs\\Other.Lnk Shell\\Programs\\Tools\\ "
                         "Shell\\Programs\\Tools\\Help.Lnk Shell\\Programs\\Tools\\Verbalis.Lnk Shell\\Programs\\Verbalis\\ "
                         "Shell\\Programs\\Verbalis\\Verbalis.Lnk"));
  }
  ~Bench() {
    for (HANDLE h : held) CloseHandle(h);
    for (int i : {0, 1, 2}) SetRegString(HKEY_CURRENT_USER, kShellKey, kShell[i], saved[i]);
    if (links) Unix("Z:\\bin\\rm -rf " + UnixPath(dir.path()), dir.path(), true);  // Wine cannot unlink it
  }
  void Make(const std::string& root, const Tree& tree) {
    for (const auto& [rel, flags] : tree) {
      const std::string path = root + rel.substr(0, rel.size() - (rel.back() == '\\'));
      if (Has(flags, "L") && ++links) Unix("Z:\\bin\\ln -s " + UnixPath(dir / "Outside") + " " + UnixPath(path), path, 0);
      else if (Has(flags, "P")) ASSERT_TRUE(CopyFileA(BinFile(flags.substr(1)).c_str(), path.c_str(), FALSE)) << path;
      else if (rel.back() == '\\') ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
      else WriteBytes(path, rel);
      if (Has(flags, "O")) SetLocalWriteTime(path, 1979, 12, 31);
      if (Has(flags, "B")) held.push_back(CreateFileA(path.c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0));
      const DWORD a = (Has(flags, "R") ? 1 : 0) | (Has(flags, "H") ? 2 : 0) | (Has(flags, "S") ? 4 : 0);
      if (a) ASSERT_TRUE(SetFileAttributesA(path.c_str(), a)) << path;
    }
  }
  ScratchDir dir;
  char saved[3][MAX_PATH] = {};
  DWORD size[3] = {MAX_PATH, MAX_PATH, MAX_PATH};
  std::vector<HANDLE> held;  // sharing nothing
  int links = 0;
};

// setup: in the Desktop folder (D), the folder holding Desktop and Programs (H), the profile (P), the folder of
// all profiles (A), Documents (M) or Documents\Verbalis (V); # "DeskTop" a number; E an empty Programs folder.
// boxes: Q question, R refusal, S "ShortCuts", N notice.
struct Case { const char *name, *setup, *args, *answers, *boxes; bool purged; const char *shortcutsGone, *tree; };
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }
#define WITH_MAIN "Install.Msg Vrb.exe:PVrb.exe "
const char kAll[] = "Verbalis Verbalis", kOurs[] = "Desktop\\Verbalis.Lnk Programs\\Verbalis\\ Programs\\Verbalis\\Verbalis.Lnk";

void Check(const Case& c, Tree tree) {
  Bench b;
  char profile[MAX_PATH];
  const std::string home = std::string(profile, GetEnvironmentVariableA("USERPROFILE", profile, MAX_PATH)) + "\\";
  const std::string shell = b.dir / "Shell\\", places[] = {shell + "Desktop\\", shell, home, ParentOf(home),
      b.dir / "Documents\\", b.dir / "Documents\\Verbalis\\"};
  const size_t place = std::string("DHPAMV").find(c.setup[0] ? c.setup[0] : '-');
  const std::string app = place < 6 ? places[place] : b.dir / "My App\\";
  MakeDir(app);
  if (Has(c.setup, "E")) RemoveTree(shell + "Programs"), MakeDir(shell + "Programs");
  tree["vrbdel.exe"] = "PSetup.exe";
  b.Make(app, tree);
  if (Has(c.setup, "#")) SetRegDword(HKEY_CURRENT_USER, kShellKey, "DeskTop", 7);
  Tree before = Disk(app), shellLeft = Disk(shell), outside = Disk(b.dir / "Outside\\");
  SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Verbalis 3.0");
  SetEnv("VRB_STUB_LOG", b.dir / "stub.log"), SetEnv("VRB_STUB_PROBE", app + "Install.Msg");  // there while unregistering?
  const BoxRun run = RunProgram(app + "vrbdel.exe", c.args, c.answers);
  EXPECT_EQ(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), !c.purged);
  DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);

  Names boxes;
  for (char box : std::string(c.boxes))
    boxes.push_back(box == 'Q' ? "Uninstall|You do not have to uninstall the Verbalis program to install a new "
                                 "version. Do you wish to uninstall the program? "
        : box == 'S' ? "ShortCuts|Unable to remove program shortcuts. Remove manually."
        : box == 'N' ? "Uninstall|Your personal notes, topics, fonts and desktops have not been deleted.Use the "
                       "Control Panel menu to remove the fonts from " + app + "\\Fonts Go to your Windows "
                       "Explorer to completely remove these items."
        : "Uninstall|Verbalis is not installed in its own folder here: " + app + ". Nothing was removed.");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(BoxSummary(run), boxes);
  EXPECT_EQ(Disk(app), c.purged ? Survivors(tree) : before);
  std::istringstream gone(c.shortcutsGone);
  for (std::string name; gone >> name;) shellLeft.erase(name);
  EXPECT_EQ(Disk(shell), shellLeft);
  EXPECT_EQ(Disk(b.dir / "Outside\\"), outside);
  char shortApp[MAX_PATH];  // unregistered in the short lower-case folder, and waited for
  const std::string u = Lower(std::string(shortApp, GetShortPathNameA(app.c_str(), shortApp, MAX_PATH)));
  EXPECT_EQ(FileLines(b.dir / "stub.log"), (c.purged && tree.count("Vrb.exe") ? Names{"start", "cmdline=" + u +
            "\\Vrb.exe /unregserver", "cwd=" + u.substr(0, u.size() - 1), "probe=present", "end"} : Names{}));
  for (const auto& entry : tree)  // the profiles keep nothing of the case
    if (!Begins(app, b.dir.path())) RemoveTree(app + entry.first);
}

const Case kCases[] = {
    {"CancelChangesNothing", "", kAll, "C", "Q", false, "", WITH_MAIN "lib\\ lib\\x.dat"},
    {"WithoutInstallMsgNothingChanges", "", kAll, "O", "Q", false, "", "Vrb.exe:PVrb.exe lib\\ lib\\x.dat"},
    {"InTheDesktopFolderNothingIsRemovedOrStarted", "D", kAll, "O", "QR", false, "", WITH_MAIN},
    {"InTheFolderOfDesktopAndProgramsNothingIsRemoved", "H", kAll, "O", "QR", false, "", WITH_MAIN},
    {"InTheProfileNothingIsRemoved", "P", kAll, "O", "QR", false, "", WITH_MAIN},
    {"InTheFolderOfAllProfilesNothingIsRemoved", "A", kAll, "O", "QR", false, "", WITH_MAIN},
    {"InDocumentsNothingIsRemoved", "M", kAll, "O", "QR", false, "", WITH_MAIN},
    {"InAFolderOfOursInDocumentsAllIsRemoved", "V", kAll, "O", "QN", true, kOurs, WITH_MAIN},
    {"AFullRunSparesTheUsersFilesAfterTheUnregistration", "", kAll, "O", "QN", true, kOurs, WITH_MAIN
     "daily.dtp Desktop.1 desktop.999 DESKTOP.998 desktop X.LST .lst readme.txt:RH sys.bin:S Fonts\\ Fonts\\f.ttf 2x\\ 2x\\a "
     "NotesBackup\\ notes.map xnotes\\ xnotes\\notes.map Help\\:H Help\\h.hlp:R lib\\ lib\\notes.map lib\\notes\\ "
     "Abc00\\ Abc00\\V03000 abc.map ABCnt.map abc.idx abc0\\ abc01\\ abc001\\ xyz00\\ xyz00\\T03000:H xyz.map "
     "old00\\ old00\\V03000:O old.map dir00\\ dir00\\V03000\\ dir.map notes00\\ notes00\\V03000 notesx.map "
     "\xC4" "BC00\\ \xC4" "BC00\\V03000 \xE4" "bc.map \xE4" "bc.idx mods\\ mods\\00\\ mods\\00\\V03000 mods\\a.map mods\\abc\\"},
    {"FoldersThatCannotBeEmptiedStayAndTheRunCompletes", "", kAll, "O", "QN", true, kOurs,
     "Install.Msg busy\\ busy\\open.dat:B busy\\x.dat lib\\ lib\\deep\\ lib\\deep\\index.lst lib\\y.dat zzz\\ zzz\\z.dat"},
    {"AFolderLinkIsNotFollowed", "", kAll, "O", "QN", true, kOurs, "Install.Msg lib\\ lib\\x.dat lib\\shared\\:L abc00\\:L abc.map"},
    {"AGroupHoldingAnotherShortcutStays", "", "Tools Verbalis", "O", "QSN", true,
     "Desktop\\Verbalis.Lnk Programs\\Tools\\Verbalis.Lnk", "Install.Msg"},
    {"AShellFolderStoredAsANumberLeavesTheShortcuts", "#", kAll, "O", "QSN", true, "", "Install.Msg"},
    // Empty names name nothing: not ".Lnk", not the Programs folder itself, even when it is empty.
    {"EmptyArguments", "E", "", "O", "QN", true, "", "Install.Msg"},
};
class UninstallProgram : public ::testing::TestWithParam<Case> {};
TEST_P(UninstallProgram, Run) { Check(GetParam(), Parse(GetParam().tree)); }
INSTANTIATE_TEST_SUITE_P(Uninstall, UninstallProgram, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Randomised trees: the user's names and look-alikes, module folders "<stem>00", their siblings and
// ".map" files, in any letter case, with attributes; markers, some a folder or from 1979.
struct Generator {
  std::mt19937 rng;
  Tree tree{{"vrbdel.exe", ""}, {"Install.Msg", ""}};
  int Below(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
  std::string Pick(std::initializer_list<const char*> items) { return items.begin()[Below(items.size())]; }
  std::string Flags(bool f) { return (f && !Below(5) ? "R" : "") + std::string(Below(7) ? "" : "H") + (Below(12) ? "" : "S"); }
  std::string Name(bool folder) {
    std::string s = Below(3) ? Pick({"abc", "x", "\xE4rz", "no", "note", "", "2b"}) +
        std::string(folder ? Pick({"00", "00", "01", "xx", "001", "0"}) : Pick({".map", "nt.map", ".idx", "00.map"}))
        : folder ? Pick({"fonts", "notes", "notes2", "2000", "font", "fontsx", "data", ".store", "xnotes"})
        : Pick({"desktop.1", "desktop.999", "desktop.998", "index.lst", ".lst", "daily.dtp", "notes.map", "vrbdel.exe",
                "readme.txt", "x.lst.bak", "daily.dtp2", "notes2.map", "desktop", "v03000", ".cfg", "\xE9t\xE9.dat"});
    for (char& c : s) c -= ((c >= 'a' && c <= 'z') || c == '\xE4' || c == '\xE9') && Below(5) < 2 ? 0x20 : 0;
    return s;
  }
  bool Add(const std::string& rel, const std::string& flags) {  // unique whatever the letter case
    for (const auto& [other, f] : tree)
      if (ParentOf(other) == ParentOf(rel) && NameOf(other) == NameOf(rel)) return false;
    return tree.emplace(rel, flags).second;
  }
  void Fill(const std::string& dir, int depth) {
    for (int i = 0, n = depth ? Below(8 - depth) : 8 + Below(10); i < n; ++i) {
      const int roll = Below(100), marker = Below(20);
      const std::string rel = dir + Name(true) + "\\";
      if (roll < 40 && depth < 4 && Add(rel, Flags(false))) {  // Wine keeps no read-only folders
        if (marker < 17)
          Add(rel + Pick({"V03000", "t03000"}) + (marker < 3 ? "\\" : ""), marker < 3 ? "" : Flags(true) + (marker < 5 ? "O" : ""));
        Fill(rel, depth + 1);
      } else if (roll >= 40 || depth == 4) {
        Add(dir + Name(false), Flags(true));
      }
    }
  }
};
class PurgeTrees : public ::testing::TestWithParam<int> {};
TEST_P(PurgeTrees, ExactlyWhatTheRulesSpareSurvives) {  // VRB_PURGE_TREES=n runs n trees
  for (int i = GetParam(); i < atoi(getenv("VRB_PURGE_TREES") ? getenv("VRB_PURGE_TREES") : "40") && !HasFailure(); i += 4) {
    SCOPED_TRACE("tree seed " + std::to_string(20261206 + i));
    Generator g{std::mt19937(20261206 + i)};
    g.Fill("", 0);
    Check({"", "", kAll, "O", "QN", true, kOurs, ""}, g.tree);
  }
}
INSTANTIATE_TEST_SUITE_P(Random, PurgeTrees, ::testing::Range(0, 4));

// In-process: no question where the folder cannot be entered, no consent where it cannot be shown, no root purged.
TEST(UninstallSteps, TheGuardsBeforeTheFirstDeletion) {
  ScratchDir dir;
  WriteBytes(dir / "Install.Msg", "");
  FakeBoxes boxes({0}, ERROR_ACCESS_DENIED);
  EXPECT_THROW(RunUninstall(dir / "gone\\vrbdel.exe", "", ""), Failure);
  RunUninstall(dir / "vrbdel.exe", "Verbalis", "Verbalis");
  EXPECT_TRUE(PathExists(dir / "Install.Msg"));
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OKCANCEL));
  EXPECT_EQ(boxes.boxes()[1].caption, "Windows Error: 24");
  EXPECT_TRUE(IsSharedFolder("r:\\") && IsSharedFolder("\\\\server\\share\\") && !IsSharedFolder("\\\\server\\share\\app\\"));
}
