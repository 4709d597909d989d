"""The native renderer and host under real window managers, on the dummy Xorg server whose mode
really switches: openbox (one frame per client) and kwin_x11 (a wrapper in a frame, and an
OpenGL compositor). The full-screen window covers the output above a window mapped after it
and has the keyboard; the toggle goes through the manager's frames and back; the run outlives
the nesting; one dialog stays; the mode comes back on Escape, a close and a killed renderer."""

import os
import signal
import time
import unittest

from linux_harness import TITLE, WORK_DIR, Client, Program, XServer, wait_for
from test_host import DIALOG, Host, HostTestCase
from test_standalone import ORIGINAL, SWITCHED
from e2e_support.window_managers import WindowManager, available

from Xlib import X, Xutil

# A window mapped over the run: its place, and a background colour the bands hardly ever give.
MARKED = (312, 234, 400, 300)
MARK = (0x12, 0x34, 0x56)


def find_client(client, title, other_than=()):
    """A viewable window of that title at any depth, as managers nest their clients."""
    def search(window):
        for child in window.query_tree().children:
            try:
                if (child.id not in other_than and child.get_wm_name() == title and
                        child.get_attributes().map_state == X.IsViewable):
                    return child
                found = search(child)
            except Exception:  # the window went while we looked
                continue
            if found:
                return found
        return None
    return wait_for(lambda: search(client.root), what="a window titled " + title)


def top_level(client, window):
    """The root's child holding the window (the manager's frame, or the window itself)."""
    while True:
        parent = window.query_tree().parent
        if parent == client.root:
            return window
        window = parent


def area(client, window):
    place = window.translate_coords(client.root, 0, 0)
    geometry = window.get_geometry()
    return (-place.x, -place.y, geometry.width, geometry.height)


def focused(client, window):
    return client.d.get_input_focus().focus == window


