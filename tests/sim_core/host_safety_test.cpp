// The simulated PC never reaches the host outside the image's drives/ folder:
// not through a link in the image (refused at load, unseen when swapped in
// during a run), not through "..", whatever the call.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "sim/host_files.h"
#include "sim/image.h"
#include "sim/machine.h"
#include "support/host_io.h"
#include "support/test_machine.h"

namespace fs = std::filesystem;

namespace {

HANDLE Open(const char* path, DWORD access, DWORD disposition) {
  return CreateFileA(path, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

// --- Images holding links or special files are refused ----------------------

class UnsafeImage : public ::testing::Test {
 protected:
  UnsafeImage() : dir(fs::path(tm.ImageDir()) / "img"), outside(fs::path(tm.ImageDir()) / "host") {
    WriteHost(dir / "machine.json", kMinimalMachineJson);
    WriteHost(dir / "registry.reg", "REGEDIT4\r\n\r\n");
    fs::create_directories(dir / "drives/C/Scrubber");
    fs::create_directories(dir / "drives/C/WINDOWS");
    WriteHost(outside / "keep.txt", "host data");
  }
  std::string LoadError() {
    const std::string error = ImageLoadError(dir);
    EXPECT_NE(error, "");
    return error;
  }

  TestMachine tm;  // only for its temporary folder
  fs::path dir;
  fs::path outside;
};

TEST_F(UnsafeImage, CleanImageLoads) { EXPECT_EQ(ImageLoadError(dir), ""); }

TEST_F(UnsafeImage, LinkToAFolderIsRefusedNamingIt) {
  fs::create_directory_symlink(outside, dir / "drives/C/WINDOWS/TEMP");
  EXPECT_EQ(LoadError(),
            "drives/C/WINDOWS/TEMP: a symbolic link (images may hold only files and folders)");
  EXPECT_EQ(ReadHost(outside / "keep.txt"), "host data");
}

TEST_F(UnsafeImage, LinksToFilesAnywhereAreRefused) {
  // Deep in a folder, dangling, and the drive folder itself.
  fs::create_directories(dir / "drives/C/Program Files/VT");
  fs::create_symlink(outside / "keep.txt", dir / "drives/C/Program Files/VT/a.dll");
  EXPECT_EQ(LoadError(),
            "drives/C/Program Files/VT/a.dll: a symbolic link (images may hold "
            "only files and folders)");
  fs::remove(dir / "drives/C/Program Files/VT/a.dll");
  fs::create_symlink(outside / "none.txt", dir / "drives/C/Scrubber/log.txt");
  EXPECT_EQ(LoadError().rfind("drives/C/Scrubber/log.txt: a symbolic link", 0), 0u);
  fs::remove(dir / "drives/C/Scrubber/log.txt");
  fs::create_directory_symlink(outside, dir / "drives/D");
  EXPECT_EQ(LoadError().rfind("drives/D: a symbolic link", 0), 0u);
}

TEST_F(UnsafeImage, DrivesFolderItselfAndFifosAreRefused) {
  ASSERT_EQ(::mkfifo((dir / "drives/C/WINDOWS/pipe").c_str(), 0600), 0);
  EXPECT_EQ(LoadError(), "drives/C/WINDOWS/pipe: a FIFO (images may hold only files and folders)");
  fs::rename(dir / "drives", dir / "real");
  fs::create_directory_symlink(dir / "real", dir / "drives");
  EXPECT_EQ(LoadError(), "drives: a symbolic link (images may hold only files and folders)");
}

// --- Links swapped in during a run ------------------------------------------

// Each case runs twice: with the kernel walking a whole path in one call,
// and walking it one name at a time (the way without that call).
class SwappedLink : public ::testing::TestWithParam<bool> {
 protected:
  SwappedLink() : outside(fs::path(tm.ImageDir()) / "host") {
    sim::HostFiles::WalkNameByName(GetParam());
    WriteHost(outside / "victim.txt", "host data");
    WriteHost(outside / "victim.ini", "[S]\r\nK=host\r\n");
  }
  ~SwappedLink() override { sim::HostFiles::WalkNameByName(false); }
  // Replaces the item at a Windows path by a link to `target`.
  void SwapIn(const std::string& winPath, const fs::path& target) {
    const fs::path host = tm.HostPath(winPath);
    fs::remove_all(host);
    if (fs::is_directory(target))
      fs::create_directory_symlink(target, host);
    else
      fs::create_symlink(target, host);
  }
  // The outside folder still holds exactly what it held.
  void ExpectOutsideUntouched() {
    EXPECT_EQ(ReadHost(outside / "victim.txt"), "host data");
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(outside)) n += e.exists() ? 1 : 0;
    EXPECT_EQ(n, 2u) << "a file appeared outside the image";
  }

  TestMachine tm;
  fs::path outside;
};

TEST_P(SwappedLink, FolderLinkIsNoFolderForAnyCall) {
  SwapIn("C:\\WINDOWS\\TEMP", outside);
  struct Case {
    const char* what;
    bool ok;
  } cases[] = {
      {"CreateFileA new",
       Open("C:\\WINDOWS\\TEMP\\run.log", GENERIC_WRITE, OPEN_ALWAYS) != INVALID_HANDLE_VALUE},
      {"CreateFileA read",
       Open("C:\\WINDOWS\\TEMP\\victim.txt", GENERIC_READ, OPEN_EXISTING) != INVALID_HANDLE_VALUE},
      {"DeleteFileA", DeleteFileA("C:\\WINDOWS\\TEMP\\victim.txt") != FALSE},
      {"CreateDirectoryA", CreateDirectoryA("C:\\WINDOWS\\TEMP\\sub", nullptr) != FALSE},
      {"RemoveDirectoryA", RemoveDirectoryA("C:\\WINDOWS\\TEMP") != FALSE},
      {"SetCurrentDirectoryA", SetCurrentDirectoryA("C:\\WINDOWS\\TEMP") != FALSE},
      {"SetFileAttributesA",
       SetFileAttributesA("C:\\WINDOWS\\TEMP\\victim.txt", FILE_ATTRIBUTE_NORMAL) != FALSE},
      {"GetFileAttributesA",
       GetFileAttributesA("C:\\WINDOWS\\TEMP\\victim.txt") != INVALID_FILE_ATTRIBUTES},
  };
  for (const Case& c : cases) EXPECT_FALSE(c.ok) << c.what;
  WIN32_FIND_DATAA d;
  EXPECT_EQ(FindFirstFileA("C:\\WINDOWS\\TEMP\\*", &d), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesA("C:\\WINDOWS\\TEMP"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  char buf[32];
  GetPrivateProfileStringA("S", "K", "dflt", buf, sizeof buf, "C:\\WINDOWS\\TEMP\\victim.ini");
  EXPECT_STREQ(buf, "dflt");
  // A folder made on request stops at the link too.
  tm.SetDirectory("desktop", "C:\\WINDOWS\\TEMP\\Desktop");
  char path[MAX_PATH];
  SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOPDIRECTORY, TRUE);
  // The name the link holds cannot be made a folder either.
  EXPECT_FALSE(CreateDirectoryA("C:\\WINDOWS\\TEMP", nullptr));

  ExpectOutsideUntouched();
  EXPECT_TRUE(fs::is_symlink(tm.HostPath("C:\\WINDOWS") + "/TEMP"));  // left as it was
  EXPECT_EQ(tm.m.handles.Count(), 0u);
}

TEST_P(SwappedLink, FileLinkIsNeitherReadNorWrittenNorDeleted) {
  tm.AddFile("C:\\App\\a.dll", "own");
  tm.AddFile("C:\\App\\b.dll", "own");
  SwapIn("C:\\App\\a.dll", outside / "victim.txt");
  EXPECT_EQ(GetFileAttributesA("C:\\App\\a.dll"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(DeleteFileA("C:\\App\\a.dll"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Open("C:\\App\\a.dll", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  // Creating over it would empty the host file through the link.
  for (DWORD disposition : {CREATE_ALWAYS, OPEN_ALWAYS, CREATE_NEW})
    EXPECT_EQ(Open("C:\\App\\a.dll", GENERIC_WRITE, disposition), INVALID_HANDLE_VALUE)
        << disposition;
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA("C:\\App\\*.dll", &d);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(d.cFileName, "b.dll");  // the link is not listed
  EXPECT_FALSE(FindNextFileA(h, &d));
  FindClose(h);
  // The folder is not empty on the host: it is not removed.
  EXPECT_TRUE(DeleteFileA("C:\\App\\b.dll"));
  EXPECT_FALSE(RemoveDirectoryA("C:\\App"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_DIR_NOT_EMPTY));
  ExpectOutsideUntouched();
}

TEST_P(SwappedLink, LinkToAFolderOfTheImageItselfIsNoFolderEither) {
  // A relative link that stays inside the image is still a link: unseen.
  tm.AddFile("C:\\App\\Real\\data.txt", "app data");
  fs::create_directory_symlink("Real", tm.HostPath("C:\\App") + "/Alias");
  EXPECT_EQ(GetFileAttributesA("C:\\App\\Alias\\data.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(DeleteFileA("C:\\App\\Alias\\data.txt"));
  EXPECT_EQ(Open("C:\\App\\Alias\\new.txt", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadHost(tm.HostPath("C:\\App\\Real\\data.txt")), "app data");
  EXPECT_FALSE(fs::exists(tm.HostPath("C:\\App\\Real") + "/new.txt"));
  EXPECT_EQ(GetFileAttributesA("C:\\App\\Real\\data.txt"), DWORD(FILE_ATTRIBUTE_ARCHIVE));
}

TEST_P(SwappedLink, DanglingLinkCreatesNothingOutside) {
  fs::create_directories(tm.HostPath("C:\\App"));
  fs::create_symlink(outside / "made.txt", tm.HostPath("C:\\App") + "/new.txt");
  for (DWORD disposition : {CREATE_NEW, CREATE_ALWAYS, OPEN_ALWAYS})
    EXPECT_EQ(Open("C:\\App\\new.txt", GENERIC_WRITE, disposition), INVALID_HANDLE_VALUE)
        << disposition;
  EXPECT_FALSE(fs::exists(outside / "made.txt"));
  ExpectOutsideUntouched();
}

TEST_P(SwappedLink, OpenHandleKeepsItsFileWhenTheNameIsSwapped) {
  tm.AddFile("C:\\App\\log.txt", "start");
  HANDLE h = Open("C:\\App\\log.txt", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SwapIn("C:\\App\\log.txt", outside / "victim.txt");
  DWORD n = 0;
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_END), 5u);
  EXPECT_TRUE(WriteFile(h, "more", 4, &n, nullptr));
  char buf[16] = {};
  SetFilePointer(h, 0, nullptr, FILE_BEGIN);
  EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(std::string(buf, n), "startmore");
  CloseHandle(h);
  ExpectOutsideUntouched();
}

TEST_P(SwappedLink, DriveFolderLinkIsNoDrive) {
  const fs::path drive = fs::path(tm.ImageDir()) / "drives" / "C";
  fs::remove_all(drive);
  fs::create_directories(outside / "Scrubber");
  fs::create_directory_symlink(outside, drive);
  EXPECT_EQ(GetFileAttributesA("C:\\Scrubber"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetDriveTypeA("C:\\"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(Open("C:\\Scrubber\\run.log", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteFileA("C:\\victim.txt"));
  EXPECT_FALSE(fs::exists(outside / "Scrubber" / "run.log"));
  fs::remove(outside / "Scrubber");
  ExpectOutsideUntouched();
}

TEST_P(SwappedLink, FifoIsNotSeenAndNeverOpened) {
  ASSERT_EQ(::mkfifo((tm.HostPath("C:\\Scrubber") + "/pipe.ini").c_str(), 0600), 0);
  EXPECT_EQ(Open("C:\\Scrubber\\pipe.ini", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Open("C:\\Scrubber\\pipe.ini", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  char buf[8];
  GetPrivateProfileStringA("S", "K", "d", buf, sizeof buf, "C:\\Scrubber\\pipe.ini");
  EXPECT_STREQ(buf, "d");
}

INSTANTIATE_TEST_SUITE_P(Walks, SwappedLink, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& walk) {
                           return std::string(walk.param ? "NameByName" : "WholePath");
                         });

// --- ".." stops at the drive root -------------------------------------------

class DotDot : public ::testing::Test {
 protected:
  DotDot() : image(tm.ImageDir()) {
    // Bait one and two levels above drive C's root, where a path escaping
    // the root would land.
    for (const fs::path& p : {image / "drives" / "bait.txt", image / "bait.txt"})
      WriteHost(p, "host data");
    WriteHost(image / "drives" / "bait.ini", "[S]\r\nK=host\r\n");
  }
  void ExpectBaitUntouched() {
    EXPECT_EQ(ReadHost(image / "drives" / "bait.txt"), "host data");
    EXPECT_EQ(ReadHost(image / "bait.txt"), "host data");
    EXPECT_EQ(ReadHost(image / "drives" / "bait.ini"), "[S]\r\nK=host\r\n");
    for (const char* made : {"made.txt", "newdir"}) {
      EXPECT_FALSE(fs::exists(image / made)) << made;
      EXPECT_FALSE(fs::exists(image / "drives" / made)) << made;
    }
  }

  TestMachine tm;
  fs::path image;
};

TEST_F(DotDot, ResolvesToTheDriveRootAsWindowsDoes) {
  // Nothing of that name on C: yet: the bait above the root is not found.
  EXPECT_EQ(GetFileAttributesA("C:\\..\\bait.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesA("..\\..\\..\\bait.txt"), INVALID_FILE_ATTRIBUTES);
  char buf[32];
  GetPrivateProfileStringA("S", "K", "dflt", buf, sizeof buf, "C:\\..\\bait.ini");
  EXPECT_STREQ(buf, "dflt");
  WIN32_FIND_DATAA d;
  EXPECT_EQ(FindFirstFileA("C:\\..\\..\\bait.*", &d), INVALID_HANDLE_VALUE);

  tm.AddFile("C:\\bait.txt", "drive C");
  for (const char* form : {"C:\\..\\bait.txt", "C:\\..\\..\\..\\bait.txt", "C:..\\..\\bait.txt",
                           "\\..\\bait.txt", "..\\..\\..\\..\\bait.txt", "C:/../../bait.txt"})
    EXPECT_EQ(GetFileAttributesA(form), DWORD(FILE_ATTRIBUTE_ARCHIVE)) << form;
  HANDLE h = Open("C:\\..\\..\\bait.txt", GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(std::string(buf, n), "drive C");
  CloseHandle(h);
  h = FindFirstFileA("C:\\..\\..\\*", &d);  // the root of C:, not drives/
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(d.cFileName, "bait.txt");
  FindClose(h);
  EXPECT_TRUE(SetFileAttributesA("C:\\..\\bait.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(tm.m.files.Flags("C:\\bait.txt").read_only);
  EXPECT_TRUE(SetFileAttributesA("..\\..\\..\\bait.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(DeleteFileA("C:\\..\\..\\bait.txt"));
  EXPECT_FALSE(tm.Exists("C:\\bait.txt"));
  ExpectBaitUntouched();
}

TEST_F(DotDot, CreatesAndRemovesOnlyOnTheDrive) {
  HANDLE h = Open("C:\\..\\..\\..\\made.txt", GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_TRUE(tm.Exists("C:\\made.txt"));
  EXPECT_TRUE(CreateDirectoryA("C:\\..\\..\\newdir", nullptr));
  EXPECT_TRUE(tm.IsDir("C:\\newdir"));
  ExpectBaitUntouched();
  EXPECT_TRUE(RemoveDirectoryA("..\\..\\..\\newdir"));
  EXPECT_FALSE(tm.IsDir("C:\\newdir"));
  // ".." of the root is the root, which is never removed.
  EXPECT_FALSE(RemoveDirectoryA("C:\\.."));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(fs::is_directory(image / "drives" / "C"));
  EXPECT_TRUE(SetCurrentDirectoryA("C:\\Scrubber\\..\\..\\.."));
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(sizeof cwd, cwd);
  EXPECT_STREQ(cwd, "C:\\");
  ExpectBaitUntouched();
}

// --- The door itself ----------------------------------------------------------

TEST(HostFiles, RefusesEveryPathNotBelowItsRoot) {
  TestMachine tm;
  const fs::path image = tm.ImageDir();
  WriteHost(image / "outside.txt", "host data");
  const sim::HostFiles host((image / "drives").string());
  const std::string root = host.root();
  for (const std::string& path :
       {root + "/../outside.txt", root + "/C/../../outside.txt", (image / "outside.txt").string(),
        root + "x/outside.txt", root + "//C", root + "/./C", std::string("")}) {
    EXPECT_EQ(host.Stat(path).kind, sim::HostKind::kMissing) << path;
    std::string bytes;
    EXPECT_FALSE(host.ReadAll(path, &bytes)) << path;
    EXPECT_FALSE(host.RemoveFile(path)) << path;
    EXPECT_FALSE(host.Open(path, true, true, true).ok()) << path;
    EXPECT_FALSE(host.MakeFolders(path + "/sub")) << path;
  }
  EXPECT_EQ(ReadHost(image / "outside.txt"), "host data");
  EXPECT_FALSE(fs::exists(image / "sub"));
  // Within the root all of them work.
  EXPECT_EQ(host.Stat(root + "/C").kind, sim::HostKind::kFolder);
  EXPECT_TRUE(host.MakeFolders(root + "/C/a/b"));
  EXPECT_TRUE(host.Open(root + "/C/a/b/f.txt", true, true, true).ok());
  EXPECT_EQ(host.Stat(root + "/C/a/b/f.txt").kind, sim::HostKind::kFile);
  EXPECT_TRUE(host.RemoveFile(root + "/C/a/b/f.txt"));
  EXPECT_EQ(host.Stat(root + "/C/a/b/f.txt").kind, sim::HostKind::kMissing);
}

TEST(HostFiles, NeverWalksThroughALinkEitherWay) {
  TestMachine tm;
  const fs::path drives = fs::path(tm.ImageDir()) / "drives";
  WriteHost(drives / "C/App/Real/data.txt", "app data");
  fs::create_directory_symlink("Real", drives / "C/App/Alias");
  fs::create_directory_symlink("../..", drives / "C/App/Up");
  const sim::HostFiles host(drives.string());
  for (bool nameByName : {false, true}) {
    sim::HostFiles::WalkNameByName(nameByName);
    for (const char* via : {"/C/App/Alias", "/C/App/Up/C/App/Real"}) {
      const std::string path = host.root() + via;
      EXPECT_EQ(host.Stat(path + "/data.txt").kind, sim::HostKind::kMissing) << via;
      std::vector<sim::HostEntry> entries;
      EXPECT_FALSE(host.List(path, &entries)) << via;
      EXPECT_FALSE(host.Open(path + "/new.txt", true, true, false).ok()) << via;
      EXPECT_FALSE(host.RemoveFile(path + "/data.txt")) << via;
    }
    // The link itself is seen as a link; the folder it names as a folder.
    EXPECT_EQ(host.Stat(host.root() + "/C/App/Alias").kind, sim::HostKind::kLink);
    EXPECT_EQ(host.Stat(host.root() + "/C/App/Real/data.txt").kind, sim::HostKind::kFile);
  }
  sim::HostFiles::WalkNameByName(false);
  EXPECT_EQ(ReadHost(drives / "C/App/Real/data.txt"), "app data");
  EXPECT_FALSE(fs::exists(drives / "C/App/Real/new.txt"));
}

}  // namespace
