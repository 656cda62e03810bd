// How the uninstall sequence reads the chosen device's name and the detection
// flags: model patterns, the run's model code, the information file and the
// unplug reminder.
#pragma once

#include <string>

// 1 when a model named in the upper-cased device name was not detected.
int ChosenNotDetected(const std::string& upperName);

// The code of the first detected model in the run's priority order; -1 if none.
int ModelCodeOfRun();

struct InfoFileChoice {
  unsigned stringId;  // string resource of the information file
  int mode;           // information dialog mode 0-3
};
InfoFileChoice ChooseInfoFile(bool severalDevices, bool noDeviceFound, bool chosenNotDetected);

// String resource of the unplug reminder text.
unsigned UnplugReminderTextId(const std::string& upperName, bool photoDesk);

// Upper case of name as the active code page has it, cut to 259 characters.
std::string UpperCaseName(const std::string& name);
