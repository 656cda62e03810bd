// File calls as the program relies on them: codes, order of checks, sharing.
#include <gtest/gtest.h>

#include <cstring>

#include "sim/machine.h"
#include "support/test_machine.h"

namespace {

HANDLE Open(const char* path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(DeleteFile, ChecksInWindowsOrder) {
  TestMachine tm;
  tm.AddFile("C:\\App\\ro.dll", "x");
  tm.SetReadOnly("C:\\App\\ro.dll");
  tm.SetInUse("C:\\App\\ro.dll");  // read-only wins over in use
  tm.AddFile("C:\\App\\busy.dll", "x");
  tm.SetInUse("C:\\App\\busy.dll");
  struct Case {
    const char* path;
    DWORD error;
  } cases[] = {
      {"C:\\Missing\\a.dll", ERROR_PATH_NOT_FOUND},
      {"C:\\App\\missing.dll", ERROR_FILE_NOT_FOUND},
      {"C:\\App", ERROR_ACCESS_DENIED},
      {"C:\\App\\ro.dll", ERROR_ACCESS_DENIED},
      {"C:\\App\\busy.dll", ERROR_SHARING_VIOLATION},
      {"C:\\App\\*.dll", ERROR_INVALID_NAME},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_FALSE(DeleteFileA(c.path)) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
  EXPECT_TRUE(tm.Exists("C:\\App\\ro.dll"));
  EXPECT_TRUE(tm.Exists("C:\\App\\busy.dll"));
}

TEST(DeleteFile, RemovesHostFileAndItsFlags) {
  TestMachine tm;
  tm.AddFile("C:\\App\\Data.TXT", "x");
  tm.SetReadOnly("C:\\App\\Data.TXT");
  ASSERT_TRUE(SetFileAttributesA("c:/app/data.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(DeleteFileA("c:\\APP\\data.txt."));  // case and trailing dot ignored
  EXPECT_FALSE(tm.Exists("C:\\App\\Data.TXT"));
  EXPECT_TRUE(tm.m.files.AllFlags().empty());
}

TEST(DeleteFile, OpenHandleBlocksUnlessShareDelete) {
  TestMachine tm;
  tm.AddFile("C:\\a.txt", "x");
  HANDLE h = Open("C:\\a.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteFileA("C:\\a.txt"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(CloseHandle(h));
  h = Open("C:\\a.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
  EXPECT_TRUE(DeleteFileA("C:\\a.txt"));
  EXPECT_TRUE(CloseHandle(h));
}

// NT: the file stays, delete-pending, until its last handle closes; then the
// host file goes. 9x has no such state: the file goes at once.
TEST(DeleteFile, SharedDeleteIsPendingUntilTheLastClose) {
  TestMachine tm;
  tm.AddFile("C:\\a.txt", "x");
  const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE first = Open("C:\\a.txt", GENERIC_READ, all, OPEN_EXISTING);
  HANDLE second = Open("C:\\a.txt", 0, 0, OPEN_EXISTING);  // attributes only
  ASSERT_NE(second, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(DeleteFileA("C:\\a.txt"));
  EXPECT_TRUE(tm.Exists("C:\\a.txt"));
  EXPECT_EQ(GetFileAttributesA("C:\\a.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Open("C:\\a.txt", GENERIC_READ, all, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(CloseHandle(first));
  EXPECT_TRUE(tm.Exists("C:\\a.txt"));  // one handle left
  EXPECT_TRUE(CloseHandle(second));
  EXPECT_FALSE(tm.Exists("C:\\a.txt"));
  // The name is free again, with nothing pending on it.
  HANDLE again = Open("C:\\a.txt", GENERIC_WRITE, 0, CREATE_NEW);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  CloseHandle(again);

  // 9x knows no FILE_SHARE_DELETE: an open file cannot be deleted there.
  TestMachine old("98");
  old.AddFile("C:\\b.txt", "x");
  EXPECT_EQ(Open("C:\\b.txt", GENERIC_READ, all, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  HANDLE h = Open("C:\\b.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  EXPECT_FALSE(DeleteFileA("C:\\b.txt"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_TRUE(DeleteFileA("C:\\b.txt"));
  EXPECT_FALSE(old.Exists("C:\\b.txt"));
}

// Windows closes what a process left open when it ends: a pending deletion
// then completes.
TEST(DeleteFile, PendingDeletionCompletesWhenTheProcessEnds) {
  TestMachine tm;
  tm.AddFile("C:\\left.txt", "x");
  {
    sim::Machine run;  // one run of a program on the same drives
    run.files.drives_root = tm.m.files.drives_root;
    sim::ScopedMachine scope(run);
    HANDLE h =
        Open("C:\\left.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(DeleteFileA("C:\\left.txt"));
    EXPECT_TRUE(tm.Exists("C:\\left.txt"));
  }
  EXPECT_FALSE(tm.Exists("C:\\left.txt"));
}

TEST(CreateFile, AttributesOnlyOpenPassesSharingAndUse) {
  TestMachine tm;
  tm.AddFile("C:\\busy.dll", "x");
  tm.SetInUse("C:\\busy.dll");
  HANDLE h = Open("C:\\busy.dll", 0, 0, OPEN_EXISTING);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_EQ(Open("C:\\busy.dll", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
  // An attributes-only handle does not keep a delete away either.
  tm.AddFile("C:\\free.txt", "x");
  h = Open("C:\\free.txt", 0, 0, OPEN_EXISTING);
  EXPECT_FALSE(tm.m.files.DeletePending("C:\\free.txt"));
  EXPECT_TRUE(DeleteFileA("C:\\free.txt"));
  EXPECT_TRUE(tm.m.files.DeletePending("C:\\free.txt"));
  CloseHandle(h);
  EXPECT_FALSE(tm.Exists("C:\\free.txt"));
}

TEST(Paths, FileNameWithSeparatorNamesNoFile) {
  TestMachine tm;
  tm.AddFile("C:\\d\\a.txt", "x");
  EXPECT_EQ(Open("C:\\d\\a.txt\\", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
  EXPECT_FALSE(DeleteFileA("C:\\d\\a.txt/"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
  EXPECT_EQ(GetFileAttributesA("C:\\d\\a.txt\\"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(SetFileAttributesA("C:\\d\\a.txt\\", FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(tm.Exists("C:\\d\\a.txt"));
  EXPECT_FALSE(tm.m.files.Flags("C:\\d\\a.txt").read_only);
  // A folder may end with one.
  EXPECT_EQ(GetFileAttributesA("C:\\d\\"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
}

TEST(CreateFile, DispositionsAndCodes) {
  TestMachine tm;
  tm.AddFile("C:\\x\\old.txt", "abc");
  EXPECT_EQ(Open("C:\\x\\new.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Open("C:\\nope\\new.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(Open("C:\\x", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Open("C:\\x\\old.txt", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));

  HANDLE h = Open("C:\\x\\old.txt", GENERIC_WRITE, 0, OPEN_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
  CloseHandle(h);
  EXPECT_EQ(tm.ReadFile("C:\\x\\old.txt"), "abc");  // OPEN_ALWAYS keeps the content
  h = Open("C:\\x\\old.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_EQ(tm.ReadFile("C:\\x\\old.txt"), "");
  h = Open("C:\\x\\new.txt", GENERIC_WRITE, 0, OPEN_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), 0u);
  CloseHandle(h);
  EXPECT_TRUE(tm.Exists("C:\\x\\new.txt"));

  tm.SetReadOnly("C:\\x\\new.txt");
  EXPECT_EQ(Open("C:\\x\\new.txt", GENERIC_WRITE, 0, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  h = Open("C:\\x\\new.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);  // reading a read-only file is fine
  CloseHandle(h);
  tm.SetInUse("C:\\x\\old.txt");
  EXPECT_EQ(Open("C:\\x\\old.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
}

TEST(CreateFile, ShareModesAreEnforcedBetweenHandles) {
  TestMachine tm;
  tm.AddFile("C:\\log.txt", "");
  HANDLE exclusive = Open("C:\\log.txt", GENERIC_WRITE, 0, OPEN_ALWAYS);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Open("C:\\LOG.TXT", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
  CloseHandle(exclusive);

  HANDLE reader = Open("C:\\log.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  HANDLE second = Open("C:\\log.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(second, INVALID_HANDLE_VALUE);
  // A writer is refused: the reader does not share writing.
  EXPECT_EQ(Open("C:\\log.txt", GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING),
            INVALID_HANDLE_VALUE);
  CloseHandle(second);
  CloseHandle(reader);
  EXPECT_EQ(tm.m.handles.Count(), 0u);
}

TEST(CreateFile, ReadWriteAndSeek) {
  TestMachine tm;
  HANDLE h = Open("C:\\f.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  EXPECT_TRUE(WriteFile(h, "hello", 5, &n, nullptr));
  EXPECT_EQ(n, 5u);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_END), 5u);
  EXPECT_TRUE(WriteFile(h, "!", 1, &n, nullptr));
  EXPECT_EQ(SetFilePointer(h, 1, nullptr, FILE_BEGIN), 1u);
  char buf[16] = {};
  EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(std::string(buf, n), "ello!");
  EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));  // end of file: TRUE, 0 bytes
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(SetFilePointer(h, -10, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), 131u);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));
  EXPECT_EQ(tm.ReadFile("C:\\f.bin"), "hello!");

  HANDLE r = Open("C:\\f.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_FALSE(WriteFile(r, "x", 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  CloseHandle(r);
}

TEST(Directories, CreateRemoveAndCurrent) {
  TestMachine tm;
  EXPECT_TRUE(CreateDirectoryA("C:\\New", nullptr));
  EXPECT_FALSE(CreateDirectoryA("c:\\new", nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectoryA("C:\\A\\B", nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));

  tm.AddFile("C:\\Full\\f.txt");
  tm.AddFile("C:\\file.txt");
  struct Case {
    const char* path;
    DWORD error;
  } cases[] = {{"C:\\Full", ERROR_DIR_NOT_EMPTY},
               {"C:\\file.txt", ERROR_DIRECTORY},
               {"C:\\Gone", ERROR_FILE_NOT_FOUND},
               {"C:\\Gone\\Sub", ERROR_PATH_NOT_FOUND},
               {"C:\\Scrubber", ERROR_SHARING_VIOLATION}};  // the current directory
  for (const Case& c : cases) {
    EXPECT_FALSE(RemoveDirectoryA(c.path)) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
  EXPECT_TRUE(RemoveDirectoryA("C:\\new\\"));
  EXPECT_FALSE(tm.Exists("C:\\New"));

  EXPECT_TRUE(SetCurrentDirectoryA("C:\\fULL\\"));
  char buf[MAX_PATH];
  EXPECT_EQ(GetCurrentDirectoryA(sizeof buf, buf), 7u);
  EXPECT_STREQ(buf, "C:\\fULL");                // as given, without the backslash
  EXPECT_EQ(GetCurrentDirectoryA(3, buf), 8u);  // too small: the size needed
  EXPECT_FALSE(SetCurrentDirectoryA("C:\\file.txt"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_DIRECTORY));
  EXPECT_FALSE(SetCurrentDirectoryA("C:\\none"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  // Relative names and ".." go from the current directory.
  EXPECT_NE(GetFileAttributesA("f.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesA("..\\file.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesA("\\Scrubber"), INVALID_FILE_ATTRIBUTES);
}

TEST(Attributes, ReadOnlyDirectoryAndMissing) {
  TestMachine tm;
  tm.AddFile("C:\\d\\a.txt");
  EXPECT_EQ(GetFileAttributesA("C:\\d"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(GetFileAttributesA("C:\\d\\a.txt"), DWORD(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_TRUE(SetFileAttributesA("C:\\d\\a.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesA("C:\\D\\A.TXT"), DWORD(FILE_ATTRIBUTE_READONLY));  // exactly as set
  EXPECT_EQ(GetFileAttributesA("C:\\d\\b.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(SetFileAttributesA("C:\\e\\b.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesA("C:\\d\\a.txt\\x"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesA("Q:\\x"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

TEST(ShortNames, GeneratedOnceAndKept) {
  TestMachine tm;
  tm.AddFile("C:\\Program Files\\Vantrel Imaging\\readme.txt");
  tm.AddDir("C:\\Program Data");
  char buf[MAX_PATH];
  DWORD n = GetShortPathNameA("c:\\program files\\vantrel imaging\\readme.txt", buf, sizeof buf);
  // Names that are 8.3 names already keep the case they were given in.
  EXPECT_STREQ(buf, "c:\\PROGRA~2\\VANTRE~1\\readme.txt");
  EXPECT_EQ(n, strlen(buf));
  EXPECT_EQ(GetShortPathNameA("C:\\Program Files\\Vantrel Imaging\\readme.txt", buf, 5), n + 1);
  // Kept: a new folder sorting first does not shift the name.
  tm.AddDir("C:\\Program Archive");
  GetShortPathNameA("C:\\Program Files", buf, sizeof buf);
  EXPECT_STREQ(buf, "C:\\PROGRA~2");
  EXPECT_EQ(tm.m.files.StoredShortNames().count("C:\\Program Files"), 1u);
  // The short name opens the file too.
  EXPECT_NE(GetFileAttributesA("C:\\PROGRA~2\\VANTRE~1\\README.TXT"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetShortPathNameA("C:\\Program Files\\none", buf, sizeof buf), 0u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  // A path of 8.3 names comes back as given, a relative path stays relative.
  tm.AddFile("C:\\WINDOWS\\TEMP\\EraseVtc.bat");
  GetShortPathNameA("c:\\windows\\temp\\EraseVtc.bat", buf, sizeof buf);
  EXPECT_STREQ(buf, "c:\\windows\\temp\\EraseVtc.bat");
  tm.SetCurrentDir("C:\\Program Files");
  GetShortPathNameA("Vantrel Imaging\\readme.txt", buf, sizeof buf);
  EXPECT_STREQ(buf, "VANTRE~1\\readme.txt");
}

TEST(Paths, WindowsFormsOfOneFile) {
  TestMachine tm;
  tm.AddFile("C:\\Program Files\\VT\\a.dll");
  for (const char* form : {"C:/program files/vt/A.DLL", "C:\\Program Files\\VT\\.\\x\\..\\a.dll",
                           "C:\\Program Files.\\VT  \\a.dll. ", "\\Program Files\\VT\\a.dll",
                           "c:..\\Program Files\\VT\\a.dll"})
    EXPECT_EQ(GetFileAttributesA(form), DWORD(FILE_ATTRIBUTE_ARCHIVE)) << form;
  struct Case {
    std::string path;
    DWORD error;
  } cases[] = {{"C:\\a<b.txt", ERROR_INVALID_NAME},
               {"C:\\" + std::string(260, 'x'), 206},
               {"\\\\server\\share\\a.txt", 53},
               {"", ERROR_PATH_NOT_FOUND}};
  for (const Case& c : cases) {
    EXPECT_EQ(GetFileAttributesA(c.path.c_str()), INVALID_FILE_ATTRIBUTES) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
}

TEST(SystemPaths, TempDriveTypeAndFreeSpace) {
  TestMachine tm;
  char buf[MAX_PATH];
  EXPECT_EQ(GetTempPathA(sizeof buf, buf), 16u);
  EXPECT_STREQ(buf, "C:\\WINDOWS\\TEMP\\");
  tm.SetDirectory("temp", "C:\\Temp");  // the backslash is added
  EXPECT_EQ(GetTempPathA(sizeof buf, buf), 8u);
  EXPECT_STREQ(buf, "C:\\Temp\\");
  EXPECT_EQ(GetTempPathA(4, buf), 9u);
  tm.SetDirectoryNull("temp");
  EXPECT_EQ(GetTempPathA(sizeof buf, buf), 0u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));

  tm.AddDrive('D', DRIVE_CDROM);
  tm.AddDrive('E', DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(GetDriveTypeA("C:\\"), DRIVE_FIXED);
  EXPECT_EQ(GetDriveTypeA("d:\\"), DRIVE_CDROM);
  EXPECT_EQ(GetDriveTypeA("E:\\"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(GetDriveTypeA("Z:\\"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(GetDriveTypeA(nullptr), DRIVE_FIXED);
  ULARGE_INTEGER avail, total, free;
  EXPECT_TRUE(GetDiskFreeSpaceExA("C:\\WINDOWS", &avail, &total, &free));
  EXPECT_EQ(avail.QuadPart, 5000000000ULL);
  EXPECT_FALSE(GetDiskFreeSpaceExA("E:\\", &avail, &total, &free));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

TEST(Faults, ApplyByPathAndCount) {
  TestMachine tm;
  tm.AddFile("C:\\a.dll");
  tm.AddFile("C:\\b.dll");
  tm.AddFault("DeleteFileA", ERROR_LOCK_VIOLATION, "c:\\A.DLL", 1);
  EXPECT_TRUE(DeleteFileA("C:\\b.dll"));  // another path: no fault
  EXPECT_FALSE(DeleteFileA("C:\\a.dll"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_LOCK_VIOLATION));
  EXPECT_TRUE(DeleteFileA("C:\\a.dll"));  // used up
  tm.AddFault("GetTempPathA", ERROR_ACCESS_DENIED);
  char buf[MAX_PATH];
  EXPECT_EQ(GetTempPathA(sizeof buf, buf), 0u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

}  // namespace
