// Path and volume calls: short names, the temporary folder, drives.
#include "conformance/conformance.h"
#include "conformance/files_helpers.h"

namespace {

using conformance::Scratch;

}  // namespace

CONFORMANCE_CASE(files, GetShortPathNameA_ShortNameStaysAsGiven) {
  Scratch::File("a.txt");
  char buffer[MAX_PATH] = {};
  const std::string path = Scratch::Path("a.txt");
  CHECK_EQ(GetShortPathNameA(path.c_str(), buffer, sizeof buffer), path.size());
  CHECK_STR(buffer, path);
}

CONFORMANCE_CASE(files, GetShortPathNameA_LongNameGetsItsShortName) {
  WINE_DIFFERS("Wine's short names are hashed, never NAME~1 (wine-notes.md)");
  Scratch::Folder("Long Folder Name");
  Scratch::File("Long Folder Name\\Long File Name.html");
  char buffer[MAX_PATH] = {};
  CHECK_EQ(GetShortPathNameA(Scratch::Path("Long Folder Name\\Long File Name.html").c_str(), buffer,
                             sizeof buffer),
           32u);
  CHECK_STR(buffer, "C:\\cvsconf\\LONGFO~1\\LONGFI~1.HTM");
}

CONFORMANCE_CASE(files, GetShortPathNameA_RelativePathStaysRelative) {
  Scratch::File("a.txt");
  char saved[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof saved, saved);
  CHECK_TRUE(SetCurrentDirectoryA(Scratch::Path().c_str()));
  char buffer[MAX_PATH] = {};
  CHECK_EQ(GetShortPathNameA("a.txt", buffer, sizeof buffer), 5u);
  CHECK_STR(buffer, "a.txt");
  CHECK_EQ(GetShortPathNameA(".\\a.txt", buffer, sizeof buffer), 7u);
  CHECK_STR(buffer, ".\\a.txt");
  if (!SetCurrentDirectoryA(saved)) SetCurrentDirectoryA("C:\\");
}

CONFORMANCE_CASE(files, GetShortPathNameA_ShortBufferGivesTheSizeNeeded) {
  Scratch::File("a.txt");
  char buffer[5] = {'x', 'x', 'x', 'x', 0};
  const std::string path = Scratch::Path("a.txt");
  CHECK_EQ(GetShortPathNameA(path.c_str(), buffer, sizeof buffer), path.size() + 1);
  CHECK_STR(buffer, "xxxx");
}

CONFORMANCE_CASE(files, GetShortPathNameA_MissingGives2) {
  char buffer[MAX_PATH];
  CHECK_EQ(GetShortPathNameA(Scratch::Path("none.txt").c_str(), buffer, sizeof buffer), 0u);
  CHECK_ERROR(ERROR_FILE_NOT_FOUND);
}

CONFORMANCE_CASE(files, GetShortPathNameA_MissingFolderGives3) {
  char buffer[MAX_PATH];
  CHECK_EQ(GetShortPathNameA(Scratch::Path("nodir\\none.txt").c_str(), buffer, sizeof buffer), 0u);
  CHECK_ERROR(ERROR_PATH_NOT_FOUND);
}

CONFORMANCE_CASE(files, GetShortPathNameA_SimilarNamesAreNumbered) {
  WINE_DIFFERS("Wine's short names are hashed, never NAME~1 (wine-notes.md)");
  Scratch::File("Program Data One.txt");
  Scratch::File("Program Data Two.txt");
  char buffer[MAX_PATH] = {};
  CHECK_TRUE(
      GetShortPathNameA(Scratch::Path("Program Data One.txt").c_str(), buffer, sizeof buffer) > 0);
  CHECK_STR(buffer, "C:\\cvsconf\\PROGRA~1.TXT");
  CHECK_TRUE(
      GetShortPathNameA(Scratch::Path("Program Data Two.txt").c_str(), buffer, sizeof buffer) > 0);
  CHECK_STR(buffer, "C:\\cvsconf\\PROGRA~2.TXT");
  // Asked again, a name keeps its short name.
  CHECK_TRUE(
      GetShortPathNameA(Scratch::Path("Program Data One.txt").c_str(), buffer, sizeof buffer) > 0);
  CHECK_STR(buffer, "C:\\cvsconf\\PROGRA~1.TXT");
}

CONFORMANCE_CASE(files, GetTempPathA_EndsWithBackslashAndCountsWithoutZero) {
  char buffer[MAX_PATH] = {};
  const DWORD n = GetTempPathA(sizeof buffer, buffer);
  CHECK_TRUE(n > 3 && n < sizeof buffer);
  CHECK_EQ(n, std::string(buffer).size());
  CHECK_EQ(buffer[n - 1], '\\');
  CHECK_EQ(GetFileAttributesA(buffer) & FILE_ATTRIBUTE_DIRECTORY,
           static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

CONFORMANCE_CASE(files, GetTempPathA_ShortBufferGivesTheSizeNeeded) {
  char full[MAX_PATH] = {};
  const DWORD n = GetTempPathA(sizeof full, full);
  char small[3] = {'x', 'x', 0};
  CHECK_EQ(GetTempPathA(sizeof small, small), n + 1);
  CHECK_EQ(GetTempPathA(0, nullptr), n + 1);
}

CONFORMANCE_CASE(files, GetDriveTypeA_FixedRootAndMissingDrive) {
  CHECK_EQ(GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_FIXED));
  CHECK_EQ(GetDriveTypeA("c:\\"), static_cast<UINT>(DRIVE_FIXED));
  CHECK_EQ(GetDriveTypeA("Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  CHECK_EQ(GetDriveTypeA(nullptr), static_cast<UINT>(DRIVE_FIXED));  // the current drive
}

CONFORMANCE_CASE(files, GetDriveTypeA_NoDriveLetterGives1) {
  // The root of a temporary path such as "\\:\\" (a network path cut short).
  CHECK_EQ(GetDriveTypeA("\\:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  CHECK_EQ(GetDriveTypeA("C:\\cvsconf"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

CONFORMANCE_CASE(files, GetDiskFreeSpaceExA_RootAndFolder) {
  // The first Windows 95 lacks the call (see GetProcAddress's cases).
  if (!GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA")) return;
  ULARGE_INTEGER available = {}, total = {}, free = {};
  CHECK_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &free));
  CHECK_TRUE(free.QuadPart > 0);
  CHECK_TRUE(total.QuadPart >= free.QuadPart);
  CHECK_TRUE(free.QuadPart >= available.QuadPart);
  ULARGE_INTEGER again = {};
  CHECK_TRUE(GetDiskFreeSpaceExA(Scratch::Path("").c_str(), &again, nullptr, nullptr));
  CHECK_TRUE(again.QuadPart > 0);
  CHECK_TRUE(GetDiskFreeSpaceExA(nullptr, &again, nullptr, nullptr));  // the current drive
  CHECK_TRUE(again.QuadPart > 0);
}
