#include "sim/host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#if defined(__linux__)
#include <linux/openat2.h>
#include <sys/syscall.h>
#endif

namespace sim {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

HostStat FromMode(const struct stat& st) {
  HostStat s;
  if (S_ISREG(st.st_mode)) {
    s.kind = HostKind::kFile;
    s.size = static_cast<uint64_t>(st.st_size);
  } else if (S_ISDIR(st.st_mode)) {
    s.kind = HostKind::kFolder;
  } else if (S_ISLNK(st.st_mode)) {
    s.kind = HostKind::kLink;
  } else if (S_ISSOCK(st.st_mode)) {
    s.kind = HostKind::kSocket;
  } else if (S_ISFIFO(st.st_mode)) {
    s.kind = HostKind::kFifo;
  } else {
    s.kind = HostKind::kDevice;
  }
  s.write_time = static_cast<int64_t>(st.st_mtime);
  return s;
}

HostStat StatAt(int dir, const std::string& name) {
  struct stat st;
  if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return HostStat{};
  return FromMode(st);
}

bool Plain(HostKind k) { return k == HostKind::kFile || k == HostKind::kFolder; }

// Reads a folder opened by `fd` (taken over).
bool ReadFolder(HostFd fd, bool plainOnly, std::vector<HostEntry>* out) {
  out->clear();
  if (!fd.ok()) return false;
  DIR* d = ::fdopendir(fd.get());
  if (!d) return false;
  fd.Release();  // now owned by d
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    HostEntry entry{name, StatAt(::dirfd(d), name)};
    // A name gone since readdir saw it is skipped.
    if (entry.stat.kind == HostKind::kMissing) continue;
    if (plainOnly && !Plain(entry.stat.kind)) continue;
    out->push_back(std::move(entry));
  }
  ::closedir(d);
  return true;
}

}  // namespace

HostFd::~HostFd() {
  if (fd_ >= 0) ::close(fd_);
}

HostFd& HostFd::operator=(HostFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.Release();
  }
  return *this;
}

