#include "startup_log.h"

#include <vector>

#include "file_info.h"
#include "text_file.h"

namespace {

struct LogState {
  std::string prefix;  // empty: logging off
  std::vector<std::string> lines;
};

LogState& Log() {
  static LogState state;
  return state;
}

std::string LogPath() { return Log().prefix + "Startup.Log"; }

}  // namespace

void StartLog(const std::string& prefix) {
  LogState& log = Log();
  log.prefix = prefix;
  if (FileExists(LogPath())) log.lines = ReadTextLines(LogPath());  // an earlier trace goes on
  try {
    WriteTextLines(LogPath(), log.lines);
  } catch (const Failure&) {
    log.prefix.clear();
  }
}

void LogLine(const std::string& text) {
  LogState& log = Log();
  if (log.prefix.empty()) return;
  log.lines.push_back(text);
  WriteTextLines(LogPath(), log.lines);
}

void ReleaseLog() {
  LogState& log = Log();
  log.lines.clear();
  log.lines.shrink_to_fit();
  log.prefix.clear();
}
