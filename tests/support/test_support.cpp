#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

const char kUninstallKey[] = "Software\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\\Verbalis";

namespace {

// A listed name in the tests' spelling: the Cyrillic De as "?" whatever the code page.
std::string Narrow(const wchar_t* wide, bool spelled = false) {
  std::wstring name(wide);
  if (!spelled) std::replace(name.begin(), name.end(), L'\x0414', L'?');
  char text[4 * MAX_PATH];
  const int n = WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, text, sizeof text, "?", nullptr);
  return std::string(text, std::max(n, 1) - 1);
}

// Every entry the system lists for the folder, "." and ".." too, in its order; folders end in "\".
std::vector<std::string> Listed(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(W(dir + (dir.empty() || dir.back() == '\\' ? "*" : "\\*")).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(Narrow(data.cFileName) + (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? "\\" : ""));
  while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

void SetRegValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                 const void* data, size_t size) {
  HKEY h;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), ERROR_SUCCESS);
  RegSetValueExW(h, name.empty() ? nullptr : W(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                 static_cast<DWORD>(size));
  RegCloseKey(h);
}

std::vector<RecordedBox> fakeBoxes;
std::vector<int> fakeAnswers;
DWORD fakeFailCode = 0;

int WINAPI FakeMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  size_t index = fakeBoxes.size();
  fakeBoxes.push_back({caption ? caption : "", text ? text : "", type});
  int answer = index < fakeAnswers.size() ? fakeAnswers[index] : IDOK;
  if (answer == 0) SetLastError(fakeFailCode);
  return answer;
}

}  // namespace

ScratchDir::ScratchDir() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
  std::replace_if(name.begin(), name.end(), [](char c) { return c == '/' || c == '\\' || c == ':'; }, '_');
  CreateDirectoryA("C:\\vrbtests", nullptr);
  path_ = "C:\\vrbtests\\" + name;
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
  path_ += "\\";
}

ScratchDir::~ScratchDir() {
  SetCurrentDirectoryA("C:\\");
  RemoveTree(path_.substr(0, path_.size() - 1));
}

std::wstring W(const std::string& path) {
  std::wstring out(path.size(), L'\0');
  out.resize(MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), &out[0], out.size()));
  std::replace(out.begin(), out.end(), L'?', L'\x0414');
  return out;
}

std::string ShortPath(const std::string& path) {
  wchar_t wide[MAX_PATH];
  DWORD n = GetShortPathNameW(W(path).c_str(), wide, MAX_PATH);
  return n > 0 && n < MAX_PATH ? Narrow(wide) : path;
}

std::string Reachable(const std::string& path) {
  BOOL lossy = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, W(path).c_str(), -1, nullptr, 0, nullptr, &lossy);
  return lossy ? ShortPath(path) : Narrow(W(path).c_str(), true);
}

void WriteBytes(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot create " << path;
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, content.size());
}

std::string ReadBytes(const std::string& path) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string text;
  char block[65536];
  DWORD got = 0;
  while (ReadFile(file, block, sizeof block, &got, nullptr) && got > 0) text.append(block, got);
  CloseHandle(file);
  return text;
}

