// Script actions as the windows of the terminal front end read them: the
// verbs and their checks belong to the script language (sim/script_action.h);
// this maps them onto what the dialog logic understands.
#pragma once

#include <string>

#include "sim/script_action.h"

namespace textui {

// The key code (app/dialog_ids.h) of a parsed "key" action; 0 for another verb.
int KeyCode(const sim::ScriptAction& action);

bool SameNoCase(const std::string& a, const std::string& b);

// The keys every window takes, one offer line: "key CHARACTER, key Enter, ...".
const char* KeyOffer();

}  // namespace textui
