"""End-to-end harness: the real deliverables under Wine on a private Xvfb.

A Wine prefix is made once per test run inside the build folder; each test
class brings up its own Xvfb on a free display at the size it needs, starts
the programs, looks at them through the Win32 probe, and tears down only what
it started.
"""

import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest

from e2e_support.sound import asound_config

BUILD_DIR = os.path.abspath(os.environ.get("LR_BUILD_DIR", os.path.join(os.path.dirname(__file__), "../../build/windows")))
BIN_DIR = os.path.join(BUILD_DIR, "bin")
PROBE = os.path.join(BUILD_DIR, "probes", "lr_probe.exe")
E2E_DIR = os.path.join(BUILD_DIR, "e2e")
PREFIX = os.path.join(E2E_DIR, "prefix")
HOME = os.path.join(E2E_DIR, "home")

# The symbol font Wine draws the caption buttons with (fonts-wine); the prefix does not get it
# by itself, and the close box would show a plain "r".
CAPTION_SYMBOL_FONT = "/usr/share/wine/fonts/marlett.ttf"

# The loader for the build's word size. Debian's wine64 runs a 64-bit build in a win64 prefix on
# any amd64 machine; the 32-bit loader needs a kernel that executes i386 programs.
WIN64 = os.environ.get("LR_WINDOWS_BITS") == "64"
WINE = "/usr/lib/wine/wine64" if WIN64 else "/usr/lib/wine/wine"

RENDERER = "Lumen_Ribbon.dll"
HOST = "Lumen_Ribbon.scr"

JAPANESE = "ja_JP.UTF-8"
ENGLISH = "C.UTF-8"

VK_ESCAPE = 27
WM_CLOSE = 0x10
WM_QUIT = 0x12
MODE_SWITCH = 0x401


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def base_env(display=None, locale=JAPANESE):
    env = {k: v for k, v in os.environ.items() if not k.startswith(("LC_", "WINE"))}
    env.update(WINEPREFIX=PREFIX, WINEARCH="win64" if WIN64 else "win32", WINELOADER=WINE, HOME=HOME, WINEDEBUG="-all", LANG=locale, LC_ALL=locale,
               WINEDLLOVERRIDES="mscoree,mshtml=")
    if display is not None:
        env["DISPLAY"] = display
    else:
        env.pop("DISPLAY", None)
    return env


def make_prefix():
    """A fresh prefix: unmanaged X11 windows, a null sound device, Japanese dialog font, the
    caption buttons' symbol font."""
    shutil.rmtree(PREFIX, ignore_errors=True)
    os.makedirs(HOME, exist_ok=True)
    with open(os.path.join(HOME, ".asoundrc"), "w") as f:
        f.write(asound_config(None))
    env = base_env()
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run([WINE, "wineboot", "-i"], env=env, check=True, timeout=300, **quiet)
    shutil.copy(CAPTION_SYMBOL_FONT, os.path.join(PREFIX, "drive_c", "windows", "Fonts"))
    reg = os.path.join(E2E_DIR, "prefix.reg")
    with open(reg, "w", encoding="utf-16") as f:
        f.write("\ufeffWindows Registry Editor Version 5.00\r\n\r\n"
                "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n\"Managed\"=\"N\"\r\n\r\n"
                "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"
                "\"\uff2d\uff33 \uff30\u30b4\u30b7\u30c3\u30af\"=\"IPAPGothic\"\r\n"
                "\"\uff2d\uff33 \u30b4\u30b7\u30c3\u30af\"=\"IPAGothic\"\r\n\r\n")
    subprocess.run([WINE, "regedit", "/S", reg], env=env, check=True, timeout=120, **quiet)
    subprocess.run(["wineserver", "-w"], env=env, timeout=120)


