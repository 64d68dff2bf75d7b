// A DLL that a malicious download would plant beside Setup.exe under the name
// of a system library. Loading it leaves the file named by VRB_PLANTED_MARKER.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char marker[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VRB_PLANTED_MARKER", marker, sizeof marker);
    if (n > 0 && n < sizeof marker) {
      HANDLE h = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
  }
  return TRUE;
}

extern "C" __declspec(dllexport) INT WINAPI LZInit(INT) { return -1; }
extern "C" __declspec(dllexport) LONG WINAPI LZCopy(INT, INT) { return -1; }
extern "C" __declspec(dllexport) void WINAPI LZClose(INT) {}
