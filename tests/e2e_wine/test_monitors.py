"""A full-screen run on a desk of two monitors of different sizes: an Xorg server whose dummy
driver drives DUMMY0 (1280x1024, primary) and DUMMY1 (1024x768, right of it). The primary
monitor shows the bands at 1024x768; the other one is black, over a bright window left on it;
input over it counts as the run's; the covers follow the layout and leave with the full screen;
the settings dialog opens on the primary monitor.

Wine tells its programs nothing of monitors added or removed on the X server (no
WM_DISPLAYCHANGE), and where the mode switch puts the second monitor (beside the switched one,
or where it was) differs from run to run; the tests take the layout Wine and the server report.
What cannot be seen here: real monitors' power and timing, per-monitor DPI, the pointer's
shape (screenshots do not hold it), and the dialog's zoom, which Wine does not draw."""

import re
import subprocess
import time
import unittest

from harness import (E2E_DIR, MODE_SWITCH, VK_ESCAPE, WM_CLOSE, Session, WineTestCase, rect_of,
                     wait_exit)
from test_saver_run import DIALOG_TITLE, RENDERER_TITLE, host_probe, start_host, wait_for
from e2e_support.pictures import colour_spread, lit_fraction
from e2e_support.xservers import XServer

DESKTOP = (1280, 1024)
SAVER = (1024, 768)
SECOND = (1024, 768)
COVER_CLASS = "Lumen_Ribbon_Cover"
WS_EX_TOPMOST = 0x8
# The bright window on the second monitor, where that monitor is before the run.
BRIGHT = (1280, 0, 1280 + SECOND[0], SECOND[1])


class Region:
    """A box of a screenshot, judged as a picture of its own."""

    def __init__(self, picture, box):
        self.picture, self.box = picture, box

    def pixels(self, step=1):
        return self.picture.pixels(step, self.box)


def overlap(a, b):
    box = (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))
    return box if box[0] < box[2] and box[1] < box[3] else None


