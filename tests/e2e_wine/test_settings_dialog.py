"""The settings dialog end to end: placement, stored choices, the file chooser, what the set,
cancel and close paths write, and the painted look with its Japanese captions."""

import os
import subprocess
import time
import unittest

from harness import (BUILD_DIR, E2E_DIR, HOST, WM_CLOSE, Bitmap, Session, WineTestCase, rect_of,
                     wait_exit, windows_path)

DIALOG_PROBE = os.path.join(BUILD_DIR, "probes", "dialog_probe.exe")
# Screenshots for the documentation: into docs/ when LR_SCREENSHOT_DIR names it, else
# beside the other test output.
DOCS = os.environ.get("LR_SCREENSHOT_DIR") or os.path.join(E2E_DIR, "screenshots")
os.makedirs(DOCS, exist_ok=True)
RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")

TITLE = "<Lumen_Ribbon>"
FILE_DIALOG_TITLE = "ﾌｧｲﾙを開く"
CLIENT = (479, 252)
# Layout in pixels at 15 twips per pixel: the panel inside the client area, the marks and
# captions inside the panel, the buttons by their left edge in the client area.
PANEL = (12, 16)
MARKS = {1: (20, 56), 0: (20, 76), 2: (20, 96)}
CAPTIONS = {1: (36, 56), 0: (36, 76), 2: (36, 96)}
BUTTONS = {"Cmd_BGM": 48, "Cmd_Etc": 192, "Cmd_Set": 320, "Cmd_Can": 396}
MARK_SIZE = 12


def hex_of(text):
    return text.encode("utf-8").hex()


def dialog_probe(session, *args):
    return session.probe(*args, program=DIALOG_PROBE)


def controls(session, hwnd):
    """The descendants of a window, each as a dict; rectangles in its client coordinates."""
    listed = dialog_probe(session, "controls", hwnd)
    found = []
    for index in range(int(listed.get("count", 0))):
        fields = listed["c%d" % index].split("|")
        found.append(dict(hwnd=fields[0], cls=fields[1], id=int(fields[2]),
                          rect=tuple(int(v) for v in fields[3:7]), enabled=fields[7] == "1",
                          visible=fields[8] == "1", items=int(fields[9]),
                          style=int(fields[10], 16), text=bytes.fromhex(fields[11]).decode()))
    return found


def decoded_jpeg(session, path, name):
    """A JPEG decoded by ImageMagick, to compare with what the system drew."""
    bmp = os.path.join(session.work, name)
    subprocess.run(["convert", path, "-type", "TrueColor", "BMP3:" + bmp], check=True)
    return Bitmap(bmp)


def mean_difference(screen, left, top, picture):
    total = 0
    for y in range(picture.height):
        for x in range(picture.width):
            a = screen.pixel(left + x, top + y)
            b = picture.pixel(x, y)
            total += sum(abs(p - q) for p, q in zip(a, b))
    return total / (picture.width * picture.height * 3)


def is_empty_box(mask):
    """True when the ink of one glyph is a hollow rectangle: full left and right columns, and
    between them ink only in the top and bottom rows."""
    height = len(mask)
    width = len(mask[0]) if height else 0
    if width < 3 or height < 5:
        return False
    rows = [y for y in range(height) if any(mask[y])]
    top, bottom = rows[0], rows[-1]
    if bottom - top < 4:
        return False
    span = bottom - top + 1
    left_ink = sum(mask[y][0] for y in range(top, bottom + 1))
    right_ink = sum(mask[y][width - 1] for y in range(top, bottom + 1))
    if left_ink < 0.8 * span or right_ink < 0.8 * span:
        return False
    inner = sum(mask[y][x] for y in range(top + 1, bottom) for x in range(1, width - 1))
    return inner == 0


def glyphs(bitmap, box, ink):
    """The column runs of ink inside box, each as a mask (rows of booleans)."""
    left, top, right, bottom = box
    mask = [[ink(bitmap.pixel(x, y)) for x in range(left, right)] for y in range(top, bottom)]
    columns = [any(mask[y][x] for y in range(len(mask))) for x in range(right - left)]
    runs, start = [], None
    for x, inked in enumerate(columns + [False]):
        if inked and start is None:
            start = x
        elif not inked and start is not None:
            runs.append([row[start:x] for row in mask])
            start = None
    return runs


