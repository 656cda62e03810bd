// Every user-visible text of the program: id, name, text. Included by the
// string table (C++) and by the resource script, so both builds show the same
// texts. Add new texts to the section of their subsystem.
// CVS_STRING(id, name, text)

// Application names and files
CVS_STRING(116, IDS_INI_FILE_NAME, "VtCvScrubber.ini")
CVS_STRING(400, IDS_HELP_FILE_NAME, "VtCvScrubber.hlp")
CVS_STRING(401, IDS_LOG_FILE_NAME, "VtCvScrubber.log")
CVS_STRING(121, IDS_MESSAGE_CAPTION, "VT Corvus/TRX Software Uninstaller - Message")
CVS_STRING(402, IDS_MAIN_TITLE, "Vantrel AiO Uninstall Utility")
CVS_STRING(403, IDS_MAIN_WINDOW_CLASS, "#32770")

// Run log
CVS_STRING(410, IDS_LOG_OPEN_FAILED,
           "Unable to open this application's log file.  Error: \"%d\"\n\nLog File: \"%s\"")
CVS_STRING(411, IDS_LOG_HEADER_DATE_LINE,
           "**  VtCvScrubber.Log \t\t\t       %d/%d/%4d at %d:%d:%d.%d")
CVS_STRING(412, IDS_COPYRIGHT, "Copyright (C) 2003 Vantrel Corporation. All rights reserved.")
CVS_STRING(413, IDS_LOG_FOOTER,
           "\n***********************************************************************\nEnd of "
           "VtCvScrubber.Log\n")
CVS_STRING(420, IDS_FILE_ERROR_0, "No error occurred.")
CVS_STRING(421, IDS_FILE_ERROR_1, "An unknown error occurred while accessing %1.")
CVS_STRING(422, IDS_FILE_ERROR_2, "%1 was not found.")
CVS_STRING(423, IDS_FILE_ERROR_3, "%1 contains an invalid path.")
CVS_STRING(424, IDS_FILE_ERROR_4, "%1 could not be opened because there are too many open files.")
CVS_STRING(425, IDS_FILE_ERROR_5, "Access to %1 was denied.")
CVS_STRING(426, IDS_FILE_ERROR_6, "An invalid file handle was associated with %1.")
CVS_STRING(427, IDS_FILE_ERROR_7, "%1 could not be removed because it is the current directory.")
CVS_STRING(428, IDS_FILE_ERROR_8, "%1 could not be created because the directory is full.")
CVS_STRING(429, IDS_FILE_ERROR_9, "Seek failed on %1")
CVS_STRING(430, IDS_FILE_ERROR_10, "A hardware I/O error was reported while accessing %1.")
CVS_STRING(431, IDS_FILE_ERROR_11, "A sharing violation occurred while accessing %1.")
CVS_STRING(432, IDS_FILE_ERROR_12, "A locking violation occurred while accessing %1.")
CVS_STRING(433, IDS_FILE_ERROR_13, "Disk full while accessing %1.")
CVS_STRING(434, IDS_FILE_ERROR_14, "An attempt was made to access %1 past its end.")
CVS_STRING(435, IDS_UNNAMED_FILE, "an unnamed file")

// Control file reader
CVS_STRING(117, IDS_FINDFILE_ENOENT,
           "Unable to find file at \"%s\".\nError: File specification could not be matched "
           "(meaning, File Not Found).")
CVS_STRING(118, IDS_FINDFILE_EINVAL,
           "Unable to find file at \"%s\".\nError: Invalid file name specification.")
CVS_STRING(
    119, IDS_INI_MISSING_KEY,
    "INI Error: missing section [%s] or Key \"%s\",\nor the key is missing its value.\n\nINI "
    "file is \"%s\"")
CVS_STRING(120, IDS_UNABLE_TO_FIND_FILE, "Unable to find file \"%s\".")
CVS_STRING(156, IDS_NO_DEVICES_IN_INI,
           "ERROR finding supported VT devices in this application's INI file.\n\nPossible causes: "
           "(1) this application could not locate the INI file.\nor, (2) The INI file is corrupt "
           "and is missing critical section headers.\n")
