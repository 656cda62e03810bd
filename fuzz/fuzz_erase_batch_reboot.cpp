// libFuzzer: random file names through the file remover, its deferred erase
// batch and the next start of Windows. The first byte picks Windows XP or 98
// (bit 0); every further line makes one thing on a small PC:
//   f PATH  a file the files list names      l PATH  the same, in use
//   r PATH  the same, read-only              s PATH  a folder the list sweeps
//   b PATH  a file the list does not name    (an upper-case letter: on D:,
//                                             a removable drive)
// PATH is relative to X:\Fz, "/" between names; names keep blanks, %, &, ^,
// quotes and the like. Beside each file its name's pieces (cut at blanks, %,
// &, ^, ",", ";", "=") are made as files too, in its folder, in the folder a
// RunOnce batch starts in and in the drive's root: what a badly formed batch
// line would hit.
//
// The oracle: after the run and again after the restart, the only paths
// gone are the entries' own — a named file, a swept folder and the files
// directly in it. Nothing outside drives/ is touched. A violation traps.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/run_state.h"
#include "files/remove_software.h"
#include "fuzz/work_folder.h"
#include "sim/machine.h"
#include "sim/reboot.h"

namespace fs = std::filesystem;

namespace {

const fs::path& WorkDir() { return fuzz::WorkDir("erase_batch"); }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A name Windows keeps as it is: printable ASCII without \ / : * ? < > | and
// without trailing dots or blanks (which Windows drops), lower case (two
// host names differing only in case would make the PC invalid).
std::string CleanName(const std::string& raw) {
  std::string name;
  for (char c : raw) {
    if (c < 0x20 || c > 0x7E || std::string("\\/:*?<>|\"").find(c) != std::string::npos) continue;
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  if (name == "." || name == "..") name.clear();
  return name.substr(0, 40);
}

// PATH of a line as names; empty when nothing usable is left.
std::vector<std::string> Names(const std::string& path) {
  std::vector<std::string> names;
  std::stringstream in(path);
  std::string part;
  while (std::getline(in, part, '/')) {
    const std::string name = CleanName(part);
    if (!name.empty()) names.push_back(name);
    if (names.size() == 3) break;
  }
  return names;
}

// The PATH of a line: after its letter and one blank.
std::vector<std::string> LineNames(const std::string& line) {
  const size_t from = line.size() > 1 && line[1] == ' ' ? 2 : 1;
  return Names(line.substr(from));
}

// The pieces a command interpreter could cut a name into.
std::vector<std::string> Pieces(const std::string& name) {
  std::vector<std::string> pieces;
  std::string piece;
  for (char c : name + " ") {
    if (std::string(" %&^,;=").find(c) != std::string::npos) {
      const std::string p = CleanName(piece);
      if (!p.empty() && p != name) pieces.push_back(p);
      piece.clear();
    } else {
      piece += c;
    }
  }
  return pieces;
}

bool MakeFile(const fs::path& host) {
  std::error_code ec;
  fs::create_directories(host.parent_path(), ec);
  if (ec || fs::exists(host, ec)) return !ec && fs::is_regular_file(host, ec);
  std::ofstream(host, std::ios::binary) << "x";
  return fs::is_regular_file(host, ec);
}

// Every path below drives/, as a lower-case Windows path ("c:\fz\a b.txt"),
// a folder's with a backslash at its end. The iterator's paths start with
// `drives` as given, so the relative path is the rest of the string
// (fs::relative would resolve every component of both paths on the host).
std::set<std::string> Listing(const fs::path& drives) {
  std::set<std::string> paths;
  std::error_code ec;
  const size_t prefix = (drives / "").generic_string().size();
  for (auto it = fs::recursive_directory_iterator(drives, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    const std::string full = it->path().generic_string();
    if (full.size() <= prefix) continue;
    std::string rel = full.substr(prefix);
    std::replace(rel.begin(), rel.end(), '/', '\\');
    rel.insert(1, ":");
    if (it->is_directory(ec)) rel += '\\';
    paths.insert(Lower(rel));
  }
  return paths;
}

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }

struct Pc {
  CStringArray list;
  std::set<std::string> files;  // named files
  std::set<std::string> swept;  // swept folders
};

// Made when the PC is set up, never named by the list.
const char* const kBystanders[] = {"C/keep.txt", "C/WINDOWS/system32/x.dll", "C/WINDOWS/sys.ini",
                                   "D/keep.txt"};

Pc MakePc(const fs::path& drives, const std::string& text, bool nt) {
  Pc pc;
  for (const char* b : kBystanders) MakeFile(drives / b);
  const fs::path start = drives / "C" / (nt ? "WINDOWS/system32" : "WINDOWS");
  std::stringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() < 2) continue;
    const char op = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
    const char drive = std::isupper(static_cast<unsigned char>(line[0])) ? 'D' : 'C';
    const std::vector<std::string> names = LineNames(line);
    if (names.empty() || std::string("flrsb").find(op) == std::string::npos) continue;
    fs::path host = drives / std::string(1, drive) / "fz";
    std::string win = std::string(1, drive) + ":\\fz";
    for (const std::string& n : names) {
      host /= n;
      win += "\\" + n;
    }
    std::error_code ec;
    if (op == 's') {
      if (!MakeFile(host / "in 1.txt") || !MakeFile(host / "in%2.txt")) continue;
      fs::create_directories(host / "sub", ec);
      MakeFile(host / "sub" / "deep.txt");
      pc.list.push_back(">" + win);
      pc.swept.insert(Lower(win));
      continue;
    }
    if (fs::is_directory(host, ec)) {
      // A folder named as a file: it must stay (unless a sweep takes it).
      if (op != 'b') pc.list.push_back(win);
      continue;
    }
    if (!MakeFile(host)) continue;
    for (const std::string& piece : Pieces(names.back())) {
      MakeFile(host.parent_path() / piece);
      MakeFile(start / piece);
      MakeFile(drives / std::string(1, drive) / piece);
    }
    if (op == 'b') continue;
    pc.list.push_back(win);
    pc.files.insert(Lower(win));
  }
  return pc;
}

