"""Frames per second of the web page at 1280x720 in headless Chromium: WebGL 2 through
SwiftShader (software, as on a server without a GPU), then through ANGLE on Mesa: its OpenGL ES
over EGL, and its desktop OpenGL on a private Xvfb. Mesa's software drivers are on Chromium's
block list, which these runs ignore. Chromium paces animation frames at 60 a second, as a display
would; its switches that lift the cap stall the frames now and then, so they are not used.
Prints figures, asserts nothing."""

import os
import re
import statistics
import sys
import tempfile
import time

from e2e_support.browser import SWIFTSHADER, Browser, StaticServer
from e2e_support.xservers import XServer

web_build = os.path.abspath(sys.argv[1])
seconds = float(sys.argv[2]) / 1000 if len(sys.argv) > 2 else 5.0
SIZE = (1280, 720)


def measure(server, flags, env=None):
    """The page's own frame rates, one a second after a second's warm-up, and the renderer
    the browser chose; no rates when the page could not draw."""
    with Browser(SIZE, flags, env=env) as browser:
        browser.open(server.url + "index.html?fps=1")
        renderer = browser.evaluate(
            "(function () { const gl = document.createElement('canvas').getContext('webgl2');"
            " if (!gl) return null; const info = gl.getExtension('WEBGL_debug_renderer_info');"
            " return info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : 'unknown'; })()")
        if renderer is None:
            return None, "no WebGL 2"
        time.sleep(1.5)
        rates = []
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            text = browser.evaluate("document.getElementById('message').textContent")
            found = re.match(r"([\d.]+) fps", text or "")
            if found:
                rates.append(float(found.group(1)))
            time.sleep(1.0)
        return (rates or None), renderer


def report(name, result):
    rates, renderer = result
    if not rates:
        print("web page, %s: no figure (%s)" % (name, renderer))
    else:
        print("web page, %s: %.1f frames per second at %dx%d (seconds from %.1f to %.1f; %s)" %
              (name, statistics.median(rates), SIZE[0], SIZE[1], min(rates), max(rates),
               renderer))


MESA = ["--ignore-gpu-blocklist"]


def attempt(server, flags, env=None):
    try:
        return measure(server, flags, env)
    except AssertionError as error:
        return None, str(error)


with StaticServer(web_build) as server:
    report("SwiftShader", attempt(server, SWIFTSHADER))
    report("ANGLE on Mesa's OpenGL ES (EGL)",
           attempt(server, MESA + ["--use-gl=angle", "--use-angle=gl-egl"]))
    with tempfile.TemporaryDirectory() as work, XServer(work, size=SIZE) as x:
        env = dict(os.environ, DISPLAY=x.display)
        report("ANGLE on Mesa's OpenGL (Xvfb)",
               attempt(server, MESA + ["--use-angle=gl", "--ozone-platform=x11"], env))
