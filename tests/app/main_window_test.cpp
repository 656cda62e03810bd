// The main window's logic: tree selection, chosen device, preselection, log
// switch, accelerators and help, driven through the terminal views.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/dialog_ids.h"
#include "app/run_state.h"
#include "support/test_machine.h"

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAllRunState();
    dlg.CreateView();
    trx = dlg.AddTreeEntry("VT TRX 5100 series", 0);
    pd100 = dlg.AddTreeEntry("Photo Desk 1.00", trx);
    pd110 = dlg.AddTreeEntry("Photo Desk 1.10", trx);
    corvus = dlg.AddTreeEntry("VT Corvus W series", 0);
  }
  bool UninstallEnabled() { return dlg.View().IsControlEnabled(kIdUninstall); }
  bool HasLine(const std::string& line) {
    const auto& lines = tm.m.user.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  TestMachine tm;
  CCvScrubberDlg dlg;
  TreeItem trx = 0, pd100 = 0, pd110 = 0, corvus = 0;
};

TEST_F(MainWindowTest, SelectionOfGroupsMembersAndStandAloneEntries) {
  dlg.View().EnableControl(kIdUninstall, false);
  dlg.View().SelectItem(pd110);
  EXPECT_TRUE(UninstallEnabled());
  EXPECT_STREQ(dlg.m_szChosenDevice, "Photo Desk 1.10");
  char buffer[260] = "untouched";
  ASSERT_EQ(dlg.GetSelectedDevice(buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "VT TRX 5100 series, Photo Desk 1.10");

  dlg.View().SelectItem(trx);  // a group: no device chosen
  EXPECT_FALSE(UninstallEnabled());
  EXPECT_EQ(dlg.m_szChosenDevice[0], '\0');
  std::strcpy(buffer, "untouched");
  EXPECT_EQ(dlg.GetSelectedDevice(buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "untouched");

  dlg.View().SelectItem(corvus);
  EXPECT_TRUE(UninstallEnabled());
  ASSERT_EQ(dlg.GetSelectedDevice(buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "VT Corvus W series");
}

TEST_F(MainWindowTest, ClickingAGroupTogglesItsExpansion) {
  dlg.OnTreeSelChanged(trx);
  EXPECT_TRUE(dlg.View().IsExpanded(trx));
  dlg.OnTreeSelChanged(trx);
  EXPECT_FALSE(dlg.View().IsExpanded(trx));
  EXPECT_FALSE(UninstallEnabled());
  dlg.OnTreeSelChanged(pd100);
  EXPECT_TRUE(UninstallEnabled());
}

TEST_F(MainWindowTest, GetSelectedDeviceRefusesNamesThatDoNotFitTheBuffer) {
  dlg.View().SelectItem(pd110);
  // "VT TRX 5100 series" (18) + "Photo Desk 1.10" (15) + 2 = 35.
  char buffer[40];
  std::strcpy(buffer, "x");
  EXPECT_EQ(dlg.GetSelectedDevice(buffer, 35), 0);
  EXPECT_STREQ(buffer, "x");
  EXPECT_EQ(dlg.GetSelectedDevice(buffer, 36), 1);
  dlg.View().SelectItem(corvus);  // 18 characters
  EXPECT_EQ(dlg.GetSelectedDevice(buffer, 18), 0);
  EXPECT_EQ(dlg.GetSelectedDevice(buffer, 19), 1);
}

TEST_F(MainWindowTest, SelectDeviceInTreeFindsTheVersionMemberWithoutCase) {
  EXPECT_EQ(dlg.SelectDeviceInTree("vt trx 5100 SERIES", "photo desk 1.00"), 1);
  EXPECT_EQ(dlg.View().GetSelectedItem(), pd100);
  EXPECT_TRUE(UninstallEnabled());
  EXPECT_STREQ(dlg.m_szChosenDevice, "Photo Desk 1.00");
  EXPECT_EQ(dlg.SelectDeviceInTree("VT Corvus W series", ""), 1);
  EXPECT_EQ(dlg.View().GetSelectedItem(), corvus);
}

TEST_F(MainWindowTest, SelectDeviceInTreeWithoutMatchingMemberLeavesNoSelection) {
  dlg.View().EnableControl(kIdUninstall, false);
  EXPECT_EQ(dlg.SelectDeviceInTree("VT TRX 5100 series", "Photo Desk 2.00"), 0);
  EXPECT_EQ(dlg.View().GetSelectedItem(), 0u);
  EXPECT_FALSE(UninstallEnabled());
  EXPECT_EQ(dlg.SelectDeviceInTree("VT TRX 9999 series", ""), 0);
}

TEST_F(MainWindowTest, TreeHoldsAtMost128Entries) {
  for (int i = 0; i < 124; ++i) dlg.AddTreeEntry("Device " + std::to_string(i), 0);
  EXPECT_EQ(dlg.AddTreeEntry("one too many", 0), 0u);
  EXPECT_EQ(dlg.SelectDeviceInTree("Device 123", ""), 1);
}

TEST_F(MainWindowTest, LogSwitchFlipsUntilTheUninstallStarts) {
  dlg.OnCommand(kIdBanner);
  EXPECT_EQ(dlg.m_bLogFileOn, 0);
  dlg.OnCommand(kIdBanner);
  EXPECT_EQ(dlg.m_bLogFileOn, 1);
  const auto& lines = tm.m.user.Lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            "[progress] Switch log file OFF -- an uninstall log file will NOT be created");
  EXPECT_EQ(lines.back(), "[progress] Switch log file ON -- create log file");
  dlg.m_bUninstallStarted = 1;
  dlg.OnCommand(kIdBanner);
  EXPECT_EQ(dlg.m_bLogFileOn, 1);
}

TEST_F(MainWindowTest, UninstallKeyDoesNothingWhileAGroupIsSelected) {
  dlg.View().SelectItem(trx);
  const size_t before = tm.m.user.Lines().size();
  dlg.OnKey('u');
  dlg.OnKey(kKeyEnter);
  EXPECT_EQ(dlg.m_bUninstallStarted, 0);
  EXPECT_EQ(tm.m.user.Lines().size(), before);
  // A click on the greyed button takes the script line and does nothing.
  tm.m.user.SetScript("press Uninstall\nclose\n");
  EXPECT_EQ(dlg.View().RunModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_bUninstallStarted, 0);
  EXPECT_TRUE(HasLine("[action] press Uninstall"));
}

TEST_F(MainWindowTest, ScriptDrivesClicksHelpAndTheCloseBox) {
  dlg.View().SelectItem(pd110);
  tm.m.user.SetScript(
      "select VT TRX 5100 series\nselect vt trx 5100 series\n"
      "select VT TRX 5100 series, Photo Desk 1.00\npress Help\nkey F1\nhelp 1029\nhelp 1009\n"
      "menu About\nclose\nclose\n");
  EXPECT_EQ(dlg.View().RunModal(), IDCANCEL);
  EXPECT_TRUE(HasLine("[tree] VT TRX 5100 series"));
  EXPECT_TRUE(HasLine("[tree]   Photo Desk 1.00"));
  EXPECT_TRUE(HasLine("[tree]*   Photo Desk 1.10"));
  EXPECT_TRUE(HasLine("[tree] VT Corvus W series"));
  EXPECT_TRUE(HasLine("[help] VtCvScrubber.hlp HELP_CONTEXT 10"));
  EXPECT_TRUE(HasLine("[help] VtCvScrubber.hlp HELP_CONTEXTPOPUP 13"));
  EXPECT_TRUE(HasLine("[help] VtCvScrubber.hlp HELP_CONTEXT 64"));
  EXPECT_TRUE(HasLine("[window] About  VT Corvus Uninstaller"));
  EXPECT_TRUE(HasLine("[closed] About  VT Corvus Uninstaller -> 2"));
  EXPECT_TRUE(HasLine("[help] VtCvScrubber.hlp HELP_QUIT 0"));
  EXPECT_EQ(tm.m.user.Lines().back(), "[closed] Vantrel AiO Uninstall Utility -> 2");
  EXPECT_STREQ(dlg.m_szChosenDevice, "Photo Desk 1.00");
}

TEST_F(MainWindowTest, ScriptLineTheWindowCannotTakeAborts) {
  tm.m.user.SetScript("select No Such Device\n");
  EXPECT_THROW(dlg.View().RunModal(), sim::ScriptAbort);
  tm.m.user.SetScript("press Reboot Now\n");
  EXPECT_THROW(dlg.View().RunModal(), sim::ScriptAbort);
}

}  // namespace
