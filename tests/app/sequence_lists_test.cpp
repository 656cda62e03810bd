// The uninstall sequence on the sample PCs hands the directories it found to
// both DAT readers: every prefix of the lists expands to the PC's directories.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/run_state.h"
#include "sim/image.h"
#include "sim/machine.h"
#include "support/test_machine.h"

namespace fs = std::filesystem;

namespace {

class SequenceListsTest : public ::testing::Test {
 protected:
  // Loads a copy of samples/NAME and runs the sequence on its preselected device.
  void Run(const std::string& sample) {
    const char* source = std::getenv("CVS_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const fs::path work = fs::path(tm.ImageDir()) / sample;
    fs::copy(fs::path(source) / "samples" / sample, work, fs::copy_options::recursive);
    std::string error;
    ASSERT_TRUE(sim::LoadImage(work.string(), m, &error)) << error;
    scope = std::make_unique<sim::ScopedMachine>(m);
    ResetAllRunState();
    m.user.SetScript("press Yes\npress OK\npress Cancel\n");
    dlg.CreateView();
    dlg.OnInitDialog();
    dlg.UninstallSelectedDevice();
  }
  bool Has(const CStringArray& list, const std::string& entry) {
    for (const std::string& e : list) {
      if (e == entry) return true;
    }
    return false;
  }

  TestMachine tm;  // only for its temporary folder, removed with it
  sim::Machine m;
  std::unique_ptr<sim::ScopedMachine> scope;
  CCvScrubberDlg dlg;
};

// Windows XP, TRX 5100 Photo Desk: the install directory in the readers'
// upper-case hand-over form, the device-ID directory as found, the system,
// Windows, common desktop, common programs, user programs and temporary ones.
TEST_F(SequenceListsTest, XpListsExpandToThePcsDirectories) {
  Run("xp");
  EXPECT_TRUE(Has(dlg.m_aRegList, "C:\\WINDOWS\\system32\\VtPdCore.dll"));
  EXPECT_TRUE(Has(dlg.m_aRegList, "HKLM\\SOFTWARE\\Vantrel\\PhotoDesk\\vt trx 5100 series"));
  const CStringArray& files = dlg.m_aFilesList;
  EXPECT_TRUE(Has(files, "C:\\PROGRAM FILES\\VANTREL\\Photo Desk\\VtPdMain.exe"));
  EXPECT_TRUE(Has(files, ">C:\\PROGRAM FILES\\VANTREL\\Shared\\Bin"));
  EXPECT_TRUE(Has(files,
                  "c:\\program files\\vantrel\\Photo Desk\\VT TRX 5100 series\\0123456789\\"
                  "DevSettings.ini"));
  EXPECT_TRUE(Has(files, "C:\\WINDOWS\\system32\\drivers\\VtDot4.sys"));
  EXPECT_TRUE(Has(files, "C:\\WINDOWS\\VtTrx5100.ini"));
  EXPECT_TRUE(Has(files, "C:\\Documents and Settings\\All Users\\Desktop\\VT Photo Desk.lnk"));
  EXPECT_TRUE(Has(files,
                  ">C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Vantrel Photo "
                  "Desk"));
  EXPECT_TRUE(Has(files,
                  "C:\\Documents and Settings\\Owner\\Start Menu\\Programs\\Startup\\VT Status "
                  "Monitor.lnk"));
  EXPECT_TRUE(Has(files, "C:\\WINDOWS\\TEMP\\VtPdInst.log"));
  for (const std::string& e : files) {
    EXPECT_TRUE(e[0] != '#' && e[0] != '$' && e[0] != '?' && e[0] != '~') << e;
  }
}

// Windows 98, Corvus W: no common folders, so the user's programs menu stands
// in; the OCR directory comes from the registry.
TEST_F(SequenceListsTest, Win98ListsExpandToThePcsDirectories) {
  Run("98");
  EXPECT_TRUE(Has(dlg.m_aRegList, "C:\\WINDOWS\\SYSTEM\\VtCwCore.dll"));
  const CStringArray& files = dlg.m_aFilesList;
  EXPECT_TRUE(Has(files, "C:\\PROGRAM FILES\\VANTREL\\AiO\\VT Corvus W series\\Bin\\VtCw.cfg"));
  EXPECT_TRUE(Has(files, "C:\\Program Files\\Vantrel\\AiO\\OCR\\VtOcrW.dll"));
  EXPECT_TRUE(Has(files, ">c:\\program files\\vantrel\\AiO\\VT Corvus W series\\0412345678"));
  EXPECT_TRUE(Has(files, "C:\\WINDOWS\\Desktop\\VT Corvus W Center.lnk"));
  EXPECT_TRUE(Has(files, ">C:\\WINDOWS\\Start Menu\\Programs\\Vantrel AiO"));
  EXPECT_TRUE(Has(files, "C:\\WINDOWS\\Start Menu\\Programs\\StartUp\\VT Corvus W Monitor.lnk"));
}

}  // namespace
