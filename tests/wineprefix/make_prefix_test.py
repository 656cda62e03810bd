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
            mp.copy_merged(image, prefix, kept)
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


class NotModelled(unittest.TestCase):
    def test_names_what_the_image_has(self):
        machine = {"devices": [{}], "local_time": "2003-01-01T00:00:00",
                   "directories": {"windows": "C:\\WINNT", "system": "C:\\WINDOWS\\system32"},
                   "faults": [{}]}
        notes = "\n".join(mp.not_modelled(machine, "2000"))
        self.assertIn("devices (1)", notes)
        self.assertIn("local_time", notes)
        self.assertIn("directories.windows C:\\WINNT", notes)
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