CVS_STRING(212, IDS_INI_OPEN_FAILED, ">>> Unable to open INI file, %s")
CVS_STRING(213, IDS_INI_READ_FAILED, "Unable to read line from the INI file, %s")
CVS_STRING(214, IDS_INI_NO_VERSION, "Unable to find the version string in INI file, %s")
CVS_STRING(215, IDS_INI_VERSION_ERROR,
           "Version error found in INI file, %s \nVersion found: '%s' \nVersion expected: '%s'")

// DAT list reader
CVS_STRING(130, IDS_DAT_NO_MEMORY,
           "Too little available memory.  Attempting to add line '%s' to a CStringArray object.")
CVS_STRING(174, IDS_DAT_NO_INSTALL_DIR,
           ">>> Unable to erase file from the VT Install directory.\n\tDirectory not found in the "
           "registry. \n\n")
CVS_STRING(175, IDS_DAT_NO_DESKTOP_DIR,
           ">>> Unable to erase file from the 'Desktop' directory.\n\tAttempting to use a default "
           "directory. \n")
CVS_STRING(176, IDS_DAT_NO_OCR_DIR,
           ">>> Unable to erase file from the OCR directory.\n\tThe directory may not exist. \n")
CVS_STRING(
    177, IDS_DAT_NO_PROGRAMS_DIR,
    ">>> May be unable to erase files from the 'User's Startup Directory' directory.\n\tUsing "
    "default directory. \n")

// Uninstall sequence
CVS_STRING(153, IDS_NO_TEST_KEY,
           "Unable to get test data from the INI file to test PC access rights.")
CVS_STRING(440, IDS_EXIT_A,
           "An error occurred before any VT software could be removed. \nPlease read the "
           "VtCvScrubber.log file (%s) \nfor error details.")
CVS_STRING(441, IDS_EXIT_B,
           ">>> Problem <<<\nThis application must be run with full Administrator Rights.\nThe "
           "current logged-on user does not appear to have these rights.\n\nThis program cannot "
           "remove the Vantrel software at this time.\n\nPlease log in as Administrator and try "
           "running this program again.")
CVS_STRING(442, IDS_EXIT_C,
           "An error occurred before VT software files could be removed. \nPlease read the "
           "VtCvScrubber.log file (%s) \nfor error details.")
CVS_STRING(443, IDS_UNPLUG_CAPTION, "VT Corvus/TRX Software Uninstaller - Unplug reminder")
CVS_STRING(444, IDS_UNPLUG_THREE_STEPS,
           "===>   IMPORTANT INSTRUCTIONS   <===\n\nBefore proceeding with the VT software "
           "removal:\n1) Turn OFF the all-in-one device, and\n2) UNPLUG the device's cable\n3) "
           "UNPLUG the device's power cord.\n\nOnce these three steps are completed, continue by "
           "selecting the 'OK' button below.")
CVS_STRING(445, IDS_UNPLUG_PHOTO_DESK,
           "===>   IMPORTANT INSTRUCTIONS   <===\n\nBefore proceeding with the VT software "
           "removal:\n- Turn OFF the all-in-one device, OR...\n- UNPLUG the device's cable (USB or "
           "Parallel). \n\nOnce these steps are completed, continue by selecting the 'OK' button "
           "below.")
CVS_STRING(446, IDS_UNPLUG_PLAIN,
           "===>   IMPORTANT INSTRUCTIONS   <===\n\nBefore proceeding with the VT software "
           "removal:\n- Turn OFF the all-in-one device, and\n- UNPLUG the device's cable (USB or "
           "Parallel). \n\nOnce these steps are completed, continue by selecting the 'OK' button "
           "below.")
