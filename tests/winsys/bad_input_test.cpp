// Registry values of absurd length reach their readers whole.
#include <gtest/gtest.h>

#include "registry.h"
#include "startup_log.h"
#include "test_support.h"

TEST(BadInputRegistry, AHundredThousandCharacterValueIsReadWholeAndLogged) {
  const char key[] = "Software\\VrbTests\\BadInput";
  ScratchDir dir;
  const std::string text = "c:\\" + std::string(100000, 'x') + "\\";
  SetRegString(HKEY_CURRENT_USER, key, "InstallPath", text);
  SetRegString(HKEY_CURRENT_USER, key, "Expandable", "%TEMP%" + std::string(100000, 'y'),
               REG_EXPAND_SZ);
  StartLog(dir.path());
  std::string value, expandable;
  ReadRegString("InstallPath", std::string("\\") + key, HKEY_CURRENT_USER, value);
  ReadRegString("Expandable", std::string("\\") + key, HKEY_CURRENT_USER, expandable);
  ReleaseLog();
  DeleteRegTree(HKEY_CURRENT_USER, "Software\\VrbTests");
  EXPECT_EQ(value, text);
  EXPECT_EQ(expandable, "%TEMP%" + std::string(100000, 'y'));
  EXPECT_EQ(ReadBytes(dir / "Startup.Log"),
            "Registry Read for Key: InstallPath Value: \"" + text + "\"\r\n" +
                "Registry Read for Key: Expandable Value: \"%TEMP%" + std::string(100000, 'y') +
                "\"\r\n");
}
