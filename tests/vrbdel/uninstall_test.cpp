// The uninstaller started as the uninstall entry starts it, on a table of cases and on randomised trees judged by the
// rules as a user states them; in-process only what a whole run cannot reach.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

#include "failure.h"
#include "folders.h"
#include "own_folder_check.h"
#include "purge_directory.h"
#include "run_uninstall.h"
#include "test_support.h"

using std::string;
using Names = std::vector<string>;
// Relative path (folders end in "\") -> flags: R, H, S attributes; O a file dated 1979; L a link to the folder Outside;
// B a file held open during the run; P<name> a copy of that built program.
using Tree = std::map<string, string>;
const char kShellKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The user's folders while a case runs, in its scratch folder.
const char* const kShell[][2] = {
    {"DeskTop", "Sh???\\Desktop"}, {"Programs", "Sh???\\Programs"}, {"Personal", "Documents"}};

bool Has(const string& s, const string& part) { return s.find(part) != string::npos; }
bool Begins(const string& s, const string& head) { return s.rfind(head, 0) == 0; }
bool Ends(const string& s, const string& t) { return s.size() >= t.size() && s.rfind(t) == s.size() - t.size(); }
string Lower(string s) {  // letter case never matters, accented letters of 1252 too
  for (char& c : s)
    if ((c >= 'A' && c <= 'Z') || (c >= '\xC0' && c <= '\xDE' && c != '\xD7')) c += 0x20;
  return s;
}
string WithoutBackslash(const string& rel) { return rel.substr(0, rel.size() - Ends(rel, "\\")); }
Tree Parse(const string& text) {  // "name:flags name ..."
  Tree tree;
  std::istringstream words(text);
  for (string word; words >> word;)
    tree[word.substr(0, word.find(':'))] = Has(word, ":") ? word.substr(word.find(':') + 1) : "";
  return tree;
}
DWORD Attributes(const string& f) { return (Has(f, "R") ? 1 : 0) | (Has(f, "H") ? 2 : 0) | (Has(f, "S") ? 4 : 0); }
string Letters(DWORD a) { return string(a & 1 ? "R" : "") + (a & 2 ? "H" : "") + (a & 4 ? "S" : ""); }
Tree Disk(const string& root, const string& rel = "") {  // names and attributes; links are listed, not entered
  Tree out;
  for (const string& name : ListNames(root + rel)) {
    const DWORD attributes = GetFileAttributesW(W(root + WithoutBackslash(rel + name)).c_str());
    out[rel + name] = Letters(attributes);
    if (Ends(name, "\\") && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      for (const auto& below : Disk(root, rel + name)) out.insert(below);
  }
  return out;
}

string ParentOf(const string& rel) { return rel.substr(0, rel.rfind('\\', rel.size() - 2) + 1); }
string NameOf(const string& rel) { return Lower(WithoutBackslash(rel).substr(ParentOf(rel).size())); }
bool UsersFolder(const string& n) { return n == "fonts" || Begins(n, "notes") || Begins(n, "2"); }
bool UsersFile(const string& n) {  // the scratch desktops are not the user's
  return n == "vrbdel.exe" || n == "daily.dtp" || Ends(n, ".lst") ||
         (Begins(n, "desktop.") && n != "desktop.998" && n != "desktop.999");
}
// Whether a link's own handle shows it, so that it can go as a link (Windows); Wine opens a Unix link as its target.
bool linksGo = false;
bool OpensAsLink(const string& path) {
  BY_HANDLE_FILE_INFORMATION info{};
  HANDLE h = CreateFileW(W(path).c_str(), FILE_READ_ATTRIBUTES, 7, nullptr, OPEN_EXISTING, 0x2200000, nullptr);
  return GetFileInformationByHandle(h, &info) && CloseHandle(h) && (info.dwFileAttributes & 0x400);
}
// The rules as a user states them. Stays, with all it holds: what lies in what stays, dot names, busy files, links
// (never entered, what they point to whole; removed where a link opens as a link), the user's folders and files, system
// files, notes.map beside notes; a module "<stem>00" with a V03000 or T03000 from 1980 on keeps "<stem>??" and
// "<stem>*.map".
bool StaysWhole(const Tree& tree, const string& rel) {
  const string name = NameOf(rel), flags = tree.at(rel);
  const bool folder = Ends(rel, "\\");
  if (tree.count(ParentOf(rel)) && StaysWhole(tree, ParentOf(rel))) return true;
  if (Begins(name, ".") || (Has(flags, "L") && !linksGo) || Has(flags, "B")) return true;
  if (folder ? UsersFolder(name) : Has(flags, "S") || UsersFile(name)) return true;
  bool notes = false;
  for (const auto& [other, otherFlags] : tree) {
    const string o = NameOf(other);
    if (ParentOf(other) != ParentOf(rel) || !Ends(other, "\\")) continue;
    notes = notes || Begins(o, "notes");
    if (!Ends(o, "00") || Has(otherFlags, "L") || Begins(o, ".") || UsersFolder(o)) continue;
    bool marker = false;
    for (const auto& [in, inFlags] : tree)
      marker = marker || (ParentOf(in) == other && !Ends(in, "\\") && !Has(inFlags, "O") &&
                          (NameOf(in) == "v03000" || NameOf(in) == "t03000"));
    const string stem = o.substr(0, o.size() - 2);
    if (marker && Begins(name, stem) && (folder ? name.size() == o.size() : Ends(name, ".map"))) return true;
  }
  return !folder && name == "notes.map" && notes;
}
// What stays whole and the folders above it, with their attributes (Wine lists dot names as hidden); the rest goes.
Tree Survivors(const Tree& tree) {
  Tree out;
  for (const auto& [rel, flags] : tree)
    if (StaysWhole(tree, rel))
      for (string up = rel; !up.empty(); up = ParentOf(up))
        out[up] = Letters(Attributes(tree.at(up)) | (Begins(NameOf(up), ".") ? FILE_ATTRIBUTE_HIDDEN : 0));
  return out;
}

// A scratch folder whose Sh???\Desktop, Sh???\Programs and Documents are the user's while it lives; the user's profile
// is named in Cyrillic ("?").
struct Bench {
  Bench() {
    for (int i : {0, 1, 2})
      RegGetValueA(HKEY_CURRENT_USER, kShellKey, kShell[i][0], RRF_RT_REG_SZ, nullptr, saved[i], &size[i]);
    for (int i : {0, 1, 2}) SetRegString(HKEY_CURRENT_USER, kShellKey, kShell[i][0], dir / kShell[i][1]);
    Make(dir.path(), Parse("Documents\\ Outside\\ Outside\\data.dat Outside\\V03000 Sh???\\"));
    Make(dir / "Sh???\\", Parse("Desktop\\ Desktop\\.Lnk Desktop\\Verbalis.Lnk Programs\\ Programs\\Other.Lnk "
                                "Programs\\Tools\\ Programs\\Tools\\Help.Lnk Programs\\Tools\\Verbalis.Lnk "
                                "Programs\\Verbalis\\ Programs\\Verbalis\\Verbalis.Lnk"));
  }
  ~Bench() {
    for (HANDLE h : held) CloseHandle(h);
    for (int i : {0, 1, 2}) SetRegString(HKEY_CURRENT_USER, kShellKey, kShell[i][0], saved[i]);
    Unix("Z:\\bin\\rm -rf", {dir.path()}, true);  // Wine cannot remove a link
  }
  void Make(const string& root, const Tree& tree) {
    Names readOnly;  // folders: Wine makes none read-only, but shows one without write permission as read-only
    for (const auto& [rel, flags] : tree) {
      const string path = root + WithoutBackslash(rel);
      const std::wstring w = W(path);
      if (Has(flags, "L")) Link(path);
      else if (Has(flags, "P")) ASSERT_TRUE(CopyFileW(W(BinFile(flags.substr(1))).c_str(), w.c_str(), 0)) << path;
      else if (Ends(rel, "\\")) ASSERT_TRUE(CreateDirectoryW(w.c_str(), nullptr)) << path;
      else WriteBytes(path, rel);
      if (Has(flags, "O")) SetLocalWriteTime(path, 1979, 12, 31);
      if (Has(flags, "B")) held.push_back(CreateFileW(w.c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0));
      const DWORD attributes = Attributes(flags);
      if (attributes) ASSERT_TRUE(SetFileAttributesW(w.c_str(), attributes)) << path;
      if (Ends(rel, "\\") && Has(flags, "R")) readOnly.push_back(path);
    }
    if (!readOnly.empty()) Unix("Z:\\bin\\chmod a-w", readOnly, false);
    for (int i = 0; i < 100 && !readOnly.empty() && !(GetFileAttributesW(W(readOnly.back()).c_str()) & 1); ++i) Sleep(50);
  }
  void Link(const string& path) {  // to Outside, every link's target
    Unix("Z:\\bin\\ln -s", {dir / "Outside", path}, false);
    linksGo = OpensAsLink(path);
  }
  ScratchDir dir;
  char saved[3][MAX_PATH] = {};
  DWORD size[3] = {MAX_PATH, MAX_PATH, MAX_PATH};
  std::vector<HANDLE> held;  // sharing nothing
};

// setup: in the Desktop folder (D), the folder holding Desktop and Programs (H), the profile (P), the folder of all
// profiles (A), Documents (M), Documents\Verbalis (V) or a folder named in Cyrillic (C); # "DeskTop" a number; E an
// empty Programs folder. boxes: Q question, R refusal, S "ShortCuts", N notice, X the unregistration's failed start.
struct Case { const char *name, *setup, *args, *answers, *boxes; bool purged; const char *shortcutsGone, *tree; };
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }
#define WITH_MAIN "Install.Msg Vrb.exe:PVrb.exe "
const char kAll[] = "Verbalis Verbalis";
const char kOurs[] = "Desktop\\Verbalis.Lnk Programs\\Verbalis\\ Programs\\Verbalis\\Verbalis.Lnk";

