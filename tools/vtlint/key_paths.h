// Which registry keys and directories a removal list must never take whole.
#pragma once

#include <string>

namespace vtlint {

// True when deleting hiveCode\keyPath (with its subkeys) would remove a hive
// root or a key that Windows or every program shares: a first-level key of
// HKLM, HKCU, HKUS or HKCC, HKLM\SOFTWARE\Microsoft\...\CurrentVersion and its
// shared lists, the control set's Services, Enum, Control\Class ..., and the
// class tables of HKCR. Empty path parts are skipped, as Windows does, and
// ControlSet001 ... count as CurrentControlSet.
bool IsTopLevelKey(const std::string& hiveCode, const std::string& keyPath);

// How far a relative path climbs: the number of names it goes down, less the
// ".." it goes up ("" and "\." give 0, "\..\x" gives 0, "\.." -1). Trailing
// dots and blanks of a name are dropped, as Windows does.
int PathDepth(const std::string& relative);

// True for a drive root ("C:", "C:\", "\") or a Windows or system directory
// spelled out ("C:\WINDOWS", "C:\WINNT\system32", "C:\WINDOWS\SYSTEM").
bool IsRootOrSystemPath(const std::string& path);

}  // namespace vtlint
