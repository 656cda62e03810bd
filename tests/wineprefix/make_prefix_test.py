#!/usr/bin/env python3
"""The prefix tool's image handling, without Wine: key mapping, the registry
file given to regedit, the merge of the image's files into drive_c, and the
not-modelled list."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "wineprefix"))
import make_prefix as mp  # noqa: E402


class KeyMapping(unittest.TestCase):
    def test_hives(self):
        self.assertEqual(mp.map_key(r"HKLM\SOFTWARE\X"), r"HKEY_LOCAL_MACHINE\SOFTWARE\X")
        self.assertEqual(mp.map_key(r"HKEY_USERS\.DEFAULT\Software\X"),
                         r"HKEY_CURRENT_USER\Software\X")
        self.assertEqual(mp.map_key(r"HKEY_USERS\.default"), "HKEY_CURRENT_USER")
        self.assertEqual(mp.map_key(r"HKU\S-1-5-21-1\Software"), r"HKEY_USERS\S-1-5-21-1\Software")

    def test_registry_file(self):
        image = (b"REGEDIT4\r\n\r\n[HKEY_USERS\\.DEFAULT\\A]\r\n\"N\"=\"Caf\xe9\"\r\n"
                 b"[-HKU\\.DEFAULT\\B]\r\n[HKLM\\C]\r\n")
        out = mp.registry_for_wine(image)
        self.assertIn(b"[HKEY_CURRENT_USER\\A]\r\n\"N\"=\"Caf\xe9\"\r\n", out)
        self.assertIn(b"[-HKEY_CURRENT_USER\\B]\r\n", out)
        self.assertIn(b"[HKEY_LOCAL_MACHINE\\C]\r\n", out)

    def test_current_control_set_lands_where_programs_read_it(self):
        image = (b"REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\Select]\r\n"
                 b"\"Current\"=dword:00000002\r\n\r\n"
                 b"[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet002\\Enum\\USB\\X]\r\n"
                 b"[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Enum\\USB\\Y]\r\n"
                 b"[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet0020]\r\n")
        out = mp.registry_for_wine(image)
        self.assertIn(b"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\USB\\X]", out)
        # Another control set, and a name that only begins like the current one, stay.
        self.assertIn(b"[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Enum\\USB\\Y]", out)
        self.assertIn(b"[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet0020]", out)
        no_select = mp.registry_for_wine(b"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\A]\r\n")
        self.assertIn(b"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\A]", no_select)

    def test_version5_file(self):
        text = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_USERS\\.DEFAULT\\A]\r\n"
        out = mp.registry_for_wine(b"\xff\xfe" + text.encode("utf-16-le"))
        self.assertTrue(out.startswith(b"REGEDIT4\r\n"))
        self.assertIn(b"[HKEY_CURRENT_USER\\A]", out)


class FileMerge(unittest.TestCase):
    def test_folders_join_without_case_and_wine_programs_stay(self):
        with tempfile.TemporaryDirectory() as root:
            image = os.path.join(root, "image")
            prefix = os.path.join(root, "drive_c")
            os.makedirs(os.path.join(image, "WINDOWS", "system32"))
            os.makedirs(os.path.join(prefix, "windows", "system32"))
            with open(os.path.join(prefix, "windows", "system32", "shell32.dll"), "wb") as f:
                f.write(b"MZwine")
            with open(os.path.join(prefix, "windows", "win.ini"), "wb") as f:
                f.write(b"wine")
            for name, data in (("system32/SHELL32.DLL", b"image"), ("WIN.INI", b"image"),
                               ("system32/Vt.dll", b"image")):
                with open(os.path.join(image, "WINDOWS", name), "wb") as f:
                    f.write(data)
            kept = []
            mp.copy_drive(image, "C", root, [], kept)
            self.assertEqual(sorted(os.listdir(prefix)), ["windows"])
            with open(os.path.join(prefix, "windows", "system32", "shell32.dll"), "rb") as f:
                self.assertEqual(f.read(), b"MZwine")
            self.assertEqual(len(kept), 1)
            self.assertEqual(os.listdir(os.path.join(prefix, "windows")).count("win.ini"), 1)
            with open(os.path.join(prefix, "windows", "win.ini"), "rb") as f:
                self.assertEqual(f.read(), b"image")
            self.assertTrue(os.path.exists(os.path.join(prefix, "windows", "system32", "Vt.dll")))
            self.assertEqual(mp.windows_path_to_host(root,
                                                     r"C:\WINDOWS\SYSTEM32\Vt.dll"),
                             os.path.join(prefix, "windows", "system32", "Vt.dll"))


def write(path, data=b"image"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


class FolderMoves(unittest.TestCase):
    """An image whose Windows or system folder is not Wine's has both moved
    into Wine's fixed folders: files, registry strings, and the line of
    not-modelled.txt by which the differential check maps them back."""

    WIN2000 = {"directories": {"windows": "C:\\WINNT", "system": "C:\\WINNT\\system32",
                               "temp": "C:\\WINNT\\TEMP\\"}}
    WIN98 = {"directories": {"windows": "C:\\WINDOWS", "system": "C:\\WINDOWS\\SYSTEM"}}

    def test_which_folders_move(self):
        self.assertEqual(mp.folder_moves(self.WIN98),
                         [("system", "C:\\WINDOWS\\SYSTEM", "C:\\windows\\system32")])
        self.assertEqual([m[0] for m in mp.folder_moves(self.WIN2000)], ["system", "windows"])
        xp = {"directories": {"windows": "C:\\WINDOWS", "system": "C:\\WINDOWS\\system32"}}
        self.assertEqual(mp.folder_moves(xp), [])
        self.assertEqual(mp.folder_moves({"directories": {"windows": None}}), [])

    def test_paths(self):
        moves = mp.folder_moves(self.WIN2000)
        self.assertEqual(mp.moved_path("C:\\WINNT\\system32\\Vt.dll", moves),
                         "C:\\windows\\system32\\Vt.dll")
        self.assertEqual(mp.moved_path("c:\\winnt\\INF", moves), "C:\\windows\\INF")
        self.assertEqual(mp.moved_path("C:\\WINNT", moves), "C:\\windows")
        self.assertEqual(mp.moved_path("C:\\WINNT.OLD\\x", moves), "C:\\WINNT.OLD\\x")
        self.assertEqual(mp.moved_path("D:\\WINNT\\x", moves), "D:\\WINNT\\x")
        # 98: only the system folder moves, not Wine's own C:\windows\system.
        self.assertEqual(mp.moved_path("C:\\WINDOWS\\SYSTEM\\Vt.dll",
                                       mp.folder_moves(self.WIN98)),
                         "C:\\windows\\system32\\Vt.dll")

    def test_files_land_in_wines_folders(self):
        with tempfile.TemporaryDirectory() as root:
            image = os.path.join(root, "image")
            write(os.path.join(root, "drive_c", "windows", "system32", "kernel32.dll"), b"MZ")
            write(os.path.join(image, "WINNT", "system32", "Vt.dll"))
            write(os.path.join(image, "WINNT", "INF", "oem7.inf"))
            write(os.path.join(image, "Program Files", "a.txt"))
            os.makedirs(os.path.join(image, "WINNT", "TEMP"))
            mp.copy_drive(image, "C", root, mp.folder_moves(self.WIN2000), [])
            c = os.path.join(root, "drive_c")
            self.assertEqual(sorted(os.listdir(c)), ["Program Files", "windows"])
            self.assertTrue(os.path.isfile(os.path.join(c, "windows", "system32", "Vt.dll")))
            self.assertTrue(os.path.isfile(os.path.join(c, "windows", "system32", "kernel32.dll")))
            self.assertTrue(os.path.isfile(os.path.join(c, "windows", "INF", "oem7.inf")))
            self.assertTrue(os.path.isdir(os.path.join(c, "windows", "TEMP")))
            self.assertEqual(mp.prefix_host_path(root, self.WIN2000, "C:\\WINNT\\INF\\oem7.inf"),
                             os.path.join(c, "windows", "INF", "oem7.inf"))

    def test_registry_strings_that_start_with_a_moved_folder(self):
        image = (b'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\SharedDLLs]\r\n'
                 b'"C:\\\\WINDOWS\\\\SYSTEM\\\\VtCore.dll"=dword:00000002\r\n'
                 b'"Run"="C:\\\\WINDOWS\\\\SYSTEM\\\\Mon.exe -q \\"C:\\\\WINDOWS\\\\SYSTEM\\\\x\\""\r\n'
                 b'"Scan"="C:\\\\WINDOWS\\\\scanregw.exe"\r\n'
                 b'"Other"="C:\\\\WINDOWS\\\\SYSTEMX\\\\a"\r\n')
        out = mp.registry_for_wine(image, mp.folder_moves(self.WIN98))
        self.assertIn(b'"C:\\\\windows\\\\system32\\\\VtCore.dll"=dword:00000002\r\n', out)
        # Only a string's start is a path the move covers; quotes stay escaped.
        self.assertIn(b'"Run"="C:\\\\windows\\\\system32\\\\Mon.exe -q '
                      b'\\"C:\\\\WINDOWS\\\\SYSTEM\\\\x\\""\r\n', out)
        self.assertIn(b'"Scan"="C:\\\\WINDOWS\\\\scanregw.exe"', out)
        self.assertIn(b'"Other"="C:\\\\WINDOWS\\\\SYSTEMX\\\\a"', out)

    def test_the_differential_check_maps_back_only_what_was_moved(self):
        sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
        import differential_normalise as dn
        log = ["==> Deleted file C:\\windows\\system32\\VtCore.dll ",
               "\tRemoved file C:\\windows\\INF\\oem7.inf",
               "'C:\\windows\\TEMP\\'", "c:\\windows\\system32\\lower.dll"]
        ctx = {"side": "wine", "machine": self.WIN2000,
               "not_modelled": "\n".join(mp.not_modelled(self.WIN2000, "2000"))}
        self.assertEqual(dn.windows_folders_moved(log, ctx),
                         ["==> Deleted file C:\\WINNT\\system32\\VtCore.dll ",
                          "\tRemoved file C:\\WINNT\\INF\\oem7.inf",
                          "'C:\\WINNT\\TEMP\\'", "c:\\windows\\system32\\lower.dll"])
        # 98: the system folder alone; the simulated PC's side is never touched.
        ctx98 = {"side": "wine", "machine": self.WIN98,
                 "not_modelled": "\n".join(mp.not_modelled(self.WIN98, "98"))}
        self.assertEqual(dn.windows_folders_moved(log[:2], ctx98),
                         ["==> Deleted file C:\\WINDOWS\\SYSTEM\\VtCore.dll ", log[1]])
        self.assertEqual(dn.windows_folders_moved(log, dict(ctx, side="sim")), log)
        self.assertEqual(dn.windows_folders_moved(log, dict(ctx, not_modelled="")), log)


class NotModelled(unittest.TestCase):
    def test_names_what_the_image_has(self):
        machine = {"devices": [{}], "local_time": "2003-01-01T00:00:00",
                   "directories": {"windows": "C:\\WINNT", "system": "C:\\WINDOWS\\system32"},
                   "faults": [{}]}
        notes = "\n".join(mp.not_modelled(machine, "2000"))
        self.assertIn("devices (1)", notes)
        self.assertIn("local_time", notes)
        self.assertIn("directories.windows C:\\WINNT moved to C:\\windows:", notes)
        self.assertNotIn("directories.system", notes)  # the same folder as Wine's
        self.assertIn("faults (1)", notes)
        self.assertEqual(mp.not_modelled({}, "xp"), [])

    def test_spooler_list(self):
        machine = {"printer_drivers": [{"name": "D", "environment": "Windows 4.0"}],
                   "printers": [{"name": "P", "driver": "D", "port": "DOT4_001"}],
                   "monitors": ["Local Port", "VT Mon"], "ports": ["LPT1:", "DOT4_001"],
                   "services": [{"name": "S", "state": "running"}]}
        lines, notes = mp.spooler_list(machine, "98")
        self.assertEqual(lines, ["driver D|Windows 4.0", "driver D|Windows NT x86",
                                 "printer P|D|DOT4_001",
                                 "service S|C:\\windows\\system32\\S.exe"])
        joined = "\n".join(notes)
        self.assertIn("VT Mon", joined)
        self.assertNotIn("Local Port", joined)
        self.assertIn("DOT4_001", joined)
        self.assertNotIn("LPT1", joined)


if __name__ == "__main__":
    unittest.main()
