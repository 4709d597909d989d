"""Runs the renderer benchmark under Wine on a private 1024x768 Xvfb and prints its figures."""

import os
import subprocess
import sys

build = os.path.abspath(sys.argv[1])
run_ms = sys.argv[2] if len(sys.argv) > 2 else "5000"
os.environ["LR_BUILD_DIR"] = build
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import harness  # noqa: E402

if not os.path.isdir(harness.PREFIX):
    os.makedirs(harness.E2E_DIR, exist_ok=True)
    harness.make_prefix()

with harness.Session(1024, 768) as session:
    report = os.path.join(session.work, "benchmark.txt")
    with open(report, "w") as out:
        subprocess.run(["wine", os.path.join(build, "bench", "renderer_benchmark.exe"), run_ms],
                       env=session.env, stdin=subprocess.DEVNULL, stdout=out,
                       stderr=subprocess.DEVNULL, timeout=300, check=True)
    with open(report) as f:
        print(f.read().strip())
