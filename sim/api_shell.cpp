// SHFileOperationA: the shell's file operation, as the program uses it to
// delete files and folders, into the Recycle Bin or for good. No window is
// ever shown: the simulated PC answers as if FOF_SILENT, FOF_NOCONFIRMATION
// and FOF_NOERRORUI were given. Only FO_DELETE is simulated.
#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "sim/file_holders.h"
#include "sim/machine.h"

using sim::Machine;
using sim::PathLookup;

namespace {

// The return value for a missing item before Windows Vista (a pre-Win32
// code the shell kept; Vista and later give 2).
constexpr int kMissingItem = 1026;
// FOF_FILESONLY: a wildcard matches files only.
constexpr WORD kFilesOnly = 0x80;

// The names of a double-NUL list.
std::vector<std::string> SplitList(LPCSTR list) {
  std::vector<std::string> out;
  if (!list) return out;
  for (const char* p = list; *p; p += out.back().size() + 1) out.emplace_back(p);
  return out;
}

std::string ParentOf(const std::string& full) {
  const size_t pos = full.rfind('\\');
  return pos <= 2 ? full.substr(0, 3) : full.substr(0, pos);
}

std::string HostParent(const std::string& host) { return host.substr(0, host.rfind('/')); }

// Deletes a file or a folder with all it holds, as the shell does: a
// read-only attribute is cleared first; the first failure ends it, leaving
// what was deleted before it deleted.
int DeleteForGood(Machine& m, const PathLookup& p) {
  if (p.root) return ERROR_ACCESS_DENIED;
  if (!p.directory) {
    if (sim::ItemHeld(m, p.full)) return ERROR_SHARING_VIOLATION;
    if (m.files.DeletePending(p.full)) return ERROR_ACCESS_DENIED;
    if (m.files.Flags(p.full).read_only) m.files.SetReadOnly(p.full, false);
    // Open with FILE_SHARE_DELETE (NT): the name stays until the last close.
    if (m.system.NtFamily() && sim::ItemOpen(m, p.full)) {
      m.files.MarkDeletePending(p.full);
      return 0;
    }
    if (!m.files.Host().RemoveFile(p.host)) return static_cast<int>(sim::HostError(errno));
    m.files.Forget(p.full);
    return 0;
  }
  std::vector<sim::DirEntry> entries;
  if (!m.files.List(p.host, &entries)) return ERROR_PATH_NOT_FOUND;
  for (const sim::DirEntry& e : entries) {
    PathLookup child = m.files.Lookup(sim::JoinPath(p.full, e.name));
    if (!child.exists) continue;
    if (int e2 = DeleteForGood(m, child)) return e2;
  }
  if (sim::ItemHeld(m, p.full)) return ERROR_SHARING_VIOLATION;
  if (m.files.Flags(p.full).read_only) m.files.SetReadOnly(p.full, false);
  std::vector<sim::HostEntry> left;
  if (m.files.Host().ListAll(p.host, &left) && !left.empty()) return ERROR_DIR_NOT_EMPTY;
  if (!m.files.Host().RemoveFolder(p.host)) return static_cast<int>(sim::HostError(errno));
  m.files.Forget(p.full);
  return 0;
}

// Moves a file or folder into its drive's Recycle Bin folder under the name
// Windows gives it, and records where it came from. A folder moves whole or
// not at all.
int MoveToRecycleBin(Machine& m, const PathLookup& p) {
  if (p.root) return ERROR_ACCESS_DENIED;
  if (sim::ItemHeld(m, p.full)) return ERROR_SHARING_VIOLATION;
  if (p.directory && sim::SomethingBelowHeld(m, p.full)) return ERROR_ACCESS_DENIED;
  if (m.files.DeletePending(p.full)) return ERROR_ACCESS_DENIED;
  const bool nt = m.system.NtFamily();
  sim::RecycleBin& bin = m.files.recycle_bin;
  const std::string folder = bin.Folder(p.full[0], nt);
  PathLookup binFolder = m.files.Lookup(folder);
  if (!binFolder.exists) {
    // Made on first use, each missing folder a new entry of its parent.
    std::string sofar = folder.substr(0, 2);
    for (size_t pos = 3; pos <= folder.size(); ++pos) {
      if (pos != folder.size() && folder[pos] != '\\') continue;
      sofar = folder.substr(0, pos);
      PathLookup part = m.files.Lookup(sofar);
      if (part.exists) {
        if (!part.directory) return ERROR_ACCESS_DENIED;
        continue;
      }
      if (!m.files.Host().MakeFolder(part.host)) return static_cast<int>(sim::HostError(errno));
      m.files.NoteCreated(part.full);
    }
    binFolder = m.files.Lookup(folder);
  }
  // Indexes of names already in the folder (an image without their record)
  // are passed over too.
  std::vector<sim::DirEntry> present;
  unsigned long taken = 0;
  if (m.files.List(binFolder.host, &present))
    for (const sim::DirEntry& e : present)
      taken = std::max(taken, sim::RecycleBin::IndexOf(p.full[0], e.name));
  const std::string name = bin.NextName(p.full[0], nt, p.name, taken);
  const std::string stored = sim::JoinPath(binFolder.full, name);
  const std::string storedHost = binFolder.host + "/" + sim::AnsiToUtf8(name);
  if (!m.files.Host().Rename(p.host, storedHost)) return static_cast<int>(sim::HostError(errno));
  m.files.Moved(p.full, stored);
  bin.items.push_back({p.full, stored});
  return 0;
}

// The items of one pFrom entry: itself, or what its wildcard matches.
bool Expand(Machine& m, const std::string& given, WORD flags, std::vector<PathLookup>* out,
            int* error) {
  PathLookup p = m.files.Lookup(given, true);
  if (p.error) {
    *error = static_cast<int>(p.error);
    return false;
  }
  if (p.name.find_first_of("*?") == std::string::npos) {
    out->push_back(m.files.Lookup(given));
    return true;
  }
  if (!p.parent_exists) {
    *error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  const std::string dirFull = ParentOf(p.full);
  std::vector<sim::DirEntry> entries;
  if (!m.files.List(HostParent(p.host), &entries)) return true;
  const std::vector<std::string> shorts = m.files.ShortNames(dirFull, entries);
  for (size_t i = 0; i < entries.size(); ++i) {
    const bool match = sim::WildcardMatch(p.name, entries[i].name) ||
                       (!shorts[i].empty() && sim::WildcardMatch(p.name, shorts[i]));
    if (!match || (entries[i].directory && (flags & kFilesOnly))) continue;
    out->push_back(m.files.Lookup(sim::JoinPath(dirFull, entries[i].name)));
  }
  return true;
}

}  // namespace

int WINAPI SHFileOperationA(LPSHFILEOPSTRUCTA lpFileOp) {
  Machine& m = sim::CurrentOrDie();
  if (!lpFileOp) return ERROR_INVALID_PARAMETER;
  const std::vector<std::string> from = SplitList(lpFileOp->pFrom);
  std::string faultPath = from.empty() ? "" : from[0];
  if (!from.empty()) {
    PathLookup first = m.files.Lookup(from[0], true);
    if (!first.full.empty()) faultPath = first.full;
  }
  if (DWORD e = m.faults.Check("SHFileOperationA", faultPath)) return static_cast<int>(e);
  lpFileOp->fAnyOperationsAborted = FALSE;
  const bool nt4 = m.system.NtFamily() && m.system.version.major < 5;
  if (lpFileOp->wFunc != FO_DELETE) {
    // Moving, copying and renaming through the shell are not simulated.
    if (lpFileOp->wFunc >= FO_MOVE && lpFileOp->wFunc <= FO_RENAME)
      return ERROR_CALL_NOT_IMPLEMENTED;
    return m.system.NtFamily() && !nt4 ? ERROR_INVALID_PARAMETER : 0;
  }
  if (from.empty()) return ERROR_ACCESS_DENIED;
  const bool undo = (lpFileOp->fFlags & FOF_ALLOWUNDO) != 0;
  for (const std::string& given : from) {
    std::vector<PathLookup> items;
    int error = 0;
    if (!Expand(m, given, lpFileOp->fFlags, &items, &error)) return error;
    for (const PathLookup& p : items) {
      if (!p.exists) {
        if (!p.parent_exists) return ERROR_PATH_NOT_FOUND;
        if (nt4) continue;  // NT 4 passes over a missing item
        return kMissingItem;
      }
      // Only fixed drives have a Recycle Bin: elsewhere items go for good.
      const bool recycle = undo && m.files.DriveType(p.full[0]) == DRIVE_FIXED;
      if (int e = recycle ? MoveToRecycleBin(m, p) : DeleteForGood(m, p)) return e;
    }
  }
  return 0;
}
