// Whole-program runs of the launcher copied into an installation as vrbdel.exe
// and started as the uninstall entry starts it, with its boxes answered.
#include <gtest/gtest.h>

#include <algorithm>

#include "vrbdel_test_util.h"

using Names = std::vector<std::string>;

namespace {

const char kShortcutsBox[] = "ShortCuts|Unable to remove program shortcuts. Remove manually.";

std::string Notice(const std::string& programDirectory) {
  return "Uninstall|Your personal notes, topics, fonts and desktops have not been deleted."
         "Use the Control Panel menu to remove the fonts from " +
         programDirectory +
         "\\Fonts Go to your Windows Explorer to completely remove these items.";
}

std::string NotOurFolder(const std::string& programDirectory) {
  return "Uninstall|Verbalis is not installed in its own folder here: " + programDirectory +
         ". Nothing was removed.";
}

Names Sorted(Names names) {
  std::sort(names.begin(), names.end());
  return names;
}

void SetAttributes(const std::string& path, DWORD attributes) {
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
  ASSERT_EQ(GetFileAttributesA(path.c_str()) & attributes, attributes) << path;
}

// An installation in "<scratch>\My App\" (a blank, so its short form differs),
// with the user's shell folders, shortcuts and the uninstall key in place.
class UninstallProgram : public ::testing::Test {
 protected:
  UninstallProgram() : shell_(dir_ / "Desktop", dir_ / "Programs"), app_(dir_ / "My App\\") {
    MakeTree(dir_.path(), {"My App\\", "Desktop\\", "Desktop\\Verbalis.Lnk", "Programs\\",
                           "Programs\\Other.Lnk", "Programs\\Verbalis\\",
                           "Programs\\Verbalis\\Verbalis.Lnk"});
    SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Verbalis 3.0");
    SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallPath", app_);
    SetEnv("VRB_STUB_LOG", dir_ / "stub.log");
  }
  ~UninstallProgram() override {
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    SetEnv("VRB_STUB_LOG", "");
    SetEnv("VRB_STUB_PROBE", "");
  }

  BoxRun Run(const std::string& answers, const std::string& arguments = "Verbalis Verbalis") {
    return RunProgram(app_ + "vrbdel.exe", arguments, answers);
  }
  // The run showed only the question and left the installation as it was.
  void ExpectNothingChanged(const BoxRun& run, const Names& before) {
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(BoxSummary(run), Names{kQuestion});
    EXPECT_EQ(TreeNames(app_), before);
    EXPECT_TRUE(KeyAndShortcutsRemain());
    EXPECT_FALSE(PathExists(dir_ / "stub.log"));  // no unregistration
  }
  bool KeyAndShortcutsRemain() const {
    return RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) &&
           PathExists(dir_ / "Desktop\\Verbalis.Lnk") &&
           PathExists(dir_ / "Programs\\Verbalis\\Verbalis.Lnk");
  }
  bool KeyAndShortcutsGone() const {
    return !RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) &&
           !PathExists(dir_ / "Desktop\\Verbalis.Lnk") && !PathExists(dir_ / "Programs\\Verbalis");
  }

  ScratchDir dir_;
  ScopedShellFolders shell_;
  std::string app_;
};

}  // namespace

TEST_F(UninstallProgram, CancelChangesNothing) {
  MakeInstallation(app_, true);
  MakeTree(app_, {"data.dat", "lib\\", "lib\\x.dat"});
  const Names before = TreeNames(app_);
  ExpectNothingChanged(Run("C"), before);
}

TEST_F(UninstallProgram, WithoutInstallMsgOkChangesNothingAndSaysNothingMore) {
  MakeInstallation(app_, true);
  ASSERT_TRUE(DeleteFileA((app_ + "Install.Msg").c_str()));
  MakeTree(app_, {"data.dat"});
  const Names before = TreeNames(app_);
  ExpectNothingChanged(Run("O"), before);
}

