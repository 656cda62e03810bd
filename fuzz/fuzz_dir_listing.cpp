// Any bytes as a dir /s listing: reading never crashes, and what it accepts
// holds together — every path once (without case), each parent listed as a
// folder before its children, names Windows allows, sizes adding up.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "sim/text.h"
#include "tools/vtsim/import_dir_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  vtsim::DirListing listing;
  vtsim::ListingError error;
  if (!vtsim::ParseDirListing(bytes, &listing, &error)) {
    if (error.line == 0 || error.what.empty()) std::abort();
    return 0;
  }
  if (listing.drive < 'A' || listing.drive > 'Z') std::abort();
  std::set<std::string> folders, seen;
  uint64_t total = 0;
  for (const vtsim::ListedEntry& e : listing.entries) {
    // Compared as the reader compares: folded in the code page where it can
    // spell the path, else as written.
    bool ok = true;
    const std::string ansi = sim::Utf8ToAnsi(e.path, &ok);
    const std::string key = ok ? sim::UpperCase(ansi) : "\x01" + e.path;
    if (e.path.empty() || !seen.insert(key).second) std::abort();
    const size_t slash = e.path.rfind('\\');  // a child starts with its parent as listed
    if (slash != std::string::npos && !folders.count(e.path.substr(0, slash))) std::abort();
    const std::string name = e.path.substr(e.path.rfind('\\') + 1);
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
      std::abort();
    if (e.directory)
      folders.insert(e.path);
    else
      total += e.size;
  }
  if (total != listing.file_bytes) std::abort();
  return 0;
}
