#include "sim/batch_interpreter.h"

#include <set>

#include "sim/batch_copy.h"
#include "sim/batch_regedit.h"
#include "sim/system_messages.h"

namespace sim {

namespace {

// Internal commands of each interpreter that a deferred erase batch never
// holds: named as not carried out rather than as unknown commands.
const std::set<std::string> kOtherCmdCommands = {
    "ASSOC", "BREAK",  "CALL",  "CLS", "COLOR",  "COPY",  "DATE",     "DIR",   "ENDLOCAL",
    "FOR",   "FTYPE",  "GOTO",  "IF",  "MD",     "MKDIR", "MOVE",     "PATH",  "PAUSE",
    "POPD",  "PROMPT", "PUSHD", "REN", "RENAME", "SET",   "SETLOCAL", "SHIFT", "START",
    "TIME",  "TITLE",  "TYPE",  "VER", "VERIFY", "VOL"};
const std::set<std::string> kOtherCommandComCommands = {
    "BREAK", "CALL",     "CHCP",  "CLS",    "COPY", "CTTY",     "DATE", "DIR",
    "FOR",   "GOTO",     "IF",    "LFNFOR", "LH",   "LOADHIGH", "LOCK", "MD",
    "MKDIR", "PATH",     "PAUSE", "PROMPT", "REN",  "RENAME",   "SET",  "SHIFT",
    "TIME",  "TRUENAME", "TYPE",  "UNLOCK", "VER",  "VERIFY",   "VOL"};

// Characters that end an internal command's name ("CD\", "ECHO.", "DEL/Q").
bool EndsCommandName(char c) {
  return IsArgumentDelimiter(c) || c == '.' || c == '/' || c == '\\' || c == '(' || c == '+' ||
         c == ':' || c == '[' || c == ']' || c == '"';
}

constexpr size_t kCommandComLine = 127;

char Upper(char c) { return static_cast<char>(FoldUpper(static_cast<unsigned char>(c))); }

bool IsDriveOnly(const std::string& s) {
  return s.size() == 2 && s[1] == ':' &&
         ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
}

std::string SkipLeading(const std::string& s, bool atSigns) {
  size_t i = 0;
  while (i < s.size() && (IsArgumentDelimiter(s[i]) || (atSigns && s[i] == '@'))) ++i;
  return s.substr(i);
}

}  // namespace

BatchEnvironment LogonEnvironment(const Machine& m) {
  BatchEnvironment env;
  if (const std::string* temp = m.system.Directory("temp")) {
    std::string t = *temp;
    if (t.size() > 3 && t.back() == '\\') t.pop_back();  // as TEMP is set: no backslash
    env["TEMP"] = t;
    env["TMP"] = t;
  }
  if (const std::string* windows = m.system.Directory("windows")) {
    env["windir"] = *windows;
    if (m.system.NtFamily()) env["SystemRoot"] = *windows;
  }
  return env;
}

BatchInterpreter::BatchInterpreter(Machine& m, std::ostream& out)
    : m_(m), out_(out), nt_(m.system.NtFamily()), environment_(LogonEnvironment(m)) {
  drive_dirs_[CurrentDrive()] = m_.files.current_dir;
  percent_.environment = &environment_;
  percent_.nt = nt_;
}

void BatchInterpreter::Run(const std::string& text, const std::vector<std::string>& arguments) {
  percent_.arguments = arguments;
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\n') {
      lines.emplace_back();
    } else if (c != '\r') {  // CR LF and LF end a line; other CRs are dropped
      lines.back() += c;
    }
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    // COMMAND.COM reads at most 127 bytes of a batch line; the rest is lost.
    if (!nt_ && lines[i].size() > kCommandComLine) lines[i].resize(kCommandComLine);
    std::string line = ExpandPercent(lines[i], percent_);
    while (nt_ && i + 1 < lines.size() && TakeLineContinuation(&line))
      line += ExpandPercent(lines[++i], percent_);
    const std::string shown = SkipLeading(line, false);
    if (shown.empty() || shown[0] == ':') continue;  // blank lines and labels do nothing
    const bool hidden = !echo_ || shown[0] == '@';
    out_ << AnsiToUtf8(m_.files.current_dir) << "> " << AnsiToUtf8(shown)
         << (hidden ? "    (not echoed)" : "") << "\n";
    std::vector<std::string> commands{shown};
    std::string unsupported;
    if (nt_ && !SplitCmdCommands(shown, &commands, &unsupported)) {
      Say("not carried out: the simulated PC does not carry out " + unsupported);
      continue;
    }
    bool goOn = true;
    for (const std::string& command : commands)
      if (!(goOn = RunCommand(SkipLeading(command, true)))) break;
    if (!goOn) break;
  }
}

bool BatchInterpreter::RunCommand(const std::string& command) {
  if (command.empty()) return true;
  if (IsDriveOnly(TrimBlanks(command))) {
    ChangeDrive(Upper(command[0]));
    return true;
  }
  size_t end = 0;
  while (end < command.size() && !EndsCommandName(command[end])) ++end;
  const std::string name = UpperCase(command.substr(0, end));
  const std::string rest = command.substr(end);
  if (name == "REM") return true;
  if (name == "ECHO") {
    Echo(rest);
  } else if (name == "CD" || name == "CHDIR") {
    ChangeDirectory(rest);
  } else if (name == "DEL" || name == "ERASE") {
    Delete(rest);
  } else if (name == "RD" || name == "RMDIR") {
    RemoveDirectories(rest);
  } else if (name == "REGEDIT" && RunRegedit(m_, rest, [this](const std::string& t) { Say(t); })) {
  } else if (IsCopyCommand(name)) {
    CopyCommand(name, rest);
  } else if (name == "EXIT") {
    return false;
  } else if ((nt_ ? kOtherCmdCommands : kOtherCommandComCommands).count(name)) {
    Say("not carried out: " + name + " is not simulated");
  } else if (nt_) {
    const std::vector<std::string> words = SplitArguments(command, false);
    Say("'" + (words.empty() ? command : words[0]) +
        "' is not recognized as an internal or external command,\n"
        "operable program or batch file.");
  } else {
    Say("Bad command or file name");
  }
  return true;
}

