#include "jaws_config.h"

#include <windows.h>

#include <exception>

#include "dir_listing.h"
#include "file_copy.h"
#include "file_info.h"
#include "folders.h"
#include "handles.h"
#include "jaws_settings.h"
#include "registry.h"
#include "startup_log.h"
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

// Lines 5 to 8 for every entry of one Settings folder. From JAWS 6.0 on, that folder
// holds more than language folders (Init, VoiceProfiles, ...); each language folder
// holds a default.jcf.
void ServeSettings(const std::string& settings, const std::string& source, bool languagesOnly) {
  DirListing listing(settings + "*.*");
  while (listing.Next()) {
    std::string name = listing.name();
    LogLine("  JAWS: Settings Directory " + name);
    if (StartsWith(name, ".") || !listing.is_directory()) continue;
    if (languagesOnly && !FileExists(settings + name + "\\default.jcf")) continue;
    std::string target = settings + name + "\\Vrb.Jcf";
    if (FileAge(source) > FileAge(target)) {
      bool copied = CopyFileKeepDate(source, target);
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

  ServeSettings(settings, sourceDir + "Vrb.Jcf", false);
}

// JAWS 6.0 and later: the settings all users share, one folder a version and a language.
// JAWS reads a user's own file first, key by key, so the user's choices still win; those
// files are the user's and are never written.
void InstallSharedJawsConfig(const std::string& source) {
  const std::string common = CommonAppDataFolder();
  if (common.empty()) return;
  const std::string jaws = common + "Freedom Scientific\\JAWS\\";
  DirListing versions(jaws + "*.*");
  while (versions.Next()) {
    if (StartsWith(versions.name(), ".") || !versions.is_directory()) continue;
    std::string settings = jaws + versions.name() + "\\Settings\\";
    LogLine("  JAWS: Settings Path = " + settings);
    ServeSettings(settings, source, true);
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
