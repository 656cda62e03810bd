// Folder calls: making and removing folders, the current directory.
#include <cstring>

#include "conformance/conformance.h"
#include "conformance/files_helpers.h"

namespace {

using conformance::NtFamily;
using conformance::Scratch;

std::string CurrentDirectory() {
  char buffer[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer) : "error " + std::to_string(n);
}

// Restores the current directory when a case ends, so the scratch folder can go.
struct KeepCurrentDirectory {
  std::string saved = CurrentDirectory();
  ~KeepCurrentDirectory() {
    if (!SetCurrentDirectoryA(saved.c_str())) SetCurrentDirectoryA("C:\\");
  }
};

}  // namespace

// --- CreateDirectoryA --------------------------------------------------------

CONFORMANCE_CASE(files, CreateDirectoryA_ExistingGives183) {
  Scratch::Folder("d");
  CHECK_EQ(CreateDirectoryA(Scratch::Path("D").c_str(), nullptr), FALSE);
  CHECK_ERROR(ERROR_ALREADY_EXISTS);
  Scratch::File("f.txt");
  CHECK_EQ(CreateDirectoryA(Scratch::Path("f.txt").c_str(), nullptr), FALSE);
  CHECK_ERROR(ERROR_ALREADY_EXISTS);
}

CONFORMANCE_CASE(files, CreateDirectoryA_MissingParentGives3) {
  CHECK_EQ(CreateDirectoryA(Scratch::Path("a\\b").c_str(), nullptr), FALSE);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
  CHECK_EQ(GetFileAttributesA(Scratch::Path("a").c_str()), INVALID_FILE_ATTRIBUTES);
}

