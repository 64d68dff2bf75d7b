#include "jaws_config.h"

#include <windows.h>

#include <exception>

#include "file_copy.h"
#include "file_info.h"
#include "folders.h"
#include "handles.h"
#include "jaws_settings.h"
#include "registry.h"
#include "relative_files.h"
#include "startup_log.h"
#include "sys_table.h"
#include "text.h"

namespace {

const char kExtensionKey[] = "\\.jcf";

// The key's default value. Read without ReadRegString's log lines: the
// screen-reader trace has lines of its own.
std::string ReadDefaultString(const RegKey& key) {
  std::string value;
  ReadKeyString(key.get(), "", value);
  return value;
}

// The folder `entry` of `parent`'s listing, opened through the parent's handle: none when it was
// listed as a link, or is no longer the folder listed (a link swapped in since).
bool OpenListedFolder(HANDLE parent, const FolderEntries& entry, FileHandle& folder) {
  const DWORD kind = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  return (entry.attributes() & kind) == FILE_ATTRIBUTE_DIRECTORY &&
         OpenListedFolder(parent, entry.wide_name(), entry.wide_length(), entry.id(), FILE_LIST_DIRECTORY,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, folder);
}

// A version's "Settings" folder, as its listing shows it.
bool OpenSettingsFolder(HANDLE version, FileHandle& settings) {
  FolderEntries entries(version);
  while (entries.Next())
    if (CompareStringOrdinal(entries.wide_name(), static_cast<int>(entries.wide_length()), L"Settings", -1,
                             TRUE) == CSTR_EQUAL)
      return OpenListedFolder(version, entries, settings);
  return false;
}

// Lines 5 to 8 for every entry of one Settings folder, held by `folder` and named `settings`.
// From JAWS 6.0 on, that folder holds more than language folders (Init, VoiceProfiles, ...);
// each language folder holds a default.jcf. Everything below is reached through handles:
// users may make folders and links there.
void ServeSettings(const std::string& settings, HANDLE folder, const std::string& source,
                   bool languagesOnly) {
  FolderEntries listing(folder);
  while (listing.Next()) {
    std::string name = listing.name();
    LogLine("  JAWS: Settings Directory " + name);
    FileHandle language;
    if (StartsWith(name, ".") || !OpenListedFolder(folder, listing, language)) continue;
    if (languagesOnly && FileAgeIn(language.get(), L"default.jcf") == -1) continue;
    std::string target = settings + name + "\\Vrb.Jcf";
    if (FileAge(source) > FileAgeIn(language.get(), L"Vrb.Jcf")) {
      if (Sys().JawsFolderChecked) Sys().JawsFolderChecked((settings + name).c_str());
      bool copied = CopyFileKeepDate(source, language.get(), L"Vrb.Jcf");
      LogLine((copied ? "  JAWS: Installing in " : "  JAWS: Copy failed to ") + target);
    } else {
      LogLine("  JAWS: Already Installed in " + target);
    }
  }
}

// JAWS up to 5.x: the Settings folder beside JConfig.exe, found through the ".jcf" file type.
void InstallRegisteredJawsConfig(const std::string& sourceDir) {
  RegKey key;
  if (!OpenKeyFullAccess(HKEY_CLASSES_ROOT, kExtensionKey, key)) {
    LogLine("  JAWS: Not Installed");
    return;
  }
  std::string fileType = ReadDefaultString(key);
  key.Close();
  LogLine("  JAWS: Config File Type = \"" + fileType + "\"");
  if (fileType.empty()) return;

  if (!OpenKeyFullAccess(HKEY_CLASSES_ROOT, "\\" + fileType + "\\shell\\open\\command", key))
    return;
  std::string command = ReadDefaultString(key);
  key.Close();
  LogLine("  JAWS: Command Path = \"" + command + "\"");
  if (command.empty()) return;

  std::string settings = JawsSettingsPath(command);
  if (settings.empty()) return;
  LogLine("  JAWS: Settings Path = " + settings);

  FileHandle folder(OpenFolderByPath(settings));
  ServeSettings(settings, folder.get(), sourceDir + "Vrb.Jcf", false);
}

// JAWS 6.0 and later: the settings all users share, one folder a version and a language.
// JAWS reads a user's own file first, key by key, so the user's choices still win; those
// files are the user's and are never written.
void InstallSharedJawsConfig(const std::string& source) {
  const std::string common = CommonAppDataFolder();
  if (common.empty()) return;
  const std::string jaws = common + "Freedom Scientific\\JAWS\\";
  FileHandle root(OpenFolderByPath(jaws));
  FolderEntries versions(root.get());
  while (versions.Next()) {
    FileHandle version, settingsFolder;
    if (StartsWith(versions.name(), ".") || !OpenListedFolder(root.get(), versions, version)) continue;
    std::string settings = jaws + versions.name() + "\\Settings\\";
    LogLine("  JAWS: Settings Path = " + settings);
    if (OpenSettingsFolder(version.get(), settingsFolder))
      ServeSettings(settings, settingsFolder.get(), source, true);
  }
}

}  // namespace

void InstallJawsConfig(const std::string& sourceDir) {
  // Whatever befell the registered rule, the shared folders are served; its failure is
  // then passed on as it was.
  std::exception_ptr failure;
  try {
    InstallRegisteredJawsConfig(sourceDir);
  } catch (...) {
    failure = std::current_exception();
  }
  InstallSharedJawsConfig(sourceDir + "Vrb.Jcf");
  if (failure) std::rethrow_exception(failure);
}

bool JawsConfigRegistered() {
  RegKey key;
  return OpenKeyFullAccess(HKEY_CLASSES_ROOT, kExtensionKey, key);
}
