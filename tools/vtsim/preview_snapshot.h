// What a preview compares: the state of one image at one moment (before the
// run, after it, after the simulated restart), in readable form.
#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "sim/machine.h"

namespace vtsim {

struct RegistryValueText {
  std::string name;  // "(default)" for the default value
  std::string data;  // as read: a text, a number, or hex bytes
  bool is_dword = false;
  unsigned long dword = 0;
};

struct RegistryKeyState {
  std::string path;  // "HKLM\SOFTWARE\..." or "HKU\.DEFAULT\..."
  std::vector<RegistryValueText> values;
};

struct ImageSnapshot {
  // Keys depth-first in the registry's own order, looked up by upper path.
  std::vector<RegistryKeyState> keys;
  std::map<std::string, size_t> key_index;
  // Windows paths of every file and folder of drives/ (folders end in "\"),
  // by upper path.
  std::map<std::string, std::string> files;
  nlohmann::ordered_json machine;  // machine.json as the image holds it
};

// Upper case of a path as the snapshot's maps use it.
std::string UpperPath(const std::string& path);

// The host file of a snapshot's Windows path ("C:\A\b" -> IMAGE/drives/C/A/b).
std::string HostPath(const std::string& image, const std::string& windows);
// The bytes of a host file; "" when it cannot be read.
std::string ReadHostFile(const std::string& path);

// The state of `machine`, loaded from its image folder (machine.image_dir).
// `machine` must not be the current Machine of a ScopedMachine.
ImageSnapshot TakeSnapshot(sim::Machine& machine);

}  // namespace vtsim
