"""Real window managers from the distribution, started on a private X server for end-to-end
tests, native or under Wine.

openbox reparents each client into one frame and speaks EWMH. kwin_x11 keeps each client in a
wrapper inside its frame and composites through OpenGL (llvmpipe on the test servers). Each
manager gets a home of its own, so that no setting of the machine's user reaches it, and is
ended by its own process id.
"""

import ctypes
import ctypes.util
import os
import shutil
import subprocess
import tempfile
import time

from e2e_support.xservers import end_process

COMMANDS = {
    "openbox": ["openbox", "--sm-disable"],
    "kwin_x11": ["kwin_x11", "--replace"],
}


def selection_owner(display, selection):
    """The window owning a selection on the display, 0 for none (through Xlib itself: no
    command-line tool asks for it)."""
    xlib = ctypes.CDLL(ctypes.util.find_library("X11"))
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XGetSelectionOwner.restype = ctypes.c_ulong
    xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = xlib.XOpenDisplay(display.encode())
    if not connection:
        return 0
    try:
        atom = xlib.XInternAtom(connection, selection.encode(), 0)
        return xlib.XGetSelectionOwner(connection, atom)
    finally:
        xlib.XCloseDisplay(connection)


def available(name):
    return shutil.which(COMMANDS[name][0]) is not None


class WindowManager:
    """A window manager on `server` (an xservers.XServer) as a context manager, running once
    it has claimed the screen (and, where it composites, the compositing selection)."""

    def __init__(self, server, name, work_dir, timeout=30):
        self.server, self.name, self.timeout = server, name, timeout
        self.home = tempfile.mkdtemp(prefix="wm-", dir=work_dir)
        self.process = None

    def env(self):
        runtime = os.path.join(self.home, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env = {k: v for k, v in self.server.env().items()
               if not k.startswith(("XDG_", "DBUS_", "WAYLAND_", "KDE", "QT_"))}
        env.update(HOME=self.home, XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   XDG_CACHE_HOME=os.path.join(self.home, "cache"),
                   XDG_DATA_HOME=os.path.join(self.home, "data"),
                   QT_QPA_PLATFORM="xcb", KWIN_COMPOSE="O2")
        return env

    def __enter__(self):
        with open(os.path.join(self.home, "log"), "w") as log:
            self.process = subprocess.Popen(COMMANDS[self.name], env=self.env(),
                                            stdin=subprocess.DEVNULL, stdout=log,
                                            stderr=subprocess.STDOUT, start_new_session=True)
        self.started = time.monotonic()
        deadline = self.started + self.timeout
        while not self.running():
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.__exit__(None, None, None)
                raise RuntimeError("%s did not start on %s" % (self.name, self.server.display))
            time.sleep(0.1)
        self.startup_seconds = time.monotonic() - self.started
        return self

    def running(self):
        """True once the manager has published its check window (and its compositor runs)."""
        out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                             env=self.server.env(), capture_output=True, text=True).stdout
        return "window id" in out and (not self.composites() or self.compositing())

    def composites(self):
        return self.name == "kwin_x11"

    def compositing(self):
        """True while a compositor owns the screen's compositing selection."""
        return selection_owner(self.server.display, "_NET_WM_CM_S0") != 0

    def __exit__(self, *exc):
        end_process(self.process, timeout=15)
        shutil.rmtree(self.home, ignore_errors=True)
