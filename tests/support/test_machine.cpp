#include "support/test_machine.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string MakeTempDir() {
  std::random_device rd;
  std::mt19937_64 gen(
      rd() ^ static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int i = 0; i < 100; ++i) {
    fs::path p = fs::temp_directory_path() / ("cvs_tm_" + std::to_string(gen()));
    std::error_code ec;
    if (fs::create_directory(p, ec)) return p.string();
  }
  return (fs::temp_directory_path() / "cvs_tm_fallback").string();
}

void DefaultDirectories(sim::SystemInfo& s, const std::string& windows) {
  const bool nine = windows == "95" || windows == "98" || windows == "me";
  const bool winnt = windows == "nt4" || windows == "2000";
  const std::string win = winnt ? "C:\\WINNT" : "C:\\WINDOWS";
  s.SetDirectory("current", "C:\\Scrubber");
  s.SetDirectory("windows", win);
  s.SetDirectory("temp", win + "\\TEMP\\");
  if (nine) {
    s.SetDirectory("system", win + "\\SYSTEM");
    s.SetDirectory("desktop", win + "\\Desktop");
    s.SetDirectory("programs", win + "\\Start Menu\\Programs");
    s.SetDirectory("startup", win + "\\Start Menu\\Programs\\StartUp");
    return;
  }
  s.SetDirectory("system", win + "\\system32");
  const std::string profiles =
      windows == "nt4" ? win + "\\Profiles" : std::string("C:\\Documents and Settings");
  s.SetDirectory("desktop", profiles + "\\Owner\\Desktop");
  s.SetDirectory("common_desktop", profiles + "\\All Users\\Desktop");
  s.SetDirectory("programs", profiles + "\\Owner\\Start Menu\\Programs");
  s.SetDirectory("common_programs", profiles + "\\All Users\\Start Menu\\Programs");
  s.SetDirectory("startup", profiles + "\\Owner\\Start Menu\\Programs\\Startup");
  s.SetDirectory("common_startup", profiles + "\\All Users\\Start Menu\\Programs\\Startup");
}

}  // namespace

TestMachine::TestMachine(const std::string& windows) : dir_(MakeTempDir()) {
  scope_ = new sim::ScopedMachine(m);
  m.SetCodePage(1252);
  sim::VersionFromName(windows, &m.system.version);
  m.registry.nt_family = m.system.NtFamily();
  m.system.computer_name = "SHOP-PC";
  m.system.SetStartTime("2003-03-05T09:07:04.021");
  m.system.privileges = {"SeShutdownPrivilege", "SeTakeOwnershipPrivilege"};
  DefaultDirectories(m.system, windows);
  fs::create_directories(fs::path(dir_) / "drives" / "C");
  m.files.drives_root = (fs::path(dir_) / "drives").string();
  m.files.drives['C'] = sim::DriveInfo{};
  for (const char* name : {"windows", "system", "temp"}) AddDir(*m.system.Directory(name));
  SetCurrentDir(*m.system.Directory("current"));
}

TestMachine::~TestMachine() {
  delete scope_;
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

std::string TestMachine::HostPath(const std::string& winPath) const {
  return m.files.Lookup(winPath).host;
}

void TestMachine::AddDir(const std::string& winPath) {
  sim::PathLookup p = m.files.Lookup(winPath);
  if (p.exists) return;
  // Create each missing folder so the stored case of existing ones is kept.
  std::string full = p.full;
  size_t pos = full.find('\\', 3);
  while (true) {
    std::string part = pos == std::string::npos ? full : full.substr(0, pos);
    sim::PathLookup q = m.files.Lookup(part);
    if (!q.exists && !q.host.empty()) fs::create_directory(q.host);
    if (pos == std::string::npos) break;
    pos = full.find('\\', pos + 1);
  }
}

void TestMachine::AddFile(const std::string& winPath, const std::string& content) {
  sim::PathLookup p = m.files.Lookup(winPath);
  std::string parent = p.full.substr(0, p.full.rfind('\\'));
  if (parent.size() == 2) parent += '\\';
  AddDir(parent);
  std::ofstream out(m.files.Lookup(winPath).host, std::ios::binary | std::ios::trunc);
  out << content;
}

bool TestMachine::Exists(const std::string& winPath) const {
  return m.files.Lookup(winPath).exists;
}

bool TestMachine::IsDir(const std::string& winPath) const {
  sim::PathLookup p = m.files.Lookup(winPath);
  return p.exists && p.directory;
}

std::string TestMachine::ReadFile(const std::string& winPath) const {
  sim::PathLookup p = m.files.Lookup(winPath);
  if (!p.exists || p.directory) return "";
  std::ifstream in(p.host, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void TestMachine::Remove(const std::string& winPath) {
  sim::PathLookup p = m.files.Lookup(winPath);
  std::error_code ec;
  if (p.exists) fs::remove_all(p.host, ec);
}

void TestMachine::SetReadOnly(const std::string& winPath, bool on) {
  m.files.SetReadOnly(m.files.Lookup(winPath).full, on);
}

void TestMachine::SetInUse(const std::string& winPath, bool on) {
  m.files.SetInUse(m.files.Lookup(winPath).full, on);
}

void TestMachine::AddDrive(char letter, UINT type, unsigned long long freeBytes) {
  sim::DriveInfo d;
  d.type = type;
  d.free_bytes = freeBytes;
  m.files.drives[letter] = d;
  if (type != DRIVE_NO_ROOT_DIR)
    fs::create_directories(fs::path(dir_) / "drives" / std::string(1, letter));
}

void TestMachine::SetCurrentDir(const std::string& winPath) {
  AddDir(winPath);
  m.files.current_dir = m.files.Lookup(winPath).full;
  m.system.SetDirectory("current", m.files.current_dir);
}

void TestMachine::SetDirectory(const std::string& name, const std::string& winPath) {
  m.system.SetDirectory(name, winPath);
}

void TestMachine::SetDirectoryNull(const std::string& name) {
  m.system.directories[name] = std::nullopt;
}

void TestMachine::AddFault(const std::string& call, DWORD error, const std::string& path,
                           int times) {
  sim::Fault f;
  f.call = call;
  f.path = path;
  f.error = error;
  f.times = times;
  m.faults.list.push_back(f);
}

void TestMachine::AddKeyFault(const std::string& call, DWORD error, const std::string& key,
                              int times) {
  sim::Fault f;
  f.call = call;
  f.key = key;
  f.error = error;
  f.times = times;
  m.faults.list.push_back(f);
}
