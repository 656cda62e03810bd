#include "sim/filesystem.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <utility>

#include "sim/host_files.h"

namespace sim {

namespace {

bool IsBadNameChar(unsigned char c) {
  return c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == ':';
}

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= s.size()) {
    size_t end = s.find('\\', start);
    if (end == std::string::npos) end = s.size();
    parts.push_back(s.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// Names come from a split at backslashes and never hold '/' (FullPath turns
// it into a backslash), nor are they "." or "..": the joined path stays one
// name deeper. HostFiles refuses anything else.
std::string HostJoin(const std::string& dir, const std::string& name) { return dir + "/" + name; }

const char* UnsafeKindText(HostKind k) {
  switch (k) {
    case HostKind::kLink:
      return "a symbolic link";
    case HostKind::kDevice:
      return "a device";
    case HostKind::kSocket:
      return "a socket";
    case HostKind::kFifo:
      return "a FIFO";
    default:
      return nullptr;
  }
}

// Calls `visit` with each folder below the drives root (as names joined by
// '/', "" for the root) and its entries sorted by name, depth first; links
// are never followed. Stops when `visit` returns a text.
std::string WalkHost(const HostFiles& host,
                     const std::function<std::string(const std::string& rel,
                                                     const std::vector<HostEntry>&)>& visit) {
  std::vector<std::string> pending{""};
  while (!pending.empty()) {
    const std::string rel = pending.back();
    pending.pop_back();
    std::vector<HostEntry> entries;
    if (!host.ListAll(rel.empty() ? host.root() : host.root() + "/" + rel, &entries)) continue;
    std::sort(entries.begin(), entries.end(),
              [](const HostEntry& a, const HostEntry& b) { return a.name < b.name; });
    std::string found = visit(rel, entries);
    if (!found.empty()) return found;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
      if (it->stat.kind == HostKind::kFolder)
        pending.push_back(rel.empty() ? it->name : rel + "/" + it->name);
  }
  return "";
}

bool IsShortChar(unsigned char c) {
  return c > 0x20 &&
         std::string("+,;=[]\"*/:<>?\\|.").find(static_cast<char>(c)) == std::string::npos;
}

std::string CleanShortPart(const std::string& s) {
  std::string out;
  for (char ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == ' ' || c == '.') continue;
    if (std::string("+,;=[]").find(ch) != std::string::npos) {
      out += '_';
    } else if (c >= 0x20) {
      out += static_cast<char>(FoldUpper(c));
    }
  }
  return out;
}

// '?' matches one character, or none where the name has a dot or has ended
// ("a?.txt" matches "a.txt", "a??" matches "a"); at the end of the name,
// trailing '*' match nothing (DOS rules).
bool Glob(const char* p, const char* n) {
  while (*p) {
    if (*p == '*') {
      while (*p == '*') ++p;
      if (!*p) return true;
      for (const char* s = n; *s; ++s)
        if (Glob(p, s)) return true;
      return Glob(p, n + std::char_traits<char>::length(n));
    }
    if (!*n) {
      while (*p == '?' || *p == '*') ++p;
      return !*p;
    }
    if (*p == '?' && *n == '.') {
      ++p;  // no character for it: the dot is matched by what follows
      continue;
    }
    if (*p != '?' && *p != *n) return false;
    ++p;
    ++n;
  }
  return !*n;
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && CompareNoCase(s.substr(0, prefix.size()), prefix) == 0;
}

bool StrictlyBelow(const std::string& path, const std::string& prefix) {
  return path.size() > prefix.size() && StartsWithNoCase(path, prefix);
}

const std::string& KeyOf(const std::string& key) { return key; }
template <class T>
const std::string& KeyOf(const std::pair<const std::string, T>& entry) {
  return entry.first;
}

// Erases `full` and everything below it from a container keyed by full path.
// Keys are ordered byte by byte after case folding, so the paths below
// "X\" form one run starting at "X\": no walk over the whole container,
// which holds an entry for every flagged file of the PC.
template <class Sorted>
void EraseSubtree(Sorted& sorted, const std::string& full) {
  sorted.erase(full);
  const std::string prefix = JoinPath(full, "");
  for (auto it = sorted.lower_bound(prefix);
       it != sorted.end() && StartsWithNoCase(KeyOf(*it), prefix);)
    it = KeyOf(*it).size() > prefix.size() ? sorted.erase(it) : std::next(it);
}

}  // namespace

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '\\') return dir + name;
  return dir + "\\" + name;
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  std::string p = UpperCase(pattern);
  std::string n = UpperCase(name);
  if (p == "*" || p == "*.*") return true;
  if (Glob(p.c_str(), n.c_str())) return true;
  const bool nameHasDot = n.find('.') != std::string::npos;
  // "x.*" also matches "x"; "x." matches a name without extension.
  if (p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0 && !nameHasDot)
    return Glob(p.substr(0, p.size() - 2).c_str(), n.c_str());
  if (!p.empty() && p.back() == '.' && !nameHasDot) {
    while (!p.empty() && p.back() == '.') p.pop_back();
    return Glob(p.c_str(), n.c_str());
  }
  return false;
}

