// Machine images: loading, its errors, and saving only what changed.
#include "sim/image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/host_io.h"
#include "support/test_machine.h"

namespace fs = std::filesystem;

namespace {

const char* kJson = R"({
  "windows": "98",
  "code_page": 1252,
  "computer_name": "OLD-PC",
  "directories": { "current": "C:\\Scrubber", "temp": null, "windows": "C:\\WINDOWS",
                   "system": "C:\\WINDOWS\\SYSTEM" },
  "drives": { "C": { "type": "fixed", "free_bytes": 123 }, "D": { "type": "cdrom" } },
  "user": { "administrator": false, "privileges": [] },
  "files": { "C:\\App\\a.dll": { "read_only": true }, "C:\\App\\b.dll": { "in_use": true } },
  "faults": [ { "call": "DeleteFileA", "path": "C:\\App\\c.dll", "error": 33, "times": 1 } ],
  "local_time": "2003-03-05T09:07:04.021",
  "registry_access": { "HKLM\\SOFTWARE\\Vantrel": "protected", "HKLM\\SOFTWARE\\Gone": "read_only" },
  "printers": [ { "name": "VT TRX 5100" } ],
  "restart": null
}
)";

class Image : public ::testing::Test {
 protected:
  Image() : dir(fs::path(tm.ImageDir()) / "img") {
    WriteHost(dir / "machine.json", kJson);
    WriteHost(dir / "registry.reg",
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel]\r\n\"Path\"=\"C:"
              "\\\\App\"\r\n\r\n");
    for (const char* f : {"a.dll", "b.dll", "c.dll"}) WriteHost(dir / "drives/C/App" / f, "x");
    fs::create_directories(dir / "drives/C/Scrubber");
  }
  bool Load(std::string* error) { return sim::LoadImage(dir.string(), m, error); }
  std::string LoadError() {
    const std::string error = ImageLoadError(dir);
    EXPECT_NE(error, "");
    return error;
  }

  TestMachine tm;  // only for its temporary folder
  fs::path dir;
  sim::Machine m;
};

