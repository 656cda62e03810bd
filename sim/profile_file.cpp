#include "sim/profile_file.h"

#include <cstring>

#include "sim/text.h"

namespace sim {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

}  // namespace

ProfileFile ProfileFile::Parse(const std::string& bytes) {
  ProfileFile f;
  f.sections.emplace_back();  // the nameless section before the first header
  size_t pos = 0;
  int line = 0;
  while (pos < bytes.size()) {
    // The LF of a CR LF ends no second line (that line would be empty).
    if (pos > 0 && bytes[pos - 1] == '\r' && bytes[pos] == '\n') {
      if (++pos >= bytes.size()) break;
    }
    ++line;
    // CR LF, LF and a lone CR each end a line, as Windows reads them.
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = bytes.size();
    size_t b = pos, e = end;
    pos = end + 1;
    while (b < e && IsBlank(bytes[b])) ++b;
    if (b >= e) continue;
    if (bytes[b] == '[') {
      // Only this line is searched: a search running on into the rest of the
      // file makes a big file take quadratic time.
      size_t close = e - 1;
      while (close > b && bytes[close] != ']') --close;
      if (close > b) {
        // Blanks inside the brackets are no part of the name: "[ A ]" is "A".
        ProfileSection s;
        s.name = Trim(bytes.substr(b + 1, close - b - 1));
        s.line = line;
        f.sections.push_back(std::move(s));
        continue;
      }
      // A header without ']' is read as a key line, as Windows does.
    }
    while (e > b && IsBlank(bytes[e - 1])) --e;
    ProfileKey k;
    k.line = line;
    const void* found = std::memchr(bytes.data() + b, '=', e - b);
    if (found) {
      const size_t eq = static_cast<size_t>(static_cast<const char*>(found) - bytes.data());
      size_t ne = eq;
      while (ne > b && IsBlank(bytes[ne - 1])) --ne;
      k.name = bytes.substr(b, ne - b);
      size_t vb = eq + 1;
      while (vb < e && IsBlank(bytes[vb])) ++vb;
      k.value = bytes.substr(vb, e - vb);
      k.has_value = true;
    } else {
      k.name = bytes.substr(b, e - b);
    }
    f.sections.back().keys.push_back(std::move(k));
  }
  return f;
}

const ProfileSection* ProfileFile::FindSection(const std::string& name) const {
  const std::string wanted = Trim(name);
  // The nameless first section is never found by name.
  for (size_t i = 1; i < sections.size(); ++i)
    if (EqualNoCase(sections[i].name, wanted)) return &sections[i];
  return nullptr;
}

const ProfileKey* ProfileFile::FindKey(const ProfileSection& s, const std::string& name) {
  const std::string wanted = Trim(name);
  for (const ProfileKey& k : s.keys)
    if (EqualNoCase(k.name, wanted)) return k.has_value ? &k : nullptr;
  return nullptr;
}

std::string StripQuotes(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace sim
