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

// Every row of the pattern table tests its own model's flag: with only that
// model detected the name counts as detected, with every other model
// detected it does not.
TEST_F(RulesTest, EachPatternTestsTheFlagOfItsOwnModel) {
  const struct {
    const char* name;
    int model;
  } rows[] = {
      {"VT TRX 3000 SERIES", kModelTRX3100},       {"VT CORVUS 7105 SERIES", kModelCorvus7105},
      {"VT CORVUS 7100 SERIES", kModelCorvus7100}, {"VT TRX 3200 SERIES", kModelTRX3200},
      {"VT CORVUS 8100 SERIES", kModelCorvus8100}, {"VT TRX 5100 SERIES", kModelTRX5100},
      {"VT TRX 5150 SERIES", kModelTRX5150},       {"VT TRX 5170 SERIES", kModelTRX5170},
      {"VT TRX 5200 SERIES", kModelTRX5200},       {"VT TRX 420 SERIES", kModelTRX420},
      {"VT CORVUS W SERIES", kModelCorvusW},       {"VT CORVUS M SERIES", kModelCorvusM},
      {"VT CORVUS N SERIES", kModelCorvusN},       {"VT CORVUS P SERIES", kModelCorvusP},
      {"VT TRX 380 SERIES", kModelTRX380}};
  const int allModels[] = {kModelCorvus380,  kModelCorvusR, kModelCorvusM, kModelCorvusN,
                           kModelCorvusP,    kModelTRX380,  kModelTRX420,  kModelCorvusW,
                           kModelTRX5100,    kModelTRX5150, kModelTRX5200, kModelCorvus8100,
                           kModelCorvus7100, kModelTRX3200, kModelTRX5170, kModelTRX3100,
                           kModelCorvus7105};
  for (const auto& row : rows) {
    for (int m : allModels) SetModelDetected(m, m == row.model);
    EXPECT_EQ(ChosenNotDetected(row.name), 0) << row.name << " with only its model detected";
    for (int m : allModels) SetModelDetected(m, m != row.model);
    EXPECT_EQ(ChosenNotDetected(row.name), 1) << row.name << " with every other model detected";
  }
}

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
