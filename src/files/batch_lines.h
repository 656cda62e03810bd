// The text of the deferred erase batch, formed without touching the PC: the
// header, the closing block of the 9x command interpreter and the three lines
// of each entry. Every line ends in "\n" (CR LF once written in text mode).
#pragma once

#include <string>

// Name of the batch file in the temporary directory.
constexpr char kEraseBatchName[] = "EraseVtc.bat";

std::string EraseBatchHeader();
// Written after the last entry on Windows 95, 98 and ME only.
std::string EraseBatchClosingBlock();

// An entry path cut where the batch needs it: drive part (before the first
// backslash), directory (before the last) and name (after the last).
struct BatchPathParts {
  std::string drive;
  std::string dir;
  std::string name;
};
// False when the path has no backslash or begins with one: such an entry has
// no drive part and cannot be written.
bool SplitBatchPath(const std::string& path, BatchPathParts& parts);
// The directory to change into before deleting a file: a file directly in a
// drive's root has the bare drive ("C:") before its last backslash, which
// would leave the current directory where it is, so the root is named.
std::string DirectoryToEnter(const BatchPathParts& parts);

// A batch file expands "%": each one of a path is doubled to stay itself.
std::string DoublePercent(const std::string& path);

// The three lines of one entry.
struct BatchEntryLines {
  std::string line[3];
};
// NT family: long paths in double quotes; the DEL line names the whole path.
BatchEntryLines NtFileEntry(const std::string& drive, const std::string& dir,
                            const std::string& path);
BatchEntryLines NtDirectoryEntry(const std::string& drive, const std::string& path);
// Windows 95, 98 and ME: 8.3 paths, no quotes.
BatchEntryLines ShortFileEntry(const std::string& drive, const std::string& shortDir,
                               const std::string& shortPath);
BatchEntryLines ShortDirectoryEntry(const std::string& drive, const std::string& shortPath);
