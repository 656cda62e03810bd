// The one door from the simulated PC to the host's files. Everything lives
// below one host folder (the image's drives/); every path is walked one name
// at a time from a handle on that folder, never following a symbolic link,
// so neither ".." nor a link placed in the image (before or during a run) can
// lead outside it. Only plain files and folders are seen: anything else
// (links, devices, sockets, FIFOs) counts as absent.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32.h"

namespace sim {

enum class HostKind { kMissing, kFile, kFolder, kLink, kDevice, kSocket, kFifo };

struct HostStat {
  HostKind kind = HostKind::kMissing;
  uint64_t size = 0;
  int64_t write_time = 0;  // seconds since 1970
};

struct HostEntry {
  std::string name;  // UTF-8 as on the host
  HostStat stat;
};

// An open host file descriptor, closed with the object.
class HostFd {
 public:
  HostFd() = default;
  explicit HostFd(int fd) : fd_(fd) {}
  ~HostFd();
  HostFd(HostFd&& other) noexcept : fd_(other.Release()) {}
  HostFd& operator=(HostFd&& other) noexcept;
  HostFd(const HostFd&) = delete;
  HostFd& operator=(const HostFd&) = delete;
  bool ok() const { return fd_ >= 0; }
  int get() const { return fd_; }
  int Release();

 private:
  int fd_ = -1;
};

// An open file: reads and writes at a position; the file stays the one that
// was opened whatever happens to its name afterwards, as a Windows handle.
class HostFile {
 public:
  HostFile() = default;
  explicit HostFile(HostFd fd) : fd_(std::move(fd)) {}
  bool ok() const { return fd_.ok(); }
  // Bytes read (0 at the end), or -1.
  int64_t ReadAt(uint64_t offset, void* buffer, size_t size) const;
  // Writes all bytes (a gap before `offset` reads as zeros); false on failure.
  bool WriteAt(uint64_t offset, const void* data, size_t size) const;
  uint64_t Size() const;

 private:
  HostFd fd_;
};

// Host paths below the root folder. A path given to these calls is the root
// followed by '/' and names; any other path, and names such as "" "." ".."
// are refused (kMissing, false) without touching the host. Failures leave
// errno set for HostError.
class HostFiles {
 public:
  explicit HostFiles(std::string root);

  HostStat Stat(const std::string& path) const;
  // The root folder itself as the host has it (a link is not followed).
  HostStat StatRoot() const;
  // Plain files and folders of a folder, unsorted; false when it is no folder.
  bool List(const std::string& dir, std::vector<HostEntry>* out) const;
  // Every entry, links and devices included (for checking an image).
  bool ListAll(const std::string& dir, std::vector<HostEntry>* out) const;
  bool IsEmptyFolder(const std::string& dir) const;

  // Opens a plain file; `create` makes it when missing, `truncate` empties it.
  HostFile Open(const std::string& path, bool write, bool create, bool truncate) const;
  bool ReadAll(const std::string& path, std::string* out) const;
  bool RemoveFile(const std::string& path) const;
  bool RemoveFolder(const std::string& path) const;
  bool MakeFolder(const std::string& path) const;
  // Makes every missing folder of the path.
  bool MakeFolders(const std::string& path) const;
  // Gives a file or folder a new name (in any folder below the root); the
  // new name must be free, or differ from the old one only in case.
  bool Rename(const std::string& from, const std::string& to) const;

  const std::string& root() const { return root_; }

  // Tests: walk every path one name at a time even where the kernel could
  // walk it in one call, so both ways are checked on one host.
  static void WalkNameByName(bool on);

 private:
  // The names of `path` below the root, or false.
  bool Names(const std::string& path, std::vector<std::string>* names) const;
  // The folder holding the last name of `path`, opened name by name.
  HostFd OpenParent(const std::string& path, std::string* leaf) const;
  HostFd OpenFolder(const std::vector<std::string>& names, size_t count) const;

  std::string root_;
};

// The Windows error code for the errno of a failed host call.
DWORD HostError(int error);

}  // namespace sim
