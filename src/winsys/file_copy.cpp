#include "file_copy.h"

#include <windows.h>

#include <vector>

#include "file_info.h"
#include "handles.h"
#include "sys_table.h"

namespace {
constexpr DWORD kCopyBlock = 16384;
}

bool DeleteIfExists(const std::string& path) {
  if (!FileExists(path)) return true;
  return DeleteFileA(path.c_str()) != 0;
}

bool CopyFileKeepDate(const std::string& source, const std::string& destination) {
  bool result = true;
  DeleteIfExists(destination);  // the old copy goes before the source is even opened
  FileHandle in(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in.valid()) return false;
  // A file still there was refused deletion; write over it in place.
  bool overwrite = FileExists(destination);
  FileHandle out(overwrite ? CreateFileA(destination.c_str(), GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                           : CreateFileA(destination.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                         nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.valid()) return false;
  {
    std::vector<char> buffer(kCopyBlock);
    for (;;) {
      DWORD got = 0;
      if (!Sys().ReadFile(in.get(), buffer.data(), kCopyBlock, &got, nullptr)) {
        result = false;  // a half-read source is no copy
        break;
      }
      if (got == 0) break;
      DWORD put = 0;
      if (!Sys().WriteFile(out.get(), buffer.data(), got, &put, nullptr) || put != got) {
        result = false;
        break;
      }
    }
  }
  // An overwritten file must not keep the tail of its longer old content.
  if (overwrite) SetEndOfFile(out.get());
  in.Close();
  out.Close();
  if (!result) {
    // A half copy dated like its source would pass for current ever after.
    DeleteFileA(destination.c_str());
    return false;
  }
  std::int32_t stamp = GetFileDate(source);
  if (stamp != 0 && stamp != -1) SetFileDate(destination, stamp);
  return result;
}
