#include "tools/vtcapture/out_file.h"

namespace vtcapture {

bool OutFile::Open(const std::string& path) {
  Close();
  failed_ = false;
  handle_ = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle_ != INVALID_HANDLE_VALUE;
}

void OutFile::Write(const std::string& text) {
  buffer_ += text;
  if (buffer_.size() >= (1 << 16)) Flush();
}

void OutFile::Flush() {
  if (handle_ == INVALID_HANDLE_VALUE || buffer_.empty()) return;
  DWORD written = 0;
  if (!WriteFile(handle_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &written, nullptr) ||
      written != buffer_.size())
    failed_ = true;
  buffer_.clear();
}

bool OutFile::Close() {
  if (handle_ == INVALID_HANDLE_VALUE) return !failed_;
  Flush();
  if (!CloseHandle(handle_)) failed_ = true;
  handle_ = INVALID_HANDLE_VALUE;
  return !failed_;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
  OutFile f;
  if (!f.Open(path)) return false;
  f.Write(text);
  return f.Close();
}

}  // namespace vtcapture
