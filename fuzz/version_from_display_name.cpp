// The installed version number: never negative, never a failure, decided by
// the digits alone, and equal to the padded digits whenever they fit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "version.h"

namespace {

// The padded digit string without leading zeros, compared as text with the
// largest signed 32-bit number.
bool FitsInt32(const std::string& digits) {
  const std::string max = "2147483647";
  if (digits.size() != max.size()) return digits.size() < max.size();
  return digits <= max;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  const std::int32_t version = VersionFromDisplayName(name);
  FUZZ_CHECK(version >= 0);

  std::string digits;
  for (char c : name)
    if (c >= '0' && c <= '9') digits += c;
  FUZZ_CHECK(VersionFromDisplayName(digits) == version);

  std::string padded = digits;
  while (padded.size() < 7) padded += "00";
  const std::size_t first = padded.find_first_not_of('0');
  const std::string significant = first == std::string::npos ? "" : padded.substr(first);
  if (significant.empty())
    FUZZ_CHECK(version == 0);
  else if (FitsInt32(significant))
    FUZZ_CHECK(std::to_string(version) == significant);
  else
    FUZZ_CHECK(version == 0);  // too many digits: treated as no version at all
  return 0;
}
