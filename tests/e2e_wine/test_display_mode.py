"""The display mode around a run, on an Xorg server whose dummy output really switches modes:
1280x1024 before, 1024x768 while the renderer shows, and 1280x1024 again after every way out,
including a renderer that was killed, whose mode the host puts back.

The colour depth cannot be seen here: the X server keeps its depth of 24 bits whatever the
renderer asks for, and Wine reports 32 bits per pixel throughout."""

import os
import time
import unittest

from harness import E2E_DIR, MODE_SWITCH, VK_ESCAPE, WM_CLOSE, Session, WineTestCase, wait_exit
from test_saver_run import RENDERER_TITLE, host_probe, start_host, wait_for
from e2e_support.xservers import XServer

DESKTOP = (1280, 1024)
SAVER = (1024, 768)


class DisplayModeTest(WineTestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.server = XServer(E2E_DIR, kind="xorg", modes=[DESKTOP, SAVER]).__enter__()
        cls.session = Session(server=cls.server).__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)
        cls.server.__exit__(None, None, None)

    def assert_mode(self, size, what):
        self.assertTrue(wait_for(lambda: self.server.mode() == size, 15),
                        "%s: %s, not %s" % (what, self.server.mode(), size))
        width, height, bits = self.session.probe("displaymode")["mode"].split(",")
        self.assertEqual((int(width), int(height)), size, "what Wine reports " + what)
        return bits

    def start_run(self, folder):
        host = start_host(self.session, folder, "/s")
        renderer = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.assertIsNotNone(renderer)
        bits = self.assert_mode(SAVER, "during the run")
        print("bits per pixel during the run, as Wine reports them:", bits)
        return host, renderer

    def test_mode_is_switched_for_the_run_and_restored_on_every_way_out(self):
        self.assertIn("1024x768", self.server.output_modes())
        self.assert_mode(DESKTOP, "before the run")
        folder = self.session.app_folder("modes")

        host, renderer = self.start_run(folder)
        self.session.hold_key(renderer["hwnd"], VK_ESCAPE)
        self.assertEqual(wait_exit(host, 15), 0)
        self.assert_mode(DESKTOP, "after Escape")

        # The renderer's own toggle gives the desktop's mode back to its window, and takes it
        # again for full screen; closing the window ends the run like Escape.
        host, renderer = self.start_run(folder)
        self.session.post(renderer["hwnd"], MODE_SWITCH)
        self.assert_mode(DESKTOP, "in windowed mode")
        window = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.session.post(window["hwnd"], MODE_SWITCH)
        self.assert_mode(SAVER, "back in full screen")
        self.assertIsNone(host.poll(), "the run goes on across both rebuilds")
        time.sleep(1)
        window = self.session.wait_window(RENDERER_TITLE, "OpenGL")
        self.session.post(window["hwnd"], WM_CLOSE)
        self.assertEqual(wait_exit(host, 15), 0)
        self.assert_mode(DESKTOP, "after the window was closed")

        # Killed, the renderer restores nothing: the host sees it gone and puts the mode back.
        host, renderer = self.start_run(folder)
        self.assertEqual(host_probe(self.session, "kill", renderer["pid"])["killed"], "1")
        self.assertEqual(wait_exit(host, 15), 0)
        self.assert_mode(DESKTOP, "after the renderer was killed")


if __name__ == "__main__":
    unittest.main()
