#include "app/accelerators.h"

#include "app/dialog_ids.h"

const Accelerator kMainAccelerators[] = {
    {'U', kIdUninstall},  {'u', kIdUninstall},  {'C', kIdCancel},       {'c', kIdCancel},
    {'H', kIdHelpButton}, {'h', kIdHelpButton}, {kKeyF1, kIdHelpButton}};
const int kMainAcceleratorCount = sizeof(kMainAccelerators) / sizeof(kMainAccelerators[0]);

const Accelerator kInfoAccelerators[] = {{'Y', kIdYes}, {'y', kIdYes}, {'N', kIdNo}, {'n', kIdNo}};
const int kInfoAcceleratorCount = sizeof(kInfoAccelerators) / sizeof(kInfoAccelerators[0]);

const Accelerator kRebootAccelerators[] = {
    {'R', kIdRebootNow}, {'r', kIdRebootNow}, {'C', kIdCancel}, {'c', kIdCancel}};
const int kRebootAcceleratorCount = sizeof(kRebootAccelerators) / sizeof(kRebootAccelerators[0]);

int TranslateKey(const Accelerator* table, int count, int key) {
  for (int i = 0; i < count; ++i) {
    if (table[i].key == key) return table[i].command;
  }
  return 0;
}
