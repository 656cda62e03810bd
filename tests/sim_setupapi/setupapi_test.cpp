// Plug-and-Play devices of the simulated PC: machine.json in and out, the
// library's presence per machine, and removal by the class installer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/win32.h"
#include "sim/image.h"
#include "support/host_io.h"
#include "support/test_machine.h"

namespace fs = std::filesystem;

namespace {

const char* kDevicesJson = R"({ "windows": "xp", "directories": {
    "current": "C:\\Scrubber", "temp": "C:\\WINDOWS\\TEMP\\",
    "windows": "C:\\WINDOWS", "system": "C:\\WINDOWS\\system32" },
  "devices": [
    { "class": "Image", "hardware_ids": ["USB\\VID_1234&PID_5678&REV_0100", "USB\\VID_1234&PID_5678"],
      "enum_key": "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1234&PID_5678" },
    { "class": "Printer", "hardware_ids": ["DOT4PRT\\VID_1234&PID_5678"], "present": false },
    { "class": "Display", "description": "Standard VGA Graphics Adapter" }
  ],
  "local_time": "2003-03-05T09:07:04.021"
}
)";

const char* kRegistry =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1234&PID_5678\\5&1]\r\n"
    "\"Class\"=\"Image\"\r\n\r\n";

class Devices : public ::testing::Test {
 protected:
  Devices() : dir(fs::path(tm.ImageDir()) / "img") {
    WriteHost(dir / "registry.reg", kRegistry);
    fs::create_directories(dir / "drives/C/Scrubber");
  }
  // Loads the image with `json` as machine.json into `m`.
  void Load(const std::string& json) {
    WriteHost(dir / "machine.json", json);
    std::string error;
    ASSERT_TRUE(sim::LoadImage(dir.string(), m, &error)) << error;
  }
  HDEVINFO All() {
    return SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PROFILE);
  }
  SP_DEVINFO_DATA Device(HDEVINFO set, DWORD index) {
    SP_DEVINFO_DATA d = {};
    d.cbSize = sizeof d;
    EXPECT_TRUE(SetupDiEnumDeviceInfo(set, index, &d));
    return d;
  }
  std::string Class(HDEVINFO set, DWORD index) {
    SP_DEVINFO_DATA d = Device(set, index);
    char buf[512] = "";
    SetupDiGetDeviceRegistryPropertyA(set, &d, SPDRP_CLASS, nullptr, reinterpret_cast<BYTE*>(buf),
                                      sizeof buf, nullptr);
    return buf;
  }
  DWORD Count(HDEVINFO set) {
    SP_DEVINFO_DATA d = {};
    d.cbSize = sizeof d;
    DWORD n = 0;
    while (SetupDiEnumDeviceInfo(set, n, &d)) ++n;
    return n;
  }

  TestMachine tm;  // only for its temporary folder
  fs::path dir;
  sim::Machine m;
};

TEST_F(Devices, RemovalIsWrittenBackWithTheKeyOrderKept) {
  Load(kDevicesJson);
  sim::ScopedMachine scope(m);
  HDEVINFO set = All();
  SP_DEVINFO_DATA scanner = Device(set, 0);
  ASSERT_TRUE(SetupDiCallClassInstaller(DIF_REMOVE, set, &scanner));
  ASSERT_TRUE(SetupDiDestroyDeviceInfoList(set));
  std::string error;
  ASSERT_TRUE(sim::SaveImage(m, &error)) << error;

  const std::string json = ReadHost(dir / "machine.json");
  EXPECT_EQ(json.find("VID_1234&PID_5678&REV_0100"), std::string::npos);
  // The others stay, in their order, and "local_time" still follows "devices".
  const size_t printer = json.find("DOT4PRT");
  const size_t display = json.find("Standard VGA");
  ASSERT_NE(printer, std::string::npos);
  EXPECT_LT(printer, display);
  EXPECT_LT(json.find("\"devices\""), json.find("\"local_time\""));
  // The device's hardware key went with it.
  EXPECT_EQ(ReadHost(dir / "registry.reg").find("VID_1234&PID_5678"), std::string::npos);

  sim::Machine again;
  ASSERT_TRUE(sim::LoadImage(dir.string(), again, &error)) << error;
  sim::ScopedMachine scope2(again);
  HDEVINFO later = All();
  EXPECT_EQ(Count(later), 2u);
  EXPECT_EQ(Class(later, 0), "Printer");
  SetupDiDestroyDeviceInfoList(later);
}

