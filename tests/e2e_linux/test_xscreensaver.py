"""lumen-ribbon as the only hack of the real XScreenSaver daemon, run as an unprivileged user
(the daemon starts no hacks as root)."""

import os
import pwd
import shutil
import subprocess
import tempfile
import unittest

from linux_harness import (PROGRAM, WORK_DIR, LinuxTestCase, Part, XServer, colour_spread,
                           lit_fraction, wait_for)

SETTINGS = """mode: one
selected: 0
timeout: 0:30:00
lock: False
splash: False
fade: False
unfade: False
programs: GL: {hack} --root \\n\\
"""


def animated(picture):
    return lit_fraction(picture) > 0.05 and colour_spread(picture) >= 2


@unittest.skipUnless(os.geteuid() == 0, "creates a user, so it runs as root")
class XScreenSaverDaemon(LinuxTestCase):
    def setUp(self):
        super().setUp()
        self.user = "lrsaver%d" % os.getpid()
        subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin",
                        self.user], check=True, timeout=60)
        self.addCleanup(subprocess.run, ["userdel", self.user], timeout=60)
        self.account = pwd.getpwnam(self.user)
        # A home the user owns, holding the settings and a copy of the hack it can run,
        # outside the build tree, which the user may not be able to reach.
        self.home = tempfile.mkdtemp(prefix="lr-xss-home-")
        self.addCleanup(shutil.rmtree, self.home, True)
        os.chmod(self.home, 0o755)
        self.hack = os.path.join(self.home, "lumen-ribbon")
        shutil.copy(PROGRAM, self.hack)
        with open(os.path.join(self.home, ".xscreensaver"), "w") as f:
            f.write(SETTINGS.format(hack=self.hack))
        for path in (self.home, self.hack, os.path.join(self.home, ".xscreensaver")):
            os.chown(path, self.account.pw_uid, self.account.pw_gid)

    def as_user(self, server, *args, **kwargs):
        env = server.env({"PATH": "/usr/bin:/bin", "HOME": self.home, "USER": self.user,
                          "LOGNAME": self.user})
        return dict(args=list(args), env=env, cwd=self.home, user=self.account.pw_uid,
                    group=self.account.pw_gid, extra_groups=[], **kwargs)

    def hack_processes(self):
        found = subprocess.run(["pgrep", "-u", str(self.account.pw_uid), "-x", "lumen-ribbon"],
                               capture_output=True, text=True)
        return found.stdout.split()

    def run_daemon(self, server, shown, picture_name):
        """The daemon activated on the server until shown(screenshot) holds, then deactivated;
        the number of hacks it started."""
        with open(os.path.join(self.home, "daemon.log"), "w") as log:
            daemon = subprocess.Popen(**self.as_user(server, "xscreensaver", "-no-splash",
                                                     "-verbose", stdout=log,
                                                     stderr=subprocess.STDOUT))
        try:
            # The daemon answers commands once it has set itself up.
            wait_for(lambda: subprocess.run(**self.as_user(
                server, "xscreensaver-command", "-activate", capture_output=True,
                timeout=30)).returncode == 0, what="the daemon to take commands")
            wait_for(self.hack_processes, what="the hack to start")

            def animated():
                shot_dir = os.environ.get("LR_SCREENSHOT_DIR")
                path = os.path.join(shot_dir, picture_name) if shot_dir else None
                return shown(server.screenshot(save_as=path))
            # The colours pulse: wait for a moment with several hues lit.
            wait_for(animated, timeout=30, what="the animation on the screen")
            hacks = len(self.hack_processes())

            subprocess.run(**self.as_user(server, "xscreensaver-command", "-deactivate",
                                          capture_output=True, timeout=30, check=True))
            wait_for(lambda: not self.hack_processes(), what="the hack to end")
            return hacks
        finally:
            daemon.terminate()
            daemon.wait(timeout=30)

    def test_daemon_runs_the_hack_and_ends_it(self):
        with XServer(WORK_DIR, kind="xvfb", size=(1024, 768)) as server:
            self.assert_black(server.screenshot())
            self.run_daemon(server, animated, "xscreensaver.png")

    def test_bands_on_both_monitors_of_a_two_monitor_screen(self):
        with XServer(WORK_DIR, kind="xorg", size=(1280, 1024), modes=[(1280, 1024), (1024, 768)],
                     second_monitor=(1024, 768)) as server:
            areas = [(0, 0, 1280, 1024), (1280, 0, 2304, 768)]
            for area in areas:
                self.assert_black(Part(server.screenshot(), area))
            hacks = self.run_daemon(
                server, lambda picture: all(animated(Part(picture, a)) for a in areas),
                "xscreensaver-two-monitors.png")
            print("\n%d hacks for two monitors" % hacks)

if __name__ == "__main__":
    unittest.main()