CVS_STRING(447, IDS_BANNER_SCRUBBING, "8 \tScrubbing AiO device '%s' \n")
CVS_STRING(448, IDS_PROGRESS_READING_REG_DAT, "Reading Registry DAT file")
CVS_STRING(449, IDS_CAPTION_UNINSTALLING_REG, "Uninstalling registry keys and values")
CVS_STRING(450, IDS_PROGRESS_READING_FILES_DAT, "Reading Files DAT file")
CVS_STRING(451, IDS_CAPTION_DELETING_FILES, "Deleting Vantrel files")
CVS_STRING(452, IDS_PROGRESS_REMOVING_INF, "Removing VT INF file.")
CVS_STRING(453, IDS_LOG_SEARCHING_INF, "))) Searching for VT Corvus/TRX device INF file. \n")
CVS_STRING(454, IDS_INFO_FILE_1, "VtCvScrubber1.RTF")
CVS_STRING(455, IDS_INFO_FILE_2, "VtCvScrubber2.RTF")
CVS_STRING(456, IDS_INFO_FILE_3, "VtCvScrubber3.RTF")

// Device discovery and directories
CVS_STRING(500, IDS_PROGRESS_VALIDATING_DIRS, "Checking and validating directories.")
CVS_STRING(501, IDS_PROGRESS_SEARCHING_DEFAULT_DIR, "Searching for default directory %d.")
CVS_STRING(502, IDS_LOG_INSTALL_DATA_NOT_FOUND,
           "...ZI VeD device install data not found in the registry -- using default "
           "directories.\n\n")
CVS_STRING(503, IDS_LOG_INSTALL_DATA_FOUND,
           "...ZI VeD device install data was found in the registry.\n\n")
CVS_STRING(504, IDS_LOG_DIR_NOT_FOUND, "* Not Found: %s  ===> Windows code = %d \n")

// Registry removal: list eraser and Plug-and-Play tags
CVS_STRING(143, IDS_REG_UNKNOWN_HIVE,
           "Data error: unrecognized abbreviation for Registry hive.  sKeyCode = '%s'  \n")
CVS_STRING(145, IDS_REG_KEY_NOT_REMOVED, "Unable to remove key '%s\\%s' from the registry. \n")
CVS_STRING(160, IDS_REG_REMOVED, "- Removed from registry: %s \n")
CVS_STRING(181, IDS_REG_BAD_LINE,
           ">>> Bad line from registry DAT file: \n\t'%s'  \n\tData line number: %d\n\n")
CVS_STRING(32804, IDS_PNP_TAG_FIRST_KEY,
           ">>> A Plug-and-Play string must not be the first key after the root. \n\tKey = "
           "'%s\\%s' \n")
CVS_STRING(32805, IDS_PNP_NOT_FOUND,
           ">>> A search of subkeys failed to find a Plug-and-Play string in the registry. "
           "\n\tParent key = '%s\\%s' \n")
CVS_STRING(32806, IDS_PNP_BUFFER_TOO_SMALL,
           ">>> (Internal error) A string buffer is too small for expanding a key with an "
           "embedded Plug-and-Play tag. \n\tParent key = '%s\\%s' \n")
CVS_STRING(32829, IDS_REG_COUNTER_NOT_FOUND, "* Not found: %s\\%s%s \n\t\tWindows code = %d \n")
CVS_STRING(32830, IDS_REG_SHARED_KEY_NOT_FOUND,
           "* Shared Not Found: %s\\%s \n\t\tWindows code = %d \n")
CVS_STRING(32832, IDS_REG_SHARED_VALUE_NOT_FOUND,
           "* Shared value not found: %s\\%s ... value = %s \n\t\tWindows code = %d \n")

// Registry removal: protected keys
CVS_STRING(32783, IDS_SECURE_KEY_NO_RIGHTS,
           ">>> Unable to get access rights from Windows to delete a secure registry key. "
           "\n\tKey = '%s' \n")
CVS_STRING(32784, IDS_SECURE_KEY_PROTECTED,
           "... Registry key is protected by Windows.  Asking Windows for access rights. "
           "\n\tKey = '%s' \n")

// File removal: file list remover
CVS_STRING(520, IDS_FILE_DELETED, "==> Deleted file %s \n")
CVS_STRING(521, IDS_FILE_NOT_REMOVED_AFTER_RO,
           "Unable to remove file '%s' after changing the Read-only attribute. \n")