std::vector<std::string> FileLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string text = ReadBytes(path);
  for (size_t start = 0, end; text != "<missing>" && start < text.size(); start = end + 2) {
    end = std::min(text.find("\r\n", start), text.size());
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

bool PathExists(const std::string& path) { return GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeDir(const std::string& path) { CreateDirectoryW(W(path).c_str(), nullptr); }

void RemoveTree(const std::string& path) {
  const std::wstring wide = W(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(wide.c_str());
  } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    // Wine lists a Unix symbolic link as a directory link; unlink, never descend.
    if (!RemoveDirectoryW(wide.c_str())) DeleteFileW(wide.c_str());
  } else {
    for (const std::string& name : ListNames(path)) RemoveTree(path + "\\" + name);
    RemoveDirectoryW(wide.c_str());
  }
}

void SetLocalWriteTime(const std::string& path, int year, int month, int day, int hour, int minute, int second) {
  SYSTEMTIME st{static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day),
                static_cast<WORD>(hour), static_cast<WORD>(minute), static_cast<WORD>(second), 0};
  FILETIME local, utc;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &local) && LocalFileTimeToFileTime(&local, &utc));
  HANDLE file = CreateFileW(W(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  SetFileTime(file, nullptr, nullptr, &utc);
  CloseHandle(file);
}

std::vector<std::string> ListNames(const std::string& dir) {
  std::vector<std::string> names = Listed(dir);
  names.erase(std::remove_if(names.begin(), names.end(), [](auto& name) { return name == ".\\" || name == "..\\"; }),
              names.end());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> InListingOrder(const std::string& dir, const std::vector<std::string>& wanted) {
  std::vector<std::string> names;
  for (std::string name : Listed(dir)) {
    if (name.back() == '\\') name.pop_back();
    if (std::find(wanted.begin(), wanted.end(), name) != wanted.end()) names.push_back(name);
  }
  return names;
}

void SetRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
  const std::wstring wide = W(value);
  SetRegValue(root, key, name, REG_SZ, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

void SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
  SetRegValue(root, key, name, REG_DWORD, &value, sizeof value);
}

void DeleteRegTree(HKEY root, const std::string& key) { RegDeleteTreeA(root, key.c_str()); }

bool RegKeyExists(HKEY root, const std::string& key) {
  HKEY h;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

FakeBoxes::FakeBoxes(std::vector<int> answers, DWORD failCode) {
  fakeBoxes.clear(), fakeAnswers = std::move(answers), fakeFailCode = failCode;
  Sys().MessageBoxA = FakeMessageBox;
}

const std::vector<RecordedBox>& FakeBoxes::boxes() const { return fakeBoxes; }

std::vector<std::string> FakeBoxes::Summary() const {
  std::vector<std::string> out;
  for (const RecordedBox& box : fakeBoxes) out.push_back(box.caption + "|" + box.text);
  return out;
}

void Unix(std::string command, const std::vector<std::string>& paths, bool gone) {
  for (std::string path : paths) {
    for (char& c : path)
      if (c == '\\') c = '/';
    command += " \"" + std::string(getenv("WINEPREFIX")) + "/drive_c" + path.substr(2) + "\"";
  }
  STARTUPINFOA startup{sizeof startup};
  PROCESS_INFORMATION process;
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, 0, 0, nullptr, "C:\\", &startup, &process));
  for (int i = 0; i < 100 && PathExists(paths.back()) == gone; ++i) Sleep(50);
}

std::string askedPolicies;
BOOL WINAPI RefusePolicy(PROCESS_MITIGATION_POLICY policy, PVOID flags, SIZE_T size) {
  askedPolicies += std::to_string(policy) + ":" + std::to_string(size == 4 ? *static_cast<DWORD*>(flags) : 0) + " ";
  return SetLastError(ERROR_NOT_SUPPORTED), FALSE;
}

std::string BinFile(const std::string& name) {
  char self[MAX_PATH];
  const std::string path(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
  return path.substr(0, path.rfind('\\') + 1) + name;
}

BoxRun RunProgram(const std::string& exePath, const std::string& arguments, const std::string& answers,
                  const std::string& currentDirectory) {
  std::string line = "\"" + exePath + "\"" + (arguments.empty() ? "" : " " + arguments);
  BoxRun run = RunAnsweringBoxes(W(line), W(currentDirectory), answers, 60000);
  EXPECT_TRUE(run.started) << line;
  EXPECT_FALSE(run.timedOut) << line;
  return run;
}

std::vector<std::string> BoxSummary(const BoxRun& run) {
  std::vector<std::string> out;
  for (const BoxRecord& box : run.boxes) out.push_back(box.caption + "|" + box.text);
  return out;
}

void SetEnv(const std::string& name, const std::string& value) {
  SetEnvironmentVariableW(W(name).c_str(), value.empty() ? nullptr : W(value).c_str());
}
