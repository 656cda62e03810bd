// Drive types and free space as machine.json gives them, read through the
// image loader and answered by GetDriveTypeA and GetDiskFreeSpaceExA.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "sim/machine.h"
#include "support/host_io.h"
#include "support/test_machine.h"

namespace {

TEST(Drives, EveryMachineJsonTypeAndItsOwnFreeSpace) {
  namespace fs = std::filesystem;
  TestMachine tm;  // only for its temporary folder
  const fs::path dir = fs::path(tm.ImageDir()) / "img";
  std::string json = kMinimalMachineJson;
  json.insert(json.rfind('}'), R"(, "drives": {
    "A": { "type": "removable", "free_bytes": 1 }, "C": { "free_bytes": 123 },
    "D": { "type": "cdrom", "free_bytes": 0 }, "N": { "type": "remote", "free_bytes": 7 },
    "R": { "type": "ramdisk", "free_bytes": 9 }, "X": { "type": "none" } })");
  WriteHost(dir / "machine.json", json);
  WriteHost(dir / "registry.reg", "REGEDIT4\r\n\r\n");
  for (const char* d : {"A", "C/Scrubber", "D", "N", "R", "X"})
    fs::create_directories(dir / "drives" / d);
  sim::Machine m;
  std::string error;
  ASSERT_TRUE(sim::LoadImage(dir.string(), m, &error)) << error;
  sim::ScopedMachine scope(m);
  const struct {
    const char* root;
    UINT type;
    unsigned long long free;
  } drives[] = {{"A:\\", DRIVE_REMOVABLE, 1},
                {"c:\\", DRIVE_FIXED, 123},
                {"D:\\", DRIVE_CDROM, 0},
                {"N:\\", DRIVE_REMOTE, 7},
                {"R:", DRIVE_RAMDISK, 9}};
  for (const auto& d : drives) {
    EXPECT_EQ(GetDriveTypeA(d.root), d.type) << d.root;
    ULARGE_INTEGER available = {}, total = {}, free = {};
    EXPECT_TRUE(GetDiskFreeSpaceExA(d.root, &available, &total, &free)) << d.root;
    EXPECT_EQ(available.QuadPart, d.free) << d.root;
    EXPECT_EQ(free.QuadPart, d.free) << d.root;
  }
  // No root directory: a "none" drive, a drive without folder, and the root
  // of a network temporary path cut short.
  for (const char* root : {"X:\\", "Q:\\", "\\:\\"})
    EXPECT_EQ(GetDriveTypeA(root), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << root;
}

}  // namespace
