// Normalized directories: idempotent, end in a backslash unless empty, and
// change nothing but the letters A-Z and the one appended backslash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  const std::string dir = NormalizeDir(path);
  FUZZ_CHECK(NormalizeDir(dir) == dir);
  if (path.empty()) {
    FUZZ_CHECK(dir.empty());
    return 0;
  }
  FUZZ_CHECK(dir.back() == '\\');
  const bool appended = path.back() != '\\';
  FUZZ_CHECK(dir.size() == path.size() + (appended ? 1 : 0));
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    const char expected = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    FUZZ_CHECK(dir[i] == expected);
  }
  return 0;
}
