#include "tools/vtsim/image_copy.h"

#include <filesystem>
#include <vector>

#include "tools/vtsim/host_paths.h"

namespace fs = std::filesystem;

namespace vtsim {

namespace {

// The entries below `image`, parents before children; false at the first one
// that is neither a file nor a folder.
bool ListEntries(const fs::path& image, std::vector<fs::path>* entries, std::string* error) {
  std::error_code ec;
  std::vector<fs::path> pending = {image};
  while (!pending.empty()) {
    const fs::path folder = pending.back();
    pending.pop_back();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::file_status st = it->symlink_status(ec);
      if (ec) break;
      if (!fs::is_regular_file(st) && !fs::is_directory(st)) {
        *error = it->path().string() + ": neither a file nor a folder (" +
                 (fs::is_symlink(st) ? "a link" : "a special file") +
                 "); --output copies only files and folders";
        return false;
      }
      entries->push_back(it->path());
      if (fs::is_directory(st)) pending.push_back(it->path());
    }
    if (ec) {
      *error = folder.string() + ": cannot be read (" + ec.message() + ")";
      return false;
    }
  }
  return true;
}

}  // namespace

bool CheckCopyTarget(const std::string& image, const std::string& dir, std::string* error) {
  std::error_code ec;
  if (IsInside(dir, image)) {
    *error = dir + ": lies inside the image " + image;
    return false;
  }
  const fs::file_status st = fs::status(dir, ec);
  if (fs::exists(st)) {
    if (!fs::is_directory(st)) {
      *error = dir + ": exists and is not a folder";
      return false;
    }
    if (!fs::is_empty(dir, ec) || ec) {
      *error = dir + ": exists and is not empty";
      return false;
    }
  }
  std::vector<fs::path> entries;
  return ListEntries(Resolved(image), &entries, error);
}

bool CopyImage(const std::string& image, const std::string& dir, std::string* error) {
  const fs::path from = Resolved(image);
  const fs::path to = Resolved(dir);
  std::vector<fs::path> entries;
  if (!ListEntries(from, &entries, error)) return false;
  std::error_code ec;
  const bool made = !fs::exists(to, ec);
  fs::create_directories(to, ec);
  for (const fs::path& entry : entries) {
    if (ec) break;
    const fs::path target = to / entry.lexically_relative(from);
    if (fs::is_directory(fs::symlink_status(entry, ec))) {
      fs::create_directory(target, ec);
    } else if (!ec) {
      fs::copy_file(entry, target, fs::copy_options::none, ec);
    }
  }
  if (!ec) return true;
  *error = dir + ": the image cannot be copied there (" + ec.message() + ")";
  // Remove only what this copy made: the folder was absent or empty.
  std::error_code ignored;
  if (made) {
    fs::remove_all(to, ignored);
  } else {
    std::vector<fs::path> made_here;
    for (fs::directory_iterator it(to, ignored), end; !ignored && it != end; it.increment(ignored))
      made_here.push_back(it->path());
    for (const fs::path& p : made_here) fs::remove_all(p, ignored);
  }
  return false;
}

}  // namespace vtsim
