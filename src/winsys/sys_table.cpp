#include "sys_table.h"

namespace {

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

HMODULE Kernel32() { return GetModuleHandleA("kernel32.dll"); }

// A DLL planted beside the launcher in a download folder must never be
// loaded: take LZ32 from the system folder by its full path.
HMODULE LoadFromSystemFolder(const char* name) {
  char path[MAX_PATH + 16];
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  lstrcatA(path, "\\");
  lstrcatA(path, name);
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

SysTable SystemTable() {
  HMODULE lz32 = LoadFromSystemFolder("lz32.dll");
  SysTable table = {::MessageBoxA, ::WinExec, ::CreateProcessA, ::ReadFile, ::WriteFile,
                    ::WaitForSingleObject, ::CreateDirectoryA,
                    // Looked up at run time: very old systems do not export it.
                    Lookup<decltype(SysTable::GetDiskFreeSpaceExA)>(Kernel32(), "GetDiskFreeSpaceExA"),
                    ::GetDiskFreeSpaceA, ::GetShortPathNameW,
                    Lookup<decltype(SysTable::LZInit)>(lz32, "LZInit"),
                    Lookup<decltype(SysTable::LZCopy)>(lz32, "LZCopy"),
                    Lookup<decltype(SysTable::LZClose)>(lz32, "LZClose"), ::CreateFileA,
                    ::SetFileInformationByHandle,
                    nullptr, nullptr,
                    Lookup<decltype(SysTable::SetProcessMitigationPolicy)>(Kernel32(),
                                                                           "SetProcessMitigationPolicy"),
                    nullptr};
  return table;
}

}  // namespace

SysTable& Sys() {
  static SysTable table = SystemTable();
  return table;
}
