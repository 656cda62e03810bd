// Lookup of paths named in another case than the host's: the folders it has
// resolved once are reused, and must follow every change of the host.
#include <gtest/gtest.h>

#include <string>

#include "sim/machine.h"
#include "support/test_machine.h"

namespace {

TEST(LookupCase, StoredNamesWinAndFollowTheHost) {
  TestMachine tm("xp");
  tm.AddFile("C:\\Program Files\\Vantrel\\Bin\\a.dll", "a");
  tm.AddFile("C:\\Program Files\\Vantrel\\Bin\\b.dll", "b");
  const std::string asked = "C:\\PROGRAM FILES\\VANTREL\\BIN\\";

  // The first name resolves the folders, the second reuses them.
  for (const char* name : {"a.dll", "b.dll", "A.DLL"}) {
    const sim::PathLookup p = tm.m.files.Lookup(asked + name);
    EXPECT_TRUE(p.exists) << name;
    EXPECT_FALSE(p.directory) << name;
    EXPECT_EQ(p.full, "C:\\Program Files\\Vantrel\\Bin\\" +
                          std::string(name == std::string("A.DLL") ? "a.dll" : name));
    EXPECT_EQ(p.host, tm.HostPath(p.full));
  }
  sim::PathLookup missing = tm.m.files.Lookup(asked + "c.dll");
  EXPECT_FALSE(missing.exists);
  EXPECT_TRUE(missing.parent_exists);
  EXPECT_EQ(missing.full, "C:\\Program Files\\Vantrel\\Bin\\c.dll");

  // The folder made again in another case: the new case is found.
  tm.Remove("C:\\Program Files\\Vantrel\\Bin");
  tm.AddFile("C:\\Program Files\\Vantrel\\BIN\\a.dll", "a");
  sim::PathLookup p = tm.m.files.Lookup(asked + "a.dll");
  EXPECT_TRUE(p.exists);
  EXPECT_EQ(p.full, "C:\\Program Files\\Vantrel\\BIN\\a.dll");
  EXPECT_EQ(p.host, tm.HostPath("C:\\Program Files\\Vantrel\\BIN\\a.dll"));
  missing = tm.m.files.Lookup(asked + "b.dll");
  EXPECT_FALSE(missing.exists);
  EXPECT_TRUE(missing.parent_exists);

  // A file where the folder was: the path leads nowhere (3, not 2).
  tm.Remove("C:\\Program Files\\Vantrel\\BIN");
  tm.AddFile("C:\\Program Files\\Vantrel\\Bin", "now a file");
  for (const char* name : {"a.dll", "b.dll"}) {
    p = tm.m.files.Lookup(asked + name);
    EXPECT_FALSE(p.exists) << name;
    EXPECT_FALSE(p.parent_exists) << name;
  }
  SetLastError(0);
  EXPECT_EQ(GetFileAttributesA((asked + "a.dll").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(LookupCase, FolderGoneThroughTheCallsIsSeen) {
  TestMachine tm("xp");
  tm.AddFile("C:\\Data\\Sub\\x.txt", "x");
  EXPECT_NE(GetFileAttributesA("C:\\DATA\\SUB\\X.TXT"), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(DeleteFileA("C:\\data\\sub\\x.txt"));
  ASSERT_TRUE(RemoveDirectoryA("C:\\DATA\\SUB"));
  SetLastError(0);
  EXPECT_EQ(GetFileAttributesA("C:\\DATA\\SUB\\X.TXT"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  ASSERT_TRUE(CreateDirectoryA("C:\\DATA\\sub", nullptr));
  HANDLE h = CreateFileA("C:\\data\\SUB\\y.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_TRUE(tm.Exists("C:\\Data\\sub\\y.txt"));
  EXPECT_EQ(tm.m.files.Lookup("C:\\DATA\\SUB\\Y.TXT").full, "C:\\Data\\sub\\y.txt");
}

}  // namespace
