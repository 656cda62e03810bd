// The rules the uninstall sequence applies: model patterns, the run's model
// code, information file, unplug text, version code and the rights test.
#include <gtest/gtest.h>

#include "app/model_patterns.h"
#include "app/run_state.h"
#include "app/version_code.h"
#include "discovery/detection.h"
#include "files/remove_software.h"
#include "log/run_log.h"
#include "resources/string_table.h"
#include "support/test_machine.h"

namespace {

class RulesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllRunState(); }
  TestMachine tm;
};

TEST_F(RulesTest, SingleRowsAreAllTestedButTheChainStopsAtItsFirstMatch) {
  SetModelDetected(kModelTRX420, true);
  EXPECT_EQ(ChosenNotDetected("VT TRX 420 M SERIES"), 0);  // M series not tested
  EXPECT_EQ(ChosenNotDetected("VT CORVUS M SERIES"), 1);
  SetModelDetected(kModelTRX5100, true);
  EXPECT_EQ(ChosenNotDetected("TRX 5100 TRX 5200"), 1);
  SetModelDetected(kModelTRX5200, true);
  EXPECT_EQ(ChosenNotDetected("TRX 5100 TRX 5200"), 0);
  // TRX 3000 is the TRX 3100's pattern; Corvus R and 380 are never tested.
  EXPECT_EQ(ChosenNotDetected("VT TRX 3000 SERIES"), 1);
  EXPECT_EQ(ChosenNotDetected("VT CORVUS R SERIES"), 0);
}

TEST_F(RulesTest, ModelCodeOfRunFollowsThePriorityNotTheChoice) {
  EXPECT_EQ(ModelCodeOfRun(), -1);
  SetModelDetected(kModelTRX3100, true);
  SetModelDetected(kModelCorvus7105, true);
  EXPECT_EQ(ModelCodeOfRun(), kModelCorvus7105);
  SetModelDetected(kModelCorvus380, true);
  EXPECT_EQ(ModelCodeOfRun(), kModelCorvus380);
  SetModelDetected(kModelCorvusR, true);
  EXPECT_EQ(ModelCodeOfRun(), kModelCorvusR);
  // Corvus M's own-install code shares the flag of code 2; 17 has none.
  SetModelDetected(kModelCorvusMOwn, true);
  EXPECT_TRUE(IsModelDetected(kModelCorvusM));
  SetModelDetected(17, true);
  EXPECT_FALSE(IsModelDetected(17));
}

TEST_F(RulesTest, InformationFileAndModeByTheFirstRowThatApplies) {
  EXPECT_EQ(ChooseInfoFile(true, true, true).stringId, IDS_INFO_FILE_1);
  EXPECT_EQ(ChooseInfoFile(true, true, true).mode, 1);
  EXPECT_EQ(ChooseInfoFile(false, true, true).stringId, IDS_INFO_FILE_2);
  EXPECT_EQ(ChooseInfoFile(false, true, true).mode, 0);
  EXPECT_EQ(ChooseInfoFile(false, false, true).stringId, IDS_INFO_FILE_3);
  EXPECT_EQ(ChooseInfoFile(false, false, true).mode, 2);
  EXPECT_EQ(ChooseInfoFile(false, false, false).stringId, IDS_INFO_FILE_2);
  EXPECT_EQ(ChooseInfoFile(false, false, false).mode, 3);
}

TEST_F(RulesTest, UnplugReminderText) {
  EXPECT_EQ(UnplugReminderTextId("VT CORVUS N SERIES", true), IDS_UNPLUG_THREE_STEPS);
  EXPECT_EQ(UnplugReminderTextId("VT CORVUS P SERIES", false), IDS_UNPLUG_THREE_STEPS);
  EXPECT_EQ(UnplugReminderTextId("VT TRX 5200 SERIES, SAFE", true), IDS_UNPLUG_PHOTO_DESK);
  EXPECT_EQ(UnplugReminderTextId("VT TRX 5200 SERIES, SAFE", false), IDS_UNPLUG_PLAIN);
  EXPECT_EQ(UpperCaseName("vt trx 5100 series, Photo Desk"), "VT TRX 5100 SERIES, PHOTO DESK");
  EXPECT_EQ(UpperCaseName(std::string(400, 'a')).size(), 259u);
}

TEST(VersionCode, EachWindowsOfTheTable) {
  const std::pair<const char*, int> cases[] = {{"95", 0},  {"98", 1},   {"me", 2},
                                               {"nt4", 3}, {"2000", 4}, {"xp", 5}};
  for (const auto& c : cases) {
    TestMachine tm(c.first);
    EXPECT_EQ(GetWindowsVersionCode(), c.second) << c.first;
  }
}

TEST_F(RulesTest, AccessRightsOnTheTestKey) {
  CRemoveSoftware remover;
  EXPECT_EQ(remover.HasAccessRights(""), 0);
  EXPECT_EQ(remover.HasAccessRights("SOFTWARE\\Vantrel\\Missing"), 1);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel\\Test", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(remover.HasAccessRights("SOFTWARE\\Vantrel\\Test"), 1);
  tm.AddKeyFault("RegOpenKeyExA", 5, "HKLM\\SOFTWARE\\Vantrel\\Test");
  char logDir[260];
  GetRunLogDir(logDir);  // as the main window's start does: the log goes to TEMP
  EXPECT_EQ(remover.HasAccessRights("SOFTWARE\\Vantrel\\Test"), 0);
  const std::string log = tm.ReadFile("C:\\WINDOWS\\TEMP\\VtCvScrubber.log");
  EXPECT_NE(log.find(">>> Origin: CRemoveSoftware::HasAccessRights() -- RegOpenKeyEx()"),
            std::string::npos);
  EXPECT_NE(log.find("sKey = 'HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel\\Test'"), std::string::npos);
}

}  // namespace
