// The main window CCvScrubberDlg: the device tree, the run state, the log
// switch, help and the uninstall sequence.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/views.h"
#include "config/device_tree_sink.h"
#include "config/string_list.h"
#include "discovery/directories.h"

class CCvScrubberDlg : public IDeviceTreeSink, public IMainWindowEvents {
 public:
  // The tree holds at most this many entries (positions of m_aTreeItems).
  static constexpr size_t kMaxTreeItems = 128;

  CCvScrubberDlg();
  ~CCvScrubberDlg() override;
  CCvScrubberDlg(const CCvScrubberDlg&) = delete;
  CCvScrubberDlg& operator=(const CCvScrubberDlg&) = delete;

  // Creates the window, initialises it and runs it until it closes.
  int DoModal();
  // Creates the window without running it (DoModal does this first; tests
  // use it to drive the logic directly).
  void CreateView();
  IMainWindowView& View() { return *m_pView; }
  // Main window initialisation (run state, run log, tree, detection).
  void OnInitDialog();

  // Detected-device list.
  CStringArray m_aDeviceNames;
  CStringArray m_aInstallDirs;
  int m_nDevices = 0;
  // The chosen device's lists.
  CStringArray m_aFilesList;
  CStringArray m_aRegList;
  // Tree entry handles in the order they were added.
  std::vector<TreeItem> m_aTreeItems;
  int m_bLogFileOn = 1;
  int m_bEnvFamily = 0;
  int m_bSharedFamily = 0;
  int m_bOwnFamily = 0;
  int m_bChosenNotDetected = 0;
  int m_bNoDeviceFound = 0;
  std::string DeviceDirectories[kDeviceDirectoryCount];
  char m_szChosenDevice[260];
  int m_bUninstallStarted = 0;

  // The log directory (see GetRunLogDir), into a 260-character buffer.
  void GetLogDir(char* buffer);

  TreeItem AddTreeEntry(const std::string& text, TreeItem parent) override;
  int GetSelectedDevice(char* buffer, int size);
  int SelectDeviceInTree(const std::string& name, const std::string& versionText);

  void SetProgressText(const std::string& text);
  void SetProgressCaption(const std::string& text);
  void RedrawNow();

  void UninstallSelectedDevice();
  void OnBannerButton();
  void OnHelpButton();
  void OnAbout();

  // Events of the window.
  void OnTreeSelChanged(TreeItem item) override;
  void OnCommand(int id) override;
  void OnKey(int key) override;
  void OnContextHelp(int controlId) override;
  void OnSysCommand(int id) override;
  void OnCloseBox() override;

 private:
  void EndRun(bool footerWritten);
  void ErrorExit(unsigned textId, unsigned icon, bool footerFirst, bool logTextFirst);
  void EnableRunButtons(bool enable);
  bool HasMembers(TreeItem item) const;

  std::unique_ptr<IMainWindowView> m_pView;
  bool m_bClosed = false;
};

// The application's main window while it exists, else nullptr.
CCvScrubberDlg* TheMainWindow();