bool IsShortName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return true;
  size_t dot = name.find('.');
  std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (ext.find('.') != std::string::npos) return false;
  for (char c : base + ext)
    if (!IsShortChar(static_cast<unsigned char>(c))) return false;
  return true;
}

bool FileSystem::FullPath(const std::string& input, std::string* full, DWORD* error,
                          bool wildcardLast) const {
  DWORD dummy;
  if (!error) error = &dummy;
  *error = 0;
  std::string path = input;
  std::replace(path.begin(), path.end(), '/', '\\');
  if (path.empty()) {
    *error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    *error = 53;  // network paths: this PC has no network
    return false;
  }
  char drive = current_dir.empty() ? 'C' : current_dir[0];
  std::vector<std::string> segments;
  std::string rest;
  auto cwdSegments = [&]() {
    std::vector<std::string> s;
    if (current_dir.size() > 3) s = Split(current_dir.substr(3));
    return s;
  };
  if (path.size() >= 2 && path[1] == ':') {
    unsigned char d = static_cast<unsigned char>(path[0]);
    if (!((d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z'))) {
      *error = ERROR_INVALID_NAME;
      return false;
    }
    char letter = static_cast<char>(d >= 'a' ? d - 32 : d);
    rest = path.substr(2);
    if (!rest.empty() && rest[0] == '\\') {
      rest = rest.substr(1);
    } else if (letter == drive) {
      segments = cwdSegments();
    }
    drive = letter;
  } else if (path[0] == '\\') {
    rest = path.substr(1);
  } else {
    segments = cwdSegments();
    rest = path;
  }
  std::vector<std::string> parts = Split(rest);
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string seg = parts[i];
    const bool last = i + 1 == parts.size();
    if (seg.empty() || seg == ".") continue;
    if (seg == "..") {
      if (!segments.empty()) segments.pop_back();
      continue;
    }
    const bool wild = HasWildcard(seg);
    if (wild && !(wildcardLast && last)) {
      *error = ERROR_INVALID_NAME;
      return false;
    }
    if (!wild) {
      while (!seg.empty() && (seg.back() == '.' || seg.back() == ' ')) seg.pop_back();
      if (seg.empty()) continue;
    }
    for (char c : seg) {
      if (IsBadNameChar(static_cast<unsigned char>(c))) {
        *error = ERROR_INVALID_NAME;
        return false;
      }
    }
    if (seg.size() > 255) {
      *error = 206;  // ERROR_FILENAME_EXCED_RANGE
      return false;
    }
    segments.push_back(seg);
  }
  std::string out(1, drive);
  out += ":\\";
  for (size_t i = 0; i < segments.size(); ++i) {
    if (i) out += '\\';
    out += segments[i];
  }
  *full = out;
  return true;
}

std::string FileSystem::DriveHostName(char drive) const {
  if (drives_root.empty()) return "";
  auto it = drives.find(drive);
  if (it != drives.end() && it->second.type == DRIVE_NO_ROOT_DIR) return "";
  return HostJoin(drives_root, std::string(1, drive));
}

std::string FileSystem::DriveHost(char drive) const {
  std::string host = DriveHostName(drive);
  if (host.empty() || Host().Stat(host).kind != HostKind::kFolder) return "";
  return host;
}

bool FileSystem::DriveExists(char drive) const { return !DriveHost(drive).empty(); }

DriveInfo FileSystem::Drive(char drive) const {
  auto it = drives.find(drive);
  if (it != drives.end()) return it->second;
  DriveInfo d;
  if (!DriveExists(drive)) d.type = DRIVE_NO_ROOT_DIR;
  return d;
}

UINT FileSystem::DriveType(char drive) const {
  if (!DriveExists(drive)) return DRIVE_NO_ROOT_DIR;
  auto it = drives.find(drive);
  return it == drives.end() ? DriveInfo{}.type : it->second.type;
}

bool FileSystem::List(const std::string& hostDir, std::vector<DirEntry>* out) const {
  out->clear();
  std::vector<HostEntry> entries;
  if (!Host().List(hostDir, &entries)) return false;
  for (HostEntry& h : entries) {
    DirEntry e;
    e.name = Utf8ToAnsi(h.name);
    e.host_name = std::move(h.name);
    e.directory = h.stat.kind == HostKind::kFolder;
    e.size = h.stat.size;
    e.write_time = h.stat.write_time;
    out->push_back(std::move(e));
  }
  std::sort(out->begin(), out->end(),
            [](const DirEntry& a, const DirEntry& b) { return CompareNoCase(a.name, b.name) < 0; });
  return true;
}

PathLookup FileSystem::Lookup(const std::string& path, bool wildcardLast) const {
  PathLookup r;
  // The A calls take at most MAX_PATH - 1 characters.
  if (path.size() >= static_cast<size_t>(MAX_PATH)) {
    r.error = 206;  // ERROR_FILENAME_EXCED_RANGE
    return r;
  }
  std::string full;
  if (!FullPath(path, &full, &r.error, wildcardLast)) return r;
  r.trailing_separator = full.size() > 3 && (path.back() == '\\' || path.back() == '/');
  const char drive = full[0];
  std::string host = DriveHostName(drive);
  std::vector<std::string> segs =
      full.size() > 3 ? Split(full.substr(3)) : std::vector<std::string>();
  r.full = full.substr(0, 3);
  // A folder resolved before leaves only the last name to find: the program
  // names thousands of files in a few folders, often in another case than
  // the host's (each such name would cost a listing of its folder).
  const size_t n = segs.size();
  size_t start = 0;
  std::string folderKey;
  bool cacheable = n > 1 && !host.empty();
  for (size_t i = 0; i + 1 < n && cacheable; ++i)
    cacheable = !HasWildcard(segs[i]) && segs[i].find('~') == std::string::npos;
  auto cached = resolved_folders_.end();
  if (cacheable) {
    folderKey = host;
    folderKey += '\0';
    folderKey += UpperCase(r.full);
    for (size_t i = 0; i + 1 < n; ++i) folderKey += (i ? "\\" : "") + UpperCase(segs[i]);
    cached = resolved_folders_.find(folderKey);
    if (cached != resolved_folders_.end()) {
      // The last name as asked, found there, also shows the folder and its
      // drive are there: the host never walks through a link.
      const std::string& seg = segs.back();
      const std::string exact = HasWildcard(seg) ? std::string() : AnsiToUtf8(seg);
      const HostKind kind = exact.empty() || Utf8ToAnsi(exact) != seg
                                ? HostKind::kMissing
                                : Host().Stat(HostJoin(cached->second.host, exact)).kind;
      if (kind == HostKind::kFile || kind == HostKind::kFolder) {
        r.full = JoinPath(cached->second.full, seg);
        r.host = HostJoin(cached->second.host, exact);
        r.exists = r.parent_exists = true;
        r.directory = kind == HostKind::kFolder;
        r.name = seg;
        return r;
      }
    }
  }
  if (!host.empty() && Host().Stat(host).kind != HostKind::kFolder) host.clear();
  if (host.empty()) {
    // No such drive: nothing on it exists, not even its root.
    r.full = full;
    r.host = "";
    r.name = segs.empty() ? "" : segs.back();
    r.root = segs.empty();
    return r;
  }
  r.host = host;
  if (segs.empty()) {
    r.exists = r.parent_exists = r.directory = r.root = true;
    return r;
  }
  if (cacheable) {
    auto it = cached;
    if (it != resolved_folders_.end()) {
      if (Host().Stat(it->second.host).kind == HostKind::kFolder) {
        r.full = it->second.full;
        host = it->second.host;
        start = n - 1;
      } else {
        resolved_folders_.erase(it);
      }
    }
  }
  // Fast path: the host has the whole path exactly as asked. The host walks
  // a path one name at a time, so one look at the whole path answers for
  // every folder on the way (a look per name would cost depth² steps).
  std::vector<std::string> exacts(segs.size());
  HostKind wholeKind = HostKind::kMissing;
  if (start == 0) {
    std::string whole = host;
    bool plain = true;
    for (size_t i = 0; i < segs.size() && plain; ++i) {
      exacts[i] = AnsiToUtf8(segs[i]);
      if (HasWildcard(segs[i]) || Utf8ToAnsi(exacts[i]) != segs[i]) exacts[i].clear();
      plain = !exacts[i].empty();
      whole = HostJoin(whole, exacts[i]);
    }
    if (plain) wholeKind = Host().Stat(whole).kind;
  }
  const bool wholeFound = wholeKind == HostKind::kFile || wholeKind == HostKind::kFolder;
  std::vector<DirEntry> entries;
  for (size_t i = start; i < n; ++i) {
    const std::string& seg = segs[i];
    const bool last = i + 1 == n;
    if (last && cacheable && start == 0) resolved_folders_[folderKey] = {r.full, host};
    std::string found, foundHost;
    bool isDir = false;
    // Next fastest: the host has this name exactly as asked.
    if (!wholeFound && exacts[i].empty() && !HasWildcard(seg)) {
      exacts[i] = AnsiToUtf8(seg);
      if (Utf8ToAnsi(exacts[i]) != seg) exacts[i].clear();
    }
    const std::string& exact = exacts[i];
    HostKind kind = HostKind::kMissing;
    if (wholeFound) {
      kind = last ? wholeKind : HostKind::kFolder;
    } else if (!HasWildcard(seg) && !exact.empty()) {
      kind = Host().Stat(HostJoin(host, exact)).kind;
    }
    if (kind == HostKind::kFile || kind == HostKind::kFolder) {
      found = seg;
      foundHost = exact;
      isDir = kind == HostKind::kFolder;
    } else if (!HasWildcard(seg) && List(host, &entries)) {
      for (const DirEntry& e : entries) {
        if (EqualNoCase(e.name, seg)) {
          found = e.name;
          foundHost = e.host_name;
          isDir = e.directory;
          break;
        }
      }
      if (found.empty() && seg.find('~') != std::string::npos) {
        std::vector<std::string> shorts = ShortNames(r.full, entries);
        for (size_t k = 0; k < entries.size(); ++k) {
          if (!shorts[k].empty() && EqualNoCase(shorts[k], seg)) {
            found = entries[k].name;
            foundHost = entries[k].host_name;
            isDir = entries[k].directory;
            break;
          }
        }
      }
    }
    if (found.empty() || (!last && !isDir)) {
      // Missing here: the rest keeps the case as asked.
      r.parent_exists = last;
      for (size_t k = i; k < segs.size(); ++k) {
        r.full = JoinPath(r.full, segs[k]);
        host = HostJoin(host, AnsiToUtf8(segs[k]));
      }
      r.host = host;
      r.name = segs.back();
      return r;
    }
    r.full = JoinPath(r.full, found);
    host = HostJoin(host, foundHost);
    if (last) {
      r.exists = r.parent_exists = true;
      r.directory = isDir;
      r.name = found;
    }
  }
  r.host = host;
  return r;
}

FileFlags FileSystem::Flags(const std::string& full) const {
  auto it = flags_.find(full);
  return it == flags_.end() ? FileFlags{} : it->second;
}

void FileSystem::SetReadOnly(const std::string& full, bool on) { flags_[full].read_only = on; }

void FileSystem::SetInUse(const std::string& full, bool on) { flags_[full].in_use = on; }

void FileSystem::SetArchive(const std::string& full, bool on) {
  auto it = flags_.find(full);
  if (it != flags_.end()) {
    it->second.archive_cleared = !on;
  } else if (!on) {
    flags_[full].archive_cleared = true;
  }
}

DWORD FileSystem::Attributes(const std::string& full, bool directory) const {
  const FileFlags f = Flags(full);
  DWORD a = directory ? FILE_ATTRIBUTE_DIRECTORY : f.archive_cleared ? 0 : FILE_ATTRIBUTE_ARCHIVE;
  if (f.read_only) a |= FILE_ATTRIBUTE_READONLY;
  return a ? a : FILE_ATTRIBUTE_NORMAL;  // NORMAL only ever stands alone
}

void FileSystem::ClearAllInUse() {
  for (auto& f : flags_) f.second.in_use = false;
}

void FileSystem::Forget(const std::string& full) {
  EraseSubtree(flags_, full);
  EraseSubtree(short_names_, full);
  EraseSubtree(created_, full);
  EraseSubtree(delete_pending_, full);
  // An item that leaves the Recycle Bin leaves its record.
  auto& items = recycle_bin.items;
  if (items.empty()) return;
  items.erase(std::remove_if(items.begin(), items.end(),
                             [&](const RecycledItem& item) {
                               return EqualNoCase(item.stored, full) ||
                                      StrictlyBelow(item.stored, JoinPath(full, ""));
                             }),
              items.end());
}

void FileSystem::Moved(const std::string& fromFull, const std::string& toFull) {
  const std::string prefix = JoinPath(fromFull, "");
  std::vector<std::pair<std::string, FileFlags>> moved;
  auto self = flags_.find(fromFull);
  if (self != flags_.end()) moved.emplace_back(toFull, self->second);
  for (auto it = flags_.lower_bound(prefix);
       it != flags_.end() && StartsWithNoCase(it->first, prefix); ++it)
    if (it->first.size() > prefix.size())
      moved.emplace_back(JoinPath(toFull, it->first.substr(prefix.size())), it->second);
  Forget(fromFull);
  for (auto& [path, f] : moved) flags_[path] = f;
  NoteCreated(toFull);
}

bool FileSystem::OpenBelow(const std::string& folderFull) const {
  const std::string prefix = JoinPath(folderFull, "");
  for (auto it = open_counts_.lower_bound(prefix);
       it != open_counts_.end() && StartsWithNoCase(it->first, prefix); ++it)
    if (it->first.size() > prefix.size()) return true;
  return false;
}

bool FileSystem::InUseBelow(const std::string& folderFull) const {
  const std::string prefix = JoinPath(folderFull, "");
  for (auto it = flags_.lower_bound(prefix);
       it != flags_.end() && StartsWithNoCase(it->first, prefix); ++it)
    if (it->second.in_use && it->first.size() > prefix.size()) return true;
  return false;
}

void FileSystem::NoteClosed(const std::string& full) {
  auto it = open_counts_.find(full);
  if (it == open_counts_.end()) return;
  if (--it->second > 0) return;
  open_counts_.erase(it);
  if (!DeletePending(full)) return;
  const PathLookup p = Lookup(full);
  if (p.exists && !p.directory) Host().RemoveFile(p.host);
  Forget(full);
}

void FileSystem::NoteCreated(const std::string& full) { created_[full] = next_created_++; }

std::vector<size_t> FileSystem::OrderAsWritten(const std::string& dirFull,
                                               const std::vector<DirEntry>& entries) const {
  std::vector<uint64_t> mark(entries.size(), 0);  // 0: present at load
  for (size_t i = 0; i < entries.size(); ++i) {
    auto it = created_.find(JoinPath(dirFull, entries[i].name));
    if (it != created_.end()) mark[i] = it->second;
  }
  std::vector<size_t> order(entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return mark[a] < mark[b]; });
  return order;
}

