// What the control data names for one device: the oracle's side of the
// removal rules, read from the image before the run.
#pragma once

#include <string>
#include <vector>

#include "oracle/image_snapshot.h"

namespace oracle {

// A key path pattern: components, upper-cased; "*" stands for any text
// inside a component (a Plug-and-Play tag, a user's hive, a device ID).
struct KeyPattern {
  std::vector<std::string> parts;
  std::string value;     // "" = the key with its subtree; else one value's name
  bool counter = false;  // a shared-DLL counter line: `value` is a path suffix
};

struct AllowedSet {
  std::vector<KeyPattern> keys;
  // Files and folders that may go: exact upper-cased paths, and folders
  // whose whole subtree may go (ending in a backslash).
  std::vector<std::string> files;
  std::vector<std::string> trees;
  std::vector<std::string> printers, printer_drivers, ports, monitors, services, devices, products;
  std::string default_printer;  // the Windows 9x default-printer text that may be cleared
  std::string problem;          // why no set could be built ("" = fine)
};

// Splits a key path at backslashes, upper-cased.
std::vector<std::string> KeyParts(const std::string& path);
// Glob match of one component: '*' any text, everything else literal.
bool GlobMatch(const std::string& pattern, const std::string& text);

AllowedSet BuildAllowedSet(const ImageSnapshot& before, const std::string& device);

}  // namespace oracle
