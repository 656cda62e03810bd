// A run of the program's main window on a copy of a sample PC, in this
// process: the image is copied, changed by the test, loaded, and the window
// initialised; the uninstall sequence then runs on the preselected device.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/run_state.h"
#include "sim/image.h"
#include "sim/machine.h"
#include "support/test_machine.h"

class SampleRun : public ::testing::Test {
 protected:
  // Copies samples/NAME into the test's folder and returns the copy.
  std::filesystem::path Copy(const std::string& sample) {
    const char* source = std::getenv("CVS_SOURCE_DIR");
    EXPECT_NE(source, nullptr);
    const std::filesystem::path work = std::filesystem::path(tm.ImageDir()) / sample;
    std::filesystem::copy(std::filesystem::path(source ? source : ".") / "samples" / sample, work,
                          std::filesystem::copy_options::recursive);
    return work;
  }
  // Loads the image at `work`, answers with `script` and initialises the
  // main window (detection, preselection).
  void Start(const std::filesystem::path& work, const std::string& script) {
    std::string error;
    ASSERT_TRUE(sim::LoadImage(work.string(), m, &error)) << error;
    scope = std::make_unique<sim::ScopedMachine>(m);
    ResetAllRunState();
    ASSERT_TRUE(m.user.SetScript(script));
    dlg.CreateView();
    dlg.OnInitDialog();
  }
  // The run log as it stands on disk now.
  std::string LogOnDisk() const {
    const std::string path = *m.system.Directory("temp") + "VtCvScrubber.log";
    std::ifstream in(m.files.Lookup(path).host, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
  }
  static void Replace(const std::filesystem::path& file, const std::string& from,
                      const std::string& to) {
    std::string text;
    {
      std::ifstream in(file, std::ios::binary);
      text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from << " in " << file;
    text.replace(at, from.size(), to);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
  }

  TestMachine tm;  // only for its temporary folder, removed with it
  sim::Machine m;
  std::unique_ptr<sim::ScopedMachine> scope;
  CCvScrubberDlg dlg;
};