class Bitmap:
    """A 24-bit bottom-up BMP as written by the probe, read as rows of RGB."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        offset = struct.unpack_from("<I", data, 10)[0]
        self.width, height = struct.unpack_from("<ii", data, 18)
        self.height = abs(height)
        row_bytes = (self.width * 3 + 3) // 4 * 4
        self.rows = []
        for y in range(self.height):
            source_row = self.height - 1 - y if height > 0 else y
            start = offset + source_row * row_bytes
            self.rows.append(data[start:start + self.width * 3])

    def pixel(self, x, y):
        b, g, r = self.rows[y][x * 3:x * 3 + 3]
        return (r, g, b)

    def pixels(self, step=1, box=None):
        left, top, right, bottom = box or (0, 0, self.width, self.height)
        for y in range(top, bottom, step):
            row = self.rows[y]
            for x in range(left, right, step):
                b, g, r = row[x * 3:x * 3 + 3]
                yield (r, g, b)


class Session:
    """A private Xvfb, or a running server of the caller's (an xservers.XServer), and the Wine
    programs started on it."""

    def __init__(self, width=1024, height=768, locale=JAPANESE, capture_file=None, server=None):
        self.width, self.height, self.locale = width, height, locale
        self.capture_file = capture_file
        self.processes = []
        self.work = tempfile.mkdtemp(prefix="session-", dir=E2E_DIR)
        self.xvfb = None
        self.display = server.display if server else None

    def __enter__(self):
        with open(os.path.join(HOME, ".asoundrc"), "w") as f:
            f.write(asound_config(self.capture_file))
        if self.display is None:
            read_fd, write_fd = os.pipe()
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                 "%dx%dx24" % (self.width, self.height), "-nolisten", "tcp", "-br", "-nocursor"],
                pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write_fd)
            with os.fdopen(read_fd) as f:
                self.display = ":" + f.readline().strip()
        self.env = base_env(self.display, self.locale)
        # Bring up the Wine server and desktop before the programs under test, so
        # that two processes never race to start them.
        self.probe("cursor", check=True)
        return self

    def __exit__(self, *exc):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        for process in self.processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        if self.xvfb:
            self.xvfb.send_signal(signal.SIGTERM)
            self.xvfb.wait(timeout=30)
        with open(os.path.join(HOME, ".asoundrc"), "w") as f:
            f.write(asound_config(None))
        shutil.rmtree(self.work, ignore_errors=True)

    def app_folder(self, name="app", renderer=True, host=True):
        """A folder with the deliverables side by side, as a user installs them."""
        folder = os.path.join(self.work, name)
        os.makedirs(folder, exist_ok=True)
        if renderer:
            shutil.copy(os.path.join(BIN_DIR, RENDERER), folder)
        if host and os.path.exists(os.path.join(BIN_DIR, HOST)):
            shutil.copy(os.path.join(BIN_DIR, HOST), folder)
        return folder

    def start(self, program, *args, cwd=None):
        process = subprocess.Popen([WINE, program, *args], env=self.env, cwd=cwd,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def probe(self, *args, check=False, program=PROBE):
        """Runs a probe program (the window probe unless told) once: its key=value lines as a
        dict, with its exit code as rc."""
        # Output goes through a file, not a pipe: Wine's helper processes that a
        # run may start inherit the descriptors and would hold a pipe open.
        with tempfile.TemporaryFile(mode="w+", dir=self.work) as out:
            result = subprocess.run([WINE, program, *[str(a) for a in args]], env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=subprocess.DEVNULL, timeout=120)
            out.seek(0)
            result.stdout = out.read()
        if check and result.returncode != 0:
            raise AssertionError("probe %s failed: %s" % (args, result.stdout))
        values = {}
        for line in result.stdout.splitlines():
            key, _, value = line.strip().partition("=")
            values[key] = value
        values["rc"] = result.returncode
        return values

    def find_window(self, title, class_name="-"):
        found = self.probe("find", title, class_name)
        return found if found.get("found") == "1" else None

    def wait_window(self, title, class_name="-", timeout_ms=20000):
        found = self.probe("wait", title, class_name, timeout_ms)
        return None if found.get("timeout") else found

    def wait_window_gone(self, title, class_name="-", timeout_ms=10000):
        return self.probe("wait", title, class_name, timeout_ms, "gone").get("timeout") is None

    def hold_key(self, hwnd, key, hold_ms=300):
        self.probe("key", hwnd, key, hold_ms, check=True)

    def post(self, hwnd, message, wparam=0, lparam=0):
        self.probe("post", hwnd, message, wparam, lparam, check=True)

    def screenshot(self, name="screen.bmp"):
        path = os.path.join(self.work, name)
        self.probe("screenshot", windows_path(path), check=True)
        return Bitmap(path)


def rect_of(window):
    return tuple(int(v) for v in window["rect"].split(","))


def wait_exit(process, timeout):
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


class WineTestCase(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        if not os.path.isdir(PREFIX):
            make_prefix()


if __name__ == "__main__":
    os.makedirs(E2E_DIR, exist_ok=True)
    make_prefix()
    print("prefix made in", PREFIX)
