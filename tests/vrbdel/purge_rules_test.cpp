// The purge's per-entry rules on lower-cased names, for the edges that the
// whole-program runs do not reach; and what counts as a root folder.
#include <gtest/gtest.h>

#include "folder_rules.h"
#include "purge_rules.h"

TEST(ClassifyEntry, NameEdges) {
  struct Case {
    const char* name;
    unsigned long attributes;
    EntryAction action;
  } cases[] = {
      {"2", 0x10, EntryAction::Keep},           {"xnotes", 0x10, EntryAction::PurgeFolder},
      {"desktop.", 0x20, EntryAction::Keep},    {"desktop", 0x20, EntryAction::DeleteFile},
      {".lst", 0x20, EntryAction::Keep},        {"x.lst.bak", 0x20, EntryAction::DeleteFile},
      {"notes2.map", 0x20, EntryAction::DeleteFile}, {"daily.dtp2", 0x20, EntryAction::DeleteFile},
      {"data.dat", 0x8, EntryAction::Keep},     {"..", 0x10, EntryAction::Keep},
      {"data", 0x410, EntryAction::RemoveLink}, {"notes", 0x410, EntryAction::Keep},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyEntry(c.name, c.attributes), c.action) << c.name;
}

TEST(IsRootDirectory, DriveAndShareRootsOnly) {
  for (const char* root : {"c:\\", "c:", "\\\\server\\share\\", "\\\\server\\share"})
    EXPECT_TRUE(IsRootDirectory(root)) << root;
  for (const char* folder : {"c:\\app\\", "\\\\server\\share\\app\\", "\\\\server\\", ""})
    EXPECT_FALSE(IsRootDirectory(folder)) << folder;
}
