"""The preview window inside a pane made by the test, its ending with the pane, the refusal
while the settings dialog is open, and a frame of the saver itself for the documentation."""

import os
import subprocess
import time
import unittest

from harness import (HOST, VK_ESCAPE, WM_CLOSE, Session, WineTestCase, wait_exit, windows_path)
from e2e_support.pictures import lit_fraction
from test_settings_dialog import (DIALOG_PROBE, DOCS, RESOURCES, controls, decoded_jpeg,
                                  dialog_probe, mean_difference)

WS_CHILD = 0x40000000
PANE = (100, 120, 320, 240)  # left, top, width, height on the screen
PICTURE = (152, 112)


def open_pane(session):
    """A white top-level window from the probe, standing in for the preview pane."""
    handle_file = os.path.join(session.work, "pane.txt")
    process = session.start(DIALOG_PROBE, "parent", windows_path(handle_file),
                            *[str(v) for v in PANE])
    deadline = time.time() + 20
    while time.time() < deadline:
        if os.path.exists(handle_file):
            with open(handle_file) as f:
                text = f.read().strip()
            if text:
                return process, int(text)
        time.sleep(0.2)
    raise AssertionError("the pane did not appear")


def preview_window(session, pane):
    for control in controls(session, pane):
        if control["cls"] == "Lumen_Ribbon_Form":
            return control
    return None


class PreviewInPane(WineTestCase):
    """/p <pane> makes the preview a child covering the pane, and it ends with the pane."""

    def test_child_of_pane_and_end_with_it(self):
        with Session(800, 600) as session:
            folder = session.app_folder()
            # A number that names no window ends the preview at once.
            for number in ("0", "-1", "abc", "123456789"):
                bad = session.start(os.path.join(folder, HOST), "/p", number, cwd=folder)
                self.assertEqual(wait_exit(bad, 15), 0, "/p %s keeps running" % number)
            pane_process, pane = open_pane(session)
            host = session.start(os.path.join(folder, HOST), "/p", str(pane), cwd=folder)
            deadline = time.time() + 30
            window = None
            while window is None and time.time() < deadline:
                window = preview_window(session, pane)
                time.sleep(0.3)
            self.assertIsNotNone(window, "no preview window inside the pane")
            self.assertTrue(window["style"] & WS_CHILD, hex(window["style"]))
            self.assertEqual(window["rect"], (0, 0, PANE[2], PANE[3]))
            picture = [c for c in controls(session, pane) if c["cls"] == "Lumen_Ribbon.Picture"]
            self.assertEqual(len(picture), 1)
            self.assertEqual(picture[0]["rect"], (0, 0, PANE[2], PANE[3]))

            started = time.time()
            session.post(pane, WM_CLOSE)
            self.assertEqual(wait_exit(pane_process, 10), 0)
            self.assertEqual(wait_exit(host, 10), 0, "the preview outlived its pane")
            # Includes starting the probe that posts the close request.
            print("preview ended %.2f s after the close request was sent" % (time.time() - started))


class PreviewPicture(WineTestCase):
    """The picture unscaled at the parent's top-left, black elsewhere; ends when unloaded.

    Wine does not show what a process paints into a child of another process's window, so
    the pixels are looked at with the desktop window as the parent: the preview then covers
    the screen, over a white window made by the test."""

    def test_picture_over_black_then_unload_ends_the_process(self):
        with Session(800, 600) as session:
            folder = session.app_folder()
            pane_process, pane = open_pane(session)
            desktop = dialog_probe(session, "desktop")["hwnd"]
            host = session.start(os.path.join(folder, HOST), "/p", desktop, cwd=folder)
            deadline = time.time() + 30
            window = None
            while window is None and time.time() < deadline:
                window = session.find_window("Preview Window", "Lumen_Ribbon_Form")
                time.sleep(0.3)
            self.assertIsNotNone(window)
            self.assertTrue(int(window["style"], 16) & WS_CHILD)
            self.assertEqual(window["rect"], "0,0,800,600")
            time.sleep(1)

            screen = session.screenshot("preview.bmp")
            picture = decoded_jpeg(session, os.path.join(RESOURCES, "preview.jpg"), "prev.bmp")
            self.assertEqual((picture.width, picture.height), PICTURE)
            # Unscaled at the top-left corner: close to the decoded picture there, farther
            # from it one pixel off.
            exact = mean_difference(screen, 0, 0, picture)
            self.assertLess(exact, 8)
            self.assertGreater(mean_difference(screen, 1, 1, picture), exact)
            self.assertGreater(lit_fraction(picture), 0.05)
            # Black wherever the picture does not reach, the white window's place included.
            left, top, width, height = PANE
            for x, y in ((PICTURE[0] + 5, 5), (5, PICTURE[1] + 5), (left + 10, top + 10),
                         (left + width - 5, top + height - 5), (799, 599)):
                self.assertEqual(screen.pixel(x, y), (0, 0, 0), (x, y))

            session.post(window["hwnd"], WM_CLOSE)
            self.assertEqual(wait_exit(host, 10), 0)
            session.post(pane, WM_CLOSE)
            self.assertEqual(wait_exit(pane_process, 10), 0)


class PreviewWhileDialogOpen(WineTestCase):
    """A preview start while the settings dialog is open ends at once and shows nothing."""

    def test_refused(self):
        with Session(800, 600) as session:
            folder = session.app_folder()
            dialog = session.start(os.path.join(folder, HOST), "/c", cwd=folder)
            self.assertIsNotNone(session.wait_window("<Lumen_Ribbon>"))
            pane_process, pane = open_pane(session)
            preview = session.start(os.path.join(folder, HOST), "/p", str(pane), cwd=folder)
            self.assertEqual(wait_exit(preview, 15), 0)
            self.assertIsNone(preview_window(session, pane))
            self.assertIsNone(dialog.poll(), "the dialog went away")
            session.post(pane, WM_CLOSE)
            self.assertEqual(wait_exit(pane_process, 10), 0)


class SaverFrame(WineTestCase):
    """A frame of a real run, kept for the documentation."""

    def test_run_frame(self):
        with Session(1024, 768) as session:
            folder = session.app_folder()
            host = session.start(os.path.join(folder, HOST), "/s", cwd=folder)
            window = session.wait_window("Lumen_Ribbon_VC", "OpenGL")
            self.assertIsNotNone(window)
            time.sleep(0.8)  # about a second in, all three groups are lit
            frame = session.screenshot("saver.bmp")
            self.assertGreater(lit_fraction(frame), 0.05)
            subprocess.run(["convert", os.path.join(session.work, "saver.bmp"),
                            os.path.join(DOCS, "saver.png")], check=True)
            session.hold_key(window["hwnd"], VK_ESCAPE)
            self.assertEqual(wait_exit(host, 15), 0)


if __name__ == "__main__":
    unittest.main()