void SetFlags(sim::Machine& m, const std::string& text) {
  std::stringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() < 2) continue;
    const char op = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
    const char drive = std::isupper(static_cast<unsigned char>(line[0])) ? 'D' : 'C';
    std::string win = std::string(1, drive) + ":\\fz";
    for (const std::string& n : LineNames(line)) win += "\\" + n;
    if (op == 'l') m.files.SetInUse(win, true);
    if (op == 'r') m.files.SetReadOnly(win, true);
    if (op == 's') m.files.SetInUse(win + "\\in 1.txt", true);
  }
}

bool MayGo(const Pc& pc, const std::string& path) {
  // The batch and the run log are the program's own.
  if (path.rfind("c:\\windows\\temp\\", 0) == 0) return true;
  if (path.back() == '\\') return pc.swept.count(path.substr(0, path.size() - 1)) > 0;
  return pc.files.count(path) > 0 || pc.swept.count(Parent(path)) > 0;
}

void CheckGone(const Pc& pc, const std::set<std::string>& before,
               const std::set<std::string>& after) {
  for (const std::string& path : before) {
    if (!after.count(path) && !MayGo(pc, path)) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool nt = (data[0] & 1) != 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const fs::path image = WorkDir() / "pc";
  const fs::path outside = WorkDir() / "outside";
  const fs::path drives = image / "drives";
  static const bool once = MakeFile(outside / "keep.txt");
  (void)once;
  std::error_code ec;
  fs::remove_all(drives, ec);
  fs::create_directories(drives / "C" / "WINDOWS" / "TEMP", ec);
  fs::create_directories(drives / "C" / "WINDOWS" / "system32", ec);
  fs::create_directories(drives / "D", ec);
  const Pc pc = MakePc(drives, text, nt);

  sim::Machine m;
  m.files.drives_root = drives.string();
  m.files.drives['C'] = sim::DriveInfo{};
  sim::DriveInfo removable;
  removable.type = DRIVE_REMOVABLE;
  m.files.drives['D'] = removable;
  if (!nt) sim::VersionFromName("98", &m.system.version);
  m.system.SetDirectory("windows", "C:\\WINDOWS");
  m.system.SetDirectory("system", nt ? "C:\\WINDOWS\\system32" : "C:\\WINDOWS\\SYSTEM");
  m.system.SetDirectory("temp", "C:\\WINDOWS\\TEMP\\");
  m.system.SetDirectory("current", "C:\\WINDOWS");
  m.files.current_dir = "C:\\WINDOWS";
  m.registry.Create("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
  SetFlags(m, text);

  const std::set<std::string> before = Listing(drives);
  {
    sim::ScopedMachine scope(m);
    ResetAllRunState();
    CRemoveSoftware remover;
    remover.DeleteFiles(pc.list, nt ? 5 : 1);
  }
  const std::set<std::string> afterRun = Listing(drives);
  CheckGone(pc, before, afterRun);

  std::ostringstream out;
  sim::Reboot(m, out);
  CheckGone(pc, afterRun, Listing(drives));
  if (!fs::is_regular_file(outside / "keep.txt", ec) || !fs::is_directory(drives, ec))
    __builtin_trap();
  return 0;
}
