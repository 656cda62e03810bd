// The registry list as the eraser walks it: key entries, value pairs, counter
// pairs ("-") and variable-key pairs ("*"), each pair taking the next entry.
#include <cctype>
#include <map>

#include "config/dat_list.h"
#include "discovery/search_registry.h"
#include "key_paths.h"
#include "list_lint.h"
#include "sim/text.h"

namespace vtlint {

namespace {

struct Entry {
  int line;
  std::string text;
  bool bad_prefix;  // already reported under VT018
};

std::string TrimLeft(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  return text.substr(start);
}

bool IsPrefix(char c) { return std::string("#$^|+!~?@").find(c) != std::string::npos; }

// The registry list's reader knows the install, system and Windows
// directories only ("#", "$", "^"); any directory will do for the syntax.
CListFromFile RegistryReader() {
  CListFromFile reader;
  reader.SetVTInstallDir("C:\\Program Files\\Vantrel");
  reader.SetSystemDir("C:\\WINDOWS\\system32");
  reader.SetWindowsDir("C:\\WINDOWS");
  return reader;
}

// What becomes of a line whose prefix the registry reader cannot expand, or
// "" when its prefix is fine.
std::string UnexpandedPrefix(const std::string& line) {
  std::string t = TrimLeft(line);
  if (t.empty()) return "";
  if (t[0] == '>' && t.size() >= 2 && IsPrefix(t[1]))
    return std::string("\">") + t[1] +
           "\" names a directory to sweep, which a registry list "
           "cannot: the line " +
           (t[1] == '#' || t[1] == '$' || t[1] == '^' ? "reads as a path" : "is dropped");
  if (t[0] == '~' || t[0] == '?')
    return std::string("\"") + t[0] +
           "\" is not expanded in a registry list: the line stays as written and names no hive";
  if (t[0] == '|' || t[0] == '+' || t[0] == '!' || t[0] == '@')
    return std::string("\"") + t[0] +
           "\" is not expanded in a registry list: the reader drops the line, and a pair before "
           "it takes the next entry instead";
  return "";
}

// Hive code and separator of an entry whose code starts at `at`.
void CheckHive(const Entry& e, const std::string& text, size_t at, const ListContext& ctx,
               Findings& out) {
  if (e.bad_prefix) return;
  const std::string code = text.substr(at, 4);
  if (GetMainRegKeyHandle(code.c_str()) == nullptr) {
    AddFinding(out, ctx.shown, e.line, "VT011",
               "unknown hive code '" + Quote(code) + "' in '" + Quote(text) +
                   "' (HKLM, HKCR, HKCC, HKCU, HKPD, HKDD, HKUS)");
    return;
  }
  if (text.size() > at + 4 && text[at + 4] != '\\')
    AddFinding(out, ctx.shown, e.line, "VT011",
               "the hive code is followed by '" + Quote(text.substr(at + 4, 1)) +
                   "', not a backslash: the eraser drops that character as the separator");
}

// A second entry that looks like the first entry of a registry line.
bool LooksLikeRegEntry(const std::string& second) {
  std::string t = second;
  if (!t.empty() && (t[0] == '-' || t[0] == '*')) t.erase(0, 1);
  return t.size() > 5 && t[4] == '\\' && GetMainRegKeyHandle(t.substr(0, 4).c_str()) != nullptr;
}

void CheckSecond(const Entry& first, const Entry& second, const char* kind, const ListContext& ctx,
                 Findings& out) {
  if (!LooksLikeRegEntry(TrimLeft(second.text))) return;
  AddFinding(out, ctx.shown, second.line, "VT013",
             std::string("taken as the second entry of the ") + kind + " on line " +
                 std::to_string(first.line) + ", but it reads like a registry entry of its own");
}

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

void CheckPnPKey(const Entry& e, const std::string& keyPath, const ListContext& ctx,
                 Findings& out) {
  const std::string lower = Lower(keyPath);
  const size_t tag = lower.find("$pnp$");
  if (tag == std::string::npos) return;
  if (tag == 0) {
    AddFinding(out, ctx.shown, e.line, "VT021",
               "the Plug-and-Play tag is the first key after the hive: it cannot be expanded");
    return;
  }
  const size_t slash = lower.rfind('\\', tag - 1);
  if (slash == std::string::npos || slash == 0) {
    AddFinding(out, ctx.shown, e.line, "VT021",
               "the Plug-and-Play tag stands in the first key name, which has no parent to "
               "search: it cannot be expanded");
    return;
  }
  if (!ctx.device_no_pnp.empty())
    AddFinding(out, ctx.shown, e.line, "VT021",
               "Plug-and-Play tag, but the family of '" + ctx.device_no_pnp +
                   "' lists no PnP IDs: the search fails and the entry is skipped");
}

void CheckPnPValue(const Entry& pair, const std::string& keyPath, const std::string& valueName,
                   int valueLine, const ListContext& ctx, Findings& out) {
  if (Lower(keyPath).find("$pnp$") != std::string::npos)
    AddFinding(out, ctx.shown, pair.line, "VT021",
               "Plug-and-Play tag in the key path of a value pair: only key entries and value "
               "names are expanded, so the key is looked for as written");
  if (Lower(valueName).find("$pnp$") != std::string::npos && !ctx.device_no_pnp.empty())
    AddFinding(out, ctx.shown, valueLine, "VT021",
               "Plug-and-Play tag, but the family of '" + ctx.device_no_pnp +
                   "' lists no PnP IDs: the search fails and the value is kept");
}

class Duplicates {
 public:
  void Check(const std::string& key, int line, const ListContext& ctx, Findings& out) {
    const auto it = seen_.find(key);
    if (it == seen_.end()) {
      seen_[key] = line;
      return;
    }
    AddFinding(out, ctx.shown, line, "VT020",
               "the same as line " + std::to_string(it->second) + ": removed twice");
  }

