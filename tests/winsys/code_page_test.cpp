// Paths in code page 932, where the second byte of a character may have the
// value of "\" (0x95 0x5C) or of a capital letter (0x83 0x55).
#include <gtest/gtest.h>

#include "folder_rules.h"
#include "jaws_settings.h"
#include "text.h"

namespace {

const std::string kU = "\x83\x55", kYen = "\x95\x5c";

struct CodePage932 : ::testing::Test {
  CodePage932() { Use(true); }
  ~CodePage932() override { Use(false); }
  static void Use(bool japanese) {
    bool lead[256] = {};
    for (int byte = 0x81; byte <= 0xFC; ++byte) lead[byte] = japanese && (byte <= 0x9F || byte >= 0xE0);
    SetLeadBytes(lead);
  }
};

}  // namespace

TEST_F(CodePage932, SecondBytesAreNeitherLoweredNorTakenForBackslashes) {
  EXPECT_EQ(LowerAZ("C:\\" + kU + "X"), "c:\\" + kU + "x");
  EXPECT_EQ(NormalizeDir("D:\\" + kYen), "d:\\" + kYen + "\\");
  EXPECT_EQ(FileNamePart("E:\\" + kYen), kYen);
  EXPECT_EQ(JawsSettingsPath("C:\\" + kYen + "jconfig.exe %1"), "");
  EXPECT_EQ(JawsSettingsPath("\"C:\\" + kYen + "\\JConfig.exe\" \"%1\""), "C:\\" + kYen + "\\Settings\\");
  EXPECT_FALSE(IsSameOrAncestor("c:\\" + kYen, "c:\\\x95\\users"));
}
