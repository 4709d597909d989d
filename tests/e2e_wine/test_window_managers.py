"""The Windows programs under Wine, with Wine's windows managed as a user's are, under real
window managers on the dummy Xorg server: openbox (one frame per client) and kwin_x11 (a wrapper
in a frame, and an OpenGL compositor). The renderer's X window covers the output above a window
mapped after it and has the keyboard, so a typed Escape ends the run; the toggle goes through the
manager's frames and back; one dialog stays; the mode comes back on every way out."""

import os
import subprocess
import time
import unittest

from harness import E2E_DIR, MODE_SWITCH, WINE, WM_CLOSE, Session, WineTestCase, wait_exit
from test_saver_run import DIALOG_TITLE, RENDERER_TITLE, host_probe, start_host, wait_for
from e2e_support.window_managers import WindowManager, available
from e2e_support.xservers import XServer

DESKTOP = (1280, 1024)
SAVER = (1024, 768)
# A window mapped over the run, in a colour the bands hardly ever give.
MARKED = "400x300+312+234"
MARK = (0x12, 0x34, 0x56)


def x_window(server, title):
    """(id, x, y, width, height) of the window of that name at any depth, from xwininfo."""
    try:
        out = server.run("xwininfo", "-name", title)
    except subprocess.CalledProcessError:
        return None
    fields = {}
    for line in out.splitlines():
        key, _, value = line.strip().partition(":")
        fields[key] = value.strip()
    window = int(out.split("Window id:")[1].split()[0], 16)
    return (window,) + tuple(int(fields[k]) for k in ("Absolute upper-left X",
                                                      "Absolute upper-left Y", "Width", "Height"))


def top_level(server, window):
    """The root's child holding the window: the manager's frame, or the window itself."""
    while True:
        out = server.run("xwininfo", "-children", "-id", str(window))
        root = int(out.split("Root window id:")[1].split()[0], 16)
        parent = int(out.split("Parent window id:")[1].split()[0], 16)
        if parent == root:
            return window
        window = parent


