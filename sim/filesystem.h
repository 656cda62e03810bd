// The file system of a simulated PC: drive letters mapped to host folders
// <image>/drives/X/, seen with Windows' rules (backslash paths, names compared
// without case, the stored name's case wins, trailing dots and blanks
// ignored, 8.3 short names, read-only and in-use flags kept beside the files).
// Host names are UTF-8; every path here is a code page text as the program
// sees it.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "sim/host_files.h"
#include "sim/recycle_bin.h"
#include "sim/text.h"

namespace sim {

struct DriveInfo {
  UINT type = DRIVE_FIXED;              // DRIVE_NO_ROOT_DIR for "none"
  uint64_t free_bytes = 5000000000ULL;  // what GetDiskFreeSpaceExA reports
  uint64_t total_bytes = 20000000000ULL;
};

struct FileFlags {
  bool read_only = false;
  bool in_use = false;
  // SetFileAttributesA cleared FILE_ATTRIBUTE_ARCHIVE (a file is made, and
  // written, with it set). Not kept in the image.
  bool archive_cleared = false;
};

// One entry of a host folder.
struct DirEntry {
  std::string name;       // code page text, the stored case
  std::string host_name;  // UTF-8 as on the host
  bool directory = false;
  uint64_t size = 0;
  int64_t write_time = 0;  // seconds since 1970
};

// A path looked up on the simulated drives.
struct PathLookup {
  DWORD error = 0;      // 0, or 123 (bad name), 3 (no such drive)
  std::string full;     // full path: stored case where it exists, no trailing backslash but "C:\"
  std::string host;     // host path of the item (may not exist)
  bool exists = false;  // the item exists
  bool parent_exists = false;  // every folder above it exists (2 vs 3)
  bool directory = false;
  bool root = false;  // a drive root
  std::string name;   // last segment (empty for a root)
  // The path ended with a separator: it names a folder only, so a file
  // found under that name is no match (CreateFileA and DeleteFileA 123,
  // GetFileAttributesA 3, as Windows answers).
  bool trailing_separator = false;
};

class FileSystem {
 public:
  // Host folder that holds one folder per drive letter ("<image>/drives").
  std::string drives_root;
  // Full path of the current directory ("C:\" or "C:\A\B").
  std::string current_dir = "C:\\";
  // Drives named in machine.json; a host folder without entry is a fixed drive.
  std::map<char, DriveInfo> drives;
  // What the shell moved into the drives' Recycle Bin folders.
  RecycleBin recycle_bin;

  // Lexical full path of `path` against the current directory: "/" taken as
  // "\", "." and ".." resolved, trailing dots and blanks of each name dropped.
  // Returns false with *error (123 bad name, 3 bad form) when it is no path.
  bool FullPath(const std::string& path, std::string* full, DWORD* error,
                bool wildcardLast = false) const;
  // Looks the path up; `wildcardLast` lets the last name hold * and ?.
  PathLookup Lookup(const std::string& path, bool wildcardLast = false) const;

  // The host folder of drive X, or "" when the drive has no root directory.
  std::string DriveHost(char drive) const;
  // The host folder a drive would have, not checked against the host.
  std::string DriveHostName(char drive) const;
  bool DriveExists(char drive) const;
  UINT DriveType(char drive) const;
  DriveInfo Drive(char drive) const;

  // The entries of a host folder in case-insensitive name order (no "." "..").
  bool List(const std::string& hostDir, std::vector<DirEntry>* out) const;

  // Flags by full path (case ignored).
  FileFlags Flags(const std::string& full) const;
  void SetReadOnly(const std::string& full, bool on);
  void SetInUse(const std::string& full, bool on);
  void SetArchive(const std::string& full, bool on);
  // The attributes Windows reports for an item with these flags.
  DWORD Attributes(const std::string& full, bool directory) const;
  void ClearAllInUse();
  // Something strictly below the folder is flagged in use.
  bool InUseBelow(const std::string& folderFull) const;
  const std::map<std::string, FileFlags, LessNoCase>& AllFlags() const { return flags_; }