CVS_STRING(522, IDS_SWEEP_FILE_DELETED, "==> Deleted file %s\\%s \n")
CVS_STRING(523, IDS_SWEEP_FILE_ON_REBOOT, "++> Delete file %s from directory %s on reboot \n")
CVS_STRING(524, IDS_DIR_ON_REBOOT, "++> Delete directory '%s' on reboot \n")
CVS_STRING(525, IDS_DIR_DELETED, "--> Deleted directory: %s \n")
CVS_STRING(526, IDS_DIR_NOT_DELETED, ">>> Unable to delete directory '%s';\t Error number = %d \n")
CVS_STRING(527, IDS_CANNOT_CHANGE_DIR,
           ">>> Unable to change to this directory:\n\t'%s' \n\tError code = %d \n")
CVS_STRING(528, IDS_READ_ONLY_NOT_CHANGED, "Unable to change file '%s' from Read-Only to Normal.")
CVS_STRING(529, IDS_UNSAFE_PATH, ">>> Skipped unsafe path '%s' \n")
CVS_STRING(530, IDS_NOT_SCHEDULED, ">>> Not scheduled for deletion on reboot: '%s'\n\t%s \n")
CVS_STRING(531, IDS_REASON_NO_SHORT_PATH, "Its short (8.3) path could not be found.")
CVS_STRING(532, IDS_REASON_BLANK_IN_SHORT_PATH, "Its short (8.3) path holds a blank.")
CVS_STRING(533, IDS_REASON_IS_DIRECTORY, "It is a directory, not a file.")
CVS_STRING(534, IDS_REASON_NO_SINGLE_FILE, "The path does not name one single file.")

// File removal: deferred erase batch
CVS_STRING(540, IDS_BATCH_NO_TEMP_DIR,
           "==> Error creating batch file %s in the default Windows Temp directory. \n")
CVS_STRING(541, IDS_BATCH_CREATED, "\n *** Batch file created in directory '%s' \n\n")
CVS_STRING(542, IDS_BATCH_NO_SPACE,
           "There does not appear to be enough space on drive %3s for a temp file.\n\tThe temp "
           "file needs about %d bytes free, but only %d bytes are available.")
CVS_STRING(543, IDS_BATCH_CANNOT_CREATE, "Unable to create file %s.")
CVS_STRING(544, IDS_BATCH_CANNOT_WRITE, "Unable to write to file %s.")
CVS_STRING(545, IDS_TEMP_DRIVE_NOT_FOUND,
           "Problem involving the Window's temporary directory.\n\tDrive %s was not found. "
           "Perhaps it is a disconnected network drive.\n\tThis application cannot proceed "
           "without a valid Windows TEMP or TMP directory.")
CVS_STRING(546, IDS_TEMP_DRIVE_CDROM,
           "Problem involving the Window's temporary directory.\n\tDrive %s is a CD-ROM (or "
           "similar) drive.\n\tThis application cannot proceed when the Windows TEMP or TMP "
           "directories are Read-Only.")
CVS_STRING(547, IDS_BATCH_LONG_AND_SHORT_PATH, "\tLong path = '%s'\n\tShort path = '%s'\n\n")

// Printing system and devices (HandlePnP)
CVS_STRING(700, IDS_PNP_UNREGISTER_PRINTER, "Unregister VT printer")
CVS_STRING(701, IDS_PNP_NO_LOCAL_PRINTERS,
           "))) No local windows printers found.  There are no ZI VeD printers to unregister. \n\n")