void Check(const Case& c, Tree tree) {
  Bench b;
  const string profile = getenv("USERPROFILE"), shell = b.dir / "Sh???\\", documents = b.dir / "Documents\\";
  const string places[] = {shell + "Desktop\\", shell, b.dir / "Profile??\\", ParentOf(profile + "\\"), documents,
                           documents + "Verbalis\\", b.dir / "????????\\"};
  const size_t place = string("DHPAMVC").find(c.setup[0] ? c.setup[0] : '-');
  const string app = place < 7 ? places[place] : b.dir / "My App\\";
  MakeDir(app);
  const string shown = Reachable(app);
  if (Has(c.setup, "E")) RemoveTree(shell + "Programs");
  MakeDir(shell + "Programs");  // there again, and empty
  tree["VrbDel.exe"] = "PSetup.exe";  // the role follows from the file name in any letter case
  b.Make(app, tree);
  if (Has(c.setup, "#")) SetRegDword(HKEY_CURRENT_USER, kShellKey, "DeskTop", 7);
  const Tree before = Disk(app), outside = Disk(b.dir / "Outside\\");
  Tree shellLeft = Disk(shell);
  SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Verbalis 3.0");
  SetEnv("VRB_STUB_LOG", b.dir / "stub.log");
  SetEnv("VRB_STUB_PROBE", shown + "Install.Msg");  // there while unregistering?
  SetEnv("USERPROFILE", place == 2 ? b.dir / "Profile??" : profile);  // a profile no other folder of the user's is in
  const BoxRun run = RunProgram(app + "VrbDel.exe", c.args, c.answers);
  SetEnv("USERPROFILE", profile);
  EXPECT_EQ(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), !c.purged);
  DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);

  Names boxes;
  char bad[256] = "";  // the system's text, with its insert marks
  FormatMessageA(0x12FF, nullptr, ERROR_BAD_EXE_FORMAT, 0, bad, 255, nullptr);
  for (char box : string(c.boxes))
    boxes.push_back(box == 'Q' ? "Uninstall|You do not have to uninstall the Verbalis program to install a new "
                                 "version. Do you wish to uninstall the program? "
        : box == 'S' ? "ShortCuts|Unable to remove program shortcuts. Remove manually."
        : box == 'N' ? "Uninstall|Your personal notes, topics, fonts and desktops have not been deleted.Use the "
                       "Control Panel menu to remove the fonts from " + shown + "\\Fonts Go to your Windows "
                       "Explorer to completely remove these items."
        : box == 'X' ? "Windows Error: 4|" + string(bad)
        : "Uninstall|Verbalis is not installed in its own folder here: " + shown + ". Nothing was removed.");
  EXPECT_EQ(BoxSummary(run), boxes);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(Disk(app), c.purged ? Survivors(tree) : before);
  std::istringstream gone(c.shortcutsGone);
  for (string name; gone >> name;) shellLeft.erase(name);
  EXPECT_EQ(Disk(shell), shellLeft);
  EXPECT_EQ(Disk(b.dir / "Outside\\"), outside);
  const string u = Lower(ShortPath(app));  // unregistered in the short lower-case folder, and waited for
  const Names unregistered = {"start", "cmdline=" + u + "\\Vrb.exe /unregserver",
                              "cwd=" + u.substr(0, u.size() - 1), "probe=present", "end"};
  EXPECT_EQ(FileLines(b.dir / "stub.log"), c.purged && Has(tree["Vrb.exe"], "P") ? unregistered : Names{});
  for (const auto& entry : tree)  // the folder of all profiles keeps nothing of the case
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
    {"FoldersThatCannotBeEmptiedStayAndTheRunCompletes", "", kAll, "O", "QN", true, kOurs, "Install.Msg busy\\:R "
     "busy\\open.dat:BR busy\\x.dat:R lib\\:RH lib\\deep\\ lib\\deep\\index.lst:RH lib\\y.dat zzz\\:R "
     "zzz\\z.dat:RH abc00\\:RH abc00\\V03000 abc.map:RH"},
    {"AFolderLinkIsNotFollowed", "", kAll, "O", "QN", true, kOurs,
     "Install.Msg lib\\ lib\\x.dat lib\\shared\\:L abc00\\:L abc.map"},
    {"AGroupHoldingAnotherShortcutStays", "", "Tools Verbalis", "O", "QSN", true,
     "Desktop\\Verbalis.Lnk Programs\\Tools\\Verbalis.Lnk", "Install.Msg"},
    {"AShellFolderStoredAsANumberLeavesTheShortcuts", "#", kAll, "O", "QSN", true, "", "Install.Msg"},
    // Empty names name nothing: not ".Lnk", not the Programs folder itself, even when it is empty.
    {"EmptyArguments", "E", "", "O", "QN", true, "", "Install.Msg"},
    // Names the code page cannot spell are reached by their short forms; the rules judge them as listed ("?").
    {"InACyrillicFolderCyrillicNamesGoAndTheNotesStay", "C", kAll, "O", "QN", true, kOurs,
     WITH_MAIN "Notes??\\ Notes??\\a.dat ?????.dat ???\\ ???\\x.dat ???\\y.lst"},
    {"AMainProgramThatIsNoProgramIsExplainedAndTheUninstallGoesOn", "", kAll, "O", "QXN", true, kOurs,
     "Install.Msg Vrb.exe"},
};
class UninstallProgram : public ::testing::TestWithParam<Case> {};
TEST_P(UninstallProgram, Run) { Check(GetParam(), Parse(GetParam().tree)); }
INSTANTIATE_TEST_SUITE_P(Uninstall, UninstallProgram, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return string(info.param.name); });