TEST_F(Devices, SetsChooseByPresenceAndClass) {
  Load(kDevicesJson);
  sim::ScopedMachine scope(m);
  HDEVINFO present =
      SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
  EXPECT_EQ(Count(present), 2u);
  EXPECT_EQ(Class(present, 1), "Display");
  SetupDiDestroyDeviceInfoList(present);

  const GUID printerClass = {
      0x4d36e979, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
  HDEVINFO printers = SetupDiGetClassDevsA(&printerClass, nullptr, nullptr, DIGCF_PROFILE);
  ASSERT_EQ(Count(printers), 1u);
  EXPECT_EQ(Class(printers, 0), "Printer");
  EXPECT_EQ(Device(printers, 0).ClassGuid.Data1, 0x4d36e979u);
  SetupDiDestroyDeviceInfoList(printers);

  HDEVINFO usb = SetupDiGetClassDevsA(nullptr, "usb", nullptr, DIGCF_ALLCLASSES);
  EXPECT_EQ(Count(usb), 1u);
  SetupDiDestroyDeviceInfoList(usb);
}

TEST_F(Devices, PropertiesTheDeviceLacksGive13) {
  Load(kDevicesJson);
  sim::ScopedMachine scope(m);
  HDEVINFO set = All();
  SP_DEVINFO_DATA scanner = Device(set, 0);
  SP_DEVINFO_DATA display = Device(set, 2);
  BYTE buf[512];
  DWORD type = 0;
  DWORD needed = 0;
  // The scanner has no description; the display no hardware IDs.
  EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set, &scanner, SPDRP_DEVICEDESC, &type, buf,
                                                 sizeof buf, &needed));
  EXPECT_EQ(GetLastError(), 13u);
  EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set, &display, SPDRP_HARDWAREID, &type, buf,
                                                 sizeof buf, &needed));
  EXPECT_EQ(GetLastError(), 13u);
  ASSERT_TRUE(SetupDiGetDeviceRegistryPropertyA(set, &scanner, SPDRP_HARDWAREID, &type, buf,
                                                sizeof buf, &needed));
  const char ids[] = "USB\\VID_1234&PID_5678&REV_0100\0USB\\VID_1234&PID_5678\0";
  EXPECT_EQ(needed, sizeof ids);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), needed), std::string(ids, sizeof ids));
  SetupDiDestroyDeviceInfoList(set);
}

TEST_F(Devices, RemovalNeedsAnAdministratorOnNtAndHonoursFaults) {
  Load(kDevicesJson);
  sim::ScopedMachine scope(m);
  m.system.administrator = false;
  HDEVINFO set = All();
  SP_DEVINFO_DATA scanner = Device(set, 0);
  EXPECT_FALSE(SetupDiCallClassInstaller(DIF_REMOVE, set, &scanner));
  EXPECT_EQ(GetLastError(), 5u);
  m.system.administrator = true;
  // A fault names the device by its first hardware ID.
  m.faults.list.push_back({});
  m.faults.list.back().call = "SetupDiCallClassInstaller";
  m.faults.list.back().name = "usb\\vid_1234&pid_5678&rev_0100";
  m.faults.list.back().error = 0xE0000219;
  m.faults.list.back().times = 1;
  EXPECT_FALSE(SetupDiCallClassInstaller(DIF_REMOVE, set, &scanner));
  EXPECT_EQ(GetLastError(), 0xE0000219u);
  // Requests other than removal are not pretended to work.
  EXPECT_FALSE(SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &scanner));
  EXPECT_EQ(GetLastError(), 120u);
  EXPECT_EQ(m.json["devices"].size(), 3u);
  EXPECT_TRUE(SetupDiCallClassInstaller(DIF_REMOVE, set, &scanner));
  EXPECT_EQ(m.json["devices"].size(), 2u);
  SetupDiDestroyDeviceInfoList(set);
}

