// One start of the program on a copy of an image, in a child process of its
// own (the program's run-wide state is process-wide, and a crash must not end
// the test), with faults added to the image's own.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sim/faults.h"

struct CellSpec {
  std::string image;   // host folder of the image to copy
  std::string script;  // the simulated user's answers
  std::vector<sim::Fault> faults;
  std::string device;  // the device the script chooses, for the oracle
  // Changes a copy of the image into the PC to run on (the oracle's "before");
  // none: the image itself is that PC.
  std::function<void(const std::string& dir)> prepare;
};

struct CellResult {
  std::string work;      // the cell's folder: image/ (after the run), outside/
  std::string before;    // the image as it was before the run
  bool crashed = false;  // killed by a signal, timed out, or no report
  std::string crash;     // what happened then
  int exit_code = -1;    // the program's exit status; 3 when the script ran out
  std::string internal;  // an exception of the simulation, or a failed save
  std::string transcript;
  std::string abort;  // why the script could not go on (exit 3)
  std::string log;    // the run log, CR removed ("" when none)
  std::map<std::string, sim::CallSeen> calls;
  int faults_untouched = 0;         // added faults whose call never came
  std::vector<std::string> oracle;  // the oracle's findings on the run
  bool outside_changed = false;     // the watched host folder outside the image changed
};

// Runs the cells, `jobs` at a time; each result's folder lives under `root`.
std::vector<CellResult> RunCells(const std::vector<CellSpec>& cells, const std::string& root,
                                 int jobs);
