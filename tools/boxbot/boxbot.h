// Runs a program and answers its message boxes (dialog class "#32770"):
// records each box's caption and text, then presses the scripted button.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct BoxRecord {
  std::string caption;
  std::string text;
};

struct BoxRun {
  bool started = false;
  bool timedOut = false;
  DWORD exitCode = 0;
  std::vector<BoxRecord> boxes;
};

// answers: one letter a box, in order: 'O' presses OK, 'C' presses Cancel,
// 'W' waits for a person to answer it; once the script runs out every
// further box gets OK.
// currentDirectory may be empty (the caller's). A program still running
// after timeoutMs is ended (it is ours) and timedOut is set.
// With a picturePrefix, each box is also saved as it appears on the screen,
// as <picturePrefix><n>.bmp (n counting from 1).
// The command line and folder are UTF-16, so that a program can be started
// from a folder whose name the ANSI code page cannot spell.
BoxRun RunAnsweringBoxes(const std::wstring& commandLine, const std::wstring& currentDirectory,
                         const std::string& answers, DWORD timeoutMs = 60000,
                         const std::string& picturePrefix = "");
