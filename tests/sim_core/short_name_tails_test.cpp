// Numbered tails of made-up 8.3 names in a folder of look-alike long names:
// each name takes the lowest tail its own base has free, a tail already kept
// for another entry is skipped, and the base shortens as the tail grows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/machine.h"
#include "support/test_machine.h"

namespace {

std::vector<sim::DirEntry> Entries(const std::vector<std::string>& names) {
  std::vector<sim::DirEntry> out;
  for (const std::string& name : names) {
    sim::DirEntry e;
    e.name = name;
    out.push_back(e);
  }
  return out;
}

TEST(ShortNameTails, EachBaseTakesItsLowestFreeTail) {
  TestMachine tm;
  sim::FileSystem& fs = tm.m.files;
  fs.StoreShortName("C:\\Docs\\kept long.txt", "LONGNA~3.TXT");
  // Every "...x" name cleans to the base LONGNAMEX.
  const std::vector<std::string> names = {
      "long namex.txt",  "long namey.txt",  "longname x.txt", "kept long.txt",   "other name.txt",
      "l ongnamex.txt",  "lo ngnamex.txt",  "lon gnamex.txt", "long n amex.txt", "long na mex.txt",
      "long nam ex.txt", "long name x.txt", "short.txt",      "l o ngnamex.txt"};
  const std::vector<std::string> expected = {"LONGNA~1.TXT",
                                             "LONGNA~2.TXT",
                                             "LONGNA~4.TXT",
                                             "LONGNA~3.TXT",
                                             "OTHERN~1.TXT",
                                             "LONGNA~5.TXT",
                                             "LONGNA~6.TXT",
                                             "LONGNA~7.TXT",
                                             "LONGNA~8.TXT",
                                             "LONGNA~9.TXT",
                                             "LONGN~10.TXT",
                                             "LONGN~11.TXT",
                                             "",
                                             "LONGN~12.TXT"};
  EXPECT_EQ(fs.ShortNames("C:\\Docs", Entries(names)), expected);
}

}  // namespace
