// Windows NT 4 without Internet Explorer 4's desktop update has no
// SHGetSpecialFolderPathA: the special folders stay unknown and the run log
// names the missing function, as a GetProcAddress fallback would see it.
#include "discovery/find_aio_in_reg.h"
#include "discovery_test_support.h"

namespace {

class Nt4DirectoriesTest : public DiscoveryTest {
 protected:
  Nt4DirectoriesTest() : DiscoveryTest("nt4") {}
};

TEST_F(Nt4DirectoriesTest, WithoutTheLaterShellTheFoldersAreUnknownAndLogged) {
  CFindAiOinReg finder;
  char desktop[260] = "x";
  finder.GetDesktopDir(desktop);
  EXPECT_STREQ(desktop, "");
  EXPECT_NE(Log().find(">>> Origin: CFindAiOinReg::GetDesktopDir() -- SHGetSpecialFolderPath()\n"
                       "\tSystem message: The specified procedure could not be found."),
            std::string::npos)
      << Log();
}

TEST_F(Nt4DirectoriesTest, WithTheLaterShellTheAllUsersDesktopIsFound) {
  tm.m.system.later_shell = true;
  CFindAiOinReg finder;
  char desktop[260] = "";
  finder.GetDesktopDir(desktop);
  EXPECT_EQ(std::string(desktop), *tm.m.system.Directory("common_desktop"));
  EXPECT_EQ(Log(), "");
}

}  // namespace