void BatchInterpreter::Echo(const std::string& rest) {
  const std::string state =
      nt_ ? (echo_ ? "ECHO is on." : "ECHO is off.") : (echo_ ? "ECHO is on" : "ECHO is off");
  if (rest.empty()) return Say(state);
  const std::string text = rest.substr(1);  // the character after ECHO goes
  if (IsArgumentDelimiter(rest[0])) {
    const std::string word = UpperCase(TrimBlanks(text));
    if (word.empty()) return Say(state);
    if (word == "ON" || word == "OFF") {
      echo_ = word == "ON";
      return;
    }
  }
  Say(text);
}

char BatchInterpreter::CurrentDrive() const { return Upper(m_.files.current_dir[0]); }

std::string BatchInterpreter::DriveDirectory(char drive) const {
  auto it = drive_dirs_.find(drive);
  return it != drive_dirs_.end() ? it->second : std::string(1, drive) + ":\\";
}

bool BatchInterpreter::DriveUsable(char drive) const {
  return m_.files.DriveExists(drive) && m_.files.DriveType(drive) != DRIVE_NO_ROOT_DIR;
}

void BatchInterpreter::ChangeDrive(char drive) {
  if (!DriveUsable(drive))
    return Say(nt_ ? "The system cannot find the drive specified." : "Invalid drive specification");
  drive_dirs_[CurrentDrive()] = m_.files.current_dir;
  const std::string dir = DriveDirectory(drive);
  // A folder removed since it was that drive's directory leaves its root.
  if (!SetCurrentDirectoryA(dir.c_str())) SetCurrentDirectoryA((dir.substr(0, 2) + "\\").c_str());
  drive_dirs_[drive] = m_.files.current_dir;
}

bool BatchInterpreter::Resolve(const std::string& name, bool wildcardLast, std::string* full) {
  std::string path = name;
  if (name.size() >= 2 && name[1] == ':' &&
      (name.size() == 2 || (name[2] != '\\' && name[2] != '/'))) {
    const char drive = Upper(name[0]);
    if (drive != CurrentDrive()) {
      const std::string rest = name.substr(2);
      path = rest.empty() ? DriveDirectory(drive) : JoinPath(DriveDirectory(drive), rest);
    }
  }
  DWORD error = 0;
  return m_.files.FullPath(path, full, &error, wildcardLast);
}

void BatchInterpreter::ChangeDirectory(const std::string& rest) {
  std::string target;
  bool switchDrive = false;
  if (nt_) {
    // cmd.exe: the rest of the line is one path, blanks and all.
    target = SkipLeading(rest, false);
    if (target.size() >= 2 && target[0] == '/' && Upper(target[1]) == 'D' &&
        (target.size() == 2 || IsArgumentDelimiter(target[2]))) {
      switchDrive = true;
      target = SkipLeading(target.substr(2), false);
    }
    target = TrimBlanks(WithoutQuotes(target));
  } else {
    const std::vector<std::string> words = SplitArguments(rest, true);
    if (words.size() > 1) return Say("Too many parameters - " + words[1]);
    if (!words.empty()) target = words[0];
  }
  const std::string noPath =
      nt_ ? "The system cannot find the path specified." : "Invalid directory";
  if (target.empty()) return Say(m_.files.current_dir);
  if (IsDriveOnly(target)) {
    const char drive = Upper(target[0]);
    if (!DriveUsable(drive))
      return Say(nt_ ? "The system cannot find the drive specified."
                     : "Invalid drive specification");
    return Say(DriveDirectory(drive));
  }
  std::string full;
  if (!Resolve(target, false, &full))
    return Say(nt_ ? "The filename, directory name, or volume label syntax is incorrect."
                   : "Invalid directory");
  const char drive = Upper(full[0]);
  if (!nt_ && !DriveUsable(drive)) return Say("Invalid drive specification");
  const DWORD attributes = GetFileAttributesA(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return nt_ && error != ERROR_FILE_NOT_FOUND ? SayWindowsError(error) : Say(noPath);
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Say(nt_ ? "The directory name is invalid." : "Invalid directory");
  if (drive != CurrentDrive() && !switchDrive) {
    drive_dirs_[drive] = full;  // that drive's own directory; the drive stays
    return;
  }
  drive_dirs_[CurrentDrive()] = m_.files.current_dir;
  if (!SetCurrentDirectoryA(full.c_str()))
    return nt_ ? SayWindowsError(GetLastError()) : Say(noPath);
  drive_dirs_[drive] = m_.files.current_dir;
}

void BatchInterpreter::Say(const std::string& text) {
  size_t from = 0;
  for (;;) {
    const size_t nl = text.find('\n', from);
    out_ << "  -> " << AnsiToUtf8(text.substr(from, nl - from)) << "\n";
    if (nl == std::string::npos) break;
    from = nl + 1;
  }
}

void BatchInterpreter::SayWindowsError(DWORD error) {
  std::string text;
  if (const char* message = SystemMessage(error)) text = message;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  Say(text.empty() ? "Windows error " + std::to_string(error) : text);
}

}  // namespace sim
