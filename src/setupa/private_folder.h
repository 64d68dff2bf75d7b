// The folder of setup's own that the compressed main program is expanded
// into: the elevated installer never runs from a folder that programs the
// user runs unelevated can write.
#pragma once
#include <string>

#include "handles.h"

// Only SYSTEM and the Administrators may write it or change it; nothing is
// inherited from the temporary folder. Owned by the Administrators, not by the
// token's default owner, which policy may make the user's own account: an
// owner may always rewrite the access list.
extern const char kPrivateFolderSecurity[];

struct PrivateFolder {
  std::string path;  // ends in a backslash; after a failure, the last one tried
  // Open without delete sharing while setup works in it: whoever may delete
  // in the temporary folder could otherwise rename it away and put another
  // folder in its place.
  FileHandle hold;
};

// A fresh folder below tempDir under a name that did not exist; false when none can be made.
bool MakePrivateFolder(const std::string& tempDir, PrivateFolder& folder);

// Lets go of the folder and puts it, with the program and the log in it, down
// for deletion at the next restart; where the system refuses, they stay.
void RemoveAtRestart(PrivateFolder& folder);

// Lets go of the folder and removes it with what a failed expansion left in it.
void RemoveNow(PrivateFolder& folder);
