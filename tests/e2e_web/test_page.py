"""The web page in a real browser: headless Chromium, drawing with WebGL 2 through SwiftShader,
loads it from a local static server. A fixed frame matches the native build's frame for the same
seeds and time, the page animates on the browser's clock, fills its window at the device's pixel
ratio, goes full screen on a click or key and leaves it on a click or Escape, and says nothing on
its console."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

from e2e_support.browser import SWIFTSHADER, Browser, StaticServer
from e2e_support.pictures import Picture, largest_block_difference, lit_fraction, psnr

BUILD_DIR = os.environ["LR_BUILD_DIR"]
PREVIEW_TOOL = os.environ["LR_PREVIEW_TOOL"]
SIZE = (1024, 768)  # the native frame's size
# The seeds of the preview picture's frame (20240, 20241, 20242), at its time, one second in, and
# at 2.5 s, when the red group's tint and the warm group's blue are negative and add no light.
SEED = 20240
FRAME_TIMES_MS = (1000, 2500)
FULL_SCREEN = "!!document.fullscreenElement"


class WebPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.access(PREVIEW_TOOL, os.X_OK):
            raise AssertionError("no native make_preview at %s: build it with scripts/build.sh "
                                 "linux" % PREVIEW_TOOL)
        cls.work = tempfile.mkdtemp(prefix="lr-web-")
        cls.server = StaticServer(BUILD_DIR).__enter__()
        cls.page = cls.server.url + "index.html"

    @classmethod
    def tearDownClass(cls):
        cls.server.__exit__()
        shutil.rmtree(cls.work, ignore_errors=True)

    def setUp(self):
        self.browser = Browser(SIZE, SWIFTSHADER).__enter__()

    def tearDown(self):
        # Any message at all fails: an error, a WebGL warning, an exception, a missing file.
        console = self.browser.console
        self.browser.__exit__()
        self.assertEqual(console, [])

    def shot(self, name, readme_name=None):
        """The page's screenshot; with readme_name, also a copy for the README when
        LR_SCREENSHOT_DIR asks for one."""
        path = self.browser.screenshot(os.path.join(self.work, name + ".png"))
        if readme_name and os.environ.get("LR_SCREENSHOT_DIR"):
            shutil.copy(path, os.path.join(os.environ["LR_SCREENSHOT_DIR"], readme_name))
        return Picture(path)

    def native_frame(self, seed, time_ms, subpixel_bits=0):
        path = os.path.join(self.work, "native-%d-%d-%d.ppm" % (seed, time_ms, subpixel_bits))
        subprocess.run([PREVIEW_TOOL, "--seed", str(seed), "--time", str(time_ms),
                        "--subpixel-bits", str(subpixel_bits), "--whole", path], check=True,
                       timeout=60)
        return Picture(path)

    def canvas(self):
        return self.browser.evaluate("[canvas.width, canvas.height]")

    def test_fixed_frames_match_the_native_frames(self):
        # Rasterisers place vertices on a grid of 2^GL_SUBPIXEL_BITS steps a pixel, which decides
        # the edge pixels of bands thinner than a pixel: the native frame is made on the
        # browser's grid, and its exact one is reported beside it.
        self.browser.open(self.page + "?frames=1")
        bits = self.browser.evaluate("(function () { const gl = document.createElement('canvas')"
                                     ".getContext('webgl2'); "
                                     "return gl.getParameter(gl.SUBPIXEL_BITS); })()")
        self.assertGreaterEqual(bits, 4)  # the least OpenGL allows
        for time_ms in FRAME_TIMES_MS:
            self.browser.open(self.page + "?seed=%d&time=%d&frames=1" % (SEED, time_ms))
            self.browser.wait_for("canvas.width === %d && canvas.height === %d" % SIZE)
            time.sleep(0.3)
            page = self.shot("frame-%d" % time_ms, "web.png" if time_ms == 1000 else None)
            native = self.native_frame(SEED, time_ms, bits)
            self.assertEqual((page.width, page.height), SIZE)
            self.assertGreater(lit_fraction(page), 0.1)
            figure = psnr(page, native)
            block = largest_block_difference(page, native)
            print("\nweb page against the native frame at %d ms: PSNR %.2f dB on a grid of %d "
                  "subpixel bits (%.2f dB against exact positions), largest 16x16 mean "
                  "difference %.2f" % (time_ms, figure, bits,
                                       psnr(page, self.native_frame(SEED, time_ms)), block))
            self.assertGreaterEqual(figure, 40.0)
            # Rasterisers may light a thin band's edge pixels differently, but no region may.
            self.assertLess(block, 4.0)
            # A frame of another time is far from it: the comparison tells frames apart.
            self.assertLess(psnr(page, self.native_frame(SEED, time_ms + 2000)), 25.0)

    def test_animates_on_the_browsers_clock(self):
        self.browser.open(self.page + "?seed=%d" % SEED)
        time.sleep(0.5)
        early = self.shot("early")
        time.sleep(2.5)
        late = self.shot("late")
        self.assertGreater(lit_fraction(early), 0.1)
        self.assertGreater(lit_fraction(late), 0.1)
        self.assertLess(psnr(early, late), 25.0)

    def test_fills_the_window_at_the_pixel_ratio_and_toggles_full_screen(self):
        self.browser.open(self.page, scale=2)
        self.browser.wait_for("canvas.width === %d && canvas.height === %d" %
                              (SIZE[0] * 2, SIZE[1] * 2))
        self.browser.click(100, 100)
        self.browser.wait_for(FULL_SCREEN)
        self.browser.click(100, 100)
        self.browser.wait_for("!" + FULL_SCREEN)
        # Any key but Escape goes full screen; a tap of Escape leaves it, as it ends a run.
        self.browser.key("a", 65)
        self.browser.wait_for(FULL_SCREEN)
        self.browser.key("Escape", 27)
        self.browser.wait_for("!" + FULL_SCREEN)


if __name__ == "__main__":
    unittest.main()
