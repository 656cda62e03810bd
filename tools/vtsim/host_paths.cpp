#include "tools/vtsim/host_paths.h"

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace vtsim {

fs::path Resolved(const fs::path& p) {
  std::error_code ec;
  fs::path absolute = fs::absolute(p, ec);
  if (ec) absolute = p;
  // A link whose target does not exist yet still decides where a file
  // written through it lands; weakly_canonical leaves such a link as it is.
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(absolute, ec)); ++hops) {
    const fs::path target = fs::read_symlink(absolute, ec);
    if (ec) break;
    absolute = target.is_absolute() ? target : absolute.parent_path() / target;
  }
  fs::path resolved = fs::weakly_canonical(absolute, ec);
  return ec ? absolute.lexically_normal() : resolved;
}

bool IsInside(const fs::path& p, const fs::path& folder) {
  std::string a = Resolved(p).generic_string();
  std::string f = Resolved(folder).generic_string();
  while (a.size() > 1 && a.back() == '/') a.pop_back();
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  if (f == "/") return true;
  return a == f || a.compare(0, f.size() + 1, f + "/") == 0;
}

bool SameFile(const fs::path& a, const fs::path& b) {
  if (Resolved(a) == Resolved(b)) return true;
  std::error_code ec;
  const bool same = fs::equivalent(a, b, ec);
  return !ec && same;
}

bool LinkedInto(const fs::path& file, const fs::path& folder) {
  struct stat target;
  if (::stat(file.c_str(), &target) != 0 || !S_ISREG(target.st_mode) || target.st_nlink < 2)
    return false;  // one name only: it is inside `folder` only if its path is
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    struct stat entry;
    if (::lstat(it->path().c_str(), &entry) == 0 && entry.st_dev == target.st_dev &&
        entry.st_ino == target.st_ino)
      return true;
  }
  return false;
}

}  // namespace vtsim
