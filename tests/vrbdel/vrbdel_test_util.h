// Installation trees, redirected shell folders and Unix links for the uninstaller tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "test_support.h"

// The uninstaller's confirmation question, as "caption|text".
inline const char kQuestion[] =
    "Uninstall|You do not have to uninstall the Verbalis program to install a new version. "
    "Do you wish to uninstall the program? ";

// Short form, locale lower case, as the uninstaller names its folder.
std::string ShortLower(const std::string& path);

// Creates each entry below root: a name ending in "\" is a folder, any other
// a file holding its own name.
void MakeTree(const std::string& root, const std::vector<std::string>& entries);

// Every entry below root, relative, sorted; folders end in "\". Directory
// links are listed, never entered.
std::vector<std::string> TreeNames(const std::string& root);

// root\vrbdel.exe (the launcher), root\Install.Msg and, when asked, root\Vrb.exe (the stand-in).
void MakeInstallation(const std::string& root, bool withMainProgram);

// Points the user's "DeskTop" and "Programs" shell folders at test folders
// and puts the old values back afterwards.
class ScopedShellFolders {
 public:
  ScopedShellFolders(const std::string& desktop, const std::string& programs);
  ~ScopedShellFolders();

  struct Saved {
    bool present = false;
    DWORD type = REG_NONE;
    std::string data;
  };

 private:
  Saved desktop_, programs_;
};
extern const char kShellFoldersKey[];

// `link` as a Unix symbolic link to the folder `target` (Windows paths) for
// the test's lifetime; Wine lists it with the attributes directory and
// reparse point, and no Windows call of Wine removes it.
class UnixDirectoryLink {
 public:
  UnixDirectoryLink(const std::string& target, const std::string& link);
  ~UnixDirectoryLink();

 private:
  std::string link_, unixLink_;
};

// Maps a drive letter to a folder for the test's lifetime (Wine's dosdevices).
class ScopedDrive {
 public:
  ScopedDrive(char letter, const std::string& folder);
  ~ScopedDrive();
  std::string root() const { return std::string(1, letter_) + ":\\"; }

 private:
  char letter_;
  std::string unixLink_;
};

// The stand-in's trace once it has ended; empty when there is none.
std::vector<std::string> StubLines(const std::string& logPath);
