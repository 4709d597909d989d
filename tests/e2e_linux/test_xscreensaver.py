"""lumen-ribbon as the only hack of the real XScreenSaver daemon, run as an unprivileged user
(the daemon starts no hacks as root)."""

import os
import shutil
import subprocess
import unittest

from linux_harness import (PROGRAM, WORK_DIR, LinuxTestCase, Part, UnprivilegedUser, XServer,
                           wait_for)

SETTINGS = """mode: one
selected: 0
timeout: 0:30:00
lock: False
splash: False
fade: False
unfade: False
programs: GL: {hack} --root \\n\\
"""


@unittest.skipUnless(os.geteuid() == 0, "creates a user, so it runs as root")
class XScreenSaverDaemon(LinuxTestCase):
    def setUp(self):
        super().setUp()
        self.user = UnprivilegedUser(self)
        # A copy of the hack the user can run, outside the build tree.
        self.hack = os.path.join(self.user.home, "lumen-ribbon")
        shutil.copy(PROGRAM, self.hack)
        self.user.write(".xscreensaver", SETTINGS.format(hack=self.hack))

    def hack_processes(self):
        return self.user.processes(self.hack)

    def run_daemon(self, server, picture_name, areas=None):
        """The daemon activated on the server until the bands show (in each area, when given),
        then deactivated; the number of hacks it started."""
        with open(os.path.join(self.user.home, "daemon.log"), "w") as log:
            daemon = subprocess.Popen(**self.user.run_as(
                server, "xscreensaver", "-no-splash", "-verbose", stdout=log,
                stderr=subprocess.STDOUT))
        try:
            # The daemon answers commands once it has set itself up.
            wait_for(lambda: subprocess.run(**self.user.run_as(
                server, "xscreensaver-command", "-activate", capture_output=True,
                timeout=30)).returncode == 0, what="the daemon to take commands")
            wait_for(self.hack_processes, what="the hack to start")
            self.wait_for_bands(server, picture_name, areas)
            hacks = len(self.hack_processes())

            subprocess.run(**self.user.run_as(server, "xscreensaver-command", "-deactivate",
                                              capture_output=True, timeout=30, check=True))
            wait_for(lambda: not self.hack_processes(), what="the hack to end")
            return hacks
        finally:
            daemon.terminate()
            daemon.wait(timeout=30)

    def test_daemon_runs_the_hack_and_ends_it(self):
        with XServer(WORK_DIR, kind="xvfb", size=(1024, 768)) as server:
            self.assert_black(server.screenshot())
            self.run_daemon(server, "xscreensaver.png")

    def test_bands_on_both_monitors_of_a_two_monitor_screen(self):
        with XServer(WORK_DIR, kind="xorg", size=(1280, 1024), modes=[(1280, 1024), (1024, 768)],
                     second_monitor=(1024, 768)) as server:
            areas = [(0, 0, 1280, 1024), (1280, 0, 2304, 768)]
            for area in areas:
                self.assert_black(Part(server.screenshot(), area))
            hacks = self.run_daemon(server, "xscreensaver-two-monitors.png", areas)
            print("\n%d hacks for two monitors" % hacks)


if __name__ == "__main__":
    unittest.main()
