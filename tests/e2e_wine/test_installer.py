"""The Windows packages of the build's word size: the installer in a fresh Wine prefix of its own
(silent install, the saver run from where it landed, a second install over the first, silent
uninstalls), the portable archive's contents, and the version resources of the two programs."""

import os
import subprocess
import time
import unittest
import zipfile

import harness
from harness import BIN_DIR, BUILD_DIR, HOST, RENDERER, VK_ESCAPE, WIN64, WINE, Session, wait_exit
from e2e_support.build import project_version
from e2e_support.pictures import lit_fraction

SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PACKAGES_DIR = os.environ.get("LR_PACKAGES_DIR", os.path.join(BUILD_DIR, "..", "packages"))
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumen_Ribbon"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
RENDERER_TITLE = "Lumen_Ribbon_VC"


VERSION = project_version(BUILD_DIR)
ARCHIVE = "Lumen_Ribbon-%s-%s" % (VERSION, "win64" if WIN64 else "win32")
INSTALLER = "Lumen_Ribbon-%s-%s" % (VERSION, "win64-setup.exe" if WIN64 else "setup.exe")


def package(name):
    path = os.path.join(PACKAGES_DIR, name)
    if not os.path.exists(path):
        raise AssertionError("%s is missing: run scripts/package.sh first" % path)
    return path


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def version_strings(path):
    """The string values of a program's version resource (UTF-16 key, padding, value)."""
    data = read_bytes(path)
    values = {}
    for key in ("FileVersion", "ProductVersion", "OriginalFilename"):
        at = data.find(key.encode("utf-16-le") + b"\0\0")
        if at < 0:
            continue
        at += 2 * len(key) + 2
        at += (-at) % 4  # the value starts on a 32-bit boundary
        end = data.find(b"\0\0", at)
        end += (end - at) % 2
        values[key] = data[at:end].decode("utf-16-le")
    return values


class PackageFiles(unittest.TestCase):
    def test_programs_carry_the_project_version(self):
        for name in (HOST, RENDERER):
            with self.subTest(name):
                self.assertEqual(version_strings(os.path.join(BIN_DIR, name)),
                                 {"FileVersion": VERSION, "ProductVersion": VERSION,
                                  "OriginalFilename": name})

    def test_portable_archive_holds_both_programs_readme_and_license(self):
        top = ARCHIVE + "/"
        with zipfile.ZipFile(package(ARCHIVE + ".zip")) as archive:
            self.assertEqual(sorted(archive.namelist()),
                             sorted(top + name for name in
                                    (HOST, RENDERER, "README.txt", "LICENSE.txt")))
            for name in (HOST, RENDERER):
                self.assertEqual(archive.read(top + name), read_bytes(os.path.join(BIN_DIR, name)))
            self.assertEqual(archive.read(top + "LICENSE.txt"),
                             read_bytes(os.path.join(SOURCE_DIR, "LICENSE")))
            readme = archive.read(top + "README.txt").decode("utf-8-sig")
        for text in ("■ 日本語", "■ English", "設定を Lumen_Ribbon.ini に書き込めません！"):
            self.assertIn(text, readme)
        self.assertNotIn("\n", readme.replace("\r\n", ""), "Windows line ends throughout")


