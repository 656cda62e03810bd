#include "tools/vtsim/import_dir_listing.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

#include "sim/text.h"

namespace vtsim {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The listing as UTF-8 text. `cmd /u` writes UTF-16LE without a byte order
// mark: a zero as the second byte tells it from 8-bit text.
std::string DecodeListing(const std::string& bytes) {
  const bool bom16 = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                     static_cast<unsigned char>(bytes[1]) == 0xFE;
  if (bom16 || (bytes.size() >= 2 && bytes[1] == '\0' && bytes[0] != '\0')) {
    const size_t skip = bom16 ? 2 : 0;
    return sim::Utf16LeToWtf8(bytes.data() + skip, (bytes.size() - skip) / 2);
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
  return sim::AnsiToUtf8(bytes);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = s[i], b = prefix[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
    if (a != b) return false;
  }
  return true;
}

// A number written with thousands separators ("1,234,567"); false on overflow.
bool ParseCount(std::string_view s, uint64_t* value) {
  if (s.empty() || !IsDigit(s.front())) return false;
  uint64_t v = 0;
  for (char c : s) {
    if (c == ',') continue;
    if (!IsDigit(c)) return false;
    if (v > (UINT64_MAX - 9) / 10) return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  *value = v;
  return true;
}

// Splits off the next blank-separated word of `rest`.
std::string_view NextWord(std::string_view* rest) {
  std::string_view s = *rest;
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  size_t n = 0;
  while (n < s.size() && !IsBlank(s[n])) ++n;
  *rest = s.substr(n);
  return s.substr(0, n);
}

// "10/05/2003", "10/05/03", "10-05-03", "05.10.2003".
bool IsDate(std::string_view w) {
  size_t digits = 0, seps = 0;
  for (char c : w) {
    if (IsDigit(c)) {
      ++digits;
    } else if (c == '/' || c == '-' || c == '.') {
      ++seps;
    } else {
      return false;
    }
  }
  return seps == 2 && digits >= 4 && IsDigit(w.front()) && IsDigit(w.back());
}

// "09:12", "9:12a", "09:12p"; the AM/PM of cmd.exe is a word of its own.
bool IsTime(std::string_view w) {
  const size_t colon = w.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 2) return false;
  size_t i = colon + 1;
  size_t minutes = 0;
  while (i < w.size() && IsDigit(w[i])) ++i, ++minutes;
  if (minutes != 2) return false;
  return i == w.size() || (i + 1 == w.size() && (w[i] == 'a' || w[i] == 'p'));
}

// A name Windows allows for a file or folder.
bool ValidName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || std::strchr("\\/:*?\"<>|", c)) return false;
  }
  return true;
}

// Names compare without case as the code page folds them; a name the code
// page cannot spell is compared as it is (its '?' would match others).
std::string Key(std::string_view path) {
  bool ok = true;
  const std::string ansi = sim::Utf8ToAnsi(std::string(path), &ok);
  return ok ? sim::UpperCase(ansi) : "\x01" + std::string(path);
}

class Parser {
 public:
  Parser(DirListing* listing, ListingError* error) : out_(listing), error_(error) {}

