// Reading a `dir /s /a` listing of one drive, as cmd.exe (NT family) or
// COMMAND.COM (9x, with its 8.3 columns and the long name at the end) writes
// it in English: "Directory of" headers, entry lines, File(s)/Dir(s) summaries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtsim {

struct ListedEntry {
  std::string path;  // from the drive root, UTF-8, parts joined by '\', e.g. "WINDOWS\win.ini"
  bool directory = false;  //
  uint64_t size = 0;       // bytes of a file
  std::string short_name;  // the 8.3 name a 9x listing shows ("" when none is given)
};

struct DirListing {
  char drive = 0;                    // the drive the "Directory of" lines name
  std::vector<ListedEntry> entries;  // parents before their children, each path once
  bool has_free_bytes = false;       // a "bytes free" line was read
  uint64_t free_bytes = 0;           // the last "bytes free" figure
  uint64_t file_bytes = 0;           // the sizes of the files, added up
};

struct ListingError {
  size_t line = 0;   // 1-based
  std::string text;  // the offending line, as read (UTF-8)
  std::string what;
};

// `bytes`: the listing as saved (8-bit in code page 1252, UTF-8, or UTF-16LE as
// `cmd /u` writes it); CR LF or LF line ends, blank lines anywhere.
bool ParseDirListing(const std::string& bytes, DirListing* listing, ListingError* error);

}  // namespace vtsim
