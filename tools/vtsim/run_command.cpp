// vtsim run: the program started once on the PC of an image.
#include <exception>
#include <iostream>
#include <memory>

#include "app/program_entry.h"
#include "app/run_state.h"
#include "sim/excerpt.h"
#include "sim/image.h"
#include "sim/image_stage.h"
#include "tools/vtsim/commands.h"
#include "tools/vtsim/host_paths.h"
#include "tools/vtsim/image_copy.h"
#include "tools/vtsim/output_file.h"

namespace vtsim {

namespace {

bool Say(const std::string& message) {
  std::cerr << "vtsim: " << message << "\n";
  return false;
}

// The transcript may replace neither the script nor a file of the image run
// on (nor, with --output, of the image copied).
bool CheckTranscriptPath(const RunOptions& options) {
  const std::string& t = options.transcript;
  if (t.empty()) return true;
  if (IsInside(t, options.image) || LinkedInto(t, options.image))
    return Say(t + ": the transcript may not be written inside the image " + options.image);
  if (!options.output.empty() && IsInside(t, options.output))
    return Say(t + ": the transcript may not be written inside the image " + options.output);
  if (!options.script.empty() && SameFile(t, options.script))
    return Say(t + ": the transcript may not replace the script");
  return true;
}

// Saves the run into its working copy and switches that in for the image;
// false (with a message) when that failed, the image then being the old one.
bool Save(sim::Machine& machine, sim::ImageStage& stage) {
  std::string error;
  if (sim::SaveImage(machine, &error) && stage.Commit(&error)) return true;
  return Say(error);
}

// Runs the program on the loaded machine; the exit status of vtsim.
int RunProgram(sim::Machine& machine, sim::ImageStage& stage) {
  // LoadImage has made directories.current the current directory.
  sim::ScopedMachine scope(machine);
  ResetAllRunState();
  unsigned code = 0;
  try {
    code = static_cast<unsigned>(ProgramMain());
  } catch (const sim::ProcessExit& exit) {
    code = exit.code;
  } catch (const sim::ScriptAbort& abort) {
    machine.user.Write("exit", std::to_string(kExitScript));
    const bool saved = Save(machine, stage);
    Say(abort.message);
    return saved ? kExitScript : kExitUsage;
  } catch (const std::exception& e) {
    // A fault of the simulation itself: keep the image consistent with the
    // files already changed on disk, and say what happened.
    Save(machine, stage);
    Say(std::string("internal error: ") + e.what());
    return kExitUsage;
  } catch (...) {
    Save(machine, stage);
    Say("internal error: an unknown exception");
    return kExitUsage;
  }
  code &= 0xFF;  // the process exit status: -1 is 255
  machine.user.Write("exit", std::to_string(code));
  const bool saved = Save(machine, stage);
  for (const sim::ScriptLine& left : machine.user.Leftover()) {
    std::cerr << "vtsim: " << machine.user.script().name() << " line " << left.number
              << " not used: " << sim::Excerpt(left.text) << "\n";
  }
  return saved ? static_cast<int>(code) : kExitUsage;
}

}  // namespace

int RunCommand(const RunOptions& options) {
  if (!CheckTranscriptPath(options)) return kExitUsage;
  sim::Machine machine;
  std::string error;
  if (!options.script.empty() && !machine.user.LoadScriptFile(options.script, &error))
    return Say(error), kExitUsage;

  // The transcript is opened only when the image and the script are known to
  // be good, and replaces an older file only when the run has ended.
  std::unique_ptr<OutputFile> transcript;
  auto openTranscript = [&]() {
    if (options.transcript.empty()) return true;
    transcript = std::make_unique<OutputFile>();
    return transcript->Open(options.transcript, &error) || Say(error);
  };
  if (options.output.empty()) {
    if (!LoadImageOrSay(options.image, machine) || !openTranscript()) return kExitUsage;
  } else {
    // The input is checked first and never loaded for the run.
    sim::Machine input;
    if (!LoadImageOrSay(options.image, input)) return kExitUsage;
    if (!CheckCopyTarget(options.image, options.output, &error)) return Say(error), kExitUsage;
    if (!openTranscript()) return kExitUsage;
    if (!CopyImage(options.image, options.output, &error)) return Say(error), kExitUsage;
    if (!LoadImageOrSay(options.output, machine)) return kExitUsage;
  }
  // The run changes a working copy; the image is replaced only when it is saved whole.
  sim::ImageStage stage;
  const std::string& image = options.output.empty() ? options.image : options.output;
  if (!stage.Begin(image, machine, &error)) return Say(error), kExitUsage;
  machine.user.SetTranscriptStream(transcript ? &transcript->stream() : &std::cout);
  if (options.script.empty()) machine.user.SetTerminal(std::cin, std::cerr);

  int status = RunProgram(machine, stage);
  if (transcript && !transcript->Commit(&error)) {
    Say(error);
    status = kExitUsage;
  }
  return status;
}

}  // namespace vtsim
