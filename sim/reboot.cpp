#include "sim/reboot.h"

#include <vector>

#include "sim/batch_interpreter.h"
#include "sim/pending_renames.h"
#include "sim/system_messages.h"

namespace sim {

namespace {

const char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

std::string WindowsName(const WindowsVersion& v) {
  if (v.platform == VER_PLATFORM_WIN32_WINDOWS)
    return v.minor == 0 ? "95" : v.minor < 90 ? "98" : "ME";
  if (v.major == 4) return "NT 4.0";
  if (v.major == 5 && v.minor == 0) return "2000";
  if (v.major == 5 && v.minor == 1) return "XP";
  return "NT " + std::to_string(v.major) + "." + std::to_string(v.minor);
}

std::string EndsWithNoCase(const std::string& s, size_t n) {
  return s.size() >= n ? UpperCase(s.substr(s.size() - n)) : std::string();
}

bool IsBatchName(const std::string& path, bool nt) {
  const std::string ext = EndsWithNoCase(path, 4);
  return ext == ".BAT" || (nt && ext == ".CMD");
}

// REG_EXPAND_SZ as ExpandEnvironmentStrings does it: an undefined name stays.
std::string ExpandEnvironment(const std::string& text, const BatchEnvironment& env) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const size_t open = text.find('%', i);
    const size_t close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) break;
    out += text.substr(i, open - i);
    auto it = env.find(text.substr(open + 1, close - open - 1));
    if (it != env.end()) {
      out += it->second;
      i = close + 1;
    } else {
      out += '%';
      i = open + 1;
    }
  }
  return out + text.substr(i);
}

std::string ErrorText(DWORD error) {
  std::string text;
  if (const char* message = SystemMessage(error)) text = message;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text.empty() ? "error " + std::to_string(error) : text;
}

bool IsFile(Machine& m, const std::string& path) {
  const PathLookup p = m.files.Lookup(path);
  return p.exists && !p.directory;
}

// The program of a command line as Windows finds it: a quoted path, or an
// unquoted one that may hold blanks (the shortest that names a batch file),
// and the arguments after it.
void SplitCommandLine(Machine& m, const std::string& line, std::string* program, std::string* given,
                      std::string* args) {
  const std::string text = TrimBlanks(line);
  if (!text.empty() && text[0] == '"') {
    const size_t close = text.find('"', 1);
    *program = text.substr(1, close == std::string::npos ? close : close - 1);
    *given = close == std::string::npos ? text : text.substr(0, close + 1);
    *args = close == std::string::npos ? "" : text.substr(close + 1);
    return;
  }
  size_t end = text.find_first_of(" \t");
  for (size_t blank = end; blank != std::string::npos;
       blank = text.find_first_of(" \t", blank + 1)) {
    if (IsBatchName(text.substr(0, blank), true) && IsFile(m, text.substr(0, blank))) {
      end = blank;
      break;
    }
  }
  *program = *given = text.substr(0, end);
  *args = end == std::string::npos ? "" : text.substr(end);
}

void RunCommandLine(Machine& m, const std::string& line, std::ostream& out) {
  const bool nt = m.system.NtFamily();
  std::string program, given, args;
  SplitCommandLine(m, line, &program, &given, &args);
  if (!IsBatchName(program, nt)) {
    out << "[runonce]   not run: the simulated PC runs only batch files\n";
    return;
  }
  std::string text;
  DWORD error = 0;
  if (!ReadWholeFile(program, &text, &error)) {
    out << "[runonce]   not run: " << ErrorText(error) << "\n";
    return;
  }
  // Each command is a process of its own, started in the shell's directory.
  SetCurrentDirectoryA(RunOnceStartDirectory(m).c_str());
  out << "[batch] " << AnsiToUtf8(program) << " runs in " << (nt ? "cmd.exe" : "COMMAND.COM")
      << "\n";
  std::vector<std::string> arguments{given};
  for (const std::string& a : SplitArguments(args, false)) arguments.push_back(a);
  BatchInterpreter(m, out).Run(text, arguments);
  out << "[batch] " << AnsiToUtf8(program) << " ends\n";
}

void RunOnceKey(Machine& m, const std::string& hive, std::ostream& out) {
  const std::string path = hive + "\\" + kRunOnce;
  RegKey* key = m.registry.Find(path);
  if (!key || key->values.empty()) return;
  out << "[runonce] " << hive << "\\" << kRunOnce << "\n";
  std::vector<std::string> names;
  for (const RegValue& v : key->values) names.emplace_back(v.name());
  const BatchEnvironment env = LogonEnvironment(m);
  for (const std::string& name : names) {
    const RegValue* value = key->FindValue(name);
    if (!value) continue;
    const DWORD type = value->type;
    std::string command(value->data());
    command = command.substr(0, command.find('\0'));
    if (type == REG_EXPAND_SZ) command = ExpandEnvironment(command, env);
    const bool afterwards = !name.empty() && name[0] == '!';
    out << "[runonce] " << AnsiToUtf8(name) << ": " << AnsiToUtf8(command) << "\n";
    // Deleted first, so a command that fails is not tried again at each start.
    if (!afterwards) m.registry.DeleteValue(key, name);
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      RunCommandLine(m, command, out);
    } else {
      out << "[runonce]   not run: not a string value\n";
    }
    if (afterwards) m.registry.DeleteValue(key, name);
  }
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* content, DWORD* error) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return false;
  }
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) content->append(buffer, got);
  CloseHandle(h);
  return true;
}

std::string RunOnceStartDirectory(const Machine& m) {
  const std::string* dir = m.system.Directory(m.system.NtFamily() ? "system" : "windows");
  return dir ? *dir : m.files.current_dir.substr(0, 2) + "\\";
}

void Reboot(Machine& m, std::ostream& out) {
  ScopedMachine scope(m);
  const bool nt = m.system.NtFamily();
  out << "[reboot] Windows " << WindowsName(m.system.version) << " starts\n";
  m.faults.enabled = false;
  size_t inUse = 0;
  for (const auto& f : m.files.AllFlags()) inUse += f.second.in_use ? 1 : 0;
  m.files.ClearAllInUse();
  out << "[reboot] nothing is open any more: in-use flags cleared on " << inUse << " file(s)\n";
  if (m.json.contains("restart") && !m.json["restart"].is_null()) {
    m.json["restart"] = nullptr;  // the restart asked for has happened
    out << "[reboot] the restart request is done\n";
  }
  if (nt) CarryOutPendingRenames(m, out);
  SetCurrentDirectoryA(RunOnceStartDirectory(m).c_str());
  // NT: HKLM's RunOnce runs at an administrator's logon only.
  if (nt && !m.system.administrator) {
    out << "[runonce] HKLM\\" << kRunOnce << " waits for an administrator's logon\n";
  } else {
    RunOnceKey(m, "HKLM", out);
  }
  RunOnceKey(m, "HKCU", out);
  out << "[reboot] Windows " << WindowsName(m.system.version) << " is running\n";
}

}  // namespace sim
