"""End-to-end harness for the native renderer: the real lumen-ribbon on private X servers.

Servers come from e2e_support.xservers; windows are looked at and poked with python-xlib,
pictures judged with the Windows harness's lit_fraction and colour_spread.
"""

import os
import pwd
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from e2e_support.pictures import colour_spread, lit_fraction  # noqa: F401
from e2e_support.xservers import XServer  # noqa: F401

from Xlib import X, Xatom, display as xdisplay
from Xlib.protocol import display as xprotocol, event as xevent

BUILD_DIR = os.path.abspath(os.environ.get(
    "LR_BUILD_DIR", os.path.join(os.path.dirname(__file__), "../../build/linux")))
PROGRAM = os.path.join(BUILD_DIR, "bin", "lumen-ribbon")
TITLE = "Lumen_Ribbon_VC"
WORK_DIR = os.path.join(BUILD_DIR, "e2e_linux")


class Part:
    """A box (left, top, right, bottom) of a screenshot, judged like a whole picture."""

    def __init__(self, picture, box):
        self.picture, self.box = picture, box

    def pixels(self, step=1):
        return self.picture.pixels(step, self.box)


def wait_for(predicate, timeout=20, what="condition"):
    """Polls until predicate() gives a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)


class Client:
    """A python-xlib connection to one server, for looking at and poking windows."""

    def __init__(self, server, screen=None):
        name = server.display if screen is None else "%s.%d" % (server.display, screen)
        # python-xlib keeps extension event numbers in a table shared by all
        # connections; servers with other extensions need a fresh one.
        xprotocol.Display.event_classes = xevent.event_class.copy()
        self.d = xdisplay.Display(name)
        self.root = self.d.screen().root

    def close(self):
        self.d.close()

    def atom(self, name):
        return self.d.intern_atom(name)

    def windows_named(self, title=TITLE):
        found = []
        for child in self.root.query_tree().children:
            try:
                if child.get_wm_name() == title:
                    found.append(child)
            except Exception:  # the window went while we looked
                pass
        return found

    def wait_window(self, title=TITLE, other_than=(), timeout=20):
        def viewable():
            for w in self.windows_named(title):
                if w.id not in other_than and w.get_attributes().map_state == X.IsViewable:
                    return w
            return None
        return wait_for(viewable, timeout, "a window titled " + title)

    def text_property(self, window, name):
        value = window.get_full_property(self.atom(name), X.AnyPropertyType)
        return None if value is None else value.value

    def root_children(self):
        return [c.id for c in self.root.query_tree().children]

    def send_client_message(self, window, type_name, data=(0, 0, 0, 0, 0)):
        message = xevent.ClientMessage(window=window, client_type=self.atom(type_name),
                                       data=(32, list(data)))
        window.send_event(message, event_mask=0)
        self.d.flush()

    def close_window(self, window):
        self.send_client_message(window, "WM_PROTOCOLS",
                                 (self.atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0))

    def cursor_hidden(self):
        self.d.xfixes_query_version()
        image = self.d.xfixes_get_cursor_image(self.root)
        return all((pixel >> 24) == 0 for pixel in image.cursor_image)


class Program:
    """lumen-ribbon (or another client) started on a server, ended by its own id."""

    def __init__(self, server, *args, env=None, screen=None, program=PROGRAM):
        self.process = subprocess.Popen([program, *args], env=env or server.env(screen=screen),
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True)

    def wait(self, timeout=15):
        return self.process.wait(timeout=timeout)

    def signal(self, number):
        self.process.send_signal(number)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.process.kill()
        self.output, self.errors = self.process.communicate()


class UnprivilegedUser:
    """An unprivileged user made for one test, with a home of its own: screen savers and lockers
    start no hacks as root, and lock the session of whoever runs them. Removed by the test's
    cleanups, after every process it ran has ended."""

    def __init__(self, test, password=None):
        self.name = "lrsaver%d" % os.getpid()
        subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin",
                        self.name], check=True, timeout=60)
        test.addCleanup(subprocess.run, ["userdel", self.name], timeout=60)
        self.account = pwd.getpwnam(self.name)
        # Whatever the user's programs left behind (a locker's helpers after a failed test)
        # ends before the user is removed.
        test.addCleanup(self.end_processes)
        if password:
            subprocess.run(["chpasswd"], input="%s:%s" % (self.name, password), text=True,
                           check=True, timeout=60)
        # Outside the build tree, which the user may not be able to reach.
        self.home = tempfile.mkdtemp(prefix="lr-home-")
        test.addCleanup(shutil.rmtree, self.home, True)
        os.chmod(self.home, 0o755)
        os.chown(self.home, self.account.pw_uid, self.account.pw_gid)

    def write(self, relative, text):
        """A file in the user's home, with the folders on its way, all owned by the user."""
        path = os.path.join(self.home, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(text)
        for folder, _, files in os.walk(self.home):
            for name in [folder] + [os.path.join(folder, f) for f in files]:
                os.chown(name, self.account.pw_uid, self.account.pw_gid)
        return path

    def run_as(self, server, *args, env=None, **kwargs):
        """Keyword arguments of subprocess.run or Popen running args as the user on server,
        with a plain environment and env added to it."""
        base = {"PATH": "/usr/bin:/bin", "HOME": self.home, "USER": self.name,
                "LOGNAME": self.name}
        return dict(args=list(args), env=server.env(dict(base, **(env or {}))), cwd=self.home,
                    user=self.account.pw_uid, group=self.account.pw_gid, extra_groups=[],
                    **kwargs)

    def processes(self, program=None):
        """Ids of the user's processes (running the program at that path, when given)."""
        found = []
        for entry in os.listdir("/proc"):
            try:
                if not entry.isdigit() or os.stat("/proc/" + entry).st_uid != self.account.pw_uid:
                    continue
                if program is None or os.readlink("/proc/%s/exe" % entry) == program:
                    found.append(int(entry))
            except OSError:  # it ended while we looked
                pass
        return found

    def end_processes(self):
        for pid in self.processes():
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        wait_for(lambda: not self.processes(), what="the test user's programs to end")


class LinuxTestCase(unittest.TestCase):
    def setUp(self):
        os.makedirs(WORK_DIR, exist_ok=True)
        self.assertTrue(os.access(PROGRAM, os.X_OK), "build lumen-ribbon first: " + PROGRAM)

    def assert_lit(self, picture, minimum=0.05):
        self.assertGreater(lit_fraction(picture), minimum)
        self.assertGreaterEqual(colour_spread(picture), 2)

    def wait_for_bands(self, server, name, areas=None):
        """Waits for the animation on the screen (in each of the areas, when given), a moment
        with several hues lit (the colours pulse); the last screenshot is kept as name in
        $LR_SCREENSHOT_DIR, when that is set."""
        shot_dir = os.environ.get("LR_SCREENSHOT_DIR")
        path = os.path.join(shot_dir, name) if shot_dir else None

        def animated():
            picture = server.screenshot(save_as=path)
            return all(lit_fraction(part) > 0.05 and colour_spread(part) >= 2
                       for part in ([Part(picture, a) for a in areas] if areas else [picture]))
        wait_for(animated, timeout=30, what="the animation on the screen")

    def assert_black(self, picture):
        # The measures must fail on a black screen, or they prove nothing.
        self.assertLess(lit_fraction(picture), 0.01)
        self.assertEqual(colour_spread(picture), 0)

    def end_with(self, program, how, timeout=15):
        start = time.monotonic()
        how()
        code = program.wait(timeout)
        return code, time.monotonic() - start


def signal_name(number):
    return signal.Signals(number).name