TEST_F(Image, LoadsEveryPart) {
  std::string error;
  ASSERT_TRUE(Load(&error)) << error;
  sim::ScopedMachine scope(m);
  EXPECT_FALSE(m.system.NtFamily());
  EXPECT_FALSE(m.registry.nt_family);
  EXPECT_FALSE(m.registry.administrator);
  EXPECT_EQ(m.system.computer_name, "OLD-PC");
  EXPECT_EQ(m.files.current_dir, "C:\\Scrubber");
  EXPECT_EQ(m.files.Drive('C').free_bytes, 123u);
  EXPECT_EQ(GetDriveTypeA("D:\\"), DRIVE_NO_ROOT_DIR);  // a CD drive without a disc folder
  char buf[MAX_PATH];
  EXPECT_EQ(GetTempPathA(sizeof buf, buf), 0u);
  EXPECT_NE(m.registry.GetValue("HKLM\\SOFTWARE\\Vantrel", "Path"), nullptr);
  // A key named in registry_access but missing (a run removed it) is no error.
  EXPECT_EQ(m.registry.Find("HKLM\\SOFTWARE\\Vantrel")->access, sim::KeyAccess::kProtected);
  EXPECT_FALSE(m.registry.dirty);
  EXPECT_FALSE(DeleteFileA("C:\\App\\a.dll"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(DeleteFileA("C:\\App\\b.dll"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(DeleteFileA("C:\\App\\c.dll"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_LOCK_VIOLATION));
  EXPECT_TRUE(DeleteFileA("C:\\App\\c.dll"));
  EXPECT_FALSE(fs::exists(dir / "drives/C/Scrubber/../App/c.dll"));
  EXPECT_FALSE(fs::exists(dir / "drives/C/WINDOWS"));  // nothing is created by loading
}

TEST_F(Image, SavesOnlyWhatChanged) {
  std::string error;
  ASSERT_TRUE(Load(&error)) << error;
  const std::string json = ReadHost(dir / "machine.json");
  const std::string reg = ReadHost(dir / "registry.reg");
  ASSERT_TRUE(sim::SaveImage(m, &error)) << error;
  EXPECT_EQ(ReadHost(dir / "machine.json"), json);  // untouched, byte for byte
  EXPECT_EQ(ReadHost(dir / "registry.reg"), reg);
  // Changes that cancel out leave registry.reg alone, though it is not in
  // the form the writer would give it.
  m.registry.Create("HKLM\\SOFTWARE\\Tmp");
  m.registry.DeleteTree("HKLM\\SOFTWARE\\Tmp");
  ASSERT_TRUE(m.registry.dirty);
  ASSERT_TRUE(sim::SaveImage(m, &error)) << error;
  EXPECT_EQ(ReadHost(dir / "registry.reg"), reg);

  {
    sim::ScopedMachine scope(m);
    ASSERT_TRUE(SetFileAttributesA("C:\\App\\a.dll", FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(DeleteFileA("C:\\App\\a.dll"));
    m.registry.SetString("HKLM\\SOFTWARE\\Vantrel", "New", "1");
  }
  ASSERT_TRUE(sim::SaveImage(m, &error)) << error;
  auto saved = nlohmann::ordered_json::parse(ReadHost(dir / "machine.json"));
  // Key order is kept; the deleted file's flags went with it.
  EXPECT_EQ(saved.begin().key(), "windows");
  EXPECT_EQ(saved["files"].dump(), R"({"C:\\App\\b.dll":{"in_use":true}})");
  EXPECT_EQ(saved["printers"][0]["name"], "VT TRX 5100");
  EXPECT_NE(ReadHost(dir / "registry.reg").find("\"New\"=\"1\""), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "machine.json.tmp"));
  EXPECT_FALSE(fs::exists(dir / "registry.reg.tmp"));

  // Loading the saved image again gives the same state.
  sim::Machine again;
  ASSERT_TRUE(sim::LoadImage(dir.string(), again, &error)) << error;
  EXPECT_FALSE(again.files.Flags("C:\\App\\b.dll").read_only);
  EXPECT_TRUE(again.files.Flags("C:\\App\\b.dll").in_use);
}

TEST_F(Image, NamesTheCodePageCannotSpellAreNoCaseClash) {
  WriteHost(dir / "drives/C/App/\u03A9.txt", "");  // Greek capital omega
  WriteHost(dir / "drives/C/App/\u0416.txt", "");  // Cyrillic capital zhe
  std::string error;
  EXPECT_TRUE(Load(&error)) << error;
}

TEST_F(Image, FailedSaveLeavesTheOldFile) {
  std::string error;
  ASSERT_TRUE(Load(&error)) << error;
  const std::string json = ReadHost(dir / "machine.json");
  m.json["restart"] = nlohmann::ordered_json::object({{"call", "ExitWindowsEx"}, {"flags", 2}});
  fs::create_directories(dir / "machine.json.tmp");  // the temporary file cannot be written
  EXPECT_FALSE(sim::SaveImage(m, &error));
  EXPECT_EQ(ReadHost(dir / "machine.json"), json);
  fs::remove(dir / "machine.json.tmp");
  EXPECT_TRUE(sim::SaveImage(m, &error)) << error;
  EXPECT_NE(ReadHost(dir / "machine.json").find("ExitWindowsEx"), std::string::npos);
}

// machine.json with the required directories on line 2 and `lines` from line 3.
std::string WithDirs(const std::string& lines) {
  return "{\n  \"directories\": {\"current\": \"C:\\\\Scrubber\", \"temp\": null, "
         "\"windows\": \"C:\\\\WINDOWS\", \"system\": \"C:\\\\WINDOWS\\\\SYSTEM\"},\n" +
         lines + "\n}\n";
}

TEST_F(Image, ErrorsNameFileLineAndField) {
  WriteHost(dir / "machine.json", "{\n  \"windows\": \"xp\",\n  \"code_page\": ,\n}\n");
  EXPECT_EQ(LoadError().rfind("machine.json line 3: ", 0), 0u) << LoadError();

  struct Case {
    std::string json;
    const char* error;
  } cases[] = {
      {WithDirs("  \"windows\": \"vista\""),
       "machine.json line 3: windows: unknown Windows version \"vista\"; valid are 95, 98, me, "
       "nt4, 2000, xp or an object {platform, major, minor}"},
      {WithDirs("  \"windows\": \"xp\",\n  \"code_page\": 99999"),
       "machine.json line 4: code_page: code page 99999 is not supported"},
      {WithDirs("  \"windows\": \"xp\",\n  \"drives\": {\n    \"C\": {\n      \"type\": "
                "\"floppy\" } }"),
       "machine.json line 6: drives.C.type: \"floppy\": expected fixed, removable, cdrom, remote, "
       "ramdisk or none"},
      {WithDirs("  \"windows\": \"xp\",\n  \"files\": {\"C:\\\\App\\\\a.dll\": {\"read_only\": "
                "\"yes\"}}"),
       "machine.json line 4: files[\"C:\\\\App\\\\a.dll\"].read_only: expected true or false"},
      {WithDirs("  \"windows\": \"xp\",\n  \"faults\": [\n    {\"call\": \"DeleteFileA\"}]"),
       "machine.json line 5: faults[0].error: required field missing"},
      {WithDirs("  \"windows\": \"xp\", \"local_time\": \"2003-02-30T00:00:00\""),
       "machine.json line 3: local_time: expected a time such as 2003-03-05T09:07:04.021"},
      {"{\"windows\": \"xp\",\n \"directories\": {\"temp\": null, \"windows\": \"C:\\\\W\",\n "
       "\"system\": \"C:\\\\W\", \"current\": \"C:\\\\Nowhere\"}}",
       "machine.json line 3: directories.current: \"C:\\\\Nowhere\" is no folder of the image"},
      {WithDirs("  \"windows\": \"xp\",\n  \"registry_access\": {\"HKXX\\\\SOFTWARE\": "
                "\"protected\"}"),
       "machine.json line 4: registry_access[\"HKXX\\\\SOFTWARE\"]: unknown root key (HKLM, HKCU, "
       "HKCR, HKCC, HKU …)"},
      {R"([1, 2])", "machine.json line 1: expected an object { … }"},
      {WithDirs("  \"windows\": \"xp\",\n  \"code_page\": 1E999"),
       "machine.json line 4: number overflow parsing '1E999'"},
  };
  for (const Case& c : cases) {
    WriteHost(dir / "machine.json", c.json);
    EXPECT_EQ(LoadError(), c.error) << c.json;
  }

  WriteHost(dir / "machine.json", WithDirs("  \"windows\": \"xp\""));
  WriteHost(dir / "registry.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"v\"=dword:zz\r\n");
  EXPECT_EQ(LoadError().rfind("registry.reg line 4: ", 0), 0u) << LoadError();

  fs::remove(dir / "machine.json");
  EXPECT_EQ(LoadError(), "machine.json: cannot be read");
  WriteHost(dir / "machine.json", WithDirs("  \"windows\": \"xp\""));
  WriteHost(dir / "registry.reg", "REGEDIT4\r\n");  // an empty registry
  WriteHost(dir / "drives/C/App/A.DLL", "clash");
  EXPECT_EQ(LoadError(), "drives/C/App: names differ only in case: \"A.DLL\" and \"a.dll\"")
      << LoadError();
}

// Every field is known and type-checked, in arrays and nested objects too,
// also those whose subsystem only keeps them in machine.json.
TEST_F(Image, StrictFieldsNameTheLineAndThePath) {
  struct Case {
    const char* lines;
    const char* error;
  } cases[] = {
      {"  \"windows\": \"xp\",\n  \"user\": {\"adminstrator\": true}",
       "machine.json line 4: user.adminstrator: unknown field; did you mean administrator?"},
      {"  \"windws\": \"xp\"", "machine.json line 3: windws: unknown field; did you mean windows?"},
      {"  \"windows\": \"xp\",\n  \"printers\": [\n    {\"name\": \"A\"},\n    {\"name\": 5}]",
       "machine.json line 6: printers[1].name: expected a string"},
      {"  \"windows\": \"xp\",\n  \"printers\": [{\"name\": \"A\",\n   \"prot\": \"LPT1:\"}]",
       "machine.json line 5: printers[0].prot: unknown field; did you mean port?"},
      {"  \"windows\": \"xp\",\n  \"printers\": [{\"driver\": \"D\"}]",
       "machine.json line 4: printers[0].name: required field missing"},
      {"  \"windows\": \"xp\",\n  \"ports\": [\"LPT1:\",\n    7]",
       "machine.json line 5: ports[1]: expected a string"},
      {"  \"windows\": \"xp\",\n  \"monitors\": \"Local Port\"",
       "machine.json line 4: monitors: expected an array"},
      {"  \"windows\": \"xp\",\n  \"printer_drivers\": [{\"name\": \"D\", \"environment\": 4}]",
       "machine.json line 4: printer_drivers[0].environment: expected a string"},
      {"  \"windows\": \"xp\",\n  \"services\": [{\"name\": \"S\", \"state\": \"run\"}]",
       "machine.json line 4: services[0].state: \"run\": expected running, stopped, paused or "
       "stop_pending"},
      {"  \"windows\": \"xp\",\n  \"devices\": [{\"class\": \"Image\", \"hardware_ids\": [1]}]",
       "machine.json line 4: devices[0].hardware_ids[0]: expected a string"},
      {"  \"windows\": \"xp\",\n  \"installer_products\": [{\"code\": \"{X}\", \"seconds\": -1}]",
       "machine.json line 4: installer_products[0].seconds: expected a whole number from 0 to "
       "4294967295"},
      {"  \"windows\": \"xp\",\n  \"faults\": [{\"call\": \"X\", \"error\": 4294967296}]",
       "machine.json line 4: faults[0].error: expected a whole number from 0 to 4294967295"},
      {"  \"windows\": \"xp\",\n  \"open_windows\": [{\"title\": \"T\", \"minimised\": \"yes\"}]",
       "machine.json line 4: open_windows[0].minimised: expected true or false"},
      {"  \"windows\": \"xp\",\n  \"restart\": \"soon\"",
       "machine.json line 4: restart: expected an object or null"},
      {"  \"windows\": \"xp\",\n  \"restart\": {\"call\": \"ExitWindowsEx\", \"flags\": 2.5}",
       "machine.json line 4: restart.flags: expected a whole number from 0 to 4294967295"},
      {"  \"windows\": {\"platform\": 2, \"major\": 5}",
       "machine.json line 3: windows.minor: required field missing"},
      {"  \"windows\": 5",
       "machine.json line 3: windows: expected a version name (95, 98, me, "
       "nt4, 2000, xp) or an object {platform, major, minor}"},
      {"  \"windows\": \"xp\",\n  \"drives\": {\"C\": {}, \"c\": {}}",
       "machine.json line 4: drives.c: drive given twice"},
      {"  \"windows\": \"xp\",\n  \"code_page\": 1252,\n  \"code_page\": 1252",
       "machine.json line 5: code_page: given twice"},
      {"  \"windows\": \"xp\",\n  \"short_names\": {\"C:\\\\App\\\\a.dll\": true}",
       "machine.json line 4: short_names[\"C:\\\\App\\\\a.dll\"]: expected a string"},
      {"  \"computer_name\": \"PC\"", "machine.json line 1: windows: required field missing"},
  };
  for (const Case& c : cases) {
    WriteHost(dir / "machine.json", WithDirs(c.lines));
    EXPECT_EQ(LoadError(), c.error) << c.lines;
  }

  // A required directory given as null is a value; a missing one is an error.
  WriteHost(dir / "machine.json",
            "{\"windows\": \"xp\",\n \"directories\": {\"current\": \"C:\\\\Scrubber\", "
            "\"windows\": null,\n \"system\": null}}");
  EXPECT_EQ(LoadError(), "machine.json line 2: directories.temp: required field missing");
  WriteHost(dir / "machine.json",
            "{\"windows\": \"xp\",\n \"directories\": {\"current\": \"C:\\\\Scrubber\", "
            "\"windows\": null,\n \"temp\": null, \"system\": null, \"comon_desktop\": null}}");
  EXPECT_EQ(LoadError(),
            "machine.json line 3: directories.comon_desktop: unknown field; did you mean "
            "common_desktop?");
  WriteHost(dir / "machine.json", WithDirs("  \"windows\": \"xp\",\n  \"colour\": 1"));
  EXPECT_EQ(LoadError().rfind("machine.json line 4: colour: unknown field; known are windows, ", 0),
            0u)
      << LoadError();
}

TEST_F(Image, BadInputIsQuotedShortly) {
  const std::string longName(5000, 'q');
  WriteHost(dir / "machine.json", WithDirs("  \"windows\": \"" + longName + "\""));
  std::string error = LoadError();
  EXPECT_LT(error.size(), 400u) << error;
  EXPECT_NE(error.find("(5000 bytes)"), std::string::npos) << error;
  WriteHost(dir / "machine.json", WithDirs("  \"windows\": \"xp\",\n  \"" + longName + "\": 1"));
  error = LoadError();
  EXPECT_LT(error.size(), 600u) << error;
  EXPECT_EQ(error.rfind("machine.json line 4: ", 0), 0u) << error;
  // A syntax error quotes the token it stopped at: cut as well.
  WriteHost(dir / "machine.json", "{\"windows\": \"" + longName + "\n");
  error = LoadError();
  EXPECT_LT(error.size(), 400u) << error;
  EXPECT_EQ(error.rfind("machine.json line 1: ", 0), 0u) << error;
}

TEST_F(Image, RegistryFileIsRequired) {
  WriteHost(dir / "machine.json", WithDirs("  \"windows\": \"xp\""));
  std::string error;
  ASSERT_TRUE(Load(&error)) << error;  // the lines above make a valid image
  fs::remove(dir / "registry.reg");
  EXPECT_EQ(LoadError(),
            "registry.reg: missing (an empty registry is a file holding only the line REGEDIT4)");
  WriteHost(dir / "registry.reg", "REGEDIT4\r\n");
  sim::Machine fresh;
  EXPECT_TRUE(sim::LoadImage(dir.string(), fresh, &error)) << error;
}

}  // namespace

// The image's own files are never read or written through a link: a link in
// the image could otherwise pull a host file in or let a save overwrite one.
TEST_F(Image, OwnFilesAreNeverReachedThroughALink) {
  const fs::path outside = fs::path(tm.ImageDir()) / "host.txt";
  WriteHost(outside, "host data");
  std::string error;
  ASSERT_TRUE(Load(&error)) << error;
  fs::create_symlink(outside, dir / "registry.reg.tmp");
  fs::create_symlink(outside, dir / "machine.json.tmp");
  m.registry.SetString("HKLM\\SOFTWARE\\Vantrel", "New", "1");
  m.json["restart"] = nlohmann::ordered_json::object({{"call", "ExitWindowsEx"}, {"flags", 2}});
  ASSERT_TRUE(sim::SaveImage(m, &error)) << error;
  EXPECT_EQ(ReadHost(outside), "host data");
  EXPECT_NE(ReadHost(dir / "registry.reg").find("\"New\"=\"1\""), std::string::npos);
  EXPECT_NE(ReadHost(dir / "machine.json").find("ExitWindowsEx"), std::string::npos);
  EXPECT_FALSE(fs::is_symlink(dir / "registry.reg"));

  // A link in place of registry.reg or machine.json is not read.
  fs::rename(dir / "registry.reg", dir / "saved.reg");
  WriteHost(outside, "REGEDIT4\r\n\r\n");
  fs::create_symlink(outside, dir / "registry.reg");
  EXPECT_EQ(LoadError(), "registry.reg: cannot be read");
  fs::remove(dir / "registry.reg");
  fs::rename(dir / "saved.reg", dir / "registry.reg");
  fs::rename(dir / "machine.json", dir / "saved.json");
  fs::create_symlink(dir / "saved.json", dir / "machine.json");
  EXPECT_EQ(LoadError(), "machine.json: cannot be read");
}

TEST_F(Image, LaterShellDefaultsByVersionAndCanBeGiven) {
  struct Case {
    const char* lines;
    bool later;
  } cases[] = {
      {"  \"windows\": \"95\"", false},
      {"  \"windows\": \"nt4\"", false},
      {"  \"windows\": \"98\"", true},
      {"  \"windows\": \"2000\"", true},
      {"  \"windows\": \"nt4\", \"later_shell\": true", true},
      {"  \"windows\": \"xp\", \"later_shell\": false", false},
  };
  for (const Case& c : cases) {
    WriteHost(dir / "machine.json", WithDirs(c.lines));
    sim::Machine fresh;
    std::string error;
    ASSERT_TRUE(sim::LoadImage(dir.string(), fresh, &error)) << error;
    EXPECT_EQ(fresh.system.HasLaterShell(), c.later) << c.lines;
  }
  WriteHost(dir / "machine.json", WithDirs("  \"windows\": \"nt4\",\n  \"later_shell\": \"4.71\""));
  EXPECT_EQ(LoadError(), "machine.json line 4: later_shell: expected true or false");
}