  // 8.3 names. The short name of an entry in folder `dirFull` (empty when its
  // name is a valid 8.3 name itself). `keep` stores it so it stays fixed.
  std::string ShortName(const std::string& dirFull, const std::string& hostDir,
                        const std::string& name, bool keep);
  // Short names of a whole folder listing, in the listing's order.
  std::vector<std::string> ShortNames(const std::string& dirFull,
                                      const std::vector<DirEntry>& entries) const;
  const std::map<std::string, std::string, LessNoCase>& StoredShortNames() const {
    return short_names_;
  }
  void StoreShortName(const std::string& full, const std::string& shortName) {
    short_names_[full] = shortName;
  }

  // A file or folder is gone: its flags, short name, creation mark, pending
  // deletion and Recycle Bin record go with it (a folder's whole subtree).
  void Forget(const std::string& full);
  // A file or folder was renamed or moved: its flags (a folder's whole
  // subtree's) go with it; its short names are made afresh at the new place,
  // and it is a new entry of the folder it went to.
  void Moved(const std::string& fromFull, const std::string& toFull);

  // Directory entry order of a FAT drive (the 9x family): a folder lists its
  // entries in the order they were written, not sorted as NTFS does. The
  // simulated PC knows that order only for what this run made: entries
  // present when the image was loaded keep name order, and come first, and
  // each file or folder made since follows in the order it was made (a
  // freed slot is not reused: a run of an uninstaller deletes far more than
  // it makes). NoteCreated marks a new entry; OrderAsWritten gives the
  // indexes of a name-ordered listing of `dirFull` in entry order.
  void NoteCreated(const std::string& full);
  std::vector<size_t> OrderAsWritten(const std::string& dirFull,
                                     const std::vector<DirEntry>& entries) const;

  // A file deleted while open (with FILE_SHARE_DELETE, on the NT family)
  // stays, delete-pending, until its last handle closes — by CloseHandle or
  // when the process ends and Windows closes what it left open.
  void MarkDeletePending(const std::string& full) { delete_pending_.insert(full); }
  bool DeletePending(const std::string& full) const { return delete_pending_.count(full) > 0; }
  // Open handles per file: NoteClosed of the last one carries out a pending
  // deletion.
  void NoteOpened(const std::string& full) { ++open_counts_[full]; }
  void NoteClosed(const std::string& full);
  bool IsOpen(const std::string& full) const { return open_counts_.count(full) > 0; }
  // Something strictly below the folder has an open handle.
  bool OpenBelow(const std::string& folderFull) const;

  // Finds two host names in one folder that differ only in case; returns a
  // description of the first found, or "".
  std::string FindCaseClash() const;
  // Finds what an image must not hold below drives/: a symbolic link, a
  // device, a socket or a FIFO (the simulated PC would reach the host through
  // it). Returns "drives/PATH: what it is (...)" for the first found, or "".
  std::string FindUnsafeHostEntry() const;

  // The door to the host files below drives_root.
  HostFiles Host() const { return HostFiles(drives_root); }

 private:
  // "drives/REL" (the drives folder's own name) for messages.
  std::string ImageRelative(const std::string& rel) const;

  std::map<std::string, FileFlags, LessNoCase> flags_;
  std::map<std::string, std::string, LessNoCase> short_names_;
  std::map<std::string, uint64_t, LessNoCase> created_;  // full path -> creation number
  uint64_t next_created_ = 1;
  std::set<std::string, LessNoCase> delete_pending_;
  std::map<std::string, unsigned, LessNoCase> open_counts_;
  // Folders Lookup has resolved: host root, NUL and the upper-cased full path
  // as asked -> the path with the PC's names and its host path. An entry is
  // used only while its host folder still exists (no two names of a folder
  // differ only in case, so that folder is still the one the name finds).
  struct ResolvedFolder {
    std::string full;
    std::string host;
  };
  mutable std::map<std::string, ResolvedFolder> resolved_folders_;
};

// True when `name` matches the pattern with Windows' wildcard rules
// ("*.*" also matches a name without a dot).
bool WildcardMatch(const std::string& pattern, const std::string& name);
// True when the name is a valid 8.3 name (no short name of its own).
bool IsShortName(const std::string& name);
// Joins a full folder path and a name with exactly one backslash.
std::string JoinPath(const std::string& dir, const std::string& name);

}  // namespace sim
