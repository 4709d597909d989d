"""Runs the renderer benchmarks on one private 1024x768 Xvfb, the native renderer and then the
Windows renderer under Wine, and prints their figures side by side."""

import os
import re
import subprocess
import sys

windows_build = os.path.abspath(sys.argv[1])
linux_build = os.path.abspath(sys.argv[2])
run_ms = sys.argv[3] if len(sys.argv) > 3 else "5000"
os.environ["LR_BUILD_DIR"] = windows_build
import harness  # noqa: E402

if not os.path.isdir(harness.PREFIX):
    os.makedirs(harness.E2E_DIR, exist_ok=True)
    harness.make_prefix()


def run(command, env, report):
    with open(report, "w") as out:
        subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=out,
                       stderr=subprocess.DEVNULL, timeout=300, check=True)
    with open(report) as f:
        return f.read().strip()


def figures(line):
    found = re.search(r"([\d.]+) frames per second, ([\d.]+) ms CPU per frame", line)
    return (float(found.group(1)), float(found.group(2))) if found else None


with harness.Session(1024, 768) as session:
    native_env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
    native_env["DISPLAY"] = session.display
    native = run([os.path.join(linux_build, "bench", "x11_renderer_benchmark"), run_ms],
                 native_env, os.path.join(session.work, "native.txt"))
    wine = run([harness.WINE, os.path.join(windows_build, "bench", "renderer_benchmark.exe"), run_ms],
               session.env, os.path.join(session.work, "wine.txt"))
    print(native)
    print(wine)
    ours, theirs = figures(native), figures(wine)
    if ours and theirs:
        print("native / Wine: %.2fx the frames per second, %.2fx the CPU time per frame"
              % (ours[0] / theirs[0], ours[1] / theirs[1]))
