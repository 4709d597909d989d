"""The renderer program end to end: mode switch, window, picture, ending, rebuild."""

import os
import time
import unittest

from harness import (MODE_SWITCH, RENDERER, VK_ESCAPE, WM_CLOSE, Session, WineTestCase, rect_of,
                     wait_exit)
from e2e_support.pictures import colour_spread, lit_fraction

TITLE = "Lumen_Ribbon_VC"
CLASS = "OpenGL"
WS_POPUP = 0x80000000
WS_OVERLAPPEDWINDOW = 0x00CF0000
WS_EX_TOPMOST = 0x8


def style_of(window):
    return int(window["style"], 16), int(window["exstyle"], 16)


def start_renderer(test, session):
    """The renderer started on its own from the installed folder: its process and window."""
    folder = session.app_folder(host=False)
    process = session.start(os.path.join(folder, RENDERER), cwd=folder)
    window = session.wait_window(TITLE, CLASS)
    test.assertIsNotNone(window, "no renderer window appeared")
    return process, window


class FullScreenRun(WineTestCase):
    """On a 1024x768 display the switch succeeds and the window covers the screen."""

    def test_full_screen_window_draws_bands_and_ends_on_a_tap_of_escape(self):
        with Session(1024, 768) as session:
            black = session.screenshot("before.bmp")
            # The measure must fail on a black screen, or it proves nothing.
            self.assertLess(lit_fraction(black), 0.01)
            self.assertEqual(colour_spread(black), 0)

            process, window = start_renderer(self, session)
            style, exstyle = style_of(window)
            self.assertTrue(style & WS_POPUP, hex(style))
            self.assertTrue(exstyle & WS_EX_TOPMOST, hex(exstyle))
            self.assertEqual(rect_of(window), (0, 0, 1024, 768))

            time.sleep(2)
            # The system reports the cursor of the thread in the foreground.
            self.assertEqual(session.probe("cursor")["showing"], "0")
            picture = session.screenshot("bands.bmp")
            self.assertGreater(lit_fraction(picture), 0.05)
            self.assertGreaterEqual(colour_spread(picture), 2)

            # Press and release posted together reach the window before its next frame.
            session.hold_key(window["hwnd"], VK_ESCAPE, hold_ms=0)
            self.assertEqual(wait_exit(process, 10), 0)
            self.assertIsNone(session.find_window(TITLE, CLASS))
            self.assertEqual(session.probe("cursor")["showing"], "1")

    def test_close_posted_from_another_process_ends_it(self):
        with Session(1024, 768) as session:
            process, window = start_renderer(self, session)
            session.post(window["hwnd"], WM_CLOSE)
            self.assertEqual(wait_exit(process, 10), 0)
            self.assertIsNone(session.find_window(TITLE, CLASS))

    def test_mode_switch_message_rebuilds_the_window_in_the_other_mode(self):
        with Session(1024, 768) as session:
            process, first = start_renderer(self, session)
            self.assertTrue(style_of(first)[0] & WS_POPUP)

            session.post(first["hwnd"], MODE_SWITCH)
            windowed = self.wait_for_rebuild(session, first["hwnd"])
            style, exstyle = style_of(windowed)
            self.assertEqual(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW)
            self.assertFalse(exstyle & WS_EX_TOPMOST)
            # The system keeps a framed window within the screen, so only the width
            # of the client area can be exact on a 1024x768 display.
            self.assertEqual(windowed["client"].split(",")[0], "1024")
            self.assertIsNone(process.poll(), "the rebuild ended the process")

            session.post(windowed["hwnd"], MODE_SWITCH)
            full = self.wait_for_rebuild(session, windowed["hwnd"])
            self.assertTrue(style_of(full)[0] & WS_POPUP)
            session.post(full["hwnd"], WM_CLOSE)
            self.assertEqual(wait_exit(process, 10), 0)

    def wait_for_rebuild(self, session, old_hwnd):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            window = session.find_window(TITLE, CLASS)
            if window and window["hwnd"] != old_hwnd and window["visible"] == "1":
                return window
            time.sleep(0.2)
        self.fail("the window was not rebuilt")


class FallbackRun(WineTestCase):
    """On a display of another size the switch fails and the window is overlapped."""

    def test_failed_switch_gives_overlapped_window_with_cursor(self):
        with Session(1280, 1024) as session:
            process, window = start_renderer(self, session)
            style, exstyle = style_of(window)
            self.assertEqual(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW, hex(style))
            self.assertFalse(style & WS_POPUP)
            self.assertFalse(exstyle & WS_EX_TOPMOST)
            self.assertEqual(rect_of(window), (0, 0, 1024, 768))
            self.assertEqual(session.probe("cursor")["showing"], "1")

            # The toggle reads the wish, which is still full screen: it asks for
            # windowed mode, whose client area is then exactly 1024x768.
            session.post(window["hwnd"], MODE_SWITCH)
            windowed = FullScreenRun.wait_for_rebuild(self, session, window["hwnd"])
            self.assertEqual(windowed["client"], "1024,768")
            self.assertFalse(style_of(windowed)[0] & WS_POPUP)

            session.hold_key(windowed["hwnd"], VK_ESCAPE)
            self.assertEqual(wait_exit(process, 10), 0)


if __name__ == "__main__":
    unittest.main()
