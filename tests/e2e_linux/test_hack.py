"""lumen-ribbon as an XScreenSaver hack: drawing into a given window or the root, and ending."""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
from xml.etree import ElementTree

from linux_harness import (BUILD_DIR, PROGRAM, WORK_DIR, Client, LinuxTestCase, Program, XServer,
                           lit_fraction, wait_for)
from test_host import RUN_WINDOW, Host, any_window
from test_standalone import cpu_seconds
from Xlib import X


def lit_in(picture, box):
    """Share of lit pixels within (left, top, right, bottom)."""
    samples = list(picture.pixels(4, box))
    return sum(max(p) > 24 for p in samples) / len(samples)


def make_window(client, x, y, width, height, kind=X.InputOutput):
    screen = client.d.screen()
    if kind == X.InputOnly:
        window = client.root.create_window(x, y, width, height, 0, 0, kind, X.CopyFromParent)
    else:
        window = client.root.create_window(x, y, width, height, 0, screen.root_depth, kind,
                                           X.CopyFromParent, background_pixel=screen.black_pixel)
    window.map()
    client.d.sync()
    return window


class HackWindows(LinuxTestCase):
    def test_window_id_follows_the_window_and_ends_promptly_on_sigterm(self):
        with XServer(WORK_DIR, kind="xvfb", size=(1024, 768)) as server:
            client = Client(server)
            window = make_window(client, 0, 0, 400, 300)
            children = client.root_children()
            mode = server.mode()
            with Program(server, "--window-id", hex(window.id), "--fps") as program:
                wait_for(lambda: lit_in(server.screenshot(), (0, 0, 400, 300)) > 0.05,
                         what="bands in the test's window")
                window.configure(width=800, height=600)
                client.d.sync()
                # The bands reach into the part the window gained.
                wait_for(lambda: lit_in(server.screenshot(), (400, 300, 800, 600)) > 0.05,
                         what="bands over the grown window")
                self.assertEqual(client.root_children(), children)  # no window of its own
                self.assertEqual(server.mode(), mode)
                self.assertFalse(client.cursor_hidden())
                started = time.monotonic()
                program.signal(signal.SIGTERM)
                self.assertEqual(program.wait(), 0)
                print("\nended %.0f ms after SIGTERM" % ((time.monotonic() - started) * 1000))
            # Outside the window nothing was drawn.
            self.assertLess(lit_in(server.screenshot(), (820, 620, 1024, 768)), 0.01)

    def test_root_on_every_screen_and_the_daemons_window(self):
        with XServer(WORK_DIR, kind="xvfb", size=(640, 480), screens=2) as server:
            for screen in (0, 1):
                self.assert_black(server.screenshot(screen=screen))
            programs = [Program(server, flag, screen=screen)
                        for screen, flag in ((0, "--root"), (1, "-root"))]
            with programs[0], programs[1]:
                for screen in (0, 1):
                    wait_for(lambda: lit_fraction(server.screenshot(screen=screen)) > 0.05,
                             what="bands on screen %d" % screen)
                for program in programs:
                    program.signal(signal.SIGTERM)
                    self.assertEqual(program.wait(), 0)

        with XServer(WORK_DIR, kind="xvfb", size=(640, 480)) as server:
            client = Client(server)
            window = make_window(client, 100, 100, 320, 240)
            env = server.env()
            env["XSCREENSAVER_WINDOW"] = hex(window.id)
            with Program(server, "--root", env=env) as program:
                wait_for(lambda: lit_in(server.screenshot(), (100, 100, 420, 340)) > 0.05,
                         what="bands in the daemon's window")
                self.assertLess(lit_in(server.screenshot(), (440, 360, 640, 480)), 0.01)
                program.signal(signal.SIGTERM)
                self.assertEqual(program.wait(), 0)


