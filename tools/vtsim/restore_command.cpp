// vtsim restore: a person runs the undo journal's Restore.bat at a command
// prompt on the PC of an image, after a scrub with the journal on.
#include <algorithm>
#include <exception>
#include <iostream>

#include "sim/batch_interpreter.h"
#include "sim/image.h"
#include "sim/image_stage.h"
#include "sim/reboot.h"
#include "sim/text.h"
#include "tools/vtsim/commands.h"
#include "tools/vtsim/image_args.h"
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
  DWORD error = 0;
  if (!IsFile(script) || !sim::ReadWholeFile(script, &text, &error)) {
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
  return ParseImageArgs(args,
                        {{"--output", "a folder name", &options->output},
                         {"--journal", "a Windows path", &options->journal}},
                        {}, &options->image, &options->help, problem);
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
