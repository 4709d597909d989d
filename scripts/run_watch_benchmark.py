"""Prints what the native host's window watch costs during a run: the CPU time of
lumen-ribbon-host and of the X server over a few seconds of a run on a private Xvfb, on an
empty desktop and with many extra top-level windows."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

root = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path[:0] = [os.path.join(root, "tests"), os.path.join(root, "tests", "e2e_linux")]
from e2e_support.xservers import XServer  # noqa: E402
from linux_harness import Client  # noqa: E402

linux_build = os.path.abspath(sys.argv[1])
seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 5.0
HOST = os.path.join(linux_build, "bin", "lumen-ribbon-host")
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def extra_windows(client, count):
    screen = client.d.screen()
    for n in range(count):
        window = client.root.create_window(n % 40 * 20, n // 40 * 20, 100, 80, 0,
                                           screen.root_depth)
        window.set_wm_name("Window %d" % n)
        window.map()
    client.d.sync()


def measure(work, count):
    with XServer(work, kind="xvfb", size=(1024, 768)) as server:
        client = Client(server)
        extra_windows(client, count)
        env = dict(server.env(), XDG_CONFIG_HOME=os.path.join(work, "config"),
                   NO_AT_BRIDGE="1")
        host = subprocess.Popen([HOST, "--run"], env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            deadline = time.monotonic() + 30
            while not client.windows_named():
                if time.monotonic() > deadline or host.poll() is not None:
                    raise RuntimeError("the run did not start")
                time.sleep(0.1)
            time.sleep(1)  # past the start
            before = cpu_seconds(host.pid), cpu_seconds(server.process.pid)
            time.sleep(seconds)
            after = cpu_seconds(host.pid), cpu_seconds(server.process.pid)
            running = host.poll() is None
        finally:
            with open("/proc/%d/task/%d/children" % (host.pid, host.pid)) as f:
                children = [int(pid) for pid in f.read().split()]
            for pid in children:
                os.kill(pid, signal.SIGKILL)
            host.kill()
            host.wait()
        client.close()
    used_host, used_server = (after[0] - before[0]), (after[1] - before[1])
    print("%3d extra top-level windows: host %.2f s CPU (%.2f %% of a core), X server %.2f s "
          "over %.0f s of a run%s" % (count, used_host, 100 * used_host / seconds, used_server,
                                      seconds, "" if running else " (the run ended early)"))


work = tempfile.mkdtemp(prefix="watch-bench-", dir=os.path.join(linux_build))
try:
    for count in (0, 300):
        measure(work, count)
finally:
    shutil.rmtree(work, ignore_errors=True)
