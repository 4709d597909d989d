"""The standalone program: full screen through RandR, the fallback, the toggle, every way out,
and the server's screen saver held off while it runs."""

import os
import signal
import subprocess
import time
import unittest

from linux_harness import (TITLE, WORK_DIR, Client, LinuxTestCase, Program, XServer,
                           wait_for)

ORIGINAL = (1280, 1024)
SWITCHED = (1024, 768)


def cpu_seconds(program, interval):
    """Processor time the program used during the next interval seconds."""
    def used():
        with open("/proc/%d/stat" % program.process.pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    before = used()
    time.sleep(interval)
    return used() - before


def saver_on(client):
    return client.root.screensaver_query_info().state == 1  # ScreenSaverOn


def hold_key(server, window, key="Escape"):
    # Held across a few frames, as a person would; the window may be gone before the release.
    server.run("xdotool", "keydown", "--window", str(window.id), key)
    time.sleep(0.3)
    subprocess.run(["xdotool", "keyup", "--window", str(window.id), key], env=server.env(),
                   capture_output=True, timeout=30)


class FullScreen(LinuxTestCase):
    def test_switches_covers_toggles_and_restores_on_escape(self):
        with XServer(WORK_DIR, kind="xorg", modes=[ORIGINAL, SWITCHED]) as server:
            client = Client(server)
            self.assertEqual(server.mode(), ORIGINAL)
            modes = server.output_modes()
            self.assert_black(server.screenshot())
            with Program(server) as program:
                window = client.wait_window()
                self.assertEqual(client.text_property(window, "_NET_WM_NAME"), TITLE.encode())
                self.assertEqual(window.get_wm_class()[1], "OpenGL")
                wait_for(lambda: server.mode() == SWITCHED, what="the switch to 1024x768")
                geometry = window.get_geometry()
                self.assertEqual((geometry.x, geometry.y, geometry.width, geometry.height),
                                 (0, 0) + SWITCHED)
                # No window manager runs: the window keeps itself above the others.
                self.assertTrue(window.get_attributes().override_redirect)
                states = client.d.get_atom_name
                state = window.get_full_property(client.atom("_NET_WM_STATE"), 0).value
                self.assertIn("_NET_WM_STATE_ABOVE", [states(a) for a in state])
                wait_for(client.cursor_hidden, what="the pointer to be hidden")
                wait_for(lambda: self.is_lit(server.screenshot(window=window.id)),
                         what="bands in the window")

                client.send_client_message(window, "LUMEN_RIBBON_MODE_SWITCH")
                windowed = client.wait_window(other_than=[window.id])
                wait_for(lambda: server.mode() == ORIGINAL, what="the mode restored")
                geometry = windowed.get_geometry()
                self.assertEqual((geometry.width, geometry.height), SWITCHED)
                self.assertFalse(windowed.get_attributes().override_redirect)
                self.assertFalse(client.cursor_hidden())
                self.assertIsNone(program.process.poll(), "the toggle ended the program")

                client.send_client_message(windowed, "LUMEN_RIBBON_MODE_SWITCH")
                full = client.wait_window(other_than=[window.id, windowed.id])
                wait_for(lambda: server.mode() == SWITCHED, what="full screen again")
                hold_key(server, full)
                self.assertEqual(program.wait(), 0)
            self.assertEqual(server.mode(), ORIGINAL)
            self.assertEqual(server.output_modes(), modes)
            self.assertEqual(client.windows_named(), [])
            self.assertIsNone(client.text_property(client.root, "LUMEN_RIBBON_ORIGINAL_MODE"))

    def is_lit(self, picture):
        try:
            self.assert_lit(picture)
            return True
        except AssertionError:
            return False

    def test_restores_on_signals_close_second_instance_and_lost_connection(self):
        # An output without 1024x768: the mode is added for the run and removed after it.
        with XServer(WORK_DIR, kind="xorg", modes=[ORIGINAL], hsync=(63.0, 65.0),
                     vrefresh=(59.0, 61.0)) as server:
            client = Client(server)
            modes = server.output_modes()
            self.assertNotIn("1024x768", modes)
            for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
                with Program(server) as program:
                    client.wait_window()
                    wait_for(lambda: server.mode() == SWITCHED, what="the switch")
                    self.assertIn("1024x768", server.output_modes())
                    program.signal(number)
                    self.assertEqual(program.wait(), 0, number)
                self.assertEqual(server.mode(), ORIGINAL, number)
                self.assertEqual(server.output_modes(), modes, number)

            # A second instance finds the display switched by the first; whichever
            # ends first restores the true original.
            with Program(server) as first:
                first_window = client.wait_window()
                wait_for(lambda: server.mode() == SWITCHED, what="the switch")
                with Program(server) as second:
                    second_window = client.wait_window(other_than=[first_window.id])
                    client.close_window(second_window)
                    self.assertEqual(second.wait(), 0)
                self.assertEqual(server.mode(), ORIGINAL)
                first.signal(signal.SIGTERM)
                self.assertEqual(first.wait(), 0)
            self.assertEqual(server.mode(), ORIGINAL)

            # A lost connection restores through a fresh one.
            with Program(server) as program:
                window = client.wait_window()
                wait_for(lambda: server.mode() == SWITCHED, what="the switch")
                server.run("xkill", "-id", str(window.id))
                self.assertNotEqual(program.wait(), 0)
            self.assertEqual(server.mode(), ORIGINAL)


class Blanker(LinuxTestCase):
    def test_screen_saver_held_off_during_the_run_and_back_after(self):
        with XServer(WORK_DIR, kind="xorg", modes=[ORIGINAL, SWITCHED]) as server:
            client = Client(server)
            server.run("xset", "s", "1", "0")
            # Without the renderer the server's saver comes on after a second without input.
            wait_for(lambda: saver_on(client), timeout=10, what="the server's screen saver")
            server.run("xset", "s", "reset")
            self.assertFalse(saver_on(client))

            with Program(server) as program:
                window = client.wait_window()
                wait_for(lambda: server.mode() == SWITCHED, what="the switch")
                for _ in range(30):  # three seconds, well past the saver's time
                    self.assertFalse(saver_on(client))
                    time.sleep(0.1)
                wait_for(lambda: FullScreen.is_lit(self, server.screenshot(window=window.id)),
                         what="bands in the window")
                # A tap, press and release together, as remote desktops and tools give it.
                server.run("xdotool", "key", "--delay", "0", "Escape")
                self.assertEqual(program.wait(), 0)
            self.assertEqual(server.mode(), ORIGINAL)
            wait_for(lambda: saver_on(client), timeout=10, what="the saver after the run")

            # A hack leaves both to the daemon that started it.
            server.run("xset", "s", "reset")
            with Program(server, "--root") as hack:
                wait_for(lambda: saver_on(client), timeout=10, what="the saver under the hack")
                hack.signal(signal.SIGTERM)
                self.assertEqual(hack.wait(), 0)

    def test_a_server_without_opengl_keeps_its_mode(self):
        with XServer(WORK_DIR, kind="xorg", modes=[ORIGINAL, SWITCHED],
                     without=["GLX"]) as server:
            client = Client(server)
            modes = server.output_modes()
            with Program(server) as program:
                self.assertEqual(program.wait(), 1)
            self.assertIn("no GLX extension", program.errors)
            self.assertEqual(server.mode(), ORIGINAL)
            self.assertEqual(server.output_modes(), modes)
            self.assertIsNone(client.text_property(client.root, "LUMEN_RIBBON_ORIGINAL_MODE"))


class Fallback(LinuxTestCase):
    def test_without_a_switch_a_managed_window_with_the_pointer(self):
        with XServer(WORK_DIR, kind="xvfb", size=ORIGINAL, without=["RANDR"]) as server:
            client = Client(server)
            with Program(server) as program:
                window = client.wait_window()
                geometry = window.get_geometry()
                self.assertEqual((geometry.x, geometry.y, geometry.width, geometry.height),
                                 (0, 0) + SWITCHED)
                self.assertFalse(window.get_attributes().override_redirect)
                self.assertFalse(client.cursor_hidden())
                wait_for(lambda: FullScreen.is_lit(self, server.screenshot(window=window.id)),
                         what="bands in the window")

                # Unmapped (as when iconified) it waits and draws nothing.
                window.unmap()
                client.d.sync()
                time.sleep(0.5)
                hidden = cpu_seconds(program, 1.0)
                window.map()
                client.d.sync()
                shown = cpu_seconds(program, 1.0)
                print("\nCPU seconds in one second: %.2f unmapped, %.2f mapped" % (hidden, shown))
                self.assertLess(hidden, 0.05)
                self.assertGreater(shown, hidden)
                wait_for(lambda: FullScreen.is_lit(self, server.screenshot(window=window.id)),
                         what="bands again")
                client.close_window(window)
                self.assertEqual(program.wait(), 0)
            self.assertEqual(client.windows_named(), [])


if __name__ == "__main__":
    unittest.main()
