// File and directory calls of the simulated PC, with Windows' results and
// error codes. Every call asks the fault list first.
#include <cerrno>
#include <cstring>

#include "platform/win32.h"
#include "sim/host_files.h"
#include "sim/machine.h"
#include "sim/open_files.h"

using sim::Fail;
using sim::Machine;
using sim::OpenFile;
using sim::PathLookup;

namespace {

// The path a fault is matched against: the full path when it has a form.
std::string FaultPath(const PathLookup& p, LPCSTR given) {
  return p.full.empty() ? std::string(given ? given : "") : p.full;
}

const DWORD kReadBits = GENERIC_READ | 0x10000000 /*GENERIC_ALL*/ | 0x0001 /*FILE_READ_DATA*/;
const DWORD kWriteBits =
    GENERIC_WRITE | 0x10000000 /*GENERIC_ALL*/ | 0x0002 /*FILE_WRITE_DATA*/ | 0x0004 /*APPEND*/;

// The open files of one path.
template <class Fn>
void ForEachOpen(Machine& m, const std::string& full, Fn fn) {
  if (!m.files.IsOpen(full)) return;  // spares the walk over every handle
  for (const auto& h : m.handles.All()) {
    if (h.second->Kind() != sim::HandleKind::File) continue;
    const auto& o = static_cast<const OpenFile&>(*h.second);
    if (sim::EqualNoCase(o.full, full)) fn(o);
  }
}

// Opens of one file must allow each other's access (ERROR_SHARING_VIOLATION).
// An open that asks no data access (attributes only) takes no part in it: it
// neither meets the others' sharing nor sets a condition for them.
bool SharingConflict(Machine& m, const std::string& full, bool read, bool write, DWORD share) {
  if (!read && !write) return false;
  bool conflict = false;
  ForEachOpen(m, full, [&](const OpenFile& o) {
    if (!o.read && !o.write) return;
    if ((o.read && !(share & FILE_SHARE_READ)) || (o.write && !(share & FILE_SHARE_WRITE)) ||
        (read && !(o.share & FILE_SHARE_READ)) || (write && !(o.share & FILE_SHARE_WRITE)))
      conflict = true;
  });
  return conflict;
}

bool OpenWithoutDeleteSharing(Machine& m, const std::string& full) {
  bool blocked = false;
  ForEachOpen(m, full, [&](const OpenFile& o) {
    if ((o.read || o.write) && !(o.share & FILE_SHARE_DELETE)) blocked = true;
  });
  return blocked;
}

// A path that names an existing file but ends with a separator names no file.
bool FileWithSeparator(const PathLookup& p) {
  return p.exists && !p.directory && p.trailing_separator;
}

// Windows' answer when a path's item is missing: 3 when a folder above it is
// missing too, else 2.
DWORD MissingError(const PathLookup& p) {
  return p.parent_exists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

DWORD CopyOut(const std::string& s, LPSTR buffer, DWORD size) {
  if (buffer && size > s.size()) {
    std::memcpy(buffer, s.c_str(), s.size() + 1);
    return static_cast<DWORD>(s.size());
  }
  return static_cast<DWORD>(s.size() + 1);  // the size needed, terminator included
}

FILETIME ToFileTime(int64_t unixSeconds) {
  uint64_t t = static_cast<uint64_t>(unixSeconds + 11644473600LL) * 10000000ULL;
  FILETIME f;
  f.dwLowDateTime = static_cast<DWORD>(t);
  f.dwHighDateTime = static_cast<DWORD>(t >> 32);
  return f;
}

// The host folder holding a looked-up item.
std::string HostParent(const std::string& host) { return host.substr(0, host.rfind('/')); }

std::string ParentOf(const std::string& full) {
  size_t pos = full.rfind('\\');
  if (pos == std::string::npos) return full;
  return pos <= 2 ? full.substr(0, 3) : full.substr(0, pos);
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE) {
  Machine& m = sim::CurrentOrDie();
  PathLookup p = m.files.Lookup(lpFileName ? lpFileName : "");
  if (DWORD e = m.faults.Check("CreateFileA", FaultPath(p, lpFileName)))
    return Fail(m, e, INVALID_HANDLE_VALUE);
  if (!lpFileName) return Fail(m, ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  if (p.error) return Fail(m, p.error, INVALID_HANDLE_VALUE);
  if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING)
    return Fail(m, ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  // FILE_SHARE_DELETE came with NT: 95/98/ME refuse a share mode holding it.
  if ((dwShareMode & FILE_SHARE_DELETE) && !m.system.NtFamily())
    return Fail(m, ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  const bool read = (dwDesiredAccess & kReadBits) != 0;
  const bool write = (dwDesiredAccess & kWriteBits) != 0;
  if (dwCreationDisposition == TRUNCATE_EXISTING && !write)
    return Fail(m, ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  if (!p.parent_exists) return Fail(m, ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  if (FileWithSeparator(p)) return Fail(m, ERROR_INVALID_NAME, INVALID_HANDLE_VALUE);
  if (p.exists && p.directory) return Fail(m, ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  if (p.exists && m.files.DeletePending(p.full))
    return Fail(m, ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  DWORD error = 0;
  sim::HostFile host;
  if (p.exists) {
    if (dwCreationDisposition == CREATE_NEW)
      return Fail(m, ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
    sim::FileFlags flags = m.files.Flags(p.full);
    const bool truncate =
        dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == TRUNCATE_EXISTING;
    if (flags.read_only && (write || truncate))
      return Fail(m, ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    // Another process's use is a sharing condition too (an open for
    // attributes only passes it).
    if (((read || write || truncate) && flags.in_use) ||
        SharingConflict(m, p.full, read, write || truncate, dwShareMode))
      return Fail(m, ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
    host = m.files.Host().Open(p.host, write || truncate, false, truncate);
    if (!host.ok()) return Fail(m, sim::HostError(errno), INVALID_HANDLE_VALUE);
    if (truncate) m.files.SetArchive(p.full, true);
    if (dwCreationDisposition == OPEN_ALWAYS || dwCreationDisposition == CREATE_ALWAYS)
      error = ERROR_ALREADY_EXISTS;
  } else {
    if (dwCreationDisposition == OPEN_EXISTING || dwCreationDisposition == TRUNCATE_EXISTING)
      return Fail(m, ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    host = m.files.Host().Open(p.host, true, true, true);
    // A name the host holds but the PC cannot see (a link) cannot be made.
    if (!host.ok()) return Fail(m, ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    p = m.files.Lookup(lpFileName);
    m.files.NoteCreated(p.full);
    if (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) m.files.SetReadOnly(p.full, true);
  }
  auto file = std::make_unique<OpenFile>(m.files, p.full);
  file->host = std::move(host);
  file->read = read;
  file->write = write;
  file->share = dwShareMode;
  m.last_error = error;
  return m.handles.Add(std::move(file));
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED) {
  Machine& m = sim::CurrentOrDie();
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  OpenFile* f = m.handles.GetAs<OpenFile>(hFile);
  if (DWORD e = m.faults.Check("ReadFile", f ? f->full : "")) return Fail(m, e, FALSE);
  if (!f) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  if (!f->read) return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  if (nNumberOfBytesToRead == 0) return TRUE;
  if (!lpBuffer) return Fail(m, 998 /*ERROR_NOACCESS*/, FALSE);
  const int64_t n = f->host.ReadAt(f->position, lpBuffer, nNumberOfBytesToRead);
  if (n < 0) return Fail(m, sim::HostError(errno), FALSE);
  const DWORD got = static_cast<DWORD>(n);
  f->position += got;
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = got;
  return TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED) {
  Machine& m = sim::CurrentOrDie();
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  OpenFile* f = m.handles.GetAs<OpenFile>(hFile);
  if (DWORD e = m.faults.Check("WriteFile", f ? f->full : "")) return Fail(m, e, FALSE);
  if (!f) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  if (!f->write) return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  if (nNumberOfBytesToWrite == 0) return TRUE;
  if (!lpBuffer) return Fail(m, 998 /*ERROR_NOACCESS*/, FALSE);
  // Writing past the end fills the gap with zeros.
  if (!f->host.WriteAt(f->position, lpBuffer, nNumberOfBytesToWrite))
    return Fail(m, ERROR_DISK_FULL, FALSE);
  f->position += nNumberOfBytesToWrite;
  m.files.SetArchive(f->full, true);  // written since the last backup
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
  return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod) {
  Machine& m = sim::CurrentOrDie();
  OpenFile* f = m.handles.GetAs<OpenFile>(hFile);
  if (DWORD e = m.faults.Check("SetFilePointer", f ? f->full : ""))
    return Fail(m, e, INVALID_SET_FILE_POINTER);
  if (!f) return Fail(m, ERROR_INVALID_HANDLE, INVALID_SET_FILE_POINTER);
  int64_t distance =
      lpDistanceToMoveHigh
          ? static_cast<int64_t>(
                (static_cast<uint64_t>(static_cast<DWORD>(*lpDistanceToMoveHigh)) << 32) |
                static_cast<DWORD>(lDistanceToMove))
          : static_cast<int64_t>(lDistanceToMove);
  int64_t base;
  switch (dwMoveMethod) {
    case FILE_BEGIN:
      base = 0;
      break;
    case FILE_CURRENT:
      base = static_cast<int64_t>(f->position);
      break;
    case FILE_END:
      base = static_cast<int64_t>(f->host.Size());
      break;
    default:
      return Fail(m, ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  }
  int64_t target = base + distance;
  if (target < 0) return Fail(m, 131 /*ERROR_NEGATIVE_SEEK*/, INVALID_SET_FILE_POINTER);
  f->position = static_cast<uint64_t>(target);
  if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(f->position >> 32);
  m.last_error = 0;
  return static_cast<DWORD>(f->position);
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  Machine& m = sim::CurrentOrDie();
  OpenFile* f = m.handles.GetAs<OpenFile>(hFile);
  if (DWORD e = m.faults.Check("GetFileSize", f ? f->full : ""))
    return Fail(m, e, INVALID_FILE_SIZE);
  if (!f) return Fail(m, ERROR_INVALID_HANDLE, INVALID_FILE_SIZE);
  const uint64_t size = f->host.Size();
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  // A low part that reads as the failure value is told apart by error 0.
  if (static_cast<DWORD>(size) == INVALID_FILE_SIZE) m.last_error = 0;
  return static_cast<DWORD>(size);
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("CloseHandle")) return Fail(m, e, FALSE);
  sim::HandleObject* o = m.handles.Get(hObject);
  // Find searches close with FindClose only.
  if (!o || o->Kind() == sim::HandleKind::Find) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  m.handles.Close(hObject);  // the last handle of a delete-pending file takes it along
  return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
  Machine& m = sim::CurrentOrDie();
  PathLookup p = m.files.Lookup(lpFileName ? lpFileName : "");
  if (DWORD e = m.faults.Check("DeleteFileA", FaultPath(p, lpFileName))) return Fail(m, e, FALSE);
  if (!lpFileName) return Fail(m, ERROR_PATH_NOT_FOUND, FALSE);
  if (p.error) return Fail(m, p.error, FALSE);
  if (!p.exists) return Fail(m, MissingError(p), FALSE);
  if (FileWithSeparator(p)) return Fail(m, ERROR_INVALID_NAME, FALSE);
  const sim::FileFlags flags = m.files.Flags(p.full);
  if (p.directory || flags.read_only || m.files.DeletePending(p.full))
    return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  if (flags.in_use || OpenWithoutDeleteSharing(m, p.full))
    return Fail(m, ERROR_SHARING_VIOLATION, FALSE);
  // Open with FILE_SHARE_DELETE (NT): the name stays until the last close.
  if (m.system.NtFamily() && m.files.IsOpen(p.full)) {
    m.files.MarkDeletePending(p.full);
    return TRUE;
  }
  if (!m.files.Host().RemoveFile(p.host)) return Fail(m, sim::HostError(errno), FALSE);
  m.files.Forget(p.full);
  return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
  Machine& m = sim::CurrentOrDie();
  PathLookup p = m.files.Lookup(lpPathName ? lpPathName : "");
  if (DWORD e = m.faults.Check("RemoveDirectoryA", FaultPath(p, lpPathName)))
    return Fail(m, e, FALSE);
  if (!lpPathName) return Fail(m, ERROR_PATH_NOT_FOUND, FALSE);
  if (p.error) return Fail(m, p.error, FALSE);
  if (!p.exists) return Fail(m, MissingError(p), FALSE);
  const bool nt = m.system.NtFamily();
  // 95/98/ME answer with the codes of DOS's rmdir: a file is no folder on the
  // path (3), a folder still holding entries is refused (5), and so is a
  // current directory (16).
  if (!p.directory) return Fail(m, nt ? ERROR_DIRECTORY : ERROR_PATH_NOT_FOUND, FALSE);
  const sim::FileFlags flags = m.files.Flags(p.full);
  // The read-only attribute guards a folder on NT only; FAT under 9x removes it.
  if (p.root || (flags.read_only && nt)) return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  // The process holds its current directory open.
  if (flags.in_use || sim::EqualNoCase(p.full, m.files.current_dir))
    return Fail(m, nt ? ERROR_SHARING_VIOLATION : ERROR_CURRENT_DIRECTORY, FALSE);
  // Whatever the host folder holds counts, even names the PC cannot see.
  std::vector<sim::HostEntry> inside;
  if (!m.files.Host().ListAll(p.host, &inside)) return Fail(m, sim::HostError(errno), FALSE);
  if (!inside.empty()) return Fail(m, nt ? ERROR_DIR_NOT_EMPTY : ERROR_ACCESS_DENIED, FALSE);
  if (!m.files.Host().RemoveFolder(p.host)) return Fail(m, sim::HostError(errno), FALSE);
  m.files.Forget(p.full);
  return TRUE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  Machine& m = sim::CurrentOrDie();
  PathLookup p = m.files.Lookup(lpPathName ? lpPathName : "");
  if (DWORD e = m.faults.Check("CreateDirectoryA", FaultPath(p, lpPathName)))
    return Fail(m, e, FALSE);
  if (!lpPathName) return Fail(m, ERROR_PATH_NOT_FOUND, FALSE);
  if (p.error) return Fail(m, p.error, FALSE);
  if (p.exists) return Fail(m, ERROR_ALREADY_EXISTS, FALSE);
  if (!p.parent_exists) return Fail(m, ERROR_PATH_NOT_FOUND, FALSE);
  if (!m.files.Host().MakeFolder(p.host)) return Fail(m, sim::HostError(errno), FALSE);
  m.files.NoteCreated(p.full);
  return TRUE;
}

namespace {

WIN32_FIND_DATAA FindData(const std::string& name, const std::string& shortName, DWORD attributes,
                          uint64_t size, int64_t writeTime) {
  WIN32_FIND_DATAA d;
  std::memset(&d, 0, sizeof d);
  d.dwFileAttributes = attributes;
  d.ftCreationTime = d.ftLastAccessTime = d.ftLastWriteTime = ToFileTime(writeTime);
  d.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  d.nFileSizeLow = static_cast<DWORD>(size);
  std::strncpy(d.cFileName, name.c_str(), sizeof d.cFileName - 1);
  if (shortName.size() < sizeof d.cAlternateFileName)
    std::strncpy(d.cAlternateFileName, shortName.c_str(), sizeof d.cAlternateFileName - 1);
  return d;
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
  Machine& m = sim::CurrentOrDie();
  std::string pattern = lpFileName ? lpFileName : "";
  const bool endsWithSlash = !pattern.empty() && (pattern.back() == '\\' || pattern.back() == '/');
  PathLookup p = m.files.Lookup(pattern, true);
  if (DWORD e = m.faults.Check("FindFirstFileA", FaultPath(p, lpFileName)))
    return Fail(m, e, INVALID_HANDLE_VALUE);
  if (!lpFileName || !lpFindFileData) return Fail(m, ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  if (p.error) return Fail(m, p.error, INVALID_HANDLE_VALUE);
  // "C:\dir\" names no file: 2 when the folder exists, 3 when it does not.
  if (endsWithSlash || p.root) {
    if (p.exists && p.directory) return Fail(m, ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    return Fail(m, ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  }
  if (!p.parent_exists) return Fail(m, ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  const std::string dirFull = ParentOf(p.full);
  const std::string dirHost = HostParent(p.host);
  auto search = std::make_unique<sim::FindSearch>();
  std::vector<sim::DirEntry> entries;
  if (!m.files.List(dirHost, &entries)) return Fail(m, ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  std::vector<std::string> shorts = m.files.ShortNames(dirFull, entries);
  if (!m.system.NtFamily()) {
    // FAT lists entries in the order they were written.
    std::vector<sim::DirEntry> byEntry;
    std::vector<std::string> shortsByEntry;
    for (size_t i : m.files.OrderAsWritten(dirFull, entries)) {
      byEntry.push_back(entries[i]);
      shortsByEntry.push_back(shorts[i]);
    }
    entries.swap(byEntry);
    shorts.swap(shortsByEntry);
  }
  const std::string& name = p.name;
  const bool wild = name.find_first_of("*?") != std::string::npos;
  if (dirFull.size() > 3 && wild) {
    // Folders other than a root list "." and ".." first (NTFS and FAT).
    for (const char* dot : {".", ".."})
      if (sim::WildcardMatch(name, dot))
        search->results.push_back(FindData(dot, "", FILE_ATTRIBUTE_DIRECTORY, 0, 0));
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    const sim::DirEntry& e = entries[i];
    // The 8.3 name matches too, as on Windows ("*.htm" finds "a.html").
    bool match = wild ? sim::WildcardMatch(name, e.name) ||
                            (!shorts[i].empty() && sim::WildcardMatch(name, shorts[i]))
                      : sim::EqualNoCase(name, e.name) ||
                            (!shorts[i].empty() && sim::EqualNoCase(name, shorts[i]));
    if (!match) continue;
    const DWORD attributes = m.files.Attributes(sim::JoinPath(dirFull, e.name), e.directory);
    search->results.push_back(FindData(e.name, shorts[i], attributes, e.size, e.write_time));
  }
  if (search->results.empty()) return Fail(m, ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  *lpFindFileData = search->results[0];
  search->next = 1;
  m.last_error = 0;
  return m.handles.Add(std::move(search));
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("FindNextFileA")) return Fail(m, e, FALSE);
  auto* s = m.handles.GetAs<sim::FindSearch>(hFindFile);
  if (!s) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  if (!lpFindFileData) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  if (s->next >= s->results.size()) return Fail(m, ERROR_NO_MORE_FILES, FALSE);
  *lpFindFileData = s->results[s->next++];
  return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("FindClose")) return Fail(m, e, FALSE);
  if (!m.handles.GetAs<sim::FindSearch>(hFindFile)) return Fail(m, ERROR_INVALID_HANDLE, FALSE);
  m.handles.Close(hFindFile);
  return TRUE;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GetCurrentDirectoryA")) return Fail(m, e, DWORD(0));
  return CopyOut(m.files.current_dir, lpBuffer, nBufferLength);
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName) {
  Machine& m = sim::CurrentOrDie();
  PathLookup p = m.files.Lookup(lpPathName ? lpPathName : "");
  if (DWORD e = m.faults.Check("SetCurrentDirectoryA", FaultPath(p, lpPathName)))
    return Fail(m, e, FALSE);
  if (!lpPathName) return Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  if (p.error) return Fail(m, p.error, FALSE);
  if (!p.exists) return Fail(m, MissingError(p), FALSE);
  if (!p.directory) return Fail(m, ERROR_DIRECTORY, FALSE);
  // The directory is kept as given (its case, short names), made full.
  std::string given;
  DWORD error = 0;
  m.files.current_dir = m.files.FullPath(lpPathName, &given, &error) ? given : p.full;
  return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  Machine& m = sim::CurrentOrDie();
  PathLookup p = m.files.Lookup(lpFileName ? lpFileName : "");
  if (DWORD e = m.faults.Check("GetFileAttributesA", FaultPath(p, lpFileName)))
    return Fail(m, e, INVALID_FILE_ATTRIBUTES);
  if (!lpFileName) return Fail(m, ERROR_PATH_NOT_FOUND, INVALID_FILE_ATTRIBUTES);
  if (p.error) return Fail(m, p.error, INVALID_FILE_ATTRIBUTES);
  if (!p.exists) return Fail(m, MissingError(p), INVALID_FILE_ATTRIBUTES);
  if (FileWithSeparator(p)) return Fail(m, ERROR_PATH_NOT_FOUND, INVALID_FILE_ATTRIBUTES);
  if (m.files.DeletePending(p.full)) return Fail(m, ERROR_ACCESS_DENIED, INVALID_FILE_ATTRIBUTES);
  return m.files.Attributes(p.full, p.directory);
}

BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes) {
  Machine& m = sim::CurrentOrDie();
  PathLookup p = m.files.Lookup(lpFileName ? lpFileName : "");
  if (DWORD e = m.faults.Check("SetFileAttributesA", FaultPath(p, lpFileName)))
    return Fail(m, e, FALSE);
  if (!lpFileName) return Fail(m, ERROR_PATH_NOT_FOUND, FALSE);
  if (p.error) return Fail(m, p.error, FALSE);
  if (!p.exists) return Fail(m, MissingError(p), FALSE);
  if (FileWithSeparator(p)) return Fail(m, ERROR_PATH_NOT_FOUND, FALSE);
  if (m.files.DeletePending(p.full)) return Fail(m, ERROR_ACCESS_DENIED, FALSE);
  const bool ro = (dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (ro != m.files.Flags(p.full).read_only) m.files.SetReadOnly(p.full, ro);
  if (!p.directory) m.files.SetArchive(p.full, (dwFileAttributes & FILE_ATTRIBUTE_ARCHIVE) != 0);
  return TRUE;
}

DWORD WINAPI GetShortPathNameA(LPCSTR lpszLongPath, LPSTR lpszShortPath, DWORD cchBuffer) {
  Machine& m = sim::CurrentOrDie();
  PathLookup p = m.files.Lookup(lpszLongPath ? lpszLongPath : "");
  if (DWORD e = m.faults.Check("GetShortPathNameA", FaultPath(p, lpszLongPath)))
    return Fail(m, e, DWORD(0));
  if (!lpszLongPath) return Fail(m, ERROR_INVALID_PARAMETER, DWORD(0));
  if (p.error) return Fail(m, p.error, DWORD(0));
  if (!p.exists) return Fail(m, MissingError(p), DWORD(0));
  // The path keeps the form it was given in (relative or full, separators,
  // the case of names that are 8.3 names already); each other name is
  // replaced by its short name, which is kept from now on so it does not shift.
  const std::string given = lpszLongPath;
  std::string result, longSoFar;
  size_t i = 0;
  if (given.size() >= 2 && given[1] == ':') {
    result = longSoFar = given.substr(0, 2);
    i = 2;
  }
  while (i < given.size()) {
    if (given[i] == '\\' || given[i] == '/') {
      result += given[i];
      longSoFar += given[i++];
      continue;
    }
    size_t end = given.find_first_of("\\/", i);
    if (end == std::string::npos) end = given.size();
    const std::string name = given.substr(i, end - i);
    longSoFar += name;
    i = end;
    std::string shortName;
    if (name != "." && name != ".." && !sim::IsShortName(name)) {
      PathLookup item = m.files.Lookup(longSoFar);
      if (item.exists && !item.root)
        shortName = m.files.ShortName(ParentOf(item.full), HostParent(item.host), item.name, true);
    }
    result += shortName.empty() ? name : shortName;
  }
  m.last_error = 0;
  return CopyOut(result, lpszShortPath, cchBuffer);
}

DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GetTempPathA")) return Fail(m, e, DWORD(0));
  const std::string* temp = m.system.Directory("temp");
  if (!temp) return Fail(m, ERROR_FILE_NOT_FOUND, DWORD(0));
  std::string path = *temp;
  if (path.empty() || path.back() != '\\') path += '\\';
  return CopyOut(path, lpBuffer, nBufferLength);
}

UINT WINAPI GetDriveTypeA(LPCSTR lpRootPathName) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GetDriveTypeA", lpRootPathName ? lpRootPathName : ""))
    return Fail(m, e, DRIVE_UNKNOWN);
  std::string root = lpRootPathName ? lpRootPathName : m.files.current_dir.substr(0, 3);
  // Only a drive's root names a drive ("C:\" or "C:").
  if (root.size() < 2 || root.size() > 3 || root[1] != ':' ||
      (root.size() == 3 && root[2] != '\\' && root[2] != '/'))
    return DRIVE_NO_ROOT_DIR;
  char letter = root[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
  if (letter < 'A' || letter > 'Z') return DRIVE_NO_ROOT_DIR;
  return m.files.DriveType(letter);
}

BOOL WINAPI GetDiskFreeSpaceExA(LPCSTR lpDirectoryName,
                                PULARGE_INTEGER lpFreeBytesAvailableToCaller,
                                PULARGE_INTEGER lpTotalNumberOfBytes,
                                PULARGE_INTEGER lpTotalNumberOfFreeBytes) {
  Machine& m = sim::CurrentOrDie();
  PathLookup p = m.files.Lookup(lpDirectoryName ? lpDirectoryName : m.files.current_dir);
  if (DWORD e = m.faults.Check("GetDiskFreeSpaceExA", FaultPath(p, lpDirectoryName)))
    return Fail(m, e, FALSE);
  // A direct call stands for the program's fallback when GetProcAddress finds
  // none (the first Windows 95), which sees 127.
  if (!m.system.HasDiskFreeSpaceEx()) return Fail(m, ERROR_PROC_NOT_FOUND, FALSE);
  if (p.error) return Fail(m, p.error, FALSE);
  if (!p.exists) return Fail(m, ERROR_PATH_NOT_FOUND, FALSE);
  if (!p.directory) return Fail(m, ERROR_DIRECTORY, FALSE);
  sim::DriveInfo d = m.files.Drive(p.full[0]);
  if (lpFreeBytesAvailableToCaller) lpFreeBytesAvailableToCaller->QuadPart = d.free_bytes;
  if (lpTotalNumberOfBytes)
    lpTotalNumberOfBytes->QuadPart = d.total_bytes > d.free_bytes ? d.total_bytes : d.free_bytes;
  if (lpTotalNumberOfFreeBytes) lpTotalNumberOfFreeBytes->QuadPart = d.free_bytes;
  return TRUE;
}
