// Handle objects of the file calls: open files and find searches.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/win32.h"
#include "sim/filesystem.h"
#include "sim/handles.h"
#include "sim/host_files.h"

namespace sim {

struct OpenFile : HandleObject {
  static constexpr HandleKind kKind = HandleKind::File;
  // Counted open on `files` (which outlives the handle table of its Machine):
  // the last close, even the one at the end of the process, finishes a
  // pending deletion.
  OpenFile(FileSystem& fs, std::string fullPath) : files(fs), full(std::move(fullPath)) {
    files.NoteOpened(full);
  }
  ~OpenFile() override { files.NoteClosed(full); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  HandleKind Kind() const override { return kKind; }
  FileSystem& files;
  const std::string full;  // full Windows path
  HostFile host;           // the host file, open for as long as the handle
  bool read = false;
  bool write = false;
  DWORD share = 0;
  uint64_t position = 0;
};

struct FindSearch : HandleObject {
  static constexpr HandleKind kKind = HandleKind::Find;
  HandleKind Kind() const override { return kKind; }
  std::vector<WIN32_FIND_DATAA> results;  // a snapshot taken by FindFirstFileA
  size_t next = 0;
};

}  // namespace sim