std::vector<std::string> FileSystem::ShortNames(const std::string& dirFull,
                                                const std::vector<DirEntry>& entries) const {
  std::vector<std::string> out(entries.size());
  std::set<std::string> taken;
  std::vector<bool> fixed(entries.size(), false);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (IsShortName(entries[i].name)) {
      taken.insert(UpperCase(entries[i].name));
      fixed[i] = true;
      continue;
    }
    auto it = short_names_.find(JoinPath(dirFull, entries[i].name));
    if (it != short_names_.end()) {
      out[i] = it->second;
      taken.insert(UpperCase(it->second));
      fixed[i] = true;
    }
  }
  // Names of one base and extension take tails 1, 2, 3, ... in turn; as
  // `taken` only grows, the search for the next one resumes where the last
  // stopped instead of trying every tail of a folder of look-alikes again.
  std::map<std::pair<std::string, std::string>, unsigned> nextTail;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (fixed[i]) continue;
    const std::string& name = entries[i].name;
    size_t dot = name.rfind('.');
    if (dot == 0) dot = std::string::npos;
    std::string base = CleanShortPart(dot == std::string::npos ? name : name.substr(0, dot));
    std::string ext = dot == std::string::npos ? "" : CleanShortPart(name.substr(dot + 1));
    if (ext.size() > 3) ext.resize(3);
    if (base.empty()) base = "_";
    unsigned& n = nextTail.emplace(std::make_pair(base, ext), 1).first->second;
    for (; n < 1000000; ++n) {
      std::string tail = "~" + std::to_string(n);
      std::string cand = base.substr(0, std::min(base.size(), 8 - tail.size())) + tail;
      if (!ext.empty()) cand += "." + ext;
      if (taken.insert(cand).second) {
        out[i] = cand;
        ++n;
        break;
      }
    }
  }
  return out;
}

