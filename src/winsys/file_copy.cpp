#include "file_copy.h"

#include <vector>

#include "handles.h"
#include "relative_files.h"
#include "sys_table.h"

namespace {
constexpr DWORD kCopyBlock = 16384;

// True when every block of `in` reached `out`; a half-read source is no copy.
bool CopyBlocks(HANDLE in, HANDLE out) {
  std::vector<char> buffer(kCopyBlock);
  for (;;) {
    DWORD got = 0, put = 0;
    if (!Sys().ReadFile(in, buffer.data(), kCopyBlock, &got, nullptr)) return false;
    if (got == 0) return true;
    if (!Sys().WriteFile(out, buffer.data(), got, &put, nullptr) || put != got) return false;
  }
}

// A new file "vrbXXXX.tmp" in the folder, under a name no entry has.
HANDLE CreateTemporaryFile(HANDLE folder) {
  const DWORD start = GetTickCount();
  for (DWORD n = 0; n < 0x10000; ++n) {
    wchar_t name[16];
    wsprintfW(name, L"vrb%04X.tmp", (start + n) & 0xFFFF);
    HANDLE file = OpenRelative(folder, name, GENERIC_WRITE | DELETE, 0, FILE_CREATE, FILE_NON_DIRECTORY_FILE);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_ALREADY_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}
}  // namespace

bool CopyFileKeepDate(const std::string& source, HANDLE folder, const wchar_t* name) {
  FileHandle in(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in.valid()) return false;
  // The copy is made beside the destination under a name of its own and put in its place in one
  // step: a reader (the screen reader) never meets half a file, and a failure leaves the old one whole.
  FileHandle out(CreateTemporaryFile(folder));
  if (!out.valid()) return false;
  FILETIME written;
  bool result = CopyBlocks(in.get(), out.get()) && GetFileTime(in.get(), nullptr, nullptr, &written) &&
                SetFileTime(out.get(), nullptr, nullptr, &written) &&
                RenameByHandle(out.get(), folder, name, true);
  if (!result) DeleteByHandle(out.get(), 0);
  return result;
}
