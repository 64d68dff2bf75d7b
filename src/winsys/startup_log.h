// Startup.Log: one line per event, the whole file rewritten after each
// line so the trace survives a crash. Off while the prefix is empty.
#pragma once
#include <string>

void StartLog(const std::string& prefix);
void LogLine(const std::string& text);
// End of run: frees the lines and turns logging off.
void ReleaseLog();
