// A person at the terminal (piped input): every window and box is shown on
// the prompt stream, a line a window cannot take is explained and asked
// again, and an OK-only box waits for Enter.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/about_box.h"
#include "app/dialog_ids.h"
#include "app/info_dialog.h"
#include "app/main_window.h"
#include "app/reboot_dialog.h"
#include "app/run_state.h"
#include "discovery/detection.h"
#include "platform/win32.h"
#include "support/test_machine.h"

namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class TerminalTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllRunState(); }
  // The person's typing; what they are shown collects in `shown`.
  void Type(const std::string& lines) {
    input.str(lines);
    input.clear();
    tm.m.user.SetTerminal(input, shown);
  }
  bool HasLine(const std::string& line) const {
    const auto& lines = tm.m.user.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  bool Shown(const std::string& part) const { return shown.str().find(part) != std::string::npos; }

  TestMachine tm;
  std::istringstream input;
  std::ostringstream shown;
};

TEST_F(TerminalTest, BoxExplainsWhatItTakesAndAsksAgain) {
  Type("press Maybe\npres No\n\n   press   no  \n");
  EXPECT_EQ(MessageBoxA(nullptr, "Remove \xE9t\x1B?\r\nSure\r!", "Cap", MB_YESNO | MB_ICONQUESTION),
            IDNO);
  // Refused lines leave no action; the answer is written as typed.
  const std::vector<std::string> expected = {
      "[action] press   no",
      "[box] Cap | Remove \\xE9t\\x1B?\\r\\nSure\\r! | Yes/No | question -> No"};
  EXPECT_EQ(tm.m.user.Lines(), expected);
  // Shown once, in UTF-8, a control byte escaped.
  EXPECT_EQ(
      Count(shown.str(), "Message box \"Cap\" (question):\nRemove \xC3\xA9t\\x1B?\nSure\\r!\n"), 1u)
      << shown.str();
  EXPECT_TRUE(
      Shown("\"press Maybe\" cannot be taken here. This window takes:\n"
            "  press Yes\n  press No\n  key Enter (Yes)\n"));
  EXPECT_TRUE(Shown("\"pres No\" cannot be taken here: unknown verb."));
  EXPECT_EQ(Count(shown.str(), "Verbs: select, press, key, menu, help, copy, close."), 2u);
  EXPECT_EQ(Count(shown.str(), "[Cap] > "), 4u);  // asked again after each refusal
}

TEST_F(TerminalTest, OkOnlyBoxWaitsForEnterAndTakesNoLineMeantForTheNextWindow) {
  Type("press No\n\npress No\n");
  EXPECT_EQ(MessageBoxA(nullptr, "Done", "Info", MB_OK), IDOK);
  // "press No" is refused by the OK box, not kept for the next one.
  EXPECT_TRUE(Shown("\"press No\" cannot be taken here."));
  EXPECT_TRUE(Shown("an empty line (OK)"));
  EXPECT_EQ(MessageBoxA(nullptr, "Q", "Ask", MB_YESNO), IDNO);
  const std::vector<std::string> expected = {
      "[action] press OK", "[box] Info | Done | OK | none -> OK", "[action] press No",
      "[box] Ask | Q | Yes/No | none -> No"};
  EXPECT_EQ(tm.m.user.Lines(), expected);

  // close and Escape answer it too; at the end of input it is answered alone,
  // and the next window that waits ends the run.
  Type("close\nKEY   ESCAPE\n");
  EXPECT_EQ(MessageBoxA(nullptr, "A", "B", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "A", "B", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "A", "B", MB_OK), IDOK);
  EXPECT_EQ(tm.m.user.Lines()[tm.m.user.Lines().size() - 2], "[action] auto OK");
  try {
    MessageBoxA(nullptr, "Q", "Ask", MB_OKCANCEL);
    FAIL() << "no abort";
  } catch (const sim::ScriptAbort& abort) {
    EXPECT_EQ(abort.message, "window \"Ask\" waits, but terminal input has ended");
  }
}