class WindowManagers(HostTestCase):
    def managed_server(self, name):
        if not available(name):
            self.skipTest(name + " is not installed (scripts/install-deps.sh installs it)")
        server = XServer(WORK_DIR, kind="xorg", modes=[ORIGINAL, SWITCHED]).__enter__()
        self.addCleanup(server.__exit__, None, None, None)
        manager = WindowManager(server, name, WORK_DIR).__enter__()
        self.addCleanup(manager.__exit__, None, None, None)
        print("\n%s ready after %.2f s" % (name, manager.startup_seconds))
        client = Client(server)
        # Seen on the empty desktop: the measure of a window over the run can fail.
        wait_for(lambda: self.marked_window_seen(server, client) > 0.9,
                 what="a window seen on the empty desktop")
        return server, manager, client

    def assert_covers_and_stays_above(self, server, client, window, manager):
        wait_for(lambda: server.mode() == SWITCHED, what="the switch to 1024x768")
        wait_for(lambda: area(client, window) == (0, 0) + SWITCHED,
                 what="the window over the output, not %s" % (area(client, window),))
        frame = top_level(client, window)
        wait_for(lambda: area(client, frame) == (0, 0) + SWITCHED, what="no frame showing")
        wait_for(lambda: focused(client, window), what="the keyboard on the window")
        self.assertLess(self.marked_window_seen(server, client), 0.01,
                        "%s put a window above the run" % manager.name)
        wait_for(lambda: focused(client, window), what="the keyboard back on the window")
        wait_for(lambda: self.lit(server.screenshot(), (0, 0) + SWITCHED),
                 what="bands over the output")

    def marked_window_seen(self, server, client):
        """The share of a window's pixels seen, mapped over the middle of the output."""
        window = client.root.create_window(*MARKED, 0, client.d.screen().root_depth,
                                           background_pixel=0x123456)
        window.set_wm_name("over the run")
        window.set_wm_normal_hints(flags=Xutil.USPosition | Xutil.USSize, x=MARKED[0],
                                   y=MARKED[1], width=MARKED[2], height=MARKED[3])
        window.map()
        client.d.sync()
        time.sleep(1)  # the manager places and paints it
        picture = server.screenshot()
        left, top, width, height = area(client, window)
        window.destroy()
        client.d.sync()
        box = (max(left, 0), max(top, 0), min(left + width, SWITCHED[0]),
               min(top + height, SWITCHED[1]))
        samples = [p == MARK for p in picture.pixels(step=4, box=box)]
        return sum(samples) / len(samples)

    def lit(self, picture, box):
        lit = sum(1 for p in picture.pixels(step=8, box=box) if sum(p) > 60)
        return lit * 64 > 0.05 * box[2] * box[3]

    def standalone(self, name):
        server, manager, client = self.managed_server(name)
        with Program(server) as program:
            window = find_client(client, TITLE)
            self.assert_covers_and_stays_above(server, client, window, manager)

            # The toggle: a managed window in the desktop's mode, then full screen again.
            client.send_client_message(window, "LUMEN_RIBBON_MODE_SWITCH")
            windowed = find_client(client, TITLE, other_than=[window.id])
            wait_for(lambda: server.mode() == ORIGINAL, what="the mode restored")
            wait_for(lambda: top_level(client, windowed) != windowed, what="a frame from " + name)
            # Placed on the desktop as it is now: not stretched over it once the manager sees
            # the screen grow back.
            time.sleep(1)
            self.assertEqual(area(client, windowed)[2:], SWITCHED)
            client.send_client_message(windowed, "LUMEN_RIBBON_MODE_SWITCH")
            full = find_client(client, TITLE, other_than=[window.id, windowed.id])
            self.assert_covers_and_stays_above(server, client, full, manager)

            # Escape typed (not sent to the window) reaches it: it has the keyboard.
            server.run("xdotool", "key", "Escape")
            self.assertEqual(program.wait(), 0)
        self.assertEqual(server.mode(), ORIGINAL)

        # Closed through the manager, as its close box or a keyboard shortcut does.
        with Program(server) as program:
            window = find_client(client, TITLE)
            wait_for(lambda: server.mode() == SWITCHED, what="the switch")
            client.close_window(window)
            self.assertEqual(program.wait(), 0)
        self.assertEqual(server.mode(), ORIGINAL)

    def run_and_dialog(self, name):
        server, manager, client = self.managed_server(name)
        with Host(server, self.config, "--run") as host:
            renderer = find_client(client, TITLE)
            self.assert_covers_and_stays_above(server, client, renderer, manager)
            (renderer_pid,) = host.children()
            time.sleep(6)  # longer than a missing renderer is waited for
            self.assertIsNone(host.process.poll(), "the run ended under " + name)
            server.run("xdotool", "key", "Escape")
            self.assertEqual(host.wait(), 0)
            wait_for(lambda: not os.path.exists("/proc/%d" % renderer_pid),
                     what="the renderer ended")
        self.assertEqual(server.mode(), ORIGINAL)

        # Killed, the renderer restores nothing: the host puts the mode back.
        with Host(server, self.config, "--run") as host:
            find_client(client, TITLE)
            wait_for(lambda: server.mode() == SWITCHED, what="the switch")
            (renderer_pid,) = host.children()
            os.kill(renderer_pid, signal.SIGKILL)
            self.assertEqual(host.wait(), 0)
        self.assertEqual(server.mode(), ORIGINAL)

        # The dialog, framed by the manager, keeps a second one from opening.
        with Host(server, self.config, "--settings") as first:
            dialog = find_client(client, DIALOG)
            wait_for(lambda: top_level(client, dialog) != dialog, what="a frame from " + name)
            with Host(server, self.config, "--settings") as second:
                self.assertEqual(second.wait(), 0)
            with Host(server, self.config, "--run") as run:
                self.assertEqual(run.wait(), 0)
                self.assertFalse(run.children())
            client.close_window(dialog)
            self.assertEqual(first.wait(), 0)

    def test_openbox_standalone(self):
        self.standalone("openbox")

    def test_openbox_host(self):
        self.run_and_dialog("openbox")

    def test_kwin_standalone(self):
        self.standalone("kwin_x11")

    def test_kwin_host(self):
        self.run_and_dialog("kwin_x11")


if __name__ == "__main__":
    unittest.main()
