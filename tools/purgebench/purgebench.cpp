// Times the uninstaller's purge of one folder tree: purgebench <folder>.
// Prints the seconds the purge took and the process's peak working set.
#include <cstdio>
#include <string>

#include "purge_directory.h"
#include "timed_run.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: purgebench <folder>\n", stderr);
    return 2;
  }
  TimeAndReport([&] { PurgeDirectory(argv[1]); });
  return 0;
}
