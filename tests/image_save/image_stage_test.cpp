// The working copy a run changes, and the recovery of a save a kill
// interrupted (the kills themselves: kill_save_test.sh).
#include "sim/image_stage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "sim/image.h"
#include "support/host_io.h"
#include "support/test_machine.h"

namespace fs = std::filesystem;

namespace {

class Stage : public ::testing::Test {
 protected:
  Stage() : image(fs::path(tm.ImageDir()) / "box" / "img") {
    WriteHost(image / "machine.json", kMinimalMachineJson);
    WriteHost(image / "registry.reg", "REGEDIT4\r\n");
    WriteHost(image / "drives/C/Scrubber/x.ini", "old text");
    fs::create_directories(image / "drives/C/WINDOWS/TEMP");
  }
  // What lies beside the image, by name.
  std::vector<std::string> Beside() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(image.parent_path()))
      if (e.path() != image) names.push_back(e.path().filename().string());
    return names;
  }
  bool Load() {
    std::string error;
    const bool ok = sim::LoadImage(image.string(), m, &error);
    EXPECT_TRUE(ok) << error;
    return ok;
  }

  TestMachine tm;  // only for its temporary folder
  fs::path image;
  sim::Machine m;
};

void Overwrite(const char* path, const std::string& text) {
  HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
  CloseHandle(h);
}

TEST_F(Stage, ChangesReachTheImageOnlyWhenCommitted) {
  ASSERT_TRUE(Load());
  std::string error;
  {
    sim::ImageStage stage;
    ASSERT_TRUE(stage.Begin(image.string(), m, &error)) << error;
    sim::ScopedMachine scope(m);
    // The working copy shares the image's files: a write must not reach them.
    Overwrite("C:\\Scrubber\\x.ini", "NEW");
    EXPECT_EQ(ReadHost(image / "drives/C/Scrubber/x.ini"), "old text");
    EXPECT_EQ(Beside(), std::vector<std::string>{"img.vtsim-new"});
  }
  // Dropped without a commit: the image as it was, nothing beside it.
  EXPECT_EQ(ReadHost(image / "drives/C/Scrubber/x.ini"), "old text");
  EXPECT_TRUE(Beside().empty());
}

TEST_F(Stage, CommitSwitchesTheWholeCopyIn) {
  ASSERT_TRUE(Load());
  std::string error;
  sim::ImageStage stage;
  ASSERT_TRUE(stage.Begin(image.string(), m, &error)) << error;
  {
    sim::ScopedMachine scope(m);
    Overwrite("C:\\Scrubber\\x.ini", "NEW");
    ASSERT_NE(CreateFileA("C:\\WINDOWS\\TEMP\\made.log", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                          nullptr),
              INVALID_HANDLE_VALUE);
  }
  EXPECT_EQ(ReadHost(image / "drives/C/Scrubber/x.ini"), "old text");
  ASSERT_TRUE(sim::SaveImage(m, &error)) << error;
  ASSERT_TRUE(stage.Commit(&error)) << error;
  EXPECT_EQ(ReadHost(image / "drives/C/Scrubber/x.ini"), "NEW text");
  EXPECT_TRUE(fs::exists(image / "drives/C/WINDOWS/TEMP/made.log"));
  EXPECT_TRUE(Beside().empty());
}

// States a kill can leave beside an image, each made by hand: "v" holds
// which image a folder is.
class Recovery : public ::testing::Test {
 protected:
  Recovery() : image(fs::path(tm.ImageDir()) / "box" / "img") {}
  void Make(const std::string& suffix, const std::string& which) {
    WriteHost(image.string() + suffix + "/v", which);
  }
  void Marker() { WriteHost(image.string() + ".vtsim-commit", ""); }
  // The image after recovery ("" when there is none) and whether nothing is
  // left beside it.
  std::string Recovered() {
    std::string error;
    EXPECT_TRUE(sim::RecoverImage(image.string(), &error)) << error;
    for (const auto& e : fs::directory_iterator(image.parent_path()))
      EXPECT_EQ(e.path(), image) << "left beside the image";
    return fs::exists(image / "v") ? ReadHost(image / "v") : "";
  }

  TestMachine tm;
  fs::path image;
};

TEST_F(Recovery, WithoutTheMarkerTheOldImageStays) {
  Make("", "old");
  Make(".vtsim-new", "new");  // killed during the run or before the commit
  EXPECT_EQ(Recovered(), "old");
}

TEST_F(Recovery, WithTheMarkerTheNewImageWins) {
  Make("", "old");
  Make(".vtsim-new", "new");
  Marker();  // killed right after the commit
  EXPECT_EQ(Recovered(), "new");
}

TEST_F(Recovery, BetweenTheTwoRenamesTheNewImageWins) {
  Make(".vtsim-old", "old");
  Make(".vtsim-new", "new");
  Marker();
  EXPECT_EQ(Recovered(), "new");
}

TEST_F(Recovery, AfterTheSwitchWhatIsLeftOfTheOldImageGoes) {
  Make("", "new");
  Make(".vtsim-old", "old");
  Marker();
  EXPECT_EQ(Recovered(), "new");
  Make("", "new");
  Make(".vtsim-old", "old");  // the marker already removed
  EXPECT_EQ(Recovered(), "new");
}

TEST_F(Recovery, NothingInFlightChangesNothing) {
  Make("", "old");
  EXPECT_EQ(Recovered(), "old");
  fs::remove_all(image);
  EXPECT_EQ(Recovered(), "");
}

TEST_F(Recovery, LoadingAnImageRecoversItFirst) {
  fs::create_directories(image.string() + ".vtsim-new/drives/C/Scrubber");
  WriteHost(image.string() + ".vtsim-new/machine.json", kMinimalMachineJson);
  WriteHost(image.string() + ".vtsim-new/registry.reg", "REGEDIT4\r\n");
  Marker();
  sim::Machine m;
  std::string error;
  EXPECT_TRUE(sim::LoadImage(image.string(), m, &error)) << error;
  EXPECT_FALSE(fs::exists(image.string() + ".vtsim-commit"));
}

}  // namespace
