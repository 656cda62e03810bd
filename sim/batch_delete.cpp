// DEL/ERASE and RD/RMDIR of the batch interpreter.
#include "sim/batch_interpreter.h"

namespace sim {

namespace {

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

std::string LastName(const std::string& full) { return full.substr(full.rfind('\\') + 1); }

std::string Folder(const std::string& full) {
  const size_t pos = full.rfind('\\');
  return pos <= 2 ? full.substr(0, 3) : full.substr(0, pos);
}

// Switches ("/F/Q" is two) and names of a command's arguments.
struct Arguments {
  std::string switches;  // upper-case letters, "?" for an empty switch
  std::vector<std::string> names;
  std::string first_bad;  // the first switch outside `known`
};

Arguments ParseArguments(const std::string& rest, const std::string& known) {
  Arguments a;
  for (const std::string& word : SplitArguments(rest, true)) {
    if (word.empty() || word[0] != '/') {
      a.names.push_back(word);
      continue;
    }
    size_t i = 0;
    while (i < word.size()) {
      const size_t next = word.find('/', i + 1);
      const std::string sw = word.substr(i + 1, next == std::string::npos ? next : next - i - 1);
      const char letter =
          sw.empty() ? '?' : static_cast<char>(FoldUpper(static_cast<unsigned char>(sw[0])));
      if (known.find(letter) == std::string::npos || sw.size() > 1) {
        if (a.first_bad.empty()) a.first_bad = sw;
      }
      a.switches += letter;
      i = next == std::string::npos ? word.size() : next;
    }
  }
  return a;
}

}  // namespace

void BatchInterpreter::Delete(const std::string& rest) {
  // cmd.exe knows /P /F /S /Q /A; the simulated PC carries out /F and /Q.
  const Arguments a = ParseArguments(rest, nt_ ? "PFSQA" : "P");
  if (!a.first_bad.empty())
    return Say("Invalid switch - " + (nt_ ? "\"" + a.first_bad + "\"." : "/" + a.first_bad));
  for (char s : std::string("SAP"))
    if (nt_ && a.switches.find(s) != std::string::npos)
      return Say(std::string("not carried out: DEL /") + s + " is not simulated");
  if (a.names.empty())
    return Say(nt_ ? "The syntax of the command is incorrect." : "Required parameter missing");
  // COMMAND.COM takes one name: an unquoted blank makes two.
  if (!nt_ && a.names.size() > 1) return Say("Too many parameters - " + a.names[1]);
  const bool force = a.switches.find('F') != std::string::npos;
  const bool quiet = a.switches.find('Q') != std::string::npos;
  for (const std::string& name : a.names) DeleteName(name, force, quiet);
}

void BatchInterpreter::DeleteName(const std::string& name, bool force, bool quiet) {
  const std::string notFound = nt_ ? "Could Not Find " : "File not found";
  std::string pattern;
  if (!Resolve(name, true, &pattern))
    return nt_ ? SayWindowsError(ERROR_INVALID_NAME) : Say(notFound);
  const std::string last = LastName(pattern);
  bool everything = last == "*" || last == "*.*";
  if (!HasWildcard(last)) {
    const DWORD attributes = GetFileAttributesA(pattern.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      if (!nt_) return Say(notFound);
      return error == ERROR_FILE_NOT_FOUND ? Say(notFound + pattern) : SayWindowsError(error);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A folder's name stands for all the files in it.
      pattern = JoinPath(pattern, "*");
      everything = true;
    }
  }
  if (everything && !quiet) {
    // The question is answered Y, as the batch's user would to go on.
    Say(nt_ ? pattern + ", Are you sure (Y/N)? Y"
            : "All files in directory will be deleted!\nAre you sure (Y/N)?Y");
  }
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (!nt_) return Say(notFound);
    return error == ERROR_FILE_NOT_FOUND ? Say(notFound + pattern) : SayWindowsError(error);
  }
  std::vector<std::string> files;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  if (files.empty()) return Say(nt_ ? notFound + pattern : notFound);
  const std::string folder = Folder(pattern);
  for (const std::string& file : files) {
    const std::string path = JoinPath(folder, file);
    if (force) {
      const DWORD attributes = GetFileAttributesA(path.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    }
    if (DeleteFileA(path.c_str())) {
      Say("deleted " + path);
    } else if (nt_) {
      const DWORD error = GetLastError();
      Say(path);
      SayWindowsError(error);
    } else {
      Say("Access denied");
    }
  }
}

void BatchInterpreter::RemoveDirectories(const std::string& rest) {
  const Arguments a = ParseArguments(rest, nt_ ? "SQ" : "");
  if (!a.first_bad.empty())
    return Say("Invalid switch - " + (nt_ ? "\"" + a.first_bad + "\"." : "/" + a.first_bad));
  if (a.switches.find('S') != std::string::npos)
    return Say("not carried out: RD /S is not simulated");
  if (a.names.empty())
    return Say(nt_ ? "The syntax of the command is incorrect." : "Required parameter missing");
  if (!nt_ && a.names.size() > 1) return Say("Too many parameters - " + a.names[1]);
  const std::string failed = "Invalid path, not directory,\nor directory not empty";
  for (const std::string& name : a.names) {
    std::string full;
    if (HasWildcard(name) || !Resolve(name, false, &full)) {
      nt_ ? SayWindowsError(ERROR_INVALID_NAME) : Say(failed);
      continue;
    }
    if (RemoveDirectoryA(full.c_str())) {
      Say("removed " + full);
    } else {
      nt_ ? SayWindowsError(GetLastError()) : Say(failed);
    }
  }
}

}  // namespace sim
