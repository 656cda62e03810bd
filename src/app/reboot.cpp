#include "app/reboot_dialog.h"

// Placeholder until the restart is built: obtains nothing.
CReboot::CReboot() = default;

// Placeholder: restarts nothing.
int CReboot::RestartWindows() { return 0; }
