#include "registry.h"

#include <vector>

#include "code_page.h"
#include "failure.h"
#include "startup_log.h"

const char kUninstallKeyPath[] = "\\Software\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\\Verbalis";
const char kUserShellFoldersKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kShellFoldersKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

namespace {

// The registry API refuses a path that begins with a backslash (error 161).
const char* FromRoot(const std::string& keyPath) {
  const char* path = keyPath.c_str();
  return *path == '\\' ? path + 1 : path;
}

void DeleteKeyTree(HKEY parent, const char* name) {
  {
    RegKey key;
    if (!OpenKeyFullAccess(parent, name, key)) return;
    DWORD count = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      count = 0;
    // From the last index to the first, so deletions do not shift what is left to visit.
    for (DWORD i = count; i-- > 0;) {
      char sub[256];
      DWORD length = sizeof sub;
      if (RegEnumKeyExA(key.get(), i, sub, &length, nullptr, nullptr, nullptr, nullptr) ==
          ERROR_SUCCESS)
        DeleteKeyTree(key.get(), sub);
    }
  }
  RegDeleteKeyA(parent, name);
}

}  // namespace

bool OpenKeyFullAccess(HKEY root, const std::string& keyPath, RegKey& key, REGSAM extraAccess) {
  HKEY* slot = key.receive();
  if (RegOpenKeyExA(root, FromRoot(keyPath), 0, KEY_ALL_ACCESS | extraAccess, slot) ==
      ERROR_SUCCESS)
    return true;
  *slot = nullptr;
  return false;
}

void ReadKeyString(HKEY key, const std::string& valueName, std::string& value) {
  value.clear();
  DWORD type = REG_NONE;
  DWORD size = 0;
  const char* name = valueName.c_str();
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      size > 0) {
    std::vector<char> data;
    LONG status;
    do {  // the value may grow between the two queries
      data.resize(size);
      status = RegQueryValueExA(key, name, nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &size);
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS)
      RaiseFailure(FailureKind::RegistryException, "Failed to get data for '" + valueName + "'");
    value.assign(data.data(), size);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
      RaiseFailure(FailureKind::RegistryException, "Invalid data type for '" + valueName + "'");
    std::size_t end = value.find('\0');
    if (end != std::string::npos) value.resize(end);
  }
}

void ReadRegString(const std::string& valueName, const std::string& keyPath, HKEY rootKey,
                   std::string& value) {
  RegKey key;
  if (!OpenKeyFullAccess(rootKey, keyPath, key)) {
    value.clear();
    LogLine("Registry Open Failed for Key: " + valueName);
    return;
  }
  ReadKeyString(key.get(), valueName, value);
  key.Close();
  LogLine("Registry Read for Key: " + valueName + " Value: \"" + value + "\"");
}

void ReadUninstallValue(const std::string& valueName, std::string& value) {
  ReadRegString(valueName, kUninstallKeyPath, HKEY_LOCAL_MACHINE, value);
}

void DeleteUninstallKey() { DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKeyPath + 1); }

std::string ReadRegFolder(HKEY root, const std::string& keyPath, const std::string& valueName, REGSAM view,
                          bool expand) {
  RegKey key;
  if (!OpenKeyFullAccess(root, keyPath, key, view) &&
      RegOpenKeyExA(root, FromRoot(keyPath), 0, KEY_QUERY_VALUE | view, key.receive()) != ERROR_SUCCESS)
    return "";
  wchar_t value[2 * MAX_PATH + 1];
  DWORD size = sizeof value - sizeof value[0];
  DWORD type = REG_NONE;
  if (RegQueryValueExW(key.get(), FromCodePage(valueName).data(), nullptr, &type, reinterpret_cast<BYTE*>(value),
                       &size) != ERROR_SUCCESS)
    return "";
  value[size / sizeof value[0]] = L'\0';
  if (type == REG_SZ || (type == REG_EXPAND_SZ && !expand)) return ReachablePath(value);
  wchar_t expanded[2 * MAX_PATH];
  DWORD n = type == REG_EXPAND_SZ ? ExpandEnvironmentStringsW(value, expanded, 2 * MAX_PATH) : 0;
  return n > 0 && n <= 2 * MAX_PATH ? ReachablePath(expanded) : "";
}

void ReadRegFolderString(const std::string& valueName, const std::string& keyPath, HKEY rootKey,
                         std::string& value) {
  ReadRegString(valueName, keyPath, rootKey, value);
  // Too long for a folder, or unreachable: the value as read stands.
  std::string reachable = value.empty() ? "" : ReadRegFolder(rootKey, keyPath, valueName, 0, false);
  if (!reachable.empty()) value = reachable;
}

void ReadUninstallFolder(const std::string& valueName, std::string& value) {
  ReadRegFolderString(valueName, kUninstallKeyPath, HKEY_LOCAL_MACHINE, value);
}
