"""Two monitors of different sizes on the dummy Xorg server: the run draws on the primary one and
covers the other in black, follows it when it goes and comes, and leaves the desktop and the
layout as they were on every way out; the settings dialog opens on the primary monitor."""

import os
import shutil
import signal
import tempfile
import time
import unittest

from linux_harness import (TITLE, WORK_DIR, Client, LinuxTestCase, Part, Program, XServer,
                           colour_spread, lit_fraction, wait_for)
from test_host import DIALOG, HOST, Host
from test_standalone import ORIGINAL, SWITCHED

from Xlib import X
from Xlib.ext import damage

SECOND = (1024, 768)
# Where the monitors show on the screen during the run: the primary one switched, the second
# one where it was, right of the primary one's original width.
PRIMARY_AREA = (0, 0) + SWITCHED
SECOND_AREA = (ORIGINAL[0], 0, ORIGINAL[0] + SECOND[0], SECOND[1])


def white_window(client, width, height):
    """A bright window over the whole screen, beneath whatever the run puts up."""
    screen = client.d.screen()
    window = client.root.create_window(0, 0, width, height, 0, screen.root_depth, X.InputOutput,
                                       X.CopyFromParent, background_pixel=screen.white_pixel)
    window.map()
    client.d.sync()
    return window


def covers(client):
    """(x, y, width, height) of the mapped override-redirect windows other than the run's own."""
    found = []
    for child in client.root.query_tree().children:
        try:
            attributes = child.get_attributes()
            if (attributes.override_redirect and attributes.map_state == X.IsViewable and
                    child.get_wm_name() != TITLE):
                g = child.get_geometry()
                found.append((g.x, g.y, g.width, g.height))
        except Exception:  # the window went while we looked
            pass
    return sorted(found)


