// CFindDefaultDirs: the control file's default directories, accepted only
// when they exist on this PC, and the device-ID folder found on disk. Every
// search changes back to the directory that was current before it.
#pragma once

#include <string>

class CFindDefaultDirs {
 public:
  CFindDefaultDirs();

  // True when path is an existing directory that can be made current.
  bool VTSeekDirectory(const std::string& path);
  // The default install directory when it exists, else the empty text.
  std::string SeekInstallDir();
  // The default OCR directory when it is set and exists, else the empty text.
  std::string SeekOCRDir();
  // base and its first all-digit subdirectory, with the name in outID; the
  // empty text when there is none.
  std::string SeekDeviceIDDir(const std::string& base, std::string& outID);

 private:
  std::string m_sEmpty;
  std::string m_sDeviceIDDir;
};
