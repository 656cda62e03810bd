// MoveFileExA: renaming and moving files and folders, and (NT family) the
// moves and deletions Windows carries out at its next start, which it keeps
// in the Session Manager's PendingFileRenameOperations value. Windows 95, 98
// and ME have no MoveFileExA at all (they keep such work in WININIT.INI).
#include <cerrno>
#include <string>

#include "platform/win32.h"
#include "sim/file_holders.h"
#include "sim/machine.h"

using sim::Fail;
using sim::Machine;
using sim::PathLookup;

namespace {

constexpr DWORD kNotSameDevice = 17;  // ERROR_NOT_SAME_DEVICE
const char kSessionManager[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";

std::string ParentOf(const std::string& full) {
  const size_t pos = full.rfind('\\');
  return pos <= 2 ? full.substr(0, 3) : full.substr(0, pos);
}

std::string LastName(const std::string& full) { return full.substr(full.rfind('\\') + 1); }

std::string HostParent(const std::string& host) { return host.substr(0, host.rfind('/')); }

bool Below(const std::string& path, const std::string& folderFull) {
  const std::string prefix = sim::JoinPath(folderFull, "");
  return path.size() > prefix.size() && sim::EqualNoCase(path.substr(0, prefix.size()), prefix);
}

// Adds one pair to PendingFileRenameOperations: the source as an NT path,
// then "" for a deletion, or the target ("!" first when it may be replaced).
BOOL DelayUntilReboot(Machine& m, LPCSTR source, LPCSTR target, DWORD flags) {
  if (flags & MOVEFILE_COPY_ALLOWED) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  std::string from, to;
  DWORD error = 0;
  if (!m.files.FullPath(source, &from, &error)) return Fail(m, error, FALSE);
  if (target && !m.files.FullPath(target, &to, &error)) return Fail(m, error, FALSE);
  const sim::RegKey* key = m.registry.Find(kSessionManager);
  if (key ? m.registry.WritesRefused(key) : !m.system.administrator)
    return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  std::string data;
  if (key)
    if (const sim::RegValue* v = key->FindValue(kPendingValue))
      if (v->type == REG_MULTI_SZ) data = std::string(v->data());
  // The list ends with an extra zero; the new pair goes before it.
  if (!data.empty() && data.back() == '\0') data.pop_back();
  data += "\\??\\" + from + '\0';
  if (target) data += std::string((flags & MOVEFILE_REPLACE_EXISTING) ? "!" : "") + "\\??\\" + to;
  data += '\0';
  data += '\0';
  m.registry.SetValue(kSessionManager, kPendingValue, REG_MULTI_SZ, data);
  m.last_error = 0;
  return TRUE;
}

// Copies a file to another drive and deletes the original.
DWORD CopyAcross(Machine& m, const PathLookup& from, const std::string& toHost) {
  std::string bytes;
  if (!m.files.Host().ReadAll(from.host, &bytes)) return sim::HostError(errno);
  sim::HostFile out = m.files.Host().Open(toHost, true, true, true);
  if (!out.ok() || !out.WriteAt(0, bytes.data(), bytes.size())) return sim::HostError(errno);
  if (!m.files.Host().RemoveFile(from.host)) return sim::HostError(errno);
  return 0;
}

}  // namespace

BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
  Machine& m = sim::CurrentOrDie();
  PathLookup from = m.files.Lookup(lpExistingFileName ? lpExistingFileName : "");
  const std::string faultPath =
      from.full.empty() ? std::string(lpExistingFileName ? lpExistingFileName : "") : from.full;
  if (DWORD e = m.faults.Check("MoveFileExA", faultPath)) return Fail(m, e, FALSE);
  if (!m.system.NtFamily()) return Fail(m, ERROR_CALL_NOT_IMPLEMENTED, FALSE);
  if (!lpExistingFileName) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  if (dwFlags & MOVEFILE_DELAY_UNTIL_REBOOT)
    return DelayUntilReboot(m, lpExistingFileName, lpNewFileName, dwFlags);
  if (!lpNewFileName) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  if (from.error) return Fail(m, from.error, FALSE);
  if (!from.exists)
    return Fail(m, from.parent_exists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND, FALSE);
  if (from.root) return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  PathLookup to = m.files.Lookup(lpNewFileName);
  if (to.error) return Fail(m, to.error, FALSE);
  if (!to.parent_exists) return Fail(m, ERROR_PATH_NOT_FOUND, FALSE);
  // The new name keeps the case it was given; the folders above it keep theirs.
  std::string given;
  DWORD error = 0;
  if (!m.files.FullPath(lpNewFileName, &given, &error)) return Fail(m, error, FALSE);
  const std::string newName = LastName(given);
  const std::string newFull = sim::JoinPath(ParentOf(to.full), newName);
  const std::string newHost = HostParent(to.host) + "/" + sim::AnsiToUtf8(newName);
  const bool sameItem = to.exists && sim::EqualNoCase(to.full, from.full);
  if (to.root || (from.directory && Below(to.full, from.full)))
    return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  if (to.exists && !sameItem) {
    if (!(dwFlags & MOVEFILE_REPLACE_EXISTING)) return Fail(m, ERROR_ALREADY_EXISTS, FALSE);
    // Only a file replaces a file, and not one that is read-only or open.
    if (to.directory || from.directory || m.files.Flags(to.full).read_only ||
        m.files.Flags(to.full).in_use || sim::ItemOpen(m, to.full))
      return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  }
  if (sim::ItemHeld(m, from.full) || m.files.DeletePending(from.full))
    return Fail(m, m.files.DeletePending(from.full) ? ERROR_ACCESS_DENIED : ERROR_SHARING_VIOLATION,
                FALSE);
  // A folder with something open below it cannot be renamed.
  if (from.directory && sim::SomethingBelowHeld(m, from.full))
    return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  const bool otherDrive = !sim::EqualNoCase(from.full.substr(0, 1), to.full.substr(0, 1));
  if (otherDrive && (from.directory || !(dwFlags & MOVEFILE_COPY_ALLOWED)))
    return Fail(m, kNotSameDevice, FALSE);
  if (to.exists && !sameItem) {
    if (!m.files.Host().RemoveFile(to.host)) return Fail(m, sim::HostError(errno), FALSE);
    m.files.Forget(to.full);
  }
  if (otherDrive) {
    if (DWORD e = CopyAcross(m, from, newHost)) return Fail(m, e, FALSE);
  } else if (!m.files.Host().Rename(from.host, newHost)) {
    return Fail(m, sim::HostError(errno), FALSE);
  }
  m.files.Moved(from.full, newFull);
  m.last_error = 0;
  return TRUE;
}
