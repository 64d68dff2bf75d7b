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
  // In a double-byte code page the length may be larger than the text.
  int n = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(window, &text[0], n + 1)));
  return text;
}

// Copies the box's screen area into a 24-bit BMP file.
void SavePicture(HWND window, const std::string& path) {
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::string pixels(stride * static_cast<DWORD>(height), '\0');
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), &pixels[0],
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(out, &file, sizeof file, &written, nullptr);
  WriteFile(out, &info, sizeof info, &written, nullptr);
  WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
  CloseHandle(out);
}

}  // namespace

BoxRun RunAnsweringBoxes(const std::wstring& commandLine, const std::wstring& currentDirectory,
                         const std::string& answers, DWORD timeoutMs,
                         const std::string& picturePrefix) {
  BoxRun run;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
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
    if (!picturePrefix.empty()) {
      UpdateWindow(search.found);
      Sleep(150);  // drawn by the box's own thread
      SavePicture(search.found, picturePrefix + std::to_string(run.boxes.size()) + ".bmp");
    }
    char answer = nextAnswer < answers.size() ? answers[nextAnswer] : 'O';
    ++nextAnswer;
    if (answer != 'W') PostMessageA(search.found, WM_COMMAND, answer == 'C' ? IDCANCEL : IDOK, 0);
    answered = search.found;
  }
  GetExitCodeProcess(pi.hProcess, &run.exitCode);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return run;
}
