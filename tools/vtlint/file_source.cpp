#include "file_source.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "sim/text.h"

namespace vtlint {

namespace fs = std::filesystem;

bool UnusableRelativeName(const std::string& name) {
  if (name.empty()) return true;
  if (name.find_first_of("*?") != std::string::npos) return true;
  if (name[0] == '\\' || name[0] == '/') return true;
  return name.find(':') != std::string::npos;
}

namespace {

std::vector<std::string> Parts(const std::string& name) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : name) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// The entry of `dir` named `part` without regard to case (the exact name first).
bool FindEntry(const fs::path& dir, const std::string& part, fs::path* found) {
  std::error_code ec;
  if (part == "." || part == "..") {
    *found = dir / part;
    return fs::exists(*found, ec);
  }
  if (fs::exists(dir / part, ec)) {
    *found = dir / part;
    return true;
  }
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (sim::EqualNoCase(it->path().filename().string(), part)) {
      *found = it->path();
      return true;
    }
  }
  return false;
}

}  // namespace

bool HostFolderSource::Read(const std::string& name, std::string* bytes, std::string* shown) {
  *shown = (fs::path(folder_) / name).string();
  if (UnusableRelativeName(name)) return false;
  fs::path at(folder_.empty() ? "." : folder_);
  std::string relative;
  for (const std::string& part : Parts(name)) {
    fs::path next;
    if (!FindEntry(at, part, &next)) return false;
    at = next;
    relative += (relative.empty() ? "" : "/") + next.filename().string();
  }
  std::error_code ec;
  if (!fs::is_regular_file(at, ec)) return false;
  std::ifstream in(at, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  *bytes = all.str();
  *shown = folder_.empty() ? relative : (fs::path(folder_) / relative).string();
  return true;
}

std::string MemorySource::Key(const std::string& name) { return sim::UpperCase(name); }

bool MemorySource::Read(const std::string& name, std::string* bytes, std::string* shown) {
  *shown = name;
  if (UnusableRelativeName(name)) return false;
  const auto it = files_.find(Key(name));
  if (it == files_.end()) return false;
  *bytes = it->second;
  return true;
}

}  // namespace vtlint
