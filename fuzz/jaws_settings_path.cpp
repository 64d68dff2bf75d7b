// The screen reader's settings path: empty exactly when there is no marker,
// otherwise the command's own text up to the marker's backslash + "Settings\".
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "jaws_settings.h"
#include "text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string command(reinterpret_cast<const char*>(data), size);
  const std::string path = JawsSettingsPath(command);
  const std::string lower = LowerAZ(command);
  const std::size_t marker = lower.find("\\jconfig.exe");
  if (marker == std::string::npos) {
    FUZZ_CHECK(path.empty());
    return 0;
  }
  const std::string suffix = "Settings\\";
  FUZZ_CHECK(EndsWith(path, suffix.c_str()));
  const std::string head = path.substr(0, path.size() - suffix.size());
  FUZZ_CHECK(head.size() == marker + 1);
  FUZZ_CHECK(command.compare(0, head.size(), head) == 0);  // letter case and quotes kept
  FUZZ_CHECK(LowerAZ(head).find("\\jconfig.exe") == std::string::npos);  // the first marker
  FUZZ_CHECK(lower.compare(marker, 12, "\\jconfig.exe") == 0);
  return 0;
}
