// boxbot [--answers OC] [--timeout ms] [--pictures prefix] -- <command line>
// Prints each box as "BOX [caption] text" and exits with the program's exit code.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "boxbot.h"

int main(int argc, char** argv) {
  std::string answers;
  std::string pictures;
  DWORD timeout = 120000;
  int i = 1;
  for (; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--answers") && i + 1 < argc) answers = argv[++i];
    else if (!std::strcmp(argv[i], "--timeout") && i + 1 < argc) timeout = static_cast<DWORD>(std::atol(argv[++i]));
    else if (!std::strcmp(argv[i], "--pictures") && i + 1 < argc) pictures = argv[++i];
    else if (!std::strcmp(argv[i], "--")) { ++i; break; }
    else break;
  }
  // The rest of our own command line, as typed, is the program's command line.
  const wchar_t* raw = GetCommandLineW();
  const wchar_t* rest = std::wcsstr(raw, L" -- ");
  if (i >= argc || !rest) {
    std::fprintf(stderr, "usage: boxbot [--answers OC] [--timeout ms] [--pictures prefix] -- command line\n");
    return 2;
  }
  BoxRun run = RunAnsweringBoxes(rest + 4, L"", answers, timeout, pictures);
  if (!run.started) {
    std::fprintf(stderr, "boxbot: cannot start: %ls\n", rest + 4);
    return 2;
  }
  for (const BoxRecord& box : run.boxes) std::printf("BOX [%s] %s\n", box.caption.c_str(), box.text.c_str());
  if (run.timedOut) std::printf("TIMEOUT\n");
  std::printf("EXIT %lu\n", run.exitCode);
  std::fflush(stdout);
  return static_cast<int>(run.exitCode);
}