// Every name and attribute rule at once; the stand-in checks, once its
// unregistration has run, that data.dat was still there.
TEST_F(UninstallProgram, AFullRunSparesExactlyTheUsersFilesAfterTheUnregistrationHasEnded) {
  MakeInstallation(app_, true);
  MakeTree(app_, {"daily.dtp", "Desktop.1", "desktop.999", "DESKTOP.998", "X.LST", "notes.map",
                  "data.dat", "readme.txt", "sys.bin", ".cfg", "Fonts\\", "Fonts\\f.ttf",
                  "2000\\", "2000\\a.dat", "2x\\", "2x\\a.dat", "NotesBackup\\",
                  "NotesBackup\\a.dat", "font\\", "font\\a.dat", "fontsx\\", "fontsx\\a.dat",
                  "3d\\", "3d\\a.dat", ".store\\", ".store\\a.dat", "Help\\", "Help\\h.hlp",
                  "Help\\Deep\\", "Help\\Deep\\d.dat", "lib\\", "lib\\notes.map", "lib\\x.dat",
                  "Abc00\\", "Abc00\\V03000", "abc.map", "ABCnt.map", "abc.idx", "abc01\\",
                  "abc01\\x.dat", "abc001\\", "abc001\\x.dat", "xyz00\\", "xyz00\\T03000",
                  "xyz.map", "notes00\\", "notes00\\V03000", "notesx.map"});
  SetAttributes(app_ + "readme.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(app_ + "sys.bin", FILE_ATTRIBUTE_SYSTEM);
  SetAttributes(app_ + "Help\\h.hlp", FILE_ATTRIBUTE_READONLY);
  SetAttributes(app_ + "Help", FILE_ATTRIBUTE_HIDDEN);  // Wine keeps no read-only folders
  SetEnv("VRB_STUB_PROBE", app_ + "data.dat");

  BoxRun run = Run("O");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(BoxSummary(run), (Names{kQuestion, Notice(app_)}));  // two backslashes before Fonts
  EXPECT_EQ(TreeNames(app_),
            Sorted({"vrbdel.exe", "daily.dtp", "Desktop.1", "X.LST", "notes.map", "sys.bin",
                    ".cfg", "Fonts\\", "Fonts\\f.ttf", "2000\\", "2000\\a.dat", "2x\\",
                    "2x\\a.dat", "NotesBackup\\", "NotesBackup\\a.dat", ".store\\",
                    ".store\\a.dat", "Abc00\\", "Abc00\\V03000", "abc.map", "ABCnt.map",
                    "abc01\\", "abc01\\x.dat", "xyz00\\", "xyz00\\T03000", "xyz.map",
                    "notes00\\", "notes00\\V03000"}));
  const std::string uninstallDirectory = ShortLower(app_);
  EXPECT_EQ(StubLines(dir_ / "stub.log"),
            (Names{"start", "cmdline=" + uninstallDirectory + "\\Vrb.exe /unregserver",
                   "cwd=" + uninstallDirectory.substr(0, uninstallDirectory.size() - 1),
                   "probe=present", "end"}));
  EXPECT_TRUE(KeyAndShortcutsGone());
  EXPECT_TRUE(PathExists(dir_ / "Programs\\Other.Lnk"));
}

TEST_F(UninstallProgram, WithoutMainProgramOrArgumentsNothingIsStartedAndTheNoticeStillFollows) {
  MakeInstallation(app_, false);
  MakeTree(app_, {"data.dat", "lib\\", "lib\\x.dat"});
  BoxRun run = Run("O", "");
  EXPECT_EQ(run.exitCode, 0u);
  // The empty group name aims at the Programs folder itself, which holds other entries.
  EXPECT_EQ(BoxSummary(run), (Names{kQuestion, kShortcutsBox, Notice(app_)}));
  EXPECT_FALSE(PathExists(dir_ / "stub.log"));
  EXPECT_EQ(TreeNames(app_), Names{"vrbdel.exe"});
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_TRUE(PathExists(dir_ / "Desktop\\Verbalis.Lnk"));  // named by the missing argument
}

// A link to a folder elsewhere is never entered: what lies behind it survives.
TEST_F(UninstallProgram, AFolderLinkIsNotFollowed) {
  MakeInstallation(app_, false);
  MakeTree(dir_.path(), {"Elsewhere\\", "Elsewhere\\data.dat", "Elsewhere\\lib\\",
                         "Elsewhere\\lib\\x.dat"});
  MakeTree(app_, {"lib\\", "lib\\x.dat"});
  UnixDirectoryLink topLink(dir_ / "Elsewhere", app_ + "shared");
  UnixDirectoryLink deepLink(dir_ / "Elsewhere", app_ + "lib\\shared");
  ASSERT_FALSE(HasFailure());
  BoxRun run = Run("O");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(BoxSummary(run), (Names{kQuestion, Notice(app_)}));
  EXPECT_EQ(TreeNames(dir_ / "Elsewhere"), (Names{"data.dat", "lib\\", "lib\\x.dat"}));
  // Wine cannot remove a Unix link as a link, so the links stay; Windows removes them.
  for (const char* link : {"shared", "lib\\shared"})
    if (PathExists(app_ + link))
      EXPECT_EQ(GetFileAttributesA((app_ + link).c_str()), 0x410u) << link;
  EXPECT_FALSE(PathExists(app_ + "lib\\x.dat"));
  EXPECT_TRUE(KeyAndShortcutsGone());
}

// Spared or busy files keep their folder; the uninstall still completes.
TEST_F(UninstallProgram, FoldersThatCannotBeEmptiedStayAndTheRunCompletes) {
  MakeInstallation(app_, false);
  MakeTree(app_, {"data\\", "data\\index.lst", "data\\x.dat", "busy\\", "busy\\open.dat",
                  "busy\\x.dat", "lib\\", "lib\\deep\\", "lib\\deep\\index.lst", "lib\\y.dat",
                  "zzz\\", "zzz\\z.dat"});
  HANDLE held = CreateFileA((app_ + "busy\\open.dat").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  BoxRun run = Run("O");
  CloseHandle(held);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(BoxSummary(run), (Names{kQuestion, Notice(app_)}));
  EXPECT_EQ(TreeNames(app_),
            Sorted({"vrbdel.exe", "data\\", "data\\index.lst", "busy\\", "busy\\open.dat", "lib\\",
                    "lib\\deep\\", "lib\\deep\\index.lst"}));
  EXPECT_TRUE(KeyAndShortcutsGone());
}

// A copy of vrbdel.exe beside some "Install.Msg" at a drive root purges nothing.
TEST_F(UninstallProgram, AtADriveRootNothingIsRemovedOrStarted) {
  MakeTree(dir_.path(), {"root\\"});
  ScopedDrive drive('R', dir_ / "root");
  MakeInstallation(drive.root(), true);
  MakeTree(drive.root(), {"data.dat", "Windows\\", "Windows\\win.ini"});
  const Names before = TreeNames(drive.root());
  BoxRun run = RunProgram(drive.root() + "vrbdel.exe", "Verbalis Verbalis", "O");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(BoxSummary(run), (Names{kQuestion, NotOurFolder("R:\\")}));
  EXPECT_EQ(TreeNames(drive.root()), before);
  EXPECT_FALSE(PathExists(dir_ / "stub.log"));
  EXPECT_TRUE(KeyAndShortcutsRemain());
}

TEST_F(UninstallProgram, DirectlyInProgramFilesNothingIsRemovedOrStarted) {
  // The 64-bit view's folder; a 32-bit program's own view may name "Program Files (x86)".
  const std::string programFiles = "C:\\Program Files\\";
  struct Cleanup {
    std::string dir;
    ~Cleanup() {
      for (const char* name : {"vrbdel.exe", "Install.Msg", "Vrb.exe"})
        DeleteFileA((dir + name).c_str());
    }
  } cleanup{programFiles};
  MakeInstallation(programFiles, true);
  const Names before = TreeNames(programFiles);
  BoxRun run = RunProgram(programFiles + "vrbdel.exe", "Verbalis Verbalis", "O");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(BoxSummary(run), (Names{kQuestion, NotOurFolder(programFiles)}));
  EXPECT_EQ(TreeNames(programFiles), before);
  EXPECT_FALSE(PathExists(dir_ / "stub.log"));
  EXPECT_TRUE(KeyAndShortcutsRemain());
}