  bool Run(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size()) {
      const size_t nl = text.find('\n', pos);
      const size_t end = nl == std::string::npos ? text.size() : nl;
      std::string_view line(text.data() + pos, end - pos);
      pos = end + 1;
      ++line_no_;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (!Line(line)) {
        error_->line = line_no_;
        error_->text = std::string(line);
        return false;
      }
    }
    if (out_->drive == 0) return Fail("no \"Directory of\" line: not a listing of dir /s");
    return true;
  }

 private:
  bool Fail(const std::string& what) {
    error_->what = what;
    error_->line = line_no_ == 0 ? 1 : line_no_;
    return false;
  }

  bool Line(std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (line.empty()) return true;
    if (StartsWithNoCase(line, "Volume in drive") ||
        StartsWithNoCase(line, "Volume Serial Number") ||
        StartsWithNoCase(line, "Total Files Listed") || StartsWithNoCase(line, "File Not Found"))
      return true;
    if (StartsWithNoCase(line, "Directory of ")) return Directory(Trim(line.substr(13)));
    if (Summary(line)) return true;
    if (!error_->what.empty()) return false;
    if (!have_dir_) return Fail("an entry before any \"Directory of\" line");
    return IsDate(NextWordOf(raw)) ? NtEntry(raw) : DosEntry(raw);
  }

  static std::string_view NextWordOf(std::string_view s) { return NextWord(&s); }

  // "2 File(s)  1,234 bytes", "3 Dir(s)  5,000,000 bytes free" (9x: file(s), dir(s)).
  bool Summary(std::string_view line) {
    std::string_view rest = line;
    uint64_t count = 0;
    if (!ParseCount(NextWord(&rest), &count)) return false;
    const std::string_view kind = NextWord(&rest);
    const bool files = StartsWithNoCase(kind, "File(s)") && kind.size() == 7;
    const bool dirs = StartsWithNoCase(kind, "Dir(s)") && kind.size() == 6;
    if (!files && !dirs) return false;
    uint64_t bytes = 0;
    const std::string_view figure = NextWord(&rest);
    const std::string_view unit = NextWord(&rest);
    const std::string_view free = NextWord(&rest);
    if (!ParseCount(figure, &bytes) || unit != "bytes" || !Trim(rest).empty() ||
        (dirs ? free != "free" : !free.empty())) {
      error_->what =
          "a summary line that does not read \"N File(s) N bytes\" or \"N Dir(s) N bytes free\"";
      return false;
    }
    if (dirs) {
      out_->has_free_bytes = true;
      out_->free_bytes = bytes;
    }
    return true;
  }

  bool Directory(std::string_view path) {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\' ||
        !((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
      return Fail("\"Directory of\" without a full path such as C:\\WINDOWS");
    const char drive = static_cast<char>(path[0] & ~0x20);
    if (out_->drive != 0 && out_->drive != drive)
      return Fail(std::string("a listing of drive ") + drive + ": inside one of drive " +
                  out_->drive + ": (list one drive per file)");
    out_->drive = drive;
    std::string canonical;
    std::string_view rest = path.substr(3);
    while (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);
    while (!rest.empty()) {
      const size_t slash = rest.find('\\');
      const std::string_view part = rest.substr(0, slash);
      rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
      if (!ValidName(part)) return Fail("a folder name Windows does not allow");
      // 9x may name a folder by its short name: resolve it to the long one.
      auto it = by_name_.find(Key(canonical) + "\\" + Key(part));
      std::string next;
      if (it != by_name_.end()) {
        const ListedEntry& known = out_->entries[it->second];
        if (!known.directory) return Fail("\"" + known.path + "\" is listed as a file");
        next = known.path;
      } else {
        next = canonical.empty() ? std::string(part) : canonical + "\\" + std::string(part);
        if (!Add(next, true, 0, "")) return false;
      }
      canonical = next;
    }
    current_ = canonical;
    have_dir_ = true;
    return true;
  }

  // "10/05/2003  09:12 AM    <DIR>          Program Files"
  // "10/05/03  09:12a             1,234 boot.ini" (NT 4)
  bool NtEntry(std::string_view line) {
    std::string_view rest = line;
    NextWord(&rest);  // the date
    const std::string_view time = NextWord(&rest);
    if (!IsTime(time)) return Fail("an entry line without a time after its date");
    std::string_view save = rest;
    const std::string_view ampm = NextWord(&rest);
    if (ampm != "AM" && ampm != "PM") rest = save;
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    const size_t n = rest.find(' ');
    if (n == std::string_view::npos) return Fail("an entry line without a name");
    const std::string_view what = rest.substr(0, n);
    const std::string_view name = Trim(rest.substr(n + 1));
    if (what == "<DIR>" || what == "<JUNCTION>" || what == "<SYMLINKD>")
      return Entry(name, true, 0, "");
    if (what == "<SYMLINK>") return Entry(name, false, 0, "");
    uint64_t size = 0;
    if (!ParseCount(what, &size))
      return Fail("an entry line with neither <DIR> nor a size before its name");
    return Entry(name, false, size, "");
  }

  // "AUTOEXEC BAT           211  10-05-03  9:12a AUTOEXEC.BAT"
  // "PROGRA~1       <DIR>        10-05-03  9:20a Program Files"
  bool DosEntry(std::string_view line) {
    if (line.size() < 13 || line[8] != ' ')
      return Fail("not a line of a dir listing (an entry, a summary or \"Directory of\")");
    const std::string_view base = Trim(line.substr(0, 8));
    const std::string_view ext = Trim(line.substr(9, 3));
    std::string_view rest = line.substr(12);
    const std::string_view what = NextWord(&rest);
    const std::string_view date = NextWord(&rest);
    const std::string_view time = NextWord(&rest);
    if (base.empty() || !IsDate(date) || !IsTime(time))
      return Fail("not a line of a dir listing (an entry, a summary or \"Directory of\")");
    std::string shortName(base);
    if (!ext.empty()) shortName += "." + std::string(ext);
    if (shortName == "." || shortName == "..") return true;
    std::string_view name = Trim(rest);
    if (name.empty()) name = shortName;  // a listing made without long names
    if (what == "<DIR>") return Entry(name, true, 0, shortName);
    uint64_t size = 0;
    if (!ParseCount(what, &size))
      return Fail("an entry line with neither <DIR> nor a size after its 8.3 name");
    return Entry(name, false, size, shortName);
  }

  bool Entry(std::string_view name, bool directory, uint64_t size, const std::string& shortName) {
    if (name == "." || name == "..") return true;
    if (!ValidName(name)) return Fail("a file name Windows does not allow");
    const std::string path =
        current_.empty() ? std::string(name) : current_ + "\\" + std::string(name);
    return Add(path, directory, size, shortName);
  }

  // Records an entry once; a folder named again (in its parent and in its own
  // "Directory of") is one folder.
  bool Add(const std::string& path, bool directory, uint64_t size, const std::string& shortName) {
    const size_t slash = path.rfind('\\');
    const std::string parentKey = slash == std::string::npos ? "" : Key(path.substr(0, slash));
    const std::string key =
        parentKey + "\\" + Key(slash == std::string::npos ? path : path.substr(slash + 1));
    auto found = by_name_.find(key);
    if (found != by_name_.end()) {
      ListedEntry& old = out_->entries[found->second];
      if (old.directory && directory) {
        if (old.short_name.empty()) old.short_name = shortName;
        return true;
      }
      return Fail("\"" + path + "\" is listed twice");
    }
    const size_t index = out_->entries.size();
    out_->entries.push_back({path, directory, size, shortName});
    if (!directory) out_->file_bytes += size;
    by_name_.emplace(key, index);
    if (!shortName.empty()) by_name_.emplace(parentKey + "\\" + Key(shortName), index);
    return true;
  }

  DirListing* out_;
  ListingError* error_;
  size_t line_no_ = 0;
  bool have_dir_ = false;
  std::string current_;  // the folder being listed, from the drive root
  // Parent path + "\" + name (long or short), upper case -> entry.
  std::unordered_map<std::string, size_t> by_name_;
};

}  // namespace

bool ParseDirListing(const std::string& bytes, DirListing* listing, ListingError* error) {
  *listing = DirListing();
  *error = ListingError();
  return Parser(listing, error).Run(DecodeListing(bytes));
}

}  // namespace vtsim
