// Control ids, commands and keys of the program's dialogs.
#pragma once

// Main window (dialog 102).
constexpr int kIdUninstall = 1;
constexpr int kIdCancel = 2;
constexpr int kIdSubtitle = 107;
constexpr int kIdSelectPrompt = 155;
constexpr int kIdProgressText = 1007;
constexpr int kIdProgressCaption = 1008;
constexpr int kIdBanner = 1009;
constexpr int kIdStatic1010 = 1010;
constexpr int kIdHelpButton = 1021;
constexpr int kIdDeviceTree = 1029;
constexpr int kSysCommandAbout = 16;

// Information dialog (dialog 134).
constexpr int kIdYes = 1;
constexpr int kIdNo = 2;
constexpr int kIdRichText = 1017;
constexpr int kIdChosenTitle = 1018;
constexpr int kIdQuestion = 1020;
constexpr int kIdFoundTitle = 1024;
constexpr int kIdFoundList = 1025;
constexpr int kIdChosenList = 1026;

// Restart dialog (dialog 131).
constexpr int kIdRebootNow = 1012;

// About box (dialog 100).
constexpr int kIdAboutOk = 1;

// Keys as the views report them: typed characters by their code, other keys
// as kKeyVirtual + the virtual-key code.
constexpr int kKeyVirtual = 0x100;
constexpr int kKeyEnter = kKeyVirtual + 0x0D;
constexpr int kKeyEscape = kKeyVirtual + 0x1B;
constexpr int kKeyF1 = kKeyVirtual + 0x70;

// Help file contexts of the main window.
constexpr unsigned kHelpTopicContents = 10;
constexpr unsigned kHelpTopicBanner = 64;
constexpr unsigned kHelpPopupUninstall = 22;
constexpr unsigned kHelpPopupCancel = 21;
constexpr unsigned kHelpPopupProgress = 55;
constexpr unsigned kHelpPopupHelpButton = 24;
constexpr unsigned kHelpPopupTree = 13;
