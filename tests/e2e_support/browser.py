"""Headless Chromium driven through its DevTools protocol on a pipe (--remote-debugging-pipe:
commands in on descriptor 3, answers and events out on descriptor 4, each a JSON text ended by a
NUL byte), and a static server for the page it loads. Both are ended by their own process ids."""

import base64
import fcntl
import json
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

BROWSER = shutil.which("chromium") or "chromium"
# WebGL 2 in software, as on a server without a GPU.
SWIFTSHADER = ["--use-angle=swiftshader", "--enable-unsafe-swiftshader"]


class StaticServer:
    """python3 -m http.server on a free port of the loopback address, serving folder."""

    def __init__(self, folder):
        self.folder = folder

    def __enter__(self):
        self.process = subprocess.Popen(
            [sys.executable, "-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
             "--directory", self.folder], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            text=True)
        line = self.process.stdout.readline()
        port = re.search(r"port (\d+)", line)
        if port is None:
            self.__exit__()
            raise AssertionError("the static server did not start: %r" % line)
        self.url = "http://127.0.0.1:%s/" % port.group(1)
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait(timeout=30)


class Browser:
    """One headless Chromium with one page; console messages and exceptions are collected."""

    def __init__(self, size, flags=(), env=None):
        self.size = size
        self.flags = list(flags)
        self.env = env
        self.console = []  # (level, text)
        self.next_id = 0
        self.buffer = b""

    def __enter__(self):
        self.profile = tempfile.mkdtemp(prefix="lr-chromium-")
        to_browser_read, self.to_browser = os.pipe()
        self.from_browser, from_browser_write = os.pipe()
        # The browser's ends, numbered past 3 and 4 so that placing them there clobbers neither.
        ends = [fcntl.fcntl(fd, fcntl.F_DUPFD_CLOEXEC, 10)
                for fd in (to_browser_read, from_browser_write)]
        os.close(to_browser_read)
        os.close(from_browser_write)

        def place_pipe_ends():
            os.dup2(ends[0], 3)
            os.dup2(ends[1], 4)

        # Descriptors are not inherited unless made so (PEP 446): only 3 and 4 pass.
        self.process = subprocess.Popen(
            [BROWSER, "--headless", "--no-sandbox", "--remote-debugging-pipe",
             "--user-data-dir=" + self.profile, "--window-size=%d,%d" % self.size,
             "--hide-scrollbars", "--no-first-run", "--mute-audio"] + self.flags + ["about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            env=self.env, close_fds=False, preexec_fn=place_pipe_ends)
        for fd in ends:
            os.close(fd)
        try:
            targets = self.call("Target.getTargets")["targetInfos"]
            page = next(t for t in targets if t["type"] == "page")
            self.session = self.call("Target.attachToTarget", targetId=page["targetId"],
                                     flatten=True)["sessionId"]
            self.call("Runtime.enable", session=True)
            self.call("Log.enable", session=True)
            self.call("Page.enable", session=True)
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        try:
            self.call("Browser.close", timeout=10)
        except (OSError, AssertionError):
            pass
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.to_browser)
        os.close(self.from_browser)
        shutil.rmtree(self.profile, ignore_errors=True)

    def call(self, method, session=False, timeout=60, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            answer = self.receive(deadline)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise AssertionError("%s failed: %s" % (method, answer["error"]))
                return answer.get("result", {})

    def receive(self, deadline):
        while b"\0" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.from_browser], [], [], left)[0]:
                raise AssertionError("no answer from the browser in time")
            chunk = os.read(self.from_browser, 1 << 16)
            if not chunk:
                raise AssertionError("the browser went away")
            self.buffer += chunk
        text, self.buffer = self.buffer.split(b"\0", 1)
        message = json.loads(text)
        params = message.get("params", {})
        if message.get("method") == "Runtime.consoleAPICalled":
            words = [str(a.get("value", a.get("description", ""))) for a in params["args"]]
            self.console.append((params["type"], " ".join(words)))
        elif message.get("method") == "Runtime.exceptionThrown":
            self.console.append(("exception", params["exceptionDetails"].get("text", "")))
        elif message.get("method") == "Log.entryAdded":
            self.console.append((params["entry"]["level"], params["entry"]["text"]))
        return message

    def open(self, url, scale=1):
        """Loads url into a viewport of exactly self.size CSS pixels at the given device pixel
        ratio, and waits for the page's load."""
        width, height = self.size
        self.call("Emulation.setDeviceMetricsOverride", session=True, width=width,
                  height=height, deviceScaleFactor=scale, mobile=False)
        self.call("Page.navigate", session=True, url=url)
        self.wait_for("document.readyState === 'complete'")

    def screenshot(self, path):
        shot = self.call("Page.captureScreenshot", session=True, format="png")
        with open(path, "wb") as out:
            out.write(base64.b64decode(shot["data"]))
        return path

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", session=True, type=kind, x=x, y=y,
                      button="left", clickCount=1)

    def key(self, name, code):
        """A tap of the key, press and release, with its DOM key name and key code."""
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", session=True, type=kind, key=name,
                      windowsVirtualKeyCode=code, nativeVirtualKeyCode=code)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", session=True, expression=expression,
                           returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise AssertionError("%s threw: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, timeout=30):
        deadline = time.monotonic() + timeout
        while not self.evaluate(expression):
            if time.monotonic() > deadline:
                raise AssertionError("timed out waiting for " + expression)
            time.sleep(0.05)
