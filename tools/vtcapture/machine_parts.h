// The members of machine.json, each asked of the Windows part that keeps it.
// Each writes its own members into the open root object.
#pragma once

#include <string>
#include <vector>

#include "tools/vtcapture/json_text.h"

namespace vtcapture {

struct Version {
  unsigned long platform = 0, major = 0, minor = 0;
  bool nt_family() const { return platform == 2; }
};

Version WindowsVersion();

// "windows", "code_page", "computer_name".
void WriteSystem(JsonText& json, const Version& version);

// "directories": CURRENT is where the program stands (vtcapture's folder).
void WriteDirectories(JsonText& json, const std::string& current);

// "drives": each letter with its type and, for fixed drives, free space.
// Returns the fixed drives' letters.
std::vector<char> WriteDrives(JsonText& json, char leftOut);

// "user": administrator and the token's privileges (NT family).
void WriteUser(JsonText& json, const Version& version);

// "printers", "printer_drivers", "ports", "port_monitors", "monitors",
// "monitor_dlls".
void WriteSpooler(JsonText& json);

// "services" (NT family's service manager).
void WriteServices(JsonText& json, const Version& version);

// "setupapi" and "devices", SetupAPI loaded at run time when present.
void WriteDevices(JsonText& json, const Version& version);

// "installer_products": the products the installer itself knows.
void WriteInstallerProducts(JsonText& json);

// The directory of a path the way GetTempPathA reports it: one trailing "\".
std::string WithTrailingBackslash(std::string path);

}  // namespace vtcapture
