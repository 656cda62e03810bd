// windriver: starts a Windows program and answers its dialogs from a script
// in vtsim's language, writing vtsim's transcript lines.
//   windriver [--transcript FILE] [--timeout SECONDS] [--cwd DIR] PROGRAM SCRIPT
// Exit status: the program's; 3 when the script cannot answer a window (the
// program is then ended); 2 for bad arguments or a bad script.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "driver.h"
#include "script_lines.h"

namespace {

int Usage(const char* why) {
  std::fprintf(stderr,
               "windriver: %s\nusage: windriver [--transcript FILE] [--timeout SECONDS] "
               "[--cwd DIR] PROGRAM SCRIPT\n",
               why);
  return 2;
}

std::string BaseName(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

int main(int argc, char** argv) {
  std::string transcriptPath;
  std::string cwd;
  std::string program;
  std::string scriptPath;
  windriver::DriverOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--transcript" && hasValue) {
      transcriptPath = argv[++i];
    } else if (arg == "--cwd" && hasValue) {
      cwd = argv[++i];
    } else if (arg == "--timeout" && hasValue) {
      const long seconds = std::strtol(argv[++i], nullptr, 10);
      if (seconds <= 0) return Usage("--timeout needs a number of seconds");
      options.timeoutMs = static_cast<DWORD>(seconds) * 1000;
    } else if (arg.compare(0, 2, "--") == 0) {
      return Usage(("unknown option " + arg).c_str());
    } else if (program.empty()) {
      program = arg;
    } else if (scriptPath.empty()) {
      scriptPath = arg;
    } else {
      return Usage("too many arguments");
    }
  }
  if (scriptPath.empty()) return Usage("a program and a script are needed");

  std::ifstream in(scriptPath, std::ios::binary);
  if (!in) return Usage((scriptPath + ": cannot read the script file").c_str());
  std::ostringstream text;
  text << in.rdbuf();
  options.scriptName = BaseName(scriptPath);
  std::vector<windriver::ScriptLine> lines;
  std::string error;
  if (!windriver::ParseScript(text.str(), options.scriptName, &lines, &error)) {
    std::fprintf(stderr, "windriver: %s\n", error.c_str());
    return 2;
  }

  FILE* transcript = stdout;
  if (!transcriptPath.empty()) {
    transcript = std::fopen(transcriptPath.c_str(), "wb");
    if (transcript == nullptr) return Usage((transcriptPath + ": cannot write").c_str());
  }

  // The program gets an empty command line of its own: only its name.
  std::string commandLine = "\"" + program + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      cwd.empty() ? nullptr : cwd.c_str(), &startup, &started)) {
    std::fprintf(stderr, "windriver: cannot start %s (error %lu)\n", program.c_str(),
                 static_cast<unsigned long>(GetLastError()));
    return 2;
  }
  CloseHandle(started.hThread);
  windriver::Driver driver(started.hProcess, started.dwProcessId, lines, options, transcript);
  const int status = driver.Run();
  CloseHandle(started.hProcess);
  if (transcript != stdout) std::fclose(transcript);
  return status;
}
