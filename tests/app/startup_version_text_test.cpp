// Start-up on a sample PC: the software-version text of the first detected
// device is picked by the Photo Desk version code (text n + code - 3 of the
// n the control file lists) and preselects the member of that name.
#include <cstring>

#include "discovery/detection.h"
#include "sample_run.h"

namespace {

class StartupVersionText : public SampleRun {
 protected:
  // Starts the XP sample with the TRX 5100's Photo Desk reporting `version`.
  void StartWithVersion(const std::string& version) {
    const std::filesystem::path work = Copy("xp");
    Replace(work / "registry.reg", "\"DisplayVersion\"=\"1.10.0052\"",
            "\"DisplayVersion\"=\"" + version + "\"");
    Start(work, "");
  }
  std::string Selected() {
    char buffer[260] = {};
    dlg.GetSelectedDevice(buffer, sizeof buffer);
    return buffer;
  }
};

// The control file lists "Photo Desk 1.00" and "Photo Desk 1.10" (n = 2).
TEST_F(StartupVersionText, VersionOneHundredPicksTheTextBeforeTheLast) {
  StartWithVersion("1.00.0031");
  EXPECT_EQ(g_nVersionCode, 1);
  EXPECT_EQ(g_szVersionText, "Photo Desk 1.00");
  EXPECT_EQ(Selected(), "VT TRX 5100 series, Photo Desk 1.00");
}

TEST_F(StartupVersionText, VersionOneTenPicksTheLastText) {
  StartWithVersion("1.10.0052");
  EXPECT_EQ(g_nVersionCode, 2);
  EXPECT_EQ(g_szVersionText, "Photo Desk 1.10");
  EXPECT_EQ(Selected(), "VT TRX 5100 series, Photo Desk 1.10");
}

}  // namespace
