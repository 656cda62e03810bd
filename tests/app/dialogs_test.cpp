// The information, restart and About dialogs as the script answers them.
#include <gtest/gtest.h>

#include "app/dialog_ids.h"
#include "app/info_dialog.h"
#include "app/reboot_dialog.h"
#include "app/run_state.h"
#include "discovery/detection.h"
#include "support/test_machine.h"

namespace {

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllRunState(); }
  std::vector<std::string> LinesFrom(size_t first) {
    const auto& all = tm.m.user.Lines();
    return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(first), all.end());
  }
  TestMachine tm;
};

TEST_F(DialogsTest, InfoDialogListsChosenAndFoundDevicesWithTheVersionText) {
  SetModelDetected(kModelTRX5200, true);
  SetModelDetected(kModelCorvusW, true);
  tm.m.user.SetScript("press Yes\n");
  CInfoDlg info;
  info.m_szChosenDevice = "VT TRX 5200 series, Photo Desk 1.10";
  info.m_szVersionText = "Photo Desk 1.10";
  info.SetInfoMode(1);
  EXPECT_EQ(info.DoModal(), 1);
  const std::vector<std::string> expected = {
      "[window] VT Corvus/TRX Software Uninstaller - Confirmation",
      "[list] 1026: VT TRX 5200 series, Photo Desk 1.10",
      "[list] 1025: VT Corvus W series",
      "[list] 1025: > Photo Desk 1.10",
      "[list] 1025: VT TRX 5200 series",
      "[list] 1025: > Photo Desk 1.10",
      "[action] press Yes",
      "[closed] VT Corvus/TRX Software Uninstaller - Confirmation -> 1"};
  EXPECT_EQ(LinesFrom(0), expected);
}

TEST_F(DialogsTest, InfoDialogEnterEscapeAndCloseAnswerNoAndHelpFollowsTheMode) {
  SetModelDetected(kModelTRX5100, true);
  tm.m.user.SetScript("help 1017\nkey Enter\nkey Escape\nkey Y\nclose\n");
  CInfoDlg info;  // empty version text: names alone
  info.SetInfoMode(2);
  EXPECT_EQ(info.DoModal(), 2);
  EXPECT_EQ(tm.m.user.Lines()[2], "[list] 1025: VT TRX 5100 series");
  EXPECT_EQ(tm.m.user.Lines()[4], "[help] VtCvScrubber.hlp HELP_CONTEXTPOPUP 14");
  EXPECT_EQ(info.DoModal(), 2);
  EXPECT_EQ(info.DoModal(), 1);
  EXPECT_EQ(info.DoModal(), 2);
}

TEST_F(DialogsTest, RebootNowKeepsTheRestartDialogOpenUntilCancel) {
  // An account that cannot shut down: Windows does not restart.
  tm.m.system.privileges = {"SeTakeOwnershipPrivilege"};
  tm.m.user.SetScript("press Reboot Now\nkey r\nkey c\n");
  CRebootDlg reboot;
  EXPECT_EQ(reboot.DoModal(), IDCANCEL);
  EXPECT_TRUE(tm.m.user.Leftover().empty());
  EXPECT_EQ(tm.m.user.Lines().back(), "[closed] VT Corvus/TRX Software Uninstaller - Reboot -> 2");
  // Copy belongs to the information dialog alone.
  tm.m.user.SetScript("copy\n");
  EXPECT_THROW(reboot.DoModal(), sim::ScriptAbort);
}

}  // namespace