CVS_STRING(702, IDS_PNP_DRIVER_INFO_FAILED, "Failed to get printer driver information for %s")
CVS_STRING(703, IDS_PNP_PRINTER_NOT_REMOVED, "Unable to unregister printer '%s' from windows.")
CVS_STRING(704, IDS_PNP_DRIVER_REMOVED, "\tRemoved VT driver '%s' \n")
CVS_STRING(710, IDS_PNP_DELETING_PORTS, "Deleting VT printer ports.")
CVS_STRING(711, IDS_PNP_PORT_REMOVED, "))) Delete VT port '%s' \n\n")
CVS_STRING(712, IDS_PNP_PORT_NOT_REMOVED, ">>> Unable to remove port '%s' \n")
CVS_STRING(720, IDS_PNP_MONITORS_BANNER, "))) Remove ZI VeD printer monitors from Windows.\n")
CVS_STRING(721, IDS_PNP_MONITOR_LIST_EMPTY, "*** Monitor list is empty \n\n")
CVS_STRING(722, IDS_PNP_MONITOR_NOT_REMOVED, ">>> Error: Unable to remove monitor '%s' \n")
CVS_STRING(723, IDS_PNP_MONITOR_ENUM_ZERO, "EnumMonitors() = 0")
CVS_STRING(724, IDS_PNP_MONITOR_REMOVED, "\tRemoved VT monitor '%s' ")
CVS_STRING(730, IDS_PNP_MSI_BANNER, "))) Remove ZI VeD MSI packages, if present. \n")
CVS_STRING(731, IDS_PNP_MSI_PROGRESS, "Removing ZI VED package '%s'")
CVS_STRING(732, IDS_PNP_MSI_LAUNCH_FAILED,
           ">>> Failed to launch MSI installer to remove MSI packages. \n\tCommand Line = '%s' "
           "\n\tPackage to remove = '%s' \n")
CVS_STRING(733, IDS_PNP_MSI_REMOVED, "\tRemoved VT MSI package '%s' \n")
CVS_STRING(734, IDS_PNP_MSI_TIMED_OUT,
           ">>> MSI installer (launched to remove MSI packages) timed out.\n")
CVS_STRING(735, IDS_PNP_MSI_FAILED,
           ">>> MSI installer (launched to remove MSI packages) did not remove the package. "
           "\n\tPackage to remove = '%s' \n")
CVS_STRING(740, IDS_PNP_SERVICES_PROGRESS, "Removing ZI VeD services.")
CVS_STRING(741, IDS_PNP_SERVICES_BANNER, "))) Remove ZI VeD printer services from Windows.\n")
CVS_STRING(742, IDS_PNP_SERVICE_LIST_EMPTY, "*** Services list is empty \n\n")
CVS_STRING(743, IDS_PNP_SCM_FAILED,
           ">>> Unable to contact Windows System Manager with computer name '%s' \n")
CVS_STRING(744, IDS_PNP_SERVICE_REMOVED, "\tRemoved service: '%s' \n")
CVS_STRING(745, IDS_PNP_SERVICE_AT_REBOOT, "\tAt next reboot, remove service '%s' \n")
CVS_STRING(746, IDS_PNP_SERVICE_NOT_REMOVED, ">>> Unable to remove service '%s' \n")
CVS_STRING(750, IDS_PNP_CLASSES_BANNER, "))) Remove ZI VeD classes from Windows. \n")
CVS_STRING(751, IDS_PNP_CLASS_UNREGISTERED, "\tUnregistered VT class '%s' ")
CVS_STRING(752, IDS_PNP_LIBRARY_FAILED, "Error loading Windows library '%s' \n")
CVS_STRING(753, IDS_PNP_FUNCTION_MISSING,
           "Unable to obtain a pointer to function '%s' in library '%s' \n")
CVS_STRING(754, IDS_PNP_INCOMPLETE, "\nUninstall is INCOMPLETE.")
CVS_STRING(755, IDS_PNP_DEVICE_LIST_FAILED,
           "Unable to obtain a Device Info List from Windows during VT Plug and Play adjustment. "
           "\n")
CVS_STRING(756, IDS_PNP_DEVICE_NOT_REMOVED,
           ">>> Error occurred while attempting to unregister the VT device from class '%s'.\n")
CVS_STRING(757, IDS_PNP_BOX_CAPTION, "CvScrubber.exe")

