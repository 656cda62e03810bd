// Registry reads of discovery and the hive code table.
#include "discovery/search_registry.h"

#include <cstring>

#include "discovery_test_support.h"

namespace {

class SearchRegistryTest : public DiscoveryTest {};

TEST_F(SearchRegistryTest, HiveCodesAreFoundWithoutCaseAndOnlyWhole) {
  EXPECT_EQ(GetMainRegKeyHandle("hklm"), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(GetMainRegKeyHandle("HkLm"), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(GetMainRegKeyHandle("HKCR"), HKEY_CLASSES_ROOT);
  EXPECT_EQ(GetMainRegKeyHandle("hkus"), HKEY_USERS);
  EXPECT_EQ(GetMainRegKeyHandle("HKDD"), HKEY_DYN_DATA);
  EXPECT_EQ(GetMainRegKeyHandle("HKLM "), nullptr);
  EXPECT_EQ(GetMainRegKeyHandle("HKXX"), nullptr);
  EXPECT_EQ(GetMainRegKeyHandle(""), nullptr);
  EXPECT_EQ(GetMainRegKeyHandle(nullptr), nullptr);
}

TEST_F(SearchRegistryTest, HiveNamesNeedRoomForTheLongestName) {
  char buffer[50];
  ASSERT_TRUE(GetMainRegKeyName(HKEY_PERFORMANCE_DATA, buffer, 50));
  EXPECT_STREQ(buffer, "HKEY_PERFORMANCE_DATA");
  std::strcpy(buffer, "untouched");
  EXPECT_FALSE(GetMainRegKeyName(HKEY_PERFORMANCE_DATA, buffer, 21));
  EXPECT_FALSE(GetMainRegKeyName(HKEY_LOCAL_MACHINE, buffer, 21));
  EXPECT_STREQ(buffer, "untouched");
  ASSERT_TRUE(GetMainRegKeyName(HKEY_CURRENT_CONFIG, buffer, 22));
  EXPECT_STREQ(buffer, "HKEY_CURRENT_CONFIG");
  EXPECT_FALSE(GetMainRegKeyName(reinterpret_cast<HKEY>(0x1234), buffer, 50));
  EXPECT_STREQ(buffer, "HKEY_CURRENT_CONFIG");
}

TEST_F(SearchRegistryTest, MissingKeysAndEmptyValuesStaySilentOtherFailuresAreLogged) {
  CSearchRegistry reg;
  char buffer[260];
  EXPECT_FALSE(reg.OpenKey("SOFTWARE\\Nowhere"));
  EXPECT_EQ(Log(), "");

  SetString("SOFTWARE\\VtTest", "Empty", "");
  ASSERT_TRUE(reg.OpenKey("SOFTWARE\\VtTest"));
  EXPECT_FALSE(reg.ReadValue("Empty", buffer, sizeof buffer));
  EXPECT_EQ(Log(), "");

  ASSERT_TRUE(reg.OpenKey("SOFTWARE\\VtTest"));
  EXPECT_FALSE(reg.ReadValue("Missing", buffer, sizeof buffer));
  EXPECT_EQ(LogEntries(), 1);
  EXPECT_NE(Log().find("CSearchRegistry::ReadValue() -- RegQueryValueEx()"), std::string::npos);
  EXPECT_NE(Log().find("ValueName = 'Missing'"), std::string::npos);
  EXPECT_NE(Log().find("The system cannot find the file specified."), std::string::npos);

  tm.AddKeyFault("RegOpenKeyExA", 5, "HKLM\\SOFTWARE\\VtTest");
  EXPECT_FALSE(reg.OpenKey("SOFTWARE\\VtTest"));
  EXPECT_EQ(LogEntries(), 2);
  EXPECT_NE(Log().find("CSearchRegistry::OpenKey() -- RegOpenKeyEx()"), std::string::npos);
  EXPECT_NE(Log().find("Key = 'HKEY_LOCAL_MACHINE\\SOFTWARE\\VtTest'"), std::string::npos);
  EXPECT_EQ(tm.m.registry.OpenHandleCount(), 0u);
}

TEST_F(SearchRegistryTest, ReadClosesTheKeyAndNeverWritesPastTheBuffer) {
  SetString("SOFTWARE\\VtTest", "Long", std::string(299, 'x'));
  SetString("SOFTWARE\\VtTest", "Path", "C:\\VT");
  CSearchRegistry reg;
  char buffer[270];
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_TRUE(reg.OpenKey("SOFTWARE\\VtTest"));
  EXPECT_FALSE(reg.ReadValue("Long", buffer, 260));  // 300 bytes with the terminator
  EXPECT_NE(Log().find("More data is available."), std::string::npos);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[260], '#');

  // Every read needs its own open.
  ASSERT_TRUE(reg.OpenKey("SOFTWARE\\VtTest"));
  ASSERT_TRUE(reg.ReadValue("Path", buffer, 260));
  EXPECT_STREQ(buffer, "C:\\VT");
  EXPECT_FALSE(reg.ReadValue("Path", buffer, 260));
  EXPECT_EQ(tm.m.registry.OpenHandleCount(), 0u);
}

TEST_F(SearchRegistryTest, UnterminatedAndForeignTypedValuesStayTerminated) {
  // Exactly the buffer's size and no terminator: the last byte gives way.
  tm.m.registry.SetValue("HKLM\\SOFTWARE\\VtTest", "Full", REG_BINARY, std::string(16, 'a'));
  tm.m.registry.SetDword("HKLM\\SOFTWARE\\VtTest", "Number", 0x41424344);
  CSearchRegistry reg;
  char buffer[20];
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_TRUE(reg.OpenKey("SOFTWARE\\VtTest"));
  ASSERT_TRUE(reg.ReadValue("Full", buffer, 16));
  EXPECT_EQ(std::string(buffer), std::string(15, 'a'));
  EXPECT_EQ(buffer[16], '#');
  ASSERT_TRUE(reg.OpenKey("SOFTWARE\\VtTest"));
  ASSERT_TRUE(reg.ReadValue("Number", buffer, 16));
  EXPECT_EQ(std::string(buffer), "DCBA");
}

}  // namespace