// LoadLibraryA's answer for "SetupApi.dll" (0: it loads) and GetProcAddress's
// for one of its functions, on a PC of `windows` with `setupapi` in machine.json.
struct Presence {
  const char* windows;
  const char* setupapi;  // "" for none
  DWORD load_error;
  DWORD lookup_error;  // for SetupDiCallClassInstaller
};

TEST(SetupApiPresence, PerVersionAndMachineJson) {
  const Presence cases[] = {
      {"xp", "", 0, 0},
      {"2000", "", 0, 0},
      {"98", "", 0, 0},
      {"me", "", 0, 0},
      {"95", "", 1157, 0},
      {"nt4", "", 126, 0},
      {"95", R"({"present": true})", 0, 0},
      {"xp", R"({"present": false})", 126, 0},
      {"98", R"({"present": false})", 1157, 0},
      {"xp", R"({"missing": ["SetupDiCallClassInstaller"]})", 0, 127},
      {"xp", R"({"missing": ["SetupDiEnumDeviceInfo"]})", 0, 0},
  };
  for (const Presence& c : cases) {
    SCOPED_TRACE(std::string(c.windows) + " " + c.setupapi);
    TestMachine tm(c.windows);
    if (*c.setupapi) tm.m.json["setupapi"] = nlohmann::ordered_json::parse(c.setupapi);
    SetLastError(0);
    HMODULE lib = LoadLibraryA("SetupApi.dll");
    EXPECT_EQ(lib == nullptr, c.load_error != 0);
    if (!lib) {
      EXPECT_EQ(GetLastError(), c.load_error);
      continue;
    }
    SetLastError(0);
    FARPROC fn = GetProcAddress(lib, "SetupDiCallClassInstaller");
    EXPECT_EQ(fn == nullptr, c.lookup_error != 0);
    if (!fn) {
      EXPECT_EQ(GetLastError(), c.lookup_error);
    }
    EXPECT_NE(GetProcAddress(lib, "SetupDiGetClassDevsA"), nullptr);
  }
}

TEST(SetupApiImage, BadDeviceFieldsAreRefusedWithTheirLine) {
  TestMachine tm;
  const fs::path dir = fs::path(tm.ImageDir()) / "img";
  WriteHost(dir / "registry.reg", "REGEDIT4\r\n\r\n");
  fs::create_directories(dir / "drives/C/Scrubber");
  const std::string head =
      std::string(kMinimalMachineJson).substr(0, std::string(kMinimalMachineJson).size() - 1);
  WriteHost(dir / "machine.json", head + ",\n \"devices\": [ { \"class_guid\": \"{12}\" } ] }");
  EXPECT_NE(ImageLoadError(dir).find("line 4"), std::string::npos) << ImageLoadError(dir);
  EXPECT_NE(ImageLoadError(dir).find("class_guid"), std::string::npos);
  WriteHost(dir / "machine.json", head + ",\n \"devices\": [ { \"enum_key\": \"HKXX\\\\A\" } ] }");
  EXPECT_NE(ImageLoadError(dir).find("enum_key"), std::string::npos);
  WriteHost(dir / "machine.json", head + ",\n \"setupapi\": { \"present\": 1 } }");
  EXPECT_NE(ImageLoadError(dir).find("setupapi"), std::string::npos);
}

}  // namespace
