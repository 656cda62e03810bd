// REGEDIT in a batch file: "regedit /s FILE" (also REGEDIT.EXE, /S, -s)
// imports a REGEDIT4 file into the simulated registry as regedit does
// without asking: keys are made, values set, "[-key]" and "name"=- delete.
// A line regedit cannot read is skipped and the import goes on with the
// next one (a bad key line takes the values below it along); a file that
// does not start with "REGEDIT4" imports nothing. Each file's outcome is
// said through `say` (regedit itself shows nothing with /s).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sim/machine.h"

namespace sim {

// `rest` is the command line after the name REGEDIT (".exe /s a.reg").
// False when the command is not regedit after all (REGEDIT.COM ...): the
// interpreter then treats it as it treats any unknown command.
bool RunRegedit(Machine& m, const std::string& rest,
                const std::function<void(const std::string&)>& say);

// Imports REGEDIT4 text; `skipped` gets "line N: what" for each line left out.
// False (nothing imported) when the text is no REGEDIT4 file.
bool ImportRegedit4(const std::string& text, Registry& registry, std::vector<std::string>* skipped);

}  // namespace sim
