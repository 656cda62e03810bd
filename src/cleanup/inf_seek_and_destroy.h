// Removal of the device's OEM INF file (and its precompiled PNF twin) from
// the Windows INF directory, found by a search text from the control file.
#pragma once

#include <string>

class CInfSeekAndDestroy {
 public:
  CInfSeekAndDestroy() = default;
  virtual ~CInfSeekAndDestroy() = default;

  // Searches the OEM*.INF files of infDir for searchText and deletes the
  // first that holds it, with its PNF file. 1 when the directory could be
  // searched (found or not); 0 when the current directory could not be read
  // or infDir not entered. The current directory is the same afterwards.
  int DeleteINF(const std::string& infDir, const std::string& searchText, int index);

 private:
  // Lists OEM*.INF in the current directory (root: its full path) and removes
  // the first file that matches. True when one matched.
  bool SeekAndDestroyInListing(const std::string& root, const std::string& searchText, int index);
  // Deletes the INF file at path and its PNF twin, logging each outcome.
  void DestroyInfAndPnf(const std::string& path);
};