int HostFd::Release() {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

int64_t HostFile::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::pread(fd_.get(), static_cast<char*>(buffer) + done, size - done,
                        static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool HostFile::WriteAt(uint64_t offset, const void* data, size_t size) const {
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::pwrite(fd_.get(), static_cast<const char*>(data) + done, size - done,
                         static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

uint64_t HostFile::Size() const {
  struct stat st;
  if (::fstat(fd_.get(), &st) != 0) return 0;
  return static_cast<uint64_t>(st.st_size);
}

HostFiles::HostFiles(std::string root) : root_(std::move(root)) {
  while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
}

bool HostFiles::Names(const std::string& path, std::vector<std::string>* names) const {
  names->clear();
  if (root_.empty() || path.compare(0, root_.size(), root_) != 0) return false;
  if (path.size() == root_.size()) return true;
  if (path[root_.size()] != '/') return false;
  size_t start = root_.size() + 1;
  while (true) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string name = path.substr(start, end - start);
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos)
      return false;
    names->push_back(std::move(name));
    if (end == path.size()) return true;
    start = end + 1;
  }
}

namespace {

#if defined(SYS_openat2) && defined(RESOLVE_NO_SYMLINKS)
// Where the kernel has openat2, the whole walk below the root is one call
// that refuses a link in any name and any way out of the root, as the walk
// name by name does; it saves a host call for every folder of the path.
// False when this kernel (or a filter in front of it) lacks the call.
bool g_openat2_missing = false;
bool g_walk_name_by_name = false;

bool OpenBelow(int root, const std::vector<std::string>& names, size_t count, HostFd* out) {
  if (g_openat2_missing || g_walk_name_by_name) return false;
  std::string relative = names[0];
  for (size_t i = 1; i < count; ++i) relative.append(1, '/').append(names[i]);
  struct open_how how;
  std::memset(&how, 0, sizeof how);
  how.flags = kFolderFlags;
  how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH;
  const long fd = ::syscall(SYS_openat2, root, relative.c_str(), &how, sizeof how);
  if (fd < 0 && (errno == ENOSYS || errno == EPERM)) {
    // EPERM here comes from a system call filter, never from a folder's
    // rights (those give EACCES): walk name by name from now on.
    g_openat2_missing = true;
    return false;
  }
  // EAGAIN: a rename elsewhere raced the walk; the walk name by name decides.
  if (fd < 0 && errno == EAGAIN) return false;
  *out = HostFd(static_cast<int>(fd));
  return true;
}
#else
bool g_walk_name_by_name = false;
bool OpenBelow(int, const std::vector<std::string>&, size_t, HostFd*) { return false; }
#endif

}  // namespace

void HostFiles::WalkNameByName(bool on) { g_walk_name_by_name = on; }

HostFd HostFiles::OpenFolder(const std::vector<std::string>& names, size_t count) const {
  HostFd dir(::open(root_.c_str(), kFolderFlags));
  if (!dir.ok() || count == 0) return dir;
  HostFd below;
  if (OpenBelow(dir.get(), names, count, &below)) return below;
  for (size_t i = 0; i < count && dir.ok(); ++i)
    dir = HostFd(::openat(dir.get(), names[i].c_str(), kFolderFlags));
  return dir;
}

HostFd HostFiles::OpenParent(const std::string& path, std::string* leaf) const {
  std::vector<std::string> names;
  if (!Names(path, &names) || names.empty()) {
    errno = ENOENT;
    return HostFd();
  }
  *leaf = names.back();
  return OpenFolder(names, names.size() - 1);
}

HostStat HostFiles::Stat(const std::string& path) const {
  std::vector<std::string> names;
  if (!Names(path, &names)) return HostStat{};
  if (names.empty()) {
    HostFd root = OpenFolder(names, 0);
    struct stat st;
    if (!root.ok() || ::fstat(root.get(), &st) != 0) return HostStat{};
    return FromMode(st);
  }
  HostFd parent = OpenFolder(names, names.size() - 1);
  if (!parent.ok()) return HostStat{};
  return StatAt(parent.get(), names.back());
}

bool HostFiles::List(const std::string& dir, std::vector<HostEntry>* out) const {
  std::vector<std::string> names;
  out->clear();
  if (!Names(dir, &names)) return false;
  return ReadFolder(OpenFolder(names, names.size()), true, out);
}

bool HostFiles::ListAll(const std::string& dir, std::vector<HostEntry>* out) const {
  std::vector<std::string> names;
  out->clear();
  if (!Names(dir, &names)) return false;
  return ReadFolder(OpenFolder(names, names.size()), false, out);
}

namespace {

// A file with more than one name is copied to a name of its own before it is
// written: vtsim runs on a working copy of the image made of hard links
// (sim/image_stage.h), and a write must not reach the image's own file. The
// copy keeps the data and the time of last write; the old link is replaced.
bool BreakHardLink(int parent, const std::string& leaf, bool truncate) {
  struct stat st;
  if (::fstatat(parent, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
      st.st_nlink < 2)
    return true;
  const std::string tmp = leaf + ".vtsim-copy";
  ::unlinkat(parent, tmp.c_str(), 0);
  HostFd to(::openat(parent, tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     st.st_mode & 07777));
  if (!to.ok()) return false;
  bool ok = true;
  if (!truncate) {
    HostFd from(::openat(parent, leaf.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    ok = from.ok();
    char buffer[1 << 16];
    while (ok) {
      const ssize_t n = ::read(from.get(), buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = n == 0;
        break;
      }
      for (ssize_t done = 0; ok && done < n;) {
        const ssize_t w = ::write(to.get(), buffer + done, static_cast<size_t>(n - done));
        if (w < 0 && errno == EINTR) continue;
        ok = w > 0;
        done += ok ? w : 0;
      }
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (ok) ::futimens(to.get(), times);
  }
  if (ok) ok = ::renameat(parent, tmp.c_str(), parent, leaf.c_str()) == 0;
  if (!ok) ::unlinkat(parent, tmp.c_str(), 0);
  return ok;
}

}  // namespace

HostFile HostFiles::Open(const std::string& path, bool write, bool create, bool truncate) const {
  std::string leaf;
  HostFd parent = OpenParent(path, &leaf);
  if (!parent.ok()) return HostFile();
  // Whatever is not a plain file is never opened: opening a device or a
  // FIFO could act on the host or block.
  const HostKind kind = StatAt(parent.get(), leaf).kind;
  if (kind != HostKind::kFile && !(create && kind == HostKind::kMissing)) {
    errno = kind == HostKind::kMissing ? ENOENT : EACCES;
    return HostFile();
  }
  if (write && kind == HostKind::kFile && !BreakHardLink(parent.get(), leaf, truncate))
    return HostFile();
  int flags = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | (write ? O_RDWR : O_RDONLY);
  if (create) flags |= O_CREAT;
  if (truncate) flags |= O_TRUNC;
  HostFd fd(::openat(parent.get(), leaf.c_str(), flags, 0666));
  if (!fd.ok()) return HostFile();
  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    errno = EACCES;
    return HostFile();
  }
  ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  return HostFile(std::move(fd));
}

bool HostFiles::ReadAll(const std::string& path, std::string* out) const {
  out->clear();
  HostFile f = Open(path, false, false, false);
  if (!f.ok()) return false;
  out->resize(static_cast<size_t>(f.Size()));
  int64_t n = f.ReadAt(0, &(*out)[0], out->size());
  if (n < 0) return false;
  out->resize(static_cast<size_t>(n));
  // A file that grew since its size was taken is read to its end.
  char more[65536];
  while ((n = f.ReadAt(out->size(), more, sizeof more)) > 0)
    out->append(more, static_cast<size_t>(n));
  return n == 0;
}

bool HostFiles::RemoveFile(const std::string& path) const {
  std::string leaf;
  HostFd parent = OpenParent(path, &leaf);
  if (!parent.ok()) return false;
  if (StatAt(parent.get(), leaf).kind != HostKind::kFile) {
    errno = ENOENT;
    return false;
  }
  return ::unlinkat(parent.get(), leaf.c_str(), 0) == 0;
}

bool HostFiles::RemoveFolder(const std::string& path) const {
  std::string leaf;
  HostFd parent = OpenParent(path, &leaf);
  // AT_REMOVEDIR removes nothing but an empty folder; a link gives ENOTDIR.
  return parent.ok() && ::unlinkat(parent.get(), leaf.c_str(), AT_REMOVEDIR) == 0;
}

bool HostFiles::Rename(const std::string& from, const std::string& to) const {
  std::string fromLeaf, toLeaf;
  HostFd fromParent = OpenParent(from, &fromLeaf);
  HostFd toParent = OpenParent(to, &toLeaf);
  if (!fromParent.ok() || !toParent.ok()) return false;
  const HostKind kind = StatAt(fromParent.get(), fromLeaf).kind;
  if (kind != HostKind::kFile && kind != HostKind::kFolder) {
    errno = ENOENT;
    return false;
  }
  return ::renameat(fromParent.get(), fromLeaf.c_str(), toParent.get(), toLeaf.c_str()) == 0;
}

bool HostFiles::MakeFolder(const std::string& path) const {
  std::string leaf;
  HostFd parent = OpenParent(path, &leaf);
  return parent.ok() && ::mkdirat(parent.get(), leaf.c_str(), 0777) == 0;
}

bool HostFiles::MakeFolders(const std::string& path) const {
  std::vector<std::string> names;
  if (!Names(path, &names)) {
    errno = ENOENT;
    return false;
  }
  HostFd dir = OpenFolder(names, 0);
  for (const std::string& name : names) {
    if (!dir.ok()) return false;
    HostFd next(::openat(dir.get(), name.c_str(), kFolderFlags));
    if (!next.ok() && errno == ENOENT) {
      if (::mkdirat(dir.get(), name.c_str(), 0777) != 0 && errno != EEXIST) return false;
      next = HostFd(::openat(dir.get(), name.c_str(), kFolderFlags));
    }
    dir = std::move(next);
  }
  return dir.ok();
}

HostStat HostFiles::StatRoot() const {
  struct stat st;
  if (root_.empty() || ::lstat(root_.c_str(), &st) != 0) return HostStat{};
  return FromMode(st);
}

DWORD HostError(int error) {
  switch (error) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
      return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

}  // namespace sim
