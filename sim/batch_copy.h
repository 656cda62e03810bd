// COPY, MD/MKDIR and ATTRIB of the batch interpreter: what a restore script
// needs to put files and folders back. Members of BatchInterpreter
// (sim/batch_interpreter.h); this header names the commands it takes.
#pragma once

#include <string>

namespace sim {

// True for the (upper-case) command names BatchInterpreter::CopyCommand runs.
bool IsCopyCommand(const std::string& name);

}  // namespace sim
