// Version, code page, directories, computer name, user rights and the clock of
// a simulated PC (machine.json).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "sim/text.h"

namespace sim {

struct WindowsVersion {
  DWORD platform = VER_PLATFORM_WIN32_NT;
  DWORD major = 5;
  DWORD minor = 1;
  DWORD build = 2600;
  std::string csd = "Service Pack 2";
};

// "95", "98", "me", "nt4", "2000", "xp" (case ignored); false for any other name.
bool VersionFromName(const std::string& name, WindowsVersion* out);

class SystemInfo {
 public:
  WindowsVersion version;
  std::string computer_name = "SHOP-PC";  // code page text
  // machine.json "directories" by their names there (current, temp, windows,
  // system, desktop, common_desktop, programs, common_programs, startup …),
  // as code page texts. A name mapped to nullopt was given as null: the call
  // that reports it fails with 2. An absent name fails the same way.
  std::map<std::string, std::optional<std::string>> directories;
  bool administrator = true;
  // Privileges the user holds (machine.json user.privileges) and those of
  // them enabled in the process token (all disabled at the start, as
  // Windows starts a program).
  std::vector<std::string> privileges;
  std::set<std::string, LessNoCase> enabled_privileges;
  bool HoldsPrivilege(const std::string& name) const;
  // The program's process identifier.
  DWORD ProcessId() const { return NtFamily() ? 1444 : 0xFFFA0E4Bu; }
  // machine.json "later_shell": shell32 4.71 or later and shlwapi, as
  // Internet Explorer 4's desktop update brings them to Windows 95 and NT 4
  // (later versions ship with them). Unset: as the version ships.
  std::optional<bool> later_shell;
  // GetDiskFreeSpaceExA came with Windows 95 OSR2 (build 1111): the first
  // Windows 95 has none.
  bool HasDiskFreeSpaceEx() const;

  bool NtFamily() const { return version.platform == VER_PLATFORM_WIN32_NT; }
  // Whether SHGetSpecialFolderPathA, shlwapi.dll and its SH*/Path* calls exist.
  bool HasLaterShell() const;
  // The directory of that name, or nullptr when absent or null.
  const std::string* Directory(const std::string& name) const;
  void SetDirectory(const std::string& name, const std::string& value) {
    directories[name] = value;
  }

  // The clock: local time at the program's start plus the simulated time
  // that has passed since (no real sleeping: waits advance it).
  SYSTEMTIME start_time{};
  uint64_t elapsed_ms = 0;
  void AdvanceClock(uint64_t ms) { elapsed_ms += ms; }
  SYSTEMTIME LocalTime() const;
  // Sets start_time from "YYYY-MM-DDTHH:MM:SS[.mmm]"; false when malformed.
  bool SetStartTime(const std::string& iso);
  // Sets start_time from the host's local time.
  void SetStartTimeFromHost();
};

}  // namespace sim
