// The files list: sweeps (">") of directories that must never be emptied,
// and entries listed twice.
#include <cctype>
#include <map>

#include "key_paths.h"
#include "list_lint.h"
#include "sim/text.h"

namespace vtlint {

namespace {

std::string Trim(const std::string& text) {
  const char* ws = " \t\n\r\v\f";
  const size_t first = text.find_first_not_of(ws);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(ws) - first + 1);
}

const char* DirectoryOf(char prefix) {
  switch (prefix) {
    case '#':
      return "install";
    case '$':
      return "system";
    case '^':
      return "Windows";
    case '|':
      return "desktop";
    case '+':
      return "OCR";
    case '!':
      return "common programs-menu";
    case '~':
      return "user's programs-menu";
    case '?':
      return "device-ID";
    case '@':
      return "temporary";
    default:
      return nullptr;
  }
}

void CheckSweep(const DatLine& d, const std::string& t, const ListContext& ctx, Findings& out) {
  const char* dir = t.size() >= 2 ? DirectoryOf(t[1]) : nullptr;
  if (dir == nullptr) {
    const std::string path = t.substr(1);
    if (IsRootOrSystemPath(path))
      AddFinding(out, ctx.shown, d.line, "VT017",
                 "sweeps '" + Quote(path) + "': a drive root or the Windows or system directory");
    return;
  }
  const int depth = PathDepth(t.substr(2));
  const char p = t[1];
  if (depth < 0 || (depth == 0 && (p == '$' || p == '^'))) {
    AddFinding(out, ctx.shown, d.line, "VT017",
               std::string("sweeps ") + (depth < 0 ? "a folder above the " : "the ") + dir +
                   (depth < 0 ? " directory: every file in it is deleted"
                              : " directory itself: every file in it is deleted"));
  } else if (depth == 0 && (p == '|' || p == '!' || p == '~' || p == '@')) {
    AddFinding(out, ctx.shown, d.line, "VT023",
               std::string("sweeps the whole ") + dir +
                   " directory: every file in it is deleted, the user's own included");
  }
}

}  // namespace

void LintFilesList(const std::vector<DatLine>& lines, const ListContext& ctx, Findings& out) {
  std::map<std::string, int> seen;
  for (const DatLine& d : lines) {
    const std::string t = Trim(d.text);
    if (t.empty() || t[0] == ';') continue;
    if (t[0] == '>') CheckSweep(d, t, ctx, out);
    const std::string key = sim::UpperCase(t);
    const auto it = seen.find(key);
    if (it == seen.end()) {
      seen[key] = d.line;
    } else {
      AddFinding(out, ctx.shown, d.line, "VT020",
                 "the same as line " + std::to_string(it->second) + ": listed twice");
    }
  }
}

}  // namespace vtlint