TEST_F(TerminalTest, MainWindowShowsTheTreeAfterAClickAndSaysWhatAGreyedButtonDid) {
  CCvScrubberDlg dlg;
  dlg.CreateView();
  const TreeItem trx = dlg.AddTreeEntry("VT TRX 5100 series", 0);
  dlg.AddTreeEntry("Photo Desk 1.00", trx);
  const TreeItem pd110 = dlg.AddTreeEntry("Photo Desk 1.10", trx);
  dlg.AddTreeEntry("VT Corvus W series", 0);
  dlg.View().SelectItem(pd110);
  Type(
      "select VT TRX 5100 series, Photo Desk 2\ncopy\nselect vt trx 5100 series\n"
      "press Uninstall\nclose\n");
  EXPECT_EQ(dlg.View().RunModal(), IDCANCEL);

  EXPECT_TRUE(
      Shown("Window \"Vantrel AiO Uninstall Utility\"\nDevice tree:\n"
            "  [-] VT TRX 5100 series\n        Photo Desk 1.00\n"
            "        Photo Desk 1.10   <- selected\n  VT Corvus W series\n"
            "Buttons: Uninstall, Cancel, Banner, Help\n"))
      << shown.str();
  // The refusal lists every entry, members of closed groups too.
  EXPECT_TRUE(
      Shown("  select ENTRY, one of:\n      VT TRX 5100 series\n"
            "      VT TRX 5100 series, Photo Desk 1.00\n"));
  EXPECT_EQ(Count(shown.str(), "cannot be taken here"), 2u);
  // After the click on the group: closed, selected, Uninstall greyed.
  EXPECT_TRUE(
      Shown("Device tree:\n  [+] VT TRX 5100 series   <- selected\n  VT Corvus W series\n"
            "Buttons: Uninstall (greyed), Cancel, Banner, Help\n"));
  EXPECT_TRUE(Shown("Uninstall is greyed out: nothing happens.\n"));
  EXPECT_TRUE(Shown("Help: VtCvScrubber.hlp HELP_QUIT 0\n"));
  EXPECT_TRUE(HasLine("[action] press Uninstall"));
  EXPECT_FALSE(HasLine("[action] copy"));
}

TEST_F(TerminalTest, DialogsShowTheirTextsAndSayWhatCopyAndTheRestartButtonsDid) {
  SetModelDetected(kModelTRX5100, true);
  Type("menu About\ncopy\npress yes\n");
  CInfoDlg info;
  info.m_szChosenDevice = "VT TRX 5100 series, Photo Desk 1.10";
  info.m_szVersionText = "Photo Desk 1.10";
  EXPECT_EQ(info.DoModal(), 1);
  EXPECT_TRUE(
      Shown("Window \"VT Corvus/TRX Software Uninstaller - Confirmation\"\n"
            "  You have elected to uninstall software for ZI VeD device:\n"
            "      VT TRX 5100 series, Photo Desk 1.10\n"
            "  VT device(s) found\n      VT TRX 5100 series\n      > Photo Desk 1.10\n"
            "  Do you want to uninstall this device?\nButtons: Yes, No\n"))
      << shown.str();
  EXPECT_TRUE(Shown("\"menu About\" cannot be taken here."));
  EXPECT_TRUE(Shown("  copy\n  close\n"));
  EXPECT_TRUE(Shown("Copy: the information text is copied"));
  EXPECT_TRUE(Shown("Window \"VT Corvus/TRX Software Uninstaller - Confirmation\" closed."));

  // Reboot Now cannot restart Windows: Enter answers the manual-restart box.
  tm.m.system.privileges = {};
  Type("press Reboot Now\n\ncopy\npress CANCEL\n");
  CRebootDlg reboot;
  EXPECT_EQ(reboot.DoModal(), IDCANCEL);
  EXPECT_TRUE(Shown("  To complete the removal of the VT software, the PC needs to reboot.\n"));
  EXPECT_TRUE(Shown("Buttons: Reboot Now, Cancel\n"));
  EXPECT_TRUE(Shown("Reboot Now: Windows did not restart; the dialog stays open.\n"));
  EXPECT_TRUE(Shown("Cancel: Windows is not restarted now"));

  Type("\nkey Enter\n");
  CAboutDlg about;
  EXPECT_EQ(about.DoModal(), IDOK);
  EXPECT_TRUE(
      Shown("Window \"About  VT Corvus Uninstaller\"\n"
            "  VT Corvus Forced Uninstaller, ver. 2.02\nButtons: OK\n"));
}

TEST_F(TerminalTest, ScriptsStayQuietAndStillEndAtTheFirstLineAWindowCannotTake) {
  tm.m.user.SetScript("menu About\n", "s.txt");
  CRebootDlg reboot;
  try {
    reboot.DoModal();
    FAIL() << "no abort";
  } catch (const sim::ScriptAbort& abort) {
    EXPECT_EQ(abort.message,
              "s.txt line 1: window \"VT Corvus/TRX Software Uninstaller - Reboot\" cannot take "
              "\"menu About\"");
  }
  EXPECT_FALSE(tm.m.user.AtTerminal());
}

}  // namespace
