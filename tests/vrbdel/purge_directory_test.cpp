// The purge on disk, called directly: module markers and folders that are not there.
#include <gtest/gtest.h>

#include "purge_directory.h"
#include "vrbdel_test_util.h"

using Names = std::vector<std::string>;

TEST(PurgeDirectory, OnlyAMarkerFileDatedFrom1980MakesAModule) {
  ScratchDir dir;
  MakeTree(dir.path(), {"abc00\\", "abc00\\T03000", "abc.map", "dir00\\", "dir00\\V03000\\",
                        "dir.map", "old00\\", "old00\\V03000", "old.map", "none00\\", "none.map",
                        "notes00\\", "notes00\\V03000", "notesx.map", "data.dat"});
  SetLocalWriteTime(dir / "old00\\V03000", 1979, 12, 31);
  PurgeDirectory(dir.path());
  // notes00 is spared by its name, so it never counts as a module: notesx.map goes.
  EXPECT_EQ(TreeNames(dir.path()),
            (Names{"abc.map", "abc00\\", "abc00\\T03000", "notes00\\", "notes00\\V03000"}));
}

TEST(PurgeDirectory, AModuleFolderNamed00SparesEveryMapFileAndEveryTwoCharacterFolder) {
  ScratchDir dir;
  MakeTree(dir.path(), {"00\\", "00\\V03000", "a.map", "zz.map", "ab\\", "ab\\x.dat", "abc\\",
                        "abc\\x.dat", "b.dat"});
  PurgeDirectory(dir.path());
  EXPECT_EQ(TreeNames(dir.path()),
            (Names{"00\\", "00\\V03000", "a.map", "ab\\", "ab\\x.dat", "zz.map"}));
}

TEST(PurgeDirectory, AFolderThatIsNotThereIsLeftAlone) {
  ScratchDir dir;
  MakeTree(dir.path(), {"notes.map"});
  PurgeDirectory(dir / "missing");
  EXPECT_EQ(TreeNames(dir.path()), (Names{"notes.map"}));
  EXPECT_FALSE(PathExists(dir / "missing"));
}

// Names are compared after the code page's own lower-casing, beyond A-Z.
TEST(PurgeDirectory, AModuleStemMatchesItsMapFilesWhateverTheirLetterCase) {
  ScratchDir dir;
  const std::string upper = "\xC4" "BC", lower = "\xE4" "bc";  // ÄBC, äbc in code page 1252
  ASSERT_EQ(GetACP(), 1252u);
  MakeTree(dir.path(), {upper + "00\\", upper + "00\\V03000", lower + ".map", lower + ".idx"});
  PurgeDirectory(dir.path());
  EXPECT_EQ(TreeNames(dir.path()), (Names{upper + "00\\", upper + "00\\V03000", lower + ".map"}));
}
