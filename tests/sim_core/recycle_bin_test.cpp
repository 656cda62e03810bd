// The shell's delete into the Recycle Bin and for good: where items go, the
// record of what went where, and what stops a move.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "sim/machine.h"
#include "support/host_io.h"
#include "support/test_machine.h"

namespace {

const char kSid[] = "S-1-5-21-1085031214-1563985344-725345543-1003";

int ShellDelete(const std::string& list, WORD flags) {
  std::string from = list + std::string(1, '\0');  // the second zero of the list
  SHFILEOPSTRUCTA op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = flags;
  return SHFileOperationA(&op);
}

const WORD kQuiet = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;

TEST(RecycleBin, ItemsMoveUnderNumberedNamesAndAreRecorded) {
  TestMachine tm("xp");
  tm.AddFile("C:\\App\\scan.tif", "tif");
  tm.AddFile("C:\\App\\Data\\a.txt", "a");
  tm.SetReadOnly("C:\\App\\Data\\a.txt");
  tm.AddFile("C:\\App\\README", "r");
  std::string list =
      std::string("C:\\App\\README") + '\0' + "C:\\App\\scan.tif" + '\0' + "C:\\App\\Data";
  EXPECT_EQ(ShellDelete(list, kQuiet | FOF_ALLOWUNDO), 0);
  const std::string bin = std::string("C:\\RECYCLER\\") + kSid + "\\";
  EXPECT_EQ(tm.ReadFile(bin + "Dc1"), "r");
  EXPECT_EQ(tm.ReadFile(bin + "Dc2.tif"), "tif");
  EXPECT_EQ(tm.ReadFile(bin + "Dc3\\a.txt"), "a");
  EXPECT_FALSE(tm.Exists("C:\\App\\Data"));
  // The read-only flag travels with the file.
  EXPECT_TRUE(tm.m.files.Flags(bin + "Dc3\\a.txt").read_only);
  EXPECT_FALSE(tm.m.files.Flags("C:\\App\\Data\\a.txt").read_only);
  const auto& items = tm.m.files.recycle_bin.items;
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].path, "C:\\App\\README");
  EXPECT_EQ(items[0].stored, bin + "Dc1");
  EXPECT_EQ(items[2].path, "C:\\App\\Data");
  EXPECT_EQ(items[2].stored, bin + "Dc3");
  // A later delete continues the drive's numbering.
  tm.AddFile("C:\\App\\b.ini", "b");
  EXPECT_EQ(ShellDelete("C:\\App\\b.ini", kQuiet | FOF_ALLOWUNDO), 0);
  EXPECT_EQ(tm.ReadFile(bin + "Dc4.ini"), "b");
}

// A bin that already holds numbered items without their record (an image
// made on a real PC) is not overwritten: numbering goes on past them.
TEST(RecycleBin, NumbersFoundInTheFolderAreTaken) {
  TestMachine tm("xp");
  const std::string bin = std::string("C:\\RECYCLER\\") + kSid + "\\";
  tm.AddFile(bin + "Dc5.txt", "old");
  tm.AddFile(bin + "Dd9.txt", "other drive");
  tm.AddFile("C:\\App\\a.txt", "a");
  EXPECT_EQ(ShellDelete("C:\\App\\a.txt", kQuiet | FOF_ALLOWUNDO), 0);
  EXPECT_EQ(tm.ReadFile(bin + "Dc6.txt"), "a");
  EXPECT_EQ(tm.ReadFile(bin + "Dc5.txt"), "old");
}

TEST(RecycleBin, NinetyEightUsesRecycledInUpperCase) {
  TestMachine tm("98");
  tm.AddFile("C:\\App\\scan.tif", "tif");
  EXPECT_EQ(ShellDelete("C:\\App\\scan.tif", kQuiet | FOF_ALLOWUNDO), 0);
  EXPECT_EQ(tm.ReadFile("C:\\RECYCLED\\DC1.TIF"), "tif");
}

TEST(RecycleBin, WithoutUndoOrOffAFixedDriveItemsGoForGood) {
  TestMachine tm("xp");
  tm.AddDrive('A', DRIVE_REMOVABLE);
  tm.AddFile("A:\\x.txt", "x");
  tm.AddFile("C:\\App\\Sub\\y.txt", "y");
  tm.SetReadOnly("C:\\App\\Sub\\y.txt");
  EXPECT_EQ(ShellDelete("A:\\x.txt", kQuiet | FOF_ALLOWUNDO), 0);
  EXPECT_EQ(ShellDelete("C:\\App", kQuiet), 0);
  EXPECT_FALSE(tm.Exists("A:\\x.txt"));
  EXPECT_FALSE(tm.Exists("C:\\App"));
  EXPECT_FALSE(tm.Exists("A:\\RECYCLED"));
  EXPECT_FALSE(tm.Exists("C:\\RECYCLER"));
  EXPECT_TRUE(tm.m.files.recycle_bin.items.empty());
}

