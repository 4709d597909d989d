"""The Command button's real drawing under Wine, checked pixel by pixel against its skins.

button_host.exe shows a black window of buttons at known places (see button_host.cpp) and
reports their screen rectangles; the test compares the screenshot with the skin bitmaps in
resources/ and with the two colours of the gradient.
"""

import os
import time
import unittest

from harness import BUILD_DIR, Bitmap, Session, WineTestCase, windows_path

HOST = os.path.join(BUILD_DIR, "probes", "button_host.exe")
SKIN_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")

FRAME = 4
WHITE = (255, 255, 255)
TINT = (198, 197, 215)
CAPTION_HEIGHT_TWIPS = 195
TWIPS_PER_PIXEL = 15
WM_LBUTTONDOWN = 0x201
WM_LBUTTONUP = 0x202
MK_LBUTTON = 1


def skin(name):
    return Bitmap(os.path.join(SKIN_DIR, "skin_%s.bmp" % name))


def read_report(path, timeout=30):
    """The host's button rectangles, once it says it is ready."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        if os.path.exists(path):
            with open(path) as f:
                text = f.read()
            if "ready=1" in text:
                buttons = {}
                for line in text.splitlines():
                    name, _, value = line.partition("=")
                    if name != "ready":
                        fields = value.split(",")
                        buttons[name] = tuple(int(v) for v in fields[:4]) + (fields[4],)
                return buttons
        time.sleep(0.2)
    raise AssertionError("button_host did not report its buttons")


def in_frame(x, y, width, height):
    return min(x, y, width - 1 - x, height - 1 - y) < FRAME


def source_for(position, size, skin_size):
    """Where a frame pixel comes from in the skin: corners one to one, the middle stretched."""
    if position < FRAME:
        return [position]
    if position >= size - FRAME:
        return [skin_size - (size - position)]
    middle, skin_middle = size - 2 * FRAME, skin_size - 2 * FRAME
    centre = FRAME + (position - FRAME + 0.5) * skin_middle / middle
    # A stretch picks one of the source pixels beside the exact spot.
    return [s for s in range(int(centre) - 1, int(centre) + 2) if FRAME <= s < skin_size - FRAME]


def frame_mismatches(screen, box, picture):
    """Frame pixels of the button at box that no allowed skin pixel explains."""
    left, top, width, height = box[:4]
    wrong = []
    for y in range(height):
        for x in range(width):
            if not in_frame(x, y, width, height):
                continue
            allowed = {picture.pixel(sx, sy)
                       for sx in source_for(x, width, picture.width)
                       for sy in source_for(y, height, picture.height)}
            actual = screen.pixel(left + x, top + y)
            if actual not in allowed:
                wrong.append(((x, y), actual, sorted(allowed)))
    return wrong


def corner_mismatches(screen, box, picture):
    left, top, width, height = box[:4]
    wrong = []
    for cx, sx in ((0, 0), (width - FRAME, picture.width - FRAME)):
        for cy, sy in ((0, 0), (height - FRAME, picture.height - FRAME)):
            for dy in range(FRAME):
                for dx in range(FRAME):
                    want = picture.pixel(sx + dx, sy + dy)
                    got = screen.pixel(left + cx + dx, top + cy + dy)
                    if want != got:
                        wrong.append(((cx + dx, cy + dy), got, want))
    return wrong


def blend(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def caption_rows(height):
    """The rows of the caption box: 10 twips above centre, a fixed 195 twips high."""
    top = round((height * TWIPS_PER_PIXEL - CAPTION_HEIGHT_TWIPS - 20) / 2 / TWIPS_PER_PIXEL)
    return range(top, top + round(CAPTION_HEIGHT_TWIPS / TWIPS_PER_PIXEL))


def caption_ink(screen, box, contrast=40, rows=None):
    """Pixels of the caption box (or of the given rows) that stand out from their row's gradient.

    The first column inside the frame holds no text, so it gives the gradient's colour.
    """
    left, top, width, height = box[:4]
    ink = {}
    for y in rows or caption_rows(height):
        background = screen.pixel(left + FRAME, top + y)
        for x in range(FRAME + 1, width - FRAME - 1):
            colour = screen.pixel(left + x, top + y)
            if max(abs(c - b) for c, b in zip(colour, background)) >= contrast:
                ink[(x, y)] = colour
    return ink


def glyph_runs(ink):
    """The ink split at empty columns, each run as a set of points relative to its corner."""
    columns = sorted({x for x, _ in ink})
    runs, current = [], []
    for x in columns:
        if current and x != current[-1] + 1:
            runs.append(current)
            current = []
        current.append(x)
    if current:
        runs.append(current)
    shapes = []
    for run in runs:
        points = [(x, y) for (x, y) in ink if run[0] <= x <= run[-1]]
        x0 = min(x for x, _ in points)
        y0 = min(y for _, y in points)
        shapes.append(frozenset((x - x0, y - y0) for x, y in points))
    return shapes


def is_hollow_box(shape):
    """The empty-box glyph: all ink on the border of its bounding box."""
    right = max(x for x, _ in shape)
    bottom = max(y for _, y in shape)
    return not any(0 < x < right and 0 < y < bottom for x, y in shape)


class ButtonPixels(WineTestCase):
    """One host window; each test looks at one aspect of the screenshot taken at the start,
    except the press test, which changes the buttons and takes its own."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.session = Session(400, 240).__enter__()
        try:
            report = os.path.join(cls.session.work, "buttons.txt")
            cls.host = cls.session.start(HOST, windows_path(report))
            cls.buttons = read_report(report)
            # The pointer placed on the hover button reaches it through the X server.
            cls.screen = cls.screenshot_when(
                lambda screen: not corner_mismatches(screen, cls.buttons["hover"],
                                                     skin("highlight")))
        except BaseException:
            cls.session.__exit__(None, None, None)
            raise

    @classmethod
    def screenshot_when(cls, settled, timeout=10):
        """A screenshot once settled(screen) holds, or the last one taken."""
        deadline = time.time() + timeout
        while True:
            screen = cls.session.screenshot("buttons.bmp")
            if settled(screen) or time.time() > deadline:
                return screen
            time.sleep(0.3)

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)

    def test_the_measures_fail_on_a_plain_background(self):
        # The window's black background must not pass for a frame or show ink, and the
        # empty-box test must know an empty box when it sees one.
        self.assertTrue(frame_mismatches(self.screen, (330, 200, 64, 25), skin("normal")))
        self.assertEqual(caption_ink(self.screen, (330, 200, 64, 25)), {})
        outline = frozenset((x, y) for x in range(8) for y in range(12)
                            if x in (0, 7) or y in (0, 11))
        self.assertTrue(is_hollow_box(outline))
        self.assertFalse(is_hollow_box(outline | {(3, 5)}))

    def test_a_skin_sized_button_shows_its_frame_pixel_for_pixel(self):
        box = self.buttons["normal64"]
        self.assertEqual(box[2:4], (64, 25))
        self.assertEqual(frame_mismatches(self.screen, box, skin("normal")), [])
        # Exactly the Normal skin: no other skin's frame passes.
        self.assertTrue(frame_mismatches(self.screen, box, skin("highlight")))

    def test_a_larger_button_stretches_the_edges_and_keeps_the_corners(self):
        box = self.buttons["large"]
        self.assertEqual(box[2:4], (150, 60))
        self.assertEqual(corner_mismatches(self.screen, box, skin("normal")), [])
        self.assertEqual(frame_mismatches(self.screen, box, skin("normal")), [])

    def test_a_grown_button_repaints_its_face_at_the_new_size(self):
        box = self.buttons["resized"]
        self.assertEqual(box[2:4], (110, 40))
        self.assertEqual(corner_mismatches(self.screen, box, skin("normal")), [])
        self.assertEqual(frame_mismatches(self.screen, box, skin("normal")), [])
        self.assert_gradient(box, WHITE, TINT)

    def test_gradient_runs_from_white_to_the_tint_in_the_normal_mode(self):
        for name in ("normal64", "large", "japanese"):
            with self.subTest(name):
                self.assert_gradient(self.buttons[name], WHITE, TINT)

    def test_gradient_runs_from_the_tint_to_white_while_hovered(self):
        box = self.buttons["hover"]
        self.assertEqual(corner_mismatches(self.screen, box, skin("highlight")), [])
        self.assertEqual(frame_mismatches(self.screen, box, skin("highlight")), [])
        self.assert_gradient(box, TINT, WHITE)

    def test_a_disabled_button_shows_the_disable_frame_and_a_greyed_caption(self):
        box = self.buttons["disabled64"]
        self.assertEqual(frame_mismatches(self.screen, box, skin("disable")), [])
        self.assert_gradient(box, WHITE, TINT)

        enabled_ink = caption_ink(self.screen, self.buttons["normal64"])
        greyed_ink = caption_ink(self.screen, box)
        self.assertGreater(len(enabled_ink), 20)
        self.assertGreater(len(greyed_ink), 20)
        # The same caption: black when enabled, grey and never black when disabled.
        self.assertLess(min(max(c) for c in enabled_ink.values()), 40)
        darkest = min(max(c) for c in greyed_ink.values())
        self.assertGreater(darkest, 80, "greyed caption has near-black ink")
        self.assertLess(darkest, 200, "greyed caption has no grey ink")
        for colour in greyed_ink.values():
            self.assertLess(max(colour) - min(colour), 12, "greyed ink is tinted: %s" % (colour,))

    def test_the_caption_is_centred_across_the_width_just_above_the_middle(self):
        for name in ("normal64", "large", "hover"):
            with self.subTest(name):
                box = self.buttons[name]
                width, height = box[2:4]
                ink = caption_ink(self.screen, box, rows=range(FRAME, height - FRAME))
                self.assertGreater(len(ink), 20)
                rows = caption_rows(height)
                self.assertTrue(all(y in rows for _, y in ink),
                                "ink outside rows %d-%d" % (rows[0], rows[-1]))
                xs = [x for x, _ in ink]
                self.assertLessEqual(abs((min(xs) + max(xs) + 1) / 2 - width / 2), 2)

    def test_only_the_first_line_of_a_long_caption_shows(self):
        box = self.buttons["long"]
        ink = caption_ink(self.screen, box, rows=range(FRAME, box[3] - FRAME))
        self.assertGreater(len(ink), 20)
        rows = caption_rows(box[3])
        self.assertEqual(sorted({y for _, y in ink if y not in rows}), [])

    def test_a_transparent_button_shows_only_its_caption(self):
        # Made transparent after painting its face: the black window shows through, under a
        # white caption.
        box = self.buttons["transparent"]
        left, top, width, height = box[:4]
        ink = caption_ink(self.screen, box)
        self.assertGreater(len(ink), 20)
        self.assertGreater(max(min(c) for c in ink.values()), 200, "caption not white")
        rows = caption_rows(height)
        face = [(x, y) for y in range(height) for x in range(width)
                if y not in rows and self.screen.pixel(left + x, top + y) != (0, 0, 0)]
        self.assertEqual(face, [], "the face still shows")

    def test_japanese_captions_render_with_a_japanese_font(self):
        full_width = glyph_runs(caption_ink(self.screen, self.buttons["japanese"]))
        half_width = glyph_runs(caption_ink(self.screen, self.buttons["japanese2"]))
        font_height = len(caption_rows(28))
        for name, shapes, least in (("japanese", full_width, 2), ("japanese2", half_width, 4)):
            with self.subTest(name):
                self.assertGreaterEqual(len(shapes), least, "too few glyphs")
                self.assertFalse(all(is_hollow_box(s) for s in shapes), "empty boxes")
                # Empty boxes, or one replacement character per letter, all look alike.
                self.assertGreater(len(set(shapes)), len(shapes) // 2, "identical glyphs")
        # Two full-width characters: about two ems of ink, not the bytes of a wrong code page.
        ink_width = self.ink_extent(self.buttons["japanese"])
        self.assertGreater(ink_width, 1.4 * font_height)
        self.assertLess(ink_width, 2.3 * font_height)
        self.assertTrue(any(not is_hollow_box(s) and len(s) > 25 for s in full_width))

    def test_presses_paint_the_focus_and_press_skins(self):
        # Takes its own screenshots: the other tests look at the one taken before these clicks.
        hover, large = self.buttons["hover"], self.buttons["large"]

        # A click on the hovered button: focus and release give mode 4 with the
        # HighLightSelect frame, and mode 4 keeps the direction of the hovered paint before it.
        self.press(hover, WM_LBUTTONDOWN, MK_LBUTTON)
        self.press(hover, WM_LBUTTONUP, 0)
        screen = self.screenshot_when(
            lambda screen: not corner_mismatches(screen, hover, skin("highlightselect")))
        self.assertEqual(frame_mismatches(screen, hover, skin("highlightselect")), [])
        self.assert_gradient(hover, TINT, WHITE, screen)

        # Pressing another button, the pointer still elsewhere: it takes the focus (mode 3,
        # white on top) and shows Pressed; the first one loses the focus and goes Normal.
        self.press(large, WM_LBUTTONDOWN, MK_LBUTTON)
        screen = self.screenshot_when(
            lambda screen: not corner_mismatches(screen, large, skin("pressed")))
        self.assertEqual(frame_mismatches(screen, large, skin("pressed")), [])
        self.assert_gradient(large, WHITE, TINT, screen)
        self.assertEqual(frame_mismatches(screen, hover, skin("normal")), [])
        self.assert_gradient(hover, WHITE, TINT, screen)

        # Released while the pointer is away (mode 3): nothing is repainted.
        self.press(large, WM_LBUTTONUP, 0)
        time.sleep(0.5)
        screen = self.session.screenshot("released.bmp")
        self.assertEqual(frame_mismatches(screen, large, skin("pressed")), [])

    def press(self, box, message, held):
        centre = (box[2] // 2) | ((box[3] // 2) << 16)
        self.session.post(box[4], message, held, centre)

    def ink_extent(self, box):
        xs = [x for x, _ in caption_ink(self.screen, box)]
        return max(xs) - min(xs) + 1

    def assert_gradient(self, box, top_colour, bottom_colour, screen=None):
        """Rows inside the frame follow the fill from the top pixel row to the bottom one."""
        screen = screen or self.screen
        left, top, width, height = box[:4]
        first, last = FRAME, height - 1 - FRAME
        for y in (first, last):
            want = blend(top_colour, bottom_colour, y / (height - 1))
            for x in (FRAME, width // 2, width - 1 - FRAME):
                got = screen.pixel(left + x, top + y)
                self.assertTrue(all(abs(g - w) <= 3 for g, w in zip(got, want)),
                                "row %d column %d: %s, expected about %s" % (y, x, got, want))
        # The order shows in every channel: blue leads red more where the tint is.
        top_row = screen.pixel(left + width // 2, top + first)
        bottom_row = screen.pixel(left + width // 2, top + last)
        top_is_tint = top_colour == TINT
        self.assertEqual(top_row[2] - top_row[0] > bottom_row[2] - bottom_row[0], top_is_tint)


if __name__ == "__main__":
    unittest.main()
