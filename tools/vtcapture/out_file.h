// A file of the image being written, through the Windows calls so that
// nothing lands anywhere but OUTDIR. Buffered: the registry runs to megabytes.
#pragma once

#include <windows.h>

#include <string>

namespace vtcapture {

class OutFile {
 public:
  OutFile() = default;
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;
  ~OutFile() { Close(); }

  // Creates (or replaces) PATH; false with GetLastError() when it cannot.
  bool Open(const std::string& path);
  void Write(const std::string& text);
  // Writes what is buffered and closes; false when any write failed.
  bool Close();

 private:
  void Flush();
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::string buffer_;
  bool failed_ = false;
};

// Writes a whole file; false when it cannot.
bool WriteWholeFile(const std::string& path, const std::string& text);

}  // namespace vtcapture
