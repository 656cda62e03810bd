// What a scrub does to an image, from snapshots taken before the run, after
// it and after the simulated restart that follows.
#pragma once

#include <string>
#include <vector>

#include "tools/vtsim/preview_snapshot.h"

namespace vtsim {

struct RemovedValue {
  std::string key, name, data;
};

struct ChangedValue {
  std::string key, name, old_data, new_data;
};

struct SharedCounter {
  std::string file;  // the value name: the shared file's path
  unsigned long old_count = 0, new_count = 0;
};

// One list of the spooler, service manager, SetupAPI or installer state.
struct MachineListChange {
  std::string field;  // the machine.json list ("printers", "services" ...)
  std::string title;  // how a person calls its entries
  std::vector<std::string> removed;
};

struct PreviewChanges {
  std::vector<std::string> keys_removed;     // every removed key, parents first
  std::vector<RemovedValue> values_removed;  // of keys that stay
  std::vector<SharedCounter> shared_counters;
  std::vector<ChangedValue> values_changed;  // other than the shared counters
  std::vector<std::string> deleted_now;      // files and folders ("\" at the end)
  std::vector<std::string> deleted_at_restart;
  std::vector<std::string> left_at_restart;  // named by the restart, still there
  std::vector<MachineListChange> machine_lists;
  std::vector<std::string> inf_files_removed;
  std::vector<std::string> keys_added;
  std::vector<RemovedValue> values_added;  // of keys that were there before
  std::vector<std::string> files_added;
};

// `restartTargets`: the paths the restart tried to delete (RestartTargets).
PreviewChanges CompareSnapshots(const ImageSnapshot& before, const ImageSnapshot& afterRun,
                                const ImageSnapshot& afterRestart,
                                const std::vector<std::string>& restartTargets);

// The full paths the restart's steps (its output) tried to delete: pending
// deletes and the DEL and RD lines of the batch files it ran.
std::vector<std::string> RestartTargets(const std::string& restartOutput);

// True for an OEM INF file or its precompiled twin (...\inf\oem*.inf|.pnf).
bool IsOemInfPath(const std::string& path);

}  // namespace vtsim
