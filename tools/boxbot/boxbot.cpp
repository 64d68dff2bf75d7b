#include "boxbot.h"

namespace {

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  Search* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid || !IsWindowVisible(window)) return TRUE;
  char cls[64] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (lstrcmpA(cls, "#32770") != 0) return TRUE;
  search->found = window;
  return FALSE;
}

std::string WindowText(HWND window) {
  int n = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(window, &text[0], n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

}  // namespace

BoxRun RunAnsweringBoxes(const std::string& commandLine, const std::string& currentDirectory,
                         const std::string& answers, DWORD timeoutMs) {
  BoxRun run;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                      currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &si, &pi))
    return run;
  run.started = true;
  size_t nextAnswer = 0;
  HWND answered = nullptr;
  DWORD waited = 0;
  const DWORD step = 20;
  while (WaitForSingleObject(pi.hProcess, step) == WAIT_TIMEOUT) {
    waited += step;
    if (waited >= timeoutMs) {
      TerminateProcess(pi.hProcess, 255);
      WaitForSingleObject(pi.hProcess, 5000);
      run.timedOut = true;
      break;
    }
    // The box just answered may linger a moment before it closes.
    if (answered && IsWindow(answered) && IsWindowVisible(answered)) continue;
    Search search{pi.dwProcessId, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (!search.found) continue;
    Sleep(30);  // let the box finish painting before it is read
    BoxRecord box;
    box.caption = WindowText(search.found);
    HWND textItem = GetDlgItem(search.found, 0xFFFF);
    box.text = textItem ? WindowText(textItem) : std::string();
    run.boxes.push_back(box);
    char answer = nextAnswer < answers.size() ? answers[nextAnswer] : 'O';
    ++nextAnswer;
    PostMessageA(search.found, WM_COMMAND, answer == 'C' ? IDCANCEL : IDOK, 0);
    answered = search.found;
  }
  GetExitCodeProcess(pi.hProcess, &run.exitCode);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return run;
}