class TwoMonitors(LinuxTestCase):
    @classmethod
    def setUpClass(cls):
        os.makedirs(WORK_DIR, exist_ok=True)
        cls.server = XServer(WORK_DIR, kind="xorg", size=ORIGINAL, modes=[ORIGINAL, SWITCHED],
                             second_monitor=SECOND).__enter__()
        cls.client = Client(cls.server)
        cls.layout = cls.server.monitors()
        cls.desktop = white_window(cls.client, ORIGINAL[0] + SECOND[0], ORIGINAL[1])

    @classmethod
    def tearDownClass(cls):
        cls.client.close()
        cls.server.__exit__(None, None, None)

    def shot(self):
        return self.server.screenshot()

    def bands_and_black(self):
        """True once the primary monitor shows the bands and the second one only black."""
        picture = self.shot()
        primary, second = Part(picture, PRIMARY_AREA), Part(picture, SECOND_AREA)
        return (lit_fraction(primary) > 0.05 and colour_spread(primary) >= 2 and
                lit_fraction(second) == 0)

    def assert_desktop_back(self, areas=(PRIMARY_AREA, SECOND_AREA)):
        self.assertEqual(self.server.monitors(), self.layout)
        self.assertEqual(covers(self.client), [])
        picture = self.shot()
        for area in areas:
            self.assertTrue(all(p == (255, 255, 255) for p in Part(picture, area).pixels(8)),
                            area)

    def start_full_screen(self):
        self.client.wait_window()
        wait_for(lambda: self.server.mode() == SWITCHED, what="the switch")
        wait_for(self.bands_and_black, what="bands on the primary monitor, black on the other")
        self.assertEqual(covers(self.client), [(ORIGINAL[0], 0) + SECOND])

    def test_the_other_monitor_is_black_and_escape_over_it_ends_the_run(self):
        self.assertEqual(len(self.layout), 2)
        self.assert_desktop_back()
        with Program(self.server) as program:
            self.start_full_screen()
            self.server.run("xdotool", "mousemove", "1800", "400")
            self.assertTrue(self.client.cursor_hidden())
            # A click there ends nothing, as on the run's own window.
            self.server.run("xdotool", "click", "1")
            # With the focus following the pointer, a tap of Escape reaches the cover itself.
            self.client.d.set_input_focus(X.PointerRoot, X.RevertToPointerRoot, X.CurrentTime)
            self.client.d.sync()
            time.sleep(0.3)
            self.assertIsNone(program.process.poll())
            self.server.run("xdotool", "key", "--delay", "0", "Escape")
            self.assertEqual(program.wait(), 0)
        self.assertEqual(self.server.mode(), ORIGINAL)
        self.assert_desktop_back()

    def test_toggle_sigterm_and_a_killed_renderer_leave_the_desktop(self):
        with Program(self.server) as program:
            window = self.client.wait_window()
            self.start_full_screen()
            # Windowed, the other monitor shows the desktop again; full screen covers it anew.
            self.client.send_client_message(window, "LUMEN_RIBBON_MODE_SWITCH")
            windowed = self.client.wait_window(other_than=[window.id])
            wait_for(lambda: self.server.mode() == ORIGINAL, what="windowed mode")
            self.assert_desktop_back(areas=[SECOND_AREA])  # the window lies on the primary one
            self.client.send_client_message(windowed, "LUMEN_RIBBON_MODE_SWITCH")
            self.client.wait_window(other_than=[window.id, windowed.id])
            self.start_full_screen()
            program.signal(signal.SIGTERM)
            self.assertEqual(program.wait(), 0)
        self.assert_desktop_back()

        config = os.path.join(WORK_DIR, "monitors-config-%d" % os.getpid())
        self.assertTrue(os.access(HOST, os.X_OK), "build lumen-ribbon-host first: " + HOST)
        with Host(self.server, config, "--run") as host:
            self.start_full_screen()
            (renderer_pid,) = host.children()
            os.kill(renderer_pid, signal.SIGKILL)
            self.assertEqual(host.wait(), 0)
        self.assertEqual(self.server.mode(), ORIGINAL)
        self.assert_desktop_back()

    def test_a_monitor_removed_during_the_run_loses_its_cover_and_one_added_gets_one(self):
        with Program(self.server) as program:
            self.start_full_screen()
            self.server.remove_monitor("DUMMY1")
            wait_for(lambda: covers(self.client) == [], what="the cover gone with its monitor")
            self.server.add_monitor("DUMMY1", SECOND, right_of="DUMMY0")
            wait_for(lambda: covers(self.client) == [(SWITCHED[0], 0) + SECOND],
                     what="a cover over the monitor added")
            program.signal(signal.SIGTERM)
            self.assertEqual(program.wait(), 0)
        self.assertEqual(self.server.mode(), ORIGINAL)
        # Put back where the layout had it, for the cases after this one.
        self.server.add_monitor("DUMMY1", SECOND, right_of="DUMMY0")
        self.assert_desktop_back()

    def zoom_rectangles(self, open_dialog):
        """The root's damaged rectangles while open_dialog() runs and a second after: the
        zoom's outlines are drawn on the root, over everything."""
        watcher = Client(self.server)
        try:
            watcher.d.damage_query_version()
            watcher.root.damage_create(damage.DamageReportRawRectangles)
            watcher.d.sync()
            result = open_dialog()
            seen, deadline = [], time.monotonic() + 1
            while time.monotonic() < deadline:
                while watcher.d.pending_events():
                    event = watcher.d.next_event()
                    area = getattr(event, "area", None)
                    if area is not None:
                        seen.append((area.x, area.y, area.width, area.height))
                time.sleep(0.02)
            return result, seen
        finally:
            watcher.close()

    def test_the_dialog_opens_on_the_primary_monitor_and_zooms_from_the_pointer(self):
        config = tempfile.mkdtemp(prefix="config-", dir=WORK_DIR)
        self.addCleanup(shutil.rmtree, config, True)
        self.addCleanup(self.server.run, "xrandr", "--output", "DUMMY0", "--primary")
        self.assertTrue(os.access(HOST, os.X_OK), "build lumen-ribbon-host first: " + HOST)
        # Centred across the primary monitor, a third of its free height down: 479 x 252 on
        # 1280 x 1024 at (0, 0), then on 1024 x 768 at (1280, 0).
        for primary, place in (("DUMMY0", (400, 257)), ("DUMMY1", (1280 + 272, 172))):
            self.server.run("xrandr", "--output", primary, "--primary")
            # The pointer on the other monitor: the zoom starts where it is.
            pointer = (1800, 600) if primary == "DUMMY0" else (600, 900)
            self.server.run("xdotool", "mousemove", *map(str, pointer))

            def open_dialog():
                host = Host(self.server, config, "--settings")
                return host, self.client.wait_window(DIALOG)
            (host, window), damaged = self.zoom_rectangles(open_dialog)
            with host:
                at = window.translate_coords(self.client.root, 0, 0)
                self.assertEqual((-at.x, -at.y), place, primary)
                self.assertTrue(any(x <= pointer[0] <= x + w and y <= pointer[1] <= y + h
                                    and w < 10 and h < 10 for x, y, w, h in damaged),
                                (primary, damaged[:20]))
                self.client.close_window(window)
                self.assertEqual(host.wait(), 0)


if __name__ == "__main__":
    unittest.main()