std::string FileSystem::ShortName(const std::string& dirFull, const std::string& hostDir,
                                  const std::string& name, bool keep) {
  std::vector<DirEntry> entries;
  if (!List(hostDir, &entries)) return "";
  std::vector<std::string> shorts = ShortNames(dirFull, entries);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!EqualNoCase(entries[i].name, name)) continue;
    if (keep && !shorts[i].empty()) short_names_[JoinPath(dirFull, entries[i].name)] = shorts[i];
    return shorts[i];
  }
  return "";
}

std::string FileSystem::ImageRelative(const std::string& rel) const {
  std::string top = drives_root;
  while (top.size() > 1 && top.back() == '/') top.pop_back();
  top = top.substr(top.rfind('/') + 1);
  return rel.empty() ? top : top + "/" + rel;
}

std::string FileSystem::FindCaseClash() const {
  if (drives_root.empty()) return "";
  return WalkHost(Host(), [&](const std::string& rel, const std::vector<HostEntry>& entries) {
    // The drive folders themselves are no folder of the simulated PC.
    if (rel.empty()) return std::string();
    std::map<std::string, std::string> seen;  // upper-case name -> host name
    for (const HostEntry& e : entries) {
      // A name the code page cannot spell comes out with '?' for the
      // characters it lacks; two such names are not the same name.
      bool spelled = true;
      std::string ansi = Utf8ToAnsi(e.name, &spelled);
      auto [it, fresh] = seen.emplace(spelled ? UpperCase(ansi) : "\x01" + e.name, e.name);
      if (!fresh)
        return ImageRelative(rel) + ": names differ only in case: \"" + it->second + "\" and \"" +
               e.name + "\"";
    }
    return std::string();
  });
}

std::string FileSystem::FindUnsafeHostEntry() const {
  if (drives_root.empty()) return "";
  const HostFiles host = Host();
  // drives/ itself may be missing (no drives) but never a link.
  if (const char* what = UnsafeKindText(host.StatRoot().kind))
    return ImageRelative("") + ": " + what + " (images may hold only files and folders)";
  return WalkHost(host, [&](const std::string& rel, const std::vector<HostEntry>& entries) {
    for (const HostEntry& e : entries)
      if (const char* what = UnsafeKindText(e.stat.kind))
        return ImageRelative(rel.empty() ? e.name : rel + "/" + e.name) + ": " + what +
               " (images may hold only files and folders)";
    return std::string();
  });
}

}  // namespace sim
