// SHFileOperationA's FO_DELETE, as the file remover uses it: quiet, into the
// Recycle Bin or for good. Return values before Vista (the program's Windows
// versions) follow dlls/shell32/tests/shlfileop.c test_delete.
#include "conformance/conformance.h"
#include "conformance/files_helpers.h"

namespace {

using conformance::NtFamily;
using conformance::Scratch;

const WORD kQuiet = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;

// Runs FO_DELETE on the names (scratch-relative, "|"-separated).
int ShellDelete(const std::string& names, WORD flags, UINT function = FO_DELETE) {
  std::string list;
  size_t start = 0;
  while (start <= names.size() && !names.empty()) {
    size_t end = names.find('|', start);
    if (end == std::string::npos) end = names.size();
    list += Scratch::Path(names.substr(start, end - start));
    list += '\0';
    start = end + 1;
  }
  list += '\0';
  SHFILEOPSTRUCTA op = {};
  op.wFunc = function;
  op.pFrom = list.c_str();
  op.fFlags = flags;
  return SHFileOperationA(&op);
}

bool Exists(const std::string& name) {
  return GetFileAttributesA(Scratch::Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsNt4() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT &&
         info.dwMajorVersion < 5;
}

// The bin folder holding a file named like the pattern ("Dc*.cvsbin"): one
// folder per user under RECYCLER on NT, RECYCLED itself on 9x.
std::string BinFolderWith(const std::string& pattern) {
  if (!NtFamily())
    return files_cases::Names("C:\\RECYCLED\\" + pattern).rfind("error", 0) == 0 ? ""
                                                                                 : "C:\\RECYCLED";
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA("C:\\RECYCLER\\S-*", &data);
  if (find == INVALID_HANDLE_VALUE) return "";
  std::string found;
  do {
    const std::string folder = std::string("C:\\RECYCLER\\") + data.cFileName;
    if (files_cases::Names(folder + "\\" + pattern).rfind("error", 0) != 0) found = folder;
  } while (found.empty() && FindNextFileA(find, &data));
  FindClose(find);
  return found;
}

}  // namespace

CONFORMANCE_CASE(files, SHFileOperationA_DeleteRemovesFilesAndWholeFolders) {
  Scratch::File("a.txt", "a");
  Scratch::Folder("d");
  Scratch::Folder("d\\sub");
  Scratch::File("d\\sub\\b.txt", "b");
  Scratch::File("keep.txt", "k");
  CHECK_EQ(ShellDelete("a.txt|d", kQuiet), 0);
  CHECK_TRUE(!Exists("a.txt"));
  CHECK_TRUE(!Exists("d"));
  CHECK_TRUE(Exists("keep.txt"));
}

CONFORMANCE_CASE(files, SHFileOperationA_ReadOnlyFileIsDeletedToo) {
  Scratch::File("ro.txt", "r");
  CHECK_TRUE(SetFileAttributesA(Scratch::Path("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  CHECK_EQ(ShellDelete("ro.txt", kQuiet), 0);
  CHECK_TRUE(!Exists("ro.txt"));
}

CONFORMANCE_CASE(files, SHFileOperationA_WildcardDeletesWhatMatches) {
  Scratch::File("a.txt");
  Scratch::File("b.txt");
  Scratch::File("c.log");
  CHECK_EQ(ShellDelete("*.txt", kQuiet), 0);
  CHECK_TRUE(!Exists("a.txt"));
  CHECK_TRUE(!Exists("b.txt"));
  CHECK_TRUE(Exists("c.log"));
}

CONFORMANCE_CASE(files, SHFileOperationA_MissingItemGives1026) {
  // NT 4 passes over it (shlfileop.c: broken(ERROR_SUCCESS)).
  WINE_DIFFERS("Wine gives neither 1026 nor 2 (shlfileop.c test_delete, todo_wine)");
  Scratch::File("a.txt");
  CHECK_EQ(ShellDelete("none.txt", kQuiet), IsNt4() ? 0 : 1026);
  CHECK_TRUE(Exists("a.txt"));
}

CONFORMANCE_CASE(files, SHFileOperationA_LaterItemInAGoneFolderGives3) {
  if (IsNt4()) return;  // NT 4: success (shlfileop.c)
  Scratch::Folder("d");
  Scratch::File("d\\one.txt");
  CHECK_EQ(ShellDelete("d|d\\one.txt", kQuiet), ERROR_PATH_NOT_FOUND);
  CHECK_TRUE(!Exists("d"));  // the items before it are deleted
}

CONFORMANCE_CASE(files, SHFileOperationA_EmptyListGives5) {
  if (!NtFamily()) return;  // crashes on 9x (shlfileop.c)
  SHFILEOPSTRUCTA op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = "\0";
  op.fFlags = kQuiet;
  CHECK_EQ(SHFileOperationA(&op), ERROR_ACCESS_DENIED);
}

CONFORMANCE_CASE(files, SHFileOperationA_UnknownFunctionGives87) {
  Scratch::File("a.txt");
  const bool old = !NtFamily() || IsNt4();  // shlfileop.c: success on 9x and NT 4
  CHECK_EQ(ShellDelete("a.txt", kQuiet, 0), old ? 0 : ERROR_INVALID_PARAMETER);
  CHECK_TRUE(Exists("a.txt"));
}

CONFORMANCE_CASE(files, SHFileOperationA_DeleteStopsAtAnOpenFile) {
  Scratch::Folder("d");
  Scratch::File("d\\open.txt", "o");
  HANDLE h =
      files_cases::Open(Scratch::Path("d\\open.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  CHECK_EQ(ShellDelete("d", kQuiet), ERROR_SHARING_VIOLATION);
  CHECK_TRUE(Exists("d\\open.txt"));
  CloseHandle(h);
}

CONFORMANCE_CASE(files, SHFileOperationA_AllowUndoTakesItemsAway) {
  Scratch::File("gone.cvsbin", "g");
  Scratch::Folder("d");
  Scratch::File("d\\x.txt");
  CHECK_EQ(ShellDelete("gone.cvsbin|d", kQuiet | FOF_ALLOWUNDO), 0);
  CHECK_TRUE(!Exists("gone.cvsbin"));
  CHECK_TRUE(!Exists("d"));
}

CONFORMANCE_CASE(files, SHFileOperationA_AllowUndoMovesIntoTheDrivesBin) {
  WINE_DIFFERS("Wine moves the item into the host's XDG trash (wine-notes.md)");
  Scratch::File("into.cvsbin", "i");
  CHECK_EQ(ShellDelete("into.cvsbin", kQuiet | FOF_ALLOWUNDO), 0);
  // Renamed "D" + drive letter + index + the extension, e.g. "Dc3.cvsbin".
  CHECK_TRUE(!BinFolderWith("Dc*.cvsbin").empty());
}

CONFORMANCE_CASE(files, SHFileOperationA_AllowUndoLeavesAFolderWithAnOpenFile) {
  WINE_DIFFERS("Wine's trash moves a folder with open files inside (a host rename)");
  Scratch::Folder("d");
  Scratch::File("d\\open.txt", "o");
  HANDLE h =
      files_cases::Open(Scratch::Path("d\\open.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  CHECK_EQ(ShellDelete("d", kQuiet | FOF_ALLOWUNDO), ERROR_ACCESS_DENIED);
  CHECK_TRUE(Exists("d\\open.txt"));
  CloseHandle(h);
}
