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
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string Env(const char* name) {
  char value[1024];
  DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* line = GetCommandLineA();
  char cwd[MAX_PATH * 2] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  Record("start");
  Record(std::string("cmdline=") + line);
  Record(std::string("cwd=") + cwd);
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
  }
  Record("end");
  Flush();
  return 0;
}
