#include "vrbdel_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string ShortLower(const std::string& path) {
  char buffer[MAX_PATH];
  DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
  std::string result = n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
  CharLowerBuffA(&result[0], static_cast<DWORD>(result.size()));
  return result;
}

void MakeTree(const std::string& root, const std::vector<std::string>& entries) {
  for (const std::string& entry : entries) {
    if (entry.back() == '\\')
      ASSERT_TRUE(CreateDirectoryA((root + entry).c_str(), nullptr)) << entry;
    else
      WriteBytes(root + entry, entry);
  }
}

namespace {

void CollectNames(const std::string& root, const std::string& relative,
                  std::vector<std::string>& names) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((root + relative + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      names.push_back(relative + name + "\\");
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        CollectNames(root, relative + name + "\\", names);
    } else {
      names.push_back(relative + name);
    }
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

ScopedShellFolders::Saved Save(const char* name) {
  ScopedShellFolders::Saved saved;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return saved;
  char data[1024];
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, name, nullptr, &saved.type, reinterpret_cast<BYTE*>(data), &size) ==
      ERROR_SUCCESS) {
    saved.present = true;
    saved.data.assign(data, size);
  }
  RegCloseKey(key);
  return saved;
}

void Restore(const char* name, const ScopedShellFolders::Saved& saved) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return;
  if (saved.present)
    RegSetValueExA(key, name, 0, saved.type, reinterpret_cast<const BYTE*>(saved.data.data()),
                   static_cast<DWORD>(saved.data.size()));
  else
    RegDeleteValueA(key, name);
  RegCloseKey(key);
}

std::string UnixPath(const std::string& windowsPath) {
  typedef char*(CDECL * Convert)(const WCHAR*);
  Convert convert = reinterpret_cast<Convert>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
  EXPECT_NE(convert, nullptr) << "these tests make links through Wine";
  if (!convert) return "";
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
  char* unixPath = convert(wide);
  std::string result = unixPath ? unixPath : "";
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

// Wine runs a Unix program for CreateProcess but hands back no handle to wait on.
void StartUnixProgram(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;
  ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\",
                             &startup, &process))
      << commandLine;
  if (process.hProcess) CloseHandle(process.hProcess);
  if (process.hThread) CloseHandle(process.hThread);
}

template <typename Done>
bool WaitUntil(Done done) {
  for (int i = 0; i < 100; ++i) {
    if (done()) return true;
    Sleep(50);
  }
  return done();
}

}  // namespace

std::vector<std::string> TreeNames(const std::string& root) {
  std::vector<std::string> names;
  CollectNames(root.back() == '\\' ? root : root + "\\", "", names);
  std::sort(names.begin(), names.end());
  return names;
}

void MakeInstallation(const std::string& root, bool withMainProgram) {
  ASSERT_TRUE(CopyFileA(BinFile("Setup.exe").c_str(), (root + "vrbdel.exe").c_str(), FALSE));
  WriteBytes(root + "Install.Msg", "installed");
  if (withMainProgram)
    ASSERT_TRUE(CopyFileA(BinFile("Vrb.exe").c_str(), (root + "Vrb.exe").c_str(), FALSE));
}

ScopedShellFolders::ScopedShellFolders(const std::string& desktop, const std::string& programs)
    : desktop_(Save("DeskTop")), programs_(Save("Programs")) {
  SetRegString(HKEY_CURRENT_USER, kShellFoldersKey, "DeskTop", desktop);
  SetRegString(HKEY_CURRENT_USER, kShellFoldersKey, "Programs", programs);
}

ScopedShellFolders::~ScopedShellFolders() {
  Restore("DeskTop", desktop_);
  Restore("Programs", programs_);
}

UnixDirectoryLink::UnixDirectoryLink(const std::string& target, const std::string& link)
    : link_(link), unixLink_(UnixPath(link)) {
  std::string unixTarget = UnixPath(target);
  EXPECT_FALSE(unixTarget.empty() || unixLink_.empty());
  StartUnixProgram("Z:\\bin\\ln -s \"" + unixTarget + "\" \"" + unixLink_ + "\"");
  EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA(link.c_str()) == 0x410; }))
      << link << " attributes " << std::hex << GetFileAttributesA(link.c_str());
}

UnixDirectoryLink::~UnixDirectoryLink() {
  if (unixLink_.empty()) return;
  StartUnixProgram("Z:\\bin\\rm -f \"" + unixLink_ + "\"");
  EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA(link_.c_str()) == INVALID_FILE_ATTRIBUTES; }));
}

ScopedDrive::ScopedDrive(char letter, const std::string& folder) : letter_(letter) {
  // Wine keeps its drives as links in the prefix's dosdevices folder, beside c:.
  std::string driveC = UnixPath("C:\\");
  size_t at = driveC.rfind("/c:");
  EXPECT_NE(at, std::string::npos) << driveC;
  if (at == std::string::npos) return;
  unixLink_ = driveC.substr(0, at + 1) + static_cast<char>(letter + 'a' - 'A') + ":";
  StartUnixProgram("Z:\\bin\\ln -s \"" + UnixPath(folder) + "\" \"" + unixLink_ + "\"");
  EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA(root().c_str()) != INVALID_FILE_ATTRIBUTES; }))
      << unixLink_;
}

ScopedDrive::~ScopedDrive() {
  if (unixLink_.empty()) return;
  StartUnixProgram("Z:\\bin\\rm -f \"" + unixLink_ + "\"");
  EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA(root().c_str()) == INVALID_FILE_ATTRIBUTES; }));
}

std::vector<std::string> StubLines(const std::string& logPath) { return FileLines(logPath); }