class Installer(unittest.TestCase):
    """One scenario in a prefix made for it: what an installer leaves must not leak into the
    prefix the other tests share."""

    @classmethod
    def setUpClass(cls):
        harness.PREFIX = os.path.join(harness.E2E_DIR, "installer-prefix")
        os.makedirs(harness.E2E_DIR, exist_ok=True)
        harness.make_prefix()
        cls.session = Session().__enter__()
        windows = os.path.join(harness.PREFIX, "drive_c", "windows")
        # The real System32 for the 64-bit saver; a 32-bit one's is SysWOW64 in a 64-bit prefix.
        cls.system = os.path.join(windows, "system32")
        if not WIN64 and os.path.isdir(os.path.join(windows, "syswow64")):
            cls.system = os.path.join(windows, "syswow64")

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)

    def wine(self, *args, timeout=180):
        return subprocess.run([WINE, *args], env=self.session.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=timeout)

    def reg_query(self, key, value):
        result = self.wine("reg", "query", key, "/v", value, "/reg:64" if WIN64 else "/reg:32")
        if result.returncode != 0:
            return None
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == value.lower():
                return parts[2] if len(parts) == 3 else ""
        return None

    def unix_path(self, windows_path):
        result = subprocess.run([WINE, "winepath", "-u", windows_path], env=self.session.env,
                                capture_output=True, text=True, timeout=60)
        return result.stdout.strip()

    def install(self, *options):
        result = self.wine(package(INSTALLER), "/S", *options)
        self.assertEqual(result.returncode, 0, "the silent installer succeeds")
        for name in (HOST, RENDERER):
            self.assertEqual(read_bytes(os.path.join(self.system, name)),
                             read_bytes(os.path.join(BIN_DIR, name)), name)

    def uninstall(self, *options):
        quiet = self.reg_query(UNINSTALL_KEY, "QuietUninstallString")
        self.assertIsNotNone(quiet)
        program = quiet.split('"')[1]
        self.assertEqual(quiet, '"%s" /S' % program)
        uninstaller = self.unix_path(program)
        self.assertTrue(os.path.isfile(uninstaller))
        self.assertEqual(self.wine(program, "/S", *options).returncode, 0)
        # The uninstaller runs on from a copy of itself: wait until it has removed its folder.
        deadline = time.time() + 120
        while os.path.exists(os.path.dirname(uninstaller)) and time.time() < deadline:
            time.sleep(0.5)
        self.assertFalse(os.path.exists(os.path.dirname(uninstaller)), "the uninstaller's folder")
        self.assertFalse(os.path.exists(os.path.join(self.system, HOST)))
        self.assertFalse(os.path.exists(os.path.join(self.system, RENDERER)))
        self.assertIsNone(self.reg_query(UNINSTALL_KEY, "DisplayName"))

    def run_installed_saver(self, command):
        host = self.session.start(command, "/s")
        renderer = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assertIsNotNone(renderer, "the renderer's window appears")
        lit = 0.0
        deadline = time.time() + 20
        while lit < 0.05 and time.time() < deadline:
            lit = lit_fraction(self.session.screenshot())
        print("installed saver: %.1f %% of the screen lit" % (100 * lit))
        self.assertGreater(lit, 0.05, "the bands are drawn")
        self.session.hold_key(renderer["hwnd"], VK_ESCAPE)
        self.assertEqual(wait_exit(host, 30), 0)

    def test_install_run_reinstall_and_uninstall(self):
        self.install("/CURRENT")
        entry = {name: self.reg_query(UNINSTALL_KEY, name) for name in
                 ("DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "EstimatedSize",
                  "UninstallString")}
        self.assertEqual(entry["DisplayName"], "Lumen_Ribbon")
        self.assertEqual(entry["DisplayVersion"], VERSION)
        folder = os.path.dirname(self.unix_path(entry["UninstallString"].strip('"')))
        self.assertEqual(read_bytes(os.path.join(folder, "LICENSE.txt")),
                         read_bytes(os.path.join(SOURCE_DIR, "LICENSE")))
        self.assertEqual(entry["Publisher"], "The Lumen_Ribbon developers")
        self.assertTrue(entry["DisplayIcon"].endswith("Lumen_Ribbon.scr,0"))
        self.assertTrue(os.path.samefile(self.unix_path(entry["DisplayIcon"][:-2]),
                                         os.path.join(self.system, HOST)))
        size_kb = int(entry["EstimatedSize"], 16)
        print("estimated size: %d KB" % size_kb)
        self.assertGreaterEqual(size_kb * 1024, os.path.getsize(os.path.join(self.system, HOST)))

        # The current saver, as Windows starts it: the stored path itself.
        current = self.reg_query(DESKTOP_KEY, "SCRNSAVE.EXE")
        self.assertIsNotNone(current, "made the current screen saver")
        self.assertTrue(os.path.samefile(self.unix_path(current), os.path.join(self.system, HOST)))
        self.run_installed_saver(current)

        # A second install over the first; the user's settings stay through the uninstall.
        settings = os.path.join(self.system, "Lumen_Ribbon.ini")
        with open(settings, "wb") as f:
            f.write(b"[Section]\r\n")
        self.install()
        self.assertEqual(self.reg_query(UNINSTALL_KEY, "DisplayVersion"), VERSION)
        self.uninstall()
        self.assertIsNone(self.reg_query(DESKTOP_KEY, "SCRNSAVE.EXE"), "the current saver is reset")
        self.assertTrue(os.path.exists(settings), "the user's settings are kept")

        # Another saver chosen since stays chosen; the settings go when asked.
        other = r"C:\windows\system32\other.scr"
        self.install()
        self.assertEqual(self.wine("reg", "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", other,
                                   "/f").returncode, 0)
        self.uninstall("/REMOVESETTINGS")
        self.assertEqual(self.reg_query(DESKTOP_KEY, "SCRNSAVE.EXE"), other)
        self.assertFalse(os.path.exists(settings), "the settings are removed on request")


if __name__ == "__main__":
    unittest.main()