class WindowManagerTest(WineTestCase):

    def managed_session(self, name):
        if not available(name):
            self.skipTest(name + " is not installed (scripts/install-deps.sh installs it)")
        self.server = XServer(E2E_DIR, kind="xorg", modes=[DESKTOP, SAVER]).__enter__()
        self.addCleanup(self.server.__exit__, None, None, None)
        manager = WindowManager(self.server, name, E2E_DIR).__enter__()
        self.addCleanup(manager.__exit__, None, None, None)
        self.session = Session(server=self.server).__enter__()
        self.addCleanup(self.session.__exit__, None, None, None)
        # Wine's windows managed by the window manager, as Wine does by default.
        self.set_managed("Y")
        self.addCleanup(self.set_managed, "N")
        return manager

    def set_managed(self, value):
        subprocess.run([WINE, "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed",
                        "/d", value, "/f"], env=self.session.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60, check=True)

    def start_run(self, folder):
        host = start_host(self.session, folder, "/s")
        renderer = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assertIsNotNone(renderer)
        self.assertTrue(wait_for(lambda: self.server.mode() == SAVER, 15), "the switch")
        return host, renderer

    def assert_covers_above_with_the_keyboard(self, manager):
        covering = lambda: (x_window(self.server, RENDERER_TITLE) or (0,))[1:] == (0, 0) + SAVER
        self.assertTrue(wait_for(covering, 15), "the window over the output: %s" %
                        (x_window(self.server, RENDERER_TITLE),))
        window = x_window(self.server, RENDERER_TITLE)
        self.assert_keyboard_on(window[0], "at the start")
        # A window mapped later stays below.
        with subprocess.Popen(["xlogo", "-geometry", MARKED, "-bg", "#123456", "-fg", "#123456"],
                              env=self.server.env(), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL) as other:
            try:
                wait_for(lambda: x_window(self.server, "xlogo"), 10)
                time.sleep(1)  # placed and painted
                picture = self.server.screenshot()
            finally:
                other.kill()
        samples = [p == MARK for p in picture.pixels(step=4, box=(312, 234, 712, 534))]
        self.assertLess(sum(samples) / len(samples), 0.01,
                        "%s put a window above the run" % manager.name)
        self.assert_keyboard_on(window[0], "once the other window went")

    def assert_keyboard_on(self, window, when):
        def focus():  # xdotool fails while no window has the keyboard
            out = subprocess.run(["xdotool", "getwindowfocus"], env=self.server.env(),
                                 capture_output=True, text=True, timeout=30)
            return int(out.stdout.split()[0]) if out.returncode == 0 else None
        self.assertTrue(wait_for(lambda: focus() == window, 10), "the keyboard " + when)

    def assert_framed(self, title, name):
        def framed():
            window = x_window(self.server, title)
            return window and top_level(self.server, window[0]) != window[0]
        self.assertTrue(wait_for(framed, 10), "%s framed by %s" % (title, name))

    def run_under(self, name):
        manager = self.managed_session(name)
        folder = self.session.app_folder(name)

        # Escape typed, not sent to a window: the renderer has the keyboard.
        host, renderer = self.start_run(folder)
        self.assert_covers_above_with_the_keyboard(manager)
        self.server.run("xdotool", "key", "Escape")
        self.assertEqual(wait_exit(host, 15), 0)
        self.assertTrue(wait_for(lambda: self.server.mode() == DESKTOP, 15), "after Escape")
        self.assertTrue(self.session.wait_window_gone(RENDERER_TITLE))

        # The toggle: a window framed by the manager in the desktop's mode, then full screen
        # again; the run goes on across both and past the time a lost renderer is waited for.
        host, renderer = self.start_run(folder)
        self.session.post(renderer["hwnd"], MODE_SWITCH)
        self.assertTrue(wait_for(lambda: self.server.mode() == DESKTOP, 15), "windowed")
        windowed = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assert_framed(RENDERER_TITLE, name)
        time.sleep(1)  # placed on the desktop as it is now, not stretched over it
        self.assertEqual(x_window(self.server, RENDERER_TITLE)[3:], SAVER)
        self.session.post(windowed["hwnd"], MODE_SWITCH)
        self.assertTrue(wait_for(lambda: self.server.mode() == SAVER, 15), "full screen again")
        self.assert_covers_above_with_the_keyboard(manager)
        time.sleep(4)
        self.assertIsNone(host.poll(), "the run goes on under " + name)
        full = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.session.post(full["hwnd"], WM_CLOSE)
        self.assertEqual(wait_exit(host, 15), 0)
        self.assertTrue(wait_for(lambda: self.server.mode() == DESKTOP, 15), "after a close")
        self.assertTrue(self.session.wait_window_gone(RENDERER_TITLE))

        # Killed, the renderer restores nothing: the host puts the mode back.
        host, renderer = self.start_run(folder)
        self.assertEqual(host_probe(self.session, "kill", renderer["pid"])["killed"], "1")
        self.assertEqual(wait_exit(host, 15), 0)
        self.assertTrue(wait_for(lambda: self.server.mode() == DESKTOP, 15), "after a kill")

        # The dialog, framed by the manager, keeps a second one from opening.
        dialog = self.session.start(os.path.join(folder, "Lumen_Ribbon.scr"), "/c", cwd=folder)
        shown = self.session.wait_window(DIALOG_TITLE)
        self.assertIsNotNone(shown)
        self.assert_framed(DIALOG_TITLE, name)
        second = self.session.start(os.path.join(folder, "Lumen_Ribbon.scr"), "/c", cwd=folder)
        self.assertEqual(wait_exit(second, 15), 0)
        self.assertEqual(host_probe(self.session, "count", DIALOG_TITLE)["count"], "1")
        self.session.post(shown["hwnd"], WM_CLOSE)
        self.assertIsNotNone(wait_exit(dialog, 15))

    def test_openbox(self):
        self.run_under("openbox")

    def test_kwin(self):
        self.run_under("kwin_x11")


if __name__ == "__main__":
    unittest.main()
