// The dir /s /a listings of cmd.exe and COMMAND.COM, and listings that are not.
#include <gtest/gtest.h>

#include <string>

#include "tools/vtsim/import_dir_listing.h"

namespace vtsim {
namespace {

const char kNtListing[] =
    " Volume in drive C has no label.\r\n"
    " Volume Serial Number is 1234-ABCD\r\n"
    "\r\n"
    " Directory of C:\\\r\n"
    "\r\n"
    "10/05/2003  09:12 AM                 0 AUTOEXEC.BAT\r\n"
    "10/05/2003  09:20 AM    <DIR>          Documents and Settings\r\n"
    "10/05/2003  09:20 AM    <DIR>          WINDOWS\r\n"
    "               1 File(s)              0 bytes\r\n"
    "               2 Dir(s)   5,000,000,000 bytes free\r\n"
    "\r\n"
    " Directory of C:\\WINDOWS\r\n"
    "\r\n"
    "10/05/2003  09:20 AM    <DIR>          .\r\n"
    "10/05/2003  09:20 AM    <DIR>          ..\r\n"
    "10/05/2003  09:12 AM         1,234,567 win.ini\r\n"
    "03/01/2004  11:02 PM                12 Read Me First.txt\r\n"
    "               2 File(s)      1,234,579 bytes\r\n"
    "               2 Dir(s)   4,999,999,000 bytes free\r\n"
    "\r\n"
    "     Total Files Listed:\r\n"
    "               3 File(s)      1,234,579 bytes\r\n"
    "               5 Dir(s)   4,999,999,000 bytes free\r\n";

// Windows 98: 8.3 columns, the long name last, sections that name a folder
// by its short path.
const char kNineXListing[] =
    "\n"
    " Volume in drive C is MYDISK\n"
    " Volume Serial Number is 2A1B-0C3D\n"
    " Directory of C:\\\n"
    "\n"
    "WINDOWS        <DIR>        10-05-03  9:12a WINDOWS\n"
    "PROGRA~1       <DIR>        10-05-03  9:20a Program Files\n"
    "AUTOEXEC BAT           211  10-05-03  9:12a AUTOEXEC.BAT\n"
    "         1 file(s)            211 bytes\n"
    "         2 dir(s)     640,000,000 bytes free\n"
    "\n"
    " Directory of C:\\PROGRA~1\n"
    "\n"
    ".              <DIR>        10-05-03  9:20a .\n"
    "..             <DIR>        10-05-03  9:20a ..\n"
    "VANTRE~1       <DIR>        11-02-03 10:41p Vantrel Photo\n"
    "         0 file(s)              0 bytes\n"
    "\n"
    " Directory of C:\\Program Files\\Vantrel Photo\n"
    "\n"
    "PHOTOD~1 EXE     1,048,576  11-02-03 10:41p PhotoDesk.exe\n"
    "README   TXT            10  11-02-03 10:41p\n"
    "         2 file(s)      1,048,586 bytes\n"
    "\n"
    "Total files listed:\n"
    "         3 file(s)      1,048,797 bytes\n"
    "         5 dir(s)     639,000,000 bytes free\n";

DirListing Parse(const std::string& text) {
  DirListing listing;
  ListingError error;
  EXPECT_TRUE(ParseDirListing(text, &listing, &error))
      << "line " << error.line << ": " << error.what << ": " << error.text;
  return listing;
}

TEST(DirListing, NtListingGivesFoldersFilesSizesAndTheLastFreeFigure) {
  const DirListing l = Parse(kNtListing);
  EXPECT_EQ(l.drive, 'C');
  ASSERT_EQ(l.entries.size(), 5u);
  EXPECT_EQ(l.entries[0].path, "AUTOEXEC.BAT");
  EXPECT_FALSE(l.entries[0].directory);
  EXPECT_EQ(l.entries[1].path, "Documents and Settings");
  EXPECT_TRUE(l.entries[1].directory);
  EXPECT_EQ(l.entries[3].path, "WINDOWS\\win.ini");
  EXPECT_EQ(l.entries[3].size, 1234567u);
  EXPECT_EQ(l.entries[4].path, "WINDOWS\\Read Me First.txt");
  EXPECT_EQ(l.entries[4].size, 12u);
  EXPECT_TRUE(l.has_free_bytes);
  EXPECT_EQ(l.free_bytes, 4999999000u);
  EXPECT_EQ(l.file_bytes, 1234579u);
}

TEST(DirListing, NineXListingKeepsLongNamesAndShortNamesAndResolvesShortPaths) {
  const DirListing l = Parse(kNineXListing);
  ASSERT_EQ(l.entries.size(), 6u);
  EXPECT_EQ(l.entries[1].path, "Program Files");
  EXPECT_EQ(l.entries[1].short_name, "PROGRA~1");
  // "Directory of C:\PROGRA~1" is the folder listed as Program Files.
  EXPECT_EQ(l.entries[3].path, "Program Files\\Vantrel Photo");
  EXPECT_TRUE(l.entries[3].directory);
  EXPECT_EQ(l.entries[4].path, "Program Files\\Vantrel Photo\\PhotoDesk.exe");
  EXPECT_EQ(l.entries[4].short_name, "PHOTOD~1.EXE");
  EXPECT_EQ(l.entries[4].size, 1048576u);
  // Without a long name the 8.3 name is the name.
  EXPECT_EQ(l.entries[5].path, "Program Files\\Vantrel Photo\\README.TXT");
  EXPECT_EQ(l.free_bytes, 639000000u);
}

TEST(DirListing, OldNtTimesAndUtf16OutputOfCmdU) {
  const std::string nt4 =
      " Directory of C:\\WINNT\n"
      "10/05/03  09:12a       <DIR>          system32\n"
      "10/05/03  09:12p              2,048 win.ini\n";
  const DirListing l = Parse(nt4);
  ASSERT_EQ(l.entries.size(), 3u);
  EXPECT_EQ(l.entries[1].path, "WINNT\\system32");
  EXPECT_EQ(l.entries[2].size, 2048u);
  EXPECT_FALSE(l.has_free_bytes);

  std::string wide;
  for (char c : std::string(" Directory of D:\\\r\n01/02/2003  01:02 AM   7 caf\xE9.txt\r\n")) {
    wide += c;
    wide += '\0';
  }
  const DirListing w = Parse(wide);
  EXPECT_EQ(w.drive, 'D');
  ASSERT_EQ(w.entries.size(), 1u);
  EXPECT_EQ(w.entries[0].path, "caf\xC3\xA9.txt");  // UTF-8
}

TEST(DirListing, AFolderNamedInItsParentAndInItsOwnSectionIsOneFolder) {
  const DirListing l = Parse(
      " Directory of C:\\\n"
      "10/05/2003  09:20 AM    <DIR>          Temp\n"
      " Directory of C:\\TEMP\\Deep\\Er\n");
  ASSERT_EQ(l.entries.size(), 3u);
  EXPECT_EQ(l.entries[1].path, "Temp\\Deep");  // the listed case wins
  EXPECT_EQ(l.entries[2].path, "Temp\\Deep\\Er");
}

struct Broken {
  const char* text;
  size_t line;
  const char* what;  // a piece of the message
};

TEST(DirListing, BrokenListingsNameTheLineAndTheFault) {
  const Broken cases[] = {
      {"10/05/2003  09:12 AM   0 A.TXT\n", 1, "before any \"Directory of\""},
      {" Directory of C:\\\n\nThis is not a listing\n", 3, "not a line of a dir listing"},
      {" Directory of C:\\\n10/05/2003  09:12 AM  12x A.TXT\n", 2, "neither <DIR> nor a size"},
      {" Directory of C:\\\n10/05/2003  noon    1 A.TXT\n", 2, "without a time"},
      {" Directory of C:\\\n10/05/2003  09:12 AM   1 A|B\n", 2, "does not allow"},
      {" Directory of C:\\\n10/05/2003  09:12 AM   1 A.TXT\n10/05/2003  09:12 AM   1 a.txt\n", 3,
       "listed twice"},
      {" Directory of C:\\\n Directory of D:\\X\n", 2, "drive D: inside one of drive C:"},
      {" Directory of WINDOWS\n", 1, "full path"},
      {" Directory of C:\\\n10/05/2003  09:12 AM   1 Tools\n Directory of C:\\TOOLS\n", 3,
       "\"Tools\" is listed as a file"},
      {" Directory of C:\\\n  2 Dir(s)  lots bytes free\n", 2, "summary line"},
      {" Directory of C:\\\n10/05/2003  09:12 AM  99,999,999,999,999,999,999 A\n", 2,
       "neither <DIR> nor a size"},
      {"\r\n\r\n", 2, "no \"Directory of\" line"},
  };
  for (const Broken& c : cases) {
    DirListing listing;
    ListingError error;
    EXPECT_FALSE(ParseDirListing(c.text, &listing, &error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_NE(error.what.find(c.what), std::string::npos) << c.text << " -> " << error.what;
  }
}

}  // namespace
}  // namespace vtsim
