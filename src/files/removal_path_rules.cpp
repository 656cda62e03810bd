#include "files/removal_path_rules.h"

#include <vector>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The parts between separators, empty ones dropped (Windows skips them).
std::vector<std::string> Parts(const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (IsSeparator(c)) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// "." and "..", and names that Windows trims to nothing ("...", ". ").
bool IsRealName(const std::string& part) {
  return part.find_first_not_of(". ") != std::string::npos;
}

bool AllRealNames(const std::vector<std::string>& parts) {
  for (const std::string& part : parts) {
    if (!IsRealName(part)) return false;
  }
  return true;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool IsSafeRemovalPath(const std::string& path) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
    const std::vector<std::string> parts = Parts(path.substr(3));
    return !parts.empty() && AllRealNames(parts);
  }
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    const std::vector<std::string> parts = Parts(path.substr(2));
    // Server, share and at least one name; "\\.\" and "\\?\" are device
    // namespaces, not servers.
    if (parts.size() < 3 || parts[0] == "?") return false;
    return AllRealNames(parts);
  }
  return false;
}
