// vtsim restore: a person runs the undo journal's Restore.bat at a command
// prompt on the PC of an image, after a scrub with the journal on.
#include <algorithm>
#include <exception>
#include <iostream>

#include "sim/batch_interpreter.h"
#include "sim/closest_name.h"
#include "sim/image.h"
#include "sim/image_stage.h"
#include "sim/text.h"
#include "tools/vtsim/commands.h"
#include "tools/vtsim/image_copy.h"

namespace vtsim {

namespace {

constexpr char kScriptName[] = "Restore.bat";
constexpr char kJournalPrefix[] = "VtUndo.";

int Say(const std::string& message) {
  std::cerr << "vtsim: " << message << "\n";
  return kExitUsage;
}

bool IsFile(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The newest journal beside the run log (the temporary folder): the highest
// VtUndo.NNN that holds a restore script.
std::string NewestJournal(std::string* problem) {
  char temp[MAX_PATH] = {};
  const DWORD n = GetTempPathA(sizeof temp, temp);
  if (n == 0 || n >= sizeof temp) {
    *problem = "the image has no temporary folder, where the run log and its journals are";
    return "";
  }
  std::string dir(temp, n);
  if (dir.back() != '\\') dir += '\\';
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((dir + kJournalPrefix + "*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) names.emplace_back(found.cFileName);
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  // VtUndo.001 ... VtUndo.999: the same length, so the names sort as numbers.
  std::sort(names.begin(), names.end());
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    if (IsFile(dir + *it + "\\" + kScriptName)) return dir + *it;
  }
  *problem = "no undo journal (" + std::string(kJournalPrefix) + "NNN with " + kScriptName +
             ") in " + sim::AnsiToUtf8(dir);
  return "";
}

bool ReadScript(const std::string& path, std::string* text) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) text->append(buffer, got);
  CloseHandle(h);
  return true;
}

// Runs the journal's script; false with the problem when there is none.
bool RunRestoreScript(sim::Machine& m, const std::string& given, std::string* problem) {
  sim::ScopedMachine scope(m);
  // A person at a prompt, not the scrub: the scrub's injected faults are over.
  m.faults.enabled = false;
  std::string journal = given;
  while (journal.size() > 3 && journal.back() == '\\') journal.pop_back();
  if (journal.empty()) journal = NewestJournal(problem);
  if (journal.empty()) return false;
  const std::string script = journal + "\\" + kScriptName;
  std::string text;
  if (!IsFile(script) || !ReadScript(script, &text)) {
    *problem = "no restore script " + sim::AnsiToUtf8(script);
    return false;
  }
  SetCurrentDirectoryA(journal.c_str());
  const bool nt = m.system.NtFamily();
  std::cout << "[batch] " << sim::AnsiToUtf8(script) << " runs in "
            << (nt ? "cmd.exe" : "COMMAND.COM") << "\n";
  sim::BatchInterpreter(m, std::cout).Run(text, {script});
  std::cout << "[batch] " << sim::AnsiToUtf8(script) << " ends\n";
  return true;
}

}  // namespace

bool ParseRestoreOptions(const std::vector<std::string>& args, RestoreOptions* options,
                         std::string* problem) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else if (arg == "--output" || arg == "--journal") {
      std::string& into = arg == "--output" ? options->output : options->journal;
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        *problem = arg + (arg == "--output" ? " needs a folder name" : " needs a Windows path");
        return false;
      }
      if (!into.empty()) {
        *problem = arg + " given twice";
        return false;
      }
      into = args[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      const std::string close = sim::ClosestName(arg, {"--output", "--journal", "--help"});
      *problem = "unknown option " + arg + (close.empty() ? "" : "; did you mean " + close + "?");
      return false;
    } else if (options->image.empty()) {
      options->image = arg;
    } else {
      *problem = "more than one image given: " + arg;
      return false;
    }
  }
  if (options->image.empty() && !options->help) {
    *problem = "no image given";
    return false;
  }
  return true;
}

int RestoreCommand(const RestoreOptions& options) {
  sim::Machine machine;
  std::string error;
  const std::string& image = options.output.empty() ? options.image : options.output;
  if (!options.output.empty()) {
    sim::Machine input;
    if (!LoadImageOrSay(options.image, input)) return kExitUsage;
    if (!CheckCopyTarget(options.image, options.output, &error)) return Say(error);
    if (!CopyImage(options.image, options.output, &error)) return Say(error);
  }
  if (!LoadImageOrSay(image, machine)) return kExitUsage;
  sim::ImageStage stage;
  if (!stage.Begin(image, machine, &error)) return Say(error);
  try {
    std::string problem;
    // Without a script nothing changed: the working copy is dropped.
    if (!RunRestoreScript(machine, sim::Utf8ToAnsi(options.journal), &problem)) return Say(problem);
  } catch (const std::exception& e) {
    if (sim::SaveImage(machine, &error)) stage.Commit(&error);
    return Say(std::string("internal error: ") + e.what());
  }
  std::cout.flush();
  if (!sim::SaveImage(machine, &error) || !stage.Commit(&error)) return Say(error);
  return 0;
}

}  // namespace vtsim
