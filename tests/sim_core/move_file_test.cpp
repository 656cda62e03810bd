// MoveFileExA: moves now, and the moves and deletions left for the next start
// of Windows in PendingFileRenameOperations.
#include <gtest/gtest.h>

#include <string>

#include "sim/machine.h"
#include "support/test_machine.h"

namespace {

const char kSessionManager[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";

std::string Pending(TestMachine& tm) {
  const sim::RegValue* v = tm.m.registry.GetValue(kSessionManager, "PendingFileRenameOperations");
  if (!v) return "(none)";
  EXPECT_EQ(v->type, static_cast<DWORD>(REG_MULTI_SZ));
  return std::string(v->data());
}

TEST(MoveFileEx, DelayUntilRebootAppendsPairs) {
  TestMachine tm("xp");
  tm.AddFile("C:\\App\\old.dll", "o");
  EXPECT_TRUE(MoveFileExA("C:\\App\\old.dll", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_EQ(Pending(tm), std::string("\\??\\C:\\App\\old.dll\0\0\0", 21));
  // A missing source is recorded all the same; relative paths are made full.
  tm.SetCurrentDir("C:\\Scrubber");
  EXPECT_TRUE(MoveFileExA("new.dll", "..\\App\\old.dll",
                          MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
  EXPECT_TRUE(MoveFileExA("C:\\a", "C:\\b", MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_EQ(Pending(tm), std::string("\\??\\C:\\App\\old.dll\0\0"
                                     "\\??\\C:\\Scrubber\\new.dll\0!\\??\\C:\\App\\old.dll\0"
                                     "\\??\\C:\\a\0\\??\\C:\\b\0\0",
                                     83));
  EXPECT_TRUE(tm.Exists("C:\\App\\old.dll"));  // nothing moves before the restart
  SetLastError(0);
  EXPECT_FALSE(MoveFileExA("C:\\a", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(MoveFileEx, DelayUntilRebootNeedsHklmWrites) {
  TestMachine tm("xp");
  tm.m.system.administrator = tm.m.registry.administrator = false;
  EXPECT_FALSE(MoveFileExA("C:\\a", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Pending(tm), "(none)");
}

TEST(MoveFileEx, NinetyFiveToMeHaveNone) {
  for (const char* version : {"95", "98", "me"}) {
    TestMachine tm(version);
    tm.AddFile("C:\\App\\a.txt");
    EXPECT_FALSE(MoveFileExA("C:\\App\\a.txt", "C:\\App\\b.txt", 0)) << version;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED)) << version;
    EXPECT_FALSE(MoveFileExA("C:\\App\\a.txt", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED)) << version;
    EXPECT_TRUE(tm.Exists("C:\\App\\a.txt"));
  }
}

TEST(MoveFileEx, FlagsTravelAndBusyItemsStay) {
  TestMachine tm("xp");
  tm.AddFile("C:\\App\\Data\\ro.txt", "r");
  tm.SetReadOnly("C:\\App\\Data\\ro.txt");
  EXPECT_TRUE(MoveFileExA("C:\\App\\Data", "C:\\Kept", 0));
  EXPECT_EQ(tm.ReadFile("C:\\Kept\\ro.txt"), "r");
  EXPECT_TRUE(tm.m.files.Flags("C:\\Kept\\ro.txt").read_only);
  EXPECT_FALSE(tm.m.files.Flags("C:\\App\\Data\\ro.txt").read_only);
  // Only the case changes.
  EXPECT_TRUE(MoveFileExA("C:\\Kept", "C:\\KEPT", 0));
  EXPECT_EQ(tm.m.files.Lookup("C:\\kept").full, "C:\\KEPT");
  tm.AddFile("C:\\App\\busy.dll");
  tm.SetInUse("C:\\App\\busy.dll");
  EXPECT_FALSE(MoveFileExA("C:\\App\\busy.dll", "C:\\App\\b.dll", 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(MoveFileExA("C:\\App", "C:\\App2", 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(tm.Exists("C:\\App\\busy.dll"));
}

TEST(MoveFileEx, AcrossDrivesOnlyFilesWithCopyAllowed) {
  TestMachine tm("xp");
  tm.AddDrive('D');
  tm.AddFile("C:\\App\\a.txt", "a");
  tm.AddDir("C:\\App\\Sub");
  tm.AddDir("D:\\To");
  EXPECT_FALSE(MoveFileExA("C:\\App\\a.txt", "D:\\To\\a.txt", 0));
  EXPECT_EQ(GetLastError(), 17u);  // ERROR_NOT_SAME_DEVICE
  EXPECT_FALSE(MoveFileExA("C:\\App\\Sub", "D:\\To\\Sub", MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ(GetLastError(), 17u);
  EXPECT_TRUE(MoveFileExA("C:\\App\\a.txt", "D:\\To\\a.txt", MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ(tm.ReadFile("D:\\To\\a.txt"), "a");
  EXPECT_FALSE(tm.Exists("C:\\App\\a.txt"));
}

TEST(MoveFileEx, ReplacingNeedsTheFlagAndAPlainFile) {
  TestMachine tm("xp");
  tm.AddFile("C:\\App\\new.txt", "new");
  tm.AddFile("C:\\App\\old.txt", "old");
  tm.AddFile("C:\\App\\ro.txt", "ro");
  tm.SetReadOnly("C:\\App\\ro.txt");
  EXPECT_FALSE(MoveFileExA("C:\\App\\new.txt", "C:\\App\\old.txt", 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(MoveFileExA("C:\\App\\new.txt", "C:\\App\\ro.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(MoveFileExA("C:\\App\\new.txt", "C:\\App\\OLD.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(tm.ReadFile("C:\\App\\old.txt"), "new");
  EXPECT_EQ(tm.m.files.Lookup("C:\\App\\old.txt").full, "C:\\App\\OLD.txt");
  tm.AddFault("MoveFileExA", 1224, "c:\\app\\old.TXT", 1);
  EXPECT_FALSE(MoveFileExA("C:\\App\\OLD.txt", "C:\\App\\x.txt", 0));
  EXPECT_EQ(GetLastError(), 1224u);
}

}  // namespace
