// MoveFileExA: renames, replacing, busy items, and the operations left for
// the next start of Windows (dlls/kernel32/tests/file.c test_MoveFileA).
// Windows 95, 98 and ME have the call only as a stub that fails with 120.
#include <cstring>

#include "conformance/conformance.h"
#include "conformance/files_helpers.h"

namespace {

using conformance::NtFamily;
using conformance::Scratch;

bool Move(const std::string& from, const std::string& to, DWORD flags) {
  return MoveFileExA(Scratch::Path(from).c_str(), to.empty() ? nullptr : Scratch::Path(to).c_str(),
                     flags) != FALSE;
}

std::string Content(const std::string& name) {
  HANDLE h = files_cases::Open(Scratch::Path(name), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  if (h == INVALID_HANDLE_VALUE) return "error " + std::to_string(GetLastError());
  char buffer[64] = {};
  DWORD got = 0;
  ReadFile(h, buffer, sizeof buffer - 1, &got, nullptr);
  CloseHandle(h);
  return std::string(buffer, got);
}

const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPending[] = "PendingFileRenameOperations";

// PendingFileRenameOperations as it is now ("" when missing).
std::string PendingOperations(HKEY key) {
  DWORD size = 0, type = 0;
  if (RegQueryValueExA(key, kPending, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return "";
  std::string data(size, '\0');
  if (RegQueryValueExA(key, kPending, nullptr, &type, reinterpret_cast<LPBYTE>(&data[0]), &size) !=
      ERROR_SUCCESS)
    return "";
  data.resize(size);
  return data;
}

}  // namespace

CONFORMANCE_CASE(files, MoveFileExA_NinetyFiveToMeGive120) {
  if (NtFamily()) return;
  WINE_DIFFERS("Wine implements MoveFileExA whatever Windows version it shows");
  Scratch::File("a.txt", "a");
  CHECK_EQ(Move("a.txt", "b.txt", 0), FALSE);
  CHECK_ERROR(ERROR_CALL_NOT_IMPLEMENTED);
  CHECK_STR(Content("a.txt"), "a");
}

CONFORMANCE_CASE(files, MoveFileExA_RenamesFilesAndFolders) {
  if (!NtFamily()) return;
  Scratch::File("a.txt", "a");
  Scratch::Folder("d");
  Scratch::File("d\\in.txt", "i");
  CHECK_TRUE(Move("a.txt", "d\\moved.txt", 0));
  CHECK_STR(Content("d\\moved.txt"), "a");
  CHECK_TRUE(Move("d", "e", 0));
  CHECK_STR(Content("e\\in.txt"), "i");
  CHECK_STR(files_cases::Names(Scratch::Path("*")), ".|..|e");
  // A new case of the same name is a rename too.
  CHECK_TRUE(Move("e\\moved.txt", "e\\MOVED.TXT", 0));
  CHECK_STR(files_cases::Names(Scratch::Path("e\\m*")), "MOVED.TXT");
}

CONFORMANCE_CASE(files, MoveFileExA_ExistingTargetGives183UnlessReplaced) {
  if (!NtFamily()) return;
  Scratch::File("new.txt", "new");
  Scratch::File("old.txt", "old");
  CHECK_EQ(Move("new.txt", "old.txt", 0), FALSE);
  CHECK_ERROR(ERROR_ALREADY_EXISTS);
  CHECK_TRUE(Move("new.txt", "old.txt", MOVEFILE_REPLACE_EXISTING));
  CHECK_STR(Content("old.txt"), "new");
  CHECK_STR(Content("new.txt"), "error 2");
}

CONFORMANCE_CASE(files, MoveFileExA_ReplacingAReadOnlyFileOrAFolderGives5) {
  if (!NtFamily()) return;
  Scratch::File("new.txt", "new");
  Scratch::File("ro.txt", "ro");
  Scratch::Folder("d");
  CHECK_TRUE(SetFileAttributesA(Scratch::Path("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  CHECK_EQ(Move("new.txt", "ro.txt", MOVEFILE_REPLACE_EXISTING), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CHECK_EQ(Move("new.txt", "d", MOVEFILE_REPLACE_EXISTING), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CHECK_TRUE(SetFileAttributesA(Scratch::Path("ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
}

CONFORMANCE_CASE(files, MoveFileExA_MissingGives2MissingFolder3) {
  if (!NtFamily()) return;
  Scratch::File("a.txt");
  CHECK_EQ(Move("none.txt", "b.txt", 0), FALSE);
  CHECK_ERROR(ERROR_FILE_NOT_FOUND);
  CHECK_EQ(Move("nodir\\none.txt", "b.txt", 0), FALSE);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
  CHECK_EQ(Move("a.txt", "nodir\\b.txt", 0), FALSE);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
}

CONFORMANCE_CASE(files, MoveFileExA_OpenFileGives32) {
  if (!NtFamily()) return;
  Scratch::File("o.txt", "o");
  HANDLE h =
      files_cases::Open(Scratch::Path("o.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  CHECK_EQ(Move("o.txt", "p.txt", 0), FALSE);
  CHECK_ERROR(ERROR_SHARING_VIOLATION);
  CloseHandle(h);
  CHECK_TRUE(Move("o.txt", "p.txt", 0));
}

CONFORMANCE_CASE(files, MoveFileExA_FolderWithAnOpenFileGives5) {
  if (!NtFamily()) return;
  WINE_DIFFERS("Wine renames the host folder whatever is open inside it");
  Scratch::Folder("d");
  Scratch::File("d\\o.txt", "o");
  HANDLE h =
      files_cases::Open(Scratch::Path("d\\o.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  CHECK_EQ(Move("d", "e", 0), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CloseHandle(h);
}

CONFORMANCE_CASE(files, MoveFileExA_DelayUntilRebootRecordsThePair) {
  if (!NtFamily()) return;
  HKEY key = nullptr;
  // Needs an administrator, as the program does (Windows always has the key).
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, nullptr, 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  const std::string before = PendingOperations(key);
  Scratch::File("a.txt");
  CHECK_TRUE(Move("a.txt", "", MOVEFILE_DELAY_UNTIL_REBOOT));
  CHECK_TRUE(Move("a.txt", "b.txt", MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
  const std::string after = PendingOperations(key);
  const std::string added = std::string("\\??\\C:\\cvsconf\\a.txt") + '\0' + '\0' +
                            "\\??\\C:\\cvsconf\\a.txt" + '\0' + "!\\??\\C:\\cvsconf\\b.txt" + '\0' +
                            '\0';
  CHECK_TRUE(after.size() >= added.size());
  if (after.size() >= added.size()) CHECK_STR(after.substr(after.size() - added.size()), added);
  CHECK_STR(Content("a.txt"), "");  // nothing moves before the restart
  // Leave the PC as it was.
  if (before.empty())
    RegDeleteValueA(key, kPending);
  else
    RegSetValueExA(key, kPending, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(before.data()),
                   static_cast<DWORD>(before.size()));
  RegCloseKey(key);
}
