// Rules of setup mode that need no system: version numbers, message texts,
// module names, the JAWS settings path.
#include <gtest/gtest.h>

#include "jaws_settings.h"
#include "setup_messages.h"
#include "setup_paths.h"
#include "version.h"

TEST(VersionFromDisplayName, KeepsDigitsInOrderAndPadsWithPairsOfZeros) {
  EXPECT_EQ(VersionFromDisplayName("Verbalis"), 0);
  EXPECT_EQ(VersionFromDisplayName(""), 0);
  EXPECT_EQ(VersionFromDisplayName("Verbalis 7"), 7000000);
  EXPECT_EQ(VersionFromDisplayName("Verbalis 8.10"), 8100000);
  EXPECT_EQ(VersionFromDisplayName("Verbalis 8.1"), 81000000);
  EXPECT_EQ(VersionFromDisplayName("Verbalis 8.10.02"), 8100200);
  EXPECT_EQ(VersionFromDisplayName("Verbalis 8.10.020"), 81002000);
  EXPECT_EQ(VersionFromDisplayName("Verbalis 8.10.0.203"), 8100203);
  EXPECT_EQ(VersionFromDisplayName("Verbalis 8.10.0.204"), 8100204);
  EXPECT_EQ(VersionFromDisplayName("V1e2r3s4i5o6n7 8"), 12345678);
}

TEST(VersionFromDisplayName, NonAsciiDigitsAndRawBytesAreNotDigits) {
  // The raw bytes of a REG_DWORD 8100204 read as text: no digit among them.
  EXPECT_EQ(VersionFromDisplayName(std::string("\x6C\x99\x7B\0", 4)), 0);
  EXPECT_EQ(VersionFromDisplayName("\xB2\xB3 9"), 9000000);  // superscripts are no digits
}

TEST(VersionFromDisplayName, DigitsThatDoNotFitGiveZeroInsteadOfEndingTheProgram) {
  EXPECT_EQ(VersionFromDisplayName("Verbalis 2147483647"), 2147483647);
  EXPECT_EQ(VersionFromDisplayName("Verbalis 2147483648"), 0);
  EXPECT_EQ(VersionFromDisplayName("Verbalis 81002040000"), 0);
  EXPECT_EQ(VersionFromDisplayName("Verbalis 99999999999999999999999"), 0);
}

TEST(SetupMessages, AdviceAndFileCheckNameTheWebSite) {
  EXPECT_EQ(StartupProblemText(GateReason(GateOutcome::kTooOld)),
            "Current Verbalis Program too old to install modules. Download latest program from "
            "www.verbalis.example and reinstall.");
  EXPECT_STREQ(GateReason(GateOutcome::kFilesDamaged),
               "Verbalis Program install files damaged or missing");
  EXPECT_STREQ(GateReason(GateOutcome::kNotProperlyInstalled),
               "Verbalis program not properly installed");
  EXPECT_EQ(DamagedDistributionText(),
            "Verbalis Program install files damaged or missing. Download latest copy from "
            "www.verbalis.example and reinstall.");
}

TEST(SetupMessages, StartFailuresByResult) {
  EXPECT_EQ(StartFailureText(2, "c:\\temp\\"), "2-File was not found. c:\\temp\\VRB.EXE");
  EXPECT_EQ(StartFailureText(3, "c:\\temp\\"), "3-Path was not found. c:\\temp\\VRB.EXE");
  EXPECT_EQ(StartFailureText(0, "x"),
            "0-System was out of memory, executable file was corrupt, or relocations were invalid.");
  EXPECT_EQ(StartFailureText(11, "x"),
            "11-Executable file was invalid. Either it was not a Windows application or there was "
            "an error in the .EXE image.");
  EXPECT_EQ(StartFailureText(21, "x"), "21-Application requires 32-bit extensions.");
  for (unsigned code : {1u, 4u, 7u, 9u, 17u, 18u, 22u, 31u})
    EXPECT_EQ(StartFailureText(code, "x"),
              "Failed to run SETUP1.EXE. Error code: " + std::to_string(code));
  for (unsigned code : {32u, 33u, 42u, 0xFFFFFFFFu}) EXPECT_EQ(StartFailureText(code, "x"), "");
  // Every result below 32 has a text.
  for (unsigned code = 0; code < 32; ++code) EXPECT_NE(StartFailureText(code, "x"), "") << code;
}

TEST(SetupPaths, CommandLineDriveNumberAndDirectoryWithoutBackslash) {
  EXPECT_EQ(InstallCommandLine("c:\\temp\\", "d:\\vrb\\win32\\"),
            "c:\\temp\\VRB.EXE \"d:\\vrb\\win32\\\"");
  EXPECT_EQ(DriveNumberOf("a:\\"), 1);
  EXPECT_EQ(DriveNumberOf("c:\\temp\\"), 3);
  EXPECT_EQ(DriveNumberOf("z:\\"), 26);
  EXPECT_EQ(DriveNumberOf("\\\\server\\share\\"), 0);
  EXPECT_EQ(DriveNumberOf("C:\\"), 0);  // only lower case letters count
  EXPECT_EQ(DriveNumberOf(""), 0);
  EXPECT_EQ(DirectoryToEnter("c:\\temp\\"), "c:\\temp");
  EXPECT_EQ(DirectoryToEnter("c:\\"), "c:\\");
}

TEST(IsModuleFileName, TakesNumberedModulesButNotTheDistributionsOwnFiles) {
  for (const char* name : {"text1.801", "atlas101.dat", "mods801", "x101", "a801b"})
    EXPECT_TRUE(IsModuleFileName(name)) << name;
  for (const char* name : {"install.801", "common.801", "common2.101", "betaeng.801", "lang.801",
                           "language101.txt", "readme.txt", "vrb.ex_", ".801", "..", "install.8010",
                           "80.1"})
    EXPECT_EQ(IsModuleFileName(name), std::string(name) == "install.8010") << name;
}

TEST(JawsSettingsPath, CutsAtTheMarkerKeepingTheCommandsCase) {
  EXPECT_EQ(JawsSettingsPath("C:\\Program Files\\JAWS\\JConfig.exe %1"),
            "C:\\Program Files\\JAWS\\Settings\\");
  EXPECT_EQ(JawsSettingsPath("\"C:\\JAWS\\jconfig.exe\" \"%1\""), "\"C:\\JAWS\\Settings\\");
  EXPECT_EQ(JawsSettingsPath("c:\\a\\JCONFIG.EXE c:\\b\\jconfig.exe"), "c:\\a\\Settings\\");
  EXPECT_EQ(JawsSettingsPath("jconfig.exe %1"), "");
  EXPECT_EQ(JawsSettingsPath("c:\\jaws\\notepad.exe %1"), "");
  EXPECT_EQ(JawsSettingsPath(""), "");
}
