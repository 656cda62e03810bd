#include "platform/crt_file.h"

namespace {
constexpr int kCtrlZ = 0x1A;
}

bool CCrtFile::Open(const std::string& path, DWORD access, DWORD shareMode, DWORD disposition) {
  Close();
  m_dwError = 0;
  m_bReadFailed = false;
  m_bAtEnd = false;
  m_nBuffered = m_nNext = 0;
  m_nPushedBack = -1;
  m_hFile = CreateFileA(path.c_str(), access, shareMode, nullptr, disposition,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (m_hFile == INVALID_HANDLE_VALUE) {
    m_dwError = GetLastError();
    return false;
  }
  return true;
}

bool CCrtFile::OpenRead(const std::string& path, DWORD shareMode) {
  return Open(path, GENERIC_READ, shareMode, OPEN_EXISTING);
}

bool CCrtFile::OpenAppend(const std::string& path, DWORD shareMode) {
  return Open(path, GENERIC_WRITE, shareMode, OPEN_ALWAYS);
}

bool CCrtFile::OpenTruncate(const std::string& path, DWORD shareMode) {
  return Open(path, GENERIC_WRITE, shareMode, CREATE_ALWAYS);
}

void CCrtFile::Close() {
  if (m_hFile != INVALID_HANDLE_VALUE) {
    CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
  }
}

int CCrtFile::NextByte() {
  if (m_hFile == INVALID_HANDLE_VALUE || m_bAtEnd) return -1;
  if (m_nNext >= m_nBuffered) {
    DWORD got = 0;
    if (!ReadFile(m_hFile, m_buffer, sizeof(m_buffer), &got, nullptr)) {
      m_dwError = GetLastError();
      m_bReadFailed = true;
      m_bAtEnd = true;
      return -1;
    }
    if (got == 0 || got > sizeof(m_buffer)) {
      m_bAtEnd = true;
      return -1;
    }
    m_nBuffered = got;
    m_nNext = 0;
  }
  return static_cast<unsigned char>(m_buffer[m_nNext++]);
}

int CCrtFile::NextTextChar() {
  int c;
  if (m_nPushedBack >= 0) {
    c = m_nPushedBack;
    m_nPushedBack = -1;
  } else {
    c = NextByte();
  }
  if (c == kCtrlZ) {
    // Text mode: Ctrl-Z marks the end of the text.
    m_bAtEnd = true;
    return -1;
  }
  if (c == '\r') {
    const int next = NextByte();
    if (next == '\n') return '\n';
    if (next >= 0) m_nPushedBack = next;  // a lone CR stays
  }
  return c;
}

bool CCrtFile::ReadLine(char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return false;
  int n = 0;
  while (n < size - 1) {
    const int c = NextTextChar();
    if (c < 0) break;
    buffer[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buffer[n] = '\0';
  if (m_bReadFailed) return false;
  return n > 0;
}

bool CCrtFile::ReadWholeLine(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    const int c = NextTextChar();
    if (c < 0) break;
    any = true;
    if (c == '\n') break;
    line.push_back(static_cast<char>(c));
  }
  if (m_bReadFailed) return false;
  return any;
}

bool CCrtFile::AppendText(const std::string& text) {
  if (m_hFile == INVALID_HANDLE_VALUE) return false;
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  if (SetFilePointer(m_hFile, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) {
    const DWORD err = GetLastError();
    if (err != 0) {
      m_dwError = err;
      return false;
    }
  }
  if (out.empty()) return true;
  DWORD written = 0;
  if (!WriteFile(m_hFile, out.data(), static_cast<DWORD>(out.size()), &written, nullptr)) {
    m_dwError = GetLastError();
    return false;
  }
  if (written != out.size()) {
    m_dwError = ERROR_DISK_FULL;
    return false;
  }
  return true;
}

int CrtFindFirst(const std::string& pattern) {
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA(pattern.c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || err == ERROR_NO_MORE_FILES)
      return kErrnoNoEntry;
    return kErrnoInvalid;
  }
  FindClose(h);
  return 0;
}
