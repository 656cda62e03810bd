// Keyboard accelerator tables: a key and the command it sends.
#pragma once

struct Accelerator {
  int key;  // a typed character, or kKeyVirtual + virtual-key code
  int command;
};

// Main window (resource 135): U/u Uninstall, C/c Cancel, H/h and F1 Help.
extern const Accelerator kMainAccelerators[];
extern const int kMainAcceleratorCount;
// Information dialog (resource 137): Y/y Yes, N/n No.
extern const Accelerator kInfoAccelerators[];
extern const int kInfoAcceleratorCount;
// Restart dialog: R/r Reboot Now, C/c Cancel.
extern const Accelerator kRebootAccelerators[];
extern const int kRebootAcceleratorCount;

// The command of key in table, or 0 when the table has none.
int TranslateKey(const Accelerator* table, int count, int key);
