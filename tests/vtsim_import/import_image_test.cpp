// Images made by vtsim import: they load, hold what the inputs say, and bad
// inputs are refused with the file, the line and an excerpt.
#include "tools/vtsim/import_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "sim/image.h"
#include "sim/machine.h"
#include "sim/reg_file.h"
#include "support/host_io.h"

namespace vtsim {
namespace {

namespace fs = std::filesystem;

std::string Utf16(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

class ImportImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vtsim_import_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    options_.registry = (dir_ / "export.reg").string();
    options_.listing = (dir_ / "dir.txt").string();
    options_.output = (dir_ / "image").string();
    options_.windows = "xp";
  }
  void TearDown() override { fs::remove_all(dir_); }

  bool Import(const std::string& reg, const std::string& listing) {
    WriteHost(options_.registry, reg);
    WriteHost(options_.listing, listing);
    return ImportImage(options_, &summary_, &error_);
  }
  nlohmann::json Json() { return nlohmann::json::parse(ReadHost(dir_ / "image" / "machine.json")); }

  fs::path dir_;
  ImportOptions options_;
  ImportSummary summary_;
  std::string error_;
};

const char kListing[] =
    " Directory of C:\\\r\n"
    "10/05/2003  09:20 AM    <DIR>          WINDOWS\r\n"
    "10/05/2003  09:20 AM    <DIR>          Scrubber\r\n"
    " Directory of C:\\WINDOWS\r\n"
    "10/05/2003  09:12 AM             4,096 win.ini\r\n"
    "               1 File(s)          4,096 bytes\r\n"
    "               2 Dir(s)   7,000,000,000 bytes free\r\n";

// A version 5 export as regedit writes it: UTF-16, HKEY_CURRENT_USER beside
// HKEY_USERS\.DEFAULT, expandable strings as hex(2), continued lines.
std::string XpExport() {
  // %USERPROFILE%\Local Settings\Temp as UTF-16LE hex(2) bytes.
  std::string temp = "hex(2):";
  const std::string text = "%USERPROFILE%\\Local Settings\\Temp";
  for (size_t i = 0; i <= text.size(); ++i) {
    char b[8];
    snprintf(b, sizeof b, "%02x,00,", i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
    temp += b;
    if (i % 8 == 7) temp += "\\\r\n  ";
  }
  temp.resize(temp.size() - 1);
  return Utf16(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_CURRENT_USER\\Environment]\r\n"
      "\"TEMP\"=" +
      temp +
      "\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
      "Folders]\r\n"
      "\"Desktop\"=\"C:\\\\Documents and Settings\\\\Ann\\\\Desktop\"\r\n"
      "\"Programs\"=\"C:\\\\Documents and Settings\\\\Ann\\\\Start Menu\\\\Programs\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\r\n"
      "\"ProgramFilesDir\"=\"D:\\\\Apps\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
      "Folders]\r\n"
      "\"Common Desktop\"=\"C:\\\\Documents and Settings\\\\All Users\\\\Desktop\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n"
      "\"SystemRoot\"=\"C:\\\\WINDOWS\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Control\\ComputerName\\ComputerName]\r\n"
      "\"ComputerName\"=\"FRONT-PC\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Control\\Nls\\CodePage]\r\n"
      "\"ACP\"=\"1252\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\Select]\r\n"
      "\"Current\"=dword:00000001\r\n\r\n"
      "[HKEY_USERS\\.DEFAULT\\Software\\Default Profile Only]\r\n\r\n");
}

TEST_F(ImportImageTest, Version5ExportGivesFoldersNameAndTheUsersHkcu) {
  ASSERT_TRUE(Import(XpExport(), kListing)) << error_;
  const nlohmann::json j = Json();
  EXPECT_EQ(j["windows"], "xp");
  EXPECT_EQ(j.value("computer_name", ""), "FRONT-PC");  // through CurrentControlSet = ControlSet001
  const nlohmann::json& d = j["directories"];
  EXPECT_EQ(d.value("windows", ""), "C:\\WINDOWS");
  EXPECT_EQ(d.value("system", ""), "C:\\WINDOWS\\system32");
  EXPECT_EQ(d.value("temp", ""), "C:\\Documents and Settings\\Ann\\Local Settings\\Temp\\");
  EXPECT_EQ(d.value("program_files", ""), "D:\\Apps");
  EXPECT_EQ(d.value("desktop", ""), "C:\\Documents and Settings\\Ann\\Desktop");
  EXPECT_EQ(d.value("common_desktop", ""), "C:\\Documents and Settings\\All Users\\Desktop");
  EXPECT_EQ(d.value("current", ""), "C:\\");
  EXPECT_EQ(j["drives"]["C"]["free_bytes"], 7000000000u);
  EXPECT_EQ(j["drives"]["C"]["total_bytes"], 7000004096u);

  sim::Machine m;
  std::string error;
  ASSERT_TRUE(sim::LoadImage(options_.output, m, &error)) << error;
  EXPECT_EQ(m.registry.file_format, sim::RegFileFormat::kUnicode);
  // The exported HKCU is the image's HKCU; the default profile is gone.
  EXPECT_NE(m.registry.Find("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"),
            nullptr);
  EXPECT_EQ(m.registry.Find("HKU\\.DEFAULT\\Software\\Default Profile Only"), nullptr);
  EXPECT_TRUE(fs::is_regular_file(dir_ / "image" / "drives" / "C" / "WINDOWS" / "win.ini"));
  EXPECT_EQ(fs::file_size(dir_ / "image" / "drives" / "C" / "WINDOWS" / "win.ini"), 0u);
  EXPECT_EQ(summary_.files, 1u);
  EXPECT_EQ(summary_.folders, 2u);
}

TEST_F(ImportImageTest, Regedit4ExportAndNineXListingGiveShortNamesAndDefaults) {
  options_.windows = "98";
  options_.current = "c:\\program files";
  options_.sized = true;
  const std::string reg =
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n"
      "\"SystemRoot\"=\"C:\\\\WIN98\"\r\n"
      "\"Data\"=hex:01,02,\\\r\n  03\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
      "Folders]\r\n"
      "\"Common Desktop\"=\"C:\\\\WIN98\\\\All Users\\\\Desktop\"\r\n\r\n";
  const std::string listing =
      " Directory of C:\\\n"
      "PROGRA~1       <DIR>        10-05-03  9:20a Program Files\n"
      "AUTOEXEC BAT           211  10-05-03  9:12a AUTOEXEC.BAT\n"
      "         2 dir(s)     640,000,000 bytes free\n";
  ASSERT_TRUE(Import(reg, listing)) << error_;
  const nlohmann::json j = Json();
  EXPECT_EQ(j["directories"].value("windows", ""), "C:\\WIN98");
  EXPECT_EQ(j["directories"].value("system", ""), "C:\\WIN98\\SYSTEM");
  EXPECT_EQ(j["directories"].value("temp", ""), "C:\\WIN98\\TEMP\\");
  EXPECT_EQ(j["directories"].value("current", ""), "c:\\program files");
  EXPECT_FALSE(j["directories"].contains("common_desktop"));  // 9x shares no folders
  EXPECT_EQ(j["short_names"], nlohmann::json({{"C:\\Program Files", "PROGRA~1"}}));
  EXPECT_EQ(fs::file_size(dir_ / "image" / "drives" / "C" / "AUTOEXEC.BAT"), 211u);
  EXPECT_EQ(ReadHost(dir_ / "image" / "registry.reg").compare(0, 10, "REGEDIT4\r\n"), 0);
  sim::Machine m;
  std::string error;
  EXPECT_TRUE(sim::LoadImage(options_.output, m, &error)) << error;
}

// image -> the image's own writer -> import -> the same registry, in both formats.
TEST_F(ImportImageTest, RoundTripOfTheImagesOwnExports) {
  const char* root = std::getenv("CVS_SOURCE_DIR");
  ASSERT_NE(root, nullptr);
  const fs::path source = fs::path(root) / "samples" / "xp" / "registry.reg";
  const std::string sample = ReadHost(source);
  sim::Registry reg;
  std::string error;
  ASSERT_TRUE(sim::ReadRegFile(sample, reg, &error)) << error;
  const std::string written = sim::WriteRegFile(reg);
  ASSERT_TRUE(Import(written, kListing)) << error_;
  EXPECT_EQ(ReadHost(dir_ / "image" / "registry.reg"), written);

  reg.file_format = sim::RegFileFormat::kUnicode;
  const std::string unicode = sim::WriteRegFile(reg);
  fs::remove_all(dir_ / "image");
  ASSERT_TRUE(Import(unicode, kListing)) << error_;
  EXPECT_EQ(ReadHost(dir_ / "image" / "registry.reg"), unicode);
}

TEST_F(ImportImageTest, BadInputsNameFileLineAndExcerptAndWriteNothing) {
  const std::string longLine = "\"x\"=" + std::string(500, 'q');
  EXPECT_FALSE(Import("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n" + longLine + "\r\n", kListing));
  EXPECT_EQ(error_.find(options_.registry + ":4: "), 0u) << error_;
  EXPECT_NE(error_.find("\"\"x\"=qqq"), std::string::npos) << error_;
  EXPECT_LT(error_.size(), 400u);  // the excerpt, not the line
  EXPECT_FALSE(fs::exists(dir_ / "image"));

  EXPECT_FALSE(
      Import(Utf16("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_NOWHERE\\A]\r\n"), kListing));
  EXPECT_EQ(error_.find(options_.registry + ":3: unknown root key"), 0u) << error_;
  EXPECT_NE(error_.find("\"[HKEY_NOWHERE\\\\A]\""), std::string::npos) << error_;

  EXPECT_FALSE(Import("REGEDIT4\r\n", std::string(kListing) + "garbage here\r\n"));
  EXPECT_EQ(error_, options_.listing +
                        ":8: not a line of a dir listing (an entry, a summary or "
                        "\"Directory of\"): \"garbage here\"");

  EXPECT_FALSE(Import(
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage]\r\n"
      "\"ACP\"=\"1250\"\r\n",
      kListing));
  EXPECT_NE(error_.find("code page is 1250"), std::string::npos) << error_;

