// Where the deferred erase batch goes: the Windows temporary directory, if it
// is on a drive that exists and can be written, with room for the batch.
#include "files/batch_erase_files.h"
#include "log/run_log.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

namespace {

const char kDriveTypeOrigin[] = "CBatchEraseFiles::GetWinTempDirectory() -- GetDriveType()";
const char kFreeSpaceOrigin[] = "CBatchEraseFiles::GetTempDriveSpace() -- GetDiskFreeSpaceEx()";

typedef BOOL(WINAPI* DiskFreeSpaceExFn)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

}  // namespace

std::string CBatchEraseFiles::GetWinTempDirectory() {
  if (!m_sTempDir.empty()) return m_sTempDir;
  char buffer[MAX_PATH] = {};
  const DWORD length = GetTempPathA(MAX_PATH, buffer);
  if (length == 0 || length >= static_cast<DWORD>(MAX_PATH)) {
    const DWORD code = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
    CRunLog log;
    log.LogError("CBatchEraseFiles::GetWinTempDirectory() -- GetTempPath()",
                 FormatText("szDirBuff = '%s'", length == 0 ? buffer : ""), code);
    return std::string();
  }
  // A network path ("\\srv\...") gives the root "\:\", which no drive has.
  const std::string root = std::string(1, buffer[0]) + ":\\";
  const UINT type = GetDriveTypeA(root.c_str());
  if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_CDROM) {
    const unsigned text = type == DRIVE_CDROM ? IDS_TEMP_DRIVE_CDROM : IDS_TEMP_DRIVE_NOT_FOUND;
    CRunLog log;
    log.LogNote(kDriveTypeOrigin, FormatText(LoadStr(text), root.c_str()));
    return std::string();
  }
  return std::string(buffer, length);
}

ULONGLONG CBatchEraseFiles::GetTempDriveSpace(int versionCode) {
  // Always reached at run time: an import of GetDiskFreeSpaceExA would stop
  // the program from loading at all on the first Windows 95.
  const HMODULE kernel = GetModuleHandleA("Kernel32.dll");
  if (kernel == nullptr) {
    const DWORD code = GetLastError();
    CRunLog log;
    log.LogError(versionCode == 0
                     ? "CBatchEraseFiles::GetTempDriveSpace() -- GetModuleHandle('Kernel32.dll')"
                     : kFreeSpaceOrigin,
                 "", code);
    return 0;
  }
  const FARPROC proc = GetProcAddress(kernel, "GetDiskFreeSpaceExA");
  if (proc == nullptr) {
    const DWORD code = GetLastError();
    // The first Windows 95 has only the 32-bit query, whose answer is
    // wrong on large drives; assume there is room.
    if (versionCode == 0) return kSpaceUnknownButEnough;
    CRunLog log;
    log.LogError(kFreeSpaceOrigin, "", code);
    return 0;
  }
  const DiskFreeSpaceExFn diskFreeSpaceEx =
      reinterpret_cast<DiskFreeSpaceExFn>(reinterpret_cast<void (*)()>(proc));
  const std::string dir = GetWinTempDirectory();
  ULARGE_INTEGER available = {}, total = {}, totalFree = {};
  if (!diskFreeSpaceEx(dir.c_str(), &available, &total, &totalFree)) {
    const DWORD code = GetLastError();
    CRunLog log;
    log.LogError(kFreeSpaceOrigin, "", code);
    return 0;
  }
  return available.QuadPart;
}
