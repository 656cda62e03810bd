// SetModelFromName: a device chosen by name, not detected, is filed under the
// model, generation and Photo Desk flag its name's row gives.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "discovery/detection.h"
#include "discovery/directories.h"
#include "discovery_test_support.h"

namespace {

enum Family { kOwn, kShared };

struct Row {
  const char* name;  // as the tree shows it; matched without case
  int model;
  Family family;
  bool photoDesk;
};

// One name per row of the name table, each meeting its row first.
const Row kRows[] = {
    {"VT TRX 3000 series", kModelTRX5170, kOwn, true},
    {"VT Corvus 7105 series", kModelCorvus7105, kOwn, true},
    {"VT TRX 5170 series", kModelTRX5170, kOwn, true},
    {"VT TRX 3200 series, Photo Desk 1.00", kModelTRX3200, kOwn, true},
    {"VT Corvus 7100 series", kModelCorvus7100, kOwn, true},
    {"VT Corvus 8100 series", kModelCorvus8100, kOwn, true},
    {"vt trx 5100 series, Photo Desk 1.10", kModelTRX5100, kOwn, true},
    {"VT TRX 5150 series", kModelTRX5150, kOwn, true},
    {"VT TRX 5200 series", kModelTRX5200, kOwn, true},
    {"VT TRX 420 series", kModelTRX420, kOwn, false},
    {"VT Corvus W series", kModelCorvusW, kOwn, false},
    {"VT Corvus P series", kModelCorvusP, kShared, false},
    {"VT Corvus M series", kModelCorvusM, kShared, false},
    {"VT Corvus N series", kModelCorvusN, kShared, false},
    {"VT TRX 380 series", kModelTRX380, kShared, false},
};

const int kAllModels[] = {kModelCorvus380,  kModelCorvusR, kModelCorvusM, kModelCorvusN,
                          kModelCorvusP,    kModelTRX380,  kModelTRX420,  kModelCorvusW,
                          kModelTRX5100,    kModelTRX5150, kModelTRX5200, kModelCorvus8100,
                          kModelCorvus7100, kModelTRX3200, kModelTRX5170, kModelTRX3100,
                          kModelCorvus7105};

class ModelFromName : public DiscoveryTest {
 protected:
  int DetectedCount() const {
    int n = 0;
    for (int model : kAllModels) n += IsModelDetected(model) ? 1 : 0;
    return n;
  }
};

TEST_F(ModelFromName, EachRowSetsItsModelGenerationAndPhotoDeskFlags) {
  for (const Row& row : kRows) {
    ResetAllRunState();
    CCvScrubberDlg dlg;  // the main window whose generation flag is set
    SetModelFromName(row.name);
    EXPECT_TRUE(IsModelDetected(row.model)) << row.name;
    EXPECT_EQ(DetectedCount(), 1) << row.name;
    EXPECT_EQ(dlg.m_bOwnFamily, row.family == kOwn ? 1 : 0) << row.name;
    EXPECT_EQ(dlg.m_bSharedFamily, row.family == kShared ? 1 : 0) << row.name;
    EXPECT_EQ(dlg.m_bEnvFamily, 0) << row.name;
    EXPECT_EQ(g_bPhotoDesk, row.photoDesk ? 1 : 0) << row.name;
  }
}

// A TRX 3000 is filed under the TRX 5170, not the TRX 3100 whose pattern it
// is when the chosen device is checked against detection.
TEST_F(ModelFromName, TrxThreeThousandIsFiledUnderTheTrx5170) {
  CCvScrubberDlg dlg;
  SetModelFromName("VT TRX 3000 series");
  EXPECT_TRUE(IsModelDetected(kModelTRX5170));
  EXPECT_FALSE(IsModelDetected(kModelTRX3100));
}

TEST_F(ModelFromName, NamesOfNoRowSetNothing) {
  for (const char* name : {"VT Corvus 380 series", "VT Corvus R series", "VT TRX 3100 series",
                           "VT TRX 300 series", ""}) {
    ResetAllRunState();
    CCvScrubberDlg dlg;
    SetModelFromName(name);
    EXPECT_EQ(DetectedCount(), 0) << name;
    EXPECT_EQ(dlg.m_bOwnFamily + dlg.m_bSharedFamily + dlg.m_bEnvFamily, 0) << name;
    EXPECT_EQ(g_bPhotoDesk, 0) << name;
  }
}

}  // namespace
