// Splitting the command line: the word limit, dropped quotes, and, for a line
// without quotes, the same words as a plain split at bytes 1..32.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "text.h"

namespace {

std::vector<std::string> PlainSplit(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (unsigned char c : line) {
    if (c <= ' ') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += static_cast<char>(c);
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The system hands the program a NUL-terminated line: the first NUL ends it.
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::string terminated(line.c_str());
  const bool quoted = terminated.find('"') != std::string::npos;
  const std::vector<std::string> plain = PlainSplit(terminated);

  std::size_t total = 0;
  bool ended = false;
  for (int index = 0; index < 64; ++index) {
    const std::string word = CommandLineWord(line.c_str(), index);
    FUZZ_CHECK(word.size() <= kMaxWordLength);
    FUZZ_CHECK(word.find('"') == std::string::npos);
    FUZZ_CHECK(word.find('\0') == std::string::npos);
    // An empty word is the end of the line: nothing comes after it.
    if (ended) FUZZ_CHECK(word.empty());
    if (word.empty()) ended = true;
    total += word.size();
    FUZZ_CHECK(total <= terminated.size());
    if (!quoted) {
      for (unsigned char c : word) FUZZ_CHECK(c > ' ');
      const std::string expected =
          index < static_cast<int>(plain.size()) ? plain[index] : std::string();
      if (expected.size() <= kMaxWordLength)
        FUZZ_CHECK(word == expected);
      else
        FUZZ_CHECK(word == expected.substr(0, kMaxWordLength));
    }
  }
  FUZZ_CHECK(CommandLineWord(line.c_str(), -1).empty());
  FUZZ_CHECK(CommandLineWord(nullptr, 0).empty());
  return 0;
}
