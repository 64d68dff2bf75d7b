// Shortcut removal where the program group stays: one notice, never a failure.
// (Both shortcuts and the group going without a box is a whole-program run.)
#include <gtest/gtest.h>

#include "remove_shortcuts.h"
#include "vrbdel_test_util.h"

namespace {

const char kShortcutsBox[] = "ShortCuts|Unable to remove program shortcuts. Remove manually.";

class RemoveShortcutsTest : public ::testing::Test {
 protected:
  RemoveShortcutsTest() : folders_(dir_ / "Desktop", dir_ / "Programs") {
    MakeDir(dir_ / "Desktop");
    MakeDir(dir_ / "Programs");
  }
  std::string Desktop(const std::string& name) const { return dir_ / "Desktop\\" + name; }
  std::string Programs(const std::string& name) const { return dir_ / "Programs\\" + name; }

  ScratchDir dir_;
  ScopedShellFolders folders_;
};

}  // namespace

TEST_F(RemoveShortcutsTest, AGroupHoldingAnotherShortcutStaysWithOneBox) {
  MakeTree(dir_ / "", {"Desktop\\Reader.lnk", "Programs\\Reader\\", "Programs\\Reader\\Reader.lnk",
                       "Programs\\Reader\\Help.lnk"});
  FakeBoxes boxes;
  RemoveShortcuts("Reader", "Reader");
  EXPECT_EQ(boxes.Summary(), std::vector<std::string>{kShortcutsBox});
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OK));
  EXPECT_FALSE(PathExists(Desktop("Reader.lnk")));
  EXPECT_EQ(TreeNames(Programs("Reader")), std::vector<std::string>{"Help.lnk"});
}

TEST_F(RemoveShortcutsTest, EmptyNamesAimAtDotLnkFilesAndTheProgramsFolderItself) {
  MakeTree(dir_ / "", {"Desktop\\.Lnk", "Programs\\.Lnk", "Programs\\Other\\"});
  FakeBoxes boxes;
  RemoveShortcuts("", "");
  EXPECT_EQ(boxes.Summary(), std::vector<std::string>{kShortcutsBox});
  EXPECT_TRUE(TreeNames(dir_ / "Desktop").empty());
  EXPECT_EQ(TreeNames(dir_ / "Programs"), std::vector<std::string>{"Other\\"});
}

TEST_F(RemoveShortcutsTest, AShellFolderValueOfTheWrongTypeEndsInTheSameBox) {
  MakeTree(dir_ / "", {"Desktop\\Reader.lnk"});
  SetRegDword(HKEY_CURRENT_USER, kShellFoldersKey, "DeskTop", 7);
  FakeBoxes boxes;
  RemoveShortcuts("Reader", "Reader");  // does not raise
  EXPECT_EQ(boxes.Summary(), std::vector<std::string>{kShortcutsBox});
  EXPECT_TRUE(PathExists(Desktop("Reader.lnk")));
}
