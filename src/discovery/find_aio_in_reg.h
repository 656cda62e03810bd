// CFindAiOinReg: where the device software of a model is installed, and the
// directories of the PC that the DAT lists refer to. All its state lives in
// run-wide caches, so constructing a finder starts every lookup afresh.
#pragma once

#include "platform/win32.h"

// Paths travel in buffers of this size; texts are cut to one byte less.
constexpr DWORD kPathBuffer = 260;

class CFindAiOinReg {
 public:
  CFindAiOinReg();  // empties the eight directory caches

  // True when HKEY_LOCAL_MACHINE\subKey has the value and it is not empty;
  // its text is then in buffer.
  bool IsInstalled(const char* subKey, const char* valueName, char* buffer, DWORD capacity);
  // True for every valid model code; the install directory (possibly empty)
  // is then in the install-directory cache.
  bool FindInstallDirectory(int nDeviceModel);

  // The fixed directories; an empty out means not found. Buffers of 260.
  void GetSystemDir(char* out);
  void GetWindowsDir(char* out);
  void GetDesktopDir(char* out);
  void GetUserStartupDir(char* out);
  void GetStartupNameDir(char* out);
  // The OCR directory; models without one leave out unchanged.
  void GetOCRDir(char* out, int nDeviceModel);
  // The device-ID directory and the device ID (both 260).
  void GetDeviceIDDir(char* outDir, char* outID, int nDeviceModel);
};

// The install-directory cache, read by the older detectors and the device-ID lookup.
const char* InstallDirCache();
// Empties the eight caches (the finder's constructor does this).
void ClearFinderCaches();

// True on the NT family, or when the major version is above 4.
bool IsNTFamily();

// Copies text into a 260-byte buffer, cut so that it stays terminated.
void CopyPath(char* out, const char* text);
