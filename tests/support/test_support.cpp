#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

const char kUninstallKey[] = "Software\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\\Verbalis";

namespace {

std::string TestName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':') c = '_';
  return name;
}

}  // namespace

ScratchDir::ScratchDir() {
  CreateDirectoryA("C:\\vrbtests", nullptr);
  path_ = "C:\\vrbtests\\" + TestName();
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
  path_ += "\\";
}

ScratchDir::~ScratchDir() {
  SetCurrentDirectoryA("C:\\");
  RemoveTree(path_.substr(0, path_.size() - 1));
}

void WriteBytes(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot create " << path;
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, content.size());
}

std::string ReadBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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
  if (text == "<missing>") return lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeDir(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

void RemoveTree(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileA(path.c_str());
    return;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    // Wine lists a Unix symbolic link as a directory link; unlink, never descend.
    if (!RemoveDirectoryA(path.c_str())) DeleteFileA(path.c_str());
    return;
  }
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name != "." && name != "..") RemoveTree(path + "\\" + name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(path.c_str());
}

void SetLocalWriteTime(const std::string& path, int year, int month, int day, int hour,
                       int minute, int second) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wHour = static_cast<WORD>(hour);
  st.wMinute = static_cast<WORD>(minute);
  st.wSecond = static_cast<WORD>(second);
  FILETIME local, utc;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &local));
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  SetFileTime(file, nullptr, nullptr, &utc);
  CloseHandle(file);
}

std::vector<std::string> ListNames(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  std::string base = dir.empty() || dir.back() == '\\' ? dir : dir + "\\";
  HANDLE find = FindFirstFileA((base + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) name += "\\";
    names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> InListingOrder(const std::string& dir, const std::vector<std::string>& wanted) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "*.*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (std::find(wanted.begin(), wanted.end(), data.cFileName) != wanted.end())
      names.push_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

void SetRegString(HKEY root, const std::string& key, const std::string& name,
                  const std::string& value, DWORD type) {
  HKEY h;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(h, name.empty() ? nullptr : name.c_str(), 0, type,
                 reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
  RegCloseKey(h);
}

void SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
  HKEY h;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(h, name.empty() ? nullptr : name.c_str(), 0, REG_DWORD,
                 reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(h);
}

void DeleteRegTree(HKEY root, const std::string& key) {
  HKEY h;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS) return;
  char sub[256];
  for (;;) {
    DWORD n = sizeof sub;
    if (RegEnumKeyExA(h, 0, sub, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    DeleteRegTree(h, sub);
  }
  RegCloseKey(h);
  RegDeleteKeyA(root, key.c_str());
}

bool RegKeyExists(HKEY root, const std::string& key) {
  HKEY h;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

namespace {

struct FakeBoxState {
  std::vector<RecordedBox> boxes;
  std::vector<int> answers;
  DWORD failCode = 0;
};
FakeBoxState g_fake;

int WINAPI FakeMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  size_t index = g_fake.boxes.size();
  g_fake.boxes.push_back({caption ? caption : "", text ? text : "", type});
  int answer = index < g_fake.answers.size() ? g_fake.answers[index] : IDOK;
  if (answer == 0) SetLastError(g_fake.failCode);
  return answer;
}

}  // namespace

FakeBoxes::FakeBoxes(std::vector<int> answers, DWORD failCode) {
  g_fake = FakeBoxState{{}, std::move(answers), failCode};
  Sys().MessageBoxA = FakeMessageBox;
}

FakeBoxes::~FakeBoxes() = default;

const std::vector<RecordedBox>& FakeBoxes::boxes() const { return g_fake.boxes; }

std::vector<std::string> FakeBoxes::Summary() const {
  std::vector<std::string> out;
  for (const RecordedBox& box : g_fake.boxes) out.push_back(box.caption + "|" + box.text);
  return out;
}

std::string BinFile(const std::string& name) { return std::string(VRB_BIN_DIR) + name; }

BoxRun RunProgram(const std::string& exePath, const std::string& arguments,
                  const std::string& answers, const std::string& currentDirectory) {
  std::string line = "\"" + exePath + "\"";
  if (!arguments.empty()) line += " " + arguments;
  BoxRun run = RunAnsweringBoxes(line, currentDirectory, answers, 60000);
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
  SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
}
