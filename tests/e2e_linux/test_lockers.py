"""The installed package's saver under the screen lockers besides XScreenSaver that run hacks:
xsecurelock and MATE's screensaver, each run by an unprivileged user on a private server
without a desktop session. Runs as root: it installs the package and creates the user."""

import os
import subprocess
import unittest

from linux_harness import WORK_DIR, LinuxTestCase, UnprivilegedUser, XServer, wait_for
from test_deb import install_for

HACK = "/usr/libexec/xscreensaver/lumen-ribbon"
PASSWORD = "ribbon-Pass-42"
# MATE's screensaver reads GSettings; the keyfile backend keeps them in the user's home, so no
# settings daemon is needed. Without the lock, --deactivate ends the saver with no password.
MATE_SETTINGS = """[org/mate/screensaver]
mode='single'
themes=['screensavers-lumen-ribbon']
lock-enabled=false
"""


@unittest.skipUnless(os.geteuid() == 0, "installs the package and creates a user, so as root")
class Lockers(LinuxTestCase):
    @classmethod
    def setUpClass(cls):
        install_for(cls)

    def setUp(self):
        super().setUp()
        self.user = UnprivilegedUser(self, password=PASSWORD)

    def start(self, server, *args, env=None):
        """A program run as the user, logging into its home; ended after the test by its id."""
        log = open(os.path.join(self.user.home, os.path.basename(args[0]) + ".log"), "w")
        self.addCleanup(log.close)
        process = subprocess.Popen(**self.user.run_as(server, *args, env=env, stdout=log,
                                                      stderr=subprocess.STDOUT))

        def end():
            if process.poll() is None:
                process.terminate()
                process.wait(timeout=30)
        self.addCleanup(end)
        return process

    def wait_for_saver(self, server, screenshot):
        """The packaged hack, one copy run by the locker, draws its bands on the screen."""
        (_,) = wait_for(lambda: self.user.processes(HACK), what="the packaged saver")
        self.wait_for_bands(server, screenshot)

    def test_xsecurelock_runs_the_saver_by_its_name_until_the_user_unlocks(self):
        with XServer(WORK_DIR, kind="xvfb", size=(1024, 768)) as server:
            self.assert_black(server.screenshot())
            locker = self.start(server, "xsecurelock",
                                env={"XSECURELOCK_SAVER": "saver_lumen-ribbon"})
            self.wait_for_saver(server, "xsecurelock.png")
            # A key brings up the password prompt over the saver; the user's password unlocks.
            server.run("xdotool", "key", "space")
            wait_for(lambda: subprocess.run(["pgrep", "-u", self.user.name, "-x", "auth_x11"],
                                            capture_output=True).returncode == 0,
                     what="the password prompt")
            server.run("xdotool", "type", "--delay", "20", PASSWORD)
            server.run("xdotool", "key", "Return")
            self.assertEqual(locker.wait(timeout=30), 0)  # unlocked, not failed
            wait_for(lambda: not self.user.processes(HACK), what="the saver to end")

    def test_mate_screensaver_runs_the_saver_from_its_entry(self):
        self.user.write(".config/glib-2.0/settings/keyfile", MATE_SETTINGS)
        with XServer(WORK_DIR, kind="xvfb", size=(1024, 768)) as server:
            bus = subprocess.Popen(**self.user.run_as(
                server, "dbus-daemon", "--session", "--nofork", "--print-address=1",
                stdout=subprocess.PIPE, text=True))
            self.addCleanup(bus.stdout.close)
            self.addCleanup(bus.wait, timeout=30)
            self.addCleanup(bus.terminate)
            env = {"DBUS_SESSION_BUS_ADDRESS": bus.stdout.readline().strip(),
                   "GSETTINGS_BACKEND": "keyfile", "XDG_CURRENT_DESKTOP": "MATE",
                   "NO_AT_BRIDGE": "1"}
            self.start(server, "mate-screensaver", "--no-daemon", env=env)

            def command(*args):
                return subprocess.run(**self.user.run_as(server, *args, env=env,
                                                         capture_output=True, timeout=30))
            # Commands sent before it owns its name would start another one through the bus.
            wait_for(lambda: "true" in command(
                "dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
                "org.freedesktop.DBus.NameHasOwner", "string:org.mate.ScreenSaver").stdout.decode(),
                what="the screensaver on the session bus")
            self.assertEqual(command("mate-screensaver-command", "--activate").returncode, 0)
            self.wait_for_saver(server, "mate-screensaver.png")
            self.assertEqual(command("mate-screensaver-command", "--deactivate").returncode, 0)
            wait_for(lambda: not self.user.processes(HACK), what="the saver to end")


if __name__ == "__main__":
    unittest.main()