 private:
  std::map<std::string, int> seen_;
};

}  // namespace

void LintRegList(const std::vector<DatLine>& lines, const ListContext& ctx, Findings& out) {
  const CListFromFile reader = RegistryReader();
  std::vector<Entry> entries;
  for (const DatLine& d : lines) {
    if (Lower(TrimLeft(d.text)).compare(0, 5, "$pnp$") == 0)
      AddFinding(out, ctx.shown, d.line, "VT021",
                 "the line starts with the Plug-and-Play tag, whose \"$\" the reader takes for "
                 "the system-directory prefix: the tag is lost");
    const std::string why = UnexpandedPrefix(d.text);
    if (!why.empty()) AddFinding(out, ctx.shown, d.line, "VT018", why);
    std::string entry;
    if (reader.EntryFromLine(d.text, entry)) entries.push_back(Entry{d.line, entry, !why.empty()});
  }

  Duplicates dup;
  size_t i = 0;
  while (i < entries.size()) {
    const Entry& e = entries[i];
    const std::string text = TrimLeft(e.text);
    if (text.empty()) {
      ++i;
      continue;
    }
    if (text[0] == '-' || text[0] == '*') {
      const bool counter = text[0] == '-';
      const char* kind = counter ? "counter pair" : "variable-key pair";
      CheckHive(e, text, 1, ctx, out);
      if (i + 1 >= entries.size()) {
        AddFinding(out, ctx.shown, e.line, "VT012",
                   std::string(kind) + " without its second entry: the eraser stops here");
        break;  // the eraser ends its walk at a cut-off pair
      }
      const Entry& second = entries[i + 1];
      const std::string value = TrimLeft(second.text);
      CheckSecond(e, second, kind, ctx, out);
      if (counter) {
        const std::string key = text.substr(1);
        if (key.size() > 5 && key.back() != '\\')
          AddFinding(out, ctx.shown, e.line, "VT015",
                     "counter pair whose key path does not end in a backslash: by the list's "
                     "form the entry at zero names the whole key, not the counter value");
      } else {
        const size_t equals = value.find('=');
        std::string data = equals == std::string::npos ? "" : value.substr(equals + 1);
        while (!data.empty() && std::isspace(static_cast<unsigned char>(data.back())))
          data.pop_back();
        if (TrimLeft(data).empty())
          AddFinding(out, ctx.shown, second.line, "VT014",
                     equals == std::string::npos
                         ? "variable-key pair without \"=\": both entries are skipped"
                         : "variable-key pair without data after \"=\": both entries are skipped");
        if (text.size() >= 6 && PathDepth(text.substr(6)) <= 0)
          AddFinding(out, ctx.shown, e.line, "VT016",
                     "variable-key pair under the hive root: the key it finds is a first-level "
                     "key of the hive");
      }
      dup.Check(Lower(text) + "\n" + Lower(value), e.line, ctx, out);
      i += 2;
      continue;
    }
    if (text.size() <= 5) {
      AddFinding(out, ctx.shown, e.line, "VT022",
                 "'" + Quote(text) + "' names no key: the eraser logs a bad line");
      ++i;
      continue;
    }
    CheckHive(e, text, 0, ctx, out);
    const std::string keyPath = text.substr(5);
    if (keyPath.back() == '\\') {
      if (i + 1 >= entries.size()) {
        AddFinding(out, ctx.shown, e.line, "VT012",
                   "value pair without its value name: nothing is removed");
        ++i;
        continue;
      }
      const Entry& second = entries[i + 1];
      CheckSecond(e, second, "value pair", ctx, out);
      CheckPnPValue(e, keyPath, TrimLeft(second.text), second.line, ctx, out);
      dup.Check(Lower(text) + "\n" + Lower(TrimLeft(second.text)), e.line, ctx, out);
      i += 2;
      continue;
    }
    if (!e.bad_prefix && GetMainRegKeyHandle(text.substr(0, 4).c_str()) != nullptr &&
        IsTopLevelKey(text.substr(0, 4), keyPath))
      AddFinding(out, ctx.shown, e.line, "VT016",
                 "removes '" + Quote(text) +
                     "' with all its subkeys: a hive root or a key Windows and other software "
                     "share");
    CheckPnPKey(e, keyPath, ctx, out);
    dup.Check(Lower(text), e.line, ctx, out);
    ++i;
  }
}

}  // namespace vtlint
