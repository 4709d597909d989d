"""Prints how long the native programs take from launch to the renderer's window on the screen:
the time from starting the program to the MapNotify of the window titled "Lumen_Ribbon_VC", on
a private Xorg server with the dummy driver (llvmpipe), for the renderer on its own and for the
host's run, which starts the renderer (also the time until it does). The server starts in
1280x1024, so each start switches the mode to 1024x768 as on a real screen; each run is ended
by closing the window. Usage: run_startup_benchmark.py BUILD_DIR [STARTS]"""

import os
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

root = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path[:0] = [os.path.join(root, "tests"), os.path.join(root, "tests", "e2e_linux")]
from e2e_support.xservers import XServer  # noqa: E402
from linux_harness import TITLE, Client  # noqa: E402
from Xlib import X  # noqa: E402

linux_build = os.path.abspath(sys.argv[1])
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
RENDERER = os.path.join(linux_build, "bin", "lumen-ribbon")
HOST = os.path.join(linux_build, "bin", "lumen-ribbon-host")


def children(pid):
    try:
        with open("/proc/%d/task/%d/children" % (pid, pid)) as f:
            return f.read().split()
    except OSError:
        return []


def start_up(server, client, command, env):
    """Milliseconds from the start of the command to its first child process (None without
    one) and to the MapNotify of the window titled TITLE."""
    client.d.sync()
    started = time.monotonic()
    process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    child_at = window = None
    try:
        while window is None:
            now = time.monotonic()
            if now > started + 30:
                raise RuntimeError("no window titled %s" % TITLE)
            if child_at is None and children(process.pid):
                child_at = now
            while window is None and client.d.pending_events():
                event = client.d.next_event()
                if event.type == X.MapNotify:
                    try:
                        if event.window.get_wm_name() == TITLE:
                            window = event.window
                    except Exception:  # gone again
                        pass
            # Wakes on the server's events, and every millisecond to look for the child.
            select.select([client.d.fileno()], [], [], 0.001)
        mapped = time.monotonic()
        client.close_window(window)
        process.wait(timeout=30)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
    if server.mode() != (1280, 1024):
        raise RuntimeError("the mode was not restored")
    launched = None if child_at is None else (child_at - started) * 1000
    return launched, (mapped - started) * 1000


def report(name, figures):
    print("%-44s %4.0f ms median, fastest %4.0f ms, slowest %4.0f ms"
          % (name, statistics.median(figures), min(figures), max(figures)))


work = tempfile.mkdtemp(prefix="startup-bench-", dir=linux_build)
try:
    with XServer(work, kind="xorg", modes=[(1280, 1024), (1024, 768)]) as server:
        client = Client(server)
        client.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        env = dict(server.env(), XDG_CONFIG_HOME=os.path.join(work, "config"), NO_AT_BRIDGE="1")
        print("Start-up on Xorg's dummy driver, switching 1280x1024 to 1024x768:")
        # The first starts also fill the file cache, and the host's the cache of GTK's visuals
        # on the root window (GTK loads OpenGL to choose them when it is missing).
        print("%-44s %4.0f ms" % ("renderer on its own, first start, to its window",
                                  start_up(server, client, [RENDERER], env)[1]))
        print("%-44s %4.0f ms" % ("host --run, first on the server, to the window",
                                  start_up(server, client, [HOST, "--run"], env)[1]))
        print("then %d starts each:" % runs)
        alone = [start_up(server, client, [RENDERER], env)[1] for _ in range(runs)]
        report("renderer on its own, to its window", alone)
        hosted = [start_up(server, client, [HOST, "--run"], env) for _ in range(runs)]
        report("host --run, to the renderer's start", [f[0] for f in hosted])
        report("host --run, to the renderer's window", [f[1] for f in hosted])
        client.close()
finally:
    shutil.rmtree(work, ignore_errors=True)
