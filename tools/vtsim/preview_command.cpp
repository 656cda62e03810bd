// vtsim preview: the program run through its real code path on a throw-away
// copy of an image, the simulated restart after it, and what the two did.
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>

#include "app/program_entry.h"
#include "app/run_state.h"
#include "sim/image.h"
#include "sim/image_stage.h"
#include "sim/reboot.h"
#include "tools/vtsim/commands.h"
#include "tools/vtsim/image_args.h"
#include "tools/vtsim/image_copy.h"
#include "tools/vtsim/preview_refusals.h"
#include "tools/vtsim/preview_report.h"
#include "tools/vtsim/preview_snapshot.h"

namespace vtsim {

namespace {

namespace fs = std::filesystem;

// The answers of a preview without a script: Uninstall of the device
// detection preselected, Yes to the information dialog, OK to the unplug
// reminder, and Cancel to the restart dialog (the restart is simulated).
const char kDefaultAnswers[] =
    "press Uninstall\n"
    "press Yes\n"
    "press OK\n"
    "press Cancel\n";

int Say(const std::string& message) {
  std::cerr << "vtsim: " << message << "\n";
  return kExitUsage;
}

// A scratch folder removed with everything in it when the preview ends.
class ScratchFolder {
 public:
  bool Make(std::string* error) {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) return *error = "no folder for temporary files: " + ec.message(), false;
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const fs::path p = base / ("vtsim-preview-" + std::to_string(random()));
      if (fs::create_directory(p, ec)) {
        path_ = p;
        return true;
      }
    }
    return *error = "cannot make a folder in " + base.string(), false;
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

bool Load(const std::string& image, sim::Machine& machine) {
  return LoadImageOrSay(image, machine);
}

// Saves a run or restart into its working copy and switches that in.
bool Save(sim::Machine& machine, sim::ImageStage& stage) {
  std::string error;
  if (sim::SaveImage(machine, &error) && stage.Commit(&error)) return true;
  Say(error);
  return false;
}

// Runs the program once on `copy` as `vtsim run` does; the program's exit
// status, or kExitScript / kExitUsage when the run could not end.
int RunOnCopy(const std::string& copy, const std::string& script) {
  sim::Machine machine;
  std::string error;
  if (script.empty())
    machine.user.SetScript(kDefaultAnswers, "default answers");
  else if (!machine.user.LoadScriptFile(script, &error))
    return Say(error);
  if (!Load(copy, machine)) return kExitUsage;
  sim::ImageStage stage;
  if (!stage.Begin(copy, machine, &error)) return Say(error);
  std::ostringstream transcript;  // the preview tells the changes, not the dialogs
  machine.user.SetTranscriptStream(&transcript);
  sim::ScopedMachine scope(machine);
  ResetAllRunState();
  unsigned code = 0;
  try {
    code = static_cast<unsigned>(ProgramMain());
  } catch (const sim::ProcessExit& exit) {
    code = exit.code;
  } catch (const sim::ScriptAbort& abort) {
    Say(abort.message);
    return kExitScript;
  } catch (const std::exception& e) {
    return Say(std::string("internal error: ") + e.what());
  }
  code &= 0xFF;
  machine.user.Write("exit", std::to_string(code));
  return Save(machine, stage) ? static_cast<int>(code) : kExitUsage;
}

// The simulated restart on `copy`; its output (the steps it took) in `steps`.
bool RestartCopy(const std::string& copy, std::string* steps) {
  sim::Machine machine;
  std::string error;
  if (!Load(copy, machine)) return false;
  sim::ImageStage stage;
  if (!stage.Begin(copy, machine, &error)) return Say(error), false;
  std::ostringstream out;
  try {
    sim::Reboot(machine, out);
  } catch (const std::exception& e) {
    return Say(std::string("internal error in the restart: ") + e.what()), false;
  }
  *steps = out.str();
  return Save(machine, stage);
}

bool Snapshot(const std::string& image, ImageSnapshot* snapshot) {
  sim::Machine machine;
  if (!Load(image, machine)) return false;
  *snapshot = TakeSnapshot(machine);
  return true;
}

// The refusals this run added to its run log (wherever the log landed).
std::vector<std::string> Refusals(const std::string& image, const ImageSnapshot& before,
                                  const std::string& copy, const ImageSnapshot& afterRun) {
  const std::string logName = "\\VTCVSCRUBBER.LOG";
  std::vector<std::string> refusals;
  for (const auto& [upper, path] : afterRun.files) {
    if (upper.size() < logName.size() ||
        upper.compare(upper.size() - logName.size(), logName.size(), logName) != 0)
      continue;
    const auto old = before.files.find(upper);
    const std::string oldLog =
        old == before.files.end() ? "" : ReadHostFile(HostPath(image, old->second));
    for (std::string& r : RefusalsAddedToRunLog(oldLog, ReadHostFile(HostPath(copy, path))))
      refusals.push_back(std::move(r));
  }
  return refusals;
}

}  // namespace

bool ParsePreviewOptions(const std::vector<std::string>& args, PreviewOptions* options,
                         std::string* problem) {
  return ParseImageArgs(args, {{"--script", "a file name", &options->script}},
                        {{"--json", &options->json}, {"--journal", &options->journal}},
                        &options->image, &options->help, problem);
}

int PreviewCommand(const PreviewOptions& options) {
  std::string error;
  if (!options.script.empty()) {
    sim::Machine probe;  // a bad script is told before anything is copied
    if (!probe.user.LoadScriptFile(options.script, &error)) return Say(error);
  }
  ImageSnapshot before;
  if (!Snapshot(options.image, &before)) return kExitUsage;

  ScratchFolder scratch;
  if (!scratch.Make(&error)) return Say(error);
  const std::string copy = (scratch.path() / "image").string();
  if (!CheckCopyTarget(options.image, copy, &error) || !CopyImage(options.image, copy, &error))
    return Say(error);
  if (options.journal && !SwitchJournalOn(copy, &error)) return Say(error);

  PreviewReport report;
  report.image = options.image;
  report.exit_code = RunOnCopy(copy, options.script);
  if (report.exit_code == kExitScript) return kExitScript;
  ImageSnapshot afterRun;
  if (!Snapshot(copy, &afterRun)) return kExitUsage;
  std::string steps;
  if (!RestartCopy(copy, &steps)) return kExitUsage;
  ImageSnapshot afterRestart;
  if (!Snapshot(copy, &afterRestart)) return kExitUsage;

  report.changes = CompareSnapshots(before, afterRun, afterRestart, RestartTargets(steps));
  report.refused = Refusals(options.image, before, copy, afterRun);
  report.journal = ReadJournalPreview(copy, before, afterRun);
  if (options.json)
    std::cout << PreviewJson(report).dump(2) << "\n";
  else
    WritePreviewText(report, std::cout);
  return 0;
}

}  // namespace vtsim
