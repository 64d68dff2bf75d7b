// The program entry: picks setup or uninstall mode from the program's own
// file name and runs that mode's driver. Returns the process exit code.
#pragma once

int RunProgram();
