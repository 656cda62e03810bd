// Resource numbers of the dialogs, accelerator tables, menu and icons. Plain
// #defines: read by the resource compiler and by the Windows front end.
#pragma once

#define IDD_ABOUTBOX 100
#define IDD_MAIN_WINDOW 102
#define IDD_REBOOT 131
#define IDI_PROGRAM 132
#define IDD_INFO 134
#define IDR_MAIN_ACCELERATORS 135
#define IDR_INFO_ACCELERATORS 137
#define IDR_REBOOT_ACCELERATORS 138
#define IDR_INFO_CONTEXT_MENU 141
#define IDI_HELP_BUTTON 143