// Randomised trees: the user's names and look-alikes, module folders "<stem>00", their siblings and ".map" files, in
// any letter case, with attributes; markers, some a folder or from 1979.
struct Generator {
  std::mt19937 rng;
  Tree tree{{"VrbDel.exe", ""}, {"Install.Msg", ""}};
  int Below(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
  string Pick(std::initializer_list<const char*> items) { return items.begin()[Below(items.size())]; }
  string Flags() { return string(Below(5) ? "" : "R") + (Below(7) ? "" : "H") + (Below(12) ? "" : "S"); }
  string Name(bool folder) {  // a module's name, a sibling's or a ".map" file's; or one the rules single out
    string s = Below(3) ? Pick({"abc", "x", "\xE4rz", "no", "note", "", "2b"}) +
        (folder ? Pick({"00", "00", "01", "xx", "001", "0"}) : Pick({".map", "nt.map", ".idx", "00.map"}))
        : folder ? Pick({"fonts", "notes", "notes2", "2000", "font", "fontsx", "data", ".store", "xnotes"})
        : Pick({"desktop.1", "desktop.999", "desktop.998", "index.lst", ".lst", "daily.dtp", "notes.map", "vrbdel.exe",
                "readme.txt", "x.lst.bak", "daily.dtp2", "notes2.map", "desktop", "v03000", ".cfg", "\xE9t\xE9.dat"});
    for (char& c : s)
      if (((c >= 'a' && c <= 'z') || c == '\xE4' || c == '\xE9') && Below(5) < 2) c -= 0x20;
    return s;
  }
  bool Add(const string& rel, const string& flags) {  // unique whatever the letter case
    for (const auto& [other, f] : tree)
      if (ParentOf(other) == ParentOf(rel) && NameOf(other) == NameOf(rel)) return false;
    return tree.emplace(rel, flags).second;
  }
  void Fill(const string& dir, int depth) {
    for (int i = 0, n = depth ? Below(8 - depth) : 8 + Below(10); i < n; ++i) {
      const int roll = Below(100), marker = Below(20);
      const string rel = dir + Name(true) + "\\";
      if (roll < 4) {
        Add(rel, "L");
      } else if (roll < 40 && depth < 4 && Add(rel, Flags())) {
        if (marker < 3) Add(rel + Pick({"V03000\\", "t03000\\"}), "");
        else if (marker < 17) Add(rel + Pick({"V03000", "t03000"}), Flags() + (marker < 5 ? "O" : ""));
        Fill(rel, depth + 1);
      } else if (roll >= 40 || depth == 4) {
        Add(dir + Name(false), Flags());
      }
    }
  }
};
TEST(PurgeTrees, ExactlyWhatTheRulesSpareSurvives) {
  const char* count = getenv("VRB_PURGE_TREES");  // how many trees in all
  for (int i = 0; i < (count ? atoi(count) : 40) && !HasFailure(); ++i) {
    SCOPED_TRACE("tree seed " + std::to_string(20261206 + i));
    Generator g{std::mt19937(20261206 + i)};
    g.Fill("", 0);
    Check({"", "", kAll, "O", "QN", true, kOurs, ""}, g.tree);
  }
}

// In-process, through the seam table, what no whole run can time. As Windows does and Wine does not: a read-only folder
// refused, and a file made read-only after the listing (0); POSIX deletion ignoring read-only, asked for where the
// system has it, so that no attribute is touched (3). A subfolder swapped for a link to Outside right after its
// folder's listing (1), and a file's folder, with the file, swapped for one between the decision and the deletion (2):
// nothing is entered or deleted through the link, Outside stays whole.
struct Step { const char *name, *tree; int fake; const char* left; };
void PrintTo(const Step& s, std::ostream* out) { *out << s.name; }
const Step kSteps[] = {
    {"ReadOnlyUnknownToTheListingIsLifted", "late.dat ro\\:R ro\\x.dat:R", 0, ""},
    {"ASubfolderSwappedForALinkAfterTheListingIsNotEntered", "lib\\ lib\\x.dat a.dat keep.lst", 1, "keep.lst lib\\"},
    {"AFolderSwappedForALinkBeforeAFileGoesLeavesTheLinksTarget", "lib\\ lib\\data.dat x.lst", 2, "x.lst lib\\"},
    {"PosixDeletionLeavesTheAttributesAlone", "ro.dat:R lib\\:R lib\\x.dat:RH x.lst:R", 3, "x.lst:R"},
};
std::vector<DWORD> calls;  // the information classes set, with the POSIX flags
string swapped;            // the folder a hook swaps for a link, once
Bench* bench;
void Swap(HANDLE) {
  if (swapped.empty()) return;
  Unix("Z:\\bin\\mv", {swapped, bench->dir / "Moved"}, false);
  bench->Link(swapped);
  swapped.clear();
}
int fake;  // the row's
BOOL WINAPI AsWindows(HANDLE h, FILE_INFO_BY_HANDLE_CLASS c, LPVOID info, DWORD size) {
  FILE_BASIC_INFO basic{{}, {}, {}, {}, FILE_ATTRIBUTE_NORMAL};
  FILE_DISPOSITION_INFO yes{TRUE};
  BY_HANDLE_FILE_INFORMATION now;
  calls.push_back(c == 21 ? *static_cast<DWORD*>(info) << 8 | c : c);
  if (c == 21 && fake != 3) return SetLastError(87), 0;  // before Windows 10 1809
  if (c == 21) return SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic) &&  // whatever read-only
                      SetFileInformationByHandle(h, FileDispositionInfo, &yes, sizeof yes);
  basic.FileAttributes = FILE_ATTRIBUTE_READONLY;  // the first file, after the listing
  if (c == FileDispositionInfo && calls.size() == 2) SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic);
  if (c == FileDispositionInfo && GetFileInformationByHandle(h, &now) && now.dwFileAttributes & 1) return SetLastError(5), 0;
  return SetFileInformationByHandle(h, c, info, size);
}
class PurgeSteps : public ::testing::TestWithParam<Step> {};
TEST_P(PurgeSteps, Run) {
  Bench b;
  bench = &b;
  MakeDir(b.dir / "app");
  b.Make(b.dir / "app\\", Parse(GetParam().tree));
  const Tree outside = Disk(b.dir / "Outside\\");
  FakeBoxes table;
  Sys().SetFileInformationByHandle = AsWindows;
  fake = GetParam().fake;
  Sys().PurgeListed = fake == 1 ? Swap : nullptr;
  Sys().PurgeDeciding = fake == 2 ? Swap : nullptr;
  swapped = b.dir / "app\\lib";
  PurgeDirectory(b.dir / "app");
  Tree left = Parse(GetParam().left);
  if (linksGo) left.erase("lib\\");
  EXPECT_EQ(Disk(b.dir / "app\\"), left);
  EXPECT_EQ(Disk(b.dir / "Outside\\"), outside);
  if (GetParam().fake == 3) EXPECT_EQ(calls, std::vector<DWORD>(3, 0x1315));  // never FileBasicInfo (4)
}
INSTANTIATE_TEST_SUITE_P(Steps, PurgeSteps, ::testing::ValuesIn(kSteps),
                         [](const auto& info) { return string(info.param.name); });

