// vtsim: runs the program on the simulated PC of a machine image.
//   vtsim run IMAGE [--script FILE] [--transcript FILE]
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

#include "app/program_entry.h"
#include "app/run_state.h"
#include "sim/excerpt.h"
#include "sim/image.h"
#include "sim/machine.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitScript = 3;

int Usage(const std::string& problem) {
  std::cerr << "vtsim: " << problem
            << " (usage: vtsim run IMAGE [--script FILE] [--transcript FILE])\n";
  return kExitUsage;
}

struct Options {
  std::string image;
  std::string script;
  std::string transcript;
};

// Reads the arguments of "run"; false with a message when they are wrong.
bool ParseRun(int argc, char** argv, Options& options, std::string& problem) {
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--script" || arg == "--transcript") {
      if (i + 1 >= argc) {
        problem = arg + " needs a file name";
        return false;
      }
      (arg == "--script" ? options.script : options.transcript) = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      problem = "unknown option " + arg;
      return false;
    } else if (options.image.empty()) {
      options.image = arg;
    } else {
      problem = "more than one image given: " + arg;
      return false;
    }
  }
  if (options.image.empty()) {
    problem = "no image given";
    return false;
  }
  return true;
}

// Saves the image after a run; false (with a message) when that failed.
bool Save(sim::Machine& machine) {
  std::string error;
  if (sim::SaveImage(machine, &error)) return true;
  std::cerr << "vtsim: " << error << "\n";
  return false;
}

int Run(const Options& options) {
  sim::Machine machine;
  std::string error;
  if (!options.script.empty() && !machine.user.LoadScriptFile(options.script, &error)) {
    std::cerr << "vtsim: " << error << "\n";
    return kExitUsage;
  }
  std::ofstream transcriptFile;
  if (!options.transcript.empty()) {
    transcriptFile.open(options.transcript, std::ios::binary | std::ios::trunc);
    if (!transcriptFile) {
      std::cerr << "vtsim: " << options.transcript << ": cannot write the transcript\n";
      return kExitUsage;
    }
    machine.user.SetTranscriptStream(&transcriptFile);
  } else {
    machine.user.SetTranscriptStream(&std::cout);
  }
  if (!sim::LoadImage(options.image, machine, &error)) {
    // Name the image unless the message already starts with it.
    const bool named = error.compare(0, options.image.size(), options.image) == 0;
    std::cerr << "vtsim: " << (named ? "" : options.image + ": ") << error << "\n";
    return kExitUsage;
  }
  if (options.script.empty()) machine.user.SetTerminal(std::cin, std::cerr);

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
    const bool saved = Save(machine);
    std::cerr << "vtsim: " << abort.message << "\n";
    return saved ? kExitScript : kExitUsage;
  } catch (const std::exception& e) {
    // A fault of the simulation itself: keep the image consistent with the
    // files already changed on disk, and say what happened.
    Save(machine);
    std::cerr << "vtsim: internal error: " << e.what() << "\n";
    return kExitUsage;
  }
  code &= 0xFF;  // the process exit status: -1 is 255
  machine.user.Write("exit", std::to_string(code));
  const bool saved = Save(machine);
  for (const sim::ScriptLine& left : machine.user.Leftover()) {
    std::cerr << "vtsim: " << machine.user.script().name() << " line " << left.number
              << " not used: " << sim::Excerpt(left.text) << "\n";
  }
  return saved ? static_cast<int>(code) : kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command given");
  const std::string command = argv[1];
  if (command == "--help" || command == "-h") {
    std::cout << "usage: vtsim run IMAGE [--script FILE] [--transcript FILE]\n";
    return 0;
  }
  if (command != "run") return Usage("unknown command " + command);
  Options options;
  std::string problem;
  if (!ParseRun(argc, argv, options, problem)) return Usage(problem);
  return Run(options);
}
