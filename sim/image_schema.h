// The fields machine.json may hold, their types and which are required. The
// loader checks an image against this before it reads any value, so a typing
// slip ("adminstrator") is an error instead of a silently ignored field.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sim/json_path.h"

namespace sim {

struct SchemaError {
  JsonPath path;     // where (for a missing field: the field itself)
  std::string what;  // "expected a string", "unknown field; did you mean …?"
};

// Checks every field of `root`, inside arrays and objects too; false with the
// first problem in document order.
bool CheckMachineJsonSchema(const nlohmann::ordered_json& root, SchemaError* error);

// The names machine.json "directories" may use.
const std::vector<std::string>& KnownDirectoryNames();

}  // namespace sim