// In-process: no question where the folder cannot be entered, no consent where it cannot be shown, no root purged.
TEST(UninstallSteps, TheGuardsBeforeTheFirstDeletion) {
  ScratchDir dir;
  WriteBytes(dir / "Install.Msg", "");
  FakeBoxes boxes({0}, ERROR_ACCESS_DENIED);
  Sys().SetProcessMitigationPolicy = RefusePolicy, askedPolicies.clear();
  EXPECT_THROW(RunUninstall(dir / "gone\\vrbdel.exe", "", ""), Failure);
  RunUninstall(dir / "vrbdel.exe", "Verbalis", "Verbalis");
  RunUninstall("D:\\???????\\vrbdel.exe", "", "");  // not even a short form: "?" where the code page failed
  EXPECT_TRUE(PathExists(dir / "Install.Msg"));
  ASSERT_EQ(boxes.boxes().size(), 3u);
  EXPECT_EQ(boxes.boxes()[2].text,
            "The folder D:\\???????\\ has a name that the uninstaller cannot use. Nothing was removed.");
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OKCANCEL));
  EXPECT_EQ(boxes.boxes()[1].caption, "Windows Error: 24");
  EXPECT_EQ(askedPolicies, "16:1 16:1 16:1 ");  // first of all, refused quietly
  // Each Program Files folder is named in one registry view only: neither is purged, whichever build runs.
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, nullptr, 0,
                              KEY_ALL_ACCESS | view, nullptr, &key, nullptr), ERROR_SUCCESS);
    BYTE saved[2 * MAX_PATH];
    DWORD size = sizeof saved;
    const bool had = !RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr, saved, &size);
    const string programs = dir / "Programs";
    MakeDir(programs);
    RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(programs.c_str()),
                   static_cast<DWORD>(programs.size() + 1));
    EXPECT_TRUE(IsSharedFolder(ShortLowerPath(programs + "\\"))) << std::hex << view;
    had ? RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ, saved, size) : RegDeleteValueA(key, "ProgramFilesDir");
    RegCloseKey(key);
  }
  for (const char* root : {"r:\\", "\\\\server\\share\\"}) EXPECT_TRUE(IsSharedFolder(root)) << root;
  EXPECT_FALSE(IsSharedFolder("\\\\server\\share\\app\\"));
}