// Main window
CVS_STRING(460, IDS_BANNER_TEXT, "VT Corvus/TRX Software Uninstaller")
CVS_STRING(461, IDS_SUBTITLE, "Uninstall VT All-in-One software")
CVS_STRING(462, IDS_SELECT_PROMPT, "Select from the list below the VT device to uninstall")
CVS_STRING(463, IDS_UNINSTALL_BUTTON, "Uninstall")
CVS_STRING(464, IDS_CANCEL_BUTTON, "Cancel")
CVS_STRING(465, IDS_PROGRESS_CAPTION_INITIAL, "Uninstall progress...")
CVS_STRING(466, IDS_PROGRESS_TEXT_INITIAL, "Waiting...")
CVS_STRING(467, IDS_TIP_UNINSTALL, "Uninstall the VT device selected in the list box")
CVS_STRING(468, IDS_TIP_CANCEL, "Exit the application")
CVS_STRING(469, IDS_TIP_HELP, "Show the Scrubber's help window")
CVS_STRING(470, IDS_LOG_SWITCH_OFF,
           "Switch log file OFF -- an uninstall log file will NOT be created")
CVS_STRING(471, IDS_LOG_SWITCH_ON, "Switch log file ON -- create log file")
CVS_STRING(472, IDS_ABOUT_MENU, "&About VT Uninstaller")
CVS_STRING(473, IDS_ABOUT_TITLE, "About  VT Corvus Uninstaller")
CVS_STRING(474, IDS_ABOUT_VERSION, "VT Corvus Forced Uninstaller, ver. 2.02")

// Information dialog
CVS_STRING(480, IDS_INFO_TITLE, "VT Corvus/TRX Software Uninstaller - Confirmation")
CVS_STRING(481, IDS_INFO_FOUND_TITLE, "VT device(s) found")
CVS_STRING(482, IDS_INFO_CHOSEN_TITLE, "You have elected to uninstall software for ZI VeD device:")
CVS_STRING(483, IDS_INFO_QUESTION, "Do you want to uninstall this device?")
CVS_STRING(484, IDS_INFO_TIP_YES, "Proceed with uninstalling the VT device listed above")
CVS_STRING(485, IDS_TIP_EXIT, "Exit the application")
CVS_STRING(486, IDS_INFO_TIP_FOUND, "VT Corvus / TRX devices discovered in the registry")
CVS_STRING(487, IDS_INFO_TIP_CHOSEN, "The VT Corvus or TRX device selected for removal")
CVS_STRING(488, IDS_INFO_YES_BUTTON, "Yes")
CVS_STRING(489, IDS_INFO_NO_BUTTON, "No")
CVS_STRING(760, IDS_INFO_FILE_NOT_FOUND_LOG,
           "Unable to find file at \"%s\".\nError: File specification could not be matched "
           "(meaning, File Not Found).")
CVS_STRING(761, IDS_INFO_FILE_NOT_FOUND_BOX,
           "Unable to find an information file to display in the window. \nMissing file is '%s' "
           "\nAlthough this file is missing, this application should be able to continue running "
           "normally.")
CVS_STRING(762, IDS_INFO_FILE_OPEN_FAILED, ">>> Unable to open information RTF file, '%s' \n\n")
CVS_STRING(763, IDS_INFO_MENU_COPY, "Copy\tCtrl-C")

// Restart dialog
CVS_STRING(490, IDS_REBOOT_TITLE, "VT Corvus/TRX Software Uninstaller - Reboot")
CVS_STRING(491, IDS_REBOOT_TEXT_1,
           "To complete the removal of the VT software, the PC needs to reboot.")
CVS_STRING(492, IDS_REBOOT_TEXT_2, "A DOS or Command  window may appears during the next reboot.")
CVS_STRING(493, IDS_REBOOT_NOW_BUTTON, "Reboot Now")
CVS_STRING(494, IDS_REBOOT_TIP_NOW, "Reboot the PC now")
CVS_STRING(495, IDS_REBOOT_SHUTDOWN_MESSAGE, "The PC needs to reboot to finish uninstall.")
CVS_STRING(496, IDS_REBOOT_MANUALLY,
           "Please manually reboot this PC to complete the uninstall process.")

// Leftover cleanup: OEM INF files
CVS_STRING(780, IDS_INF_PROGRESS, "(Loop: %d) Reading file %s, character %d")
CVS_STRING(781, IDS_INF_CANNOT_CHANGE_DIR,
           ">>> Unable to change to this directory:\n\t'%s' \n\tError code = %d \n")
