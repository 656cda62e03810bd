// The oracle on planted changes of the XP sample: a removal the control data
// names passes, one it does not name (or a counter taken down too far) is
// reported.
#include "oracle/oracle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "oracle/allowed_set.h"
#include "support/test_machine.h"

namespace fs = std::filesystem;

namespace {

class OracleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* source = std::getenv("CVS_SOURCE_DIR");
    sample = fs::path(source ? source : ".") / "samples" / "xp";
    copy = fs::path(tm.ImageDir()) / "after";
    fs::copy(sample, copy, fs::copy_options::recursive);
    std::string error;
    ASSERT_TRUE(oracle::ReadSnapshot(sample.string(), &before, &error)) << error;
  }
  std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void Write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
  }
  // Replaces the first match of `pattern` in a file of the copy.
  void Edit(const std::string& file, const std::string& pattern, const std::string& with) {
    const std::string text = Read(copy / file);
    const std::string edited = std::regex_replace(text, std::regex(pattern), with,
                                                  std::regex_constants::format_first_only);
    ASSERT_NE(text, edited) << pattern;
    Write(copy / file, edited);
  }
  // Removes a key's section (header and values) from the copy's registry.reg.
  void RemoveKey(const std::string& key) {
    Edit("registry.reg",
         "\\[" + std::regex_replace(key, std::regex(R"([\\\[\]().{}])"), "\\$&") +
             "\\]\\r\\n(\"[^\\r]*\\r\\n|@[^\\r]*\\r\\n)*",
         "");
  }
  std::vector<std::string> Check() {
    oracle::ImageSnapshot after;
    std::string error;
    EXPECT_TRUE(oracle::ReadSnapshot(copy.string(), &after, &error)) << error;
    return oracle::CheckRun(before, after, "VT TRX 5100 series, Photo Desk 1.10");
  }

  TestMachine tm;
  fs::path sample, copy;
  oracle::ImageSnapshot before;
};

TEST_F(OracleTest, AnUnchangedImagePassesAndTheSetIsBuilt) {
  EXPECT_TRUE(Check().empty());
  const oracle::AllowedSet set =
      oracle::BuildAllowedSet(before, "VT TRX 5100 series, Photo Desk 1.10");
  EXPECT_EQ(set.problem, "");
  EXPECT_FALSE(set.keys.empty());
  EXPECT_FALSE(set.files.empty());
  EXPECT_EQ(oracle::BuildAllowedSet(before, "VT Nonesuch").problem, "no sections for VT Nonesuch");
}

TEST_F(OracleTest, RegistryKeysNamedByTheListMayGoOthersMayNot) {
  RemoveKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel\\PhotoDesk\\vt trx 5100 series\\Components");
  EXPECT_TRUE(Check().empty());
  // The list names subkeys of PhotoDesk, not PhotoDesk itself.
  RemoveKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel\\PhotoDesk");
  const auto v = Check();
  ASSERT_FALSE(v.empty());
  EXPECT_EQ(v[0], "key removed but not named: HKEY_LOCAL_MACHINE\\SOFTWARE\\VANTREL\\PHOTODESK");
  for (const std::string& line : v)  // and its own values
    EXPECT_NE(line.find("\\VANTREL\\PHOTODESK"), std::string::npos) << line;
}

TEST_F(OracleTest, SharedCountersGoDownByOneAtMost) {
  Edit("registry.reg", "VtDot4.dll\"=dword:00000003", "VtDot4.dll\"=dword:00000002");
  Edit("registry.reg",
       "\"C:\\\\\\\\WINDOWS\\\\\\\\system32\\\\\\\\VtPdCore.dll\"=dword:00000001\\r\\n", "");
  EXPECT_TRUE(Check().empty());
  Edit("registry.reg", "VtDot4.dll\"=dword:00000002", "VtDot4.dll\"=dword:00000001");
  EXPECT_EQ(Check().size(), 1u);
}

TEST_F(OracleTest, ASharedFileStaysWhileItsCounterIsAboveZero) {
  Edit("registry.reg", "VtDot4.dll\"=dword:00000003", "VtDot4.dll\"=dword:00000002");
  fs::remove(copy / "drives/C/WINDOWS/system32/VtDot4.dll");
  EXPECT_EQ(Check(),
            std::vector<std::string>{
                "shared file removed while its counter is 2: C:\\WINDOWS\\SYSTEM32\\VTDOT4.DLL"});
}

TEST_F(OracleTest, ACounterTheListDoesNotNameMayNotChange) {
  Edit("registry.reg", "msvcp60.dll\"=dword:00000004", "msvcp60.dll\"=dword:00000003");
  const auto v = Check();
  ASSERT_EQ(v.size(), 1u);
  EXPECT_NE(v[0].find("not named"), std::string::npos);
}

TEST_F(OracleTest, FilesNamedByTheListMayGoOthersMayNot) {
  fs::remove(copy / "drives/C/Program Files/Vantrel/Photo Desk/VtPdMain.exe");
  fs::remove(copy / "drives/C/WINDOWS/inf/oem3.inf");  // names the device
  EXPECT_TRUE(Check().empty());
  fs::remove_all(copy / "drives/C/Scrubber");
  EXPECT_FALSE(Check().empty());
}

TEST_F(OracleTest, OnlyTheDevicesPrintersServicesAndMonitorsMayGo) {
  Edit(
      "machine.json",
      R"(\{\s*"name": "VT TRX 5100",\s*"driver": "VT TRX 5100 series",\s*"port": "DOT4_001"\s*\},)",
      "");
  Edit("machine.json", R"("VtDot4Svc")", R"("Other")");  // a listed service
  EXPECT_TRUE(Check().empty());
  Edit("machine.json", R"("Spooler")", R"("Other2")");
  EXPECT_EQ(Check(), std::vector<std::string>{"service removed but not named: SPOOLER"});
  Edit("machine.json", R"("Office Laser")", R"("Office Laser 2")");
  const auto v = Check();
  EXPECT_NE(std::find(v.begin(), v.end(),
                      "printer removed but not named: OFFICE LASER|GENERIC LASER PCL|LPT1:"),
            v.end());
}

TEST(OracleGlob, StarsStandForAnyTextInsideAComponent) {
  EXPECT_TRUE(oracle::GlobMatch("VID_*&MI_00", "VID_04F1&PID_5100&MI_00"));
  EXPECT_FALSE(oracle::GlobMatch("VID_*&MI_00", "VID_04F1&PID_5100"));
  EXPECT_TRUE(oracle::GlobMatch("VT TRX 5100 SERIES *", "VT TRX 5100 SERIES 0123"));
  EXPECT_FALSE(oracle::GlobMatch("VANTREL", "VANTRELX"));
}

}  // namespace
