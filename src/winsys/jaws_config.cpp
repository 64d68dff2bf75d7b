#include "jaws_config.h"

#include <windows.h>

#include "dir_listing.h"
#include "file_copy.h"
#include "file_info.h"
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

}  // namespace

void InstallJawsConfig(const std::string& sourceDir) {
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

  const std::string source = sourceDir + "Vrb.Jcf";
  DirListing listing(settings + "*.*");
  while (listing.Next()) {
    std::string name = listing.name();
    LogLine("  JAWS: Settings Directory " + name);
    if (StartsWith(name, ".") || !listing.is_directory()) continue;
    std::string target = settings + name + "\\Vrb.Jcf";
    if (FileAge(source) > FileAge(target)) {
      bool copied = CopyFileKeepDate(source, target);
      LogLine((copied ? "  JAWS: Installing in " : "  JAWS: Copy failed to ") + target);
    } else {
      LogLine("  JAWS: Already Installed in " + target);
    }
  }
}

bool JawsConfigRegistered() {
  RegKey key;
  return OpenKeyFullAccess(HKEY_CLASSES_ROOT, kExtensionKey, key);
}