CVS_STRING(782, IDS_INF_CANNOT_OPEN, "Unable to open file '%s'.")
CVS_STRING(783, IDS_INF_TOO_BIG_OR_EMPTY, "File too big or empty \nFile %s is %d bytes")
CVS_STRING(784, IDS_INF_READ_FAILED, "File '%s' read operation failed \nBytes read = %d")
CVS_STRING(785, IDS_INF_REMOVED, "\tRemoved file %s \n")
CVS_STRING(786, IDS_INF_NOT_REMOVED, "Unable to remove INF file %s \n")
CVS_STRING(787, IDS_PNF_REMOVED, "\tRemoved file %s \n\n")
CVS_STRING(788, IDS_PNF_NOT_REMOVED, "Unable to remove PNF file %s \n\n")
CVS_STRING(789, IDS_INF_NOT_FOUND, "\tVT INF file was not found. \n\n")

// Leftover cleanup: default printer (9x) and uninstall entry
CVS_STRING(790, IDS_DEFPRN_KEY_DETAIL, "Key = 'HKEY_LOCAL_MACHINE\\%s'")
CVS_STRING(791, IDS_DEFPRN_SPACE_NEEDED,
           "ValueName = '%s'\n\tSpace Needed = %d\n\tSpace Available = %d")
CVS_STRING(792, IDS_DEFPRN_VALUE_NAME, "ValueName = '%s'")
CVS_STRING(793, IDS_DEFPRN_WRITE_FAILED,
           ">>> Unable to write to 'Default' value in registry key: '%s\\%s' \n")
CVS_STRING(794, IDS_UNINSTALL_ENTRY_NOT_REMOVED,
           "Unable to remove key '%s\\%s' from the registry. \n")

// Safety net: the restore point (opt-in, the common section's RestorePoint=1)
CVS_STRING(900, IDS_RESTORE_POINT_SET, "Restore point %s set before the removal: %s \n")
CVS_STRING(901, IDS_RESTORE_POINT_ENDED, "Restore point %s ended: the removal is complete. \n")
CVS_STRING(902, IDS_RESTORE_POINT_ENDED_EARLY,
           "Restore point %s ended early: the removal stopped, and System Restore can put back "
           "what it had removed. \n")
CVS_STRING(903, IDS_RESTORE_POINT_NOT_SET,
           ">>> No restore point was set: %s returned %s. Status = %d \n")
CVS_STRING(904, IDS_RESTORE_POINT_NOT_ENDED,
           ">>> Unable to end restore point %s: SRSetRestorePointA returned %s. Status = %d \n")
CVS_STRING(906, IDS_RESTORE_POINT_NO_VERSION,
           "No restore point can be made: this version of Windows has no System Restore. \n")
CVS_STRING(907, IDS_RESTORE_POINT_NO_LIBRARY,
           "No restore point can be made: %s could not be loaded. Error code = %d \n")
CVS_STRING(908, IDS_RESTORE_POINT_NO_FUNCTION,
           "No restore point can be made: %s is missing from %s. Error code = %d \n")

// Safety net: the undo journal (opt-in, the common section's UndoJournal=1)
CVS_STRING(920, IDS_JOURNAL_OPENED, "Undo journal: %s \n")
CVS_STRING(921, IDS_JOURNAL_NOT_OPENED,
           ">>> Unable to make an undo journal folder in '%s'. Error code = %d \n")
CVS_STRING(922, IDS_JOURNAL_NO_BACKUP,
           ">>> Not removed: %s \n\tIts backup could not be written to the undo journal. Error "
           "code = %d \n")
CVS_STRING(923, IDS_JOURNAL_NOT_RESTORABLE, "\tThe restore script cannot put back %s '%s' \n")
CVS_STRING(924, IDS_JOURNAL_CLOSED,
           "Undo journal complete. To put back what was removed, run %s \n")
CVS_STRING(925, IDS_JOURNAL_SCRIPT_FAILED,
           ">>> Unable to write the restore script %s. Error code = %d \n")
CVS_STRING(926, IDS_EXIT_JOURNAL,
           "The undo journal could not be made, so no VT software was removed. \nPlease read "
           "the VtCvScrubber.log file (%s) \nfor error details.")
