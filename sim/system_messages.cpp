#include "sim/system_messages.h"

#include <algorithm>
#include <iterator>

namespace sim {

namespace {

struct Message {
  DWORD code;
  const char* text;
};

// Sorted by code. Inserts (%1 …) stay as they are: the program asks for
// FORMAT_MESSAGE_IGNORE_INSERTS.
const Message kMessages[] = {
    {0, "The operation completed successfully.\r\n"},
    {1, "Incorrect function.\r\n"},
    {2, "The system cannot find the file specified.\r\n"},
    {3, "The system cannot find the path specified.\r\n"},
    {4, "The system cannot open the file.\r\n"},
    {5, "Access is denied.\r\n"},
    {6, "The handle is invalid.\r\n"},
    {8, "Not enough storage is available to process this command.\r\n"},
    {11, "An attempt was made to load a program with an incorrect format.\r\n"},
    {12, "The access code is invalid.\r\n"},
    {13, "The data is invalid.\r\n"},
    {15, "The system cannot find the drive specified.\r\n"},
    {16, "The directory cannot be removed.\r\n"},
    {17, "The system cannot move the file to a different disk drive.\r\n"},
    {18, "There are no more files.\r\n"},
    {19, "The media is write protected.\r\n"},
    {20, "The system cannot find the device specified.\r\n"},
    {21, "The device is not ready.\r\n"},
    {22, "The device does not recognize the command.\r\n"},
    {23, "Data error (cyclic redundancy check).\r\n"},
    {24, "The program issued a command but the command length is incorrect.\r\n"},
    {25, "The drive cannot locate a specific area or track on the disk.\r\n"},
    {26, "The specified disk or diskette cannot be accessed.\r\n"},
    {27, "The drive cannot find the sector requested.\r\n"},
    {29, "The system cannot write to the specified device.\r\n"},
    {30, "The system cannot read from the specified device.\r\n"},
    {32, "The process cannot access the file because it is being used by another process.\r\n"},
    {33,
     "The process cannot access the file because another process has locked a portion of the "
     "file.\r\n"},
    {34,
     "The wrong diskette is in the drive.\r\nInsert %2 (Volume Serial Number: %3)\r\ninto drive "
     "%1.\r\n"},
    {36, "Too many files opened for sharing.\r\n"},
    {38, "Reached the end of the file.\r\n"},
    {39, "The disk is full.\r\n"},
    {50, "The request is not supported.\r\n"},
    {52,
     "You were not connected because a duplicate name exists on the network. Go to System in "
     "Control Panel to change the computer name and try again.\r\n"},
    {53, "The network path was not found.\r\n"},
    {54, "The network is busy.\r\n"},
    {55, "The specified network resource or device is no longer available.\r\n"},
    {57, "A network adapter hardware error occurred.\r\n"},
    {58, "The specified server cannot perform the requested operation.\r\n"},
    {59, "An unexpected network error occurred.\r\n"},
    {60, "The remote adapter is not compatible.\r\n"},
    {62, "Space to store the file waiting to be printed is not available on the server.\r\n"},
    {64, "The specified network name is no longer available.\r\n"},
    {65, "Network access is denied.\r\n"},
    {66, "The network resource type is not correct.\r\n"},
    {67, "The network name cannot be found.\r\n"},
    {68, "The name limit for the local computer network adapter card was exceeded.\r\n"},
    {70, "The remote server has been paused or is in the process of being started.\r\n"},
    {71,
     "No more connections can be made to this remote computer at this time because there are "
     "already as many connections as the computer can accept.\r\n"},
    {80, "The file exists.\r\n"},
    {82, "The directory or file cannot be created.\r\n"},
    {85, "The local device name is already in use.\r\n"},
    {86, "The specified network password is not correct.\r\n"},
    {87, "The parameter is incorrect.\r\n"},
    {88, "A write fault occurred on the network.\r\n"},
    {107, "The program stopped because an alternate diskette was not inserted.\r\n"},
    {108, "The disk is in use or locked by another process.\r\n"},
    {111, "The file name is too long.\r\n"},
    {112, "There is not enough space on the disk.\r\n"},
    {113, "No more internal file identifiers available.\r\n"},
    {114, "The target internal file identifier is incorrect.\r\n"},
    {117, "The IOCTL call made by the application program is not correct.\r\n"},
    {120, "This function is not supported on this system.\r\n"},
    {122, "The data area passed to a system call is too small.\r\n"},
    {123, "The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {124, "The system call level is not correct.\r\n"},
    {125, "The disk has no volume label.\r\n"},
    {126, "The specified module could not be found.\r\n"},
    {127, "The specified procedure could not be found.\r\n"},
    {131, "An attempt was made to move the file pointer before the beginning of the file.\r\n"},
    {132, "The file pointer cannot be set on the specified device or file.\r\n"},
    {144, "The directory is not a subdirectory of the root directory.\r\n"},
    {145, "The directory is not empty.\r\n"},
    {154,
     "The volume label you entered exceeds the label character limit of the target file "
     "system.\r\n"},
    {161, "The specified path is invalid.\r\n"},
    {167, "Unable to lock a region of a file.\r\n"},
    {170, "The requested resource is in use.\r\n"},
    {182, "The operating system cannot run %1.\r\n"},
    {183, "Cannot create a file when that file already exists.\r\n"},
    {191, "Cannot run %1 in Win32 mode.\r\n"},
    {193, "%1 is not a valid Win32 application.\r\n"},
    {206, "The filename or extension is too long.\r\n"},
    {208,
     "The global filename characters, * or ?, are entered incorrectly or too many global "
     "filename characters are specified.\r\n"},
    {234, "More data is available.\r\n"},
    {258, "The wait operation timed out.\r\n"},
    {259, "No more data is available.\r\n"},
    {267, "The directory name is invalid.\r\n"},
    {317,
     "The system cannot find message text for message number 0x%1 in the message file for "
     "%2.\r\n"},
    {995,
     "The I/O operation has been aborted because of either a thread exit or an application "
     "request.\r\n"},
    {996, "Overlapped I/O event is not in a signaled state.\r\n"},
    {997, "Overlapped I/O operation is in progress.\r\n"},
    {998, "Invalid access to memory location.\r\n"},
    {999, "Error performing inpage operation.\r\n"},
    {1009, "The configuration registry database is corrupt.\r\n"},
    {1010, "The configuration registry key is invalid.\r\n"},
    {1011, "The configuration registry key could not be opened.\r\n"},
    {1012, "The configuration registry key could not be read.\r\n"},
    {1013, "The configuration registry key could not be written.\r\n"},
    {1018, "Illegal operation attempted on a registry key that has been marked for deletion.\r\n"},
    {1051,
     "A stop control has been sent to a service that other running services are dependent "
     "on.\r\n"},
    {1052, "The requested control is not valid for this service.\r\n"},
    {1053, "The service did not respond to the start or control request in a timely fashion.\r\n"},
    {1056, "An instance of the service is already running.\r\n"},
    {1058,
     "The service cannot be started, either because it is disabled or because it has no enabled "
     "devices associated with it.\r\n"},
    {1060, "The specified service does not exist as an installed service.\r\n"},
    {1061, "The service cannot accept control messages at this time.\r\n"},
    {1062, "The service has not been started.\r\n"},
    {1072, "The specified service has been marked for deletion.\r\n"},
    {1073, "The specified service already exists.\r\n"},
    {1115, "A system shutdown is in progress.\r\n"},
    {1116, "Unable to abort the system shutdown because no shutdown was in progress.\r\n"},
    {1157, "One of the library files needed to run this application cannot be found.\r\n"},
    {1300, "Not all privileges referenced are assigned to the caller.\r\n"},
    {1307, "This security ID may not be assigned as the owner of this object.\r\n"},
    {1313, "A specified privilege does not exist.\r\n"},
    {1314, "A required privilege is not held by the client.\r\n"},
    {1332, "No mapping between account names and security IDs was done.\r\n"},
    {1460, "This operation returned because the timeout period expired.\r\n"},
    {1603, "Fatal error during installation.\r\n"},
    {1605, "This action is only valid for products that are currently installed.\r\n"},
    {1618,
     "Another installation is already in progress. Complete that installation before "
     "proceeding with this install.\r\n"},
    {1639,
     "Invalid command line argument. Consult the Windows Installer SDK for detailed command "
     "line help.\r\n"},
    {1641,
     "The requested operation completed successfully. The system will be restarted so the "
     "changes can take effect.\r\n"},
    {1722, "The RPC server is unavailable.\r\n"},
    {1796, "The specified port is unknown.\r\n"},
    {1797, "The printer driver is unknown.\r\n"},
    {1798, "The print processor is unknown.\r\n"},
    {1801, "The printer name is invalid.\r\n"},
    {1802, "The printer already exists.\r\n"},
    {1804, "The specified datatype is invalid.\r\n"},
    {1805, "The environment specified is invalid.\r\n"},
    {1905, "The specified printer has been deleted.\r\n"},
    {1906, "The state of the printer is invalid.\r\n"},
    {3000, "The specified print monitor is unknown.\r\n"},
    {3001, "The specified printer driver is currently in use.\r\n"},
    {3002, "Spool file not found.\r\n"},
    {3007, "The specified print monitor does not have the required functions.\r\n"},
    {3008, "The specified print monitor is currently in use.\r\n"},
    {3009, "The requested operation is not allowed when there are jobs queued to the printer.\r\n"},
    {3010,
     "The requested operation is successful. Changes will not be effective until the system "
     "is rebooted.\r\n"},
};

}  // namespace

const char* SystemMessage(DWORD code) {
  auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                             [](const Message& m, DWORD c) { return m.code < c; });
  if (it == std::end(kMessages) || it->code != code) return nullptr;
  return it->text;
}

}  // namespace sim
