#include "private_folder.h"

#include <windows.h>
#include <sddl.h>

#include "sys_table.h"

const char kPrivateFolderSecurity[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

namespace {

// Names one run may try; each refusal other than a taken name ends the search at once.
constexpr int kNamesToTry = 100;
// What setup leaves in the folder: the expanded program and Startup.Log.
const char* const kLeftInFolder[] = {"Vrb.exe", "Startup.Log"};

// Not guessable ahead of a run, so that nobody can take every name it will try.
DWORD FirstSeed() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return GetTickCount() ^ (GetCurrentProcessId() << 16) ^ counter.LowPart ^ static_cast<DWORD>(counter.HighPart);
}

DWORD NextSeed(DWORD seed) {  // xorshift32; never 0 from a seed that is not
  seed ^= seed << 13;
  seed ^= seed >> 17;
  return seed ^ (seed << 5);
}

// "vrb" and five hexadecimal digits: a plain 8.3 name, so the path needs no short form.
std::string FolderName(DWORD seed) {
  static const char kHex[] = "0123456789abcdef";
  std::string name = "vrb";
  for (int shift = 16; shift >= 0; shift -= 4) name += kHex[(seed >> shift) & 0xF];
  return name;
}

std::string WithoutBackslash(const std::string& dir) { return dir.substr(0, dir.size() - 1); }

}  // namespace

bool MakePrivateFolder(const std::string& tempDir, PrivateFolder& folder) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kPrivateFolderSecurity, SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    folder.path = tempDir + FolderName(FirstSeed()) + "\\";
    return false;
  }
  SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
  bool made = false;
  DWORD seed = FirstSeed() | 1;
  for (int i = 0; i < kNamesToTry && !made; ++i, seed = NextSeed(seed)) {
    folder.path = tempDir + FolderName(seed) + "\\";
    // Fails on a name that exists, a link among them: then another name.
    made = Sys().CreateDirectoryA(WithoutBackslash(folder.path).c_str(), &security) != 0;
    if (!made && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  LocalFree(descriptor);
  if (!made) return false;
  folder.hold.reset(CreateFileA(WithoutBackslash(folder.path).c_str(), FILE_LIST_DIRECTORY,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return true;
}

void RemoveAtRestart(PrivateFolder& folder) {
  folder.hold.Close();
  for (const char* name : kLeftInFolder)
    MoveFileExA((folder.path + name).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  MoveFileExA(WithoutBackslash(folder.path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void RemoveNow(PrivateFolder& folder) {
  folder.hold.Close();
  for (const char* name : kLeftInFolder) DeleteFileA((folder.path + name).c_str());
  RemoveDirectoryA(WithoutBackslash(folder.path).c_str());
}
