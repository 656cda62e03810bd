// File calls: opening, reading, writing, deleting, attributes and paths —
// what Windows answers, per family where it differs.
#include "conformance/conformance.h"
#include "conformance/files_helpers.h"

namespace {

using conformance::NtFamily;
using conformance::Scratch;
using files_cases::Open;

std::string ReadAll(const std::string& name) {
  HANDLE h = Open(Scratch::Path(name), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  if (h == INVALID_HANDLE_VALUE) return "(cannot open)";
  char buffer[64];
  DWORD got = 0;
  std::string text;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(h);
  return text;
}

}  // namespace

// --- CreateFileA -----------------------------------------------------------

CONFORMANCE_CASE(files, CreateFileA_MissingFileGives2MissingFolder3) {
  CHECK_EQ(Open(Scratch::Path("none.txt"), GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_FILE_NOT_FOUND);
  CHECK_EQ(Open(Scratch::Path("nodir\\a.txt"), GENERIC_READ, 0, OPEN_EXISTING),
           INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
  CHECK_EQ(Open(Scratch::Path("nodir\\a.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS),
           INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
}

CONFORMANCE_CASE(files, CreateFileA_DirectoryGives5) {
  Scratch::Folder("d");
  CHECK_EQ(Open(Scratch::Path("d"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING),
           INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
}

CONFORMANCE_CASE(files, CreateFileA_ReadOnlyFileRefusesWritingWith5) {
  Scratch::File("ro.txt", "abc");
  CHECK_TRUE(SetFileAttributesA(Scratch::Path("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  CHECK_EQ(Open(Scratch::Path("ro.txt"), GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CHECK_EQ(Open(Scratch::Path("ro.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  HANDLE h = Open(Scratch::Path("ro.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  CHECK_TRUE(h != INVALID_HANDLE_VALUE);
  CloseHandle(h);
  CHECK_STR(ReadAll("ro.txt"), "abc");
}

CONFORMANCE_CASE(files, CreateFileA_ExistingFileDispositions) {
  Scratch::File("old.txt", "abcdef");
  CHECK_EQ(Open(Scratch::Path("old.txt"), GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_FILE_EXISTS);
  HANDLE h = Open(Scratch::Path("old.txt"), GENERIC_READ, 0, OPEN_ALWAYS);
  CHECK_TRUE(h != INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_ALREADY_EXISTS);
  CloseHandle(h);
  CHECK_STR(ReadAll("old.txt"), "abcdef");  // OPEN_ALWAYS keeps the content
  h = Open(Scratch::Path("old.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS);
  CHECK_TRUE(h != INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_ALREADY_EXISTS);
  CloseHandle(h);
  CHECK_STR(ReadAll("old.txt"), "");  // CREATE_ALWAYS empties it
}

CONFORMANCE_CASE(files, CreateFileA_ReadOnlyAttributeMakesAReadOnlyFile) {
  HANDLE h = CreateFileA(Scratch::Path("new.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_READONLY, nullptr);
  CHECK_TRUE(h != INVALID_HANDLE_VALUE);
  DWORD put = 0;
  CHECK_TRUE(WriteFile(h, "ab", 2, &put, nullptr));  // the handle that made it may write
  CloseHandle(h);
  CHECK_EQ(GetFileAttributesA(Scratch::Path("new.txt").c_str()),
           static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  CHECK_EQ(Open(Scratch::Path("new.txt"), GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CHECK_STR(ReadAll("new.txt"), "ab");
}

CONFORMANCE_CASE(files, CreateFileA_SharingViolationGives32) {
  Scratch::File("s.txt", "x");
  HANDLE first = Open(Scratch::Path("s.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  CHECK_TRUE(first != INVALID_HANDLE_VALUE);
  // A reader that shares reading with a reader: fine.
  HANDLE second = Open(Scratch::Path("s.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  CHECK_TRUE(second != INVALID_HANDLE_VALUE);
  CloseHandle(second);
  // A writer is not shared by the first; a reader that shares nothing neither.
  CHECK_EQ(Open(Scratch::Path("s.txt"), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                OPEN_EXISTING),
           INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_SHARING_VIOLATION);
  CHECK_EQ(Open(Scratch::Path("s.txt"), GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_SHARING_VIOLATION);
  CloseHandle(first);
}

CONFORMANCE_CASE(files, CreateFileA_NoDataAccessIgnoresSharing) {
  Scratch::File("n.txt", "x");
  HANDLE locked = Open(Scratch::Path("n.txt"), GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
  CHECK_TRUE(locked != INVALID_HANDLE_VALUE);
  HANDLE attributesOnly = Open(Scratch::Path("n.txt"), 0, 0, OPEN_EXISTING);
  CHECK_TRUE(attributesOnly != INVALID_HANDLE_VALUE);
  CloseHandle(locked);
  // ... and sets no condition for the opens after it.
  HANDLE reader = Open(Scratch::Path("n.txt"), GENERIC_READ, 0, OPEN_EXISTING);
  CHECK_TRUE(reader != INVALID_HANDLE_VALUE);
  CloseHandle(reader);
  CloseHandle(attributesOnly);
}

CONFORMANCE_CASE(files, CreateFileA_FileNameWithBackslashGives123) {
  Scratch::File("a.txt", "x");
  CHECK_EQ(Open(Scratch::Path("a.txt\\"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING),
           INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_INVALID_NAME);
}

CONFORMANCE_CASE(files, CreateFileA_DeletePendingFileGives5) {
  if (!NtFamily()) {
    // 9x keeps no delete-pending state: the delete case below covers it.
    CHECK_TRUE(true);
    return;
  }
  WINE_DIFFERS("Wine keeps a file deleted while open usable (wine-notes.md, delete-pending)");
  Scratch::File("p.txt", "x");
  HANDLE h = Open(Scratch::Path("p.txt"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                  OPEN_EXISTING);
  CHECK_TRUE(DeleteFileA(Scratch::Path("p.txt").c_str()));
  HANDLE again = Open(Scratch::Path("p.txt"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                      OPEN_EXISTING);
  CHECK_EQ(again, INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
  again = Open(Scratch::Path("p.txt"), GENERIC_WRITE, FILE_SHARE_DELETE, CREATE_ALWAYS);
  CHECK_EQ(again, INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
  CloseHandle(h);
}

CONFORMANCE_CASE(files, CreateFileA_ShareDeleteIsNtOnly) {
  // FILE_SHARE_DELETE came with NT; 95/98/ME refuse the share mode (its
  // documentation; dlls/kernel32/tests/file.c marks Win9x broken with 87).
  if (!NtFamily()) WINE_DIFFERS("Wine accepts FILE_SHARE_DELETE whatever the version");
  Scratch::File("s.txt", "s");
  HANDLE h = Open(Scratch::Path("s.txt"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                  OPEN_EXISTING);
  CHECK_EQ(h != INVALID_HANDLE_VALUE, NtFamily());
  if (!NtFamily()) CHECK_ERROR(ERROR_INVALID_PARAMETER);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

// --- ReadFile, WriteFile, SetFilePointer, CloseHandle ------------------------

CONFORMANCE_CASE(files, ReadFile_AtTheEndReadsNothing) {
  Scratch::File("r.txt", "abc");
  HANDLE h = Open(Scratch::Path("r.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  char buffer[10] = {};
  DWORD got = 99;
  CHECK_TRUE(ReadFile(h, buffer, sizeof buffer, &got, nullptr));
  CHECK_EQ(got, 3u);
  CHECK_STR(std::string(buffer, got), "abc");
  got = 99;
  CHECK_TRUE(ReadFile(h, buffer, sizeof buffer, &got, nullptr));
  CHECK_EQ(got, 0u);
  CloseHandle(h);
}

CONFORMANCE_CASE(files, ReadFile_WriteOnlyHandleGives5) {
  HANDLE h = Open(Scratch::Path("w.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS);
  char buffer[4];
  DWORD got = 99;
  CHECK_EQ(ReadFile(h, buffer, sizeof buffer, &got, nullptr), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CHECK_EQ(got, 0u);
  CloseHandle(h);
}

CONFORMANCE_CASE(files, WriteFile_ReadOnlyHandleGives5) {
  Scratch::File("r.txt", "abc");
  HANDLE h = Open(Scratch::Path("r.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  DWORD put = 99;
  CHECK_EQ(WriteFile(h, "xy", 2, &put, nullptr), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CHECK_EQ(put, 0u);
  CloseHandle(h);
  CHECK_STR(ReadAll("r.txt"), "abc");
}

CONFORMANCE_CASE(files, WriteFile_PastTheEndFillsWithZeros) {
  HANDLE h = Open(Scratch::Path("g.bin"), GENERIC_WRITE, 0, CREATE_ALWAYS);
  CHECK_EQ(SetFilePointer(h, 3, nullptr, FILE_BEGIN), 3u);
  DWORD put = 0;
  CHECK_TRUE(WriteFile(h, "z", 1, &put, nullptr));
  CHECK_EQ(put, 1u);
  CloseHandle(h);
  CHECK_STR(ReadAll("g.bin"), std::string("\0\0\0z", 4));
}

CONFORMANCE_CASE(files, SetFilePointer_FromTheEndAndPastIt) {
  Scratch::File("p.txt", "abcdef");
  HANDLE h = Open(Scratch::Path("p.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  CHECK_EQ(SetFilePointer(h, -2, nullptr, FILE_END), 4u);
  char c = 0;
  DWORD got = 0;
  CHECK_TRUE(ReadFile(h, &c, 1, &got, nullptr));
  CHECK_EQ(c, 'e');
  CHECK_EQ(SetFilePointer(h, 1, nullptr, FILE_CURRENT), 6u);
  CHECK_EQ(SetFilePointer(h, 100, nullptr, FILE_BEGIN), 100u);  // past the end is allowed
  CloseHandle(h);
}

CONFORMANCE_CASE(files, SetFilePointer_HighPartInAndOut) {
  Scratch::File("p.txt", "abcdef");
  HANDLE h = Open(Scratch::Path("p.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  LONG high = 0;
  CHECK_EQ(SetFilePointer(h, 0, &high, FILE_END), 6u);
  CHECK_EQ(high, 0);
  high = -1;  // the two parts make one signed distance: -1
  CHECK_EQ(SetFilePointer(h, -1, &high, FILE_CURRENT), 5u);
  CHECK_EQ(high, 0);
  CloseHandle(h);
}

CONFORMANCE_CASE(files, GetFileSize_WholeLengthWhereverThePositionIs) {
  Scratch::File("s.txt", "abcdef");
  Scratch::File("e.txt", "");
  HANDLE h = Open(Scratch::Path("s.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  DWORD high = 99;
  CHECK_EQ(GetFileSize(h, &high), 6u);
  CHECK_EQ(high, 0u);
  CHECK_EQ(SetFilePointer(h, 4, nullptr, FILE_BEGIN), 4u);
  CHECK_EQ(GetFileSize(h, nullptr), 6u);
  CloseHandle(h);
  h = Open(Scratch::Path("e.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  CHECK_EQ(GetFileSize(h, nullptr), 0u);
  CloseHandle(h);
  CHECK_EQ(GetFileSize(h, nullptr), INVALID_FILE_SIZE);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
}

CONFORMANCE_CASE(files, WriteFile_NothingToWrite) {
  HANDLE h = Open(Scratch::Path("z.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS);
  DWORD put = 99;
  CHECK_TRUE(WriteFile(h, "", 0, &put, nullptr));
  CHECK_EQ(put, 0u);
  CloseHandle(h);
  CHECK_STR(ReadAll("z.txt"), "");
}

CONFORMANCE_CASE(files, SetFilePointer_BeforeTheStartGives131) {
  Scratch::File("p.txt", "abc");
  HANDLE h = Open(Scratch::Path("p.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  CHECK_EQ(SetFilePointer(h, 1, nullptr, FILE_BEGIN), 1u);
  CHECK_EQ(SetFilePointer(h, -5, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  CHECK_ERROR(131);                                           // ERROR_NEGATIVE_SEEK
  CHECK_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 1u);  // unmoved
  CloseHandle(h);
}

CONFORMANCE_CASE(files, CloseHandle_TwiceGives6) {
  HANDLE h = Open(Scratch::Path("c.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS);
  CHECK_TRUE(CloseHandle(h));
  CHECK_EQ(CloseHandle(h), FALSE);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
}

// --- DeleteFileA -------------------------------------------------------------

CONFORMANCE_CASE(files, DeleteFileA_MissingFileGives2MissingFolder3) {
  CHECK_EQ(DeleteFileA(Scratch::Path("none.txt").c_str()), FALSE);
  CHECK_ERROR(ERROR_FILE_NOT_FOUND);
  CHECK_EQ(DeleteFileA(Scratch::Path("nodir\\none.txt").c_str()), FALSE);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
}

CONFORMANCE_CASE(files, DeleteFileA_DirectoryAndReadOnlyGive5) {
  Scratch::Folder("d");
  CHECK_EQ(DeleteFileA(Scratch::Path("d").c_str()), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  Scratch::File("ro.txt");
  CHECK_TRUE(SetFileAttributesA(Scratch::Path("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  CHECK_EQ(DeleteFileA(Scratch::Path("ro.txt").c_str()), FALSE);
  CHECK_ERROR(ERROR_ACCESS_DENIED);
  CHECK_TRUE(SetFileAttributesA(Scratch::Path("ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
  CHECK_TRUE(DeleteFileA(Scratch::Path("ro.txt").c_str()));
}

CONFORMANCE_CASE(files, DeleteFileA_OpenWithoutShareDeleteGives32) {
  Scratch::File("o.txt", "x");
  HANDLE h = Open(Scratch::Path("o.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  CHECK_EQ(DeleteFileA(Scratch::Path("o.txt").c_str()), FALSE);
  CHECK_ERROR(ERROR_SHARING_VIOLATION);
  CloseHandle(h);
  CHECK_TRUE(DeleteFileA(Scratch::Path("o.txt").c_str()));
}

CONFORMANCE_CASE(files, DeleteFileA_FileNameWithBackslashGives123) {
  Scratch::File("a.txt", "x");
  CHECK_EQ(DeleteFileA(Scratch::Path("a.txt\\").c_str()), FALSE);
  CHECK_ERROR(ERROR_INVALID_NAME);
  CHECK_EQ(GetFileAttributesA(Scratch::Path("a.txt").c_str()),
           static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));  // still there
}

CONFORMANCE_CASE(files, DeleteFileA_OpenWithShareDeleteStaysPendingUntilClosed) {
  // 9x has no FILE_SHARE_DELETE (CreateFileA_ShareDeleteIsNtOnly).
  if (!NtFamily()) return;
  WINE_DIFFERS("Wine keeps a file deleted while open usable (wine-notes.md, delete-pending)");
  Scratch::File("p.txt", "x");
  HANDLE h = Open(Scratch::Path("p.txt"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                  OPEN_EXISTING);
  CHECK_TRUE(h != INVALID_HANDLE_VALUE);
  CHECK_TRUE(DeleteFileA(Scratch::Path("p.txt").c_str()));
  if (NtFamily()) {
    // The name stays until the last handle closes; a second delete is refused.
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(Scratch::Path("p.txt").c_str(), &data);
    CHECK_TRUE(find != INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    CHECK_EQ(DeleteFileA(Scratch::Path("p.txt").c_str()), FALSE);
    CHECK_ERROR(ERROR_ACCESS_DENIED);
  }
  char c = 0;
  DWORD got = 0;
  CHECK_TRUE(ReadFile(h, &c, 1, &got, nullptr));  // the open handle still reads
  CHECK_EQ(c, 'x');
  CloseHandle(h);
  CHECK_EQ(GetFileAttributesA(Scratch::Path("p.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  CHECK_ERROR(ERROR_FILE_NOT_FOUND);
}

// --- GetFileAttributesA, SetFileAttributesA ---------------------------------

CONFORMANCE_CASE(files, GetFileAttributesA_FileAndFolder) {
  Scratch::File("a.txt");
  Scratch::Folder("d");
  CHECK_EQ(GetFileAttributesA(Scratch::Path("a.txt").c_str()),
           static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  CHECK_EQ(GetFileAttributesA(Scratch::Path("d").c_str()),
           static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  CHECK_EQ(GetFileAttributesA(Scratch::Path("d\\").c_str()),
           static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  CHECK_EQ(GetFileAttributesA("C:\\"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

CONFORMANCE_CASE(files, GetFileAttributesA_MissingGives2MissingFolder3) {
  CHECK_EQ(GetFileAttributesA(Scratch::Path("none").c_str()), INVALID_FILE_ATTRIBUTES);
  CHECK_ERROR(ERROR_FILE_NOT_FOUND);
  CHECK_EQ(GetFileAttributesA(Scratch::Path("nodir\\none").c_str()), INVALID_FILE_ATTRIBUTES);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
}

CONFORMANCE_CASE(files, GetFileAttributesA_FileNameWithBackslashGives3) {
  Scratch::File("a.txt");
  CHECK_EQ(GetFileAttributesA(Scratch::Path("a.txt\\").c_str()), INVALID_FILE_ATTRIBUTES);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
}

CONFORMANCE_CASE(files, GetFileAttributesA_MissingDriveGives3) {
  CHECK_EQ(GetFileAttributesA("Q:\\cvsconf\\a.txt"), INVALID_FILE_ATTRIBUTES);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
}

CONFORMANCE_CASE(files, GetFileAttributesA_MissingDriveRootGives3) {
  WINE_DIFFERS("a path on a missing drive gives 2 in Wine (wine-notes.md)");
  CHECK_EQ(GetFileAttributesA("Q:\\a.txt"), INVALID_FILE_ATTRIBUTES);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
}

CONFORMANCE_CASE(files, SetFileAttributesA_ReadOnlyShowsAndClears) {
  WINE_DIFFERS("Wine reports FILE_ATTRIBUTE_ARCHIVE on every file (measured, Wine 8)");
  Scratch::File("a.txt");
  CHECK_TRUE(SetFileAttributesA(Scratch::Path("a.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  CHECK_EQ(GetFileAttributesA(Scratch::Path("a.txt").c_str()),
           static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  CHECK_TRUE(SetFileAttributesA(Scratch::Path("a.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
  CHECK_EQ(GetFileAttributesA(Scratch::Path("a.txt").c_str()),
           static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
}

CONFORMANCE_CASE(files, SetFileAttributesA_MissingGives2MissingFolder3) {
  CHECK_EQ(SetFileAttributesA(Scratch::Path("none").c_str(), FILE_ATTRIBUTE_NORMAL), FALSE);
  CHECK_ERROR(ERROR_FILE_NOT_FOUND);
  CHECK_EQ(SetFileAttributesA(Scratch::Path("nodir\\none").c_str(), FILE_ATTRIBUTE_NORMAL), FALSE);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
}
