"""The web page in a real browser: headless Chromium, drawing with WebGL 2 through SwiftShader,
loads it from a local static server. A fixed frame matches the native build's frame for the same
seeds and time, the page animates on the browser's clock, and it says nothing on its console."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

from e2e_support.pictures import Picture, largest_block_difference, lit_fraction, psnr

BUILD_DIR = os.environ["LR_BUILD_DIR"]
PREVIEW_TOOL = os.environ["LR_PREVIEW_TOOL"]
SIZE = (1024, 768)  # the native frame's size
# The preview picture's frame: seeds 20240, 20241, 20242, one second in.
SEED, TIME_MS = 20240, 1000
BROWSER = shutil.which("chromium") or "chromium"


class WebPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="lr-web-")
        # Port 0: the server takes a free port and says which.
        cls.server = subprocess.Popen(
            [sys.executable, "-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
             "--directory", BUILD_DIR], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            text=True)
        line = cls.server.stdout.readline()
        port = re.search(r"port (\d+)", line)
        if port is None:
            cls.tearDownClass()
            raise AssertionError("the static server did not start: %r" % line)
        cls.url = "http://127.0.0.1:%s/index.html" % port.group(1)

    @classmethod
    def tearDownClass(cls):
        cls.server.terminate()
        cls.server.wait(timeout=30)
        shutil.rmtree(cls.work, ignore_errors=True)

    def shoot(self, name, query, virtual_ms):
        """The page's screenshot after virtual_ms of the browser's virtual clock, and what the
        page wrote on its console."""
        shot = os.path.join(self.work, name + ".png")
        with tempfile.TemporaryDirectory(dir=self.work) as profile:
            result = subprocess.run(
                [BROWSER, "--headless", "--no-sandbox", "--use-angle=swiftshader",
                 "--enable-unsafe-swiftshader", "--user-data-dir=" + profile,
                 "--window-size=%d,%d" % SIZE, "--hide-scrollbars", "--enable-logging=stderr",
                 "--v=0", "--virtual-time-budget=%d" % virtual_ms, "--screenshot=" + shot,
                 self.url + query], capture_output=True, text=True, timeout=120)
        self.assertTrue(os.path.exists(shot), "no screenshot:\n" + result.stderr)
        console = [line for line in result.stderr.splitlines() if ":CONSOLE" in line]
        if os.environ.get("LR_SCREENSHOT_DIR"):
            shutil.copy(shot, os.path.join(os.environ["LR_SCREENSHOT_DIR"], "web-" + name + ".png"))
        return Picture(shot), console

    def native_frame(self, seed, time_ms):
        path = os.path.join(self.work, "native-%d-%d.ppm" % (seed, time_ms))
        if not os.path.exists(path):
            subprocess.run([PREVIEW_TOOL, "--seed", str(seed), "--time", str(time_ms), "--whole",
                            path], check=True, timeout=60)
        return Picture(path)

    def test_fixed_frame_matches_the_native_frame_without_a_console_message(self):
        page, console = self.shoot("fixed", "?seed=%d&time=%d&frames=1" % (SEED, TIME_MS), 1000)
        # Any message at all: an error, a WebGL warning, an exception.
        self.assertEqual(console, [])
        native = self.native_frame(SEED, TIME_MS)
        self.assertEqual((page.width, page.height), SIZE)
        self.assertGreater(lit_fraction(page), 0.3)
        figure = psnr(page, native)
        block = largest_block_difference(page, native)
        print("web page against the native frame: PSNR %.2f dB, largest 16x16 mean difference "
              "%.2f" % (figure, block))
        self.assertGreaterEqual(figure, 40.0)
        # Rasterisers may light a thin band's edge pixels differently, but no region may differ.
        self.assertLess(block, 8.0)
        # A frame of another time is far from it: the comparison can tell frames apart.
        self.assertLess(psnr(page, self.native_frame(SEED, 3000)), 25.0)

    def test_animates_on_the_browsers_clock(self):
        early, console = self.shoot("early", "?seed=%d" % SEED, 500)
        self.assertEqual(console, [])
        late, console = self.shoot("late", "?seed=%d" % SEED, 3000)
        self.assertEqual(console, [])
        self.assertGreater(lit_fraction(early), 0.1)
        self.assertGreater(lit_fraction(late), 0.1)
        self.assertLess(psnr(early, late), 25.0)
        # Each is nearer the native frame of its own moment than of the other's.
        for picture, own, other in ((early, 500, 3000), (late, 3000, 500)):
            self.assertGreater(psnr(picture, self.native_frame(SEED, own)),
                               psnr(picture, self.native_frame(SEED, other)) + 5)


if __name__ == "__main__":
    unittest.main()