class FailedStarts(LinuxTestCase):
    def assert_fails(self, server, args, message):
        """The program, started on the server, ends by itself at once with 1 and says why."""
        with Program(server, *args) as program:
            code = program.wait()
        self.assertEqual(code, 1, args)  # an exit, not a signal
        self.assertIn(message, program.errors, args)

    def test_a_server_without_opengl_fails_every_start_and_the_host_run_ends(self):
        with XServer(WORK_DIR, kind="xvfb", size=(640, 480), without=["GLX"]) as server:
            client = Client(server)
            window = make_window(client, 0, 0, 320, 240)
            for args in (["--root"], ["--window-id", hex(window.id)], []):
                self.assert_fails(server, args, "no GLX extension")
            self.assertEqual(client.windows_named(), [])

            config = tempfile.mkdtemp(prefix="config-", dir=WORK_DIR)
            self.addCleanup(shutil.rmtree, config, True)
            with Host(server, config, "--run") as host:
                self.assertEqual(host.wait(), 0)
            self.assertIn("no GLX extension", host.errors)
            self.assertIsNone(any_window(client, RUN_WINDOW))

    def test_window_ids_that_name_no_drawable_window_fail(self):
        with XServer(WORK_DIR, kind="xvfb", size=(640, 480)) as server:
            client = Client(server)
            window = make_window(client, 0, 0, 320, 240)
            input_only = make_window(client, 0, 0, 100, 100, X.InputOnly)
            usage = "needs a window id"
            cases = [(["--window-id", "0"], usage),
                     # Its low 32 bits name the test's window, which must stay black.
                     (["--window-id", hex(window.id | 1 << 32)], usage),
                     (["--window-id", hex(window.id + 0x1000)], "no window"),
                     (["--window-id", hex(input_only.id)], "no OpenGL on window")]
            for args, message in cases:
                self.assert_fails(server, args, message)
            self.assertLess(lit_in(server.screenshot(), (0, 0, 320, 240)), 0.01)

    def test_a_huge_delay_is_capped_and_still_ends_at_once(self):
        with XServer(WORK_DIR, kind="xvfb", size=(640, 480)) as server:
            with Program(server, "--root", "--delay", str(2 ** 63 - 1)) as program:
                wait_for(lambda: lit_fraction(server.screenshot()) > 0.05, what="the first frame")
                used = cpu_seconds(program, 2.0)
                print("\nCPU seconds in two seconds with the longest delay: %.2f" % used)
                self.assertLess(used, 0.2)
                # Well within the ten-second sleep.
                program.signal(signal.SIGTERM)
                self.assertEqual(program.wait(timeout=5), 0)


class CommandLine(unittest.TestCase):
    def run_program(self, *args):
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        return subprocess.run([PROGRAM, *args], capture_output=True, text=True, timeout=30,
                              env=env)

    def test_help_version_and_unknown_options(self):
        self.assertRegex(self.run_program("--version").stdout, r"^lumen-ribbon \d+\.\d+\.\d+\n$")
        usage = self.run_program("--help")
        self.assertEqual(usage.returncode, 0)
        self.assertIn("--window-id", usage.stdout)
        self.assertIn("longer delay than 10000000", usage.stdout)
        for args in (["--bogus"], ["-window-id"], ["--delay", "soon"]):
            wrong = self.run_program(*args)
            self.assertEqual(wrong.returncode, 1, args)
            self.assertIn("usage:", wrong.stderr)
            self.assertEqual(wrong.stdout, "")
        # Without a display it says so and fails, rather than crashing.
        self.assertEqual(self.run_program().returncode, 1)

    def test_install_puts_the_hack_where_xscreensaver_looks(self):
        with tempfile.TemporaryDirectory(prefix="lr-install-") as prefix:
            subprocess.run(["cmake", "--install", BUILD_DIR, "--prefix", prefix],
                           capture_output=True, check=True, timeout=120)
            hack = os.path.join(prefix, "libexec", "xscreensaver", "lumen-ribbon")
            self.assertTrue(os.access(hack, os.X_OK))
            config = ElementTree.parse(
                os.path.join(prefix, "share", "xscreensaver", "config", "lumen-ribbon.xml"))
            saver = config.getroot()
            self.assertEqual((saver.tag, saver.get("name")), ("screensaver", "lumen-ribbon"))
            self.assertTrue(saver.findtext("_description").strip())
            self.assertEqual(saver.find("number").get("arg"), "--delay %")
            self.assertEqual(saver.find("boolean").get("arg-set"), "--fps")
            # Every argument the settings tool may pass is one the program takes.
            args = [saver.find("command").get("arg"), "--delay", "1000", "--fps", "--help"]
            self.assertEqual(self.run_program(*args).returncode, 0)


if __name__ == "__main__":
    unittest.main()
