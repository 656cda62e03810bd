#include "cleanup/read_oem_inf.h"

#include "log/run_log.h"
#include "platform/format_text.h"
#include "platform/win32.h"
#include "resources/string_table.h"

namespace {

// Closes the file on every way out.
class ReadHandle {
 public:
  explicit ReadHandle(const std::string& path)
      : h_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~ReadHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  ReadHandle(const ReadHandle&) = delete;
  ReadHandle& operator=(const ReadHandle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

void ReportOpenFailure(const std::string& path, DWORD code) {
  CRunLog log;
  log.LogError("CInfSeekAndDestroy::DeleteINF() -- OEMfile.Open()",
               FormatText(LoadStr(IDS_INF_CANNOT_OPEN), path.c_str()), code);
}

}  // namespace

bool ReadOemInf(const std::string& path, std::vector<char>& contents) {
  ReadHandle file(path);
  if (file.get() == INVALID_HANDLE_VALUE) {
    ReportOpenFailure(path, GetLastError());
    return false;
  }
  DWORD high = 0;
  const DWORD length = GetFileSize(file.get(), &high);
  if (length == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
    // Without its length the file cannot be read whole: as unusable as one
    // that would not open.
    ReportOpenFailure(path, GetLastError());
    return false;
  }
  if (length == 0 || length >= kInfSizeLimit || high != 0) {
    CRunLog log;
    log.LogNote(
        "CInfSeekAndDestroy::DeleteINF() -- dwLen >= 65536 || dwLen == 0",
        FormatText(LoadStr(IDS_INF_TOO_BIG_OR_EMPTY), path.c_str(), static_cast<int>(length)));
    return false;
  }
  // One byte more than the file, all zero: the contents end in a zero byte.
  contents.assign(length + 1, 0);
  DWORD read = 0;
  if (!ReadFile(file.get(), contents.data(), length, &read, nullptr)) read = 0;
  if (read < length) {
    CRunLog log;
    log.LogNote("CInfSeekAndDestroy::DeleteINF() -- OEMfile.Read",
                FormatText(LoadStr(IDS_INF_READ_FAILED), path.c_str(), static_cast<int>(read)));
    return false;
  }
  return true;
}
