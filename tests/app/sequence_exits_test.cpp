// The uninstall sequence on the sample PCs: the footer of exits A and D, the
// OEM INF step per Windows version, and the software-version text chosen at
// start-up.
#include <functional>
#include <ostream>
#include <streambuf>
#include <vector>

#include "app/dialog_ids.h"
#include "discovery/detection.h"
#include "sample_run.h"

namespace {

namespace fs = std::filesystem;

const char kFooter[] = "End of VtCvScrubber.Log";
const char kInfSearch[] = "))) Searching for VT Corvus/TRX device INF file.";

// Hands every transcript line to `seen` as it is written, while the program
// still waits on the window the line is about.
class LineTap : public std::streambuf {
 public:
  explicit LineTap(std::function<void(const std::string&)> seen) : seen_(std::move(seen)) {}

 protected:
  int overflow(int c) override {
    if (c == '\n') {
      seen_(line_);
      line_.clear();
    } else if (c != traits_type::eof()) {
      line_ += static_cast<char>(c);
    }
    return c == traits_type::eof() ? 0 : c;
  }

 private:
  std::function<void(const std::string&)> seen_;
  std::string line_;
};

class SequenceExitsTest : public SampleRun {
 protected:
  // Runs the sequence and notes, for every message box, how many footers
  // the run log on disk held while the box was shown.
  void RunCountingFooters() {
    LineTap tap([this](const std::string& line) {
      if (line.rfind("[box] ", 0) == 0) footersAtBox.push_back(Count(LogOnDisk(), kFooter));
    });
    std::ostream stream(&tap);
    m.user.SetTranscriptStream(&stream);
    dlg.UninstallSelectedDevice();
    m.user.SetTranscriptStream(nullptr);
  }
  bool HasBoxWith(const std::string& text) const {
    for (const std::string& line : m.user.Lines())
      if (line.rfind("[box] ", 0) == 0 && line.find(text) != std::string::npos) return true;
    return false;
  }
  std::vector<int> footersAtBox;
};

const char kToTheExit[] = "press Yes\npress OK\npress OK\n";

// Exit A: the footer is on disk before the box shows, and End adds none.
TEST_F(SequenceExitsTest, ExitAWritesOneFooterBeforeItsBox) {
  const fs::path work = Copy("xp");
  fs::remove(work / "drives/C/Scrubber/Trx5100Pd110FilesNT.dat");
  Start(work, kToTheExit);
  RunCountingFooters();
  // Information dialog and unplug reminder show no box; exit A's is the one.
  ASSERT_EQ(footersAtBox.size(), 2u);
  EXPECT_EQ(footersAtBox[1], 1);
  EXPECT_EQ(Count(LogOnDisk(), kFooter), 1);
  EXPECT_TRUE(HasBoxWith("An error occurred before any VT"));
}

// Exit D comes after the registry pass: the same rule.
TEST_F(SequenceExitsTest, ExitDWritesOneFooterBeforeItsBox) {
  const fs::path work = Copy("xp");
  std::ofstream(work / "drives/C/Scrubber/Trx5100Pd110FilesNT.dat", std::ios::trunc)
      << "; no entries\r\n";
  Start(work, kToTheExit);
  RunCountingFooters();
  ASSERT_EQ(footersAtBox.size(), 2u);
  EXPECT_EQ(footersAtBox[1], 1);
  EXPECT_EQ(Count(LogOnDisk(), kFooter), 1);
  EXPECT_TRUE(HasBoxWith("An error occurred before VT software files"));
}

// A run to its end writes the footer once too, after the restart dialog.
TEST_F(SequenceExitsTest, FullRunWritesOneFooterAfterItsBoxes) {
  Start(Copy("xp"), "press Yes\npress OK\npress Cancel\n");
  RunCountingFooters();
  for (int n : footersAtBox) EXPECT_EQ(n, 0);
  EXPECT_EQ(Count(LogOnDisk(), kFooter), 1);
}

// The unplug reminder has no owner, so the main window stays clickable while
// it waits: a second Uninstall from there must not start a nested run.
TEST_F(SequenceExitsTest, UninstallWhileTheReminderWaitsStartsNoSecondRun) {
  Start(Copy("xp"), "press Yes\npress Cancel\npress Yes\npress Cancel\n");
  bool clicked = false;
  LineTap tap([this, &clicked](const std::string& line) {
    if (!clicked && line.find("[box] VT Corvus/TRX Software Uninstaller - Unplug reminder") == 0) {
      clicked = true;
      dlg.OnCommand(kIdUninstall);
    }
  });
  std::ostream stream(&tap);
  m.user.SetTranscriptStream(&stream);
  dlg.OnCommand(kIdUninstall);
  m.user.SetTranscriptStream(nullptr);
  ASSERT_TRUE(clicked);
  int confirmations = 0;
  for (const std::string& line : m.user.Lines())
    if (line == "[window] VT Corvus/TRX Software Uninstaller - Confirmation") ++confirmations;
  EXPECT_EQ(confirmations, 1);
  EXPECT_EQ(Count(LogOnDisk(), kFooter), 1);
}

// The OEM INF step runs on ME and 2000, on XP only for a Photo Desk device,
// never on 98 or NT 4.
struct InfRun {
  const char* sample;
  bool searched;
};

void PrintTo(const InfRun& run, std::ostream* os) { *os << run.sample; }

class InfStepTest : public SampleRun, public ::testing::WithParamInterface<InfRun> {};

TEST_P(InfStepTest, SearchedOnlyOnMeAnd2000AndForPhotoDeskOnXp) {
  Start(Copy(GetParam().sample), "press Yes\npress OK\npress Cancel\n");
  dlg.UninstallSelectedDevice();
  const std::string log = LogOnDisk();
  EXPECT_EQ(Count(log, kFooter), 1);  // the run reached its end
  EXPECT_EQ(Count(log, kInfSearch), GetParam().searched ? 1 : 0);
}

// XP with a device that is no Photo Desk: the Windows 98 sample's Corvus W on
// the same PC reporting Windows XP.
TEST_F(SequenceExitsTest, InfStepSkippedOnXpWithoutPhotoDesk) {
  const fs::path work = Copy("98");
  Replace(work / "machine.json", "\"windows\": \"98\"", "\"windows\": \"xp\"");
  Start(work, "press Yes\npress OK\npress Cancel\n");
  ASSERT_EQ(g_bPhotoDesk, 0);
  dlg.UninstallSelectedDevice();
  const std::string log = LogOnDisk();
  EXPECT_EQ(Count(log, kFooter), 1);
  EXPECT_EQ(Count(log, kInfSearch), 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, InfStepTest,
                         ::testing::Values(InfRun{"me-shared", true}, InfRun{"2000-env", true},
                                           InfRun{"xp", true}, InfRun{"98", false},
                                           InfRun{"nt4-nodirs", false}),
                         [](const ::testing::TestParamInfo<InfRun>& param) {
                           std::string name = param.param.sample;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return "Sample_" + name;
                         });

}  // namespace