class MonitorsTest(WineTestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.server = XServer(E2E_DIR, kind="xorg", size=DESKTOP, modes=[DESKTOP, SAVER],
                             second_monitor=SECOND).__enter__()
        cls.session = Session(server=cls.server).__enter__()
        cls.layout = cls.server.monitors()
        # Both monitors reach the programs, the primary one at the origin.
        seen = cls.session.probe("monitors")
        assert (seen["count"], seen["system_count"], seen["primary"]) == (
            "2", "2", "0,0,%d,%d" % DESKTOP), seen
        cls.folder = cls.session.app_folder("monitors")
        # A plain white X window over the second monitor, below everything the run opens.
        cls.bright = subprocess.Popen(
            ["xmessage", "-geometry", "%dx%d+%d+%d" % (SECOND + BRIGHT[:2]), "-bg", "white",
             "-fg", "white", "-xrm", "*background: white", "-xrm", "*borderWidth: 0", " "],
            env=cls.server.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @classmethod
    def tearDownClass(cls):
        cls.bright.kill()
        cls.bright.wait()
        cls.session.__exit__(None, None, None)
        cls.server.__exit__(None, None, None)

    def tearDown(self):
        # After a failure, what is left of a run goes, and the desk is put back as it was.
        window = self.session.find_window(RENDERER_TITLE, "OpenGL")
        if window:
            host_probe(self.session, "kill", window["pid"])
        for process in self.session.processes:
            if wait_exit(process, 10) is None:
                process.kill()
        if self.server.monitors() != self.layout:
            self.server.run("xrandr", "--output", "DUMMY0", "--mode", "%dx%d" % DESKTOP)
            self.server.add_monitor("DUMMY1", SECOND, right_of="DUMMY0")

    def covers(self):
        """The visible covers: (hwnd, rectangle, extended style) each."""
        listed = self.session.probe("windows", COVER_CLASS)
        found = []
        for index in range(int(listed.get("count", 0))):
            hwnd, *rest = listed["window_%d" % index].split(",")
            found.append((hwnd, tuple(int(v) for v in rest[:4]), int(rest[4], 16)))
        return found

    def other_monitors(self):
        """The monitors as the server has them now, but the primary one, as rectangles."""
        found = []
        for line in self.server.monitors():
            if "*" in line:
                continue
            w, h, x, y = re.search(r"(\d+)/\d+x(\d+)/\d+\+(-?\d+)\+(-?\d+)", line).groups()
            found.append((int(x), int(y), int(x) + int(w), int(y) + int(h)))
        return found

    def wait_covers_over(self, monitors, what):
        """Until exactly the given monitors are covered, as the system places them."""
        def covered():
            return sorted(rect for _, rect, _ in self.covers()) == sorted(monitors)
        self.assertTrue(wait_for(covered, 15), "%s: covers %s, monitors %s" %
                        (what, self.covers(), monitors))
        return self.covers()

    def start_run(self):
        host = start_host(self.session, self.folder, "/s")
        renderer = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assertIsNotNone(renderer)
        self.assertTrue(wait_for(lambda: self.server.mode() == SAVER, 15), self.server.mode())
        self.assertEqual(rect_of(renderer), (0, 0) + SAVER)
        others = self.other_monitors()
        self.assertEqual(len(others), 1, self.server.monitors())
        covers = self.wait_covers_over(others, "full screen")
        self.assertTrue(covers[0][2] & WS_EX_TOPMOST, hex(covers[0][2]))
        return host, renderer, others[0]

    def assert_second_monitor(self, lit, what, monitor=BRIGHT):
        box = overlap(monitor, BRIGHT)
        self.assertIsNotNone(box, "the bright window is off the second monitor %s" % (monitor,))
        region = Region(self.server.screenshot(), box)
        if lit:
            self.assertGreater(lit_fraction(region, threshold=200), 0.99, what)
        else:
            self.assertEqual(lit_fraction(region, step=8), 0, what)

    def assert_desktop_back(self, what):
        self.assertTrue(wait_for(lambda: self.server.monitors() == self.layout, 15),
                        "%s: %s" % (what, self.server.monitors()))
        self.assertEqual(self.server.mode(), DESKTOP, what)
        self.assertEqual(self.covers(), [], what)
        self.assert_second_monitor(True, what)

    def foreground(self):
        return self.session.probe("windows", COVER_CLASS)["foreground_title"]

    def test_other_monitor_is_black_and_input_over_it_counts_as_the_run_s(self):
        # The measure must see the bright window, or its black proves nothing.
        self.assert_second_monitor(True, "before the run")
        host, renderer, second = self.start_run()
        # The bands change their hues as they swing (for a while they are all green).
        def bands():
            primary = Region(self.server.screenshot(), (0, 0) + SAVER)
            return lit_fraction(primary) > 0.05 and colour_spread(primary) >= 2
        self.assertTrue(wait_for(bands, 15), "no bands in several hues on the primary monitor")
        self.assert_second_monitor(False, "during the run", second)
        self.assertEqual(self.foreground(), RENDERER_TITLE)

        # A click over the cover leaves the run's window in front; Escape typed with the
        # pointer there ends the run.
        centre = ((second[0] + second[2]) // 2, (second[1] + second[3]) // 2)
        self.server.run("xdotool", "mousemove", *map(str, centre), "click", "1")
        time.sleep(0.5)
        self.assertEqual(self.foreground(), RENDERER_TITLE)
        self.assertIsNone(host.poll())
        self.server.run("xdotool", "key", "Escape")
        self.assertEqual(wait_exit(host, 15), 0)
        self.assert_desktop_back("after Escape")

        # A key that reaches a cover itself is handled as the run's window's.
        host, renderer, second = self.start_run()
        cover = self.covers()[0][0]
        self.session.hold_key(cover, VK_ESCAPE, hold_ms=0)
        self.assertEqual(wait_exit(host, 15), 0)
        self.assert_desktop_back("after Escape sent to the cover")

    def test_covers_follow_the_layout_and_leave_with_the_full_screen(self):
        host, renderer, second = self.start_run()

        # Windowed, the run shows the desktop on both monitors in their own modes; back in
        # full screen the other monitor is covered again.
        self.session.post(renderer["hwnd"], MODE_SWITCH)
        self.assert_desktop_back("in windowed mode")
        window = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.session.post(window["hwnd"], MODE_SWITCH)
        self.assertTrue(wait_for(lambda: self.server.mode() == SAVER, 15))
        self.wait_covers_over(self.other_monitors(), "back in full screen")

        # A monitor unplugged during the run loses its cover; plugged in again, it gets one.
        self.server.remove_monitor("DUMMY1")
        self.wait_covers_over([], "second monitor removed")
        self.server.add_monitor("DUMMY1", SECOND, right_of="DUMMY0")
        self.wait_covers_over(self.other_monitors(), "second monitor back")
        self.assertIsNone(host.poll(), "the run goes on through the changes")

        # Killed, the renderer restores nothing: its covers go with it, the host puts the
        # mode back.
        window = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assertEqual(host_probe(self.session, "kill", window["pid"])["killed"], "1")
        self.assertEqual(wait_exit(host, 15), 0)
        self.assert_desktop_back("after the renderer was killed")

    def test_dialog_opens_on_the_primary_monitor(self):
        # Opened from the second monitor, the dialog still sits on the primary one: centred
        # across it, a third of the free height down (whole twips, truncated).
        self.server.run("xdotool", "mousemove", "1700", "300")
        host = start_host(self.session, self.folder, "/c")
        self.assertTrue(wait_for(lambda: (self.session.find_window(DIALOG_TITLE) or {})
                                 .get("visible") == "1", 30))
        dialog = self.session.find_window(DIALOG_TITLE)
        left, top, right, bottom = rect_of(dialog)
        width, height = right - left, bottom - top
        self.assertAlmostEqual(left, (DESKTOP[0] - width) * 15 // 2 / 15, delta=1)
        self.assertAlmostEqual(top, (DESKTOP[1] - height) * 15 // 3 / 15, delta=1)
        self.session.post(dialog["hwnd"], WM_CLOSE)
        self.assertEqual(wait_exit(host, 15), 0)


if __name__ == "__main__":
    unittest.main()
