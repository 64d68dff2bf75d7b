// Stand-in for the product's main program Vrb.exe, for tests and the demo.
// Appends to the file named by VRB_STUB_LOG what it was started with:
//   start
//   cmdline=<command line as received>
//   cwd=<current directory>
// Started with no argument it lists AutoLoad.Lst of its current directory
// ("module=<line>" each, or "autoload=missing"). Started with /unregserver it
// waits VRB_STUB_DELAY_MS (default 300) and then reports whether the file named
// by VRB_STUB_PROBE still exists ("probe=present" or "probe=missing"), which
// shows whether its caller waited before deleting anything.
// Started with a source folder it first loads vrbplug.dll, as a program that
// looks for an optional library does, and records where the system found it
// ("plugin=<path>", or "plugin=none"); with VRB_STUB_INSTALL set to 1 it then
// installs the product as the real main program would (see Install below).
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>

namespace {

// Read through the W call: Wine's GetEnvironmentVariableA cuts a double-byte
// value to its length in characters.
std::string Env(const char* name) {
  wchar_t wideName[64], value[1024];
  char text[2048];
  MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, 64);
  DWORD n = GetEnvironmentVariableW(wideName, value, 1024);
  int length = n > 0 && n < 1024 ? WideCharToMultiByte(CP_ACP, 0, value, -1, text, sizeof text, nullptr, nullptr) : 0;
  return length > 1 ? std::string(text, static_cast<size_t>(length - 1)) : std::string();
}

std::string logText;

void Record(const std::string& line) { logText += line + "\r\n"; }

void Flush() {
  std::string path = Env("VRB_STUB_LOG");
  if (path.empty()) return;
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, logText.data(), static_cast<DWORD>(logText.size()), &written, nullptr);
  CloseHandle(file);
}

// The text after the program name on the command line.
std::string Arguments(const char* line) {
  const char* p = line;
  while (*p == ' ') ++p;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != ' ') ++p;
  }
  while (*p == ' ') ++p;
  return p;
}

void ListModules() {
  HANDLE file = CreateFileA("AutoLoad.Lst", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    Record("autoload=missing");
    return;
  }
  std::string text;
  char block[4096];
  DWORD got = 0;
  while (ReadFile(file, block, sizeof block, &got, nullptr) && got > 0) text.append(block, got);
  CloseHandle(file);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    Record("module=" + text.substr(start, end - start));
    start = end + 2;
  }
}

std::string Unquoted(std::string text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  return text;
}

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir;
}

void SetMachineString(const char* key, const char* name, const std::string& value) {
  HKEY h;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(h);
}

bool MakeShortcut(const std::string& linkPath, const std::string& target, const std::string& dir) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return false;
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(dir.c_str());
  link->SetDescription("Verbalis");
  IPersistFile* file = nullptr;
  bool saved = false;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t wide[MAX_PATH * 2];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH * 2);
    saved = SUCCEEDED(file->Save(wide, TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path);
  return WithSlash(path);
}

// The product's installation: its files into the install folder, this program
// as Vrb.exe, the launcher as vrbdel.exe, "Install.Msg", the uninstall key
// and entry, a desktop shortcut and a program group.
void Install(const std::string& sourceDir) {
  std::string installDir = Env("VRB_STUB_INSTALL_DIR");
  if (installDir.empty()) installDir = "C:\\Program Files\\Verbalis\\";
  installDir = WithSlash(installDir);
  CreateDirectoryA(installDir.c_str(), nullptr);
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((sourceDir + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      if (lstrcmpiA(name.c_str(), "Vrb.ex_") == 0 || lstrcmpiA(name.c_str(), "Setup.exe") == 0) continue;
      std::string target = installDir + name;
      CopyFileA((sourceDir + name).c_str(), target.c_str(), FALSE);
      SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);  // a CD leaves files read-only
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  CopyFileA(self, (installDir + "Vrb.exe").c_str(), FALSE);
  // The launcher stands at the CD root, above vrb\win32\, or beside the files.
  std::string launcher = sourceDir + "Setup.exe";
  const std::string cdFolder = "vrb\\win32\\";
  if (GetFileAttributesA(launcher.c_str()) == INVALID_FILE_ATTRIBUTES &&
      sourceDir.size() > cdFolder.size() &&
      lstrcmpiA(sourceDir.substr(sourceDir.size() - cdFolder.size()).c_str(), cdFolder.c_str()) == 0)
    launcher = sourceDir.substr(0, sourceDir.size() - cdFolder.size()) + "Setup.exe";
  bool haveUninstaller = CopyFileA(launcher.c_str(), (installDir + "vrbdel.exe").c_str(), FALSE) != 0;
  SetFileAttributesA((installDir + "vrbdel.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE marker = CreateFileA((installDir + "Install.Msg").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) {
    std::string text = "Verbalis 8.10.0.204 installed from " + sourceDir + "\r\n";
    DWORD written = 0;
    WriteFile(marker, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(marker);
  }
  const char key[] = "Software\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\\Verbalis";
  SetMachineString(key, "DisplayName", "Verbalis 8.10.0.204");
  SetMachineString(key, "InstallPath", installDir);
  SetMachineString(key, "UninstallString", "\"" + installDir + "vrbdel.exe\" Verbalis Verbalis");
  CoInitialize(nullptr);
  std::string desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
  std::string group = ShellFolder(CSIDL_PROGRAMS) + "Verbalis";
  CreateDirectoryA(group.c_str(), nullptr);
  bool linked = MakeShortcut(desktop + "Verbalis.lnk", installDir + "Vrb.exe", installDir) &&
                MakeShortcut(group + "\\Verbalis.lnk", installDir + "Vrb.exe", installDir);
  CoUninitialize();
  Record("installed=" + installDir);
  Record(std::string("uninstaller=") + (haveUninstaller ? "copied" : "missing"));
  Record(std::string("shortcuts=") + (linked ? desktop + "Verbalis.lnk;" + group + "\\Verbalis.lnk" : "failed"));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* line = GetCommandLineA();
  char cwd[MAX_PATH * 2] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  Record("start");
  Record(std::string("cmdline=") + line);
  Record(std::string("cwd=") + cwd);
  STARTUPINFOA startup;
  GetStartupInfoA(&startup);
  // How the starter asked for the window to be shown, when it asked.
  if (startup.dwFlags & STARTF_USESHOWWINDOW) Record("show=" + std::to_string(startup.wShowWindow));
  std::string args = Arguments(line);
  if (args.empty()) {
    ListModules();
  } else if (lstrcmpiA(args.c_str(), "/unregserver") == 0) {
    std::string delay = Env("VRB_STUB_DELAY_MS");
    Sleep(delay.empty() ? 300 : static_cast<DWORD>(std::atol(delay.c_str())));
    std::string probe = Env("VRB_STUB_PROBE");
    if (!probe.empty())
      Record(GetFileAttributesA(probe.c_str()) != INVALID_FILE_ATTRIBUTES ? "probe=present"
                                                                          : "probe=missing");
  } else {
    HMODULE plugin = LoadLibraryA("vrbplug.dll");
    char from[MAX_PATH] = "none";
    if (plugin) GetModuleFileNameA(plugin, from, MAX_PATH);
    Record(std::string("plugin=") + from);
    if (Env("VRB_STUB_INSTALL") == "1") Install(WithSlash(Unquoted(args)));
  }
  Record("end");
  Flush();
  return 0;
}
