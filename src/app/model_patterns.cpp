#include "app/model_patterns.h"

#include <algorithm>
#include <cstring>

#include "discovery/detection.h"
#include "platform/ansi_text.h"
#include "platform/win32.h"
#include "resources/string_table.h"

namespace {

struct Pattern {
  const char* text;
  int model;
};

// Tested one after the other; each can mark the choice as not detected.
const Pattern kSingleRows[] = {{"TRX 3000", kModelTRX3100},       {"7105 SERIES", kModelCorvus7105},
                               {"7100 SERIES", kModelCorvus7100}, {"TRX 3200", kModelTRX3200},
                               {"8100 SERIES", kModelCorvus8100}, {"TRX 5100", kModelTRX5100},
                               {"TRX 5150", kModelTRX5150},       {"TRX 5170", kModelTRX5170},
                               {"TRX 5200", kModelTRX5200}};

// Only the first row whose text occurs is considered.
const Pattern kChainRows[] = {{"TRX 420", kModelTRX420},   {"W SERIES", kModelCorvusW},
                              {"M SERIES", kModelCorvusM}, {"N SERIES", kModelCorvusN},
                              {"P SERIES", kModelCorvusP}, {"TRX 380", kModelTRX380}};

const int kRunPriority[] = {kModelCorvusR,    kModelCorvus380, kModelCorvusM,    kModelCorvusN,
                            kModelCorvusP,    kModelTRX380,    kModelTRX420,     kModelCorvusW,
                            kModelTRX5100,    kModelTRX5150,   kModelTRX5170,    kModelTRX5200,
                            kModelCorvus8100, kModelTRX3200,   kModelCorvus7100, kModelCorvus7105,
                            kModelTRX3100};

bool Contains(const std::string& s, const char* text) { return s.find(text) != std::string::npos; }

}  // namespace

int ChosenNotDetected(const std::string& upperName) {
  int notDetected = 0;
  for (const Pattern& row : kSingleRows) {
    if (Contains(upperName, row.text) && !IsModelDetected(row.model)) notDetected = 1;
  }
  for (const Pattern& row : kChainRows) {
    if (Contains(upperName, row.text)) {
      if (!IsModelDetected(row.model)) notDetected = 1;
      break;
    }
  }
  return notDetected;
}

int ModelCodeOfRun() {
  for (int model : kRunPriority) {
    if (IsModelDetected(model)) return model;
  }
  return -1;
}

InfoFileChoice ChooseInfoFile(bool severalDevices, bool noDeviceFound, bool chosenNotDetected) {
  if (severalDevices) return {IDS_INFO_FILE_1, 1};
  if (noDeviceFound) return {IDS_INFO_FILE_2, 0};
  if (chosenNotDetected) return {IDS_INFO_FILE_3, 2};
  return {IDS_INFO_FILE_2, 3};
}

unsigned UnplugReminderTextId(const std::string& upperName, bool photoDesk) {
  if (Contains(upperName, "N SERIES") || Contains(upperName, "P SERIES")) {
    return IDS_UNPLUG_THREE_STEPS;
  }
  return photoDesk ? IDS_UNPLUG_PHOTO_DESK : IDS_UNPLUG_PLAIN;
}

std::string UpperCaseName(const std::string& name) {
  // The copy is made in a 260-character buffer.
  return UpperText(name.substr(0, std::min(name.find('\0'), size_t{259})));
}
