#include "file_copy.h"

#include <windows.h>

#include <vector>

#include "file_info.h"
#include "handles.h"
#include "sys_table.h"
#include "text.h"

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
}  // namespace

bool CopyFileKeepDate(const std::string& source, const std::string& destination) {
  FileHandle in(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in.valid()) return false;
  // The copy is made beside the destination under a name of its own and put in its place in one
  // step: a reader (the screen reader) never meets half a file, and a failure leaves the old one whole.
  char temp[MAX_PATH];
  if (!GetTempFileNameA(DirectoryPart(destination).c_str(), "vrb", 0, temp)) return false;
  FileHandle out(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
  bool result = out.valid() && CopyBlocks(in.get(), out.get());
  in.Close();
  out.Close();
  if (result) {
    std::int32_t stamp = GetFileDate(source);
    if (stamp != 0 && stamp != -1) SetFileDate(temp, stamp);
    result = MoveFileExA(temp, destination.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  }
  if (!result) DeleteFileA(temp);
  return result;
}
