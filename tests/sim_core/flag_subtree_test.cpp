// What the file system keeps per path (flags, short names, pending
// deletions) follows a folder's whole subtree on delete and move, and only
// that subtree: names that merely begin with the folder's name stay.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sim/file_holders.h"
#include "sim/machine.h"
#include "support/test_machine.h"

namespace {

// Names beside "C:\App" that sort next to its subtree: before the
// backslash ('!', '.', '['), after it ('_', 'X'), and in lower case.
const std::vector<std::string> kNeighbours = {
    "C:\\App!", "C:\\App.txt", "C:\\App[\\a.dll", "C:\\App_\\a.dll", "C:\\AppX\\a.dll", "c:\\appy"};

std::vector<std::string> FlaggedPaths(const sim::FileSystem& fs) {
  std::vector<std::string> out;
  for (const auto& entry : fs.AllFlags()) out.push_back(entry.first);
  return out;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end(), sim::LessNoCase());
  return v;
}

TEST(FlagSubtree, ForgetTakesTheSubtreeInAnyCaseAndLeavesNeighbours) {
  TestMachine tm;
  sim::FileSystem& fs = tm.m.files;
  for (const std::string& p : kNeighbours) {
    fs.SetReadOnly(p, true);
    fs.StoreShortName(p, "N~1");
    fs.MarkDeletePending(p);
  }
  for (const char* p : {"C:\\App", "c:\\APP\\a.dll", "C:\\App\\Sub\\b.dll"}) {
    fs.SetInUse(p, true);
    fs.StoreShortName(p, "S~1");
    fs.MarkDeletePending(p);
  }
  fs.Forget("C:\\app");
  EXPECT_EQ(FlaggedPaths(fs), Sorted(kNeighbours));
  EXPECT_EQ(fs.StoredShortNames().size(), kNeighbours.size());
  for (const std::string& p : kNeighbours) EXPECT_TRUE(fs.DeletePending(p)) << p;
  EXPECT_FALSE(fs.DeletePending("C:\\App\\Sub\\b.dll"));
  EXPECT_FALSE(fs.DeletePending("C:\\App"));
}

TEST(FlagSubtree, ForgetOfAFileKeepsTheRest) {
  TestMachine tm;
  sim::FileSystem& fs = tm.m.files;
  for (const std::string& p : kNeighbours) fs.SetInUse(p, true);
  fs.SetInUse("C:\\App", true);
  fs.Forget("C:\\App.txt");
  std::vector<std::string> left = {"C:\\App"};
  for (const std::string& p : kNeighbours)
    if (p != "C:\\App.txt") left.push_back(p);
  EXPECT_EQ(FlaggedPaths(fs), Sorted(left));
}

TEST(FlagSubtree, MovedCarriesTheSubtreeOnly) {
  TestMachine tm;
  sim::FileSystem& fs = tm.m.files;
  for (const std::string& p : kNeighbours) fs.SetInUse(p, true);
  fs.SetReadOnly("C:\\App", true);
  fs.SetInUse("c:\\app\\Sub\\b.dll", true);
  fs.Moved("C:\\App", "C:\\Old\\App2");
  std::vector<std::string> expected = kNeighbours;
  expected.push_back("C:\\Old\\App2");
  expected.push_back("C:\\Old\\App2\\Sub\\b.dll");
  EXPECT_EQ(FlaggedPaths(fs), Sorted(expected));
  EXPECT_TRUE(fs.Flags("C:\\Old\\App2").read_only);
  EXPECT_TRUE(fs.Flags("C:\\Old\\App2\\Sub\\b.dll").in_use);
}

TEST(FlagSubtree, OnlySomethingStrictlyBelowHoldsAFolder) {
  TestMachine tm;
  tm.SetCurrentDir("C:\\Scrubber");
  for (const std::string& p : kNeighbours) tm.m.files.SetInUse(p, true);
  tm.m.files.SetInUse("C:\\App", true);  // the folder itself is no item below it
  EXPECT_FALSE(sim::SomethingBelowHeld(tm.m, "C:\\App"));
  tm.m.files.SetInUse("c:\\APP\\Sub\\b.dll", true);
  EXPECT_TRUE(sim::SomethingBelowHeld(tm.m, "C:\\App"));
  EXPECT_TRUE(sim::SomethingBelowHeld(tm.m, "C:\\App\\SUB"));
  EXPECT_FALSE(sim::SomethingBelowHeld(tm.m, "C:\\App\\Sub\\b.dll"));
  tm.m.files.SetInUse("c:\\APP\\Sub\\b.dll", false);  // a flag cleared holds nothing
  EXPECT_FALSE(sim::SomethingBelowHeld(tm.m, "C:\\App"));
}

}  // namespace
