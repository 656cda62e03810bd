#include "key_paths.h"

#include <cctype>
#include <set>
#include <vector>

#include "sim/text.h"

namespace vtlint {

namespace {

std::vector<std::string> Names(const std::string& path) {
  std::vector<std::string> names;
  std::string name;
  for (char c : path + "\\") {
    if (c == '\\' || c == '/') {
      if (!name.empty()) names.push_back(name);
      name.clear();
    } else {
      name += c;
    }
  }
  return names;
}

bool IsControlSetNumber(const std::string& upper) {
  if (upper.size() != 13 || upper.compare(0, 10, "CONTROLSET") != 0) return false;
  for (size_t i = 10; i < 13; ++i)
    if (!std::isdigit(static_cast<unsigned char>(upper[i]))) return false;
  return true;
}

// Keys below the first level that are shared by Windows and every program.
const std::set<std::string>& SharedKeys() {
  static const std::set<std::string> kKeys = {
      "HKLM\\SOFTWARE\\MICROSOFT",
      "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS",
      "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION",
      "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL",
      "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN",
      "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUNONCE",
      "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHAREDDLLS",
      "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\APP PATHS",
      "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS NT",
      "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION",
      "HKLM\\SOFTWARE\\CLASSES",
      "HKLM\\SOFTWARE\\CLASSES\\CLSID",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\SERVICES",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\SERVICES\\CLASS",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\SERVICES\\EVENTLOG",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\SERVICES\\EVENTLOG\\APPLICATION",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\ENUM",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\ENUM\\USB",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\ENUM\\ROOT",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\ENUM\\PCI",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\ENUM\\LPTENUM",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\CONTROL",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\CONTROL\\CLASS",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\CONTROL\\PRINT",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\CONTROL\\PRINT\\MONITORS",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\CONTROL\\PRINT\\PRINTERS",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\CONTROL\\PRINT\\ENVIRONMENTS",
      "HKLM\\SYSTEM\\CURRENTCONTROLSET\\HARDWARE PROFILES",
      "HKLM\\ENUM\\USB",  // the Windows 9x device tree
      "HKLM\\ENUM\\ROOT",
      "HKCU\\SOFTWARE\\MICROSOFT",
      "HKCU\\SOFTWARE\\MICROSOFT\\WINDOWS",
      "HKCU\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION",
      "HKCU\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN",
      "HKCR\\CLSID",
      "HKCR\\INTERFACE",
      "HKCR\\TYPELIB",
      "HKCR\\APPID",
      "HKCR\\*",
  };
  return kKeys;
}

}  // namespace

bool IsTopLevelKey(const std::string& hiveCode, const std::string& keyPath) {
  const std::string hive = sim::UpperCase(hiveCode);
  std::vector<std::string> names = Names(sim::UpperCase(keyPath));
  if (names.empty()) return true;                     // the hive itself
  if (hive == "HKPD" || hive == "HKDD") return true;  // no key of their own to remove
  // A class of HKCR ("HKCR\.vpa") is the software's own; elsewhere the first
  // level belongs to Windows (SOFTWARE, SYSTEM, Software, .DEFAULT ...).
  if (names.size() == 1 && hive != "HKCR") return true;
  std::string joined = hive;
  for (const std::string& n : names)
    joined += "\\" + (IsControlSetNumber(n) ? "CURRENTCONTROLSET" : n);
  return SharedKeys().count(joined) != 0;
}

int PathDepth(const std::string& relative) {
  int depth = 0;
  for (std::string name : Names(relative)) {
    if (name == "..") {
      --depth;
      continue;
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (!name.empty()) ++depth;
  }
  return depth;
}

bool IsRootOrSystemPath(const std::string& path) {
  std::string rest = path;
  if (rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':')
    rest.erase(0, 2);
  else if (rest.empty() || (rest[0] != '\\' && rest[0] != '/'))
    return false;  // relative to the current directory: no root
  if (PathDepth(rest) <= 0) return true;
  std::vector<std::string> names = Names(sim::UpperCase(rest));
  if (names.empty() || names.size() > 2) return false;
  if (names[0] != "WINDOWS" && names[0] != "WINNT") return false;
  return names.size() == 1 || names[1] == "SYSTEM32" || names[1] == "SYSTEM";
}

}  // namespace vtlint
