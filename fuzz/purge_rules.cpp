// The purge's name rules. Nothing a name can hold makes the purge delete a
// spared entry, descend into a directory link or treat a file as a folder;
// sparing user modules only ever shortens the lists, keeps their order,
// ends, and leaves no module folder with a marker behind.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "folder_rules.h"
#include "fuzz_check.h"
#include "purge_rules.h"
#include "text.h"

namespace {

void CheckEntry(const std::string& name, unsigned long attributes) {
  const EntryAction action = ClassifyEntry(name, attributes);
  const bool directory = (attributes & kAttrDirectory) != 0;
  if (StartsWith(name, ".")) FUZZ_CHECK(action == EntryAction::Keep);
  if (directory) {
    FUZZ_CHECK(action != EntryAction::DeleteFile);
    if (action == EntryAction::PurgeFolder) FUZZ_CHECK(!(attributes & kAttrReparsePoint));
    if (action == EntryAction::RemoveLink) FUZZ_CHECK(attributes & kAttrReparsePoint);
    if (StartsWith(name, "notes") || StartsWith(name, "2") || name == "fonts")
      FUZZ_CHECK(action == EntryAction::Keep);
    FUZZ_CHECK(CountsAsNotes(name, attributes) == StartsWith(name, "notes"));
  } else {
    FUZZ_CHECK(action == EntryAction::Keep || action == EntryAction::DeleteFile);
    FUZZ_CHECK(!CountsAsNotes(name, attributes));
    if (name == "vrbdel.exe" || name == "notes.map" || EndsWith(name, ".lst"))
      FUZZ_CHECK(action == EntryAction::Keep);
    if (attributes & (kAttrSystem | kAttrVolumeLabel)) FUZZ_CHECK(action == EntryAction::Keep);
  }
}

// `shorter` is `longer` with some entries taken out, the rest in order.
bool IsSubsequence(const std::vector<std::string>& shorter, const std::vector<std::string>& longer) {
  std::size_t at = 0;
  for (const std::string& name : longer)
    if (at < shorter.size() && shorter[at] == name) ++at;
  return at == shorter.size();
}

// Names come from a directory listing, which cannot hold a NUL.
std::string ListedName(FuzzedDataProvider& input) {
  std::string name = input.ConsumeRandomLengthString(24);
  name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
  return name;
}

void CheckSparing(FuzzedDataProvider& input) {
  std::vector<std::string> files, folders;
  const std::size_t fileCount = input.ConsumeIntegralInRange<std::size_t>(0, 16);
  for (std::size_t i = 0; i < fileCount; ++i) files.push_back(ListedName(input));
  const std::size_t folderCount = input.ConsumeIntegralInRange<std::size_t>(0, 16);
  std::set<std::string> marked;
  for (std::size_t i = 0; i < folderCount; ++i) {
    folders.push_back(ListedName(input));
    if (input.ConsumeBool()) marked.insert(folders.back());
  }
  const std::vector<std::string> filesBefore = files, foldersBefore = folders;
  std::size_t asked = 0;
  SpareUserModules(files, folders, [&](const std::string& name) {
    FUZZ_CHECK(++asked <= 1000);  // the walk ends
    return marked.count(name) != 0;
  });
  FUZZ_CHECK(IsSubsequence(files, filesBefore));
  FUZZ_CHECK(IsSubsequence(folders, foldersBefore));
  for (const std::string& name : folders)
    FUZZ_CHECK(!(IsModuleFolderName(name) && marked.count(name)));
  // Only map files and folders of a spared module's stem leave the lists.
  for (const std::string& name : filesBefore)
    if (std::find(files.begin(), files.end(), name) == files.end()) FUZZ_CHECK(EndsWith(name, ".map"));
  for (const std::string& name : foldersBefore) {
    if (std::find(folders.begin(), folders.end(), name) != folders.end()) continue;
    bool ofSparedModule = false;
    for (const std::string& module : marked)
      if (IsModuleFolderName(module) && name.size() == module.size() &&
          name.compare(0, module.size() - 2, ModuleStem(module)) == 0)
        ofSparedModule = true;
    FUZZ_CHECK(ofSparedModule);
  }
}

void CheckFolders(const std::string& a, const std::string& b) {
  const bool namesFolder = a.find_first_not_of('\\') != std::string::npos;
  FUZZ_CHECK(IsSameOrAncestor(a, a) == namesFolder);
  FUZZ_CHECK(IsSameOrAncestor(a, a + "\\") == namesFolder);
  if (IsSameOrAncestor(a, b)) FUZZ_CHECK(IsSameOrAncestor(a, b + "\\x"));
  FUZZ_CHECK(IsRootDirectory(a) == IsRootDirectory(a + "\\"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const unsigned long attributes = input.ConsumeIntegral<std::uint32_t>();
  const std::string name = input.ConsumeRandomLengthString(64);
  CheckEntry(name, attributes);
  CheckEntry(name, attributes | kAttrDirectory);
  CheckEntry(name, attributes & ~kAttrDirectory);
  const std::string other = input.ConsumeRandomLengthString(64);
  CheckFolders(name, other);
  CheckSparing(input);
  return 0;
}
