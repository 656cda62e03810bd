#include "files/batch_lines.h"

#include "resources/string_table.h"

std::string EraseBatchHeader() {
  return std::string("ECHO OFF\n") + "REM ZI VeD forced uninstaller.\n" + "REM " +
         LoadStr(IDS_COPYRIGHT) + "\n" + "REM \n" +
         "REM This program attempts to delete VT files at bootup time that\n" +
         "REM could not be erased previously.  Once this batch file runs\n" +
         "REM after bootup, this file can safely be erased.\n" + "REM " + std::string(60, '*') +
         "\n" + "ECHO ON\n";
}

std::string EraseBatchClosingBlock() {
  const std::string stars(71, '*');
  return "Echo OFF\n"
         "Echo. " +
         stars +
         "\n"
         "Echo. \n"
         "Echo. \n"
         "Echo. Please close this DOS window to continue restarting the PC.\n"
         "Echo. \n"
         " Echo. \n"
         "Echo " +
         stars +
         "\n"
         "Echo. \n"
         "ECHO ON\n";
}

bool SplitBatchPath(const std::string& path, BatchPathParts& parts) {
  const size_t first = path.find('\\');
  if (first == std::string::npos || first == 0) return false;
  const size_t last = path.rfind('\\');
  parts.drive = path.substr(0, first);
  parts.dir = path.substr(0, last);
  parts.name = path.substr(last + 1);
  return true;
}

std::string DirectoryToEnter(const BatchPathParts& parts) {
  if (parts.dir.find('\\') == std::string::npos) return parts.dir + "\\";
  return parts.dir;
}

std::string DoublePercent(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

namespace {

std::string Quoted(const std::string& path) { return "\"" + DoublePercent(path) + "\""; }

std::string DriveLine(const std::string& drive) { return DoublePercent(drive) + "\n"; }

const char kCdRoot[] = "CD \\ \n";

}  // namespace

BatchEntryLines NtFileEntry(const std::string& drive, const std::string& dir,
                            const std::string& path) {
  return {{DriveLine(drive), "CD " + Quoted(dir) + "\n", "DEL " + Quoted(path) + "\n"}};
}

BatchEntryLines NtDirectoryEntry(const std::string& drive, const std::string& path) {
  return {{DriveLine(drive), kCdRoot, "RD " + Quoted(path) + "\n"}};
}

BatchEntryLines ShortFileEntry(const std::string& drive, const std::string& shortDir,
                               const std::string& shortPath) {
  return {{DriveLine(drive), "CD " + DoublePercent(shortDir) + "\n",
           "DEL " + DoublePercent(shortPath) + "\n"}};
}

BatchEntryLines ShortDirectoryEntry(const std::string& drive, const std::string& shortPath) {
  return {{DriveLine(drive), kCdRoot, "RD " + DoublePercent(shortPath) + "\n"}};
}