CONFORMANCE_CASE(files, CreateDirectoryA_TrailingBackslashMakesIt) {
  CHECK_TRUE(CreateDirectoryA(Scratch::Path("t\\").c_str(), nullptr));
  CHECK_EQ(GetFileAttributesA(Scratch::Path("t").c_str()),
           static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

CONFORMANCE_CASE(files, CreateDirectoryA_WildcardGives123) {
  CHECK_EQ(CreateDirectoryA(Scratch::Path("a?").c_str(), nullptr), FALSE);
  CHECK_ERROR(ERROR_INVALID_NAME);
  CHECK_EQ(CreateDirectoryA(Scratch::Path("a*").c_str(), nullptr), FALSE);
  CHECK_ERROR(ERROR_INVALID_NAME);
}

// --- RemoveDirectoryA --------------------------------------------------------

CONFORMANCE_CASE(files, RemoveDirectoryA_NotEmptyGives145) {
  // 9x answers with DOS's rmdir code: access denied.
  Scratch::Folder("d");
  Scratch::File("d\\f.txt");
  CHECK_EQ(RemoveDirectoryA(Scratch::Path("d").c_str()), FALSE);
  CHECK_ERROR(NtFamily() ? ERROR_DIR_NOT_EMPTY : ERROR_ACCESS_DENIED);
  Scratch::Folder("e");
  Scratch::Folder("e\\sub");
  CHECK_EQ(RemoveDirectoryA(Scratch::Path("e").c_str()), FALSE);
  CHECK_ERROR(NtFamily() ? ERROR_DIR_NOT_EMPTY : ERROR_ACCESS_DENIED);
}

CONFORMANCE_CASE(files, RemoveDirectoryA_MissingGives2MissingParent3) {
  CHECK_EQ(RemoveDirectoryA(Scratch::Path("none").c_str()), FALSE);
  CHECK_ERROR(ERROR_FILE_NOT_FOUND);
  CHECK_EQ(RemoveDirectoryA(Scratch::Path("nodir\\none").c_str()), FALSE);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
}

CONFORMANCE_CASE(files, RemoveDirectoryA_FileGives267) {
  // 9x (DOS's rmdir): a file is no folder on the path.
  Scratch::File("f.txt");
  CHECK_EQ(RemoveDirectoryA(Scratch::Path("f.txt").c_str()), FALSE);
  CHECK_ERROR(NtFamily() ? ERROR_DIRECTORY : ERROR_PATH_NOT_FOUND);
  CHECK_EQ(GetFileAttributesA(Scratch::Path("f.txt").c_str()),
           static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
}

CONFORMANCE_CASE(files, RemoveDirectoryA_CurrentDirectoryGives32) {
  KeepCurrentDirectory keep;
  Scratch::Folder("cur");
  CHECK_TRUE(SetCurrentDirectoryA(Scratch::Path("cur").c_str()));
  CHECK_EQ(RemoveDirectoryA(Scratch::Path("cur").c_str()), FALSE);
  // 9x (DOS's rmdir): ERROR_CURRENT_DIRECTORY.
  CHECK_ERROR(NtFamily() ? ERROR_SHARING_VIOLATION : ERROR_CURRENT_DIRECTORY);
}

CONFORMANCE_CASE(files, RemoveDirectoryA_ReadOnlyGives5OnNt) {
  if (NtFamily()) WINE_DIFFERS("directories keep no read-only attribute in Wine (wine-notes.md)");
  Scratch::Folder("ro");
  CHECK_TRUE(SetFileAttributesA(Scratch::Path("ro").c_str(), FILE_ATTRIBUTE_READONLY));
  if (NtFamily()) {
    CHECK_EQ(RemoveDirectoryA(Scratch::Path("ro").c_str()), FALSE);
    CHECK_ERROR(ERROR_ACCESS_DENIED);
    CHECK_TRUE(SetFileAttributesA(Scratch::Path("ro").c_str(), FILE_ATTRIBUTE_NORMAL));
  }
  CHECK_TRUE(RemoveDirectoryA(Scratch::Path("ro").c_str()));
}

CONFORMANCE_CASE(files, RemoveDirectoryA_RootGives5) {
  WINE_DIFFERS("Wine does not refuse a root as such: 145 (not empty) or 32 (measured, Wine 8)");
  CHECK_EQ(RemoveDirectoryA("C:\\"), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
}

CONFORMANCE_CASE(files, RemoveDirectoryA_TrailingBackslashRemovesIt) {
  Scratch::Folder("d");
  CHECK_TRUE(RemoveDirectoryA(Scratch::Path("d\\").c_str()));
  CHECK_EQ(GetFileAttributesA(Scratch::Path("d").c_str()), INVALID_FILE_ATTRIBUTES);
}

// --- SetCurrentDirectoryA, GetCurrentDirectoryA ------------------------------

CONFORMANCE_CASE(files, SetCurrentDirectoryA_KeepsThePathAsGiven) {
  KeepCurrentDirectory keep;
  Scratch::Folder("Mixed Case");
  CHECK_TRUE(SetCurrentDirectoryA("C:\\CVSCONF\\mixed case"));
  CHECK_STR(CurrentDirectory(), "C:\\CVSCONF\\mixed case");
  // A trailing backslash goes; "." and ".." are resolved.
  CHECK_TRUE(SetCurrentDirectoryA("C:\\cvsconf\\.\\MIXED CASE\\..\\Mixed Case\\"));
  CHECK_STR(CurrentDirectory(), "C:\\cvsconf\\Mixed Case");
  // Relative to the current directory.
  CHECK_TRUE(SetCurrentDirectoryA(".."));
  CHECK_STR(CurrentDirectory(), "C:\\cvsconf");
}

CONFORMANCE_CASE(files, SetCurrentDirectoryA_MissingGives2MissingParent3) {
  KeepCurrentDirectory keep;
  const std::string before = CurrentDirectory();
  CHECK_EQ(SetCurrentDirectoryA(Scratch::Path("none").c_str()), FALSE);
  CHECK_ERROR(ERROR_FILE_NOT_FOUND);
  CHECK_EQ(SetCurrentDirectoryA(Scratch::Path("nodir\\none").c_str()), FALSE);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
  CHECK_STR(CurrentDirectory(), before);
}

CONFORMANCE_CASE(files, SetCurrentDirectoryA_FileGives267) {
  KeepCurrentDirectory keep;
  Scratch::File("f.txt");
  CHECK_EQ(SetCurrentDirectoryA(Scratch::Path("f.txt").c_str()), FALSE);
  CHECK_ERROR(ERROR_DIRECTORY);
}

CONFORMANCE_CASE(files, GetCurrentDirectoryA_ShortBufferGivesTheSizeNeeded) {
  KeepCurrentDirectory keep;
  CHECK_TRUE(SetCurrentDirectoryA(Scratch::Path().c_str()));
  char buffer[MAX_PATH];
  CHECK_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 10u);  // "C:\cvsconf"
  CHECK_STR(buffer, "C:\\cvsconf");
  std::memcpy(buffer, "untouched", 10);
  CHECK_EQ(GetCurrentDirectoryA(10, buffer), 11u);  // no room for the zero
  CHECK_STR(buffer, "untouched");
  CHECK_EQ(GetCurrentDirectoryA(0, nullptr), 11u);
}
