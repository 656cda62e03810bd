// COPY, MD/MKDIR and ATTRIB of the batch interpreter, as COMMAND.COM and
// cmd.exe carry them out in a batch file: COPY replaces an existing target
// without asking (both ask only at a prompt), cmd.exe's MD makes the missing
// folders above the new one, COMMAND.COM's only the last. ATTRIB is a program
// of Windows on both (ATTRIB.EXE, attrib.exe) and prints nothing when it
// works.
#include "sim/batch_copy.h"

#include <vector>

#include "sim/batch_interpreter.h"

namespace sim {

namespace {

std::string LastName(const std::string& full) { return full.substr(full.rfind('\\') + 1); }

bool IsDirectory(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Copies the bytes of source to target (made or emptied); 0 or the error.
DWORD CopyBytes(const std::string& source, const std::string& target) {
  HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  if (in == INVALID_HANDLE_VALUE) return GetLastError();
  HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    CloseHandle(in);
    return error;
  }
  DWORD error = 0;
  char buffer[16384];
  DWORD got = 0;
  while (error == 0 && ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    DWORD written = 0;
    if (!WriteFile(out, buffer, got, &written, nullptr) || written != got)
      error = GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
  }
  CloseHandle(out);
  CloseHandle(in);
  return error;
}

}  // namespace

bool IsCopyCommand(const std::string& name) {
  return name == "COPY" || name == "MD" || name == "MKDIR" || name == "ATTRIB";
}

void BatchInterpreter::CopyCommand(const std::string& name, const std::string& rest) {
  if (name == "COPY") return Copy(rest);
  if (name == "ATTRIB") return Attrib(rest);
  MakeDirectories(rest);
}

void BatchInterpreter::Copy(const std::string& rest) {
  std::vector<std::string> names;
  for (const std::string& word : SplitArguments(rest, true)) {
    if (word.empty() || word[0] != '/') {
      names.push_back(word);
      continue;
    }
    const std::string sw = UpperCase(word);
    // Replacing without asking is what a batch file does anyway.
    if (sw != "/Y" && sw != "/-Y" && sw != "/B" && sw != "/V")
      return Say("not carried out: COPY " + word + " is not simulated");
  }
  const std::string noneCopied = nt_ ? "        0 file(s) copied." : "        0 file(s) copied";
  if (names.empty())
    return Say(nt_ ? "The syntax of the command is incorrect." : "Required parameter missing");
  if (names.size() > 2)
    return Say(nt_ ? "The syntax of the command is incorrect."
                   : "Too many parameters - " + names[2]);
  if (names[0].find_first_of("*?+") != std::string::npos)
    return Say("not carried out: COPY of several files is not simulated");
  std::string source;
  std::string target;
  if (!Resolve(names[0], false, &source) ||
      !Resolve(names.size() > 1 ? names[1] : ".", false, &target)) {
    return Say(nt_ ? "The filename, directory name, or volume label syntax is incorrect.\n" +
                         noneCopied
                   : "Invalid path\n" + noneCopied);
  }
  const DWORD attributes = GetFileAttributesA(source.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return Say(nt_ ? "The system cannot find the file specified.\n" + noneCopied
                   : "File not found - " + names[0] + "\n" + noneCopied);
  }
  if (IsDirectory(attributes)) return Say("not carried out: COPY of a folder is not simulated");
  if (IsDirectory(GetFileAttributesA(target.c_str()))) target = JoinPath(target, LastName(source));
  if (UpperCase(target) == UpperCase(source)) {
    return Say(nt_ ? "The file cannot be copied onto itself.\n" + noneCopied
                   : "File cannot be copied onto itself\n" + noneCopied);
  }
  const DWORD error = CopyBytes(source, target);
  if (error != 0) {
    if (nt_) {
      SayWindowsError(error);
      return Say(noneCopied);
    }
    // The DOS texts: error 5 has its own, every other failure to make the
    // target is a creation error.
    return Say((error == ERROR_ACCESS_DENIED ? std::string("Access denied")
                                             : "File creation error - " + names.back()) +
               "\n" + noneCopied);
  }
  // cmd.exe copies with CopyFile, which takes the source's attributes along.
  if (nt_ && (attributes & FILE_ATTRIBUTE_READONLY)) SetFileAttributesA(target.c_str(), attributes);
  Say("copied " + source + " to " + target);
  Say(nt_ ? "        1 file(s) copied." : "        1 file(s) copied");
}

void BatchInterpreter::MakeDirectories(const std::string& rest) {
  const std::vector<std::string> names = SplitArguments(rest, true);
  if (names.empty())
    return Say(nt_ ? "The syntax of the command is incorrect." : "Required parameter missing");
  if (!nt_ && names.size() > 1) return Say("Too many parameters - " + names[1]);
  for (const std::string& name : names) {
    std::string full;
    if (!Resolve(name, false, &full)) {
      nt_ ? SayWindowsError(ERROR_INVALID_NAME) : Say("Unable to create directory");
      continue;
    }
    if (!nt_) {
      CreateDirectoryA(full.c_str(), nullptr) ? Say("made " + full)
                                              : Say("Unable to create directory");
      continue;
    }
    if (GetFileAttributesA(full.c_str()) != INVALID_FILE_ATTRIBUTES) {
      Say("A subdirectory or file " + name + " already exists.");
      continue;
    }
    // Each missing folder from the top down.
    DWORD error = 0;
    for (size_t at = full.find('\\', 3);; at = full.find('\\', at + 1)) {
      const std::string part = full.substr(0, at);
      if (GetFileAttributesA(part.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (!CreateDirectoryA(part.c_str(), nullptr)) {
          error = GetLastError();
          break;
        }
        Say("made " + part);
      }
      if (at == std::string::npos) break;
    }
    if (error != 0) SayWindowsError(error);
  }
}

void BatchInterpreter::Attrib(const std::string& rest) {
  DWORD set = 0;
  DWORD clear = 0;
  std::vector<std::string> names;
  for (const std::string& word : SplitArguments(rest, true)) {
    if (word.size() == 2 && (word[0] == '+' || word[0] == '-')) {
      const char letter = UpperCase(word.substr(1))[0];
      const DWORD flag = letter == 'R'   ? FILE_ATTRIBUTE_READONLY
                         : letter == 'A' ? FILE_ATTRIBUTE_ARCHIVE
                         : letter == 'S' ? FILE_ATTRIBUTE_SYSTEM
                         : letter == 'H' ? FILE_ATTRIBUTE_HIDDEN
                                         : 0;
      if (flag != 0) {
        (word[0] == '+' ? set : clear) |= flag;
        continue;
      }
    }
    if (!word.empty() && word[0] == '/')
      return Say("not carried out: ATTRIB " + word + " is not simulated");
    names.push_back(word);
  }
  if (names.empty()) return Say("not carried out: ATTRIB without a name is not simulated");
  if (names.size() > 1) return Say("Parameter format not correct - " + names[1]);
  // The simulated PC keeps no system or hidden flag: every file has neither.
  if (set & (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN))
    return Say("not carried out: ATTRIB +S and +H are not simulated");
  std::string full;
  if (names[0].find_first_of("*?") != std::string::npos)
    return Say("not carried out: ATTRIB of several files is not simulated");
  if (!Resolve(names[0], false, &full)) return Say("File not found - " + names[0]);
  const DWORD attributes = GetFileAttributesA(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Say("File not found - " + full);
  DWORD wanted = (attributes | set) & ~clear & ~DWORD(FILE_ATTRIBUTE_DIRECTORY);
  if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
  if (!SetFileAttributesA(full.c_str(), wanted)) return SayWindowsError(GetLastError());
  Say(std::string("attributes of ") + full + " now " +
      ((wanted & FILE_ATTRIBUTE_READONLY) ? "+R" : "-R") +
      ((wanted & FILE_ATTRIBUTE_ARCHIVE) ? " +A" : " -A"));
}

}  // namespace sim
