// The "My Faxes" folder of a device directory goes to the Recycle Bin.
#include <string>

#include "files/files_test_support.h"

namespace {

const char kDeviceDir[] = "C:\\Program Files\\Vantrel\\AiO\\VT Corvus W series\\0123456789";
const char kFaxes[] = "C:\\Program Files\\Vantrel\\AiO\\VT Corvus W series\\0123456789\\My Faxes";

using MyFaxesTest = FilesTest;

TEST_F(MyFaxesTest, FolderAndContentsLeaveQuietly) {
  tm.AddFile(std::string(kFaxes) + "\\fax1.tif", "x");
  tm.AddFile(std::string(kDeviceDir) + "\\keep.dat", "x");
  CRemoveSoftware remover;
  EXPECT_EQ(remover.DelMyFaxesDir(std::string(kDeviceDir) + "\\"), 1);
  EXPECT_FALSE(tm.Exists(kFaxes));
  EXPECT_TRUE(tm.Exists(std::string(kDeviceDir) + "\\keep.dat"));
  // In the Recycle Bin, not gone for good: received faxes can be had back.
  const auto& items = tm.m.files.recycle_bin.items;
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].path, kFaxes);
  EXPECT_EQ(tm.ReadFile(items[0].stored + "\\fax1.tif"), "x");
  EXPECT_EQ(Log(), "");
}

TEST_F(MyFaxesTest, MissingFolderIsLoggedByTheDirectoryTest) {
  tm.AddDir(kDeviceDir);
  CRemoveSoftware remover;
  EXPECT_EQ(remover.DelMyFaxesDir(kDeviceDir), 1);
  EXPECT_EQ(Log(), std::string("* Not Found: ") + kFaxes + "  ===> Windows code = 2 \n");
}

TEST_F(MyFaxesTest, EmptyDeviceDirectoryNeverReachesTheCurrentDrive) {
  tm.AddFile("C:\\My Faxes\\fax1.tif", "x");
  tm.SetCurrentDir("C:\\Scrubber");
  CRemoveSoftware remover;
  EXPECT_EQ(remover.DelMyFaxesDir(""), 1);
  EXPECT_EQ(remover.DelMyFaxesDir("C:\\"), 1);
  EXPECT_TRUE(tm.Exists("C:\\My Faxes\\fax1.tif"));
  EXPECT_EQ(Log(), ">>> Skipped unsafe path '' \n>>> Skipped unsafe path 'C:\\' \n");
}

TEST_F(MyFaxesTest, FailedMoveReportsZero) {
  tm.AddFile(std::string(kFaxes) + "\\fax1.tif", "x");
  tm.AddFault("SHFileOperationA", 5);
  CRemoveSoftware remover;
  EXPECT_EQ(remover.DelMyFaxesDir(kDeviceDir), 0);
  EXPECT_TRUE(tm.Exists(kFaxes));
}

}  // namespace
