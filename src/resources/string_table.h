// Texts of the string table by id.
#pragma once

enum StringId : unsigned {
#define CVS_STRING(id, name, text) name = id,
#include "resources/strings.h"
#undef CVS_STRING
};

// The text of a string resource; an empty text for an unknown id.
const char* LoadStr(unsigned id);
