// Completeness of a distribution and the silent autorun test.
#include <gtest/gtest.h>

#include "distribution.h"
#include "setupa_test_util.h"

TEST(CheckDistribution, CompleteWithEitherFormOfTheMainProgram) {
  ScratchDir dir;
  MakeDistribution(dir.path(), kCompleteWithExe);
  EXPECT_TRUE(CheckDistribution(dir.path()));
  DeleteFileA((dir / "Vrb.Exe").c_str());
  EXPECT_FALSE(CheckDistribution(dir.path()));
  MakeDistribution(dir.path(), kVrbEx_);
  EXPECT_TRUE(CheckDistribution(dir.path()));
}

TEST(CheckDistribution, EachMissingFileMakesItIncomplete) {
  for (unsigned missing : {kVrbExe, kInstallMsg, kCommon801, kLang801, kVrbJcf}) {
    ScratchDir dir;
    MakeDistribution(dir.path(), kCompleteWithExe & ~missing);
    EXPECT_FALSE(CheckDistribution(dir.path())) << "missing " << missing;
  }
}

TEST(CheckDistribution, AFolderNamedLikeARequiredFileDoesNotCountButALangFolderDoes) {
  for (const char* name : {"Install.Msg", "Common.801", "Vrb.JCF", "Vrb.Exe"}) {
    ScratchDir dir;
    MakeDistribution(dir.path(), kCompleteWithExe);
    RemoveTree(dir / name);
    MakeDir(dir / name);
    EXPECT_FALSE(CheckDistribution(dir.path())) << name;
  }
  ScratchDir dir;
  MakeDistribution(dir.path(), kCompleteWithExe & ~kLang801);
  MakeDir(dir / "Language");
  EXPECT_TRUE(CheckDistribution(dir.path()));
}

TEST(CheckDistribution, AFileDatedBefore1980CountsAsMissing) {
  ScratchDir dir;
  MakeDistribution(dir.path(), kCompleteWithExe);
  SetLocalWriteTime(dir / "Install.Msg", 1975, 6, 1);
  EXPECT_FALSE(CheckDistribution(dir.path()));
}

TEST(CheckDistribution, AFolderThatIsNotThereIsIncomplete) {
  EXPECT_FALSE(CheckDistribution("C:\\vrbtests\\no such folder\\"));
}

class AutorunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeDir(installDir);
    MakeDir(distDir);
    WriteBytes(installed(), "installed");
    WriteBytes(distributed(), "distributed");
    SetLocalWriteTime(distributed(), 2020, 5, 4, 10, 0, 0);
    SetUninstallEntry("Verbalis 8.10.0.204", installDir);
  }
  void TearDown() override { DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey); }
  std::string installed() const { return installDir + "Vrb.Exe"; }
  std::string distributed() const { return distDir + "Vrb.exe"; }
  ScratchDir root;
  std::string installDir = root / "inst\\";
  std::string distDir = root / "dist\\";
};

TEST_F(AutorunTest, OnlyTheWordAutorunInAnyCaseCounts) {
  SetLocalWriteTime(installed(), 2020, 5, 4, 10, 0, 0);
  for (const char* arg : {"autorun", "AUTORUN", "AutoRun"})
    EXPECT_TRUE(IsAutorunCurrent(distributed(), arg)) << arg;
  for (const char* arg : {"", "/autorun", "-autorun", " autorun", "autorun ", "autorun1"})
    EXPECT_FALSE(IsAutorunCurrent(distributed(), arg)) << arg;
}

TEST_F(AutorunTest, ComparesTheFileDates) {
  SetLocalWriteTime(installed(), 2020, 5, 4, 9, 59, 58);  // two seconds older
  EXPECT_FALSE(IsAutorunCurrent(distributed(), "autorun"));
  SetLocalWriteTime(installed(), 2020, 5, 4, 10, 0, 2);
  EXPECT_TRUE(IsAutorunCurrent(distributed(), "autorun"));
  // Within the two-second resolution the two count as equal.
  SetLocalWriteTime(installed(), 2020, 5, 4, 10, 0, 1);
  EXPECT_TRUE(IsAutorunCurrent(distributed(), "autorun"));
}

TEST_F(AutorunTest, MissingFilesFollowTheSignedComparison) {
  // Missing files have the age -1.
  EXPECT_TRUE(IsAutorunCurrent(distDir + "nothing.exe", "autorun"));   // present, missing
  DeleteFileA(installed().c_str());
  EXPECT_FALSE(IsAutorunCurrent(distributed(), "autorun"));         // missing, present
  EXPECT_TRUE(IsAutorunCurrent(distDir + "nothing.exe", "autorun"));   // missing, missing
}

TEST_F(AutorunTest, AnInstallPathWithoutBackslashOrNoEntryMeansNotCurrent) {
  SetLocalWriteTime(installed(), 2021, 1, 1);
  SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallPath", DropLast(installDir));  // no backslash
  EXPECT_FALSE(IsAutorunCurrent(distributed(), "autorun"));
  DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  EXPECT_FALSE(IsAutorunCurrent(distributed(), "autorun"));
}

TEST_F(AutorunTest, AnInstallPathThatIsANumberReadsAsNoCopyInsteadOfEndingTheProgram) {
  SetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallPath", 0x5C3A63);  // "c:\" as bytes
  bool current = true;
  EXPECT_NO_THROW(current = IsAutorunCurrent(distributed(), "autorun"));
  EXPECT_FALSE(current);
}
