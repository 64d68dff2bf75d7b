#include "setup_messages.h"

const char kProductWebSite[] = "www.verbalis.example";

std::string StartupProblemText(const std::string& reason) {
  return reason + ". Download latest program from " + kProductWebSite + " and reinstall.";
}

std::string DamagedDistributionText() {
  return std::string("Verbalis Program install files damaged or missing. Download latest copy from ") +
         kProductWebSite + " and reinstall.";
}

std::string StartFailureText(unsigned result, const std::string& tempDir) {
  switch (result) {
    case 0:
      return "0-System was out of memory, executable file was corrupt, or relocations were invalid.";
    case 2: return "2-File was not found. " + tempDir + "VRB.EXE";
    case 3: return "3-Path was not found. " + tempDir + "VRB.EXE";
    case 5:
      return "5-Attempt was made to dynamically link to a task, or there was a sharing or "
             "network-protection error.";
    case 6: return "6-Library required separate data segments for each task.";
    case 8: return "8-There was insufficient memory to start the application.";
    case 10: return "10-Windows version was incorrect.";
    case 11:
      return "11-Executable file was invalid. Either it was not a Windows application or there "
             "was an error in the .EXE image.";
    case 12: return "12-Application was designed for a different operating system.";
    case 13: return "13-Application was designed for MS-DOS 4.0.";
    case 14: return "14-Type of executable file was unknown.";
    case 15:
      return "15-Attempt was made to load a real-mode application (developed for an earlier "
             "version of Windows).";
    case 16:
      return "16-Attempt was made to load a second instance of an executable file containing "
             "multiple data segments that were not marked read-only.";
    case 19:
      return "19-Attempt was made to load a compressed executable file. The file must be "
             "decompressed before it can be loaded.";
    case 20:
      return "20-Dynamic-link library (DLL) file was invalid. One of the DLLs required to run "
             "this application was corrupt.";
    case 21: return "21-Application requires 32-bit extensions.";
  }
  if (result >= 32) return std::string();
  return "Failed to run SETUP1.EXE. Error code: " + std::to_string(result);
}

std::string UnusableFolderText(const std::string& folder) {
  return "The folder " + folder + " has a name that Setup cannot use. Move the Verbalis distribution to a folder "
         "with a plain name, such as C:\\Verbalis, and start Setup there.";
}
