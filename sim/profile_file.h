// An INI file as the Windows profile API sees it: sections in file order, each
// with its lines of key=value. Names compare without case; the first of a
// duplicate section or key wins.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct ProfileKey {
  std::string name;        // trimmed at its end ("" for an empty line)
  std::string value;       // trimmed on both sides, quotes still present
  bool has_value = false;  // the line had an '='
  int line = 0;            // 1-based line of the file (for tools that quote it)
};

struct ProfileSection {
  std::string name;  // between '[' and the line's last ']', trimmed
  std::vector<ProfileKey> keys;
  int line = 0;  // 1-based line of the header (0 for the nameless section)
};

struct ProfileFile {
  // Lines before the first section header belong to a section without name.
  std::vector<ProfileSection> sections;

  static ProfileFile Parse(const std::string& bytes);
  // The first section of that name (blanks around `name` ignored), or nullptr.
  const ProfileSection* FindSection(const std::string& name) const;
  // The first key of that name with a value, or nullptr.
  static const ProfileKey* FindKey(const ProfileSection& s, const std::string& name);
};

// A value as the caller receives it: one pair of matching quotes removed.
std::string StripQuotes(const std::string& value);

}  // namespace sim