TEST(RecycleBin, AFolderWithABusyFileMovesNotAtAll) {
  TestMachine tm("xp");
  tm.AddFile("C:\\App\\a.txt", "a");
  tm.AddFile("C:\\App\\z.dll", "z");
  tm.SetInUse("C:\\App\\z.dll");
  EXPECT_EQ(ShellDelete("C:\\App", kQuiet | FOF_ALLOWUNDO), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(tm.Exists("C:\\App\\a.txt"));
  EXPECT_TRUE(tm.m.files.recycle_bin.items.empty());
  EXPECT_EQ(ShellDelete("C:\\App\\z.dll", kQuiet | FOF_ALLOWUNDO), ERROR_SHARING_VIOLATION);
  // Deleting for good takes what it can, in order, up to the busy file.
  EXPECT_EQ(ShellDelete("C:\\App", kQuiet), ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(tm.Exists("C:\\App\\a.txt"));
  EXPECT_TRUE(tm.Exists("C:\\App\\z.dll"));
}

TEST(RecycleBin, MissingItemsEmptyListsFaultsAndOtherFunctions) {
  TestMachine tm("xp");
  tm.AddFile("C:\\App\\a.txt", "a");
  EXPECT_EQ(ShellDelete("C:\\App\\none.txt", kQuiet), 1026);
  EXPECT_EQ(ShellDelete("C:\\Nope\\none.txt", kQuiet), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(ShellDelete("", kQuiet), ERROR_ACCESS_DENIED);
  tm.AddFault("SHFileOperationA", 1223, "c:\\app\\A.TXT", 1);
  EXPECT_EQ(ShellDelete("C:\\App\\a.txt", kQuiet), 1223);
  EXPECT_TRUE(tm.Exists("C:\\App\\a.txt"));
  std::string from = std::string("C:\\App\\a.txt") + '\0';
  SHFILEOPSTRUCTA op = {};
  op.wFunc = FO_COPY;
  op.pFrom = from.c_str();
  EXPECT_EQ(SHFileOperationA(&op), ERROR_CALL_NOT_IMPLEMENTED);
  EXPECT_EQ(ShellDelete("C:\\App\\*.*", kQuiet), 0);
  EXPECT_FALSE(tm.Exists("C:\\App\\a.txt"));
  EXPECT_TRUE(tm.IsDir("C:\\App"));
}

// The record is written to machine.json at save, read back at load, and the
// next run's items continue the numbering; the user's own SID names the bin.
TEST(RecycleBin, RecordSurvivesSaveAndLoad) {
  namespace fs = std::filesystem;
  TestMachine tm;  // only for its temporary folder
  const fs::path dir = fs::path(tm.ImageDir()) / "img";
  std::string json = kMinimalMachineJson;
  json.insert(json.rfind('}'), R"(, "user": { "sid": "S-1-5-21-7-8-9-1004" },
    "recycle_bin": [ { "path": "C:\\Old\\x.txt",
                       "stored": "C:\\RECYCLER\\S-1-5-21-7-8-9-1004\\Dc7.txt" } ])");
  WriteHost(dir / "machine.json", json);
  WriteHost(dir / "registry.reg", "REGEDIT4\r\n\r\n");
  WriteHost(dir / "drives/C/App/new.doc", "n");
  fs::create_directories(dir / "drives/C/Scrubber");
  std::string error;
  {
    sim::Machine m;
    ASSERT_TRUE(sim::LoadImage(dir.string(), m, &error)) << error;
    sim::ScopedMachine scope(m);
    EXPECT_EQ(ShellDelete("C:\\App\\new.doc", kQuiet | FOF_ALLOWUNDO), 0);
    ASSERT_TRUE(sim::SaveImage(m, &error)) << error;
  }
  EXPECT_EQ(ReadHost(dir / "drives/C/RECYCLER/S-1-5-21-7-8-9-1004/Dc8.doc"), "n");
  const auto saved = nlohmann::ordered_json::parse(ReadHost(dir / "machine.json"));
  EXPECT_EQ(
      saved["recycle_bin"].dump(),
      R"([{"path":"C:\\Old\\x.txt","stored":"C:\\RECYCLER\\S-1-5-21-7-8-9-1004\\Dc7.txt"},)"
      R"({"path":"C:\\App\\new.doc","stored":"C:\\RECYCLER\\S-1-5-21-7-8-9-1004\\Dc8.doc"}])");
  sim::Machine again;
  ASSERT_TRUE(sim::LoadImage(dir.string(), again, &error)) << error;
  ASSERT_EQ(again.files.recycle_bin.items.size(), 2u);
  EXPECT_EQ(again.files.recycle_bin.items[1].path, "C:\\App\\new.doc");
  // A record that names no full path is refused with its field.
  json.replace(json.find("C:\\\\Old"), 4, "Old");
  WriteHost(dir / "machine.json", json);
  EXPECT_NE(ImageLoadError(dir).find("recycle_bin"), std::string::npos) << ImageLoadError(dir);
}

}  // namespace
