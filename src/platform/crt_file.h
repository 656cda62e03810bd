// The C runtime's text files and file search, built on the Windows file calls:
// the one way program code reads and writes files.
#pragma once

#include <string>

#include "platform/win32.h"

// errno values of the runtime's first-match search.
constexpr int kErrnoNoEntry = 2;   // ENOENT
constexpr int kErrnoInvalid = 22;  // EINVAL

class CCrtFile {
 public:
  CCrtFile() = default;
  ~CCrtFile() { Close(); }
  CCrtFile(const CCrtFile&) = delete;
  CCrtFile& operator=(const CCrtFile&) = delete;

  // Text-mode reading of an existing file; shareMode as for CreateFileA.
  bool OpenRead(const std::string& path, DWORD shareMode);
  // Text-mode appending: created when absent, never truncated.
  bool OpenAppend(const std::string& path, DWORD shareMode);
  // Text-mode writing of a new file: created, or emptied when it exists.
  bool OpenTruncate(const std::string& path, DWORD shareMode);
  bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
  // The Windows error of the last failed open, read or write (0: none).
  DWORD LastError() const { return m_dwError; }

  // Like fgets: at most size - 1 characters, up to and including a line feed,
  // always terminated. CR LF reaches the caller as LF; Ctrl-Z ends the text as
  // in the runtime's text mode. False at the end of the file with nothing read,
  // or on a read error (LastError() then holds its code).
  bool ReadLine(char* buffer, int size);
  // A whole line without its line feed, however long; false as ReadLine.
  bool ReadWholeLine(std::string& line);
  bool ReadFailed() const { return m_bReadFailed; }

  // Moves to the end and writes text with every LF as CR LF, in one write so a
  // failed write leaves nothing half written by this call. False on failure.
  bool AppendText(const std::string& text);

  void Close();

 private:
  bool Open(const std::string& path, DWORD access, DWORD shareMode, DWORD disposition);
  // The next raw byte, or -1 at the end or on error.
  int NextByte();
  // The next byte in text mode (CR LF as LF), or -1.
  int NextTextChar();

  HANDLE m_hFile = INVALID_HANDLE_VALUE;
  DWORD m_dwError = 0;
  bool m_bReadFailed = false;
  bool m_bAtEnd = false;
  char m_buffer[4096];
  DWORD m_nBuffered = 0;
  DWORD m_nNext = 0;
  int m_nPushedBack = -1;
};

// Like _tfindfirst/_findclose: 0 when a file matches pattern, else the errno
// the runtime gives (Windows error 2, 3 or 18: ENOENT; anything else: EINVAL).
int CrtFindFirst(const std::string& pattern);
