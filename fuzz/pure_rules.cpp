// The pure rules under libFuzzer: the first byte picks the rule (its value modulo 4), the rest is its input. A failed
// property ends the run like a crash, so libFuzzer keeps the input. The purge's name rules are judged on the randomised
// trees of tests/vrbdel.
#include <algorithm>
#include <cstdio>

#include "jaws_settings.h"
#include "text.h"
#include "version.h"

#define CHECK(c) \
  ((c) ? (void)0 : (std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #c), std::abort()))
using Names = std::vector<std::string>;
constexpr auto npos = std::string::npos;

// Byte-wise details change with double-byte code pages; for plain ASCII they are fixed.
bool Ascii(const std::string& s) { return std::all_of(s.begin(), s.end(), [](unsigned char c) { return c < 0x80; }); }

// Without quotes: the words of a plain split at bytes 1..32, each cut at the limit.
void Words(const std::string& line) {
  const std::string text(line.c_str());  // the system hands over a NUL-terminated line
  Names plain(1);
  for (unsigned char c : text) {
    if (c > ' ') plain.back() += static_cast<char>(c);
    else if (!plain.back().empty()) plain.emplace_back();
  }
  bool ended = false;
  for (size_t i = 0; i < 64; ++i) {
    const std::string word = CommandLineWord(line.c_str(), static_cast<int>(i));
    CHECK(word.size() <= kMaxWordLength && word.find('"') == npos && !(ended && !word.empty()));
    ended = ended || word.empty();
    if (text.find('"') == npos) CHECK(word == (i < plain.size() ? plain[i] : "").substr(0, kMaxWordLength));
  }
  CHECK(CommandLineWord(line.c_str(), -1).empty() && CommandLineWord(nullptr, 0).empty());
}

// Decided by the digits alone: padded with "00" pairs to 7, as a number; 0 when none or too many.
void Version(const std::string& name) {
  std::string digits;
  for (char c : name)
    if (c >= '0' && c <= '9') digits += c;
  const std::int32_t version = VersionFromDisplayName(name);
  CHECK(version >= 0 && VersionFromDisplayName(digits) == version);
  while (digits.size() < 7) digits += "00";
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
  const bool fits = !digits.empty() && (digits.size() < 10 || (digits.size() == 10 && digits <= "2147483647"));
  CHECK(std::to_string(version) == (fits ? digits : "0"));
}

// The command's own text, after a leading quote, up to the backslash of its first marker.
void Jaws(const std::string& command) {
  const std::string path = JawsSettingsPath(command), text = command.substr(command[0] == '"');
  const size_t marker = LowerAZ(text).find("\\jconfig.exe");
  if (Ascii(command)) CHECK(path.empty() == (marker == npos));
  if (path.empty()) return;
  const std::string head = path.substr(0, path.size() - 9);
  CHECK(path.size() > 9 && path.substr(head.size()) == "Settings\\" && text.compare(0, head.size(), head) == 0);
  CHECK(FindChars(LowerAZ(head), "\\jconfig.exe") == npos && head.back() == '\\');
  if (Ascii(command)) CHECK(head.size() == marker + 1);
}

// In a single-byte and in a double-byte code page alike.
void Paths(const std::string& path) {
  for (bool japanese : {true, false}) {
    bool lead[256] = {};
    for (int byte = 0x81; byte <= 0xFC; ++byte) lead[byte] = japanese && (byte <= 0x9F || byte >= 0xE0);
    SetLeadBytes(lead);
    const std::string lower = LowerAZ(path), dir = NormalizeDir(path), file = FileNamePart(path);
    size_t last = 0;  // where the last character begins
    while (NextCharAt(path, last) < path.size()) last = NextCharAt(path, last);
    // A lead byte with nothing after it would pair with an appended backslash: no directory can end so.
    const bool dangling = !path.empty() && IsLeadByte(path[last]) && last + 1 == path.size();
    CHECK(lower.size() == path.size() && LowerAZ(lower) == lower && (dangling || NormalizeDir(dir) == dir));
    for (size_t i = 0; i < path.size(); ++i)
      CHECK(lower[i] == path[i] || (path[i] >= 'A' && path[i] <= 'Z' && lower[i] == path[i] + 32));
    CHECK(path.empty() ? dir.empty() : (dangling || EndsWithBackslash(dir)) && (dir == lower || dir == lower + "\\"));
    CHECK(DirectoryPart(path) + file == path && FindChars(file, "\\") == npos);
    if (!Ascii(path)) continue;
    CHECK(lower.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == npos && file.find_first_of("\\:") == npos);
  }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  void (*const rules[])(const std::string&) = {Words, Version, Jaws, Paths};
  rules[data[0] % 4](rest);
  return 0;
}