  options_.drive = 'D';
  EXPECT_FALSE(Import("REGEDIT4\r\n", kListing));
  EXPECT_NE(error_.find("a listing of drive C: where drive D: was given"), std::string::npos);
  options_.drive = 'C';

  options_.current = "C:\\Nowhere";
  EXPECT_FALSE(Import("REGEDIT4\r\n", kListing));
  EXPECT_NE(error_.find("no folder of the listing"), std::string::npos) << error_;
  options_.current.clear();

  options_.windows = "vista";
  EXPECT_FALSE(Import("REGEDIT4\r\n", kListing));
  EXPECT_NE(error_.find("expected 95, 98, me, nt4, 2000 or xp"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "image"));
  options_.windows = "xp";

  fs::create_directories(dir_ / "image" / "old");
  EXPECT_FALSE(Import("REGEDIT4\r\n", kListing));
  EXPECT_NE(error_.find("exists and is not an empty folder"), std::string::npos);
}

TEST(ImportOptions, RequiredOptionsDriveLettersAndMisspellings) {
  ImportOptions o;
  std::string problem;
  EXPECT_TRUE(ParseImportOptions(
      {"--registry", "r", "--listing", "l", "--windows", "98", "--output", "o", "--drive", "d:"},
      &o, &problem))
      << problem;
  EXPECT_EQ(o.drive, 'D');
  ImportOptions missing;
  EXPECT_FALSE(ParseImportOptions({"--registry", "r", "--listing", "l", "--output", "o"}, &missing,
                                  &problem));
  EXPECT_EQ(problem, "--windows is required");
  ImportOptions typo;
  EXPECT_FALSE(ParseImportOptions({"--listng", "l"}, &typo, &problem));
  EXPECT_NE(problem.find("did you mean --listing?"), std::string::npos) << problem;
  ImportOptions twice;
  EXPECT_FALSE(ParseImportOptions({"--output", "a", "--output", "b"}, &twice, &problem));
  EXPECT_EQ(problem, "--output given twice");
  ImportOptions drive;
  EXPECT_FALSE(ParseImportOptions({"--drive", "CD"}, &drive, &problem));
}

}  // namespace
}  // namespace vtsim
