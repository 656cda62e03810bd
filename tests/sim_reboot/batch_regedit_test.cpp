// REGEDIT in a batch file: the spellings that import silently, and those
// that would need a person (not carried out) or are another program.
#include "sim/batch_regedit.h"

#include <gtest/gtest.h>

#include <sstream>

#include "sim/batch_interpreter.h"
#include "support/test_machine.h"

namespace {

const char kReg[] = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Back]\r\n\"v\"=\"1\"\r\n";

std::string RunBatch(TestMachine& tm, const std::string& text) {
  std::ostringstream out;
  sim::BatchInterpreter(tm.m, out).Run(text, {"C:\\Restore.bat"});
  return out.str();
}

bool Has(const std::string& out, const std::string& text) {
  return out.find(text) != std::string::npos;
}

TEST(BatchRegedit, SilentSpellingsImportInBothFamilies) {
  for (const char* version : {"xp", "98"}) {
    for (const char* line :
         {"regedit /s \"C:\\Undo Dir\\Undo.reg\"", "REGEDIT.EXE /S \"C:\\Undo Dir\\Undo.reg\"",
          "regedit -s \"C:\\Undo Dir\\Undo.reg\""}) {
      TestMachine tm(version);
      tm.AddFile("C:\\Undo Dir\\Undo.reg", kReg);
      const std::string out = RunBatch(tm, std::string(line) + "\r\n");
      EXPECT_TRUE(Has(out, "-> imported C:\\Undo Dir\\Undo.reg")) << version << out;
      EXPECT_NE(tm.m.registry.GetValue("HKLM\\SOFTWARE\\Back", "v"), nullptr) << line;
      EXPECT_TRUE(tm.m.registry.dirty) << line;
    }
  }
}

TEST(BatchRegedit, RelativeFileIsFoundInTheCurrentDirectory) {
  TestMachine tm;
  tm.AddFile("C:\\Undo\\Undo.reg", kReg);
  const std::string out = RunBatch(tm, "CD \\Undo\r\nregedit /s Undo.reg\r\n");
  EXPECT_TRUE(Has(out, "-> imported Undo.reg")) << out;
  EXPECT_NE(tm.m.registry.GetValue("HKLM\\SOFTWARE\\Back", "v"), nullptr);
}

TEST(BatchRegedit, WhatWouldNeedAPersonOrFailsImportsNothing) {
  TestMachine tm;
  tm.AddFile("C:\\Undo.reg", kReg);
  tm.AddFile("C:\\Unicode.reg", "Windows Registry Editor Version 5.00\r\n");
  const std::string out = RunBatch(tm,
                                   "regedit C:\\Undo.reg\r\n"
                                   "regedit /s\r\n"
                                   "regedit /e C:\\x.reg\r\n"
                                   "regedit /s C:\\Missing.reg\r\n"
                                   "regedit /s C:\\Unicode.reg\r\n"
                                   "regedit.com /s C:\\Undo.reg\r\n");
  EXPECT_EQ(tm.m.registry.Find("HKLM\\SOFTWARE\\Back"), nullptr);
  EXPECT_FALSE(tm.m.registry.dirty);
  EXPECT_TRUE(Has(out, "-> not carried out: without /s regedit asks before it imports")) << out;
  EXPECT_TRUE(Has(out, "-> not carried out: regedit without a file opens its window")) << out;
  EXPECT_TRUE(Has(out, "-> not carried out: regedit /e")) << out;
  EXPECT_TRUE(Has(out, "-> not imported C:\\Missing.reg: The system cannot find the file")) << out;
  EXPECT_TRUE(Has(out, "-> not imported C:\\Unicode.reg: not a REGEDIT4 file")) << out;
  EXPECT_TRUE(Has(out, "'regedit.com' is not recognized")) << out;
}

}  // namespace