def dark(pixel):
    return max(pixel) < 90


class Dialog:
    """One /c run of the host in a fresh folder holding the given settings file."""

    def __init__(self, session, ini_bytes):
        self.session = session
        self.folder = session.app_folder()
        self.ini = os.path.join(self.folder, "Lumen_Ribbon.ini")
        if ini_bytes is not None:
            with open(self.ini, "wb") as f:
                f.write(ini_bytes)

    def open(self):
        self.process = self.session.start(os.path.join(self.folder, HOST), "/c", cwd=self.folder)
        deadline = time.time() + 30
        while time.time() < deadline:
            window = self.session.find_window(TITLE)
            if window and window["visible"] == "1":
                self.window = window
                break
            time.sleep(0.3)
        else:
            raise AssertionError("the settings dialog did not appear")
        time.sleep(0.5)
        self.controls = controls(self.session, self.window["hwnd"])
        return self

    def client_origin(self):
        left, top, right, bottom = rect_of(self.window)
        border = (right - left - CLIENT[0]) // 2
        return left + border, bottom - border - CLIENT[1]

    def control(self, cls, left=None):
        for control in self.controls:
            if control["cls"] == cls and (left is None or control["rect"][0] == left):
                return control
        raise AssertionError("no %s at %s" % (cls, left))

    def track_box(self):
        return next(c for c in controls(self.session, self.window["hwnd"])
                    if c["cls"].lower() == "combobox")

    def click_button(self, name):
        button = self.control("Lumen_Ribbon.Command", BUTTONS[name])
        left, top, right, bottom = button["rect"]
        dialog_probe(self.session, "click", button["hwnd"], (right - left) // 2,
                     (bottom - top) // 2, "left")

    def choose_kind(self, kind, on_caption, button):
        panel = self.control("Lumen_Ribbon.Surface", PANEL[0])
        x, y = (CAPTIONS if on_caption else MARKS)[kind]
        dialog_probe(self.session, "click", panel["hwnd"], x + 4, y + 4, button)
        time.sleep(0.3)

    def choose_file(self, path):
        self.click_button("Cmd_BGM")
        answer = dialog_probe(self.session, "filedialog", hex_of(FILE_DIALOG_TITLE), 15000, "ok",
                              hex_of(windows_path(path)))
        time.sleep(0.5)
        return answer

    def focus(self):
        return dialog_probe(self.session, "focus", self.window["hwnd"])["focus"]

    def mark_region(self, kind):
        x, y = self.client_origin()
        mx, my = MARKS[kind]
        return x + PANEL[0] + mx, y + PANEL[1] + my

    def ini_bytes(self):
        with open(self.ini, "rb") as f:
            return f.read()


def ini_values(data):
    """Key to raw value bytes of the settings file's lines (keys decoded from Shift_JIS)."""
    values = {}
    for line in data.split(b"\r\n" if b"\r\n" in data else b"\n"):
        key, sep, value = line.partition(b"=")
        if sep:
            values[key.decode("cp932")] = value
    return values


def stored(kind, repeat, path):
    return ("[Section]\r\nBGM区分= %d\r\nBGMﾘﾋﾟｰﾄ= %d\r\nBGMﾌｧｲﾙ=%s\r\n"
            % (kind, repeat, path)).encode("cp932")


class StoredChoicesAndSet(WineTestCase):
    """A stored CD choice opens marked; a file chosen in the open-file dialog is then set."""

    def test_cd_choice_shows_then_chosen_file_is_written(self):
        with Session(1024, 768) as session:
            dialog = Dialog(session, stored(1, 5, "")).open()
            window = dialog.window
            self.assertEqual(window["title"], TITLE)
            self.assertEqual(window["client"], "%d,%d" % CLIENT)
            left, top, right, bottom = rect_of(window)
            width, height = right - left, bottom - top
            # Centred across, a third of the free height down (whole twips, truncated).
            self.assertAlmostEqual(left, (1024 - width) * 15 // 2 / 15, delta=1)
            self.assertAlmostEqual(top, (768 - height) * 15 // 3 / 15, delta=1)

            track = dialog.track_box()
            self.assertEqual(track["text"], "5")
            self.assertEqual(track["items"], 31)
            self.assertTrue(track["enabled"])
            # The first control in tab order has the focus from the start.
            edit = next(c for c in dialog.controls if c["cls"].lower() == "edit")
            self.assertEqual(dialog.focus(), edit["hwnd"])

            screen = session.screenshot("opened.bmp")
            mark_on = decoded_jpeg(session, os.path.join(RESOURCES, "mark_on.jpg"), "on.bmp")
            mark_off = decoded_jpeg(session, os.path.join(RESOURCES, "mark_off.jpg"), "off.bmp")
            self.assertGreater(mean_difference(mark_on, 0, 0, mark_off), 10,
                               "the two marks must differ for this test to mean anything")
            for kind, expected, other in ((1, mark_on, mark_off), (0, mark_off, mark_on),
                                          (2, mark_off, mark_on)):
                x, y = dialog.mark_region(kind)
                self.assertLess(mean_difference(screen, x, y, expected),
                                mean_difference(screen, x, y, other), "mark %d" % kind)

            # The file button is disabled: a click opens no file dialog.
            dialog.click_button("Cmd_BGM")
            missed = dialog_probe(session, "filedialog", hex_of(FILE_DIALOG_TITLE), 2000, "cancel")
            self.assertEqual(missed.get("timeout"), "1")

            # Typed on the keyboard, the whole number fits; a half rounds to even when set.
            self.assertEqual(dialog_probe(session, "type", edit["hwnd"], hex_of("3.5"))["rc"], 0)
            self.assertEqual(dialog.track_box()["text"], "3.5")

            # A right click on the caption chooses the file kind.
            dialog.choose_kind(2, on_caption=True, button="right")
            self.assertFalse(dialog.track_box()["enabled"])
            screen = session.screenshot("file_kind.bmp")
            x, y = dialog.mark_region(2)
            self.assertLess(mean_difference(screen, x, y, mark_on),
                            mean_difference(screen, x, y, mark_off))

            song = os.path.join(dialog.folder, "曲.mp3")
            with open(song, "wb") as f:
                f.write(b"\0" * 64)
            answer = dialog.choose_file(song)
            self.assertEqual(answer["rc"], 0, answer)
            gone = dialog_probe(session, "filedialog", hex_of(FILE_DIALOG_TITLE), 500, "cancel")
            self.assertEqual(gone.get("timeout"), "1")
            # Back from the file chooser, the file button has the focus again.
            self.assertEqual(dialog.focus(),
                             dialog.control("Lumen_Ribbon.Command", BUTTONS["Cmd_BGM"])["hwnd"])

            dialog.click_button("Cmd_Set")
            self.assertEqual(wait_exit(dialog.process, 15), 0)
            values = ini_values(dialog.ini_bytes())
            # The system's profile writer drops the blank before a number; report what landed.
            print("written:", values)
            self.assertEqual(values["BGM区分"].strip(b" "), b"2")
            self.assertEqual(values["BGMﾘﾋﾟｰﾄ"].strip(b" "), b"4")
            self.assertEqual(values["BGMﾌｧｲﾙ"], windows_path(song).encode("cp932"))


class NoneAfterFile(WineTestCase):
    """Choosing no music after a file keeps the path, and set still writes it."""

    def test_none_keeps_the_chosen_path(self):
        with Session(1024, 768) as session:
            folder = session.app_folder()
            old = os.path.join(folder, "old.wav")
            with open(old, "wb") as f:
                f.write(b"RIFF")
            dialog = Dialog(session, stored(2, 0, windows_path(old))).open()
            self.assertFalse(dialog.track_box()["enabled"])
            self.assertEqual(dialog.track_box()["text"], "")
            new = os.path.join(folder, "new.wav")
            # The name of a file that does not exist is taken as chosen.
            self.assertFalse(os.path.exists(new))
            self.assertEqual(dialog.choose_file(new)["rc"], 0)
            # A middle click on the mark itself chooses no music.
            dialog.choose_kind(0, on_caption=False, button="middle")
            dialog.click_button("Cmd_Set")
            self.assertEqual(wait_exit(dialog.process, 15), 0)
            values = ini_values(dialog.ini_bytes())
            self.assertEqual(values["BGM区分"].strip(b" "), b"0")
            self.assertEqual(values["BGMﾘﾋﾟｰﾄ"].strip(b" "), b"0")
            self.assertEqual(values["BGMﾌｧｲﾙ"], windows_path(new).encode("cp932"))


class TabOrder(WineTestCase):
    """Tab walks the track box, the file button, set, cancel and other works, then wraps."""

    def test_tab_order(self):
        with Session(1024, 768) as session:
            dialog = Dialog(session, stored(1, 5, "")).open()
            track = dialog.track_box()
            edit = next(c for c in dialog.controls if c["cls"].lower() == "edit")
            button = {name: dialog.control("Lumen_Ribbon.Command", left)["hwnd"]
                      for name, left in BUTTONS.items()}
            # The file button is disabled here, so clicking it only moves the focus to it.
            dialog_probe(session, "click", button["Cmd_BGM"], 5, 5, "left")
            self.assertEqual(dialog_probe(session, "focus", dialog.window["hwnd"])["focus"],
                             button["Cmd_BGM"])
            VK_TAB = 9
            seen = []
            for _ in range(5):
                focus = dialog_probe(session, "focus", dialog.window["hwnd"])["focus"]
                session.hold_key(focus, VK_TAB, 50)
                time.sleep(0.2)
                seen.append(dialog_probe(session, "focus", dialog.window["hwnd"])["focus"])
            self.assertEqual(seen[:3], [button["Cmd_Set"], button["Cmd_Can"], button["Cmd_Etc"]])
            self.assertIn(seen[3], (track["hwnd"], edit["hwnd"]))
            self.assertEqual(seen[4], button["Cmd_BGM"])


class SaveProblems(WineTestCase):
    """A save that fails is reported and the dialog stays; an untouched choice whose file is
    out of reach keeps its stored kind and path."""

    def test_failed_save_and_unreachable_file(self):
        from test_saver_run import host_probe
        with Session(1024, 768) as session:
            # A folder in the settings file's place cannot be written as one.
            dialog = Dialog(session, None)
            os.makedirs(dialog.ini)
            dialog.open()
            dialog.click_button("Cmd_Set")
            box = host_probe(session, "msgbox", 20000)
            self.assertEqual(box["found"], "1", "the failed save is reported")
            self.assertEqual(box["caption"], "Lumen_Ribbon (Screen Saver)")
            self.assertEqual(box["text"], "設定を Lumen_Ribbon.ini に書き込めません！")
            self.assertEqual(box["buttons"], "OK")
            session.post(box["hwnd"], 0x111, 1)  # WM_COMMAND, IDOK
            time.sleep(1)
            self.assertIsNone(dialog.process.poll(), "the dialog stays open")
            self.assertEqual(session.find_window(TITLE)["visible"], "1")
            dialog.click_button("Cmd_Can")
            self.assertEqual(wait_exit(dialog.process, 15), 0)
            os.rmdir(dialog.ini)

            share = windows_path(os.path.join(session.work, "offline", "song.mp3"))
            before = stored(2, 3, share)
            dialog = Dialog(session, before).open()
            dialog.click_button("Cmd_Set")
            self.assertEqual(wait_exit(dialog.process, 15), 0)
            values = ini_values(dialog.ini_bytes())
            self.assertEqual(values["BGM区分"], b" 2")
            self.assertEqual(values["BGMﾌｧｲﾙ"], share.encode("cp932"))
            self.assertEqual(values["BGMﾘﾋﾟｰﾄ"].strip(b" "), b"3", "the track is written")


class CancelAndClose(WineTestCase):
    """Cancel and the window's close write nothing, even after choices were made."""

    def test_cancel_and_close_leave_the_file_unchanged(self):
        with Session(1024, 768) as session:
            before = stored(1, 7, "")
            dialog = Dialog(session, before).open()
            dialog.choose_kind(2, on_caption=False, button="left")
            self.assertEqual(dialog.choose_file(os.path.join(dialog.folder, "x.mp3"))["rc"], 0)
            dialog.click_button("Cmd_Can")
            self.assertEqual(wait_exit(dialog.process, 15), 0)
            self.assertEqual(dialog.ini_bytes(), before)

            again = Dialog(session, None)
            again.folder, again.ini = dialog.folder, dialog.ini
            again.process = session.start(os.path.join(dialog.folder, HOST), "/c",
                                          cwd=dialog.folder)
            window = session.wait_window(TITLE)
            self.assertIsNotNone(window)
            time.sleep(1)
            session.post(window["hwnd"], WM_CLOSE)
            self.assertEqual(wait_exit(again.process, 15), 0)
            self.assertEqual(again.ini_bytes(), before)


class PaintedLook(WineTestCase):
    """The gradient, the panel and the Japanese captions, also after being covered."""

    def test_gradient_panel_and_captions(self):
        with Session(1024, 768) as session:
            dialog = Dialog(session, stored(1, 5, "")).open()
            x0, y0 = dialog.client_origin()
            screen = session.screenshot("look.bmp")

            # Dialog background: dark blue at the top, bright with blue 30 above red in the
            # middle, dark again at the bottom.
            top, middle, bottom = (screen.pixel(x0 + 3, y0 + y) for y in (1, 126, 250))
            self.assertLess(max(top), 45)
            self.assertLess(max(bottom), 45)
            self.assertGreater(middle[0], 200)
            self.assertAlmostEqual(middle[2] - middle[0], 30, delta=4)
            # Panel: neutral grey, brightest in the middle of its 169 rows.
            px, py = x0 + PANEL[0], y0 + PANEL[1]
            panel_middle = screen.pixel(px + 440, py + 84)
            self.assertGreater(min(panel_middle), 235)
            self.assertLess(max(panel_middle) - min(panel_middle), 4)
            self.assertLess(max(screen.pixel(px + 440, py + 1)), 60)

            # Captions: real glyphs, none an empty box. The check must spot a box.
            box = [[x in (0, 9) or y in (0, 12) for x in range(10)] for y in range(13)]
            self.assertTrue(is_empty_box(box))
            captions = {"音楽CD": (px + 36, py + 55, px + 80, py + 70),
                        "無し": (px + 36, py + 75, px + 64, py + 90),
                        "曲目をﾘﾋﾟｰﾄ": (px + 136, py + 55, px + 210, py + 70)}
            for text, area in captions.items():
                found = glyphs(screen, area, dark)
                self.assertGreaterEqual(len(found), 2, text)
                self.assertFalse(any(is_empty_box(g) for g in found), text)

            left, top, right, bottom = rect_of(dialog.window)
            # The close box shows the cross of the symbol font, not the letter it stands on:
            # its ink reaches all four corners of its extent.
            ink = {(x, y) for x in range(right - 21, right - 4) for y in range(top + 4, top + 19)
                   if dark(screen.pixel(x, y))}
            self.assertTrue(ink, "the close box has a symbol")
            xs, ys = [x for x, _ in ink], [y for _, y in ink]
            for corner in ((min(xs), min(ys)), (max(xs), min(ys)), (min(xs), max(ys)),
                           (max(xs), max(ys))):
                self.assertTrue(any(abs(x - corner[0]) <= 1 and abs(y - corner[1]) <= 1
                                    for x, y in ink), "the close box is a cross")
            subprocess.run(["convert", os.path.join(session.work, "look.bmp"), "-crop",
                            "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage",
                            os.path.join(DOCS, "dialog.png")], check=True)

            # Another window over the dialog and gone again: the repaint shows the same.
            cover_file = os.path.join(session.work, "cover.txt")
            cover = session.start(DIALOG_PROBE, "parent", windows_path(cover_file),
                                  str(x0 + 20), str(y0 + 20), "300", "200")
            deadline = time.time() + 20
            while not os.path.exists(cover_file) and time.time() < deadline:
                time.sleep(0.2)
            time.sleep(1)
            covered = session.screenshot("covered.bmp")
            self.assertEqual(covered.pixel(x0 + 100, y0 + 100), (255, 255, 255))
            with open(cover_file) as f:
                session.post(f.read().strip(), WM_CLOSE)
            self.assertEqual(wait_exit(cover, 15), 0)
            time.sleep(1)
            again = session.screenshot("again.bmp")
            for x, y in ((3, 126), (100, 100), (200, 150), (300, 60), (40, 62)):
                self.assertEqual(again.pixel(x0 + x, y0 + y), screen.pixel(x0 + x, y0 + y),
                                 (x, y))


if __name__ == "__main__":
    unittest.main()
