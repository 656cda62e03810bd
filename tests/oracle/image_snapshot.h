// What an image holds, read straight from its files (registry.reg,
// machine.json, drives/) without the simulated PC, so the oracle does not
// share the program's or the simulation's view of it.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace oracle {

// Upper-cases ASCII letters (the samples' names are ASCII).
std::string Upper(std::string text);

struct ImageSnapshot {
  std::string windows;                             // machine.json "windows"
  std::map<std::string, std::string> directories;  // machine.json "directories"
  // Registry: full key paths ("HKEY_LOCAL_MACHINE\SOFTWARE\X"), upper-cased,
  // with any SYSTEM\ControlSetNNN written SYSTEM\CURRENTCONTROLSET.
  std::set<std::string> keys;
  // (key, upper-cased value name or "@") -> the data as written in the file.
  std::map<std::pair<std::string, std::string>, std::string> values;
  // Files and folders under drives/ as Windows paths, upper-cased (folders
  // end in a backslash) -> their host paths.
  std::map<std::string, std::string> files;
  // Spooler, service manager, SetupAPI and installer state.
  std::vector<std::string> printers;                             // "NAME|DRIVER|PORT", upper-cased
  std::vector<std::string> printer_drivers;                      // names, upper-cased
  std::vector<std::string> ports, monitors, services, products;  // upper-cased
  std::vector<std::string> devices;  // "CLASS|FIRST HARDWARE ID", upper-cased
  std::map<std::string, std::vector<std::string>> product_removes;  // code -> removes
  std::string host_dir;                                             // the image folder
};

// Reads the image in `dir`; false with `error` when a file cannot be read.
bool ReadSnapshot(const std::string& dir, ImageSnapshot* out, std::string* error);

}  // namespace oracle
