"""Runs the built native saver (lumen-ribbon-host --run): on $DISPLAY until it ends, or on a
private Xvfb for a few seconds, leaving a screenshot behind."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

build = os.path.abspath(sys.argv[1])
from e2e_support.xservers import XServer

host = os.path.join(build, "bin", "lumen-ribbon-host")

if os.environ.get("DISPLAY"):
    print("running", host, "--run on", os.environ["DISPLAY"], "- press Escape to end it")
    sys.exit(subprocess.call([host, "--run"]))


def window_named(env, title):
    """The id of a viewable window with that name, from xwininfo's tree; None when none."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True,
                          text=True).stdout
    for line in tree.splitlines():
        if '"%s"' % title in line:
            return line.split()[0]
    return None


shot = os.path.join(build, "saver-screenshot.png")
work = tempfile.mkdtemp(prefix="run-", dir=build)
with XServer(work, kind="xvfb", size=(1024, 768)) as server:
    env = server.env()
    print("no $DISPLAY: running", host, "--run on a private Xvfb", server.display)
    saver = subprocess.Popen([host, "--run"], env=env, stdin=subprocess.DEVNULL)
    deadline = time.monotonic() + 30
    while window_named(env, "Lumen_Ribbon_VC") is None:
        if time.monotonic() > deadline or saver.poll() is not None:
            saver.kill()
            sys.exit("the renderer window did not appear")
        time.sleep(0.2)
    time.sleep(1)  # about a second in, all three groups are lit
    dump = os.path.join(work, "screen.xwd")
    subprocess.run(["xwd", "-root", "-out", dump], env=env, check=True)
    subprocess.run(["convert", dump, shot], check=True)
    # The renderer ends on SIGTERM as on Escape, and the host with it.
    with open("/proc/%d/task/%d/children" % (saver.pid, saver.pid)) as f:
        for child in f.read().split():
            os.kill(int(child), signal.SIGTERM)
    try:
        saver.wait(timeout=10)
    except subprocess.TimeoutExpired:
        saver.kill()
        saver.wait()
shutil.rmtree(work, ignore_errors=True)
print("screenshot written to", shot)
