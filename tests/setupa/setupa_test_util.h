// Distributions, installed copies and the stand-in's trace for the setup tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "test_support.h"

// Short form lower-cased, as the launcher names folders on command lines.
inline std::string ShortLower(const std::string& path) {
  char buffer[MAX_PATH];
  DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
  std::string result = n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
  CharLowerBuffA(&result[0], static_cast<DWORD>(result.size()));
  return result;
}

inline std::string DropLast(const std::string& dir) { return dir.substr(0, dir.size() - 1); }

// The launcher's temporary folder as it works it out.
inline std::string LauncherTempDir() {
  char buffer[MAX_PATH];
  DWORD n = GetTempPathA(sizeof buffer, buffer);
  std::string dir(buffer, n);
  CharLowerBuffA(&dir[0], static_cast<DWORD>(dir.size()));
  if (dir.back() != '\\') dir += '\\';
  return ShortLower(dir);
}

enum DistFile : unsigned {
  kVrbExe = 1,
  kVrbEx_ = 2,
  kInstallMsg = 4,
  kCommon801 = 8,
  kLang801 = 16,
  kVrbJcf = 32,
  kCompleteWithExe = kVrbExe | kInstallMsg | kCommon801 | kLang801 | kVrbJcf,
  kCompleteWithEx_ = kVrbEx_ | kInstallMsg | kCommon801 | kLang801 | kVrbJcf,
};

// dir ends in a backslash and exists. Vrb.Exe is the stand-in, Vrb.Ex_ its SZDD form.
inline void MakeDistribution(const std::string& dir, unsigned files) {
  if (files & kVrbExe) ASSERT_TRUE(CopyFileA(BinFile("Vrb.exe").c_str(), (dir + "Vrb.Exe").c_str(), FALSE));
  if (files & kVrbEx_) ASSERT_TRUE(CopyFileA(BinFile("Vrb.ex_").c_str(), (dir + "Vrb.Ex_").c_str(), FALSE));
  if (files & kInstallMsg) WriteBytes(dir + "Install.Msg", "install");
  if (files & kCommon801) WriteBytes(dir + "Common.801", "common");
  if (files & kLang801) WriteBytes(dir + "Lang.801", "lang");
  if (files & kVrbJcf) WriteBytes(dir + "Vrb.Jcf", "jaws configuration");
}

inline void SetUninstallEntry(const std::string& displayName, const std::string& installPath) {
  DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  if (!displayName.empty()) SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", displayName);
  if (!installPath.empty()) SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallPath", installPath);
}

// The stand-in's trace once it has ended, or what is there after timeoutMs.
inline std::vector<std::string> WaitForStub(const std::string& logPath, DWORD timeoutMs = 15000) {
  DWORD start = GetTickCount();
  for (;;) {
    std::vector<std::string> lines = FileLines(logPath);
    if ((!lines.empty() && lines.back() == "end") || GetTickCount() - start > timeoutMs) return lines;
    Sleep(50);
  }
}

// JAWS registered for ".jcf" with this open command; removed by the destructor.
class JawsRegistration {
 public:
  explicit JawsRegistration(const std::string& command) {
    Remove();
    SetRegString(HKEY_CLASSES_ROOT, ".jcf", "", "VrbTestJawsConfig");
    SetRegString(HKEY_CLASSES_ROOT, "VrbTestJawsConfig\\shell\\open\\command", "", command);
  }
  ~JawsRegistration() { Remove(); }
  static void Remove() {
    DeleteRegTree(HKEY_CLASSES_ROOT, ".jcf");
    DeleteRegTree(HKEY_CLASSES_ROOT, "VrbTestJawsConfig");
  }
};
