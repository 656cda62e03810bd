// The rules for the two DAT lists: what the reader makes of each line, and
// what the registry eraser and the file remover then do with the entries.
#pragma once

#include <string>
#include <vector>

#include "dat_lines.h"
#include "finding.h"

namespace vtlint {

struct ListContext {
  std::string shown;          // the list's name in findings
  std::string device_no_pnp;  // a device using the list whose family has no PnP ID, or ""
};

// Lines longer than the reader's buffer (both lists).
void LintLineLengths(const std::vector<DatLine>& lines, const ListContext& ctx, Findings& out);
// A registry list (RegPath): read with the install, system and Windows
// directories only, then walked entry by entry as the eraser walks it.
void LintRegList(const std::vector<DatLine>& lines, const ListContext& ctx, Findings& out);
// A files list (FilesPath): sweeps and duplicates.
void LintFilesList(const std::vector<DatLine>& lines, const ListContext& ctx, Findings& out);

void AddFinding(Findings& out, const std::string& file, int line, const char* rule,
                const std::string& message);

}  // namespace vtlint
